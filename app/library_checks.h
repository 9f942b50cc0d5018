// The library checks of the start-up: the resource library and the currency
// library must be the versions this program needs, installed where they
// must be, and the parity table must be sound.
//
// Each failing check shows that library's own message (through the message
// hook the program installed, see library_api.h) and stops the start-up.
// Qt-free: the tests drive it with a recording hook.
#pragma once

namespace ledgora::app {

// The oldest versions accepted. Versions compare as plain texts, byte by
// byte ("1.1.304" passes "1.1.303", "1.2" passes "1.1").
inline constexpr const char* kMinimumLDResVersion = "1.1";
inline constexpr const char* kMinimumEuroVersion = "1.1.303";
// The folder switch given to GetDllEuroVersion2: 0, the currency library
// must lie in the system folder (LEDGORA_SYSTEM_DIR, else the program's
// library folder), as for the euro calculator.
inline constexpr int kEuroFolderCheck = 0;

// Steps 1 and 2 of the start-up, in this order: the resource library's
// version (none: its bad-installation message; too old: its version
// message), then the currency library's version (likewise) and its parity
// table (VerifieCoherenceDLL shows its own message). caption: the caption
// of the libraries' message boxes. True when every check passed.
bool CheckLibraries(const char* caption);

}  // namespace ledgora::app
