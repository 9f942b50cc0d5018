// The commands of the "&Opérations" menu and the drops on a row, each
// checked against the book reopened from its working copy.
#include <gtest/gtest.h>

#include "operations/operation_commands.h"
#include "operations/test_operations_env.h"
#include "operations/transfer_rule.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

class CommandsTest : public TOperationsTest {
 protected:
  void SetUp() override {
    TOperationsTest::SetUp();
    platform::ProfileWriteInt("Setup", "Filter", 0);
    account_ = &AddAccount("Courant", kCurrentAccount, "EUR", 100);
  }
  TOperationCommands Commands() { return TOperationCommands(List()); }
  std::string Labels(const std::string& account) {
    std::string out;
    const TReopened book = Reopen();  // the range must not outlive the reopened book
    for (const TOperationRecord* op : book.Operations(account)) {
      if (!out.empty()) out += ' ';
      out += op->label;
    }
    return out;
  }
  TAccountRecord* account_ = nullptr;
};

// --- Deletion ---------------------------------------------------------------------------

struct TDeleteCase {
  const char* name;
  std::uint16_t pointing;
  bool confirm_delete;
  bool confirm_pointed;
  TButton answer;  // None: no question
  const char* question;
  bool deleted;
};

class DeleteTest : public CommandsTest, public ::testing::WithParamInterface<TDeleteCase> {};

TEST_P(DeleteTest, AsksWhatTheBookWants) {
  const TDeleteCase& c = GetParam();
  db_->Settings().confirm_delete_operation = c.confirm_delete;
  db_->Settings().confirm_delete_pointed = c.confirm_pointed;
  AddOp(*account_, "01/01/2024", -10, "keep");
  AddOp(*account_, "02/01/2024", -20, "target", c.pointing);
  Show(*account_);
  if (c.answer != TButton::None) port_.Answer(c.answer);
  EXPECT_EQ(Commands().Delete(RowOf("target")), c.deleted);
  EXPECT_EQ(port_.LastMessage(), c.question);
  EXPECT_EQ(Labels("Courant"), c.deleted ? "keep" : "keep target");
  EXPECT_EQ(RowLabels(), c.deleted ? "keep *" : "keep target *");
}

INSTANTIATE_TEST_SUITE_P(
    Confirmations, DeleteTest,
    ::testing::Values(
        TDeleteCase{"Yes", kNotPointed, true, true, TButton::Yes,
                    "Souhaitez-vous supprimer cette opération ?", true},
        TDeleteCase{"No", kDownloaded, true, true, TButton::No,
                    "Souhaitez-vous supprimer cette opération ?", false},
        TDeleteCase{"PointedYes", kPointed, true, true, TButton::Yes,
                    "Cette opération est pointée.\nSouhaitez-vous vraiment la supprimer ?", true},
        TDeleteCase{"PointedNo", kPointed, false, true, TButton::No,
                    "Cette opération est pointée.\nSouhaitez-vous vraiment la supprimer ?", false},
        TDeleteCase{"PointedWithoutQuestion", kPointed, true, false, TButton::None, "", true},
        TDeleteCase{"WithoutQuestion", kNotPointed, false, true, TButton::None, "", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, DeletionKeepsTheRowIndexAndIsUndoneWithTheSplitLines) {
  TCategoryRecord& a = AddCategory("A");
  TCategoryRecord& b = AddCategory("B");
  AddOp(*account_, "01/01/2024", -1, "first");
  TOperationRecord& split = AddOp(*account_, "02/01/2024", -100, "split");
  MakeSplit(split, {{a.id, 60}, {b.id, 40}});
  AddOp(*account_, "03/01/2024", -3, "last");
  const std::uint32_t id = split.id;
  Show(*account_);
  List().Select(1);
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(Commands().Delete(1));
  EXPECT_EQ(List().Selected(), 1u);
  EXPECT_EQ(RowLabels(), "first last *");
  EXPECT_EQ(Commands().UndoText(), "&Annuler suppression opération\tCtrl+Z");
  EXPECT_DOUBLE_EQ(List().Balance(), 96);

  ASSERT_TRUE(Commands().Undo());
  EXPECT_EQ(Commands().UndoText(), "Impossible d'&annuler\tCtrl+Z");
  EXPECT_EQ(RowLabels(), "first split last *");
  EXPECT_DOUBLE_EQ(List().Balance(), -4);
  const TReopened r = Reopen();
  TOperationRecord& back = r.Op("Courant", "split");
  EXPECT_EQ(back.id, id);
  EXPECT_EQ(back.kind, kOpSplit);
  std::vector<std::pair<std::uint32_t, double>> lines;
  for (TSplitLineRecord& l : r.db->LoadSplitLines(back).Records<TSplitLineRecord>()) {
    lines.emplace_back(l.category, l.amount);
  }
  EXPECT_EQ(lines, (std::vector<std::pair<std::uint32_t, double>>{{a.id, 60}, {b.id, 40}}));
}

struct TComplementCase {
  const char* name;
  TButton answer;
  const char* savings;  // labels left in the other account
};

class DeleteTransferTest : public CommandsTest,
                           public ::testing::WithParamInterface<TComplementCase> {};

TEST_P(DeleteTransferTest, AsksAboutTheOtherHalfAndIsNotUndoable) {
  db_->Settings().confirm_delete_operation = 0;
  TAccountRecord& savings = AddAccount("Epargne");
  AddOp(*account_, "01/01/2024", -50, "transfer");
  Show(*account_);
  ASSERT_TRUE(TTransferRule(List()).Choose(RowOf("transfer"), &savings));
  port_.Answer(GetParam().answer);
  ASSERT_TRUE(Commands().Delete(RowOf("transfer")));
  EXPECT_EQ(port_.LastMessage(),
            "Un virement est composé de deux opérations.\nSouhaitez-vous supprimer l'opération "
            "complémentaire du virement ?");
  EXPECT_EQ(Labels("Courant"), "");
  EXPECT_EQ(Labels("Epargne"), GetParam().savings);
  EXPECT_FALSE(TUndoSlot::Of(*db_).CanUndo());
  if (GetParam().answer == TButton::No) {
    // The other half stays as it was, still a transfer half.
    EXPECT_EQ(Reopen().Op("Epargne", "transfer").kind, kOpTransferIn);
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, DeleteTransferTest,
                         ::testing::Values(TComplementCase{"Yes", TButton::Yes, ""},
                                           TComplementCase{"No", TButton::No, "transfer"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, DeletingTheModelOfAChainEndsTheChain) {
  db_->Settings().confirm_delete_operation = 0;
  TOperationRecord& past = AddOp(*account_, "15/01/2024", -50, "past");
  TOperationRecord& model = AddOp(*account_, "15/02/2024", -50, "model");
  auto schedule = std::make_unique<TPeriodicRecord>();
  schedule->frequency = 3;
  schedule->date = model.date;
  db_->ReplaceSchedule(model, std::move(schedule));
  past.periodic = model.periodic;
  past.SetFlag(kOpPastOccurrence, true);
  db_->ModifyOperation(past);
  Show(*account_);
  ASSERT_TRUE(Commands().Delete(RowOf("model")));
  const TReopened r = Reopen();
  EXPECT_EQ(r.Op("Courant", "past").periodic, 0u);
  EXPECT_FALSE(r.Op("Courant", "past").HasFlag(kOpPastOccurrence));
  // Undo puts the model back with a schedule of its own: the chain goes on.
  ASSERT_TRUE(Commands().Undo());
  const TReopened again = Reopen();
  const std::unique_ptr<TPeriodicRecord> back =
      again.db->ReadSchedule(again.Op("Courant", "model"));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->date.Format(), "15/02/2024");
  EXPECT_EQ(back->frequency, 3);
}

TEST_F(CommandsTest, DeletingATickedOperationUnticksItFirst) {
  db_->Settings().confirm_delete_operation = 0;
  TOperationRecord& op = AddOp(*account_, "01/01/2024", -5, "ticked", kTicked);
  const std::uint32_t id = op.id;
  TFakePointing pointing;
  pointing.account_id = account_->id;
  List().SetPointingSession(&pointing);
  Show(*account_);
  ASSERT_TRUE(Commands().Delete(RowOf("ticked")));
  ASSERT_EQ(pointing.ticks.size(), 1u);
  EXPECT_EQ(pointing.ticks[0].id, id);
  EXPECT_EQ(pointing.ticks[0].from, kTicked);
  EXPECT_EQ(pointing.ticks[0].to, kNotPointed);
}

// --- Cut, copy, paste ----------------------------------------------------------------------

TEST_F(CommandsTest, PastingAFrancDebitIntoAEuroAccountAsksAndKeepsTheFigure) {
  TAccountRecord& francs = AddAccount("Francs", kCurrentAccount, "FRF");
  TOperationRecord& op = AddOp(francs, "10/01/2024", -100, "loyer", kPointed);
  op.bank_reference = "REF123";
  op.complementary_label = "janvier";
  db_->ModifyOperation(op);
  Show(francs);
  ASSERT_TRUE(Commands().Copy(RowOf("loyer")));
  EXPECT_TRUE(Commands().Available(TOperationCommand::Paste, 0));
  Show(*account_);
  port_.Answer(TButton::No);
  EXPECT_FALSE(Commands().Paste().pasted);
  EXPECT_EQ(port_.LastMessage(),
            "Les devises entre l'opération à coller et le compte actif sont différentes.\n"
            "Désirez-vous réellement coller l'opération ?");
  EXPECT_TRUE(List().Clipboard().Holds());
  port_.Answer(TButton::Yes);
  const TPasteResult pasted = Commands().Paste();
  ASSERT_TRUE(pasted.pasted);
  ASSERT_TRUE(pasted.row);
  EXPECT_EQ(List().Selected(), *pasted.row);
  EXPECT_EQ(List().OperationAt(*pasted.row)->label, "loyer");
  EXPECT_FALSE(List().Clipboard().Holds());
  const TReopened r = Reopen();
  const TOperationRecord& copy = r.Op("Courant", "loyer");
  EXPECT_DOUBLE_EQ(copy.amount, -100);
  EXPECT_EQ(copy.pointing, kNotPointed);
  EXPECT_TRUE(copy.HasFlag(kOpEnteredByHand));
  EXPECT_EQ(copy.bank_reference, "");
  EXPECT_EQ(copy.complementary_label, "janvier");
  EXPECT_EQ(copy.date.Format(), "10/01/2024");
  EXPECT_EQ(Labels("Francs"), "loyer");  // a copy leaves the original
}

TEST_F(CommandsTest, PastingACreditIntoACardAccountAsks) {
  TAccountRecord& card = AddAccount("Carte", kCardAccount);
  AddOp(*account_, "01/01/2024", 30, "refund");
  Show(*account_);
  ASSERT_TRUE(Commands().Copy(RowOf("refund")));
  Show(card);
  port_.Answer(TButton::No);
  EXPECT_FALSE(Commands().Paste().pasted);
  EXPECT_EQ(port_.LastMessage(),
            "L'opération à coller dans votre compte carte est créditrice.\nDésirez-vous "
            "réellement la coller ?");
  EXPECT_EQ(Labels("Carte"), "");
}

TEST_F(CommandsTest, CutAndPasteMovesASplitAndATransferComesBackNormal) {
  db_->Settings().confirm_delete_operation = 0;
  TCategoryRecord& a = AddCategory("A");
  TCategoryRecord& b = AddCategory("B");
  TAccountRecord& other = AddAccount("Autre");
  TAccountRecord& savings = AddAccount("Epargne");
  MakeSplit(AddOp(*account_, "01/01/2024", -10, "split"), {{a.id, 4}, {b.id, 6}});
  AddOp(*account_, "02/01/2024", -20, "transfer");
  Show(*account_);
  ASSERT_TRUE(TTransferRule(List()).Choose(RowOf("transfer"), &savings));
  ASSERT_TRUE(Commands().Cut(RowOf("split")));
  Show(other);
  ASSERT_TRUE(Commands().Paste().pasted);
  Show(*account_);
  ASSERT_TRUE(Commands().Copy(RowOf("transfer")));
  Show(other);
  ASSERT_TRUE(Commands().Paste().pasted);
  EXPECT_TRUE(port_.Messages().empty());
  const TReopened r = Reopen();
  EXPECT_EQ(Labels("Courant"), "transfer");
  TOperationRecord& split = r.Op("Autre", "split");
  EXPECT_EQ(split.kind, kOpSplit);
  EXPECT_EQ(r.db->LoadSplitLines(split).Size(), 2u);
  const TOperationRecord& transfer = r.Op("Autre", "transfer");
  EXPECT_EQ(transfer.kind, kOpNormal);
  EXPECT_EQ(transfer.linked_account, 0u);
  EXPECT_EQ(transfer.category, 0u);
}

TEST_F(CommandsTest, ACutAnsweredNoStillHoldsTheCopy) {
  AddOp(*account_, "01/01/2024", -10, "op");
  Show(*account_);
  port_.Answer(TButton::No);
  EXPECT_FALSE(Commands().Cut(RowOf("op")));
  EXPECT_TRUE(List().Clipboard().Holds());
  EXPECT_EQ(Labels("Courant"), "op");
}

// --- Availability -------------------------------------------------------------------------

TEST_F(CommandsTest, TheMenuOffersEachCommandWhereItApplies) {
  TCategoryRecord& food = AddCategory("Alimentation");
  const auto add = [&](const char* label, std::uint32_t kind, std::uint16_t pointing,
                       bool by_hand) {
    TOperationRecord& op = AddOp(*account_, "01/01/2024", -1, label, pointing);
    op.kind = kind;
    op.category = kind == kOpNormal ? food.id : 0;
    op.SetFlag(kOpEnteredByHand, by_hand);
    db_->ModifyOperation(op);
  };
  add("normal", kOpNormal, kNotPointed, false);
  add("typed", kOpNormal, kNotPointed, true);
  add("conversion", kOpEuroConversion, kNotPointed, false);
  add("statement", kOpCardStatement, kNotPointed, false);
  add("split", kOpSplit, kDownloaded, false);
  Show(*account_);
  using C = TOperationCommand;
  struct TRowCase {
    const char* row;
    std::vector<C> offered;
  };
  const TRowCase cases[] = {
      {"normal",
       {C::Modify, C::Point, C::MarkDownloaded, C::Delete, C::Cut, C::Copy, C::CreateAssociation,
        C::Periodicity, C::Split, C::Transfer}},
      {"typed",
       {C::Modify, C::Point, C::Delete, C::Cut, C::Copy, C::CreateAssociation, C::Periodicity,
        C::Split, C::Transfer}},
      {"conversion", {C::Modify}},
      {"statement", {C::Modify, C::Point, C::MarkDownloaded, C::Delete, C::Cut, C::Copy}},
      {"split", {C::Modify, C::Point, C::Delete, C::Cut, C::Copy, C::Periodicity, C::Split}},
      {"*", {C::Modify, C::Transfer}},
  };
  const C row_commands[] = {C::Modify, C::Point,   C::MarkDownloaded,    C::Delete,
                            C::Cut,    C::Copy,    C::CreateAssociation, C::Periodicity,
                            C::Split,  C::Transfer};
  for (const TRowCase& c : cases) {
    const std::size_t row = std::string(c.row) == "*" ? List().RowCount() - 1 : RowOf(c.row);
    for (C command : row_commands) {
      const bool expected =
          std::find(c.offered.begin(), c.offered.end(), command) != c.offered.end();
      EXPECT_EQ(Commands().Available(command, row), expected)
          << c.row << " " << OperationCommandText(command);
    }
  }
  EXPECT_FALSE(Commands().Available(C::Paste, 0));
  EXPECT_FALSE(Commands().Available(C::Undo, 0));
  EXPECT_TRUE(Commands().Available(C::Reconcile, 0));
  EXPECT_FALSE(Commands().Delete(RowOf("conversion")));
  EXPECT_FALSE(Commands().Copy(RowOf("conversion")));
  EXPECT_FALSE(Commands().Cut(RowOf("conversion")));
}

// --- Dropping a category ------------------------------------------------------------------

struct TDropCase {
  const char* name;
  double amount;
  const char* start_category;  // "" none
  const char* dropped;         // "" for "no category"
  long alert_change;
  std::vector<TButton> answers;
  const char* question;  // the last question, "" for none
  const char* stored;    // the category after the drop
};

class DropCategoryTest : public CommandsTest, public ::testing::WithParamInterface<TDropCase> {
 protected:
  void SetUp() override {
    CommandsTest::SetUp();
    AddCategory("Courses");
    AddCategory("Loisirs");
    AddCategory("Salaire", false);
  }
  std::uint32_t IdOf(const std::string& name) {
    for (TCategoryRecord& c : db_->Categories().Records<TCategoryRecord>()) {
      if (c.name == name) return c.id;
    }
    return 0;
  }
};

TEST_P(DropCategoryTest, AsksItsQuestions) {
  const TDropCase& c = GetParam();
  platform::ProfileWriteInt("Setup", "AlerteChangeCat", c.alert_change);
  TOperationRecord& op = AddOp(*account_, "01/01/2024", c.amount, "op", kDownloaded);
  op.category = IdOf(c.start_category);
  db_->ModifyOperation(op);
  Show(*account_);
  for (TButton b : c.answers) port_.Answer(b);
  const bool dropped = Commands().DropCategory(RowOf("op"), IdOf(c.dropped));
  EXPECT_EQ(port_.LastMessage(), c.question);
  EXPECT_EQ(port_.Log().size(), c.answers.size());
  const TReopened reopened = Reopen();
  const TOperationRecord& stored = reopened.Op("Courant", "op");
  EXPECT_EQ(stored.category, IdOf(c.stored));
  EXPECT_EQ(stored.pointing, dropped ? kNotPointed : kDownloaded);
  EXPECT_EQ(TUndoSlot::Of(*db_).CanUndo(), dropped);
}

INSTANTIATE_TEST_SUITE_P(
    Questions, DropCategoryTest,
    ::testing::Values(
        TDropCase{"DebitCategoryOnADebit", -5, "", "Courses", 0, {}, "", "Courses"},
        TDropCase{"CreditCategoryOnADebit",
                  -5,
                  "",
                  "Salaire",
                  0,
                  {TButton::Yes},
                  "Attention ! Désirez-vous réellement affecter une catégorie créditrice à une "
                  "opération débitrice ?",
                  "Salaire"},
        TDropCase{"DebitCategoryOnACreditRefused",
                  5,
                  "",
                  "Courses",
                  0,
                  {TButton::No},
                  "Attention ! Désirez-vous réellement affecter une catégorie débitrice à une "
                  "opération créditrice ?",
                  ""},
        TDropCase{"ZeroAmountAsksNothing", 0, "", "Salaire", 0, {}, "", "Salaire"},
        TDropCase{"RemovingTheCategory",
                  -5,
                  "Courses",
                  "",
                  0,
                  {TButton::Yes},
                  "Désirez-vous vraiment ne plus affecter de catégorie à cette opération ?",
                  ""},
        TDropCase{"ChangingWithoutTheAlert", -5, "Courses", "Loisirs", 0, {}, "", "Loisirs"},
        TDropCase{"ChangingWithTheAlert",
                  -5,
                  "Courses",
                  "Loisirs",
                  1,
                  {TButton::No},
                  "Désirez-vous vraiment modifier la catégorie affectée à cette opération ?",
                  "Courses"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DropCategoryTest, OnlyANormalOperationTakesADroppedCategory) {
  TOperationRecord& op = AddOp(*account_, "01/01/2024", -5, "statement");
  op.kind = kOpCardStatement;
  db_->ModifyOperation(op);
  Show(*account_);
  EXPECT_FALSE(Commands().DropCategory(RowOf("statement"), IdOf("Courses")));
  EXPECT_EQ(port_.LastMessage(),
            "Vous ne pouvez pas changer la catégorie de cette opération de cette façon !");
  EXPECT_EQ(Reopen().Op("Courant", "statement").category, 0u);
}

TEST_F(DropCategoryTest, APointedOperationAsksThePointedWarning) {
  AddOp(*account_, "01/01/2024", -5, "pointed", kPointed);
  Show(*account_);
  port_.Answer(TButton::No);
  EXPECT_FALSE(Commands().DropCategory(RowOf("pointed"), IdOf("Courses")));
  EXPECT_EQ(port_.LastMessage(),
            "Attention ! Cette opération est pointée.\nDésirez-vous vraiment la modifier ?");
}

TEST_F(CommandsTest, TheNewEntryLineTakesADroppedCategoryAndItsAmount) {
  TCategoryRecord& salary = AddCategory("Salaire", false, nullptr, 1500);
  TProjectRecord& project = AddProject("Travaux");
  Show(*account_);
  const std::size_t line = List().RowCount() - 1;
  ASSERT_TRUE(Commands().DropCategory(line, salary.id));
  ASSERT_TRUE(Commands().DropProject(line, project.id));
  EXPECT_TRUE(port_.Messages().empty());
  EXPECT_EQ(List().NewEntry().category, salary.id);
  EXPECT_DOUBLE_EQ(List().NewEntry().amount, 1500);
  EXPECT_EQ(List().NewEntry().project, project.id);
  EXPECT_EQ(Labels("Courant"), "");  // nothing written yet
}

// --- Dropping a project -------------------------------------------------------------------

TEST_F(CommandsTest, DroppingAProjectOnAPointedOperationAsks) {
  TProjectRecord& project = AddProject("Travaux");
  AddOp(*account_, "01/01/2024", -5, "pointed", kPointed);
  Show(*account_);
  port_.Answer(TButton::No);
  EXPECT_FALSE(Commands().DropProject(RowOf("pointed"), project.id));
  EXPECT_EQ(port_.LastMessage(),
            "Attention ! Cette opération est pointée.\nDésirez-vous vraiment lui affecter ce "
            "projet ?");
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(Commands().DropProject(RowOf("pointed"), project.id));
  EXPECT_EQ(Reopen().Op("Courant", "pointed").project, project.id);
  EXPECT_EQ(Commands().UndoText(), "&Annuler modification opération\tCtrl+Z");
}

TEST_F(CommandsTest, AClosedProjectIsNotGivenByADrop) {
  TProjectRecord& closed = AddProject("Clos", false);
  AddOp(*account_, "01/01/2024", -5, "op");
  Show(*account_);
  EXPECT_FALSE(Commands().DropProject(RowOf("op"), closed.id));
  EXPECT_EQ(port_.LastMessage(), "Vous ne pouvez pas affecter un projet clos à une opération !");
  EXPECT_EQ(Reopen().Op("Courant", "op").project, 0u);
}

// --- Marking and pointing -----------------------------------------------------------------

TEST_F(CommandsTest, MarkingAsDownloaded) {
  AddOp(*account_, "01/01/2024", -5, "op");
  Show(*account_);
  ASSERT_TRUE(Commands().MarkDownloaded(RowOf("op")));
  EXPECT_EQ(Reopen().Op("Courant", "op").pointing, kDownloaded);
  EXPECT_FALSE(Commands().MarkDownloaded(RowOf("op")));  // no longer NotPointed
}

struct TPointCase {
  const char* name;
  std::uint16_t start;
  bool pointing_in_progress;
  std::uint16_t result;
};

class TogglePointingTest : public CommandsTest, public ::testing::WithParamInterface<TPointCase> {};

TEST_P(TogglePointingTest, MovesThroughTheStatesAndIsUndone) {
  const TPointCase& c = GetParam();
  db_->Settings().warn_change_pointed = 0;
  AddOp(*account_, "01/01/2024", -5, "op", c.start);
  TFakePointing pointing;
  if (c.pointing_in_progress) pointing.account_id = account_->id;
  List().SetPointingSession(&pointing);
  Show(*account_);
  ASSERT_TRUE(Commands().TogglePointing(RowOf("op")));
  EXPECT_EQ(Reopen().Op("Courant", "op").pointing, c.result);
  EXPECT_EQ(Commands().Checked(TOperationCommand::Point, RowOf("op")),
            c.result == kPointed || (c.result == kTicked && c.pointing_in_progress));
  const bool ticked = c.start == kTicked || c.result == kTicked;
  EXPECT_EQ(pointing.ticks.size(), c.pointing_in_progress && ticked ? 1u : 0u);
  ASSERT_TRUE(Commands().Undo());
  EXPECT_EQ(Reopen().Op("Courant", "op").pointing, c.start);
}

INSTANTIATE_TEST_SUITE_P(
    States, TogglePointingTest,
    ::testing::Values(TPointCase{"NotPointedToPointed", kNotPointed, false, kPointed},
                      TPointCase{"TickedToPointed", kTicked, false, kPointed},
                      TPointCase{"PointedToNotPointed", kPointed, false, kNotPointed},
                      TPointCase{"DownloadedToNotPointed", kDownloaded, false, kNotPointed},
                      TPointCase{"NotPointedToTicked", kNotPointed, true, kTicked},
                      TPointCase{"DownloadedToTicked", kDownloaded, true, kTicked},
                      TPointCase{"TickedToNotPointed", kTicked, true, kNotPointed},
                      TPointCase{"PointedToNotPointedWhilePointing", kPointed, true, kNotPointed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandsTest, PointingACardOperationChangesTheOutstandingAmount) {
  TAccountRecord& card = AddAccount("Carte", kCardAccount);
  AddOp(card, "01/01/2024", -40, "shop");
  Show(card);
  EXPECT_DOUBLE_EQ(List().Balance(), 40);
  ASSERT_TRUE(Commands().TogglePointing(RowOf("shop")));
  EXPECT_DOUBLE_EQ(List().Balance(), 0);
  EXPECT_DOUBLE_EQ(card.balance, 0);
  EXPECT_DOUBLE_EQ(Reopen().Account("Carte").balance, 0);
}

}  // namespace
}  // namespace ledgora::testing
