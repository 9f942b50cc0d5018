// The import entry: every file that is not an account book and reaches the
// program (named on its command line, handed over by a second instance,
// dropped on the window) comes here.
//
// It runs the entry steps of the statement integration: the password of the
// open book must have been typed, an empty path stops silently, a ".VX" path
// is opened as an account book, without an open book the user may open one,
// the integration is confirmed, the file must open, and its first line
// selects the reader. No reader is part of this program yet, so every file
// is answered as a format that is not recognised ("Le format du fichier %s
// n'est pas reconnu par %s.") and is kept.
#pragma once

#include <functional>
#include <string>

#include "storage/book_lifecycle.h"

namespace ledgora::app {

// open_book: opens a ".VX" path as an account book (closing the current
// one); false when nothing was opened.
void ImportFile(TBookDocument& doc, const std::string& path,
                const std::function<bool(const std::string&)>& open_book);

// Whether a path names an account book (".VX", any case).
bool IsBookPath(const std::string& path);

}  // namespace ledgora::app
