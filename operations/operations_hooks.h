// TOperationsHooks: the operations layer plugged into the book.
//
// Install before the book is opened and keep alive as long as it:
//
//   TOperationsHooks hooks;
//   db.SetHooks(&hooks);
//   db.Open(true);
//
// It supplies the balance rule of the accounts (card accounts included),
// keeps the counter-values of the operations, and tells its listeners of
// every change of a record (the operation list uses that to know its rows
// are out of date). The generation of due periodic operations is left to
// the default (none) until the periodic rules derive from this class.
#pragma once

#include <vector>

#include "operations/counter_values.h"
#include "storage/database_hooks.h"

namespace ledgora {

class TAccountRecord;
class TOperationRecord;

// The balance of an account: its initial balance, plus each amount for a
// current or deposit account; for a card account minus the amount of each
// operation that is not Pointed, so that the outstanding card amount of
// ordinary spending is a positive figure.
double AccountBalance(const TAccountRecord& account);
// Whether op counts in its account's balance (a Pointed card operation does not).
bool CountsInBalance(const TAccountRecord& account, const TOperationRecord& op);

// Told after every Add, Delete and Modify of the book (see TDatabaseHooks).
class TBookChangeListener {
 public:
  virtual ~TBookChangeListener() = default;
  virtual void BookChanged(TChangeKind kind, const TRecord& record) = 0;
};

class TOperationsHooks : public TDatabaseHooks {
 public:
  // account.balance = AccountBalance(account).
  void ComputeBalance(TDatabase& db, TAccountRecord& account) override;
  // Computes the counter-value of every operation once the book is loaded.
  void RefreshCounterValues(TDatabase& db) override;
  // Forgets the counter-value of a deleted operation, then tells the listeners.
  void RecordChanged(TDatabase& db, TChangeKind kind, const TRecord& record) override;

  TCounterValues& CounterValues() { return counter_values_; }

  // Listeners are not owned; a listener removes itself before it dies.
  void AddListener(TBookChangeListener* listener);
  void RemoveListener(TBookChangeListener* listener);

 private:
  TCounterValues counter_values_;
  std::vector<TBookChangeListener*> listeners_;
};

}  // namespace ledgora
