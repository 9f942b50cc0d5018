#include "cli/book_session.h"

#include "cli/cli_arguments.h"
#include "foundation/nocase.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "storage/book_lifecycle.h"
#include "storage/book_profile.h"
#include "storage/xorvanet.h"

namespace ledgora::cli {
namespace {

std::string InvalidFormat(const std::string& path) {
  return "Le format du livre de comptes " + path + " n'est pas valide.";
}

}  // namespace

std::string BookPathOf(const std::string& argument) {
  if (EndsWithNoCase(argument, kWorkingCopyExtension)) {
    return platform::AbsolutePath(
        argument.substr(0, argument.size() - kWorkingCopyExtension.size()) +
        std::string(kBookExtension));
  }
  if (EndsWithNoCase(argument, kBookExtension)) return platform::AbsolutePath(argument);
  if (argument.find('/') == std::string::npos && argument.find('.') == std::string::npos) {
    return NewBookPath(argument);
  }
  throw TCommandFailure(kExitUsage, InvalidFormat(argument));
}

std::string WorkingCopyOf(const std::string& book_path) {
  return book_path.substr(0, book_path.size() - kBookExtension.size()) +
         std::string(kWorkingCopyExtension);
}

bool InUseCheckAllows(const std::string& book_path, TUserPort& port) {
  return CheckNotInUse(book_path, port);
}

TBookSession::TBookSession(const std::string& argument, TUserPort& port, bool open, bool force) {
  // The argument's own spelling of the extension is kept for the book (a
  // ".vx" stays ".vx"); the working copy follows it.
  std::string path = argument;
  if (EndsWithNoCase(argument, kWorkingCopyExtension)) {
    path = argument.substr(0, argument.size() - kWorkingCopyExtension.size()) +
           std::string(kBookExtension);
  } else if (!EndsWithNoCase(argument, kBookExtension)) {
    path = BookPathOf(argument);
  }
  book_path_ = platform::AbsolutePath(path);
  working_path_ = WorkingCopyOf(book_path_);
  working_existed_ = platform::FileExists(working_path_);
  if (!platform::FileExists(book_path_) && !working_existed_) {
    throw TCommandFailure(kExitStorage, std::string(kBookMissingMessage));
  }
  marker_existed_ = HasInUseMarker(book_path_);
  if (!InUseCheckAllows(book_path_, port)) {
    throw TCommandFailure(kExitRefused, "le livre de comptes est en cours d'utilisation");
  }
  if (working_existed_ && !force) {
    throw TCommandFailure(kExitRefused, std::string(kWorkingCopyFoundMessage));
  }
  if (working_existed_) {
    // The changes of this run go into a working copy that holds earlier
    // ones: its bytes are kept so that dropping this run gives it back.
    found_working_copy_ = platform::ReadFile(working_path_);
    if (!found_working_copy_) {
      throw TCommandFailure(kExitStorage, OrvanetMessage(kOrvFileUnavailable, working_path_));
    }
  }
  try {
    db_ = std::make_unique<TDatabase>(book_path_, port);
    db_->SetHooks(&hooks_);
    if (open) db_->Open(true);
  } catch (...) {
    Restore();
    throw;
  }
}

TBookSession::~TBookSession() {
  if (!finished_) Restore();
}

void TBookSession::Restore() noexcept {
  finished_ = true;
  db_.reset();
  if (!working_existed_) {
    platform::RemoveFile(working_path_);
  } else if (found_working_copy_) {
    const auto now = platform::ReadFile(working_path_);
    if (!now || *now != *found_working_copy_) {
      platform::ReplaceFileContents(working_path_, *found_working_copy_);
    }
  }
  if (!marker_existed_) RemoveInUseMarker(book_path_);
}

void TBookSession::Release() {
  finished_ = true;
  db_.reset();
}

void TBookSession::Finish(bool save) {
  if (finished_) return;
  if (!save) {
    Restore();
    return;
  }
  if (db_->Failed()) {
    // The working copy disagrees with memory: it stays, marked, for the
    // rebuild at the next opening.
    finished_ = true;
    db_.reset();
    throw TCommandFailure(kExitStorage,
                          "Le livre de comptes est abîmé.\nUne reconstruction "
                          "automatique est indispensable.");
  }
  const bool closed = db_->Close();
  finished_ = true;
  db_.reset();
  if (!closed) {
    // Nothing is lost: the working copy and its marker stay.
    throw TCommandFailure(kExitStorage, "Sauvegarde du livre de comptes impossible !");
  }
  RemoveInUseMarker(book_path_);
}

}  // namespace ledgora::cli
