// The category tree: names among siblings, deletion and merge with their
// effects on operations, split lines and associations (checked on the book
// reopened from its working copy), moving, and the pane's mark.
#include <gtest/gtest.h>

#include <algorithm>

#include "operations/category_rules.h"
#include "operations/classification.h"
#include "operations/test_operations_env.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

class CategoryRulesTest : public TOperationsTest {
 protected:
  void SetUp() override {
    TOperationsTest::SetUp();
    account_ = &AddAccount("Courant");
    auto_ = &AddCategory("Auto");
    fuel_ = &AddCategory("Carburant", true, auto_);
    repair_ = &AddCategory("Entretien", true, auto_);
    food_ = &AddCategory("Alimentation");
  }
  TAssociationRecord& AddAssociation(const std::string& label, std::uint32_t category) {
    auto a = std::make_unique<TAssociationRecord>();
    a->label = label;
    a->category = category;
    return db_->AddAssociation(std::move(a));
  }
  TOperationRecord& AddCategorised(const std::string& label, double amount, std::uint32_t cat) {
    TOperationRecord& op = AddOp(*account_, "01/06/2024", amount, label);
    op.category = cat;
    db_->ModifyOperation(op);
    return op;
  }
  // The split lines of an operation of the reopened book, as "category
  // text=amount" in the order of their texts.
  static std::string Lines(TReopened& r, const std::string& label) {
    TOperationRecord& op = r.Op("Courant", label);
    std::string out = op.kind == kOpSplit ? "split" : "kind" + std::to_string(op.kind);
    std::vector<std::string> lines;
    for (TSplitLineRecord& l : r.db->LoadSplitLines(op).Records<TSplitLineRecord>()) {
      const std::string text = CategoryText(*r.db, l.category);
      lines.push_back((text.empty() ? std::string("-") : text) + "=" +
                      std::to_string(int(l.amount)));
    }
    std::sort(lines.begin(), lines.end());
    for (const std::string& l : lines) out += " " + l;
    return out;
  }
  TAccountRecord* account_ = nullptr;
  TCategoryRecord* auto_ = nullptr;
  TCategoryRecord* fuel_ = nullptr;
  TCategoryRecord* repair_ = nullptr;
  TCategoryRecord* food_ = nullptr;
};

TEST_F(CategoryRulesTest, NamesAreUniqueAmongSiblingsOnly) {
  // A sub-category clash and a main category clash have their own texts.
  EXPECT_EQ(CreateCategory(*db_, "Carburant", auto_, false), nullptr);
  EXPECT_EQ(port_.LastMessage(), kSubCategoryNameClash);
  EXPECT_EQ(CreateCategory(*db_, "Auto", nullptr, true), nullptr);
  EXPECT_EQ(port_.LastMessage(), kCategoryNameClash);
  // The same name under another parent, or in another case, is accepted.
  TCategoryRecord* sub = CreateCategory(*db_, "Carburant", food_, false);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->debit, 1u);  // the parent's kind, not the one asked
  ASSERT_NE(CreateCategory(*db_, "auto", nullptr, false), nullptr);
  EXPECT_EQ(CreateCategory(*db_, "", nullptr, true), nullptr);
  // Renaming: to its own name is no clash; to a sibling's is.
  EXPECT_TRUE(RenameCategory(*db_, *fuel_, "Carburant"));
  port_.Clear();
  EXPECT_FALSE(RenameCategory(*db_, *fuel_, "Entretien"));
  EXPECT_EQ(port_.LastMessage(), kCategoryNameClash);
  EXPECT_TRUE(RenameCategory(*db_, *fuel_, "Essence"));
  // A main category changing its kind takes its sub-categories along.
  EXPECT_TRUE(RenameCategory(*db_, *auto_, "Voiture", false));
  TReopened r = Reopen();
  TCategoryRecord* essence = FindCategoryByText(*r.db, "Voiture : Essence");
  ASSERT_NE(essence, nullptr);
  EXPECT_EQ(essence->debit, 0u);
  EXPECT_EQ(RenameCaption(*essence), "Modification d'une sous-catégorie");
  EXPECT_EQ(CategoryKindText(*essence), kCreditKindText);
}

TEST_F(CategoryRulesTest, DeletingASubCategoryMovesEverythingToItsParent) {
  AddCategorised("Plein", -50, fuel_->id);
  AddCategorised("Vidange", -80, repair_->id);
  // The fuel line is the split's first line: the split then starts at the survivor.
  TOperationRecord& split = AddOp(*account_, "02/06/2024", -50, "Garage");
  MakeSplit(split, {{fuel_->id, 30}, {auto_->id, 20}});
  TOperationRecord& other = AddOp(*account_, "03/06/2024", -40, "Station");
  MakeSplit(other, {{fuel_->id, 25}, {food_->id, 15}});
  AddAssociation("TOTAL", fuel_->id);
  AddAssociation("GARAGE", repair_->id);
  // A transfer half names an operation in its category field: never touched.
  TOperationRecord& half = AddOp(*account_, "04/06/2024", -10, "Virement");
  half.kind = kOpTransferOut;
  half.category = fuel_->id;
  db_->ModifyOperation(half);
  const std::uint32_t fuel_id = fuel_->id;

  std::uint32_t marked = fuel_id;
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(DeleteCategoryWithRules(*db_, *fuel_, TCategoryDeleteFrom::Pane, &marked));
  EXPECT_EQ(marked, 0u);
  EXPECT_EQ(port_.LastMessage(),
            "Souhaitez-vous supprimer la catégorie 'Carburant' ?\n\nLedgora mettra à jour votre "
            "livre de comptes.\nLes 'associations' et opérations contenant la catégorie "
            "supprimée vont être mises à jour.");

  TReopened r = Reopen();
  EXPECT_EQ(r.db->FindCategory(fuel_id), nullptr);
  EXPECT_EQ(CategoryText(*r.db, r.Op("Courant", "Plein").category), "Auto");
  EXPECT_EQ(CategoryText(*r.db, r.Op("Courant", "Vidange").category), "Auto : Entretien");
  EXPECT_EQ(Lines(r, "Garage"), "split Auto=50");
  EXPECT_EQ(Lines(r, "Station"), "split Alimentation=15 Auto=25");
  EXPECT_EQ(r.Op("Courant", "Virement").category, fuel_id);
  ASSERT_EQ(r.db->LoadAssociations().Size(), 1u);
  EXPECT_EQ(r.db->LoadAssociations().Head()->As<TAssociationRecord>().label, "GARAGE");
}

TEST_F(CategoryRulesTest, DeletingAMainCategoryLeavesItsOperationsWithout) {
  AddCategorised("Courses", -20, food_->id);
  TOperationRecord& split = AddOp(*account_, "02/06/2024", -60, "Marché");
  MakeSplit(split, {{0, 10}, {food_->id, 30}, {food_->id, 20}});
  // The list page asks its own question.
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(DeleteCategoryWithRules(*db_, *food_, TCategoryDeleteFrom::ListPage));
  EXPECT_EQ(port_.LastMessage(),
            "Souhaitez-vous détruire la catégorie 'Alimentation' ?\nLedgora va mettre à jour "
            "votre livre de comptes.\nLes 'associations' et opérations contenant la catégorie "
            "supprimée vont être mises à jour.");
  TReopened r = Reopen();
  EXPECT_EQ(r.Op("Courant", "Courses").category, 0u);
  EXPECT_EQ(Lines(r, "Marché"), "split -=60");
}

TEST_F(CategoryRulesTest, DeletionRefusalsChangeNothing) {
  AddCategorised("Plein", -50, fuel_->id);
  port_.Answer(TButton::Yes);  // not asked: refused first
  EXPECT_FALSE(DeleteCategoryWithRules(*db_, *auto_, TCategoryDeleteFrom::Pane));
  EXPECT_EQ(port_.LastMessage(), kCannotDeleteWithSubCategories);
  port_.Clear();
  port_.Answer(TButton::No);
  EXPECT_FALSE(DeleteCategoryWithRules(*db_, *fuel_, TCategoryDeleteFrom::ListPage));
  EXPECT_EQ(
      port_.LastMessage().rfind("Souhaitez-vous détruire la sous-catégorie 'Carburant' ?\n", 0),
      0u);
  TReopened r = Reopen();
  EXPECT_EQ(CategoryText(*r.db, r.Op("Courant", "Plein").category), "Auto : Carburant");
}

TEST_F(CategoryRulesTest, DeletionEmptiesAnUndoSlotThatWouldBringTheCategoryBack) {
  TOperationRecord& op = AddCategorised("Plein", -50, fuel_->id);
  TUndoSlot& slot = TUndoSlot::Of(*db_);
  slot.RecordOperationChange(op, TUndoMode::Modification);
  op.category = food_->id;
  db_->ModifyOperation(op);
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(DeleteCategoryWithRules(*db_, *fuel_, TCategoryDeleteFrom::Pane));
  EXPECT_FALSE(slot.CanUndo());
}

TEST_F(CategoryRulesTest, MergeCommandTexts) {
  const struct {
    const char* name;
    std::uint32_t marked;
    std::uint32_t under_cursor;
    const char* text;
  } cases[] = {
      {"NothingMarked", 0, food_->id, "F&usion non autorisée"},
      {"MarkedHasSubCategories", auto_->id, food_->id, "F&usion non autorisée"},
      {"OntoItself", food_->id, food_->id, "F&usion non autorisée"},
      {"SubIntoMain", fuel_->id, food_->id,
       "F&usion : Auto:Carburant + Alimentation => Alimentation"},
      {"MainIntoSub", food_->id, repair_->id,
       "F&usion : Alimentation + Auto:Entretien => Auto:Entretien"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TMergeCommand command = MergeCommand(*db_, c.marked, c.under_cursor);
    EXPECT_EQ(command.text, c.text);
    EXPECT_EQ(command.enabled, std::string(c.text) != "F&usion non autorisée");
  }
  // A refused merge asks nothing.
  EXPECT_FALSE(MergeCategories(*db_, *auto_, *food_));
  EXPECT_TRUE(port_.Log().empty());
}

TEST_F(CategoryRulesTest, MergeMovesEverythingOntoTheTarget) {
  AddCategorised("Plein", -50, fuel_->id);
  TOperationRecord& split = AddOp(*account_, "02/06/2024", -50, "Garage");
  MakeSplit(split, {{fuel_->id, 30}, {repair_->id, 20}});
  AddAssociation("TOTAL", fuel_->id);
  const std::uint32_t fuel_id = fuel_->id;
  std::uint32_t marked = fuel_id;
  port_.Answer(TButton::No);
  EXPECT_FALSE(MergeCategories(*db_, *fuel_, *repair_, &marked));
  EXPECT_EQ(port_.LastMessage(),
            "Désirez-vous fusionner les catégories 'Auto:Carburant' et 'Auto:Entretien'\nen "
            "'Auto:Entretien'?");
  EXPECT_EQ(marked, fuel_id);
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(MergeCategories(*db_, *fuel_, *repair_, &marked));
  EXPECT_EQ(marked, repair_->id);
  TReopened r = Reopen();
  EXPECT_EQ(r.db->FindCategory(fuel_id), nullptr);
  EXPECT_EQ(CategoryText(*r.db, r.Op("Courant", "Plein").category), "Auto : Entretien");
  EXPECT_EQ(Lines(r, "Garage"), "split Auto : Entretien=50");
  ASSERT_EQ(r.db->LoadAssociations().Size(), 1u);
  EXPECT_EQ(r.db->LoadAssociations().Head()->As<TAssociationRecord>().category, repair_->id);
}

TEST_F(CategoryRulesTest, MovingKeepsTheIdentifier) {
  EXPECT_EQ(MoveCategory(*db_, *auto_, food_), nullptr);
  EXPECT_EQ(port_.LastMessage(), kCannotBecomeSubCategory);
  TOperationRecord& op = AddCategorised("Courses", -20, food_->id);
  const std::uint32_t id = food_->id;
  TCategoryRecord* moved = MoveCategory(*db_, *food_, auto_);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved->id, id);
  EXPECT_EQ(CategoryText(*db_, op.category), "Auto : Alimentation");
  TReopened r = Reopen();
  EXPECT_EQ(CategoryText(*r.db, r.Op("Courant", "Courses").category), "Auto : Alimentation");
  EXPECT_EQ(r.db->Categories().Size(), 1u);
}

TEST_F(CategoryRulesTest, MarkSetsTheDisplayFilter) {
  AddCategorised("Courses", -20, food_->id);
  AddOp(*account_, "02/06/2024", -5, "Divers");
  Show(*account_);
  TCategoryMark mark;
  mark.Select(List(), food_->id);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "Filter", -1), 3);
  EXPECT_EQ(RowLabels(), "Courses *");
  mark.Select(List(), 0);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "Filter", -1), 5);
  EXPECT_EQ(RowLabels(), "Divers *");
  mark.Deselect(List());
  EXPECT_EQ(mark.Marked(), 0u);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "Filter", -1), 3);
}

}  // namespace
}  // namespace ledgora::testing
