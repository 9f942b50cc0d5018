// libLDRES.so: the resource library of the bank's edition.
//
// It holds what differs between the editions of the main program: the
// product's name, the name of the bank's online service, the splash and
// about pictures, the program and document icons, and the texts of some
// questions in which the product's name stands ("%s"). It has no logic of its
// own. Nothing throws; texts are UTF-8; buffers belong to the caller.
//
// The five exports are listed by the linker version script (ldres.map) in
// the order of their historical ordinals, the order below; the platform
// stand-ins for module resources follow them. Everything else is hidden.
#pragma once

#include <cstddef>

#include "eurolib/library_api.h"

namespace ledgora {

// The library's file name, the stand-in for "LDRES.DLL".
inline constexpr const char* kLDResFileName = "libLDRES.so";

// Resources (see library_api.h for the types):
inline constexpr unsigned kLDResBanner = 22500;        // kResourceDib, 230 x 33, 16 colours
inline constexpr unsigned kLDResSmallLogo = 22501;     // kResourceBitmap, 33 x 27, 16 colours
inline constexpr unsigned kLDResPicture = 22502;       // kResourceDib, 327 x 93, 256 colours
inline constexpr unsigned kLDResSplash = 22503;        // kResourceDib, 330 x 210, 256 colours
inline constexpr unsigned kLDResProgramIcon = 22505;   // kResourceIconGroup: 16 and 32, 16 colours
                                                       // and true colour
inline constexpr unsigned kLDResDocumentIcon = 22506;  // kResourceIconGroup: 32, 16 colours

// Strings 22504 and 22507 to 22526.
inline constexpr unsigned kLDResHomePageMenu = 22504;  // "&Page d'accueil de Orvanet"
inline constexpr unsigned kLDResProductName = 22507;   // "Ledgora"
inline constexpr unsigned kLDResServiceName = 22526;   // "Orvanet"

}  // namespace ledgora

// ---- The 5 exports, in ordinal order --------------------------------------

// 1: GetLDResDllVersion2(1): "1.2" wherever the library lies, or null when
// its file carries no readable version block.
LEDGORA_LIBRARY_EXPORT const char* GetLDResDllVersion();

// 2: the version text in a static buffer overwritten by every call, or null.
// With folder_check 0 the library must lie in the system folder
// ($LEDGORA_SYSTEM_DIR when set, else the program's library folder).
LEDGORA_LIBRARY_EXPORT const char* GetLDResDllVersion2(int folder_check);

// 3: shows "the library must be installed in the same folder as Ledgora"
// (error icon, the given caption) through the message hook.
LEDGORA_LIBRARY_EXPORT void GetLDResDllBadInstall(const char* caption);

// 4: shows "the version of your library is no longer valid" likewise.
LEDGORA_LIBRARY_EXPORT void GetLDResDllMessage(const char* caption);

// 5: 1: this library belongs to the bank's edition ("ORVANET").
LEDGORA_LIBRARY_EXPORT int IsLDResVX();

// ---- Platform stand-ins (no ordinal) ---------------------------------------

// Installs the hook that shows the library's messages (null: standard error).
LEDGORA_LIBRARY_EXPORT void SetLDResMessageHook(ledgora::TLibraryMessageHook hook, void* context);

// A picture by type and identifier: bytes owned by the library until it is
// unloaded. kResourceFound, kResourceUnknown or kResourceNoMemory.
LEDGORA_LIBRARY_EXPORT int GetLDResResource(unsigned type, unsigned id, const unsigned char** data,
                                            std::size_t* size);

// The string with the identifier, copied into buffer (buffer_size bytes,
// terminator included) as far as it fits without cutting a character. Returns
// the number of bytes copied, terminator excluded; 0 and an empty buffer for
// an unknown identifier (nothing is written with a null buffer or a size of
// 0). With buffer_size 0 the length of the whole string is returned instead.
LEDGORA_LIBRARY_EXPORT int GetLDResString(unsigned id, char* buffer, int buffer_size);
