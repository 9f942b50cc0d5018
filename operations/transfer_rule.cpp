#include "operations/transfer_rule.h"

#include <algorithm>

#include "foundation/amount.h"
#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "operations/classification.h"
#include "operations/counter_values.h"
#include "operations/operation_edits.h"
#include "operations/operation_list.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora {
namespace {

// The source-amount field holds at most 25 characters.
constexpr std::size_t kSourceAmountMaxChars = 25;

std::unique_ptr<TOperationRecord> CopyOf(const TOperationRecord& op) {
  return std::unique_ptr<TOperationRecord>(static_cast<TOperationRecord*>(op.Clone().release()));
}

void MakeNormal(TOperationRecord& op) {
  op.kind = kOpNormal;
  op.linked_account = 0;
  op.category = 0;
}

}  // namespace

TOtherHalfAmount OtherHalfAmount(const TAccountRecord& from, const TAccountRecord& to,
                                 double amount) {
  TOtherHalfAmount result;
  if (EqualsNoCase(from.currency, to.currency) || !IsEuroCompatible(from.currency)) {
    result.amount = -amount;
    return result;
  }
  result.amount = ConvertAmount(-amount, from.currency, to.currency).value_or(0);
  const std::string figure = AmountText(-amount);
  result.source_amount =
      std::string(Utf8Prefix(figure + " " + from.currency, kSourceAmountMaxChars));
  return result;
}

TOperationRecord& MakeOtherHalf(TDatabase& db, TTransferDuplicateFinder* finder,
                                TOperationRecord& op, TAccountRecord& target) {
  TAccountRecord& from = db.AccountOf(op);
  // Phase 4: the kinds by the sign, and the other half as a copy of op.
  op.kind = op.amount > 0 ? kOpTransferIn : kOpTransferOut;
  auto other = CopyOf(op);
  other->kind = op.amount > 0 ? kOpTransferOut : kOpTransferIn;
  other->pointing = kNotPointed;
  other->SetFlag(kOpEnteredByHand, true);
  other->bank_reference.clear();
  other->linked_account = from.id;
  other->category = op.id;
  other->first_split = 0;
  // Phase 5: its amount, converted when the currencies differ.
  const TOtherHalfAmount amount = OtherHalfAmount(from, target, op.amount);
  other->amount = amount.amount;
  if (amount.source_amount) other->source_amount = *amount.source_amount;
  // Phase 6: the same movement may already be in the other account.
  TOperationRecord* duplicate =
      finder ? finder->FindTransferDuplicate(db, target, *other) : nullptr;
  if (duplicate && (duplicate == &op || &db.AccountOf(*duplicate) != &target)) duplicate = nullptr;
  if (duplicate) {
    other->project = duplicate->project;
    other->complementary_label = duplicate->complementary_label;
    other->label = duplicate->label;
    other->bank_reference = duplicate->bank_reference;
    if (EqualsNoCase(from.currency, "EUR") && !EqualsNoCase(target.currency, "EUR")) {
      other->amount = duplicate->amount;
    }
  }
  // Phase 7: the other half in, op linked to it.
  TWritePhase phase(db);
  if (duplicate) DeleteOperationAndChain(db, *duplicate);
  TOperationRecord& added = db.AddOperation(target, std::move(other));
  op.linked_account = target.id;
  op.category = added.id;
  db.ModifyOperation(op);
  db.ComputeBalance(from);
  db.ComputeBalance(target);
  return added;
}

bool TTransferRule::Available(std::size_t row) const {
  const TAccountRecord* account = list_.Account();
  if (!account || account->account_type == kCardAccount || row >= list_.RowCount()) return false;
  const TOperationRecord* op = list_.RecordAt(row);
  if (!op) return false;
  return op->kind != kOpCardStatement && op->kind != kOpSplit && op->kind != kOpEuroConversion;
}

std::vector<TAccountRecord*> TTransferRule::Candidates(std::size_t row) const {
  std::vector<TAccountRecord*> out;
  if (!Available(row)) return out;
  const TAccountRecord& active = *list_.Account();
  const TOperationRecord* op = list_.RecordAt(row);
  const std::uint32_t current_other = IsTransferHalf(*op) ? op->linked_account : 0;
  const bool shown_only = platform::ProfileReadInt("Options", "VirCptOuvertsSeulement", 1) == 1;
  const bool euro = IsEuroCompatible(active.currency);
  for (TAccountRecord& a : list_.Book().Accounts().Records<TAccountRecord>()) {
    if (a.account_type == kCardAccount || a.state == kAccountClosed) continue;
    if (shown_only && a.state != kAccountShown) continue;
    if (&a == &active || (current_other != 0 && a.id == current_other)) continue;
    if ((active.euro_twin != 0 && a.id == active.euro_twin) || a.euro_twin == active.id) continue;
    if (euro ? !IsEuroCompatible(a.currency) : !EqualsNoCase(a.currency, active.currency)) continue;
    out.push_back(&a);
  }
  return out;
}

bool TTransferRule::Choose(std::size_t row, TAccountRecord* target) {
  if (!Available(row)) return false;
  if (target) {
    const std::vector<TAccountRecord*> candidates = Candidates(row);
    if (std::find(candidates.begin(), candidates.end(), target) == candidates.end()) return false;
  }
  TDatabase& db = list_.Book();
  TUndoSlot::Of(db).Clear();
  // Step 3 on the new-entry line: the row only records the choice.
  if (list_.IsNewEntry(row)) {
    TOperationRecord& draft = list_.NewEntry();
    if (target) {
      draft.kind = kOpTransferOut;
      draft.linked_account = target->id;
      if (draft.pointing == kDownloaded) draft.pointing = kNotPointed;
    } else {
      MakeNormal(draft);
    }
    list_.Notify(kRepaintOnly | kRefreshMainPane);
    return true;
  }
  TOperationRecord* op = list_.OperationAt(row);
  // Step 1: the pointed-operation warning.
  if (!ConfirmPointedChange(db, *op)) return false;
  if (!target) {
    // Step 9: "Aucun".
    if (!IsTransferHalf(*op)) return false;
    TOperationRecord* other = OtherHalfOf(db, *op);
    const bool remove_other =
        other && db.Port().Ask(std::string(kRemoveComplementQuestion), TButtons::YesNo,
                               TIcon::Question) == TButton::Yes;
    TAccountRecord* other_account = other ? &db.AccountOf(*other) : nullptr;
    {
      TWritePhase phase(db);
      MakeNormal(*op);
      db.ModifyOperation(*op);
      if (other) {
        MakeNormal(*other);
        if (remove_other) {
          DeleteOperationAndChain(db, *other);
        } else {
          db.ModifyOperation(*other);
        }
        db.ComputeBalance(*other_account);
      }
    }
  } else if (!IsTransferHalf(*op)) {
    // Steps 3 to 7: a new transfer.
    if (op->pointing == kDownloaded) op->pointing = kNotPointed;
    MakeOtherHalf(db, list_.DuplicateFinder(), *op, *target);
  } else {
    // Step 8: the transfer moves to another account.
    TOperationRecord* former = OtherHalfOf(db, *op);
    MakeOtherHalf(db, list_.DuplicateFinder(), *op, *target);
    if (former) {
      TAccountRecord& former_account = db.AccountOf(*former);
      const bool remove = db.Port().Ask(std::string(kReplaceComplementQuestion), TButtons::YesNo,
                                        TIcon::Question) == TButton::Yes;
      MakeNormal(*former);
      if (remove) {
        DeleteOperationAndChain(db, *former);
      } else {
        db.ModifyOperation(*former);
      }
      db.ComputeBalance(former_account);
    }
  }
  list_.Notify(kRefreshAfterChange);
  return true;
}

}  // namespace ledgora
