#include "operations/operation_edits.h"

#include <vector>

#include "operations/classification.h"
#include "operations/pointing_session.h"

namespace ledgora {
namespace {

// The operations of the book, other than except, that hold this schedule.
std::vector<TOperationRecord*> ChainMembers(const TDatabase& db, std::uint32_t schedule,
                                            const TOperationRecord* except) {
  std::vector<TOperationRecord*> members;
  if (schedule == 0) return members;
  for (TAccountRecord& account : db.Accounts().Records<TAccountRecord>()) {
    for (TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
      if (&op != except && op.periodic == schedule) members.push_back(&op);
    }
  }
  return members;
}

}  // namespace

TOperationRecord* OtherHalfOf(const TDatabase& db, const TOperationRecord& op) {
  if (!IsTransferHalf(op) || op.category == 0) return nullptr;
  const TAccountRecord* account = db.FindAccount(op.linked_account);
  if (!account) return nullptr;
  TRecordNode* node = account->Operations().FindById(op.category);
  if (!node) return nullptr;
  auto& other = node->As<TOperationRecord>();
  if (&other == &op || !IsTransferHalf(other) || other.category != op.id) return nullptr;
  return &other;
}

bool ConfirmPointedChange(TDatabase& db, const TOperationRecord& op, std::string_view question) {
  if (op.pointing != kPointed || db.Settings().warn_change_pointed == 0) return true;
  return db.Port().Ask(std::string(question), TButtons::YesNo, TIcon::Question) == TButton::Yes;
}

bool IsChainModel(const TOperationRecord& op) {
  return op.periodic != 0 && !op.HasFlag(kOpPastOccurrence);
}

void DeleteOperationAndChain(TDatabase& db, TOperationRecord& op) {
  TWritePhase phase(db);
  const bool model = IsChainModel(op);
  const std::uint32_t schedule = op.periodic;
  db.DeleteOperation(op);
  if (!model) return;
  // The schedule is gone with its model: nothing may point at its slot.
  for (TOperationRecord* member : ChainMembers(db, schedule, nullptr)) {
    member->periodic = 0;
    member->SetFlag(kOpPastOccurrence, false);
    db.ModifyOperation(*member);
  }
}

void DeleteThroughBook(TDatabase& db, TOperationRecord& op, bool ask_complement) {
  TOperationRecord* other = OtherHalfOf(db, op);
  bool both = false;
  if (other && ask_complement) {
    both = db.Port().Ask(std::string(kDeleteComplementQuestion), TButtons::YesNo,
                         TIcon::Question) == TButton::Yes;
  }
  TAccountRecord* other_account = both ? &db.AccountOf(*other) : nullptr;
  TWritePhase phase(db);
  DeleteOperationAndChain(db, op);
  if (both) {
    DeleteOperationAndChain(db, *other);
    db.ComputeBalance(*other_account);
  }
}

void ReplaceChainSchedule(TDatabase& db, TOperationRecord& model,
                          std::unique_ptr<TPeriodicRecord> schedule) {
  TWritePhase phase(db);
  const std::uint32_t old_schedule = model.periodic;
  const std::vector<TOperationRecord*> members = ChainMembers(db, old_schedule, &model);
  db.ReplaceSchedule(model, std::move(schedule));
  for (TOperationRecord* member : members) {
    member->periodic = model.periodic;
    if (model.periodic == 0) member->SetFlag(kOpPastOccurrence, false);
    db.ModifyOperation(*member);
  }
}

void TellTick(TPointingSession* session, const TOperationRecord& op, std::uint16_t old_state) {
  if (!session || old_state == op.pointing) return;
  if (old_state == kTicked || op.pointing == kTicked) session->TickChanged(op, old_state);
}

}  // namespace ledgora
