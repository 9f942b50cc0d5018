// The archive: the operations up to a date move into a separate book.
//
// ArchiveBook is the copy itself (steps 5 to 8 of the command); the command
// with its question, date and file dialogs is TBookDocument::Archive
// (book_lifecycle.h), which destroys the open book first and reopens it.
//
// The archive book is written in "NVX/Archive.$$$" and copied to the chosen
// path only once complete (the safe replace), so a failed or abandoned
// archive never leaves a half-written file there nor destroys an older file
// of that name. It gets the source's header (settings, password, counters),
// every account, project, category and sub-category, and the operations
// dated on or before the archive date with their split lines; the
// operations keep their identifiers. Periodic schedules, associations and
// the financial situation stay in the book only (an archived periodic
// operation is no longer periodic in the archive).
//
// Then the book (db) is reopened from its working copy and every archived
// operation is deleted from it: its split lines go with it, and when it was
// the model of a periodic chain the chain's schedule is released and the
// operations of the chain still in the book stop being periodic.
#pragma once

#include <string>

#include "foundation/kdate.h"
#include "storage/database.h"

namespace ledgora {

inline constexpr std::string_view kArchiveWorkName = "Archive.$$$";

enum class TArchiveResult {
  Done,       // archived, the book holds only the later operations
  Abandoned,  // "No" to the non-pointed question: nothing changed anywhere
};

struct TArchiveReport {
  TArchiveResult result = TArchiveResult::Done;
  std::size_t operations_archived = 0;
};

// db: constructed on the book's working copy, not opened (the password has
// been typed before: it is not asked again). Leaves db open on the book in
// every case where it can be opened, also after a failure. Throws TXOrvanet
// 20909 on failure (the book unchanged).
TArchiveReport ArchiveBook(TDatabase& db, const std::string& archive_path, const KDate& date);

}  // namespace ledgora
