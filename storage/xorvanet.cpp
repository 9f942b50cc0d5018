#include "storage/xorvanet.h"

#include <cstdio>

namespace ledgora {
namespace {

std::string_view TextOf(std::int32_t code) {
  switch (code) {
    case kOrvFileUnavailable:
      return "Le fichier %s est introuvable ou est utilisé par une autre application.";
    case kOrvLeftOpen:
    case kOrvDamaged:
      return "Le livre de comptes est abîmé.\nUne reconstruction automatique est indispensable.";
    case kOrvNotABook:
      return "Le format du fichier %s n'est pas un livre de comptes reconnu.\nCelui-ci sera "
             "ignoré.";
    case kOrvVersionTooOld:
      return "La version du fichier %s est %d, il ne peut pas être relu.\nLa version en cours est "
             "%d.";
    case kOrvCannotCreate:
      return "Impossible de créer le fichier %s.";
    case kOrvRebuildFailed:
      return "Impossible de recréer le livre de comptes.\nUtilisez une ancienne sauvegarde.";
    case kOrvRebuildRestart:
      return "Impossible de recréer le livre de comptes.\nRelancez votre machine et réessayez.";
    case kOrvMustConvert:
      return "La version de votre livre de comptes n'est plus valide.\nVoulez-vous le convertir "
             "au nouveau format ?";
    case kOrvArchiveFailed:
      return "L'archivage du livre de comptes a échoué.\nIl est conseillé de repartir du fichier "
             ".old ou d'une ancienne sauvegarde.";
    case kOrvNoPassword:
      return "Impossible de lancer le logiciel sans spécifier le mot de passe.";
    case kOrvVersionTooNew:
      return "La version de ce livre de comptes est supérieure à votre version de logiciel.\n"
             "Téléchargez-en la dernière version sur le site.";
    case kOrvKestrelDatabase:
      return "Le fichier %s est une base de données Kestrel Plus.\nVous ne pouvez pas ouvrir ce "
             "type de fichier.";
    case kOrvKestrelBook:
      return "Le fichier %s est un livre de comptes Kestrel Plus.\nVous ne pouvez pas ouvrir ce "
             "type de fichier.";
    case kOrvAssociationBook:
      return "Le fichier %s est un livre de comptes Orvanet Association.\nVous ne pouvez pas "
             "ouvrir ce type de fichier.";
    default:
      return {};
  }
}

std::string BaseNameOf(std::string_view path) {
  const auto slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

std::string OrvanetMessage(std::int32_t code, std::string_view file_name, int version,
                           int current_version) {
  const std::string_view text = TextOf(code);
  const std::string name = BaseNameOf(file_name);
  // Placeholders in their order: "%s" the file, then the "%d" numbers.
  const int numbers[2] = {version, current_version};
  int next_number = 0;
  std::string out;
  out.reserve(text.size() + name.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == 'd')) {
      if (text[i + 1] == 's') {
        out += name;
      } else {
        out += std::to_string(next_number < 2 ? numbers[next_number] : 0);
        ++next_number;
      }
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

TXOrvanet::TXOrvanet(TFormatted, std::int32_t code, std::string message, int system_error)
    : std::runtime_error(message),
      code_(code),
      message_(std::move(message)),
      system_error_(system_error) {}

TXOrvanet::TXOrvanet(std::int32_t code, std::string_view file_name, int system_error)
    : TXOrvanet(TFormatted{}, code, OrvanetMessage(code, file_name), system_error) {}

TXOrvanet TXOrvanet::VersionTooOld(std::string_view file_name, int version, int current_version) {
  return TXOrvanet(TFormatted{}, kOrvVersionTooOld,
                   OrvanetMessage(kOrvVersionTooOld, file_name, version, current_version), 0);
}

}  // namespace ledgora
