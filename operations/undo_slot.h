// TUndoSlot: the single undo slot of an open book.
//
// The slot holds the last undoable change, which "A&nnuler\tCtrl+Z"
// reverses: one change to one operation (a modification or a deletion),
// and, through TUndoAction, the changes of the other subjects (a balance of
// the financial situation, a whole download) that their own rules record.
// It lives with the book (TDatabase's undo recorder) and dies with it.
//
// What the operation rules record: a modification before an in-place edit
// of an existing row, a dropped category or project, a pointing by Space; a
// deletion for "&Supprimer" and "&Couper". A transfer half is never
// recorded: recording one empties the slot (and a deletion is then
// performed directly). Creating or changing a transfer, a split and the
// additions of operations also empty the slot.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "storage/database.h"

namespace ledgora {

class TPointingSession;

// Reassociation: a whole re-association run (the categories it gave), one
// step recorded through TUndoAction.
enum class TUndoKind : int {
  Nothing = 0,
  Added = 1,
  Deleted = 2,
  Modified = 3,
  Download = 4,
  Reassociation = 5
};

// Subject flags: what the slot holds a change of.
inline constexpr std::uint32_t kUndoSubjectOperation = 1;  // "opération"
inline constexpr std::uint32_t kUndoSubjectBalance = 16;   // "solde"

// The modes of "record an operation change".
enum class TUndoMode : int { Deletion = 1, Modification = 2 };

// What an undo needs besides the book: the active account (a modification
// is undone only there), the pointing window, and the refresh notification.
struct TUndoContext {
  TDatabase& db;
  TAccountRecord* active_account = nullptr;
  TPointingSession* pointing = nullptr;
  std::function<void(unsigned)> notify;  // may be empty
};

// A change of another subject, recorded by its own rule (the financial
// situation's balances, the download): it keeps what it needs and performs
// its reversal, asking its own questions.
class TUndoAction {
 public:
  virtual ~TUndoAction() = default;
  virtual TUndoKind Kind() const = 0;
  virtual std::uint32_t Subject() const = 0;
  // True: reversed (or nothing left to reverse), the slot is emptied.
  // False: the slot keeps the action (the user said No).
  virtual bool Undo(TUndoContext& context) = 0;
};

class TUndoSlot final : public TDatabaseCompanion {
 public:
  explicit TUndoSlot(TDatabase& db) : db_(db) {}

  // The slot of the book, made and installed as its undo recorder on first
  // use. std::logic_error when the book holds a recorder of another kind.
  static TUndoSlot& Of(TDatabase& db);

  TUndoKind Kind() const { return kind_; }
  std::uint32_t Subject() const { return subject_; }
  bool CanUndo() const { return kind_ != TUndoKind::Nothing; }
  // The text of the undo command, at most 80 characters:
  // "Impossible d'&annuler\tCtrl+Z", "&Annuler ajout %s\tCtrl+Z",
  // "&Annuler suppression %s\tCtrl+Z", "&Annuler modification %s\tCtrl+Z"
  // (with "opération" or "solde"), "&Annuler téléchargement\tCtrl+Z",
  // "&Annuler réaffectation\tCtrl+Z".
  std::string MenuText() const;

  // Empties the slot, then: Modification keeps a copy of op as it is now
  // (and of its schedule when it models a chain) and leaves the change to
  // the caller; Deletion keeps a copy with its split lines and schedule,
  // then deletes op through the book (DeleteThroughBook with
  // ask_complement). A transfer half is not kept. Errors: TXOrvanet, the
  // slot then empty.
  void RecordOperationChange(TOperationRecord& op, TUndoMode mode, bool ask_complement = true);
  // Empties the slot and keeps action (null: the slot stays empty).
  void RecordAction(std::unique_ptr<TUndoAction> action);
  // Empties the slot and frees the saved copies.
  void Clear();

  // Performs the reversal and empties the slot, then recomputes the
  // balances and notifies kRefreshAfterChange:
  //   deleted operation: added back at its date place in its account, with
  //     its identifier, its split lines and a schedule made from the saved
  //     one (the chain continues from it);
  //   modified operation: looked up by identifier among the operations of
  //     the active account only; when found its fields take the saved
  //     values (its split lines stay its own) and it is saved, its chain
  //     taking the saved schedule; when not found nothing changes;
  //   an action: its own reversal.
  // The pointing window hears of a restored Ticked operation.
  void Undo(TUndoContext& context);

  const TOperationRecord* SavedOperation() const { return saved_.get(); }
  const std::vector<std::unique_ptr<TSplitLineRecord>>& SavedLines() const { return lines_; }
  const TPeriodicRecord* SavedSchedule() const { return schedule_.get(); }

 private:
  void UndoDeletion(TUndoContext& context);
  void UndoModification(TUndoContext& context);

  TDatabase& db_;
  TUndoKind kind_ = TUndoKind::Nothing;
  std::uint32_t subject_ = 0;
  std::unique_ptr<TOperationRecord> saved_;
  std::vector<std::unique_ptr<TSplitLineRecord>> lines_;
  std::unique_ptr<TPeriodicRecord> schedule_;
  std::unique_ptr<TUndoAction> action_;
};

}  // namespace ledgora
