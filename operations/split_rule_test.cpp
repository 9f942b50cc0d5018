// Splits: the dialog's draft, the adjustment question and the shapes an
// operation takes, checked against the book reopened from its working copy.
#include <gtest/gtest.h>

#include "operations/split_rule.h"
#include "operations/test_operations_env.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

class SplitTest : public TOperationsTest {
 protected:
  void SetUp() override {
    TOperationsTest::SetUp();
    platform::ProfileWriteInt("Setup", "Filter", 0);
    account_ = &AddAccount("Courant");
    food_ = &AddCategory("Alimentation");
    leisure_ = &AddCategory("Loisirs");
  }
  std::vector<std::pair<std::uint32_t, double>> StoredLines(const std::string& label) {
    const TReopened r = Reopen();
    std::vector<std::pair<std::uint32_t, double>> out;
    TOperationRecord& op = r.Op("Courant", label);
    for (TSplitLineRecord& l : r.db->LoadSplitLines(op).Records<TSplitLineRecord>()) {
      out.emplace_back(l.category, l.amount);
    }
    return out;
  }
  TAccountRecord* account_ = nullptr;
  TCategoryRecord* food_ = nullptr;
  TCategoryRecord* leisure_ = nullptr;
};

TEST_F(SplitTest, TheDraftOfAnOperationWithACategoryProposesAFirstLine) {
  TOperationRecord& op = AddOp(*account_, "01/01/2024", -100, "op");
  op.category = food_->id;
  db_->ModifyOperation(op);
  AddOp(*account_, "02/01/2024", 40, "credit");
  Show(*account_);
  TSplitRule rule(List());
  std::optional<TSplitDraft> draft = rule.Begin(RowOf("op"));
  ASSERT_TRUE(draft);
  EXPECT_EQ(draft->Title(), "Ventilation d'une opération débitrice");
  ASSERT_EQ(draft->Lines().size(), 1u);
  EXPECT_EQ(draft->Lines()[0].category, food_->id);
  EXPECT_DOUBLE_EQ(draft->Remaining(), 0);
  EXPECT_EQ(rule.Begin(RowOf("credit"))->Title(), "Ventilation d'une opération créditrice");
  EXPECT_TRUE(rule.Begin(RowOf("credit"))->Lines().empty());
  EXPECT_FALSE(rule.Begin(List().RowCount() - 1));
  // Lines are magnitudes; removing one gives its amount back.
  ASSERT_TRUE(draft->RemoveLine(0));
  EXPECT_FALSE(draft->RemoveLine(0));
  EXPECT_FALSE(draft->AddLine({food_->id, -1, {}}));
  const TSplitLine proposed = draft->ProposedLine(leisure_->id);
  EXPECT_DOUBLE_EQ(proposed.amount, 100);
  EXPECT_EQ(proposed.category, leisure_->id);
}

TEST_F(SplitTest, ARemainderAsksForTheAdjustmentLine) {
  AddOp(*account_, "01/01/2024", -100, "op", kDownloaded);
  Show(*account_);
  TSplitRule rule(List());
  std::optional<TSplitDraft> draft = rule.Begin(RowOf("op"));
  ASSERT_TRUE(draft->AddLine({food_->id, 60, {}}));
  ASSERT_TRUE(draft->AddLine({leisure_->id, 39.99, {}}));
  port_.Answer(TButton::No);
  EXPECT_FALSE(rule.Confirm(*draft));
  EXPECT_EQ(port_.LastMessage(),
            "Le solde restant est différent de 0.\nDésirez-vous automatiquement ajuster la "
            "ventilation ?");
  EXPECT_EQ(Reopen().Op("Courant", "op").kind, kOpNormal);  // back to the dialog, book unchanged
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(rule.Confirm(*draft));
  const std::vector<std::pair<std::uint32_t, double>> lines = StoredLines("op");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2].first, 0u);
  EXPECT_NEAR(lines[2].second, 0.01, 1e-9);
  const TReopened reopened = Reopen();
  const TOperationRecord& op = reopened.Op("Courant", "op");
  EXPECT_EQ(op.kind, kOpSplit);
  EXPECT_EQ(op.pointing, kNotPointed);
  EXPECT_EQ(List().Texts(RowOf("op")).classification, "Opération Ventilée");
}

TEST_F(SplitTest, ARemainderBelowTheToleranceAsksNothing) {
  AddOp(*account_, "01/01/2024", -100, "op");
  Show(*account_);
  TSplitRule rule(List());
  std::optional<TSplitDraft> draft = rule.Begin(RowOf("op"));
  draft->AddLine({food_->id, 60, {}});
  draft->AddLine({leisure_->id, 39.9995, {}});
  ASSERT_TRUE(rule.Confirm(*draft));
  EXPECT_TRUE(port_.Messages().empty());
  EXPECT_EQ(StoredLines("op").size(), 2u);
}

TEST_F(SplitTest, ResplittingReplacesTheLinesAndFewerThanTwoMakeItNormal) {
  TOperationRecord& op = AddOp(*account_, "01/01/2024", -100, "op");
  MakeSplit(op, {{food_->id, 50}, {leisure_->id, 50}});
  Show(*account_);
  TSplitRule rule(List());
  TUndoSlot::Of(*db_).RecordOperationChange(op, TUndoMode::Modification);

  std::optional<TSplitDraft> draft = rule.Begin(RowOf("op"));
  ASSERT_EQ(draft->Lines().size(), 2u);
  draft->RemoveLine(0);
  draft->AddLine({food_->id, 20, {}});
  draft->AddLine({0, 30, {}});
  ASSERT_TRUE(rule.Confirm(*draft));
  EXPECT_FALSE(TUndoSlot::Of(*db_).CanUndo());  // the slot held the former lines' operation
  EXPECT_EQ(StoredLines("op"), (std::vector<std::pair<std::uint32_t, double>>{
                                   {leisure_->id, 50}, {food_->id, 20}, {0, 30}}));

  // One line left: a Normal operation of that line's category.
  draft = rule.Begin(RowOf("op"));
  while (!draft->Lines().empty()) draft->RemoveLine(0);
  draft->AddLine({leisure_->id, 100, {}});
  ASSERT_TRUE(rule.Confirm(*draft));
  TReopened r = Reopen();
  EXPECT_EQ(r.Op("Courant", "op").kind, kOpNormal);
  EXPECT_EQ(r.Op("Courant", "op").category, leisure_->id);
  EXPECT_EQ(r.Op("Courant", "op").first_split, 0u);

  // No line, the whole amount adjusted onto a line without category:
  // a Normal operation without category.
  draft = rule.Begin(RowOf("op"));
  draft->RemoveLine(0);
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(rule.Confirm(*draft));
  r = Reopen();
  EXPECT_EQ(r.Op("Courant", "op").kind, kOpNormal);
  EXPECT_EQ(r.Op("Courant", "op").category, 0u);
}

TEST_F(SplitTest, AZeroAmountWithoutLinesBecomesNormalWithoutCategory) {
  TOperationRecord& op = AddOp(*account_, "01/01/2024", 0, "zero");
  MakeSplit(op, {{food_->id, 0}, {leisure_->id, 0}});
  Show(*account_);
  TSplitRule rule(List());
  std::optional<TSplitDraft> draft = rule.Begin(RowOf("zero"));
  draft->RemoveLine(0);
  draft->RemoveLine(0);
  ASSERT_TRUE(rule.Confirm(*draft));
  EXPECT_TRUE(port_.Messages().empty());
  const TReopened r = Reopen();
  EXPECT_EQ(r.Op("Courant", "zero").kind, kOpNormal);
  EXPECT_EQ(r.Op("Courant", "zero").category, 0u);
}

}  // namespace
}  // namespace ledgora::testing
