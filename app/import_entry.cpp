#include "app/import_entry.h"

#include <cstdio>
#include <fstream>

#include "platform/files.h"

namespace ledgora::app {

namespace {

std::string Format(std::string text, const std::string& value) {
  const std::size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, value);
  return text;
}

}  // namespace

bool IsBookPath(const std::string& path) {
  if (path.size() < 3) return false;
  const std::string tail = path.substr(path.size() - 3);
  return tail[0] == '.' && (tail[1] == 'V' || tail[1] == 'v') && (tail[2] == 'X' || tail[2] == 'x');
}

void ImportFile(TBookDocument& doc, const std::string& path,
                const std::function<bool(const std::string&)>& open_book) {
  TUserPort& port = doc.Port();
  // Step 1: a book whose password has not been typed is not written to.
  if (doc.HasOpenBook() && !doc.Book()->PasswordTyped()) {
    port.Show("L'importation ne peut se faire car vous n'avez pas encore saisi le mot de passe !",
              TIcon::Exclamation);
    return;
  }
  // Step 2.
  if (path.empty()) return;
  // Step 3: an account book is opened, not imported.
  if (IsBookPath(path)) {
    open_book(path);
    return;
  }
  // Step 4.
  if (!doc.HasOpenBook()) {
    if (port.Ask("Aucun livre de comptes n'est actif par défaut.\nVoulez-vous en ouvrir un ?",
                 TButtons::YesNo) != TButton::Yes) {
      return;
    }
    doc.Open();
    if (!doc.HasOpenBook()) return;
  }
  // Step 5.
  const std::string book = platform::BaseName(doc.Book()->BookPath());
  if (port.Ask(Format("Vous allez intégrer des données dans le livre de comptes [%s].\n"
                      "Désirez-vous continuer ?",
                      book),
               TButtons::YesNo, TIcon::Question) != TButton::Yes) {
    return;
  }
  // Step 6.
  std::ifstream file(path, std::ios::binary);
  if (!file || platform::IsDirectory(path)) {
    port.Show(Format("Impossible d'ouvrir le fichier %s.", path), TIcon::Stop);
    return;
  }
  // Step 7: no reader of the statement formats is built in yet, so the
  // first line selects none; the file stays where it is.
  std::string text = Format("Le format du fichier %s n'est pas reconnu par %s.", path);
  text = Format(text, std::string(kProgramName));
  port.Show(text, TIcon::Stop);
}

}  // namespace ledgora::app
