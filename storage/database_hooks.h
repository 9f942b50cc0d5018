// TDatabaseHooks: where the rules of the later layers plug into the book.
//
// The storage knows nothing of balances, periodic operations or currencies;
// it calls these hooks at the fixed places of the opening and after every
// change, and the operations layer supplies an implementation. Without one,
// TDatabase uses the defaults below.
//
// Order of the calls in Open:
//   for each account, once its operations are loaded:  ComputeBalance
//   post-load pass, once the file is closed:           MakeBrushes,
//                                                      ComputeBalance (every account),
//                                                      CreateDuePeriodicOperations,
//                                                      RefreshCounterValues
// After every Add, Delete and Modify done through TDatabase, once its write
// phase is closed: RecordChanged (for a deletion, the record is still alive
// during the call and freed right after).
#pragma once

namespace ledgora {

class TDatabase;
class TAccountRecord;
class TRecord;

enum class TChangeKind { Added, Deleted, Modified };

class TDatabaseHooks {
 public:
  virtual ~TDatabaseHooks() = default;
  // Sets account.balance. Default: the initial balance plus the amounts of
  // the account's operations.
  virtual void ComputeBalance(TDatabase& db, TAccountRecord& account);
  // The four colours of the book settings have been read (the program makes
  // its brushes from them).
  virtual void MakeBrushes(TDatabase&) {}
  // Creates the periodic operations that are due. Default: none.
  virtual void CreateDuePeriodicOperations(TDatabase&) {}
  // Refreshes the counter-values of the accounts. Default: none.
  virtual void RefreshCounterValues(TDatabase&) {}
  virtual void RecordChanged(TDatabase&, TChangeKind, const TRecord&) {}
};

// An object that lives and dies with the open book: the undo recorder,
// created for the book by the layer that owns it (TDatabase::SetUndoRecorder).
class TDatabaseCompanion {
 public:
  virtual ~TDatabaseCompanion() = default;
};

}  // namespace ledgora
