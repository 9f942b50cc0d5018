#include "operations/operation_commands.h"

#include "foundation/nocase.h"
#include "operations/classification.h"
#include "operations/operation_editor.h"
#include "operations/operation_edits.h"
#include "operations/operation_list.h"
#include "operations/transfer_rule.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora {
namespace {

template <class T>
std::unique_ptr<T> CloneOf(const T& record) {
  return std::unique_ptr<T>(static_cast<T*>(record.Clone().release()));
}

bool Yes(TDatabase& db, std::string_view question) {
  return db.Port().Ask(std::string(question), TButtons::YesNo, TIcon::Question) == TButton::Yes;
}

}  // namespace

std::string_view OperationCommandText(TOperationCommand command) {
  switch (command) {
    case TOperationCommand::Undo:
      return "A&nnuler\tCtrl+Z";
    case TOperationCommand::Modify:
      return "&Modifier\tEntrée";
    case TOperationCommand::Point:
      return "&Pointer\tEspace";
    case TOperationCommand::MarkDownloaded:
      return "Mar&quer comme téléchargée";
    case TOperationCommand::Delete:
      return "&Supprimer\tSuppr";
    case TOperationCommand::Cut:
      return "&Couper\tCtrl+X";
    case TOperationCommand::Copy:
      return "C&opier\tCtrl+C";
    case TOperationCommand::Paste:
      return "Co&ller\tCtrl+V";
    case TOperationCommand::CreateAssociation:
      return "Créer une associa&tion...";
    case TOperationCommand::Periodicity:
      return "Pério&dicité...";
    case TOperationCommand::Split:
      return "&Ventilation...";
    case TOperationCommand::Transfer:
      return "V&irement...";
    case TOperationCommand::Reconcile:
      return "E&ffectuer le rapprochement...";
  }
  return {};
}

bool TOperationCommands::Available(TOperationCommand command, std::size_t row) const {
  const TAccountRecord* account = list_.Account();
  const TOperationRecord* op = list_.OperationAt(row);  // null on the new-entry line
  switch (command) {
    case TOperationCommand::Undo:
      return TUndoSlot::Of(list_.Book()).CanUndo();
    case TOperationCommand::Paste:
      return account && list_.Clipboard().Holds();
    case TOperationCommand::Reconcile:
      return account != nullptr;
    case TOperationCommand::Modify:
      return list_.RecordAt(row) != nullptr;
    case TOperationCommand::Transfer:
      return TTransferRule(list_).Available(row);
    default:
      break;
  }
  if (!op) return false;
  switch (command) {
    case TOperationCommand::Point:
    case TOperationCommand::Delete:
    case TOperationCommand::Cut:
    case TOperationCommand::Copy:
      return op->kind != kOpEuroConversion;
    case TOperationCommand::MarkDownloaded:
      return !op->HasFlag(kOpEnteredByHand) && op->pointing == kNotPointed &&
             op->kind != kOpEuroConversion;
    case TOperationCommand::CreateAssociation:
      return !op->label.empty() && op->category != 0 && op->kind != kOpSplit &&
             !IsTransferHalf(*op);
    case TOperationCommand::Periodicity:
      return op->kind != kOpEuroConversion && op->kind != kOpCardStatement;
    case TOperationCommand::Split:
      return op->kind == kOpNormal || op->kind == kOpSplit;
    default:
      return false;
  }
}

bool TOperationCommands::Checked(TOperationCommand command, std::size_t row) const {
  const TOperationRecord* op = list_.OperationAt(row);
  if (command != TOperationCommand::Point || !op) return false;
  return op->pointing == kPointed || (op->pointing == kTicked && list_.PointingInProgress());
}

std::string TOperationCommands::UndoText() const {
  return TUndoSlot::Of(list_.Book()).MenuText();
}

bool TOperationCommands::Delete(std::size_t row) {
  if (!Available(TOperationCommand::Delete, row)) return false;
  TDatabase& db = list_.Book();
  TAccountRecord& account = *list_.Account();
  TOperationRecord& op = *list_.OperationAt(row);
  // Step 2: the confirmation the book asks for.
  if (op.pointing != kPointed) {
    if (db.Settings().confirm_delete_operation != 0 && !Yes(db, kDeleteQuestion)) return false;
  } else if (db.Settings().confirm_delete_pointed != 0 && !Yes(db, kDeletePointedQuestion)) {
    return false;
  }
  // Step 3: a tick of the pointing in progress is taken back first.
  if (op.pointing == kTicked && list_.PointingInProgress()) {
    op.pointing = kNotPointed;
    db.ModifyOperation(op);
    TellTick(list_.PointingSession(), op, kTicked);
  }
  // Step 4: recorded for undo, and deleted through the book.
  TUndoSlot::Of(db).RecordOperationChange(op, TUndoMode::Deletion, /*ask_complement=*/true);
  // Step 5: balances; the refill keeps the row index.
  db.ComputeBalance(account);
  list_.Notify(kRefreshAfterChange);
  return true;
}

bool TOperationCommands::Copy(std::size_t row) {
  if (!Available(TOperationCommand::Copy, row)) return false;
  TDatabase& db = list_.Book();
  TOperationRecord& op = *list_.OperationAt(row);
  TOperationClipboard& clip = list_.Clipboard();
  clip.Clear();
  if (op.kind == kOpSplit) {
    for (const TSplitLineRecord& line : db.LoadSplitLines(op).Records<TSplitLineRecord>()) {
      clip.lines.push_back(CloneOf(line));
    }
  }
  clip.operation = CloneOf(op);
  clip.operation->bank_reference.clear();
  clip.operation->periodic = 0;
  clip.operation->SetFlag(kOpPastOccurrence, false);
  clip.operation->first_split = 0;
  clip.currency = list_.Account()->currency;
  return true;
}

bool TOperationCommands::Cut(std::size_t row) {
  if (!Copy(row)) return false;
  return Delete(row);
}

TPasteResult TOperationCommands::Paste() {
  TPasteResult result;
  TAccountRecord* account = list_.Account();
  TOperationClipboard& clip = list_.Clipboard();
  if (!account || !clip.Holds()) return result;
  TDatabase& db = list_.Book();
  // Steps 1 and 2: the guard questions.
  if (account->account_type == kCardAccount && clip.operation->amount > 0 &&
      !Yes(db, kPasteCreditInCardQuestion)) {
    return result;
  }
  if (!EqualsNoCase(clip.currency, account->currency) && !Yes(db, kPasteCurrencyQuestion)) {
    return result;
  }
  // Step 3: the copy becomes an operation of the active account.
  auto op = CloneOf(*clip.operation);
  if (IsTransferHalf(*op)) {
    op->kind = kOpNormal;
    op->linked_account = 0;
    op->category = 0;
  }
  if (op->kind == kOpSplit && clip.lines.empty()) op->kind = kOpNormal;
  op->pointing = kNotPointed;
  op->SetFlag(kOpEnteredByHand, true);
  op->SetFlag(kOpOrigin, false);
  TUndoSlot::Of(db).Clear();
  TOperationRecord* added = nullptr;
  {
    TWritePhase phase(db);
    added = &db.AddOperation(*account, std::move(op));
    for (const auto& line : clip.lines) db.AddSplitLine(*added, CloneOf(*line));
  }
  const std::uint32_t id = added->id;
  clip.Clear();
  db.ComputeBalance(*account);
  // Step 4: refilled, the pasted operation selected.
  list_.Notify(kRefreshAfterChange);
  result.pasted = true;
  result.row = list_.RowOf(id);
  if (result.row) list_.Select(*result.row);
  return result;
}

bool TOperationCommands::DropCategory(std::size_t row, std::uint32_t category_id) {
  TOperationRecord* op = list_.RecordAt(row);
  if (!op) return false;
  TDatabase& db = list_.Book();
  const TCategoryRecord* category = category_id ? db.FindCategory(category_id) : nullptr;
  if (category_id != 0 && !category) return false;
  // Step 1: only a Normal operation takes a category this way.
  if (op->kind != kOpNormal) {
    db.Port().Show(std::string(kCategoryDropRefused), TIcon::Exclamation);
    return false;
  }
  // Step 3: the new-entry line only takes the values, without a question.
  if (list_.IsNewEntry(row)) {
    op->category = category_id;
    if (category) op->amount = category->amount;
    if (op->pointing == kDownloaded) op->pointing = kNotPointed;
    list_.Notify(kRepaintOnly | kRefreshMainPane);
    return true;
  }
  // Step 2: the pointed-operation warning.
  if (!ConfirmPointedChange(db, *op)) return false;
  // Step 4: a category of the other direction.
  if (category) {
    if (op->amount < 0 && category->debit == 0 && !Yes(db, kCreditCategoryOnDebitQuestion)) {
      return false;
    }
    if (op->amount > 0 && category->debit != 0 && !Yes(db, kDebitCategoryOnCreditQuestion)) {
      return false;
    }
  }
  // Step 5: replacing a category.
  if (op->category != 0) {
    if (!category) {
      if (!Yes(db, kRemoveCategoryQuestion)) return false;
    } else if (platform::ProfileReadInt("Setup", "AlerteChangeCat", 0) == 1 &&
               !Yes(db, kChangeCategoryQuestion)) {
      return false;
    }
  }
  // Step 6: recorded, changed, saved.
  TUndoSlot::Of(db).RecordOperationChange(*op, TUndoMode::Modification);
  op->category = category_id;
  if (op->pointing == kDownloaded) op->pointing = kNotPointed;
  db.ModifyOperation(*op);
  list_.Notify(kRefreshAfterChange);
  return true;
}

bool TOperationCommands::DropProject(std::size_t row, std::uint32_t project_id) {
  TOperationRecord* op = list_.RecordAt(row);
  if (!op) return false;
  TDatabase& db = list_.Book();
  const TProjectRecord* project = project_id ? db.FindProject(project_id) : nullptr;
  if (project_id != 0 && !project) return false;
  if (project && project->open == 0 && project->id != op->project) {
    db.Port().Show(std::string(kClosedProjectMessage), TIcon::Exclamation);
    return false;
  }
  if (list_.IsNewEntry(row)) {
    op->project = project_id;
    list_.Notify(kRepaintOnly | kRefreshMainPane);
    return true;
  }
  if (!ConfirmPointedChange(db, *op, kPointedProjectQuestion)) return false;
  TUndoSlot::Of(db).RecordOperationChange(*op, TUndoMode::Modification);
  op->project = project_id;
  if (op->pointing == kDownloaded) op->pointing = kNotPointed;
  db.ModifyOperation(*op);
  list_.Notify(kRefreshAfterChange);
  return true;
}

bool TOperationCommands::MarkDownloaded(std::size_t row) {
  if (!Available(TOperationCommand::MarkDownloaded, row)) return false;
  TOperationRecord& op = *list_.OperationAt(row);
  op.pointing = kDownloaded;
  list_.Book().ModifyOperation(op);
  list_.Notify(kRefreshAfterChange);
  return true;
}

bool TOperationCommands::TogglePointing(std::size_t row) {
  if (!Available(TOperationCommand::Point, row)) return false;
  TDatabase& db = list_.Book();
  TAccountRecord& account = *list_.Account();
  TOperationRecord& op = *list_.OperationAt(row);
  if (!ConfirmPointedChange(db, op)) return false;
  const bool pointing = list_.PointingInProgress();
  const std::uint16_t old_state = op.pointing;
  std::uint16_t state = kNotPointed;
  if (pointing) {
    if (old_state == kNotPointed || old_state == kDownloaded) state = kTicked;
  } else if (old_state == kNotPointed || old_state == kTicked) {
    state = kPointed;
  }
  TUndoSlot::Of(db).RecordOperationChange(op, TUndoMode::Modification);
  op.pointing = state;
  db.ModifyOperation(op);
  if (pointing) TellTick(list_.PointingSession(), op, old_state);
  db.ComputeBalance(account);
  list_.Notify(kRefreshAfterChange);
  return true;
}

bool TOperationCommands::Undo() {
  TDatabase& db = list_.Book();
  TUndoSlot& slot = TUndoSlot::Of(db);
  if (!slot.CanUndo()) return false;
  TUndoContext context{db, list_.Account(), list_.PointingSession(),
                       [this](unsigned bits) { list_.Notify(bits); }};
  slot.Undo(context);
  return true;
}

}  // namespace ledgora
