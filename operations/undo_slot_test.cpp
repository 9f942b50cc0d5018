// The single undo slot: its menu texts, its reversals and its seam for the
// other subjects.
#include <gtest/gtest.h>

#include "operations/operation_commands.h"
#include "operations/operation_editor.h"
#include "operations/test_operations_env.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

class UndoTest : public TOperationsTest {
 protected:
  void SetUp() override {
    TOperationsTest::SetUp();
    platform::ProfileWriteInt("Setup", "Filter", 0);
    db_->Settings().confirm_delete_operation = 0;
    account_ = &AddAccount("Courant", kCurrentAccount, "EUR", 10);
  }
  void EditAmount(const std::string& label, const std::string& debit) {
    TOperationEditor editor(List());
    std::optional<TEditSession> s = editor.Begin(RowOf(label));
    TEditorInput in = s->UnchangedInput();
    in.debit = debit;
    ASSERT_EQ(editor.Validate(*s, in), TEditOutcome::Applied);
  }
  TOperationCommands Commands() { return TOperationCommands(List()); }
  TAccountRecord* account_ = nullptr;
};

class TFakeAction : public TUndoAction {
 public:
  TFakeAction(TUndoKind kind, std::uint32_t subject, bool done)
      : kind_(kind), subject_(subject), done_(done) {}
  TUndoKind Kind() const override { return kind_; }
  std::uint32_t Subject() const override { return subject_; }
  bool Undo(TUndoContext&) override {
    ++calls;
    return done_;
  }
  int calls = 0;

 private:
  TUndoKind kind_;
  std::uint32_t subject_;
  bool done_;
};

TEST_F(UndoTest, MenuTextsNameWhatWouldBeUndone) {
  TUndoSlot& slot = TUndoSlot::Of(*db_);
  EXPECT_EQ(&slot, &TUndoSlot::Of(*db_));
  EXPECT_EQ(slot.MenuText(), "Impossible d'&annuler\tCtrl+Z");
  const struct {
    TUndoKind kind;
    std::uint32_t subject;
    const char* text;
  } cases[] = {
      {TUndoKind::Added, kUndoSubjectBalance, "&Annuler ajout solde\tCtrl+Z"},
      {TUndoKind::Deleted, kUndoSubjectBalance, "&Annuler suppression solde\tCtrl+Z"},
      {TUndoKind::Modified, kUndoSubjectBalance, "&Annuler modification solde\tCtrl+Z"},
      {TUndoKind::Deleted, kUndoSubjectOperation, "&Annuler suppression opération\tCtrl+Z"},
      {TUndoKind::Download, 0, "&Annuler téléchargement\tCtrl+Z"},
  };
  for (const auto& c : cases) {
    slot.RecordAction(std::make_unique<TFakeAction>(c.kind, c.subject, true));
    EXPECT_EQ(slot.MenuText(), c.text);
    EXPECT_LE(slot.MenuText().size(), 80u);
  }
  slot.Clear();
  EXPECT_FALSE(slot.CanUndo());
}

TEST_F(UndoTest, AnActionThatSaysNoKeepsTheSlot) {
  Show(*account_);
  auto action = std::make_unique<TFakeAction>(TUndoKind::Download, 0, false);
  TFakeAction* raw = action.get();
  TUndoSlot::Of(*db_).RecordAction(std::move(action));
  ASSERT_TRUE(Commands().Undo());
  EXPECT_EQ(raw->calls, 1);
  EXPECT_EQ(Commands().UndoText(), "&Annuler téléchargement\tCtrl+Z");
}

TEST_F(UndoTest, OnlyTheSecondOfTwoModificationsIsUndone) {
  AddOp(*account_, "01/01/2024", -1, "op");
  Show(*account_);
  EditAmount("op", "2");
  EditAmount("op", "3");
  EXPECT_EQ(Commands().UndoText(), "&Annuler modification opération\tCtrl+Z");
  ASSERT_TRUE(Commands().Undo());
  EXPECT_DOUBLE_EQ(Reopen().Op("Courant", "op").amount, -2);
  EXPECT_DOUBLE_EQ(List().Balance(), 8);
  EXPECT_FALSE(Commands().Undo());
}

TEST_F(UndoTest, AModificationIsUndoneOnlyInTheActiveAccount) {
  TAccountRecord& other = AddAccount("Autre");
  AddOp(*account_, "01/01/2024", -1, "op");
  Show(*account_);
  EditAmount("op", "5");
  Show(other);
  ASSERT_TRUE(Commands().Undo());
  EXPECT_FALSE(TUndoSlot::Of(*db_).CanUndo());
  EXPECT_DOUBLE_EQ(Reopen().Op("Courant", "op").amount, -5);
}

TEST_F(UndoTest, UndoingADeletionPutsTheOperationBackAtItsDatePlace) {
  AddOp(*account_, "01/01/2024", -1, "first");
  TOperationRecord& middle = AddOp(*account_, "02/01/2024", -2, "middle", kTicked);
  AddOp(*account_, "03/01/2024", -3, "last");
  const std::uint32_t id = middle.id;
  TFakePointing pointing;
  Show(*account_);
  ASSERT_TRUE(Commands().Delete(RowOf("middle")));
  // The pointing starts after the deletion; the restored tick counts in it.
  pointing.account_id = account_->id;
  List().SetPointingSession(&pointing);
  ASSERT_TRUE(Commands().Undo());
  EXPECT_EQ(RowLabels(), "first middle last *");
  const TReopened reopened = Reopen();
  const TOperationRecord& back = reopened.Op("Courant", "middle");
  EXPECT_EQ(back.id, id);
  EXPECT_EQ(back.pointing, kTicked);
  ASSERT_EQ(pointing.ticks.size(), 1u);
  EXPECT_EQ(pointing.ticks[0].to, kTicked);
  EXPECT_EQ(Commands().UndoText(), "Impossible d'&annuler\tCtrl+Z");
}

TEST_F(UndoTest, UndoingAModificationOfAChainsModelRestoresItsSchedule) {
  TOperationRecord& model = AddOp(*account_, "15/02/2024", -50, "model");
  auto schedule = std::make_unique<TPeriodicRecord>();
  schedule->frequency = 3;
  schedule->day_of_month = 15;
  schedule->date = model.date;
  db_->ReplaceSchedule(model, std::move(schedule));
  Show(*account_);
  TOperationEditor editor(List());
  std::optional<TEditSession> s = editor.Begin(RowOf("model"));
  TEditorInput in = s->UnchangedInput();
  in.date = "28/02/2024";
  ASSERT_EQ(editor.Validate(*s, in), TEditOutcome::Applied);
  ASSERT_TRUE(Commands().Undo());
  const TReopened r = Reopen();
  TOperationRecord& back = r.Op("Courant", "model");
  EXPECT_EQ(back.date.Format(), "15/02/2024");
  const std::unique_ptr<TPeriodicRecord> stored = r.db->ReadSchedule(back);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->date.Format(), "15/02/2024");
  EXPECT_EQ(stored->day_of_month, 15);
}

}  // namespace
}  // namespace ledgora::testing
