// TDatabaseFile: the file side of an open book.
//
// Knows the two paths (the book ".VX" and its working copy ".$VX"), the
// dirty flag, the write phase, the password and the scrambling keys; leaves
// the writing of the header to TDatabase through WriteHeader.
//
// Write phase. Every change of the book is one write phase (see
// TWritePhase): the first BeginWrite sets the dirty flag of the working copy
// to 1 (a separate open, write and close of its first four bytes) and opens
// the working copy for reading and writing; nested calls only count; the
// last EndWrite closes the file and sets the flag back to 0. A book found
// with the flag set at opening was left inside a change.
//
// Failure inside a change. When a phase ends by an exception after it wrote
// something, the working copy may disagree with memory: the flag stays 1 on
// disk, the object is marked Failed, every later change is refused with
// 20905, and Save and Close leave the book file alone (the next opening
// offers the rebuild). A phase that wrote nothing ends normally.
//
// Durability. When Durable (the default) the flag set to 1 is flushed
// before the change writes anything, and the change is flushed before the
// flag goes back to 0, so that even a power cut leaves either the flag set or
// a whole change. Tests and benchmarks may switch it off.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/user_port.h"
#include "storage/record_buffer.h"
#include "storage/storage_file_system.h"

namespace ledgora {

inline constexpr std::string_view kBookExtension = ".VX";
inline constexpr std::string_view kWorkingCopyExtension = ".$VX";

class TDatabaseFile {
 public:
  // Construction with the path of the book or of its working copy, in this
  // order: the book (a ".VX" path) enters the recent-books list; the in-use
  // marker is written; both files lose their read-only attribute; the book
  // is copied to the working copy unless that exists already
  // (WorkingCopyExisted). A path with neither ending throws 20902.
  TDatabaseFile(const std::string& path, TUserPort& port, TStorageFileSystem& files);
  // A file written directly, with no book behind it (the work files of the
  // rebuild and the archive): path is the file written, BookPath() is empty,
  // nothing enters the profiles and nothing is copied.
  struct TWorkFile {
    std::string path;
  };
  TDatabaseFile(TWorkFile work, TUserPort& port, TStorageFileSystem& files);
  virtual ~TDatabaseFile() = default;
  TDatabaseFile(const TDatabaseFile&) = delete;
  TDatabaseFile& operator=(const TDatabaseFile&) = delete;

  const std::string& BookPath() const { return book_path_; }
  const std::string& WorkingCopyPath() const { return working_path_; }
  bool WorkingCopyExisted() const { return working_copy_existed_; }
  TUserPort& Port() const { return port_; }
  TStorageFileSystem& Files() const { return files_; }

  // Opens a write phase; nested calls only count. Throws 20900 when the
  // working copy cannot be opened for writing, 20905 when a change failed
  // before (Failed).
  void BeginWrite();
  // Leaves it; the outermost closes the file and clears the dirty flag.
  // Never throws: a flag that cannot be cleared stays 1 and is cleared by a
  // later phase, or makes Save refuse.
  void EndWrite() noexcept;
  // The same, for a phase left by an exception.
  void AbandonWrite() noexcept;
  bool InWritePhase() const { return depth_ > 0; }
  // The working copy opened by the write phase (std::logic_error outside).
  TStorageFile& PhaseFile() const;
  // Every write of a change goes through here, so that the phase knows it
  // wrote something.
  void PhaseWrite(std::uint64_t offset, const void* data, std::size_t size);

  // The dirty flag as last written to the working copy.
  std::uint32_t DirtyFlag() const { return dirty_; }
  bool Failed() const { return failed_; }
  bool Durable() const { return durable_; }
  void SetDurable(bool durable) { durable_ = durable; }

  // The password of the book (plain, UTF-8, at most 8 characters, upper
  // case when set here). Storing it in the header is the next WriteHeader.
  bool HasPassword() const { return password_flag_ != 0 && !password_.empty(); }
  std::uint32_t PasswordFlag() const { return password_flag_; }
  const std::string& Password() const { return password_; }
  // A new password, or none when empty: cut to 8 characters, upper-cased.
  void SetPassword(std::string_view password);
  // True when the typed text (upper-cased, at most 8 characters) is the
  // password; case is ignored, for books whose password was stored in
  // lower case.
  bool ComparePassword(std::string_view typed) const { return PasswordMatches(password_, typed); }
  // The same against a stored password (plain, as Password() holds it).
  static bool PasswordMatches(std::string_view password, std::string_view typed);
  // The scrambling keys of the payloads read and written; an empty password
  // means no scrambling. The rebuild reads with one and writes with another.
  void SetReadKey(std::string_view password);
  void SetWriteKey(std::string_view password);
  const std::optional<TScrambleKey>& ReadKey() const { return read_key_; }
  const std::optional<TScrambleKey>& WriteKey() const { return write_key_; }

  // Writes the header from offset 4 (the dirty flag belongs to the write
  // phase) into a file open for writing.
  virtual void WriteHeader(TStorageFile& file) = 0;

 protected:
  // Writes the flag to the working copy when it differs from the cached
  // value; 20900 when the working copy cannot be opened or written.
  void SetDirtyFlag(std::uint32_t value);
  void SetPasswordFields(std::uint32_t flag, std::string password) {
    password_flag_ = flag;
    password_ = std::move(password);
  }
  // The dirty flag of a working copy written whole (a new empty book).
  void ResetDirtyCache(std::uint32_t value) { dirty_ = value; }

 private:
  void CloseAfterPhase(bool failed) noexcept;

  int depth_ = 0;
  TUserPort& port_;
  TStorageFileSystem& files_;
  std::unique_ptr<TStorageFile> file_;
  std::string book_path_;
  std::string working_path_;
  std::uint32_t dirty_ = 0;
  std::uint32_t password_flag_ = 0;
  std::string password_;
  std::optional<TScrambleKey> read_key_;
  std::optional<TScrambleKey> write_key_;
  std::uint64_t phase_writes_ = 0;
  bool working_copy_existed_ = false;
  bool failed_ = false;
  bool durable_ = true;
};

}  // namespace ledgora
