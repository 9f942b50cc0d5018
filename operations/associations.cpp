#include "operations/associations.h"

#include <algorithm>

#include "foundation/cp1252.h"
#include "operations/category_rules.h"
#include "operations/refresh.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora {
namespace {

std::string Limited(std::string_view label) {
  return std::string(Utf8Prefix(label, kAssociationLabelMaxChars));
}

bool Contains(std::string_view text, std::string_view fragment) {
  return !fragment.empty() && text.find(fragment) != std::string_view::npos;
}

// The re-association run as one undo step: the categories the operations
// had before it.
class TReassociationUndo final : public TUndoAction {
 public:
  struct TChange {
    std::uint32_t account;
    std::uint32_t operation;
    std::uint32_t before;
    std::uint32_t after;
  };
  explicit TReassociationUndo(std::vector<TChange> changes) : changes_(std::move(changes)) {}
  TUndoKind Kind() const override { return TUndoKind::Reassociation; }
  std::uint32_t Subject() const override { return kUndoSubjectOperation; }
  bool Undo(TUndoContext& context) override {
    TDatabase& db = context.db;
    {
      TWritePhase phase(db);
      for (const TChange& c : changes_) {
        TAccountRecord* account = db.FindAccount(c.account);
        TRecordNode* node = account ? account->Operations().FindById(c.operation) : nullptr;
        if (!node) continue;
        TOperationRecord& op = node->As<TOperationRecord>();
        // Changed since by some other way: left as it is now.
        if (op.kind != kOpNormal || op.category != c.after) continue;
        // A category deleted since is not brought back.
        op.category = c.before != 0 && db.FindCategory(c.before) ? c.before : 0;
        db.ModifyOperation(op);
      }
    }
    if (context.notify) context.notify(kRefreshAfterChange);
    return true;
  }

 private:
  std::vector<TChange> changes_;
};

std::string ReassociationText(const TDatabase& db, std::uint32_t category) {
  return "Désirez-vous affecter la catégorie " + CategoryPairText(db, category) +
         " à l'opération ci-dessous ?";
}

}  // namespace

std::vector<TAssociationRecord*> AssociationsNewestFirst(TDatabase& db) {
  std::vector<TAssociationRecord*> out;
  for (TAssociationRecord& a : db.LoadAssociations().Records<TAssociationRecord>()) {
    out.push_back(&a);
  }
  std::stable_sort(
      out.begin(), out.end(),
      [](const TAssociationRecord* a, const TAssociationRecord* b) { return a->id > b->id; });
  return out;
}

TAssociationRecord* FindAssociation(TDatabase& db, std::string_view label) {
  for (TAssociationRecord& a : db.LoadAssociations().Records<TAssociationRecord>()) {
    if (a.label == label) return &a;
  }
  return nullptr;
}

bool CanCreateAssociation(const TOperationRecord& op) {
  return op.kind == kOpNormal && op.category != 0;
}

std::string AssociationFromOperationCaption(const TDatabase& db, const TOperationRecord& op) {
  return "Association liée à la catégorie '" + CategoryPairText(db, op.category) + "'";
}

bool CreateAssociationFromOperation(TDatabase& db, const TOperationRecord& op,
                                    std::string_view label) {
  const std::string text = Limited(label);
  if (text.empty() || !CanCreateAssociation(op) || !db.FindCategory(op.category)) return false;
  if (TAssociationRecord* existing = FindAssociation(db, text)) {
    if (existing->category != 0 && db.FindCategory(existing->category)) {
      const std::string question = "Cette association est déjà associée à la catégorie " +
                                   CategoryPairText(db, existing->category) + ".\n" +
                                   std::string(kProgramName) +
                                   " doit-il remplacer l'ancienne association ?";
      if (db.Port().Ask(question, TButtons::YesNo) != TButton::Yes) return false;
    }
    existing->category = op.category;
    db.ModifyAssociation(*existing);
    return true;
  }
  auto record = std::make_unique<TAssociationRecord>();
  record->label = text;
  record->category = op.category;
  db.AddAssociation(std::move(record));
  return true;
}

TAssociationRecord* AddAssociationChecked(TDatabase& db, std::string_view label,
                                          std::uint32_t category) {
  const std::string text = Limited(label);
  if (text.empty()) return nullptr;
  if (FindAssociation(db, text)) {
    db.Port().Show(std::string(kAssociationExists), TIcon::Exclamation);
    return nullptr;
  }
  auto record = std::make_unique<TAssociationRecord>();
  record->label = text;
  record->category = category != 0 && db.FindCategory(category) ? category : 0;
  return &db.AddAssociation(std::move(record));
}

bool ModifyAssociationChecked(TDatabase& db, TAssociationRecord& association,
                              std::string_view label, std::uint32_t category) {
  const std::string text = Limited(label);
  if (text.empty()) return false;
  if (TAssociationRecord* other = FindAssociation(db, text); other && other != &association) {
    db.Port().Show(std::string(kAssociationExists), TIcon::Exclamation);
    return false;
  }
  association.label = text;
  association.category = category != 0 && db.FindCategory(category) ? category : 0;
  db.ModifyAssociation(association);
  return true;
}

bool DeleteAssociationAsked(TDatabase& db, TAssociationRecord& association) {
  if (db.Port().Ask("Destruction de l'association '" + association.label + "' ?",
                    TButtons::YesNo) != TButton::Yes)
    return false;
  db.DeleteAssociation(association);
  return true;
}

TAutomaticCategory::TAutomaticCategory(TDatabase& db)
    : TAutomaticCategory(db, platform::ProfileReadText("Setup", kCardStatementLabelKey,
                                                       kCardStatementLabelDefault)) {}

TAutomaticCategory::TAutomaticCategory(TDatabase& db, std::string card_statement_label)
    : card_statement_label_(std::move(card_statement_label)) {
  for (const TAssociationRecord* a : AssociationsNewestFirst(db)) {
    // An empty fragment (only a damaged or foreign book holds one) would
    // match every label.
    if (a->label.empty()) continue;
    fragments_.push_back({a->label, a->category});
  }
}

bool TAutomaticCategory::Apply(TOperationRecord& op) const {
  bool changed = false;
  if (op.kind == kOpNormal && op.category == 0) {
    for (const TFragment& f : fragments_) {
      if (!Contains(op.label, f.label)) continue;
      if (f.category != op.category) {
        op.category = f.category;
        changed = true;
      }
      break;
    }
  }
  if (Contains(op.label, card_statement_label_) && op.kind != kOpCardStatement) {
    op.kind = kOpCardStatement;
    changed = true;
  }
  return changed;
}

bool CanReassociate(TDatabase& db) {
  if (!db.LoadAssociations().Empty()) return true;
  db.Port().Show(std::string(kNoAssociationDefined), TIcon::Exclamation);
  return false;
}

TReassociationResult Reassociate(TDatabase& db, const TAssociationRecord& association,
                                 TReassociationAsker& asker) {
  TReassociationResult result;
  TUndoSlot& slot = TUndoSlot::Of(db);
  // Step 2: an association without category.
  if (association.category == 0 || !db.FindCategory(association.category)) {
    db.Port().Show("Aucune catégorie n'est associée au libellé '" + association.label + "' !",
                   TIcon::Exclamation);
    return result;
  }
  result.ran = true;
  slot.Clear();
  const std::uint32_t category = association.category;
  const std::string text = ReassociationText(db, category);
  std::vector<TReassociationUndo::TChange> changes;
  bool all_accounts = false;
  // A failure part way (the storage, or the dialog) keeps what was already
  // changed undoable: the step is recorded before the failure goes on.
  try {
    // Step 3: account by account.
    for (TAccountRecord& account : db.Accounts().Records<TAccountRecord>()) {
      bool whole_account = all_accounts;
      const std::string account_text = "Compte : " + account.name + " (" + account.remark + ")";
      for (TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
        if (op.kind != kOpNormal || !Contains(op.label, association.label)) continue;
        bool give = whole_account;
        if (!whole_account) {
          const TReassociationAnswer answer = asker.Ask({text, account_text, &account, &op});
          if (answer == TReassociationAnswer::Cancel) {
            result.cancelled = true;
            break;
          }
          if (answer == TReassociationAnswer::NextAccount) break;
          give = answer != TReassociationAnswer::No;
          if (answer == TReassociationAnswer::YesAccount) whole_account = true;
          if (answer == TReassociationAnswer::YesAllAccounts) whole_account = all_accounts = true;
        }
        if (!give) continue;
        if (op.category != category) {
          changes.push_back({account.id, op.id, op.category, category});
          op.category = category;
          db.ModifyOperation(op);
        }
        ++result.changed;
      }
      if (result.cancelled) break;
    }
  } catch (...) {
    if (!changes.empty()) {
      slot.RecordAction(std::make_unique<TReassociationUndo>(std::move(changes)));
    }
    throw;
  }
  // Step 4: one undo step.
  if (!changes.empty()) slot.RecordAction(std::make_unique<TReassociationUndo>(std::move(changes)));
  return result;
}

}  // namespace ledgora
