// The in-place editor: its guard questions, its fields, and the validation
// rule, checked against the book reopened from its working copy.
#include <gtest/gtest.h>

#include "operations/operation_editor.h"
#include "operations/operation_edits.h"
#include "operations/test_operations_env.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

class EditorTest : public TOperationsTest {
 protected:
  void SetUp() override {
    TOperationsTest::SetUp();
    platform::ProfileWriteInt("Setup", "Filter", 0);
    account_ = &AddAccount("Courant", kCurrentAccount, "EUR", 100);
    account_->remark = "compte joint";
    db_->ModifyAccount(*account_);
  }
  // Opens the editor on the row of label and validates input made by edit.
  template <class F>
  TEditOutcome Edit(const std::string& label, F edit) {
    TOperationEditor editor(List());
    std::optional<TEditSession> session = editor.Begin(RowOf(label));
    if (!session) return TEditOutcome::Gone;
    TEditorInput input = session->UnchangedInput();
    edit(input);
    return editor.Validate(*session, input);
  }
  TEditOutcome EditNewEntry(const std::function<void(TEditorInput&)>& edit) {
    TOperationEditor editor(List());
    std::optional<TEditSession> session = editor.Begin(List().RowCount() - 1);
    EXPECT_TRUE(session && session->NewEntry());
    TEditorInput input = session->UnchangedInput();
    edit(input);
    return editor.Validate(*session, input);
  }
  TAccountRecord* account_ = nullptr;
};

TEST_F(EditorTest, AEuroConversionAsksFirstWithNoAsTheDefault) {
  TOperationRecord& op = AddOp(*account_, "01/01/2024", -5, "conv", kPointed);
  op.kind = kOpEuroConversion;
  db_->ModifyOperation(op);
  Show(*account_);
  TOperationEditor editor(List());
  port_.Answer(TButton::No);
  EXPECT_FALSE(editor.Begin(RowOf("conv")));
  EXPECT_EQ(port_.last.text,
            "Attention ! Il n'est pas conseillé de modifier l'opération de conversion de solde "
            "d'un compte.\nSouhaitez-vous tout de même le faire ?");
  EXPECT_EQ(port_.last.buttons, TButtons::YesNo);
  EXPECT_EQ(port_.last.default_index, 1);
  port_.Answer(TButton::Yes);
  EXPECT_TRUE(editor.Begin(RowOf("conv")));
  // Only that question: not the pointed-operation warning as well.
  EXPECT_EQ(port_.Messages().size(), 2u);
}

TEST_F(EditorTest, APointedOperationAsksThePointedWarningWhenTheBookWantsIt) {
  AddOp(*account_, "01/01/2024", -5, "pointed", kPointed);
  Show(*account_);
  TOperationEditor editor(List());
  port_.Answer(TButton::No);
  EXPECT_FALSE(editor.Begin(RowOf("pointed")));
  EXPECT_EQ(port_.LastMessage(),
            "Attention ! Cette opération est pointée.\nDésirez-vous vraiment la modifier ?");
  db_->Settings().warn_change_pointed = 0;
  port_.Clear();
  EXPECT_TRUE(editor.Begin(RowOf("pointed")));
  EXPECT_TRUE(port_.Messages().empty());
}

TEST_F(EditorTest, TheFieldsOfTheEditor) {
  TCategoryRecord& food = AddCategory("Alimentation");
  AddCategory("Courses", true, &food);
  TProjectRecord& open = AddProject("Travaux");
  TProjectRecord& closed = AddProject("Ancien", false);
  AddProject("Clos", false);
  TOperationRecord& op = AddOp(*account_, "05/02/2024", -1234.5, "Facture");
  op.complementary_label = "EDF";
  op.category = food.id;
  op.project = closed.id;
  db_->ModifyOperation(op);
  Show(*account_);
  std::optional<TEditSession> s = TOperationEditor(List()).Begin(RowOf("Facture"));
  ASSERT_TRUE(s);
  const TEditorSetup& f = s->Setup();
  EXPECT_FALSE(f.new_entry);
  EXPECT_FALSE(f.card_account);
  EXPECT_TRUE(f.labels);
  EXPECT_TRUE(f.classification);
  EXPECT_EQ(f.date, "05/02/2024");
  EXPECT_EQ(f.debit, "1234,50");
  EXPECT_EQ(f.credit, "");
  EXPECT_EQ(f.label, "Facture");
  EXPECT_EQ(f.complementary_label, "EDF");
  EXPECT_EQ(f.category, "Alimentation");
  EXPECT_EQ(f.project, "Ancien");
  // A closed project is offered only to the operation that already has it.
  EXPECT_EQ(f.project_choices, (std::vector<std::string>{"[Aucun]", "Ancien", open.label}));
  EXPECT_EQ(f.category_choices,
            (std::vector<std::string>{"Alimentation", "Alimentation : Courses"}));

  List().Settings().layout = TRowLayout::Condensed;
  EXPECT_FALSE(TOperationEditor(List()).Begin(RowOf("Facture"))->Setup().labels);
}

struct TAmountCase {
  const char* name;
  std::uint16_t account_type;
  double start;
  const char* debit;  // nullptr: as the editor showed it
  const char* credit;
  const char* amount;
  double stored;
};

class EditorAmountTest : public EditorTest, public ::testing::WithParamInterface<TAmountCase> {};

TEST_P(EditorAmountTest, StoresTheFigureWithItsSign) {
  const TAmountCase& c = GetParam();
  TAccountRecord& a = AddAccount("Compte", c.account_type);
  AddOp(a, "01/01/2024", c.start, "op");
  Show(a);
  ASSERT_EQ(Edit("op",
                 [&](TEditorInput& in) {
                   if (c.debit) in.debit = c.debit;
                   if (c.credit) in.credit = c.credit;
                   if (c.amount) in.amount = c.amount;
                 }),
            TEditOutcome::Applied);
  EXPECT_DOUBLE_EQ(Reopen().Op("Compte", "op").amount, c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, EditorAmountTest,
    ::testing::Values(
        TAmountCase{"DebitStoredNegated", kCurrentAccount, -10, "25", nullptr, nullptr, -25},
        TAmountCase{"CreditAsTyped", kCurrentAccount, -10, "", "30", nullptr, 30},
        TAmountCase{"BothChangedDebitWins", kCurrentAccount, -10, "5", "7", nullptr, -5},
        TAmountCase{"TheChangedFieldWins", kCurrentAccount, -10, nullptr, "7", nullptr, 7},
        TAmountCase{"NeitherFigureIsZero", kDepositAccount, -10, "", "", nullptr, 0},
        TAmountCase{"CardSpendingTypedPositive", kCardAccount, -10, nullptr, nullptr, "12,5",
                    -12.5},
        TAmountCase{"CardRefundTypedNegative", kCardAccount, -10, nullptr, nullptr, "-3", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, ValidationAppliesTheRuleAndRecordsTheUndo) {
  TCategoryRecord& food = AddCategory("Alimentation");
  TCategoryRecord& groceries = AddCategory("Courses", true, &food);
  TProjectRecord& closed = AddProject("Clos", false);
  TOperationRecord& op = AddOp(*account_, "01/01/2024", -12, "CB", kDownloaded);
  op.source_amount = "13,10 USD";
  db_->ModifyOperation(op);
  Show(*account_);
  ASSERT_EQ(Edit("CB",
                 [&](TEditorInput& in) {
                   in.date = "3/2/24";
                   in.debit = "20";
                   in.label = "CB " + std::string(60, 'x');
                   in.complementary_label = "Marché";
                   in.category = "alimentation : COURSES";
                   in.project = closed.label;
                 }),
            TEditOutcome::Applied);
  EXPECT_EQ(port_.Messages(), std::vector<std::string>{
                                  "Vous ne pouvez pas affecter un projet clos à une opération !"});
  EXPECT_EQ(TUndoSlot::Of(*db_).MenuText(), "&Annuler modification opération\tCtrl+Z");
  EXPECT_DOUBLE_EQ(TUndoSlot::Of(*db_).SavedOperation()->amount, -12);
  const TReopened r = Reopen();
  const TOperationRecord& stored = *r.Operations("Courant").front();
  EXPECT_EQ(stored.date.Format(), "03/02/2024");
  EXPECT_DOUBLE_EQ(stored.amount, -20);
  EXPECT_EQ(stored.source_amount, "");  // the amount changed
  EXPECT_EQ(stored.label, "CB " + std::string(47, 'x'));
  EXPECT_EQ(stored.complementary_label, "Marché");
  EXPECT_EQ(stored.category, groceries.id);
  EXPECT_EQ(stored.project, 0u);
  EXPECT_EQ(stored.pointing, kNotPointed);
  EXPECT_DOUBLE_EQ(r.Account("Courant").balance, 80);
}

TEST_F(EditorTest, AnUnchangedAmountKeepsTheSourceTextAndAnEmptyDateIsToday) {
  TOperationRecord& op = AddOp(*account_, "01/01/2024", -12, "CB");
  op.source_amount = "13,10 USD";
  db_->ModifyOperation(op);
  Show(*account_);
  ASSERT_EQ(Edit("CB", [](TEditorInput& in) { in.date = ""; }), TEditOutcome::Applied);
  const TReopened reopened = Reopen();
  const TOperationRecord& stored = *reopened.Operations("Courant").front();
  EXPECT_EQ(stored.source_amount, "13,10 USD");
  EXPECT_EQ(stored.date.Format(), "15/06/2024");
}

struct TRefusalCase {
  const char* name;
  const char* date;
  const char* debit;
  const char* message;
};

class EditorRefusalTest : public EditorTest, public ::testing::WithParamInterface<TRefusalCase> {};

TEST_P(EditorRefusalTest, KeepsTheEditorOpenAndTheBookUnchanged) {
  AddOp(*account_, "01/01/2024", -12, "CB");
  Show(*account_);
  const TRefusalCase& c = GetParam();
  EXPECT_EQ(Edit("CB",
                 [&](TEditorInput& in) {
                   in.date = c.date;
                   in.debit = c.debit;
                 }),
            TEditOutcome::StayOpen);
  EXPECT_EQ(port_.LastMessage(), c.message);
  EXPECT_EQ(port_.last.caption, "Erreur de saisie");
  EXPECT_FALSE(TUndoSlot::Of(*db_).CanUndo());
  EXPECT_DOUBLE_EQ(Reopen().Operations("Courant").front()->amount, -12);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, EditorRefusalTest,
    ::testing::Values(
        TRefusalCase{"NoSuchDay", "30/02/2024", "12,00", "Date non valide #[#]/#[#]/##[##] !"},
        TRefusalCase{"NotADate", "1er mars", "12,00", "Date non valide #[#]/#[#]/##[##] !"},
        TRefusalCase{"ThreeDecimals", "01/01/2024", "12,345",
                     "Montant non valide ou trop grand #########,##!"},
        TRefusalCase{"SignInADebit", "01/01/2024", "-12",
                     "Montant non valide ou trop grand #########,##!"},
        TRefusalCase{"TooLong", "01/01/2024", "1234567890,1",
                     "Montant non valide ou trop grand #########,##!"}),
    [](const auto& info) { return std::string(info.param.name); });

struct TPointedBoxCase {
  const char* name;
  std::uint16_t start;
  bool pointing_in_progress;
  bool box;
  std::uint16_t stored;
};

class EditorPointedBoxTest : public EditorTest,
                             public ::testing::WithParamInterface<TPointedBoxCase> {};

TEST_P(EditorPointedBoxTest, SetsThePointingState) {
  const TPointedBoxCase& c = GetParam();
  db_->Settings().warn_change_pointed = 0;
  AddOp(*account_, "01/01/2024", -12, "op", c.start);
  TFakePointing pointing;
  if (c.pointing_in_progress) pointing.account_id = account_->id;
  List().SetPointingSession(&pointing);
  Show(*account_);
  ASSERT_EQ(Edit("op", [&](TEditorInput& in) { in.pointed = c.box; }), TEditOutcome::Applied);
  EXPECT_EQ(Reopen().Operations("Courant").front()->pointing, c.stored);
  // The pointing window hears of every tick that comes or goes.
  const bool ticked = c.start == kTicked || c.stored == kTicked;
  EXPECT_EQ(pointing.ticks.size(),
            c.pointing_in_progress && ticked && c.start != c.stored ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    States, EditorPointedBoxTest,
    ::testing::Values(
        TPointedBoxCase{"TickedBoxPoints", kNotPointed, false, true, kPointed},
        TPointedBoxCase{"TickedBoxTicksDuringAPointing", kNotPointed, true, true, kTicked},
        TPointedBoxCase{"ATickStaysATick", kTicked, false, true, kTicked},
        TPointedBoxCase{"ClearedBoxUnpoints", kPointed, false, false, kNotPointed},
        TPointedBoxCase{"ClearedBoxUnticks", kTicked, true, false, kNotPointed},
        TPointedBoxCase{"DownloadedBecomesNotPointed", kDownloaded, false, false, kNotPointed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, ANewOperationDatedFirstAsksAboutTheInitialBalance) {
  AddOp(*account_, "01/03/2024", -10, "existing");
  Show(*account_);
  port_.Answer(TButton::Yes);
  ASSERT_EQ(EditNewEntry([](TEditorInput& in) {
              in.date = "01/02/2024";
              in.debit = "30";
              in.label = "early";
            }),
            TEditOutcome::Applied);
  EXPECT_EQ(port_.LastMessage(),
            "Compte : Courant (compte joint)\nLe solde initial de celui-ci doit-il passer de "
            "100,00 à 130,00 ?");
  const TReopened r = Reopen();
  EXPECT_DOUBLE_EQ(r.Account("Courant").initial_balance, 130);
  EXPECT_DOUBLE_EQ(r.Account("Courant").balance, 90);  // the later balance stayed
  const TOperationRecord& early = r.Op("Courant", "early");
  EXPECT_TRUE(early.HasFlag(kOpEnteredByHand));
  EXPECT_EQ(early.account, account_->id);
  EXPECT_EQ(RowLabels(), "early existing *");
}

TEST_F(EditorTest, AnsweringNoKeepsTheInitialBalanceAndAddsTheOperation) {
  AddOp(*account_, "01/03/2024", -10, "existing");
  Show(*account_);
  port_.Answer(TButton::No);
  ASSERT_EQ(EditNewEntry([](TEditorInput& in) {
              in.date = "01/02/2024";
              in.credit = "5";
              in.label = "early";
            }),
            TEditOutcome::Applied);
  const TReopened r = Reopen();
  EXPECT_DOUBLE_EQ(r.Account("Courant").initial_balance, 100);
  EXPECT_DOUBLE_EQ(r.Op("Courant", "early").amount, 5);
}

TEST_F(EditorTest, ANewOperationEmptiesTheUndoSlotAndIsRememberedForTheNextOne) {
  AddOp(*account_, "01/01/2024", -10, "existing");
  Show(*account_);
  ASSERT_EQ(Edit("existing", [](TEditorInput& in) { in.debit = "11"; }), TEditOutcome::Applied);
  EXPECT_TRUE(TUndoSlot::Of(*db_).CanUndo());
  // Dated after the first operation: no question.
  ASSERT_EQ(EditNewEntry([](TEditorInput& in) {
              in.date = "02/05/2024";
              in.debit = "3";
              in.label = "later";
            }),
            TEditOutcome::Applied);
  EXPECT_TRUE(port_.Messages().empty());
  EXPECT_EQ(TUndoSlot::Of(*db_).MenuText(), "Impossible d'&annuler\tCtrl+Z");
  // The book's default date: the last date typed (1) or today (0).
  std::optional<TEditSession> s = TOperationEditor(List()).Begin(List().RowCount() - 1);
  EXPECT_EQ(s->Setup().date, "02/05/2024");
  EXPECT_EQ(s->Setup().debit, "");
  db_->Settings().default_date = 0;
  s = TOperationEditor(List()).Begin(List().RowCount() - 1);
  EXPECT_EQ(s->Setup().date, "15/06/2024");
}

TEST_F(EditorTest, AnEmptyAccountAsksNothing) {
  Show(*account_);
  ASSERT_EQ(EditNewEntry([](TEditorInput& in) { in.debit = "3"; }), TEditOutcome::Applied);
  EXPECT_TRUE(port_.Messages().empty());
  EXPECT_EQ(Reopen().Operations("Courant").size(), 1u);
}

TEST_F(EditorTest, ANewDateOfAChainsModelMovesTheWholeChain) {
  TOperationRecord& past = AddOp(*account_, "15/01/2024", -50, "rent");
  TOperationRecord& model = AddOp(*account_, "15/02/2024", -50, "rent-model");
  auto schedule = std::make_unique<TPeriodicRecord>();
  schedule->frequency = 3;
  schedule->day_of_month = 15;
  schedule->date = model.date;
  db_->ReplaceSchedule(model, std::move(schedule));
  past.periodic = model.periodic;
  past.SetFlag(kOpPastOccurrence, true);
  db_->ModifyOperation(past);
  Show(*account_);
  ASSERT_EQ(Edit("rent-model", [](TEditorInput& in) { in.date = "20/02/2024"; }),
            TEditOutcome::Applied);
  const TReopened r = Reopen();
  TOperationRecord& moved = r.Op("Courant", "rent-model");
  const std::unique_ptr<TPeriodicRecord> stored = r.db->ReadSchedule(moved);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->date.Format(), "20/02/2024");
  EXPECT_EQ(stored->day_of_month, 20);
  EXPECT_EQ(stored->frequency, 3);
  // The earlier occurrence still belongs to the chain.
  EXPECT_EQ(r.Op("Courant", "rent").periodic, moved.periodic);
  EXPECT_TRUE(r.Op("Courant", "rent").HasFlag(kOpPastOccurrence));
}

TEST_F(EditorTest, AnOperationDeletedMeanwhileIsGone) {
  TOperationRecord& op = AddOp(*account_, "01/01/2024", -1, "op");
  Show(*account_);
  TOperationEditor editor(List());
  std::optional<TEditSession> s = editor.Begin(RowOf("op"));
  db_->DeleteOperation(op);
  EXPECT_EQ(editor.Validate(*s, s->UnchangedInput()), TEditOutcome::Gone);
}

}  // namespace
}  // namespace ledgora::testing
