// Transfers: the candidate accounts, the two halves and their currencies,
// moving and removing a transfer, the duplicate-search seam.
#include <gtest/gtest.h>

#include "operations/operation_editor.h"
#include "operations/test_operations_env.h"
#include "operations/transfer_rule.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

class TransferTest : public TOperationsTest {
 protected:
  void SetUp() override {
    TOperationsTest::SetUp();
    platform::ProfileWriteInt("Setup", "Filter", 0);
  }
  TTransferRule Rule() { return TTransferRule(List()); }
};

// --- Candidates ---------------------------------------------------------------------------

struct TCandidateCase {
  const char* name;
  std::uint16_t type;
  std::uint16_t state;
  const char* currency;
  long shown_only;
  bool twin;  // the active account was converted from it
  bool offered;
};

class CandidateTest : public TransferTest, public ::testing::WithParamInterface<TCandidateCase> {};

TEST_P(CandidateTest, OffersTheAccountsTheRuleAllows) {
  const TCandidateCase& c = GetParam();
  platform::ProfileWriteInt("Options", "VirCptOuvertsSeulement", c.shown_only);
  TAccountRecord& active = AddAccount("Actif", kCurrentAccount, "EUR");
  TAccountRecord& other = AddAccount("Autre", c.type, c.currency);
  other.state = c.state;
  db_->ModifyAccount(other);
  if (c.twin) {
    active.euro_twin = other.id;
    db_->ModifyAccount(active);
  }
  AddOp(active, "01/01/2024", -10, "op");
  Show(active);
  const std::vector<TAccountRecord*> candidates = Rule().Candidates(RowOf("op"));
  EXPECT_EQ(candidates.size(), c.offered ? 1u : 0u);
  if (c.offered) {
    EXPECT_EQ(candidates[0], &other);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Accounts, CandidateTest,
    ::testing::Values(
        TCandidateCase{"Current", kCurrentAccount, kAccountShown, "EUR", 1, false, true},
        TCandidateCase{"Deposit", kDepositAccount, kAccountShown, "EUR", 1, false, true},
        TCandidateCase{"Card", kCardAccount, kAccountShown, "EUR", 1, false, false},
        TCandidateCase{"Closed", kCurrentAccount, kAccountClosed, "EUR", 0, false, false},
        TCandidateCase{"HiddenWithShownOnly", kCurrentAccount, kAccountHidden, "EUR", 1, false,
                       false},
        TCandidateCase{"HiddenWhenAllowed", kCurrentAccount, kAccountHidden, "EUR", 0, false, true},
        TCandidateCase{"EuroCircle", kCurrentAccount, kAccountShown, "FRF", 1, false, true},
        TCandidateCase{"OutsideTheEuroCircle", kCurrentAccount, kAccountShown, "USD", 1, false,
                       false},
        TCandidateCase{"ConvertedFrom", kCurrentAccount, kAccountHidden, "FRF", 0, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransferTest, CandidatesOutsideTheEuroCircleShareTheCurrency) {
  TAccountRecord& dollars = AddAccount("Dollars", kCurrentAccount, "USD");
  AddAccount("Euros", kCurrentAccount, "EUR");
  TAccountRecord& more = AddAccount("Plus", kCurrentAccount, "usd");
  TAccountRecord& converted = AddAccount("Converti", kCurrentAccount, "USD");
  converted.euro_twin = dollars.id;  // converted from the active account
  db_->ModifyAccount(converted);
  AddOp(dollars, "01/01/2024", -10, "op");
  Show(dollars);
  EXPECT_EQ(Rule().Candidates(RowOf("op")), std::vector<TAccountRecord*>{&more});
}

TEST_F(TransferTest, NoTransferFromACardAccountOrOfASplit) {
  TAccountRecord& card = AddAccount("Carte", kCardAccount);
  TAccountRecord& current = AddAccount("Courant");
  AddAccount("Autre");
  AddOp(card, "01/01/2024", -10, "card");
  TOperationRecord& split = AddOp(current, "01/01/2024", -10, "split");
  TCategoryRecord& c = AddCategory("C");
  MakeSplit(split, {{c.id, 5}, {c.id, 5}});
  Show(card);
  EXPECT_FALSE(Rule().Available(RowOf("card")));
  EXPECT_TRUE(Rule().Candidates(RowOf("card")).empty());
  Show(current);
  EXPECT_FALSE(Rule().Available(RowOf("split")));
  EXPECT_TRUE(Rule().Available(List().RowCount() - 1));
}

// --- Making a transfer --------------------------------------------------------------------

TEST_F(TransferTest, ADebitFromFrancsToEurosIsConvertedByTheLibrary) {
  TAccountRecord& francs = AddAccount("Francs", kCurrentAccount, "FRF");
  TAccountRecord& euros = AddAccount("Euros", kCurrentAccount, "EUR");
  TOperationRecord& op = AddOp(francs, "10/01/2024", -50, "virement", kDownloaded);
  op.bank_reference = "B123";
  db_->ModifyOperation(op);
  Show(francs);
  ASSERT_TRUE(Rule().Choose(RowOf("virement"), &euros));
  EXPECT_TRUE(port_.Messages().empty());
  const TReopened r = Reopen();
  const TOperationRecord& out = r.Op("Francs", "virement");
  const TOperationRecord& in = r.Op("Euros", "virement");
  EXPECT_EQ(out.kind, kOpTransferOut);
  EXPECT_EQ(out.pointing, kNotPointed);
  EXPECT_EQ(out.linked_account, euros.id);
  EXPECT_EQ(out.category, in.id);
  EXPECT_EQ(in.kind, kOpTransferIn);
  EXPECT_EQ(in.linked_account, francs.id);
  EXPECT_EQ(in.category, out.id);
  EXPECT_DOUBLE_EQ(in.amount, 7.62);
  EXPECT_EQ(in.source_amount, "50,00 FRF");
  EXPECT_EQ(in.bank_reference, "");
  EXPECT_TRUE(in.HasFlag(kOpEnteredByHand));
  EXPECT_EQ(in.date.Format(), "10/01/2024");
  EXPECT_DOUBLE_EQ(r.Account("Euros").balance, 7.62);
  // The euro half's counter-value is the figure of its source text.
  Show(euros);
  EXPECT_EQ(List().Texts(RowOf("virement")).cells[6], "50,00");
  EXPECT_EQ(List().Texts(RowOf("virement")).classification, "Virement reçu de Francs");
}

TEST_F(TransferTest, ACreditInTheSameCurrencyIsTheTransferIn) {
  TAccountRecord& current = AddAccount("Courant");
  TAccountRecord& savings = AddAccount("Epargne");
  AddOp(current, "10/01/2024", 80, "retour");
  Show(current);
  ASSERT_TRUE(Rule().Choose(RowOf("retour"), &savings));
  const TReopened r = Reopen();
  EXPECT_EQ(r.Op("Courant", "retour").kind, kOpTransferIn);
  const TOperationRecord& out = r.Op("Epargne", "retour");
  EXPECT_EQ(out.kind, kOpTransferOut);
  EXPECT_DOUBLE_EQ(out.amount, -80);
  EXPECT_EQ(out.source_amount, "");
}

TEST_F(TransferTest, ATransferEmptiesTheUndoSlotAndAsksThePointedWarning) {
  TAccountRecord& current = AddAccount("Courant");
  TAccountRecord& savings = AddAccount("Epargne");
  AddOp(current, "10/01/2024", -80, "pointed", kPointed);
  Show(current);
  TUndoSlot::Of(*db_).RecordOperationChange(*List().OperationAt(RowOf("pointed")),
                                            TUndoMode::Modification);
  port_.Answer(TButton::No);
  EXPECT_FALSE(Rule().Choose(RowOf("pointed"), &savings));
  EXPECT_EQ(port_.LastMessage(),
            "Attention ! Cette opération est pointée.\nDésirez-vous vraiment la modifier ?");
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(Rule().Choose(RowOf("pointed"), &savings));
  EXPECT_FALSE(TUndoSlot::Of(*db_).CanUndo());
  EXPECT_EQ(Reopen().Operations("Epargne").size(), 1u);
}

TEST_F(TransferTest, AnAccountThatIsNotACandidateIsRefused) {
  TAccountRecord& current = AddAccount("Courant");
  TAccountRecord& card = AddAccount("Carte", kCardAccount);
  AddOp(current, "10/01/2024", -80, "op");
  Show(current);
  EXPECT_FALSE(Rule().Choose(RowOf("op"), &card));
  EXPECT_FALSE(Rule().Choose(RowOf("op"), &current));
  EXPECT_EQ(Reopen().Op("Courant", "op").kind, kOpNormal);
}

struct TMoveCase {
  const char* name;
  TButton answer;
  const char* first;  // labels left in the first other account
};

class MoveTransferTest : public TransferTest, public ::testing::WithParamInterface<TMoveCase> {};

TEST_P(MoveTransferTest, AsksWhatBecomesOfTheFormerOtherHalf) {
  TAccountRecord& current = AddAccount("Courant");
  TAccountRecord& first = AddAccount("Premier");
  TAccountRecord& second = AddAccount("Second");
  AddOp(current, "10/01/2024", -30, "move");
  Show(current);
  ASSERT_TRUE(Rule().Choose(RowOf("move"), &first));
  port_.Answer(GetParam().answer);
  ASSERT_TRUE(Rule().Choose(RowOf("move"), &second));
  EXPECT_EQ(port_.LastMessage(),
            "Un virement est composé de deux opérations.\nFaut-il détruire l'ancienne opération "
            "complémentaire du virement ?");
  const TReopened r = Reopen();
  const TOperationRecord& op = r.Op("Courant", "move");
  const TOperationRecord& half = r.Op("Second", "move");
  EXPECT_EQ(op.linked_account, second.id);
  EXPECT_EQ(op.category, half.id);
  EXPECT_EQ(half.category, op.id);
  std::vector<TOperationRecord*> former = r.Operations("Premier");
  EXPECT_EQ(former.size(), std::string(GetParam().first).empty() ? 0u : 1u);
  if (!former.empty()) {
    EXPECT_EQ(former[0]->kind, kOpNormal);
    EXPECT_EQ(former[0]->linked_account, 0u);
    EXPECT_EQ(former[0]->category, 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, MoveTransferTest,
                         ::testing::Values(TMoveCase{"Yes", TButton::Yes, ""},
                                           TMoveCase{"No", TButton::No, "move"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct TRemoveCase {
  const char* name;
  TButton answer;
  std::size_t left;
};

class RemoveTransferTest : public TransferTest,
                           public ::testing::WithParamInterface<TRemoveCase> {};

TEST_P(RemoveTransferTest, AucunMakesBothHalvesNormal) {
  TAccountRecord& current = AddAccount("Courant");
  TAccountRecord& savings = AddAccount("Epargne");
  AddOp(current, "10/01/2024", -30, "op");
  Show(current);
  ASSERT_TRUE(Rule().Choose(RowOf("op"), &savings));
  port_.Answer(GetParam().answer);
  ASSERT_TRUE(Rule().Choose(RowOf("op"), nullptr));
  EXPECT_EQ(port_.LastMessage(),
            "Un virement est composé de deux opérations.\nFaut-il détruire l'opération "
            "complémentaire du virement ?");
  const TReopened r = Reopen();
  const TOperationRecord& op = r.Op("Courant", "op");
  EXPECT_EQ(op.kind, kOpNormal);
  EXPECT_EQ(op.linked_account, 0u);
  EXPECT_EQ(op.category, 0u);
  ASSERT_EQ(r.Operations("Epargne").size(), GetParam().left);
  if (GetParam().left) {
    EXPECT_EQ(r.Operations("Epargne")[0]->kind, kOpNormal);
  }
  EXPECT_DOUBLE_EQ(r.Account("Epargne").balance, GetParam().left ? 30 : 0);
}

INSTANTIATE_TEST_SUITE_P(Answers, RemoveTransferTest,
                         ::testing::Values(TRemoveCase{"Yes", TButton::Yes, 0},
                                           TRemoveCase{"No", TButton::No, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The new-entry line, the editor, the duplicate search ---------------------------------

TEST_F(TransferTest, ATransferChosenOnTheNewEntryLineIsMadeWhenTheLineIsValidated) {
  TAccountRecord& current = AddAccount("Courant", kCurrentAccount, "FRF");
  TAccountRecord& euros = AddAccount("Euros");
  Show(current);
  const std::size_t line = List().RowCount() - 1;
  ASSERT_TRUE(Rule().Choose(line, &euros));
  EXPECT_EQ(List().NewEntry().kind, kOpTransferOut);
  EXPECT_TRUE(Reopen().Operations("Euros").empty());
  TOperationEditor editor(List());
  std::optional<TEditSession> s = editor.Begin(line);
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->Setup().classification);
  TEditorInput in = s->UnchangedInput();
  in.debit = "100";
  in.label = "vers euros";
  ASSERT_EQ(editor.Validate(*s, in), TEditOutcome::Applied);
  const TReopened r = Reopen();
  const TOperationRecord& out = r.Op("Courant", "vers euros");
  const TOperationRecord& in_half = r.Op("Euros", "vers euros");
  EXPECT_EQ(out.kind, kOpTransferOut);
  EXPECT_EQ(out.category, in_half.id);
  EXPECT_DOUBLE_EQ(in_half.amount, 15.24);
  EXPECT_EQ(in_half.source_amount, "100,00 FRF");
  EXPECT_EQ(List().NewEntry().kind, kOpNormal);  // a fresh line
}

TEST_F(TransferTest, EditingTheAmountOfOneHalfMovesTheOther) {
  TAccountRecord& francs = AddAccount("Francs", kCurrentAccount, "FRF");
  TAccountRecord& euros = AddAccount("Euros");
  AddOp(francs, "10/01/2024", -50, "op");
  Show(francs);
  ASSERT_TRUE(Rule().Choose(RowOf("op"), &euros));
  TOperationEditor editor(List());
  std::optional<TEditSession> s = editor.Begin(RowOf("op"));
  TEditorInput in = s->UnchangedInput();
  in.debit = "1000";
  in.date = "12/01/2024";
  ASSERT_EQ(editor.Validate(*s, in), TEditOutcome::Applied);
  EXPECT_FALSE(TUndoSlot::Of(*db_).CanUndo());  // a transfer half is not recorded
  const TReopened reopened = Reopen();
  const TOperationRecord& other = reopened.Op("Euros", "op");
  EXPECT_DOUBLE_EQ(other.amount, 152.45);
  EXPECT_EQ(other.source_amount, "1000,00 FRF");
  EXPECT_EQ(other.date.Format(), "12/01/2024");
}

class TFakeDuplicates : public TTransferDuplicateFinder {
 public:
  TOperationRecord* FindTransferDuplicate(TDatabase&, TAccountRecord& account,
                                          const TOperationRecord& other_half) override {
    searched_amount = other_half.amount;
    for (TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
      if (op.label == "downloaded") return &op;
    }
    return nullptr;
  }
  double searched_amount = 0;
};

TEST_F(TransferTest, AnOperationTheDuplicateSearchFindsIsReplacedByTheOtherHalf) {
  TAccountRecord& euros = AddAccount("Euros");
  TAccountRecord& francs = AddAccount("Francs", kCurrentAccount, "FRF");
  TProjectRecord& project = AddProject("Travaux");
  AddOp(euros, "10/01/2024", -10, "typed");
  TOperationRecord& downloaded = AddOp(francs, "11/01/2024", 65.59, "downloaded", kDownloaded);
  downloaded.bank_reference = "REF9";
  downloaded.complementary_label = "banque";
  downloaded.project = project.id;
  db_->ModifyOperation(downloaded);
  TFakeDuplicates duplicates;
  List().SetDuplicateFinder(&duplicates);
  Show(euros);
  ASSERT_TRUE(Rule().Choose(RowOf("typed"), &francs));
  EXPECT_DOUBLE_EQ(duplicates.searched_amount, 65.60);
  const TReopened r = Reopen();
  ASSERT_EQ(r.Operations("Francs").size(), 1u);
  const TOperationRecord& half = *r.Operations("Francs")[0];
  EXPECT_EQ(half.kind, kOpTransferIn);
  EXPECT_EQ(half.label, "downloaded");
  EXPECT_EQ(half.complementary_label, "banque");
  EXPECT_EQ(half.bank_reference, "REF9");
  EXPECT_EQ(half.project, project.id);
  // Out of a euro account into another currency: the bank's amount wins.
  EXPECT_DOUBLE_EQ(half.amount, 65.59);
  EXPECT_EQ(r.Op("Euros", "typed").category, half.id);
}

}  // namespace
}  // namespace ledgora::testing
