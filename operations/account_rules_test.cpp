// The account page's rules: the checks in their order, the card link, the
// RIB key, deletion with card accounts and euro twins.
#include <gtest/gtest.h>

#include <functional>

#include "operations/account_rules.h"
#include "operations/rib.h"
#include "operations/test_operations_env.h"

namespace ledgora::testing {
namespace {

struct TRibCase {
  const char* name;
  const char* bank;
  const char* branch;
  const char* number;
  const char* key;
};

class RibKeyTest : public ::testing::TestWithParam<TRibCase> {};

TEST_P(RibKeyTest, FrenchModulo97Rule) {
  const TRibCase& c = GetParam();
  EXPECT_EQ(RibKey(c.bank, c.branch, c.number), c.key);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RibKeyTest,
    ::testing::Values(TRibCase{"Digits", "30004", "00001", "00000000000", "39"},
                      TRibCase{"LetterZ", "30002", "00550", "0000157841Z", "25"},
                      TRibCase{"LetterM", "20041", "01005", "0500013M026", "06"},
                      TRibCase{"LowerCaseLetter", "20041", "01005", "0500013m026", "06"},
                      TRibCase{"EveryLetterRow", "12345", "67890", "ABCDEFGHIJK", "68"},
                      TRibCase{"ShortParts", "1", "2", "3", "66"},
                      TRibCase{"AllEmptyIsZero", "", "", "", "97"},
                      TRibCase{"NotAlphanumeric", "30004", "00-01", "00000000000", "??"},
                      TRibCase{"Accented", "30004", "00001", "0000000000é", "??"}),
    [](const auto& info) { return std::string(info.param.name); });

class AccountRulesTest : public TOperationsTest {
 protected:
  TAccountFields Current(const std::string& name, const std::string& currency = "EUR") {
    TAccountFields f;
    f.type = kCurrentAccount;
    f.name = name;
    f.currency = currency;
    f.bank_code = "30004";
    f.branch_code = "00001";
    f.account_number = "12345678901";
    return f;
  }
  TAccountFields Card(const std::string& name, std::uint32_t linked, const std::string& number) {
    TAccountFields f;
    f.type = kCardAccount;
    f.name = name;
    f.linked_account = linked;
    f.card_number = number;
    return f;
  }
  TAccountConfirmResult Confirm(const TAccountFields& f, TAccountRecord* former = nullptr) {
    port_.Clear();
    return ConfirmAccount(*db_, former, f);
  }
};

TEST_F(AccountRulesTest, ChecksComeInTheirOrder) {
  TAccountRecord& first = *Confirm(Current("Courant")).account;
  struct TCase {
    const char* name;
    std::function<void(TAccountFields&)> change;
    std::string_view message;
  };
  const TCase cases[] = {
      // Every fault at once: the type is reported first.
      {"NoType",
       [](TAccountFields& f) {
         f.type.reset();
         f.name.clear();
         f.initial_balance = "abc";
       },
       kNoAccountTypeMessage},
      {"NameBeforeBalance",
       [](TAccountFields& f) {
         f.name.clear();
         f.initial_balance = "abc";
       },
       kAccountNameRequiredMessage},
      {"Balance", [](TAccountFields& f) { f.initial_balance = "12,345"; },
       kInvalidInitialBalanceMessage},
      {"BalanceBeforeLink",
       [](TAccountFields& f) {
         f.type = kCardAccount;
         f.initial_balance = "x";
       },
       kInvalidInitialBalanceMessage},
      {"CardWithoutLink", [](TAccountFields& f) { f.type = kCardAccount; },
       kNoLinkedAccountMessage},
      {"CardLinkedToNonCurrent",
       [](TAccountFields& f) {
         f.type = kCardAccount;
         f.linked_account = 999;
       },
       kNoLinkedAccountMessage},
      {"SameNameBeforeRib", [](TAccountFields& f) { f.name = "Courant"; }, kSameAccountNameMessage},
      {"SameRib", [](TAccountFields&) {}, kSameRibMessage},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TAccountFields f = Current("Autre");
    c.change(f);
    EXPECT_EQ(Confirm(f).outcome, TAccountConfirmOutcome::Refused);
    EXPECT_EQ(port_.LastMessage(), c.message);
  }
  EXPECT_EQ(db_->Accounts().Size(), 1u);
  EXPECT_EQ(db_->CurrentAccount(), &first);
}

TEST_F(AccountRulesTest, IdentityRulesAcrossCurrenciesAndTypes) {
  TAccountRecord& eur = *Confirm(Current("Courant")).account;
  // Same RIB in another currency: accepted.
  TAccountRecord* frf = Confirm(Current("Francs", "FRF")).account;
  ASSERT_NE(frf, nullptr);
  // A deposit account may share a current account's RIB.
  TAccountFields deposit = Current("Livret");
  deposit.type = kDepositAccount;
  ASSERT_NE(Confirm(deposit).account, nullptr);
  // A card account copies the RIB and currency of its current account.
  TAccountRecord& card = *Confirm(Card("Carte", eur.id, "4970")).account;
  EXPECT_EQ(card.bank_code, "30004");
  EXPECT_EQ(card.account_number, "12345678901");
  EXPECT_EQ(card.currency, "EUR");
  // Same card number: refused in the same currency, accepted in another.
  EXPECT_EQ(Confirm(Card("Carte2", eur.id, "4970")).outcome, TAccountConfirmOutcome::Refused);
  EXPECT_EQ(port_.LastMessage(), kSameCardNumberMessage);
  EXPECT_EQ(Confirm(Card("Carte3", frf->id, "4970")).outcome, TAccountConfirmOutcome::Added);
  // An empty card number never clashes.
  EXPECT_EQ(Confirm(Card("Carte4", eur.id, "")).outcome, TAccountConfirmOutcome::Added);
  EXPECT_EQ(Confirm(Card("Carte5", eur.id, "")).outcome, TAccountConfirmOutcome::Added);
}

TEST_F(AccountRulesTest, ModifyingMovesTheBalanceAndKeepsTheOperations) {
  TAccountFields f = Current("Courant");
  f.initial_balance = "100";
  TAccountRecord& account = *Confirm(f).account;
  AddOp(account, "01/06/2024", -30, "Achat");
  ASSERT_DOUBLE_EQ(account.balance, 70);
  db_->SetCurrentAccount(&account);
  // Renaming to its own name is no clash; the RIB is compared with the others only.
  f.initial_balance = "150,00";
  f.remark = "Compte joint";
  f.state = kAccountHidden;
  EXPECT_EQ(Confirm(f, &account).outcome, TAccountConfirmOutcome::Modified);
  EXPECT_DOUBLE_EQ(account.balance, 120);
  EXPECT_EQ(db_->CurrentAccount(), &account);
  TReopened r = Reopen();
  TAccountRecord& back = r.Account("Courant");
  EXPECT_DOUBLE_EQ(back.initial_balance, 150);
  EXPECT_DOUBLE_EQ(back.balance, 120);
  EXPECT_EQ(back.remark, "Compte joint");
  EXPECT_EQ(back.state, kAccountHidden);
  EXPECT_EQ(r.Operations("Courant").size(), 1u);
  EXPECT_EQ(AccountBarTip(account), "Compte joint [120,00 EUR]");
  EXPECT_EQ(RibText(account),
            "R.I.B. = 30004 00001 12345678901 " + RibKey("30004", "00001", "12345678901"));
}

TEST_F(AccountRulesTest, DeletionRefusesACurrentAccountWithCards) {
  TAccountRecord& current = *Confirm(Current("Courant")).account;
  TAccountRecord& card = *Confirm(Card("Carte", current.id, "1")).account;
  port_.Clear();
  EXPECT_FALSE(DeleteAccountWithRules(*db_, current));
  EXPECT_EQ(port_.Messages(),
            std::vector<std::string>{std::string(kDeleteCurrentWithCardsMessage)});
  // Nor can it become another type while the card is linked to it.
  port_.Clear();
  TAccountFields deposit = FieldsOf(current);
  deposit.type = kDepositAccount;
  EXPECT_EQ(Confirm(deposit, &current).outcome, TAccountConfirmOutcome::Refused);
  EXPECT_EQ(port_.LastMessage(), kChangeTypeWithCardsMessage);
  EXPECT_EQ(current.account_type, kCurrentAccount);
  // No, then Yes for the card account; the current account may then go.
  port_.Clear();
  port_.Answer(TButton::No);
  EXPECT_FALSE(DeleteAccountWithRules(*db_, card));
  EXPECT_EQ(port_.LastMessage(), kDeleteAccountQuestion);
  port_.Answer(TButton::Yes);
  EXPECT_TRUE(DeleteAccountWithRules(*db_, card));
  port_.Answer(TButton::Yes);
  EXPECT_TRUE(DeleteAccountWithRules(*db_, current));
  EXPECT_EQ(db_->Accounts().Size(), 0u);
  EXPECT_EQ(db_->CurrentAccount(), nullptr);
}

TEST_F(AccountRulesTest, DeletingAConvertedEuroAccountBringsBackTheFormerOne) {
  TAccountRecord& francs = AddAccount("Francs", kCurrentAccount, "FRF", 0);
  francs.bank_code = "30002";
  francs.branch_code = "00550";
  francs.account_number = "0000157841Z";
  francs.state = kAccountHidden;
  db_->ModifyAccount(francs);
  AddOp(francs, "01/01/2001", 600, "Salaire");
  TOperationRecord& conversion = AddOp(francs, "02/01/2001", -600, "Mise à zéro du solde");
  conversion.kind = kOpEuroConversion;
  db_->ModifyOperation(conversion);
  TAccountRecord& euros = AddAccount("Euros", kCurrentAccount, "EUR", 91.47);
  euros.euro_twin = francs.id;
  db_->ModifyAccount(euros);
  AddOp(euros, "03/01/2001", -10, "Achat");
  db_->SetCurrentAccount(&euros);

  port_.Clear();
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(DeleteAccountWithRules(*db_, euros));
  EXPECT_EQ(port_.LastMessage(),
            "Ce compte résulte de la conversion en euros du compte Francs [30002 00550 "
            "0000157841Z 25].\nConfirmez-vous la destruction du compte euro, de ses opérations "
            "associées et de l'opération de conversion du compte initial ?");
  EXPECT_EQ(db_->CurrentAccount(), &francs);
  TReopened r = Reopen();
  ASSERT_EQ(r.db->Accounts().Size(), 1u);
  EXPECT_EQ(r.Account("Francs").state, kAccountShown);
  ASSERT_EQ(r.Operations("Francs").size(), 1u);
  EXPECT_EQ(r.Operations("Francs")[0]->label, "Salaire");
  EXPECT_DOUBLE_EQ(r.Account("Francs").balance, 600);
}

TEST_F(AccountRulesTest, DeletingTheFormerAccountUnlinksItsEuroTwin) {
  TAccountRecord& francs = AddAccount("Francs", kCurrentAccount, "FRF");
  TAccountRecord& euros = AddAccount("Euros", kCurrentAccount, "EUR");
  euros.euro_twin = francs.id;
  db_->ModifyAccount(euros);
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(DeleteAccountWithRules(*db_, francs));
  EXPECT_EQ(port_.LastMessage(), kDeleteAccountQuestion);
  EXPECT_EQ(Reopen().Account("Euros").euro_twin, 0u);
}

TEST_F(AccountRulesTest, BarArrowsSkipAccountsNotShown) {
  TAccountRecord& a = AddAccount("A");
  TAccountRecord& b = AddAccount("B");
  TAccountRecord& c = AddAccount("C");
  b.state = kAccountClosed;
  EXPECT_EQ(NextShownAccount(*db_, &a, true), &c);
  EXPECT_EQ(NextShownAccount(*db_, &c, false), &a);
  EXPECT_EQ(NextShownAccount(*db_, &c, true), nullptr);
  EXPECT_EQ(NextShownAccount(*db_, nullptr, false), &c);
  const auto rows = LinkedAccountChoices(*db_);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].row, std::string("A") + std::string(49, ' ') + std::to_string(a.id));
}

}  // namespace
}  // namespace ledgora::testing
