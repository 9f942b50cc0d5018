// TOperationCommands: the commands of the "&Opérations" menu that act on a
// row of the list, and the drops of a category or a project on a row.
//
// Each command is a guard (its availability, its questions with their exact
// texts, asked through the book's port) followed by the change through the
// book, the balances, and the refresh notification (kRefreshAfterChange).
// "No" to a question leaves the book as it was. Errors: TXOrvanet from the
// storage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ledgora {

class TOperationList;

enum class TOperationCommand {
  Undo,               // "A&nnuler\tCtrl+Z"
  Modify,             // "&Modifier\tEntrée"
  Point,              // "&Pointer\tEspace"
  MarkDownloaded,     // "Mar&quer comme téléchargée"
  Delete,             // "&Supprimer\tSuppr"
  Cut,                // "&Couper\tCtrl+X"
  Copy,               // "C&opier\tCtrl+C"
  Paste,              // "Co&ller\tCtrl+V"
  CreateAssociation,  // "Créer une associa&tion..."
  Periodicity,        // "Pério&dicité..."
  Split,              // "&Ventilation..."
  Transfer,           // "V&irement..."
  Reconcile,          // "E&ffectuer le rapprochement..."
};

// The menu text of a command (the undo command's text is the undo slot's).
std::string_view OperationCommandText(TOperationCommand command);

inline constexpr std::string_view kDeleteQuestion = "Souhaitez-vous supprimer cette opération ?";
inline constexpr std::string_view kDeletePointedQuestion =
    "Cette opération est pointée.\nSouhaitez-vous vraiment la supprimer ?";
inline constexpr std::string_view kPasteCreditInCardQuestion =
    "L'opération à coller dans votre compte carte est créditrice.\nDésirez-vous réellement la "
    "coller ?";
inline constexpr std::string_view kPasteCurrencyQuestion =
    "Les devises entre l'opération à coller et le compte actif sont différentes.\nDésirez-vous "
    "réellement coller l'opération ?";
inline constexpr std::string_view kCategoryDropRefused =
    "Vous ne pouvez pas changer la catégorie de cette opération de cette façon !";
inline constexpr std::string_view kCreditCategoryOnDebitQuestion =
    "Attention ! Désirez-vous réellement affecter une catégorie créditrice à une opération "
    "débitrice ?";
inline constexpr std::string_view kDebitCategoryOnCreditQuestion =
    "Attention ! Désirez-vous réellement affecter une catégorie débitrice à une opération "
    "créditrice ?";
inline constexpr std::string_view kRemoveCategoryQuestion =
    "Désirez-vous vraiment ne plus affecter de catégorie à cette opération ?";
inline constexpr std::string_view kChangeCategoryQuestion =
    "Désirez-vous vraiment modifier la catégorie affectée à cette opération ?";
inline constexpr std::string_view kPointedProjectQuestion =
    "Attention ! Cette opération est pointée.\nDésirez-vous vraiment lui affecter ce projet ?";

// What Paste did: whether an operation was pasted, and its row when the
// filters show it (the row to open in the in-place editor).
struct TPasteResult {
  bool pasted = false;
  std::optional<std::size_t> row;
};

class TOperationCommands {
 public:
  explicit TOperationCommands(TOperationList& list) : list_(list) {}

  // Whether the command is offered for the row (the enabling rules of the
  // menu); Undo, Paste and Reconcile do not look at the row.
  bool Available(TOperationCommand command, std::size_t row) const;
  // "&Pointer" shows a check mark: the row is Pointed, or Ticked while a
  // pointing of the account is in progress.
  bool Checked(TOperationCommand command, std::size_t row) const;
  // The undo command's menu text.
  std::string UndoText() const;

  // "&Supprimer": kDeleteQuestion or kDeletePointedQuestion when the book
  // asks to confirm them; a Ticked operation of a pointing in progress is
  // unticked first; the deletion is recorded for undo (a transfer half asks
  // whether its other half goes too). The selection keeps its row index.
  bool Delete(std::size_t row);
  // "C&opier": the operation and its split lines into the list's clipboard,
  // without bank reference or periodic link.
  bool Copy(std::size_t row);
  // "&Couper": a copy, then Delete (the copy stays held when Delete is
  // refused).
  bool Cut(std::size_t row);
  // "Co&ller": kPasteCreditInCardQuestion for a credit pasted into a card
  // account, kPasteCurrencyQuestion when the currencies differ (the figure
  // is pasted unchanged); a transfer half comes back as a Normal operation
  // without link and category; NotPointed, entered by hand, in the active
  // account at its date place; the clipboard is emptied. The pasted
  // operation's row is selected; the caller opens it in the in-place editor.
  TPasteResult Paste();

  // A category dropped on a row (0: "no category"). On the new-entry line
  // it only pre-sets the category and the category's amount.
  bool DropCategory(std::size_t row, std::uint32_t category);
  // A project dropped on a row (0: none). On the new-entry line it only
  // pre-sets it. A closed project that is not already the operation's is
  // refused with the editor's message: no operation is newly given one.
  bool DropProject(std::size_t row, std::uint32_t project);
  // "Mar&quer comme téléchargée".
  bool MarkDownloaded(std::size_t row);
  // "&Pointer" (Space). Outside a pointing: NotPointed or Ticked becomes
  // Pointed, Pointed and Downloaded become NotPointed. While the account is
  // being pointed: NotPointed and Downloaded become Ticked, Ticked and
  // Pointed NotPointed, and the pointing window follows. Recorded for undo;
  // a Pointed operation asks the pointed-operation warning first.
  bool TogglePointing(std::size_t row);
  // "A&nnuler": the undo slot's reversal.
  bool Undo();

 private:
  TOperationList& list_;
};

}  // namespace ledgora
