#include "operations/category_rules.h"

#include <stdexcept>
#include <vector>

#include "foundation/cp1252.h"
#include "operations/list_settings.h"
#include "operations/operation_list.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora {
namespace {

// The siblings a category named `name` would have under parent (null: the
// main categories), other than `self`: whether one has exactly this name.
bool SiblingHasName(const TDatabase& db, const TCategoryRecord* parent, std::string_view name,
                    const TCategoryRecord* self) {
  const TRecordList* siblings = parent ? parent->SubCategoriesIfAny() : &db.Categories();
  if (!siblings) return false;
  for (const TCategoryRecord& c : siblings->Records<TCategoryRecord>()) {
    if (&c != self && c.name == name) return true;
  }
  return false;
}

TCategoryRecord* ParentOf(const TDatabase& db, const TCategoryRecord& category) {
  return category.parent ? db.FindCategory(category.parent) : nullptr;
}

bool HasSubCategories(const TCategoryRecord& category) {
  const TRecordList* subs = category.SubCategoriesIfAny();
  return subs && !subs->Empty();
}

// The undo slot must not bring back a category that is gone: a saved
// operation (or one of its saved lines) that carries it empties the slot.
void ForgetUndoOf(TDatabase& db, std::uint32_t category) {
  auto* slot = dynamic_cast<TUndoSlot*>(db.UndoRecorder());
  if (!slot) return;
  const TOperationRecord* saved = slot->SavedOperation();
  if (!saved) return;
  bool uses = saved->kind == kOpNormal && saved->category == category;
  for (const auto& line : slot->SavedLines()) uses = uses || line->category == category;
  if (uses) slot->Clear();
}

// Steps 4 and 5 of a deletion, steps 2 and 3 of a merge: every Normal
// operation and every split line that carries `from` takes `to` (0: none);
// two lines of one split that come to share a category are combined into
// the one that already had it.
void ReassignCategory(TDatabase& db, std::uint32_t from, std::uint32_t to) {
  for (TAccountRecord& account : db.Accounts().Records<TAccountRecord>()) {
    for (TRecordNode* n = account.Operations().Head(); n; n = n->Next()) {
      TOperationRecord& op = n->As<TOperationRecord>();
      if (op.kind == kOpNormal) {
        if (op.category == from) {
          op.category = to;
          db.ModifyOperation(op);
        }
        continue;
      }
      if (op.kind != kOpSplit) continue;
      TRecordList& lines = db.LoadSplitLines(op);
      TRecordNode* line_node = lines.Head();
      while (line_node) {
        TRecordNode* next = line_node->Next();
        TSplitLineRecord& line = line_node->As<TSplitLineRecord>();
        if (line.category == from) {
          TSplitLineRecord* other = nullptr;
          for (TSplitLineRecord& l : lines.Records<TSplitLineRecord>()) {
            if (&l != &line && l.category == to) {
              other = &l;
              break;
            }
          }
          if (other) {
            other->amount += line.amount;
            db.ModifySplitLine(*other);
            db.DeleteSplitLine(line);
          } else {
            line.category = to;
            db.ModifySplitLine(line);
          }
        }
        line_node = next;
      }
    }
  }
}

}  // namespace

std::string CategoryPairText(const TDatabase& db, std::uint32_t category_id) {
  const TCategoryRecord* c = category_id ? db.FindCategory(category_id) : nullptr;
  if (!c) return {};
  if (const TCategoryRecord* parent = ParentOf(db, *c)) return parent->name + ":" + c->name;
  return c->name;
}

std::string_view RenameCaption(const TCategoryRecord& category) {
  return category.parent ? "Modification d'une sous-catégorie" : "Modification d'une catégorie";
}

std::string_view CategoryKindText(const TCategoryRecord& category) {
  return category.debit ? kDebitKindText : kCreditKindText;
}

TCategoryRecord* CreateCategory(TDatabase& db, std::string_view name, TCategoryRecord* parent,
                                bool debit) {
  if (parent && parent->parent != 0)
    throw std::invalid_argument("a sub-category cannot hold sub-categories");
  const std::string text(Utf8Prefix(name, kCategoryNameMaxChars));
  if (text.empty()) return nullptr;
  if (SiblingHasName(db, parent, text, nullptr)) {
    db.Port().Show(std::string(parent ? kSubCategoryNameClash : kCategoryNameClash),
                   TIcon::Exclamation);
    return nullptr;
  }
  auto record = std::make_unique<TCategoryRecord>();
  record->name = text;
  record->debit = parent ? parent->debit : (debit ? 1 : 0);
  return &db.AddCategory(std::move(record), parent);
}

bool RenameCategory(TDatabase& db, TCategoryRecord& category, std::string_view name) {
  return RenameCategory(db, category, name, category.debit != 0);
}

bool RenameCategory(TDatabase& db, TCategoryRecord& category, std::string_view name, bool debit) {
  const std::string text(Utf8Prefix(name, kCategoryNameMaxChars));
  if (text.empty()) return false;
  TCategoryRecord* parent = ParentOf(db, category);
  if (SiblingHasName(db, parent, text, &category)) {
    db.Port().Show(std::string(kCategoryNameClash), TIcon::Exclamation);
    return false;
  }
  // A sub-category keeps its parent's kind.
  const std::uint32_t flag = parent ? parent->debit : (debit ? 1 : 0);
  if (text == category.name && flag == category.debit) return true;
  TWritePhase phase(db);
  const bool kind_changed = flag != category.debit;
  category.name = text;
  category.debit = flag;
  db.ModifyCategory(category);
  if (kind_changed) {
    if (TRecordList* subs = const_cast<TRecordList*>(category.SubCategoriesIfAny())) {
      for (TCategoryRecord& sub : subs->Records<TCategoryRecord>()) {
        sub.debit = flag;
        db.ModifyCategory(sub);
      }
    }
  }
  return true;
}

TCategoryRecord* MoveCategory(TDatabase& db, TCategoryRecord& category,
                              TCategoryRecord* new_parent) {
  if (new_parent == &category) return nullptr;
  if (new_parent && new_parent->parent != 0)
    throw std::invalid_argument("a sub-category cannot hold sub-categories");
  if (new_parent && HasSubCategories(category)) {
    db.Port().Show(std::string(kCannotBecomeSubCategory), TIcon::Exclamation);
    return nullptr;
  }
  if (ParentOf(db, category) == new_parent) return &category;
  if (SiblingHasName(db, new_parent, category.name, &category)) {
    db.Port().Show(std::string(kCategoryNameClash), TIcon::Exclamation);
    return nullptr;
  }
  // A record never moves between chains: the category is written again in
  // its new chain with the same identifier.
  auto copy = std::make_unique<TCategoryRecord>(category);
  copy->parent = 0;
  copy->first_subcategory = 0;
  if (new_parent) copy->debit = new_parent->debit;
  TWritePhase phase(db);
  const bool numbering = db.Numbering();
  db.SetNumbering(false);
  TCategoryRecord* moved = nullptr;
  try {
    db.DeleteCategory(category);
    moved = &db.AddCategory(std::move(copy), new_parent);
  } catch (...) {
    db.SetNumbering(numbering);
    throw;
  }
  db.SetNumbering(numbering);
  return moved;
}

std::string DeleteCategoryQuestion(const TCategoryRecord& category, TCategoryDeleteFrom from) {
  const std::string tail =
      "Les 'associations' et opérations contenant la catégorie supprimée vont être mises à jour.";
  if (from == TCategoryDeleteFrom::Pane) {
    return "Souhaitez-vous supprimer la catégorie '" + category.name + "' ?\n\n" +
           std::string(kProgramName) + " mettra à jour votre livre de comptes.\n" + tail;
  }
  return std::string(category.parent ? "Souhaitez-vous détruire la sous-catégorie '"
                                     : "Souhaitez-vous détruire la catégorie '") +
         category.name + "' ?\n" + std::string(kProgramName) +
         " va mettre à jour votre livre de comptes.\n" + tail;
}

bool DeleteCategoryWithRules(TDatabase& db, TCategoryRecord& category, TCategoryDeleteFrom from,
                             std::uint32_t* marked) {
  // Step 1: a category with sub-categories stays.
  if (HasSubCategories(category)) {
    db.Port().Show(std::string(kCannotDeleteWithSubCategories), TIcon::Exclamation);
    return false;
  }
  // Step 2: the question.
  if (db.Port().Ask(DeleteCategoryQuestion(category, from), TButtons::YesNo) != TButton::Yes)
    return false;
  const std::uint32_t id = category.id;
  const std::uint32_t parent = category.parent;
  {
    TWaitCursor wait(db.Port());
    TWritePhase phase(db);
    // Step 3: its associations go.
    TRecordList& associations = db.LoadAssociations();
    std::vector<TAssociationRecord*> bound;
    for (TAssociationRecord& a : associations.Records<TAssociationRecord>()) {
      if (a.category == id) bound.push_back(&a);
    }
    for (TAssociationRecord* a : bound) db.DeleteAssociation(*a);
    // Steps 4 and 5: operations and split lines fall back to the parent.
    ReassignCategory(db, id, parent);
    // Step 6: the category itself.
    db.DeleteCategory(category);
  }
  ForgetUndoOf(db, id);
  if (marked && *marked == id) *marked = 0;
  return true;
}

TMergeCommand MergeCommand(const TDatabase& db, std::uint32_t marked, std::uint32_t under_cursor) {
  const TCategoryRecord* from = marked ? db.FindCategory(marked) : nullptr;
  const TCategoryRecord* into = under_cursor ? db.FindCategory(under_cursor) : nullptr;
  if (!from || !into || from == into || HasSubCategories(*from))
    return {std::string(kMergeRefusedMenuText), false};
  const std::string into_text = CategoryPairText(db, into->id);
  return {"F&usion : " + CategoryPairText(db, from->id) + " + " + into_text + " => " + into_text,
          true};
}

std::string MergeQuestion(const TDatabase& db, const TCategoryRecord& from,
                          const TCategoryRecord& into) {
  const std::string into_text = CategoryPairText(db, into.id);
  return "Désirez-vous fusionner les catégories '" + CategoryPairText(db, from.id) + "' et '" +
         into_text + "'\nen '" + into_text + "'?";
}

bool MergeCategories(TDatabase& db, TCategoryRecord& from, TCategoryRecord& into,
                     std::uint32_t* marked) {
  if (!MergeCommand(db, from.id, into.id).enabled) return false;
  if (db.Port().Ask(MergeQuestion(db, from, into), TButtons::YesNo) != TButton::Yes) return false;
  const std::uint32_t id = from.id;
  {
    TWaitCursor wait(db.Port());
    TWritePhase phase(db);
    // Step 1: the associations follow.
    for (TAssociationRecord& a : db.LoadAssociations().Records<TAssociationRecord>()) {
      if (a.category == id) {
        a.category = into.id;
        db.ModifyAssociation(a);
      }
    }
    // Steps 2 and 3: operations and split lines.
    ReassignCategory(db, id, into.id);
    // Step 4: the marked category goes.
    db.DeleteCategory(from);
  }
  ForgetUndoOf(db, id);
  if (marked) *marked = into.id;
  return true;
}

void TCategoryMark::Select(TOperationList& list, std::uint32_t category) {
  marked_ = category;
  list.Settings().filter =
      category ? TDisplayFilter::SelectedCategory : TDisplayFilter::Uncategorised;
  platform::ProfileWriteInt("Setup", "Filter", static_cast<long>(list.Settings().filter));
  TCategorySelection selection = list.CategorySelection();
  selection.category = category;
  list.SetCategorySelection(selection);
  list.Refill();
}

void TCategoryMark::Deselect(TOperationList& list) {
  marked_ = 0;
  TListSettings& settings = list.Settings();
  if (settings.filter == TDisplayFilter::Uncategorised) {
    settings.filter = TDisplayFilter::SelectedCategory;
    platform::ProfileWriteInt("Setup", "Filter", static_cast<long>(settings.filter));
  }
  if (settings.filter == TDisplayFilter::SelectedCategory ||
      settings.filter == TDisplayFilter::Uncategorised) {
    TCategorySelection selection = list.CategorySelection();
    selection.category = 0;
    list.SetCategorySelection(selection);
    list.Refill();
  }
}

}  // namespace ledgora
