#include "storage/database_file.h"

#include <exception>
#include <stdexcept>

#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "platform/files.h"
#include "storage/book_profile.h"
#include "storage/xorvanet.h"

namespace ledgora {

TDatabaseFile::TDatabaseFile(const std::string& path, TUserPort& port, TStorageFileSystem& files)
    : port_(port), files_(files) {
  const std::string absolute = platform::AbsolutePath(path);
  const auto stem = [&](std::string_view ending) {
    return absolute.substr(0, absolute.size() - ending.size());
  };
  const bool book_given =
      EndsWithNoCase(absolute, kBookExtension) && !EndsWithNoCase(absolute, kWorkingCopyExtension);
  if (EndsWithNoCase(absolute, kWorkingCopyExtension)) {
    working_path_ = absolute;
    book_path_ = stem(kWorkingCopyExtension) + std::string(kBookExtension);
  } else if (book_given) {
    book_path_ = absolute;
    working_path_ = stem(kBookExtension) + std::string(kWorkingCopyExtension);
  } else {
    throw TXOrvanet(kOrvNotABook, absolute);
  }

  // The construction steps, in their order.
  if (book_given) EnterRecentBook(book_path_);
  WriteInUseMarker(book_path_);
  files_.RemoveReadOnly(book_path_);
  files_.RemoveReadOnly(working_path_);
  if (files_.Exists(working_path_)) {
    working_copy_existed_ = true;
  } else if (files_.Exists(book_path_)) {
    files_.Copy(book_path_, working_path_, /*overwrite=*/false);
  }
}

TDatabaseFile::TDatabaseFile(TWorkFile work, TUserPort& port, TStorageFileSystem& files)
    : port_(port), files_(files), working_path_(platform::AbsolutePath(work.path)) {}

void TDatabaseFile::SetDirtyFlag(std::uint32_t value) {
  if (dirty_ == value) return;
  try {
    auto file = files_.Open(working_path_, TOpenMode::Write);
    std::uint8_t bytes[4];
    StoreU32(bytes, value);
    file->WriteAt(0, bytes, sizeof bytes);
    if (durable_) file->Sync();
  } catch (const TFileError& e) {
    throw TXOrvanet(kOrvFileUnavailable, working_path_, e.Error());
  }
  dirty_ = value;
}

void TDatabaseFile::BeginWrite() {
  // After a failed change nothing more is written, not even inside a phase
  // that is still open.
  if (failed_) throw TXOrvanet(kOrvDamaged, working_path_);
  if (depth_ > 0) {
    ++depth_;
    return;
  }
  SetDirtyFlag(1);
  try {
    file_ = files_.Open(working_path_, TOpenMode::ReadWrite);
  } catch (const TFileError& e) {
    // Nothing was changed: the flag may go back.
    try {
      SetDirtyFlag(0);
    } catch (const TXOrvanet&) {
    }
    throw TXOrvanet(kOrvFileUnavailable, working_path_, e.Error());
  }
  phase_writes_ = 0;
  depth_ = 1;
}

void TDatabaseFile::CloseAfterPhase(bool failed) noexcept {
  if (failed && phase_writes_ > 0) failed_ = true;
  bool flushed = true;
  if (!failed_ && durable_ && phase_writes_ > 0) {
    try {
      file_->Sync();
    } catch (const std::exception&) {
      flushed = false;
    }
  }
  file_.reset();
  depth_ = 0;
  if (failed_ || !flushed) return;
  try {
    SetDirtyFlag(0);
  } catch (const std::exception&) {
    // The flag stays 1 on disk and in the cache: the next phase or Save
    // clears it, or the next opening offers the rebuild.
  }
}

void TDatabaseFile::EndWrite() noexcept {
  if (depth_ == 0) return;
  if (--depth_ > 0) return;
  CloseAfterPhase(false);
}

void TDatabaseFile::AbandonWrite() noexcept {
  if (depth_ == 0) return;
  if (phase_writes_ > 0) failed_ = true;
  if (--depth_ > 0) return;
  CloseAfterPhase(true);
}

TStorageFile& TDatabaseFile::PhaseFile() const {
  if (!file_) throw std::logic_error("no write phase is open");
  return *file_;
}

void TDatabaseFile::PhaseWrite(std::uint64_t offset, const void* data, std::size_t size) {
  TStorageFile& file = PhaseFile();
  ++phase_writes_;
  file.WriteAt(offset, data, size);
}

void TDatabaseFile::SetPassword(std::string_view password) {
  password_ = ToUpperNoCase(Utf8Prefix(password, 8));
  password_flag_ = password_.empty() ? 0 : 1;
}

bool TDatabaseFile::PasswordMatches(std::string_view password, std::string_view typed) {
  return EqualsNoCase(ToUpperNoCase(Utf8Prefix(typed, 8)), password);
}

void TDatabaseFile::SetReadKey(std::string_view password) {
  read_key_ = MakeScrambleKey(Utf8ToCp1252(password));
}

void TDatabaseFile::SetWriteKey(std::string_view password) {
  write_key_ = MakeScrambleKey(Utf8ToCp1252(password));
}

}  // namespace ledgora
