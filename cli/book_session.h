// TBookSession: one book opened for one command of ledgora-cli, and closed
// at its end.
//
// Opening: the argument names the book (".VX") or its working copy (".$VX",
// compared without regard to case); a bare name without "/" or extension is
// a book of the books folder. A book whose file and working copy are both
// missing gives "Le livre de comptes correspondant n'existe pas ou est
// incorrect !". Then the in-use check, the construction of the TDatabase
// (working copy, in-use marker, recent books) with the operations hooks,
// and Open asking the password through the port.
//
// A working copy that exists before the run means that the book is open in
// the program right now, or was left by a crash. The in-use check lets this
// user's own working copy through (its marker is there in both cases), but
// taking over a book that the program has open would pull the working copy
// from under it; so without --force the command stops there with
// kWorkingCopyFoundMessage (exit code 1).
//
// Closing (Finish): with save, TDatabase::Close (the working copy replaces
// the book and is deleted) and the in-use marker removed. Without save
// (--no-save, a refusal, a failure): the changes of this run are dropped and
// the files are left as they were found: the working copy this run made is
// deleted with its marker, a working copy that was there before is given
// back its bytes as found, and keeps its marker if it had one. A book whose change failed on disk
// (TDatabase::Failed) is never saved: its working copy stays for the
// rebuild. Destruction without Finish drops the changes the same way.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "operations/operations_hooks.h"
#include "storage/database.h"

namespace ledgora::cli {

// A failure of a command that ends with an exit code and a message (already
// in the system's words).
class TCommandFailure : public std::runtime_error {
 public:
  TCommandFailure(int exit_code, const std::string& message)
      : std::runtime_error(message), exit_code_(exit_code) {}
  int ExitCode() const { return exit_code_; }

 private:
  int exit_code_;
};

inline constexpr std::string_view kBookMissingMessage =
    "Le livre de comptes correspondant n'existe pas ou est incorrect !";

inline constexpr std::string_view kWorkingCopyFoundMessage =
    "la copie de travail du livre existe déjà : il est peut-être ouvert dans Ledgora, ou a été "
    "laissé par un arrêt brutal. Fermez-le dans Ledgora, ou ajoutez --force pour l'utiliser "
    "quand même.";

// The book path of an argument (see above), absolute. TCommandFailure with
// exit code 2 and "Le format du livre de comptes %s n'est pas valide." for a
// path with another extension.
std::string BookPathOf(const std::string& argument);
// The working copy of a book path.
std::string WorkingCopyOf(const std::string& book_path);

class TBookSession {
 public:
  // Throws TCommandFailure (missing book: 3; in-use check refused: 1) and
  // TXOrvanet from the opening, after putting the files back as found.
  // open false: constructed only (the rebuild opens it itself). force: a
  // working copy found beside the book is used (see kWorkingCopyFoundMessage).
  TBookSession(const std::string& argument, TUserPort& port, bool open = true, bool force = false);
  ~TBookSession();
  TBookSession(const TBookSession&) = delete;
  TBookSession& operator=(const TBookSession&) = delete;

  TDatabase& Book() { return *db_; }
  TOperationsHooks& Hooks() { return hooks_; }
  const std::string& BookPath() const { return book_path_; }

  // Closes the book (see above). TCommandFailure with exit code 3 when a
  // book to be saved cannot be.
  void Finish(bool save);
  // Drops the TDatabase without closing it (a command that reopens the
  // book itself, such as the rebuild); the files stay as they are.
  void Release();

 private:
  void Restore() noexcept;

  std::string book_path_;
  std::string working_path_;
  bool working_existed_ = false;
  bool marker_existed_ = false;
  std::optional<std::string> found_working_copy_;
  TOperationsHooks hooks_;
  std::unique_ptr<TDatabase> db_;
  bool finished_ = false;
};

// The in-use check before a book is opened (see storage/book_lifecycle.h).
bool InUseCheckAllows(const std::string& book_path, TUserPort& port);

}  // namespace ledgora::cli
