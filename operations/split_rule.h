// TSplitRule: spreading an operation over several categories
// ("&Ventilation...").
//
// The split dialog (app/) works on a TSplitDraft: the lines being edited,
// which the book does not see until the dialog is confirmed. Line amounts
// are magnitudes; the operation's sign gives the direction. Confirming with
// a remaining amount of 0.001 or more asks whether to add a line without
// category for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ledgora {

class TOperationList;

inline constexpr std::string_view kSplitAdjustQuestion =
    "Le solde restant est différent de 0.\nDésirez-vous automatiquement ajuster la ventilation ?";
// A remaining amount below this (in magnitude) counts as none.
inline constexpr double kSplitTolerance = 0.001;

struct TSplitLine {
  std::uint32_t category = 0;  // 0: no category
  double amount = 0;           // a magnitude
  std::string label;
};

class TSplitDraft {
 public:
  // "Ventilation d'une opération débitrice" for an amount below 0, else
  // "Ventilation d'une opération créditrice".
  const std::string& Title() const { return title_; }
  const std::vector<TSplitLine>& Lines() const { return lines_; }
  // The magnitude of the operation's amount minus the sum of the lines.
  double Remaining() const;
  double Magnitude() const { return magnitude_; }
  std::uint32_t OperationId() const { return operation_id_; }

  // What the line dialog opens with: the remaining amount and category.
  TSplitLine ProposedLine(std::uint32_t category) const { return {category, Remaining(), {}}; }
  // False for an amount that is negative or not a number.
  bool AddLine(TSplitLine line);
  // False for an index outside the lines.
  bool RemoveLine(std::size_t index);

 private:
  friend class TSplitRule;
  std::uint32_t operation_id_ = 0;
  std::uint32_t account_id_ = 0;
  double magnitude_ = 0;
  std::string title_;
  std::vector<TSplitLine> lines_;
};

class TSplitRule {
 public:
  explicit TSplitRule(TOperationList& list) : list_(list) {}

  // A row other than the new-entry line, of kind Normal or Split.
  bool Available(std::size_t row) const;
  // The draft of a row: its lines, or for an operation that is not yet a
  // split but has a category, a first line of that category for the whole
  // amount. None when the row cannot be split. Errors: TXOrvanet.
  std::optional<TSplitDraft> Begin(std::size_t row);
  // OK of the dialog. With a remaining amount of kSplitTolerance or more,
  // asks kSplitAdjustQuestion: No returns false (back to the dialog), Yes
  // adds a line without category for it. Then the operation's former lines
  // go, Downloaded becomes NotPointed, and: two or more lines make it a
  // Split owning them; one line a Normal operation of that line's category;
  // none a Normal operation without category. Also false when the
  // operation is gone. Errors: TXOrvanet.
  bool Confirm(TSplitDraft& draft);

 private:
  TOperationList& list_;
};

}  // namespace ledgora
