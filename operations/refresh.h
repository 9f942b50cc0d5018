// The refresh notification: how a change reaches the panes of the main window.
//
// A rule that changed the book sends one notification with a bit set. The
// main window relays it: kRefreshSidePanes to the side panes of the current
// mode (the category and project panes beside the operation list),
// kRefreshMainPane to its main pane; the low bits pass through unchanged and
// are read by the pane that receives them. The operation list reads three:
// a full refill, a repaint, and a recompute of the balances followed by a
// repaint.
#pragma once

namespace ledgora {

// Bits read by the operation list (TOperationList::HandleRefresh).
inline constexpr unsigned kRefillFull = 0x001;         // rebuild every row and the totals
inline constexpr unsigned kRepaintOnly = 0x002;        // the rows as they are
inline constexpr unsigned kRecomputeBalances = 0x004;  // balances again, then a repaint

// Bits read by the main window.
inline constexpr unsigned kRefreshSidePanes = 0x100;
inline constexpr unsigned kRefreshMainPane = 0x200;

// What every change of an operation sends: the list refilled, both kinds of
// pane told.
inline constexpr unsigned kRefreshAfterChange = kRefreshMainPane | kRefreshSidePanes | kRefillFull;

// The seam to the main window. The relay must be synchronous: when Refresh
// returns, the panes have handled the bits (a rule selects the row of the
// operation it just added right after notifying).
class TRefreshSink {
 public:
  virtual ~TRefreshSink() = default;
  virtual void Refresh(unsigned bits) = 0;
};

}  // namespace ledgora
