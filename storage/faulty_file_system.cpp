#include "storage/faulty_file_system.h"

#include <cerrno>

namespace ledgora {

class TFaultyFile final : public TStorageFile {
 public:
  TFaultyFile(TFaultyFileSystem& fs, std::unique_ptr<TStorageFile> inner)
      : fs_(fs), inner_(std::move(inner)) {}

  std::size_t ReadAt(std::uint64_t offset, void* data, std::size_t size) override {
    if (fs_.crashed_) throw TFileError("read after crash", EIO);
    return inner_->ReadAt(offset, data, size);
  }
  void WriteAt(std::uint64_t offset, const void* data, std::size_t size) override {
    fs_.BeforeChange();
    inner_->WriteAt(offset, data, size);
  }
  std::uint64_t Size() override {
    if (fs_.crashed_) throw TFileError("stat after crash", EIO);
    return inner_->Size();
  }
  void Sync() override {
    if (fs_.crashed_) throw TFileError("sync after crash", EIO);
    inner_->Sync();
  }

 private:
  TFaultyFileSystem& fs_;
  std::unique_ptr<TStorageFile> inner_;
};

void TFaultyFileSystem::Heal() {
  crash_at_.reset();
  fail_at_.reset();
  open_error_ = 0;
  copy_error_ = 0;
  crashed_ = false;
}

void TFaultyFileSystem::BeforeChange(bool is_removal) {
  if (crashed_) throw TFileError("change after crash", EIO);
  if (crash_at_ && writes_ >= *crash_at_) {
    crashed_ = true;
    throw TSimulatedCrash();
  }
  if (!is_removal && fail_at_ && writes_ >= *fail_at_) {
    throw TFileError("injected write failure", fail_error_);
  }
  ++writes_;
}

std::unique_ptr<TStorageFile> TFaultyFileSystem::Open(const std::string& path, TOpenMode mode) {
  if (crashed_) throw TFileError("open after crash", EIO);
  if (mode != TOpenMode::Read && open_error_ != 0) {
    throw TFileError("injected open failure " + path, open_error_);
  }
  if (mode == TOpenMode::Create) BeforeChange();
  return std::make_unique<TFaultyFile>(*this, inner_.Open(path, mode));
}

bool TFaultyFileSystem::Exists(const std::string& path) {
  return !crashed_ && inner_.Exists(path);
}

bool TFaultyFileSystem::Remove(const std::string& path) {
  try {
    BeforeChange(true);
  } catch (const TFileError&) {
    return false;
  }
  return inner_.Remove(path);
}

bool TFaultyFileSystem::RemoveReadOnly(const std::string& path) {
  return !crashed_ && inner_.RemoveReadOnly(path);
}

platform::TFileResult TFaultyFileSystem::Copy(const std::string& source, const std::string& target,
                                              bool overwrite) {
  if (crashed_) return {false, EIO};
  if (copy_error_ != 0) return {false, copy_error_};
  try {
    BeforeChange();
  } catch (const TFileError& e) {
    return {false, e.Error()};
  }
  return inner_.Copy(source, target, overwrite);
}

}  // namespace ledgora
