#include "app/library_checks.h"

#include <cstring>

#include "eurolib/orveuro32.h"
#include "ldres/ldres.h"

namespace ledgora::app {

bool CheckLibraries(const char* caption) {
  // Step 1: the resource library. Its one-argument version function does
  // not check the folder.
  const char* ldres_version = GetLDResDllVersion();
  if (ldres_version == nullptr) {
    GetLDResDllBadInstall(caption);
    return false;
  }
  if (std::strcmp(ldres_version, kMinimumLDResVersion) < 0) {
    GetLDResDllMessage(caption);
    return false;
  }
  // Step 2: the currency library, then its parity table.
  const char* euro_version = GetDllEuroVersion2(kEuroFolderCheck);
  if (euro_version == nullptr) {
    GetDllEuroBadInstall(caption);
    return false;
  }
  if (std::strcmp(euro_version, kMinimumEuroVersion) < 0) {
    GetDllEuroMessage(caption);
    return false;
  }
  return VerifieCoherenceDLL(caption) != 0;
}

}  // namespace ledgora::app
