#include "storage/backup.h"

#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "storage/book_header.h"

namespace ledgora {
namespace {

constexpr std::string_view kBackupFailed =
    "La copie de secours du livre de comptes n'a pas pu s'effectuer.\nVérifiez l'existence du "
    "répertoire spécifié.";

// The resource library's text of the bank's edition (string 22515).
constexpr std::string_view kBackupExplanation =
    "Il est conseillé de conserver une copie de votre livre de comptes.\nSélectionnez l'endroit "
    "où vous voulez sauvegarder votre copie avec le bouton [Parcourir...] puis cliquez sur le "
    "bouton [Oui].";

}  // namespace

std::string DefaultBackupPath(const std::string& book_path) {
  if (EndsWithNoCase(book_path, ".VX")) {
    return book_path.substr(0, book_path.size() - 3) + std::string(kBackupExtension);
  }
  return book_path + std::string(kBackupExtension);
}

void SetDefaultBackupPath(TDatabase& db) {
  if (!db.Settings().backup_path.empty() || db.BookPath().empty()) return;
  db.Settings().backup_path = DefaultBackupPath(db.BookPath());
  db.SaveHeader();
}

bool MakeBackupCopy(TDatabase& db, const std::string& path) {
  // The header keeps 256 characters: a longer path would be stored cut and
  // name another file at the next backup.
  if (path.empty() || Utf8Length(path) > kBackupPathWidth - 1) {
    db.Port().Show(std::string(kBackupFailed), TIcon::Exclamation);
    return false;
  }
  db.Settings().backup_countdown = kBackupCountdownStart;
  db.Settings().backup_path = path;
  db.SaveHeader();
  if (!db.Files().Copy(db.WorkingCopyPath(), path, /*overwrite=*/true)) {
    db.Port().Show(std::string(kBackupFailed), TIcon::Exclamation);
    return false;
  }
  return true;
}

bool RunBackupDialog(TDatabase& db) {
  TTextRequest request;
  request.kind = TTextRequest::Kind::Text;
  request.caption = "Faire une copie de secours des données";
  request.prompt = std::string(kBackupExplanation);
  request.initial = db.Settings().backup_path.empty() ? DefaultBackupPath(db.BookPath())
                                                      : db.Settings().backup_path;
  request.max_chars = kBackupPathWidth - 1;
  request.help_topic = "HLP_BACKUP";
  TFileChoice browse;
  browse.mode = TFileChoice::Mode::Save;
  browse.caption = "Faire une copie de secours des données";
  browse.filter = "Fichier SAV.VX (*.SAV.VX)|*.SAV.VX|Tous (*.*)|*.*|";
  browse.default_extension = "sav.vx";
  browse.initial_name = request.initial;
  browse.confirm_overwrite = true;
  request.browse = browse;
  const std::optional<std::string> path = db.Port().AskText(request);
  if (!path || path->empty()) return false;
  return MakeBackupCopy(db, *path);
}

}  // namespace ledgora
