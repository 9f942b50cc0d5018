// TPointingSession: the pointing window, as the operation rules see it.
//
// While the user points an account against a bank statement, the pointing
// window stays open beside the list and keeps the sums of the ticked debits
// and credits. The rules that change a pointing state (the in-place editor,
// Space, deletion, undo) ask it whether a pointing of the active account is
// in progress and tell it when an operation enters or leaves the Ticked
// state, so that its sums follow. Without a session no pointing is in
// progress. The window itself comes with the reconciliation rules.
#pragma once

#include <cstdint>

namespace ledgora {

class TAccountRecord;
class TOperationRecord;

class TPointingSession {
 public:
  virtual ~TPointingSession() = default;
  // Whether the pointing window is open on this account.
  virtual bool InProgress(const TAccountRecord& account) const = 0;
  // op has just changed its pointing state from old_state (the book is
  // already written); the window adjusts its sums.
  virtual void TickChanged(const TOperationRecord& op, std::uint16_t old_state) = 0;
};

}  // namespace ledgora
