// TDatabase: the open account book.
//
// Owns the book settings of the header, the identifier counters and free
// lists, and every record in memory: the accounts with their operations, the
// categories and the projects (loaded by Open); the associations, the
// situation accounts and values, the lines of a split and the schedule of a
// periodic operation (loaded when first asked for). Every change is written
// at once to the working copy, in place, inside one write phase: a record
// write in a released slot of its kind or at the end of the file, at most a
// link patch, the header. The book file itself is written only by Save and
// Close.
//
// Errors: TXOrvanet (see xorvanet.h), with 20905 for damaged content of any
// kind (a tag that is not its chain's, a chain that leaves the file or comes
// back on itself, a record size that is too small for its kind, a free slot
// that is not one). Records passed to the changes must belong to this book
// (std::invalid_argument otherwise); changes before Open or CreateEmptyBook
// are a std::logic_error.
//
// Identifier counters. A record read with an identifier above its kind's
// counter is not damage: the counter is repaired in memory (and stored with
// the next header write). It is raised to the largest identifier read,
// unless that identifier is 4294967295: then the numbering has gone round
// (the record after 4294967295 gets 1, so older records carry identifiers
// above the counter) and the counter stays. Once a kind's numbering has gone
// round (read so, or by handing out 4294967295), a new identifier skips every
// identifier in use in that kind, found by walking the working copy record by
// record: an identifier is never handed out twice.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "storage/account_record.h"
#include "storage/association_record.h"
#include "storage/book_header.h"
#include "storage/category_record.h"
#include "storage/database_file.h"
#include "storage/database_hooks.h"
#include "storage/operation_record.h"
#include "storage/periodic_record.h"
#include "storage/project_record.h"
#include "storage/record_list.h"
#include "storage/situation_account_record.h"
#include "storage/situation_value_record.h"
#include "storage/split_line_record.h"
#include "storage/write_phase.h"

namespace ledgora {

class TBookReader;

// The pre-download copy, in the books folder.
inline constexpr std::string_view kPreDownloadCopyName = "__ld$$$.vx";

// The password dialog of an opening: asks through the port until the typed
// text matches password (see TDatabaseFile::PasswordMatches); a wrong one
// shows "Mot de passe non valide !" (stop icon) and asks again. Cancel throws
// TXOrvanet 20910 naming book_path.
void AskBookPassword(TUserPort& port, const std::string& password, const std::string& book_path);

class TDatabase : public TDatabaseFile {
 public:
  // See TDatabaseFile for the construction steps. The lists start empty and
  // the settings, counters and free lists take the defaults of a new book.
  TDatabase(const std::string& path, TUserPort& port,
            TStorageFileSystem& files = SystemFileSystem());
  // On a work file (see TDatabaseFile::TWorkFile): CreateEmptyBook, then
  // the changes; Save and Close do not apply.
  TDatabase(TWorkFile work, TUserPort& port, TStorageFileSystem& files = SystemFileSystem());
  // Frees every list; deletes the pre-download copy when one was taken
  // (SetPreDownloadCopyTaken). Never touches the book or its working copy.
  ~TDatabase() override;

  // --- Opening, saving, closing --------------------------------------------

  // Reads the working copy into memory. Refusals in this order: signatures
  // of other products (20915, 20914, 20916), dirty flag (20901), versions
  // (20903 below 2, 20911 above 24, 20908 for 10 and below), the password
  // (asked through the port when ask_password and the book has one; Cancel
  // gives 20910), 20908 below 24; then damaged content gives 20905. The
  // working copy that cannot be opened gives 20900.
  void Open(bool ask_password);
  // Writes a new working copy holding only a full header (dirty flag 0, the
  // current settings, counters and password, no records) and takes it as
  // opened. The book file is
  // made by the Save that follows. 20904 when the file cannot be written.
  void CreateEmptyBook();
  bool IsOpen() const { return opened_; }

  // Copies the working copy over the book (the safe replace: temporary file
  // beside the book, flushed, renamed). On a write-protected disk shows
  // "Sauvegarde du livre de comptes impossible !..." (exclamation). Refuses
  // (false) while a change is open or after a failed change.
  bool Save();
  // Decrements the backup reminder (never below 0) and writes the header
  // when the book was modified since saved; replaces the book by the working
  // copy as Save does, and only then deletes the working copy. False when the
  // book could not be replaced: the working copy is kept, so nothing is lost
  // and the next opening finds it (the caller then keeps the in-use marker).
  // The in-use marker is removed by the caller.
  bool Close();
  bool Closed() const { return closed_; }

  // --- Header ----------------------------------------------------------------

  TBookSettings& Settings() { return header_.settings; }
  const TBookSettings& Settings() const { return header_.settings; }
  // One change that writes the header (settings, password, counters).
  void SaveHeader();
  // Set by every header write, cleared by a successful Save.
  bool ModifiedSinceSaved() const { return modified_; }
  // The header as WriteHeader writes it now (list heads from the loaded
  // lists, the values read at opening for the others).
  TBookHeader CurrentHeader() const;
  // Takes the settings, the identifier counters and the password of another
  // book's header (a copy made from it keeps them); the scrambling keys are
  // not changed.
  void AdoptHeader(const TBookHeader& header);
  // The version the working copy stated at opening.
  int BookVersion() const { return book_version_; }
  std::uint32_t Counter(TRecordType type) const { return header_.counters[IndexOf(type)]; }
  void SetCounter(TRecordType type, std::uint32_t value) {
    header_.counters[IndexOf(type)] = value;
  }
  std::uint32_t FreeListHead(TRecordType type) const { return header_.free_heads[IndexOf(type)]; }
  void WriteHeader(TStorageFile& file) override;

  // Identifier numbering: on by default. Off, an added record keeps the
  // identifier it carries (the rebuild and the archive copy records so).
  bool Numbering() const { return numbering_; }
  void SetNumbering(bool on) { numbering_ = on; }

  // Whether the password was typed at opening (or the book has none).
  bool PasswordTyped() const { return password_typed_; }

  // --- Plug-in points -----------------------------------------------------------

  // Not owned; null restores the defaults. Must outlive the book.
  void SetHooks(TDatabaseHooks* hooks) { hooks_ = hooks ? hooks : &default_hooks_; }
  TDatabaseHooks& Hooks() const { return *hooks_; }
  void SetUndoRecorder(std::unique_ptr<TDatabaseCompanion> recorder) {
    undo_recorder_ = std::move(recorder);
  }
  TDatabaseCompanion* UndoRecorder() const { return undo_recorder_.get(); }
  // "__ld$$$.vx" in the books folder, and whether it was taken for this book.
  static std::string PreDownloadCopyPath();
  void SetPreDownloadCopyTaken(bool taken) { pre_download_copy_taken_ = taken; }
  bool PreDownloadCopyTaken() const { return pre_download_copy_taken_; }

  // --- Accounts -----------------------------------------------------------------

  TRecordList& Accounts() { return accounts_; }
  const TRecordList& Accounts() const { return accounts_; }
  TAccountRecord* FindAccount(std::uint32_t id) const;
  // The account is added without operations (its first-operation offset 0).
  TAccountRecord& AddAccount(std::unique_ptr<TAccountRecord> account);
  // Releases the account's operations with their split lines and, for the
  // model of a periodic chain, its schedule (unless an operation of another
  // account still refers to it), then the account.
  void DeleteAccount(TAccountRecord& account);
  void ModifyAccount(TAccountRecord& account);
  TAccountRecord* CurrentAccount() const { return current_account_; }
  void SetCurrentAccount(TAccountRecord* account) { current_account_ = account; }
  void ComputeBalance(TAccountRecord& account) { hooks_->ComputeBalance(*this, account); }

  // --- Operations ---------------------------------------------------------------

  // The operation is added to the account's chain at its date place; its
  // account identifier is set and its first-split offset cleared (its lines
  // are added after it with AddSplitLine).
  TOperationRecord& AddOperation(TAccountRecord& account, std::unique_ptr<TOperationRecord> op);
  // Releases its split lines (kind Split) and, when it is the model of a
  // periodic chain (not a past occurrence), its schedule; the other
  // operations of the chain are the caller's.
  void DeleteOperation(TOperationRecord& op);
  void ModifyOperation(TOperationRecord& op);
  TAccountRecord& AccountOf(const TOperationRecord& op) const;
  // The operation with this identifier in any account, or null (a walk).
  TOperationRecord* FindOperation(std::uint32_t id) const;

  // --- Categories ---------------------------------------------------------------

  TRecordList& Categories() { return categories_; }
  const TRecordList& Categories() const { return categories_; }
  // A top-level category, then the sub-categories of each, in chain order.
  TCategoryRecord* FindCategory(std::uint32_t id) const;
  // Under parent (its identifier becomes the parent field), or top level.
  TCategoryRecord& AddCategory(std::unique_ptr<TCategoryRecord> category,
                               TCategoryRecord* parent = nullptr);
  // Releases its sub-categories, then the category.
  void DeleteCategory(TCategoryRecord& category);
  void ModifyCategory(TCategoryRecord& category);

  // --- Projects -----------------------------------------------------------------

  TRecordList& Projects() { return projects_; }
  const TRecordList& Projects() const { return projects_; }
  TProjectRecord* FindProject(std::uint32_t id) const;
  TProjectRecord& AddProject(std::unique_ptr<TProjectRecord> project);
  void DeleteProject(TProjectRecord& project);
  void ModifyProject(TProjectRecord& project);

  // --- Lists loaded on demand ---------------------------------------------------
  // Load reads the chain from the head of the header the first time (a
  // category that does not exist reads as 0); Drop forgets the list (its
  // head is kept). Add, Delete and Modify load the list first.

  TRecordList& LoadAssociations();
  bool AssociationsLoaded() const { return associations_ != nullptr; }
  void DropAssociations();
  TAssociationRecord& AddAssociation(std::unique_ptr<TAssociationRecord> association);
  void DeleteAssociation(TAssociationRecord& association);
  void ModifyAssociation(TAssociationRecord& association);

  TRecordList& LoadSituationAccounts();
  bool SituationAccountsLoaded() const { return situation_accounts_ != nullptr; }
  void DropSituationAccounts();
  TSituationAccountRecord& AddSituationAccount(std::unique_ptr<TSituationAccountRecord> account);
  void DeleteSituationAccount(TSituationAccountRecord& account);
  void ModifySituationAccount(TSituationAccountRecord& account);

  TRecordList& LoadSituationValues();
  bool SituationValuesLoaded() const { return situation_values_ != nullptr; }
  void DropSituationValues();
  TSituationValueRecord& AddSituationValue(std::unique_ptr<TSituationValueRecord> value);
  void DeleteSituationValue(TSituationValueRecord& value);
  void ModifySituationValue(TSituationValueRecord& value);

  // The lines of a split operation: read from the operation's first-split
  // offset when its kind is Split, else an empty list.
  TRecordList& LoadSplitLines(TOperationRecord& op);
  // Added last; its operation field is set; the head is written back into
  // the operation.
  TSplitLineRecord& AddSplitLine(TOperationRecord& op, std::unique_ptr<TSplitLineRecord> line);
  void DeleteSplitLine(TSplitLineRecord& line);
  void ModifySplitLine(TSplitLineRecord& line);
  void DropSplitLines(TOperationRecord& op) { op.DropSplitLines(); }

  // The schedule at the operation's schedule offset (a copy), or null when
  // the operation is not periodic.
  std::unique_ptr<TPeriodicRecord> ReadSchedule(const TOperationRecord& op);
  // In one write phase: the current schedule (if any) is released, the new
  // one (if any) added, the operation's schedule offset set to it (0 when
  // none) and the operation rewritten.
  void ReplaceSchedule(TOperationRecord& op, std::unique_ptr<TPeriodicRecord> schedule);
  // Writes a schedule that no operation holds yet and returns its offset,
  // for the operations of its chain to carry (the rebuild copies a chain so).
  std::uint32_t AddSchedule(std::unique_ptr<TPeriodicRecord> schedule);

  // Whether the numbering of a kind has gone round (see the file comment).
  bool NumberingWrapped(TRecordType type) const { return wrapped_[IndexOf(type)]; }

 private:
  struct TSlot {
    std::uint32_t offset = 0;
    bool reused = false;
    std::uint32_t next_free = 0;
  };

  void RequireOpen() const;
  void ClearLists();
  void ReadBook(TBookReader& reader, bool ask_password, std::optional<TWaitCursor>& wait);
  void AskPassword();
  void LoadChain(TBookReader& reader, std::vector<bool>* seen, TRecordList& list,
                 std::uint32_t head, int version, int depth);
  void RepairCounter(TRecordType type, std::uint32_t max_id);
  const std::unordered_set<std::uint32_t>& IdentifiersInUse(TRecordType type);
  template <class F>
  void WithReader(F&& read);
  std::unique_ptr<TRecordList> LoadHeaderList(TRecordType type, THeaderList slot);
  void ResolveCategory(std::uint32_t& category) const;
  bool OwnsList(const TRecordList& list) const;
  TRecordNode& NodeIn(const TRecord& record, TRecordType type) const;

  template <class F>
  decltype(auto) RunChange(F&& body);
  TRecordNode& AddRecord(TRecordList& list, std::unique_ptr<TRecord> record);
  std::unique_ptr<TRecord> ReleaseNode(TRecordNode& node);
  void ModifyNode(TRecordNode& node);
  TRecord& AddToHeaderList(TRecordList& list, std::unique_ptr<TRecord> record);
  void DeleteRecord(TRecord& record);
  void ModifyRecord(TRecord& record);
  TSlot FindSlot(TRecordType type);
  void TakeSlot(TRecordType type, const TSlot& slot);
  void ReleaseSlot(TRecordType type, std::uint32_t offset);
  void ReleaseChainAt(TRecordType type, std::uint32_t head, bool whole_chain);
  void ReleaseSplitLinesOf(TOperationRecord& op);
  std::uint32_t WriteSchedule(TPeriodicRecord& schedule);
  bool ScheduleUsedOutside(std::uint32_t schedule, const TAccountRecord& account) const;
  std::uint32_t NextIdentifier(TRecordType type);
  void WriteRecord(const TRecordNode& node);
  void WriteRecordAt(const TRecord& record, std::uint32_t offset, std::uint32_t next,
                     std::uint32_t sub);
  void PatchNext(const TRecordNode& node);
  void HeadChanged(TRecordList& list);
  void Notify(TChangeKind kind, const TRecord& record) {
    hooks_->RecordChanged(*this, kind, record);
  }

  TBookHeader header_;
  int book_version_ = kCurrentVersion;
  TRecordList accounts_{TRecordType::Account};
  TRecordList categories_{TRecordType::Category};
  TRecordList projects_{TRecordType::Project};
  std::unique_ptr<TRecordList> associations_;
  std::unique_ptr<TRecordList> situation_accounts_;
  std::unique_ptr<TRecordList> situation_values_;
  TAccountRecord* current_account_ = nullptr;
  TDatabaseHooks default_hooks_;
  TDatabaseHooks* hooks_ = &default_hooks_;
  bool opened_ = false;
  bool closed_ = false;
  bool modified_ = false;
  bool numbering_ = true;
  bool password_typed_ = false;
  bool pre_download_copy_taken_ = false;
  std::array<bool, kRecordTypeCount> wrapped_{};
  // Kinds whose numbering went round: the identifiers in use, walked once.
  std::array<std::unique_ptr<std::unordered_set<std::uint32_t>>, kRecordTypeCount> in_use_;
  // Last, so that it goes first: it may hold references into the lists.
  std::unique_ptr<TDatabaseCompanion> undo_recorder_;
};

}  // namespace ledgora
