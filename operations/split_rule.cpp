#include "operations/split_rule.h"

#include <cmath>

#include "operations/operation_list.h"
#include "operations/undo_slot.h"

namespace ledgora {

double TSplitDraft::Remaining() const {
  double sum = 0;
  for (const TSplitLine& line : lines_) sum += line.amount;
  return magnitude_ - sum;
}

bool TSplitDraft::AddLine(TSplitLine line) {
  if (!(line.amount >= 0) || !std::isfinite(line.amount)) return false;
  lines_.push_back(std::move(line));
  return true;
}

bool TSplitDraft::RemoveLine(std::size_t index) {
  if (index >= lines_.size()) return false;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

bool TSplitRule::Available(std::size_t row) const {
  const TOperationRecord* op = list_.OperationAt(row);
  return op && (op->kind == kOpNormal || op->kind == kOpSplit);
}

std::optional<TSplitDraft> TSplitRule::Begin(std::size_t row) {
  if (!Available(row)) return std::nullopt;
  TOperationRecord& op = *list_.OperationAt(row);
  TSplitDraft draft;
  draft.operation_id_ = op.id;
  draft.account_id_ = list_.Account()->id;
  draft.magnitude_ = std::fabs(op.amount);
  draft.title_ = op.amount < 0 ? "Ventilation d'une opération débitrice"
                               : "Ventilation d'une opération créditrice";
  if (op.kind == kOpSplit) {
    for (const TSplitLineRecord& line :
         list_.Book().LoadSplitLines(op).Records<TSplitLineRecord>()) {
      draft.lines_.push_back({line.category, line.amount, line.label});
    }
  } else if (op.category != 0) {
    draft.lines_.push_back({op.category, draft.magnitude_, {}});
  }
  return draft;
}

bool TSplitRule::Confirm(TSplitDraft& draft) {
  TAccountRecord* account = list_.Account();
  if (!account || account->id != draft.account_id_) return false;
  TRecordNode* node = account->Operations().FindById(draft.operation_id_);
  if (!node) return false;
  TOperationRecord& op = node->As<TOperationRecord>();
  if (op.kind != kOpNormal && op.kind != kOpSplit) return false;
  TDatabase& db = list_.Book();
  // Phase 3: the remaining amount.
  const double remaining = draft.Remaining();
  if (std::fabs(remaining) >= kSplitTolerance) {
    if (db.Port().Ask(std::string(kSplitAdjustQuestion), TButtons::YesNo, TIcon::Question) !=
        TButton::Yes) {
      return false;
    }
    draft.lines_.push_back({0, remaining, {}});
  }
  // The slot may hold a copy of this operation with its former lines.
  TUndoSlot::Of(db).Clear();
  {
    TWritePhase phase(db);
    // Phase 4: the former lines go.
    TRecordList& lines = db.LoadSplitLines(op);
    while (TRecordNode* head = lines.Head()) db.DeleteSplitLine(head->As<TSplitLineRecord>());
    if (op.pointing == kDownloaded) op.pointing = kNotPointed;
    // Phase 5: the new shape of the operation.
    if (draft.lines_.size() >= 2) {
      op.kind = kOpSplit;
      op.category = 0;
      for (const TSplitLine& line : draft.lines_) {
        auto record = std::make_unique<TSplitLineRecord>();
        record->category = line.category;
        record->amount = line.amount;
        record->label = line.label;
        db.AddSplitLine(op, std::move(record));
      }
    } else {
      op.kind = kOpNormal;
      op.category = draft.lines_.empty() ? 0 : draft.lines_.front().category;
    }
    db.ModifyOperation(op);
    if (op.kind != kOpSplit) op.DropSplitLines();
  }
  list_.Notify(kRefreshAfterChange);
  return true;
}

}  // namespace ledgora
