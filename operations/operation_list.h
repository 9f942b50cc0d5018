// TOperationList: the rows of the operation list of the active account, as
// the view paints them.
//
// The rows are data: one small record per operation shown (a pointer to the
// book's record, its running balance and counter-value, the partial figures
// of a split shown under the category filter), and the new-entry line last.
// Every text, mark and colour of a row is computed when the view asks for
// that row (Texts, ToolTip), so a view scrolls through tens of thousands of
// rows without a widget or a string per row.
//
// Order: the operations of the account in their book order (date ascending,
// then amount descending), then the new-entry line.
//
// A full refill (Refill) recomputes the account's balance and the running
// balances (a card account skips its Pointed operations and subtracts the
// others), selects the rows through the general filter (when active) and
// the display filter, sums the total of the rows shown, keeps the selection
// on the same row index (clamped to the last row) and writes
// "LigneCompteActif" and "CompteActif".
//
// Lifetime: bound to one open book and its hooks, which must outlive it.
// Rows point into the book: after any change of the book the list must be
// refilled before its rows are read again (the rules of this folder notify
// it). An operation or account deleted behind its back makes the list Stale:
// its rows then read as empty until the next refill.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "operations/list_settings.h"
#include "operations/operation_clipboard.h"
#include "operations/operations_hooks.h"
#include "operations/pointing_session.h"
#include "operations/refresh.h"
#include "operations/transfer_duplicates.h"
#include "storage/database.h"

namespace ledgora {

enum class TListColumn : int {
  Project = 0,         // "Projet"
  Date = 1,            // "Date"
  Classification = 2,  // "Classement"
  Pointing = 3,        // "P"
  Debit = 4,           // "Débit", "Montant" in a card account
  Credit = 5,          // "Crédit"
  CounterValue = 6,    // "Soit EUR" / "Soit FRF"
  Balance = 7,         // "Solde"
};
inline constexpr std::size_t kListColumnCount = 8;

struct TListColumnInfo {
  TListColumn column = TListColumn::Project;
  std::string title;
  int width = 0;  // initial width in pixels
  bool visible = true;
};

// The picture of column "P".
enum class TPointingMark { None, Downloaded, Pointed, Ticked };
// The colour of a figure: the warning colour for a negative one.
enum class TListColour { Normal, Warning };

// What the category pane tells the list: the selected category (0: none)
// and whether its node is collapsed (its sub-categories then count with it).
struct TCategorySelection {
  std::uint32_t category = 0;
  bool collapsed = false;
  bool operator==(const TCategorySelection&) const = default;
};

struct TOperationRow {
  TOperationRecord* op = nullptr;  // null on the new-entry line
  double running_balance = 0;
  bool has_balance = false;   // no running balance: a Pointed card operation, the new line
  double counter_value = 0;   // of the whole amount
  bool partial = false;       // a Split shown under the category filter
  double partial_amount = 0;  // sum of its lines of the category (a magnitude)
  double partial_counter_value = 0;
};

// Everything the view paints for one row.
struct TRowTexts {
  // One text per column. "Classement": in the detailed display the label
  // line, "\n" and the classification; in the condensed display the
  // classification alone.
  std::array<std::string, kListColumnCount> cells;
  std::string label_line;          // the label (+ " / " + complementary label)
  std::string classification;      // the classification text
  std::string source_amount_line;  // "Mnt origine : %s" (detailed display), or empty
  TPointingMark mark = TPointingMark::None;
  bool periodic_mark = false;     // the operation belongs to a periodic chain
  std::uint16_t origin_icon = 0;  // icon bitmap of the currency of origin (detailed), 0 none
  TListColour balance_colour = TListColour::Normal;
  bool new_entry = false;
};

struct TListFooter {
  std::string currency_text;        // "Devise du compte : %s"
  std::uint16_t currency_flag = 0;  // the library's flag bitmap of the currency, 0 none
  std::string
      figure_label;  // "Solde du compte : ", "Montant encours : ", "Total des opérations : "
  double figure = 0;
  std::string figure_text;
  TListColour figure_colour = TListColour::Normal;
  // The figure's counter-value with " FRF" or " EUR", when the footer shows
  // the balance of an account of the euro circle; else empty.
  std::string figure_tooltip;
};

// The view side of the list (the Qt model wraps it).
class TOperationListObserver {
 public:
  virtual ~TOperationListObserver() = default;
  virtual void ListAboutToRefill() {}
  virtual void ListRefilled() = 0;
  virtual void ListRepaint() = 0;
};

class TOperationList : private TBookChangeListener {
 public:
  TOperationList(TDatabase& db, TOperationsHooks& hooks, TListSettings settings);
  ~TOperationList() override;
  TOperationList(const TOperationList&) = delete;
  TOperationList& operator=(const TOperationList&) = delete;

  TDatabase& Book() const { return db_; }
  TOperationsHooks& Hooks() const { return hooks_; }
  TUserPort& Port() const { return db_.Port(); }
  TListSettings& Settings() { return settings_; }
  const TListSettings& Settings() const { return settings_; }
  // The book's active account, or null.
  TAccountRecord* Account() const { return db_.CurrentAccount(); }
  // "TAccountListBox-Encours" (card account), "TAccountListBox-Courant",
  // "TAccountListBox" (no active account).
  std::string_view ContextName() const;

  // --- Wiring (none is owned) --------------------------------------------------

  // Where Notify sends its bits; without a sink the list handles them itself.
  void SetRefreshSink(TRefreshSink* sink) { refresh_ = sink; }
  void SetObserver(TOperationListObserver* observer) { observer_ = observer; }
  void SetPointingSession(TPointingSession* session) { pointing_ = session; }
  TPointingSession* PointingSession() const { return pointing_; }
  // Whether the pointing window is open on the active account.
  bool PointingInProgress() const;
  void SetDuplicateFinder(TTransferDuplicateFinder* finder) { duplicates_ = finder; }
  TTransferDuplicateFinder* DuplicateFinder() const { return duplicates_; }

  // The category pane's selection; refills when the category filter is on.
  void SetCategorySelection(TCategorySelection selection);
  const TCategorySelection& CategorySelection() const { return category_selection_; }

  // --- Refill ----------------------------------------------------------------------

  // A full refill (above). Errors: TXOrvanet when split lines cannot be read
  // (the rows then hold only the new-entry line).
  void Refill();
  // The bits of a refresh notification: kRefillFull, kRecomputeBalances,
  // kRepaintOnly (the others are ignored).
  void HandleRefresh(unsigned bits);
  // Sends bits through the refresh sink, or handles them here without one.
  void Notify(unsigned bits);
  // Makes account the book's active account and refills (selection on the
  // last row, the new-entry line emptied). Null: no active account.
  void SelectAccount(TAccountRecord* account);
  bool Stale() const { return stale_; }

  // --- Rows ------------------------------------------------------------------------

  std::size_t RowCount() const { return rows_.size(); }
  // std::out_of_range for a row outside the list.
  const TOperationRow& Row(std::size_t row) const { return rows_.at(row); }
  bool IsNewEntry(std::size_t row) const { return row + 1 == rows_.size() && Account(); }
  // The operation of a row; null for the new-entry line, a row outside the
  // list and any row of a stale list.
  TOperationRecord* OperationAt(std::size_t row) const;
  // The same, but the new-entry line gives its blank operation (NewEntry).
  TOperationRecord* RecordAt(std::size_t row) const;
  std::optional<std::size_t> RowOf(std::uint32_t operation_id) const;
  TRowTexts Texts(std::size_t row) const;
  // The tip of a row: its source-amount text in the detailed display, its
  // full label in the condensed one (when "InfoBulleCondense" is 1); empty
  // when none.
  std::string ToolTip(std::size_t row) const;
  std::vector<TListColumnInfo> Columns() const;
  // The counter-value currency of the active account when the column is
  // shown ("AffColContreval" and an account of the euro circle), else empty.
  std::string_view CounterValueCurrencyShown() const;
  TListFooter Footer() const;
  double Total() const { return total_; }
  // The active account's balance as the last refill computed it.
  double Balance() const;
  // Whether the filters (the general one when active, the display filter)
  // let op through; partial receives the split's partial amount under the
  // category filter. Splits may have their lines loaded (TXOrvanet).
  bool Shows(TOperationRecord& op, double* partial = nullptr) const;

  // --- Selection ---------------------------------------------------------------------

  std::size_t Selected() const { return selected_; }
  // Clamped to the last row.
  void Select(std::size_t row);
  // The row stored in "LigneCompteActif" (clamped), else the last row.
  std::size_t InitialRow() const;

  // --- The new-entry line and the clipboard -------------------------------------------

  // The blank operation of the active account that the new-entry line
  // stands for; drops and the transfer choice pre-set it.
  TOperationRecord& NewEntry() { return *draft_; }
  const TOperationRecord& NewEntry() const { return *draft_; }
  void ResetNewEntry();
  // The date proposed for the next new operation: the last date typed on
  // the new-entry line when the book says so (its default-date setting 1)
  // and one was typed, else today.
  KDate NewEntryDate() const;
  void RememberNewEntryDate(KDate date) { last_new_date_ = date; }
  TOperationClipboard& Clipboard() { return clipboard_; }

 private:
  void BookChanged(TChangeKind kind, const TRecord& record) override;
  void RecomputeBalances();
  void StoreView();
  bool PassesDisplayFilter(TOperationRecord& op, double* partial) const;
  void PrepareCategoryFilter() const;
  double SignedPartial(const TOperationRow& row) const;

  TDatabase& db_;
  TOperationsHooks& hooks_;
  TListSettings settings_;
  TRefreshSink* refresh_ = nullptr;
  TOperationListObserver* observer_ = nullptr;
  TPointingSession* pointing_ = nullptr;
  TTransferDuplicateFinder* duplicates_ = nullptr;
  TCategorySelection category_selection_;
  // The categories the category filter accepts, made at each refill.
  mutable std::vector<std::uint32_t> filter_categories_;

  std::vector<TOperationRow> rows_;
  double total_ = 0;
  std::size_t selected_ = 0;
  bool filled_once_ = false;
  bool stale_ = false;
  std::uint32_t shown_account_ = 0;
  std::optional<long> written_row_;
  std::optional<long> written_account_;

  std::unique_ptr<TOperationRecord> draft_;
  std::uint32_t draft_account_ = 0;
  KDate last_new_date_;
  TOperationClipboard clipboard_;
};

}  // namespace ledgora
