// What the two shared libraries (libOrvEuro32.so and libLDRES.so) have in
// common at their boundary: the message-box hook and the picture resources.
//
// Neither library has a user interface of its own. Where a library must show
// one of its fixed French messages (a bad installation, an outdated version,
// a corrupted parity table) it calls the hook that the program installed:
// the Qt programs show a real modal box, tests record the text. Without a
// hook the message is written to the standard error stream and answered OK.
//
// The libraries' pictures stand in for module resources: a program asks a
// library for a resource by type and identifier and gets a pointer to bytes
// that the library owns for as long as it is loaded (never freed by the
// caller). Bitmaps come as complete bitmap files ("BM" header, palette,
// bottom-up rows), icon groups as complete icon files; both load directly
// with QImage::fromData or QIcon.
#pragma once

#include <cstddef>

// Marks the exported functions of the libraries, which are built with every
// other symbol hidden. Harmless where the header is only used.
#define LEDGORA_LIBRARY_EXPORT __attribute__((visibility("default")))

namespace ledgora {

// Style bits given to the hook, with the values of the classic message box:
// the buttons in the low nibble, the icon in the next one.
inline constexpr unsigned kLibraryMessageOk = 0x0000;         // one OK button
inline constexpr unsigned kLibraryMessageIconError = 0x0010;  // the error ("stop") icon

// The answer of a box with one OK button.
inline constexpr int kLibraryAnswerOk = 1;

// The hook: shows a modal message without owner window and returns the
// button pressed (kLibraryAnswerOk for the libraries' one-button boxes).
// text and caption are UTF-8 and valid only during the call; context is the
// pointer given when the hook was installed. The hook must not throw.
using TLibraryMessageHook = int (*)(void* context, const char* text, const char* caption,
                                    unsigned style);

// Resource types, with the numbers of the classic resource types. The type
// "DIB" (a bitmap stored as a complete bitmap file under its own type name)
// has no number there; ours is kResourceDib.
inline constexpr unsigned kResourceBitmap = 2;
inline constexpr unsigned kResourceIconGroup = 14;
inline constexpr unsigned kResourceDib = 0x4944;  // "DI"

// Answers of the resource functions of both libraries.
inline constexpr int kResourceFound = 0;
inline constexpr int kResourceNoMemory = 1;
inline constexpr int kResourceUnknown = 2;

}  // namespace ledgora
