#include "operations/operations_hooks.h"

#include <algorithm>

#include "storage/account_record.h"
#include "storage/database.h"
#include "storage/operation_record.h"

namespace ledgora {

bool CountsInBalance(const TAccountRecord& account, const TOperationRecord& op) {
  return account.account_type != kCardAccount || op.pointing != kPointed;
}

double AccountBalance(const TAccountRecord& account) {
  double balance = account.initial_balance;
  const bool card = account.account_type == kCardAccount;
  for (const TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
    if (!card) {
      balance += op.amount;
    } else if (op.pointing != kPointed) {
      balance -= op.amount;
    }
  }
  return balance;
}

void TOperationsHooks::ComputeBalance(TDatabase&, TAccountRecord& account) {
  account.balance = AccountBalance(account);
}

void TOperationsHooks::RefreshCounterValues(TDatabase& db) {
  counter_values_.RefreshAll(db);
}

void TOperationsHooks::RecordChanged(TDatabase&, TChangeKind kind, const TRecord& record) {
  if (kind == TChangeKind::Deleted && record.Type() == TRecordType::Operation) {
    counter_values_.Forget(record.id);
  }
  // A copy: a listener may remove itself while it is told.
  const std::vector<TBookChangeListener*> listeners = listeners_;
  for (TBookChangeListener* l : listeners) {
    if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end()) {
      l->BookChanged(kind, record);
    }
  }
}

void TOperationsHooks::AddListener(TBookChangeListener* listener) {
  if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
    listeners_.push_back(listener);
  }
}

void TOperationsHooks::RemoveListener(TBookChangeListener* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

}  // namespace ledgora
