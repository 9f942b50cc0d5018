// The backup copy of the open book, its dialog, and the reminder countdown.
//
// The countdown (header, u16) is set to 10 by every backup copy and goes
// down by one at every close of a book modified since its last save
// (TDatabase::Close); at 0 the start-up opening shows the backup dialog.
#pragma once

#include <string>

#include "storage/database.h"

namespace ledgora {

inline constexpr std::uint16_t kBackupCountdownStart = 10;
inline constexpr std::string_view kBackupExtension = ".SAV.VX";

// The default backup path of a book: ".VX" replaced by ".SAV.VX" (any other
// path gets ".SAV.VX" added).
std::string DefaultBackupPath(const std::string& book_path);

// Sets the backup path to the default when it is empty (a new book); one
// header write when it changed.
void SetDefaultBackupPath(TDatabase& db);

// The backup copy: in one write phase the countdown is set to 10 and the
// path stored as the backup path; then the working copy is copied to path
// (overwriting, by the safe replace). A failed copy shows "La copie de
// secours du livre de comptes n'a pas pu s'effectuer.\nVérifiez l'existence
// du répertoire spécifié." (exclamation) and returns false; the path and the
// countdown stay updated. A backup path longer than its header field (256
// characters) is refused with the same message before anything changes.
// Throws TXOrvanet when the header cannot be written.
bool MakeBackupCopy(TDatabase& db, const std::string& path);

// The backup dialog "Faire une copie de secours des données": the
// explanation, the current backup path in a field with a browse button
// (save dialog, filter "Fichier SAV.VX (*.SAV.VX)|*.SAV.VX|Tous (*.*)|*.*|",
// extension "sav.vx"), help topic "HLP_BACKUP". Accepting makes the backup
// copy to the path shown. Returns true when a copy was made; false when the
// user cancelled, the path was empty, or the copy failed (its message shown).
bool RunBackupDialog(TDatabase& db);

// Whether the reminder has run out (the start-up shows the dialog then).
inline bool BackupReminderDue(const TDatabase& db) {
  return db.Settings().backup_countdown == 0;
}

}  // namespace ledgora
