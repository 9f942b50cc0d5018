// The rebuild: a fresh, compact book in the current format, read from a
// book record by record in file order, without trusting its chains.
//
// It repairs a book left dirty by a crash (20901) or damaged (20905),
// converts a book of an older version (20908), and re-encodes every record
// when the password changes. The records keep their identifiers.
//
//   TDatabase db(path, port);          // constructed on the book, not opened
//   RebuildBook(db, /*ask_password=*/true);
//   db.Open(false);                    // the caller reloads the book
//
// Work files, in the books folder's "NVX/": "Source.$$$" (a copy of the
// working copy, the only file read) and "Rebuild.$$$" (the book written).
// The working copy is replaced by "Rebuild.$$$" only at the very end, by the
// safe replace: a rebuild that fails leaves it byte-identical.
//
// Errors (one TXOrvanet, the work files removed, numbering back on):
//   20914, 20915, 20916  the working copy is another product's file
//   20902                the source's signature is not "LEDGOR"
//   20907                a work file cannot be opened or created
//   20910                the password was asked and the user cancelled
//   20906                anything else: the copy to "Source.$$$" failing, a
//                        version below 2 or above 24, a tag that is none of
//                        the nine kinds nor 'X', a record cut by the end of
//                        the file, a write that fails
#pragma once

#include <optional>
#include <string>

#include "storage/database.h"

namespace ledgora {

inline constexpr std::string_view kWorkFolderName = "NVX";
inline constexpr std::string_view kRebuildSourceName = "Source.$$$";
inline constexpr std::string_view kRebuildTargetName = "Rebuild.$$$";

// "NVX/" in the books folder, and the work files in it.
std::string WorkFolder();
std::string WorkFilePath(std::string_view name);

struct TRebuildOptions {
  // Ask the book's password through the port (when it has one) before
  // reading anything; a wrong one is asked again, Cancel gives 20910.
  bool ask_password = true;
  // The password change: the records are written with this password (empty:
  // none) and the new header holds it; unset keeps the source's password.
  std::optional<std::string> new_password;
};

// What the rebuild did, for the caller's report.
struct TRebuildReport {
  int source_version = 0;
  std::size_t records_read = 0;        // live records met in the source
  std::size_t records_written = 0;     // records written to the new book
  std::size_t operations_dropped = 0;  // operations of an account not in the book
  std::size_t released_skipped = 0;    // released slots ('X') left behind
};

// Rebuilds the working copy of db (constructed on the book, not open:
// std::logic_error otherwise).
// Shows the progress window "Reconstruction du livre de comptes..." with the
// wait cursor. Throws TXOrvanet (see above).
TRebuildReport RebuildBook(TDatabase& db, const TRebuildOptions& options = {});

// The conversion of an old complementary label (books of version 20 and
// below): "Orig : " followed by the amount in the currency of origin and its
// currency code. Returns false (nothing changed) when the label does not
// begin with "Orig : " or has no letter after it.
bool SplitOriginLabel(std::string& complementary_label, std::string& source_amount);

}  // namespace ledgora
