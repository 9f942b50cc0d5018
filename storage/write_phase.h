// TWritePhase: one change of the book, as an object on the stack.
//
//   {
//     TWritePhase phase{db};   // BeginWrite: dirty flag 1, working copy open
//     ...                      // record writes, link patches, header
//   }                          // EndWrite: file closed, dirty flag 0
//
// Phases nest (only the outermost opens and closes the file). When an
// exception leaves the scope the phase is abandoned: if it wrote something,
// the dirty flag stays set and the book is marked failed (TDatabaseFile).
#pragma once

#include <exception>

#include "storage/database_file.h"

namespace ledgora {

// One write phase for the lifetime of the object: opened by the
// constructor, closed by the destructor, also when an exception leaves the
// scope (then as a failed phase if it wrote something).
class TWritePhase {
 public:
  explicit TWritePhase(TDatabaseFile& file) : file_(file), exceptions_(std::uncaught_exceptions()) {
    file_.BeginWrite();
  }
  ~TWritePhase() {
    if (std::uncaught_exceptions() > exceptions_) {
      file_.AbandonWrite();
    } else {
      file_.EndWrite();
    }
  }
  TWritePhase(const TWritePhase&) = delete;
  TWritePhase& operator=(const TWritePhase&) = delete;

  TStorageFile& File() const { return file_.PhaseFile(); }

 private:
  TDatabaseFile& file_;
  int exceptions_;
};

}  // namespace ledgora
