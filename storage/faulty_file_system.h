// TFaultyFileSystem: a storage file system that fails on request.
//
// Wraps another file system (the real one by default) and counts every
// change it makes to the disk: a write, the creation or emptying of a file,
// a copy, a removal. Tests use it to
//   - stop a change after its N-th disk change, as if the process had died
//     there (CrashAfterWrites): the next change throws TSimulatedCrash and
//     does not happen, and from then on every operation fails without
//     touching a file, so that nothing the program does while unwinding
//     reaches the disk;
//   - make writes fail as on a full disk (FailWritesAfter with ENOSPC) or a
//     read-only one (FailOpenForWriting / FailCopies with EROFS).
// Failures are TFileError, as the real file system reports them.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>

#include "storage/storage_file_system.h"

namespace ledgora {

class TSimulatedCrash : public std::runtime_error {
 public:
  TSimulatedCrash() : std::runtime_error("simulated crash") {}
};

class TFaultyFileSystem final : public TStorageFileSystem {
 public:
  explicit TFaultyFileSystem(TStorageFileSystem& inner = SystemFileSystem()) : inner_(inner) {}

  // The disk changes made through this object so far.
  std::uint64_t Writes() const { return writes_; }
  bool Crashed() const { return crashed_; }

  // The next n disk changes happen; the one after throws TSimulatedCrash.
  void CrashAfterWrites(std::uint64_t n) { crash_at_ = writes_ + n; }
  // The next n disk changes happen; every later write, creation or copy
  // fails with error (removals still work).
  void FailWritesAfter(std::uint64_t n, int error) {
    fail_at_ = writes_ + n;
    fail_error_ = error;
  }
  // Opening for writing (ReadWrite, Write, Create) fails with error; 0 stops.
  void FailOpenForWriting(int error) { open_error_ = error; }
  // Copies fail with error; 0 stops.
  void FailCopies(int error) { copy_error_ = error; }
  // Back to normal, also after a crash.
  void Heal();

  std::unique_ptr<TStorageFile> Open(const std::string& path, TOpenMode mode) override;
  bool Exists(const std::string& path) override;
  bool Remove(const std::string& path) override;
  bool RemoveReadOnly(const std::string& path) override;
  platform::TFileResult Copy(const std::string& source, const std::string& target,
                             bool overwrite) override;

 private:
  friend class TFaultyFile;
  // Called before each disk change: counts it, or throws when it must fail.
  void BeforeChange(bool is_removal = false);

  TStorageFileSystem& inner_;
  std::uint64_t writes_ = 0;
  std::optional<std::uint64_t> crash_at_;
  std::optional<std::uint64_t> fail_at_;
  int fail_error_ = 0;
  int open_error_ = 0;
  int copy_error_ = 0;
  bool crashed_ = false;
};

}  // namespace ledgora
