#include "storage/book_lifecycle.h"

#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "storage/book_profile.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

constexpr std::string_view kSetup = "Setup";
constexpr std::string_view kDatabaseKey = "Database";
constexpr std::string_view kLongDatabaseKey = "LDatabase";
constexpr std::string_view kActiveAccountKey = "CompteActif";

std::string Format(std::string_view pattern, std::string_view value) {
  std::string out(pattern);
  const std::size_t at = out.find("%s");
  if (at != std::string::npos) out.replace(at, 2, value);
  return out;
}

// The book and working-copy paths of either file; false for another path.
bool BookPaths(const std::string& path, std::string& book, std::string& working) {
  const std::string absolute = platform::AbsolutePath(path);
  if (EndsWithNoCase(absolute, kWorkingCopyExtension)) {
    working = absolute;
    book = absolute.substr(0, absolute.size() - kWorkingCopyExtension.size()) +
           std::string(kBookExtension);
    return true;
  }
  if (EndsWithNoCase(absolute, kBookExtension)) {
    book = absolute;
    working = absolute.substr(0, absolute.size() - kBookExtension.size()) +
              std::string(kWorkingCopyExtension);
    return true;
  }
  return false;
}

std::string Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\"");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\"");
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace

// --- The in-use check ---------------------------------------------------------------

bool CheckNotInUse(const std::string& path, TUserPort& port, TStorageFileSystem& files) {
  std::string book;
  std::string working;
  if (!BookPaths(path, book, working)) return true;
  if (!files.Exists(book) || !files.Exists(working) || HasInUseMarker(book)) return true;
  TMessage dialog;
  dialog.caption = std::string(kProgramName);
  dialog.text = Format("La base de données %s est sûrement en cours d'utilisation.", book);
  dialog.details = {
      Format("%s ne permet pas d'ouvrir simultanément plusieurs fois la même base de "
             "données.\nVous devez attendre que la base soit libérée pour pouvoir l'utiliser.",
             kProgramName),
      "Toutefois, vous pouvez forcer l'ouverture de la base en appuyant sur le bouton OK tout en "
      "maintenant la touche [Ctrl] enfoncée."};
  dialog.icon = TIcon::Exclamation;
  dialog.buttons = TButtons::Ok;
  dialog.labels = {"O&K"};
  const TReply reply = port.Message(dialog);
  if (reply.button != TButton::Ok || !reply.ctrl_held) return false;
  return port.Ask(
             "Vous avez demandé à ouvrir quand même la base de données. Ceci peut altérer "
             "irrémédiablement les données de celle-ci.\nConfirmez-vous ce choix ?",
             TButtons::YesNo) == TButton::Yes;
}

// --- Templates and paths --------------------------------------------------------------

std::string_view TemplateFileName(TCategorySet set) {
  switch (set) {
    case TCategorySet::None:
      return "";
    case TCategorySet::Particulier:
      return "DEFAUT0.$$$";
    case TCategorySet::Sante:
      return "DEFAUT1.$$$";
    case TCategorySet::Agriculteur:
      return "DEFAUT3.$$$";
  }
  return "";
}

std::string TemplatePath(TCategorySet set) {
  const std::string_view name = TemplateFileName(set);
  if (name.empty()) return {};
  return platform::JoinPath(platform::Configuration().data_folder, std::string(name));
}

std::string_view CategorySetLabel(TCategorySet set) {
  switch (set) {
    case TCategorySet::None:
      return "[Aucun]";
    case TCategorySet::Particulier:
      return "Particulier";
    case TCategorySet::Sante:
      return "Profession de santé";
    case TCategorySet::Agriculteur:
      return "Agriculteur";
  }
  return "";
}

std::string NewBookPath(const std::string& name) {
  std::string file = Trimmed(name).empty() ? std::string("sansnom") : name;
  // A name is a file name in the books folder, never a path elsewhere.
  for (char& c : file) {
    if (c == '/' || c == '\\') c = '_';
  }
  if (file == "." || file == "..") file = "sansnom";
  return platform::JoinPath(platform::Configuration().books_folder,
                            file + std::string(kBookExtension));
}

std::string BookWindowTitle(const std::string& book_path) {
  return std::string(kProgramName) + " [" + book_path + "]";
}

bool TakePreDownloadCopy(TDatabase& db) {
  platform::MakeDirectories(platform::DirName(TDatabase::PreDownloadCopyPath()));
  const bool copied = static_cast<bool>(
      db.Files().Copy(db.WorkingCopyPath(), TDatabase::PreDownloadCopyPath(), true));
  if (copied) db.SetPreDownloadCopyTaken(true);
  return copied;
}

// --- The document ---------------------------------------------------------------------

TBookDocument::TBookDocument(TUserPort& port, TStorageFileSystem& files)
    : port_(port), files_(files) {}

TBookDocument::~TBookDocument() = default;

std::unique_ptr<TDatabase> TBookDocument::Construct(const std::string& path) {
  auto db = std::make_unique<TDatabase>(path, port_, files_);
  last_path_ = db->BookPath();
  if (setup_) setup_(*db);
  return db;
}

void TBookDocument::Destroy() {
  if (!db_) return;
  views_->EmptyViews();
  db_.reset();
}

void TBookDocument::ClearStartKeys() {
  platform::ProfileWriteText(kSetup, kDatabaseKey, "");
  platform::ProfileWriteText(kSetup, kLongDatabaseKey, "");
}

bool TBookDocument::HasBookExtension(const std::string& path) const {
  return EndsWithNoCase(path, kBookExtension) && !EndsWithNoCase(path, kWorkingCopyExtension);
}

void TBookDocument::AfterOpen(bool from_command_line) {
  if (!db_) return;
  const std::string& path = db_->BookPath();
  // The short form of a path is the path itself here.
  platform::ProfileWriteText(kSetup, kDatabaseKey, path);
  platform::ProfileWriteText(kSetup, kLongDatabaseKey, path);
  views_->SetTitle(BookWindowTitle(path));
  const std::string name = platform::ProfileReadText(kSetup, kActiveAccountKey, "", 25);
  TAccountRecord* current = nullptr;
  for (TAccountRecord& account : db_->Accounts().Records<TAccountRecord>()) {
    if (!name.empty() && EqualsNoCase(account.name, name)) {
      current = &account;
      break;
    }
  }
  if (!current && db_->Accounts().Head()) {
    current = &db_->Accounts().Head()->As<TAccountRecord>();
  }
  db_->SetCurrentAccount(current);
  views_->RefreshViews(from_command_line);
}

bool TBookDocument::OpenBook(const std::string& path, bool from_command_line) {
  Destroy();
  std::string book;
  std::string working;
  last_path_ = BookPaths(path, book, working) ? book : path;
  if (!CheckNotInUse(path, port_, files_)) return false;
  db_ = Construct(path);
  db_->Open(/*ask_password=*/true);
  AfterOpen(from_command_line);
  return true;
}

void TBookDocument::StartupOpen(const std::string& command_line) {
  const std::string named = Trimmed(command_line);
  try {
    // Steps 1 and 2: the command-line book, else the last one.
    std::string path;
    if (HasBookExtension(named) && files_.Exists(named)) {
      path = named;
    } else {
      for (std::string_view key : {kLongDatabaseKey, kDatabaseKey}) {
        const std::string last = platform::ProfileReadText(kSetup, key, "");
        if (!last.empty() && files_.Exists(last)) {
          path = last;
          break;
        }
      }
    }
    // Step 3: no book at all.
    if (path.empty()) {
      views_->ScheduleNewBookWizard(command_line);
      return;
    }
    OpenBook(path, path == named);
    // Step 4: a download file named on the command line (also when the
    // in-use check refused).
    if (!named.empty()) views_->ImportCommandLine(command_line);
    // Step 5: the backup reminder.
    if (HasOpenBook() && BackupReminderDue(*db_)) RunBackupDialog(*db_);
  } catch (const TXOrvanet& e) {
    CloseWithoutSaving();
    if (e.Code() == kOrvFileUnavailable) return;
    throw;
  }
}

bool TBookDocument::Open() {
  if (!Close()) return false;
  TFileChoice choice;
  choice.mode = TFileChoice::Mode::Open;
  choice.caption = "Ouverture d'un livre de comptes";
  choice.filter = "Livre de comptes (*.VX)|*.VX|";
  choice.default_extension = "VX";
  choice.initial_folder = platform::Configuration().books_folder;
  choice.must_exist = true;
  const std::optional<std::string> path = port_.ChooseFile(choice);
  if (!path) return false;
  if (!EndsWithNoCase(*path, kBookExtension)) {
    port_.Show(Format("Le format du livre de comptes %s n'est pas valide.", *path),
               TIcon::Information);
    return false;
  }
  // The construction enters the book in the recent-books list.
  return OpenBook(*path);
}

bool TBookDocument::OpenRecent(int n) {
  if (n < 1 || n > static_cast<int>(kRecentCount)) return false;
  const std::string path = RecentBooks()[static_cast<std::size_t>(n - 1)];
  if (path.empty() || !files_.Exists(path)) {
    port_.Show("Le livre de comptes correspondant n'existe pas ou est incorrect !", TIcon::Stop);
    return false;
  }
  if (!Close()) return false;
  if (!EndsWithNoCase(path, kBookExtension)) {
    port_.Show(Format("Le format du livre de comptes %s n'est pas valide.", path),
               TIcon::Information);
    return false;
  }
  return OpenBook(path);
}

bool TBookDocument::Close() {
  if (!db_) return true;
  if (!db_->IsOpen() || db_->Closed()) {
    // A book whose opening failed: nothing of it is in memory to keep.
    Destroy();
    return true;
  }
  bool keep = true;
  if (db_->ModifiedSinceSaved()) {
    TMessage question;
    question.caption = "Demande de confirmation";
    question.text =
        "Toutes les modifications que vous avez faites depuis la dernière validation ont été "
        "enregistrées dans un livre de comptes temporaire.\nDésirez vous valider ces "
        "modifications ?";
    question.icon = TIcon::Question;
    question.buttons = TButtons::YesNoCancel;
    question.labels = {"&Oui", "&Non", "&Annuler"};
    const TButton answer = port_.Message(question).button;
    if (answer != TButton::Yes && answer != TButton::No) return false;
    keep = answer == TButton::Yes;
  }
  const std::string book = db_->BookPath();
  if (keep) {
    // The marker goes only once the book is replaced: a book that could not
    // be is still this user's, with its working copy.
    if (!db_->Close()) return false;
    RemoveInUseMarker(book);
  } else {
    RemoveInUseMarker(book);
    files_.Remove(db_->WorkingCopyPath());
  }
  Destroy();
  return true;
}

void TBookDocument::CloseWithoutSaving() {
  Destroy();
  ClearStartKeys();
}

bool TBookDocument::NewBook(const TNewBookAnswers& answers) {
  // Step 4.
  if (!Close()) return false;
  const std::string path = NewBookPath(answers.name);
  last_path_ = path;
  // Step 5.
  if (files_.Exists(path)) {
    if (port_.Ask(Format("Le livre de comptes %s existe déjà !\nVoulez vous l'ouvrir ?", path),
                  TButtons::YesNo) != TButton::Yes) {
      return false;
    }
    return OpenBook(path);
  }
  platform::MakeDirectories(platform::DirName(path));
  if (answers.categories == TCategorySet::None) {
    // Step 6: an empty book.
    platform::ProfileWriteText(kSetup, kLongDatabaseKey, path);
    if (!CheckNotInUse(path, port_, files_)) return false;
    db_ = Construct(path);
    db_->CreateEmptyBook();
    SetDefaultBackupPath(*db_);
    platform::ProfileWriteText(kSetup, kDatabaseKey, path);
    db_->Save();
  } else {
    // Step 7: a copy of the template.
    const std::string source = TemplatePath(answers.categories);
    if (!files_.Exists(source)) {
      port_.Show("Le fichier contenant les catégories prédéfinies n'a pas pu être trouvé !",
                 TIcon::Exclamation);
      return false;
    }
    if (!files_.Copy(source, path, /*overwrite=*/false)) {
      port_.Show("Impossible de copier le fichier !", TIcon::Exclamation);
      return false;
    }
    if (!CheckNotInUse(path, port_, files_)) return false;
    db_ = Construct(path);
    db_->Open(/*ask_password=*/true);
    SetDefaultBackupPath(*db_);
  }
  // Step 8.
  AfterOpen();
  return true;
}

TPasswordResult TBookDocument::ChangePassword(const TPasswordChange& change) {
  if (!HasOpenBook()) throw std::logic_error("no book is open");
  // Step 1.
  if (db_->HasPassword() && !db_->ComparePassword(change.old_password)) {
    port_.Show("L'ancien mot de passe n'est pas valide !", TIcon::Stop);
    return TPasswordResult::WrongOld;
  }
  // Step 2.
  const std::string password = ToUpperNoCase(Utf8Prefix(change.new_password, 8));
  if (password != ToUpperNoCase(Utf8Prefix(change.confirmation, 8))) {
    port_.Show("Les mots de passe sont différents !\nSaisissez-les de nouveau, S.V.P.",
               TIcon::Stop);
    return TPasswordResult::Mismatch;
  }
  // Steps 3 and 4. The new password reaches the header only with the
  // records encoded by it, in the rebuilt book: a header holding it above
  // records under the former key would be unreadable if anything stopped in
  // between (and the save below would carry that into the book file).
  if (port_.Ask("Pour prendre en compte votre mot de passe, le livre de comptes doit être "
                "reconstruit.\nCette opération ne peut pas être annulée.\nSouhaitez-vous "
                "continuer ?",
                TButtons::YesNo) != TButton::Yes) {
    return TPasswordResult::Declined;
  }
  const std::string path = db_->BookPath();
  db_->Save();
  if (!db_->Close()) throw TXOrvanet(kOrvRebuildFailed, path);
  RemoveInUseMarker(path);
  Destroy();
  last_path_ = path;
  if (!CheckNotInUse(path, port_, files_)) return TPasswordResult::NotReopened;
  db_ = Construct(path);
  TRebuildOptions options;
  options.ask_password = false;  // typed in the dialog as the old password
  options.new_password = password;
  RebuildBook(*db_, options);
  db_->Open(/*ask_password=*/false);
  AfterOpen();
  db_->Save();
  return TPasswordResult::Changed;
}

bool TBookDocument::RebuildAndReload(const std::string& path) {
  CloseWithoutSaving();
  std::string book;
  std::string working;
  last_path_ = BookPaths(path, book, working) ? book : path;
  if (!CheckNotInUse(path, port_, files_)) return false;
  db_ = Construct(path);
  RebuildBook(*db_, TRebuildOptions{});
  db_->Open(/*ask_password=*/false);  // asked by the rebuild
  AfterOpen();
  return true;
}

bool TBookDocument::UndoDownload() {
  const std::string copy = TDatabase::PreDownloadCopyPath();
  constexpr std::string_view kCannotUndo = "Impossible d'annuler le téléchargement !";
  if (!db_ || !files_.Exists(copy)) {
    port_.Show(std::string(kCannotUndo), TIcon::Stop);
    return false;
  }
  const std::string working = db_->WorkingCopyPath();
  db_->SetPreDownloadCopyTaken(false);  // the destruction must leave it
  CloseWithoutSaving();
  // The copy goes over the working copy by the safe replace (rather than
  // deleting the working copy first): when it fails, the working copy is
  // still there and the book is reopened as it was.
  const bool restored = static_cast<bool>(files_.Copy(copy, working, /*overwrite=*/true));
  if (!restored) port_.Show(std::string(kCannotUndo), TIcon::Stop);
  if (!CheckNotInUse(working, port_, files_)) return false;
  db_ = Construct(working);
  db_->Open(/*ask_password=*/false);
  AfterOpen();
  if (!restored) return false;
  files_.Remove(copy);
  return true;
}

bool TBookDocument::Archive() {
  if (!HasOpenBook()) return false;
  // Step 1.
  if (port_.Ask("Vous allez archiver une partie de votre livre de comptes.\nAttention, les "
                "données archivées seront supprimées du livre courant et copiées dans le livre "
                "archivé.",
                TButtons::OkCancel, TIcon::Information) != TButton::Ok) {
    return false;
  }
  // Step 2.
  TTextRequest request;
  request.kind = TTextRequest::Kind::Date;
  request.caption = "Date pour l'archivage des données";
  request.initial = KDate::Today().Format();
  const std::optional<std::string> typed = port_.AskText(request);
  if (!typed) return false;
  const KDate date = KDate::FromText(*typed, KD_STANDARD);
  if (!date.IsValid()) return false;
  // Step 3.
  TFileChoice choice;
  choice.mode = TFileChoice::Mode::Save;
  choice.caption = "Archivage d'un livre de comptes";
  choice.filter = "Livre de comptes (*.VX)|*.VX|";
  choice.default_extension = "VX";
  choice.initial_folder = platform::Configuration().books_folder;
  choice.confirm_overwrite = true;
  const std::optional<std::string> chosen = port_.ChooseFile(choice);
  if (!chosen || chosen->empty()) return false;
  std::string archive = platform::AbsolutePath(*chosen);
  if (!EndsWithNoCase(archive, kBookExtension)) archive += std::string(kBookExtension);
  if (EqualsNoCase(archive, db_->BookPath())) {
    port_.Show(
        "Le livre de comptes archivé ne peut avoir le même nom que le livre de comptes courant.",
        TIcon::Exclamation);
    return false;
  }
  // Step 4: every change is in the working copy already.
  const std::string working = db_->WorkingCopyPath();
  Destroy();
  if (!CheckNotInUse(working, port_, files_)) return false;
  db_ = Construct(working);
  // Steps 5 to 8.
  const TArchiveReport report = ArchiveBook(*db_, archive, date);
  // Step 9.
  AfterOpen();
  return report.result == TArchiveResult::Done;
}

bool TBookDocument::Backup() {
  if (!HasOpenBook()) return false;
  return RunBackupDialog(*db_);
}

}  // namespace ledgora
