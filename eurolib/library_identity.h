// What each of the two shared libraries knows about itself: where its file
// lies, which version its file carries, and how it shows its messages.
//
// Compiled into each library separately (and hidden there), so that every
// library has its own hook and finds its own file.
#pragma once

#include <string>
#include <string_view>

#include "eurolib/library_api.h"

namespace ledgora::eurolib {

// The hook through which this library shows its messages.
void SetMessageHook(TLibraryMessageHook hook, void* context);
// Shows a message through the hook, or writes it to the standard error
// stream when none is installed; the button pressed.
int ShowMessage(const char* text, const char* caption, unsigned style);

// The full path of the file that holds this code (symbolic links resolved),
// or empty when the loader does not tell.
std::string OwnModulePath();

// The stand-in for the Windows system folder: $LEDGORA_SYSTEM_DIR when set
// and not empty, else the program's library folder: <executable
// folder>/../lib when it exists, else the executable's folder.
std::string SystemFolder();

// The version text of the library file named file_name, as the exports of
// both libraries give it: with folder_check 0 the library must lie in the
// system folder (its path must begin with the system folder's, compared
// without regard to case) and the file examined is the system folder's copy;
// otherwise the file examined is the library's own. The text, cut to 20
// characters, is written into buffer; the result is buffer, or null when the
// check fails or the file carries no product version.
const char* LibraryVersionText(int folder_check, std::string_view file_name, char (&buffer)[21]);

}  // namespace ledgora::eurolib
