#include "operations/undo_slot.h"

#include <optional>
#include <stdexcept>

#include "operations/classification.h"
#include "operations/operation_edits.h"
#include "operations/pointing_session.h"
#include "operations/refresh.h"

namespace ledgora {
namespace {

template <class T>
std::unique_ptr<T> CloneOf(const T& record) {
  return std::unique_ptr<T>(static_cast<T*>(record.Clone().release()));
}

// Numbering off for the lifetime of the object: a record added back keeps
// its identifier.
class TKeepIdentifiers {
 public:
  explicit TKeepIdentifiers(TDatabase& db) : db_(db), was_(db.Numbering()) {
    db_.SetNumbering(false);
  }
  ~TKeepIdentifiers() { db_.SetNumbering(was_); }
  TKeepIdentifiers(const TKeepIdentifiers&) = delete;
  TKeepIdentifiers& operator=(const TKeepIdentifiers&) = delete;

 private:
  TDatabase& db_;
  bool was_;
};

bool ScheduleInUse(const TDatabase& db, std::uint32_t schedule) {
  if (schedule == 0) return false;
  for (TAccountRecord& account : db.Accounts().Records<TAccountRecord>()) {
    for (TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
      if (op.periodic == schedule) return true;
    }
  }
  return false;
}

void TellRestored(TUndoContext& context, TAccountRecord& account, const TOperationRecord& op,
                  std::uint16_t old_state) {
  if (context.pointing && context.pointing->InProgress(account)) {
    TellTick(context.pointing, op, old_state);
  }
}

}  // namespace

TUndoSlot& TUndoSlot::Of(TDatabase& db) {
  if (TDatabaseCompanion* recorder = db.UndoRecorder()) {
    if (auto* slot = dynamic_cast<TUndoSlot*>(recorder)) return *slot;
    throw std::logic_error("the book's undo recorder is not an undo slot");
  }
  auto slot = std::make_unique<TUndoSlot>(db);
  TUndoSlot& ref = *slot;
  db.SetUndoRecorder(std::move(slot));
  return ref;
}

std::string TUndoSlot::MenuText() const {
  const std::string subject = subject_ & kUndoSubjectBalance ? "solde" : "opération";
  switch (kind_) {
    case TUndoKind::Nothing:
      return "Impossible d'&annuler\tCtrl+Z";
    case TUndoKind::Added:
      return "&Annuler ajout " + subject + "\tCtrl+Z";
    case TUndoKind::Deleted:
      return "&Annuler suppression " + subject + "\tCtrl+Z";
    case TUndoKind::Modified:
      return "&Annuler modification " + subject + "\tCtrl+Z";
    case TUndoKind::Download:
      return "&Annuler téléchargement\tCtrl+Z";
    case TUndoKind::Reassociation:
      return "&Annuler réaffectation\tCtrl+Z";
  }
  return "Impossible d'&annuler\tCtrl+Z";
}

void TUndoSlot::Clear() {
  kind_ = TUndoKind::Nothing;
  subject_ = 0;
  saved_.reset();
  lines_.clear();
  schedule_.reset();
  action_.reset();
}

void TUndoSlot::RecordOperationChange(TOperationRecord& op, TUndoMode mode, bool ask_complement) {
  Clear();
  if (IsTransferHalf(op)) {
    // Never recorded: the change is applied directly.
    if (mode == TUndoMode::Deletion) DeleteThroughBook(db_, op, ask_complement);
    return;
  }
  try {
    saved_ = CloneOf(op);
    if (IsChainModel(op)) schedule_ = db_.ReadSchedule(op);
    if (mode == TUndoMode::Deletion && op.kind == kOpSplit) {
      for (const TSplitLineRecord& line : db_.LoadSplitLines(op).Records<TSplitLineRecord>()) {
        lines_.push_back(CloneOf(line));
      }
    }
    kind_ = mode == TUndoMode::Deletion ? TUndoKind::Deleted : TUndoKind::Modified;
    subject_ = kUndoSubjectOperation;
    if (mode == TUndoMode::Deletion) DeleteThroughBook(db_, op, ask_complement);
  } catch (...) {
    Clear();
    throw;
  }
}

void TUndoSlot::RecordAction(std::unique_ptr<TUndoAction> action) {
  Clear();
  if (!action) return;
  kind_ = action->Kind();
  subject_ = action->Subject();
  action_ = std::move(action);
}

void TUndoSlot::Undo(TUndoContext& context) {
  switch (kind_) {
    case TUndoKind::Nothing:
      return;
    case TUndoKind::Deleted:
      if (action_) break;
      UndoDeletion(context);
      return;
    case TUndoKind::Modified:
      if (action_) break;
      UndoModification(context);
      return;
    default:
      break;
  }
  if (action_ && action_->Undo(context)) Clear();
}

void TUndoSlot::UndoDeletion(TUndoContext& context) {
  TAccountRecord* account = db_.FindAccount(saved_->account);
  if (!account) {
    // Its account went since: there is nowhere to put it back.
    Clear();
    return;
  }
  auto copy = CloneOf(*saved_);
  // A schedule of its own is made again below; a past occurrence keeps its
  // link only while its chain still exists.
  if (schedule_ || !ScheduleInUse(db_, copy->periodic)) copy->periodic = 0;
  if (copy->periodic == 0) copy->SetFlag(kOpPastOccurrence, false);
  const bool keep_id = db_.FindOperation(copy->id) == nullptr;
  TOperationRecord* restored = nullptr;
  {
    TWritePhase phase(db_);
    std::optional<TKeepIdentifiers> keep;
    if (keep_id) keep.emplace(db_);
    restored = &db_.AddOperation(*account, std::move(copy));
    for (const auto& line : lines_) db_.AddSplitLine(*restored, CloneOf(*line));
    if (schedule_) db_.ReplaceSchedule(*restored, CloneOf(*schedule_));
  }
  db_.ComputeBalance(*account);
  TellRestored(context, *account, *restored, kNotPointed);
  Clear();
  if (context.notify) context.notify(kRefreshAfterChange);
}

void TUndoSlot::UndoModification(TUndoContext& context) {
  TAccountRecord* account = context.active_account;
  TRecordNode* node = account ? account->Operations().FindById(saved_->id) : nullptr;
  if (!node) {
    Clear();
    return;
  }
  TOperationRecord& op = node->As<TOperationRecord>();
  if ((op.kind == kOpSplit) != (saved_->kind == kOpSplit)) {
    // Its lines changed since (a split always empties the slot, so only a
    // change by some other way gets here): the saved fields no longer fit.
    Clear();
    return;
  }
  const std::uint16_t old_state = op.pointing;
  {
    TWritePhase phase(db_);
    // The links into the file stay the operation's own.
    const std::uint32_t first_split = op.first_split;
    const std::uint32_t periodic = op.periodic;
    const std::uint32_t account_id = op.account;
    op.account = account_id;
    op.first_split = first_split;
    op.periodic = periodic;
    op.linked_account = saved_->linked_account;
    op.project = saved_->project;
    op.flags = saved_->flags;
    op.kind = saved_->kind;
    op.category = saved_->category;
    op.pointing = saved_->pointing;
    op.amount = saved_->amount;
    op.label = saved_->label;
    op.complementary_label = saved_->complementary_label;
    op.date = saved_->date;
    op.source_amount = saved_->source_amount;
    op.bank_reference = saved_->bank_reference;
    if (periodic == 0) op.SetFlag(kOpPastOccurrence, false);
    db_.ModifyOperation(op);
    if (schedule_ && IsChainModel(op)) ReplaceChainSchedule(db_, op, CloneOf(*schedule_));
  }
  db_.ComputeBalance(*account);
  TellRestored(context, *account, op, old_state);
  Clear();
  if (context.notify) context.notify(kRefreshAfterChange);
}

}  // namespace ledgora
