// The document side of the storage: choosing, refusing, creating, opening,
// closing books, their password, the archive command and the undo of a
// download.
//
// TBookDocument holds the one open book (the program-wide TDatabase) and
// runs the commands on it. Every question, message, file choice, progress
// window and wait cursor goes through the TUserPort it is given, with the
// system's own texts; the windows only show what it asks. What belongs to
// the main window (its title, its views, the import entry, the new-book
// wizard) is reached through TBookViews.
//
// Storage exceptions. A TXOrvanet raised while a book is opened is not
// answered here: it reaches the caller (the storage-exception handling of
// the application), with the book that failed still held (Book() may be
// non-null and not open) and its path in LastBookPath(), so that the
// handler can close it (CloseWithoutSaving) or rebuild it (RebuildAndReload).
// The start-up opening closes the book itself first (see StartupOpen).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "storage/archive.h"
#include "storage/backup.h"
#include "storage/database.h"
#include "storage/rebuild.h"

namespace ledgora {

// --- The in-use check ---------------------------------------------------------

// Before every construction of a TDatabase. When the book and its working
// copy both exist and this user's main profile holds no in-use marker for
// the book, the dialog "Ledgora" says "La base de données %s est sûrement en
// cours d'utilisation." (with its two explanation lines as details and one
// button "O&K"): pressed without Ctrl it refuses; with Ctrl the question
// "Vous avez demandé à ouvrir quand même la base de données..." (Yes/No)
// decides. Every other case allows. path: the book or its working copy.
bool CheckNotInUse(const std::string& path, TUserPort& port,
                   TStorageFileSystem& files = SystemFileSystem());

// --- Templates and paths ---------------------------------------------------------

// The category sets of the new-book wizard, in the order of its list.
enum class TCategorySet { None, Particulier, Sante, Agriculteur };

// "DEFAUT0.$$$" (Particulier), "DEFAUT1.$$$" (Profession de santé),
// "DEFAUT3.$$$" (Agriculteur); "" for None.
std::string_view TemplateFileName(TCategorySet set);
// The template in the program's data folder ("" for None).
std::string TemplatePath(TCategorySet set);
// The wizard's list entries: "[Aucun]", "Particulier", "Profession de
// santé", "Agriculteur".
std::string_view CategorySetLabel(TCategorySet set);

// The books folder + name + ".VX"; an empty name gives "sansnom".
std::string NewBookPath(const std::string& name);

// The main window's title of an open book: "Ledgora [path]".
std::string BookWindowTitle(const std::string& book_path);

// The pre-download copy: the working copy copied to "__ld$$$.vx" in the
// books folder when a download starts (the undo recorder asks it). False
// when the copy failed (nothing to undo then).
bool TakePreDownloadCopy(TDatabase& db);

// --- The main window's side ---------------------------------------------------------

class TBookViews {
 public:
  virtual ~TBookViews() = default;
  // After-open: the new title; then the views are to show the book.
  virtual void SetTitle(const std::string& title) { (void)title; }
  virtual void RefreshViews(bool from_command_line) { (void)from_command_line; }
  // The book is about to be destroyed: the views let go of its records.
  virtual void EmptyViews() {}
  // The import entry (statement files named on the command line).
  virtual void ImportCommandLine(const std::string& command_line) { (void)command_line; }
  // No book to open at start: run the new-book wizard soon (the program's
  // one-shot timer 0x8031 of 100 ms), then hand the saved command line to
  // the import entry.
  virtual void ScheduleNewBookWizard(const std::string& saved_command_line) {
    (void)saved_command_line;
  }
};

// --- The document ---------------------------------------------------------------------

// What the wizard collected.
struct TNewBookAnswers {
  std::string name;
  TCategorySet categories = TCategorySet::None;
};

// What the password dialog collected (each at most 8 characters; upper case
// is applied here).
struct TPasswordChange {
  std::string old_password;  // ignored when the book has none
  std::string new_password;  // empty: no password
  std::string confirmation;
};

enum class TPasswordResult {
  Changed,      // rebuilt with the new password, reopened, saved
  WrongOld,     // "L'ancien mot de passe n'est pas valide !" shown: clear that field
  Mismatch,     // "Les mots de passe sont différents !..." shown: focus the new one
  Declined,     // No to the rebuild question: nothing changed
  NotReopened,  // the in-use check refused the reopening: no book open now
};

class TBookDocument {
 public:
  explicit TBookDocument(TUserPort& port, TStorageFileSystem& files = SystemFileSystem());
  // Destroys the open book without closing it (the working copy stays, as
  // after a crash); the program closes it first (Close).
  ~TBookDocument();
  TBookDocument(const TBookDocument&) = delete;
  TBookDocument& operator=(const TBookDocument&) = delete;

  // Not owned; null: no views. Must outlive the document.
  void SetViews(TBookViews* views) { views_ = views ? views : &no_views_; }
  // Called on every TDatabase this document constructs, before it is opened
  // (the operations layer puts its hooks and undo recorder there; tests
  // switch durability off).
  void SetBookSetup(std::function<void(TDatabase&)> setup) { setup_ = std::move(setup); }

  // The open book, or null. May be non-null and not open right after a
  // storage exception (see the file comment).
  TDatabase* Book() const { return db_.get(); }
  bool HasOpenBook() const { return db_ && db_->IsOpen() && !db_->Closed(); }
  // The book the last opening, creation or rebuild was about.
  const std::string& LastBookPath() const { return last_path_; }
  TUserPort& Port() const { return port_; }

  // Start-up: the command-line book (a ".VX" that exists), else the one of
  // "Setup"/"LDatabase" (or "Setup"/"Database"); none: the views schedule the
  // wizard and the sequence ends. Then the command line goes to the import
  // entry, and with a book open whose backup reminder has run out the backup
  // dialog is shown. A TXOrvanet closes the book (CloseWithoutSaving) and,
  // but for 20900 which ends the sequence, is thrown on.
  void StartupOpen(const std::string& command_line);

  // After every successful opening: "Setup"/"Database" and "LDatabase", the
  // title, the account of "Setup"/"CompteActif" (else the first) made
  // current, the views refreshed.
  void AfterOpen(bool from_command_line = false);

  // In-use check, construction, Open (asking the password), after-open.
  // False when the in-use check refused (nothing constructed). Throws
  // TXOrvanet (the book kept, see the file comment).
  bool OpenBook(const std::string& path, bool from_command_line = false);

  // The command "Ouvrir": closes the current book (false on Annuler), asks
  // the file ("Ouverture d'un livre de comptes", filter "Livre de comptes
  // (*.VX)|*.VX|", in the books folder), checks the extension ("Le format du
  // livre de comptes %s n'est pas valide."), then OpenBook. True when a book
  // was opened.
  bool Open();
  // The recent entry n (1 to 4): "Le livre de comptes correspondant n'existe
  // pas ou est incorrect !" when its file is gone (the list unchanged).
  bool OpenRecent(int n);

  // The command "Fermer" (and every command that replaces the book): with
  // changes since the last save, "Demande de confirmation" asks Oui / Non /
  // Annuler. Oui: the working copy replaces the book; Non: the working copy
  // is deleted, the book stays as last saved; Annuler: false, nothing done.
  // The marker is removed, the views emptied and the book destroyed. True
  // also when no book was open. When the book cannot be replaced (Oui), it
  // stays open and false is returned: nothing is lost.
  bool Close();
  // The closing of the storage-exception handling and of the undo of a
  // download: the views emptied, the book destroyed without saving (its
  // working copy stays, with its marker), "Setup"/"Database" and
  // "Setup"/"LDatabase" emptied so that it is not reopened at start.
  void CloseWithoutSaving();

  // The wizard's Finish. False when nothing was opened (Annuler at the
  // close, No to opening an existing book, a missing template, a failed
  // copy, a refused in-use check). Throws TXOrvanet as OpenBook.
  bool NewBook(const TNewBookAnswers& answers);

  // The password dialog's OK on the open book. On Changed the book has been
  // saved, rebuilt with the new key, reopened and saved again. Throws
  // TXOrvanet from the rebuild (20906...) with the book still as last saved
  // under its former password.
  TPasswordResult ChangePassword(const TPasswordChange& change);

  // The storage-exception handling's rebuild (20901, 20905) and conversion
  // (20908): closes the current book without saving, in-use check, a new
  // TDatabase on path rebuilt (asking the password) and reopened, after-open.
  // False when the in-use check refused. Throws TXOrvanet from the rebuild.
  bool RebuildAndReload(const std::string& path);

  // "Annuler le téléchargement": back to the pre-download copy. False (and
  // "Impossible d'annuler le téléchargement !", stop icon) when there is
  // none or it cannot be put back; the book is then left as it was.
  bool UndoDownload();

  // The command "Archivage d'un livre de comptes" (question, date, file),
  // then ArchiveBook and after-open. False when the user stopped it or the
  // archive was abandoned. Throws TXOrvanet 20909.
  bool Archive();

  // The backup dialog on the open book (false without one).
  bool Backup();

 private:
  std::unique_ptr<TDatabase> Construct(const std::string& path);
  void Destroy();
  void ClearStartKeys();
  bool HasBookExtension(const std::string& path) const;

  TUserPort& port_;
  TStorageFileSystem& files_;
  TBookViews no_views_;
  TBookViews* views_ = &no_views_;
  std::function<void(TDatabase&)> setup_;
  std::unique_ptr<TDatabase> db_;
  std::string last_path_;
};

}  // namespace ledgora
