// The export table of libLDRES.so.
#include <algorithm>
#include <cstring>
#include <string_view>

#include "eurolib/library_identity.h"
#include "ldres/ldres.h"
#include "ldres/ldres_pictures.h"
#include "ldres/ldres_strings.h"

using namespace ledgora;

namespace {

// The version text handed out by both version functions, overwritten by
// every call.
char g_version[21];

constexpr const char* kOutdatedText =
    "Librairie ressource Ledgora (LDRES.DLL).\n\nLa version de votre librairie n'est plus "
    "valide, téléchargez une mise à jour sur Orvanet.";
constexpr const char* kBadInstallText =
    "Librairie ressource Ledgora (LDRES.DLL).\n\nCette librairie doit être installée "
    "UNIQUEMENT dans le même dossier que Ledgora.";

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

const char* GetLDResDllVersion() {
  return GetLDResDllVersion2(1);
}

const char* GetLDResDllVersion2(int folder_check) {
  try {
    return eurolib::LibraryVersionText(folder_check, kLDResFileName, g_version);
  } catch (...) {
    return nullptr;
  }
}

void GetLDResDllBadInstall(const char* caption) {
  eurolib::ShowMessage(kBadInstallText, caption, kLibraryMessageOk | kLibraryMessageIconError);
}

void GetLDResDllMessage(const char* caption) {
  eurolib::ShowMessage(kOutdatedText, caption, kLibraryMessageOk | kLibraryMessageIconError);
}

int IsLDResVX() {
  return 1;
}

void SetLDResMessageHook(TLibraryMessageHook hook, void* context) {
  eurolib::SetMessageHook(hook, context);
}

int GetLDResResource(unsigned type, unsigned id, const unsigned char** data, std::size_t* size) {
  return ldres::FindPicture(type, id, data, size);
}

int GetLDResString(unsigned id, char* buffer, int buffer_size) {
  const auto text = ldres::FindString(id);
  if (buffer_size == 0) return text ? static_cast<int>(text->size()) : 0;
  if (buffer == nullptr || buffer_size < 0) return 0;
  std::size_t n = 0;
  if (text) {
    n = std::min(text->size(), static_cast<std::size_t>(buffer_size) - 1);
    // Never cut a character in two.
    while (n > 0 && n < text->size() && IsContinuationByte((*text)[n])) --n;
    std::memcpy(buffer, text->data(), n);
  }
  buffer[n] = '\0';
  return static_cast<int>(n);
}
