// The rules of the category tree: create, rename, move under another
// category, delete and merge, with their effects on the operations, the
// split lines and the associations; the mark of the category pane.
//
// The tree has two levels: a main category (parent 0) and its
// sub-categories, which carry their parent's debit flag. Sibling names are
// unique, compared exactly (case and accents count). Every question and
// refusal goes through the book's port with its exact text; "No" leaves the
// book as it was. A delete or a merge is one write phase that rewrites only
// the records it changes (the operations, lines and associations that
// carried the category, and the category itself). Errors: TXOrvanet.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "storage/database.h"

namespace ledgora {

class TOperationList;

inline constexpr std::string_view kSubCategoryNameClash =
    "Vous ne pouvez pas créer deux catégories ayant le même nom !";
inline constexpr std::string_view kCategoryNameClash =
    "Deux catégories ne peuvent pas avoir le même nom !";
inline constexpr std::string_view kCannotBecomeSubCategory =
    "Une catégorie contenant des sous-catégories ne peut être transformée en sous-catégorie.";
inline constexpr std::string_view kCannotDeleteWithSubCategories =
    "Il n'est pas possible de détruire une catégorie ayant des sous-catégories.";
inline constexpr std::string_view kMergeRefusedMenuText = "F&usion non autorisée";
// An operation without category.
inline constexpr std::string_view kNoCategoryText = "Divers";
// The kinds of the category list page.
inline constexpr std::string_view kDebitKindText = "- Dépense";
inline constexpr std::string_view kCreditKindText = "- Recette";

// A category name holds at most 30 characters.
inline constexpr std::size_t kCategoryNameMaxChars = 30;

// "%s:%s" (category, sub-category) or the name alone: the form of the
// association and merge dialogs. Empty for an unknown identifier.
std::string CategoryPairText(const TDatabase& db, std::uint32_t category_id);
// The caption of the rename dialog: "Modification d'une catégorie" or
// "Modification d'une sous-catégorie".
std::string_view RenameCaption(const TCategoryRecord& category);
// kDebitKindText or kCreditKindText.
std::string_view CategoryKindText(const TCategoryRecord& category);

// "&Nouveau..." / "&Ajouter une sous-catégorie...": a main category of the
// kind given (parent null) or a sub-category of parent (its debit flag; a
// sub-category cannot hold sub-categories: parent must be a main category,
// std::invalid_argument otherwise). A clash with a sibling's name shows
// kSubCategoryNameClash for a sub-category, kCategoryNameClash for a main
// category, and nothing is created (the dialog stays open); an empty name
// is refused without a message. Null when refused.
TCategoryRecord* CreateCategory(TDatabase& db, std::string_view name, TCategoryRecord* parent,
                                bool debit);
// "&Modifier...": the new name; a clash with a sibling shows
// kCategoryNameClash. A main category may also change its kind: its
// sub-categories follow. False when refused (nothing changed).
bool RenameCategory(TDatabase& db, TCategoryRecord& category, std::string_view name);
bool RenameCategory(TDatabase& db, TCategoryRecord& category, std::string_view name, bool debit);
// Makes category a sub-category of new_parent (null: a main category),
// keeping its identifier, so the operations keep it. A category that has
// sub-categories cannot become one (kCannotBecomeSubCategory); a name clash
// among the new siblings shows kCategoryNameClash. Returns the category
// in its new place (the former record is freed when it moved), or null
// when refused.
TCategoryRecord* MoveCategory(TDatabase& db, TCategoryRecord& category,
                              TCategoryRecord* new_parent);

// Where a deletion is asked from: the category pane or the list page
// (their questions differ).
enum class TCategoryDeleteFrom { Pane, ListPage };
// The question of a deletion.
std::string DeleteCategoryQuestion(const TCategoryRecord& category, TCategoryDeleteFrom from);

// "&Supprimer": refuses a category with sub-categories
// (kCannotDeleteWithSubCategories), asks the question, then deletes the
// associations bound to it, moves the Normal operations that carry it to
// its parent (none for a main category), moves the split lines alike,
// combining two lines of one split that come to share a category, and
// deletes the category. *marked (when given) is cleared when it named the
// category. True when deleted.
bool DeleteCategoryWithRules(TDatabase& db, TCategoryRecord& category, TCategoryDeleteFrom from,
                             std::uint32_t* marked = nullptr);

// The merge command of the menu for the marked category and the one under
// the cursor: "F&usion : %s + %s => %s" (marked, under cursor, under cursor
// in the "%s:%s" form), or kMergeRefusedMenuText and disabled when nothing
// is marked, when the marked category has sub-categories or is the one
// under the cursor.
struct TMergeCommand {
  std::string text;
  bool enabled = false;
};
TMergeCommand MergeCommand(const TDatabase& db, std::uint32_t marked, std::uint32_t under_cursor);
// "Désirez-vous fusionner les catégories '%s' et '%s'\nen '%s'?".
std::string MergeQuestion(const TDatabase& db, const TCategoryRecord& from,
                          const TCategoryRecord& into);
// Merges the marked category `from` into `into` after the question: the
// associations, the Normal operations and the split lines of `from` take
// `into` (lines of one split that come to share it are combined), and
// `from` is deleted; *marked (when given) becomes `into`. Refused (false,
// nothing asked) when MergeCommand would be disabled.
bool MergeCategories(TDatabase& db, TCategoryRecord& from, TCategoryRecord& into,
                     std::uint32_t* marked = nullptr);

// The mark of the category pane ("Sé&lectionner", "&Désélectionner"),
// shown in bold, and its effect on the list's display filter.
class TCategoryMark {
 public:
  std::uint32_t Marked() const { return marked_; }
  std::uint32_t* Slot() { return &marked_; }
  // Marks category (0: the cursor is on no category) and sets the display
  // filter to SelectedCategory (3) when one is marked, Uncategorised (5)
  // otherwise, stored in "Filter"; the list shows the marked category and
  // is refilled.
  void Select(TOperationList& list, std::uint32_t category);
  // Removes the mark; a display filter of 5 becomes 3 (stored); the list is
  // refilled when the filter is 3 or 5.
  void Deselect(TOperationList& list);

 private:
  std::uint32_t marked_ = 0;
};

}  // namespace ledgora
