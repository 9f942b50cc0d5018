// TOperationEditor: editing a row in place ("&Modifier\tEntrée", Enter, a
// double click) and validating what was typed.
//
// The editor window (app/) calls Begin for the row; Begin asks the guard
// questions and returns what the window shows: the fields, their first texts
// and which of them exist. When the user validates, the window passes what
// was typed to Validate, which checks the fields with the validators of
// entry_fields.h, applies the rule and writes the book, or keeps the editor
// open after showing why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/kdate.h"

namespace ledgora {

class TOperationList;
class TOperationRecord;

inline constexpr std::string_view kEuroConversionEditQuestion =
    "Attention ! Il n'est pas conseillé de modifier l'opération de conversion de solde d'un "
    "compte.\nSouhaitez-vous tout de même le faire ?";
inline constexpr std::string_view kClosedProjectMessage =
    "Vous ne pouvez pas affecter un projet clos à une opération !";

// What the editor window shows over the row.
struct TEditorSetup {
  bool new_entry = false;
  bool card_account = false;    // one amount field "Montant" instead of "Débit" and "Crédit"
  bool labels = true;           // the label fields (detailed display only)
  bool classification = false;  // the project and category fields (kind Normal only)
  std::string date;             // day first, four-digit year
  bool pointed = false;
  std::string debit;   // "Débit" (current and deposit accounts)
  std::string credit;  // "Crédit"
  std::string amount;  // "Montant" (card account; spending as a positive figure)
  std::string label;
  std::string complementary_label;
  std::string project;                        // a label, or empty
  std::string category;                       // "%s : %s", the category alone, or empty
  std::vector<std::string> project_choices;   // "[Aucun]", then the open projects
  std::vector<std::string> category_choices;  // tree order
};

// What the user typed (the fields the window did not show are ignored).
struct TEditorInput {
  std::string date;
  bool pointed = false;
  std::string debit;
  std::string credit;
  std::string amount;
  std::string label;
  std::string complementary_label;
  std::string project;
  std::string category;
};

// An edit in progress: the row's operation and its state when the edit began.
class TEditSession {
 public:
  const TEditorSetup& Setup() const { return setup_; }
  bool NewEntry() const { return setup_.new_entry; }
  // The operation edited (0 on the new-entry line).
  std::uint32_t OperationId() const { return operation_id_; }
  // The input that validates the editor as it was opened.
  TEditorInput UnchangedInput() const;

 private:
  friend class TOperationEditor;
  TEditorSetup setup_;
  std::uint32_t operation_id_ = 0;
  std::uint32_t account_id_ = 0;
  double start_amount_ = 0;
  KDate start_date_;
};

enum class TEditOutcome {
  Applied,   // the book holds the edit; the editor closes
  StayOpen,  // a field was refused (its message shown): the editor stays open
  Gone,      // the operation or the account is no longer there: the editor closes
};

class TOperationEditor {
 public:
  explicit TOperationEditor(TOperationList& list) : list_(list) {}

  // Steps 1 to 3 of the in-place edit: a EuroConversion asks
  // kEuroConversionEditQuestion (No is the default button), any other
  // existing operation the pointed-operation warning. None when the user
  // said No or the row has nothing to edit.
  std::optional<TEditSession> Begin(std::size_t row);

  // The validation. Fields that differ from their first text must pass their
  // validators (the message of the first that fails is shown: StayOpen).
  // Then, in this order: the change is recorded for undo (an existing
  // operation); an empty date means today; the pointed box; the amount (a
  // card account stores the typed figure negated; otherwise a figure in
  // "Débit" is stored negated and one in "Crédit" as typed: when both hold a
  // figure, the one changed during the edit wins, "Débit" when both or
  // neither changed); a changed amount clears the source-amount text; the
  // project (kClosedProjectMessage for a closed project that was not the
  // operation's, which then has none) and the category, for kind Normal; a
  // Downloaded operation becomes NotPointed; the schedule of a chain's model
  // follows a new date. The new-entry line becomes an operation of the
  // active account, entered by hand, after the initial-balance question when
  // it is dated before the account's first operation; a transfer chosen on
  // the line makes its other half. The other half of a transfer whose amount
  // changed follows. Errors: TXOrvanet.
  TEditOutcome Validate(const TEditSession& session, const TEditorInput& input);

 private:
  TOperationList& list_;
};

}  // namespace ledgora
