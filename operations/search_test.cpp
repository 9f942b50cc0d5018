// Search: label and amount, both directions, the list's filters, all
// accounts with wrap-around.
#include <gtest/gtest.h>

#include "operations/search.h"
#include "operations/test_operations_env.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

class SearchTest : public TOperationsTest {
 protected:
  void SetUp() override {
    TOperationsTest::SetUp();
    platform::ProfileWriteInt("Setup", "Filter", 0);
    a_ = &AddAccount("A");
    b_ = &AddAccount("B");
    c_ = &AddAccount("C");
    AddOp(*a_, "01/06/2024", -12.5, "BOULANGERIE");
    AddOp(*a_, "02/06/2024", 12.5, "Remboursement");
    AddOp(*a_, "03/06/2024", -30, "ÉPICERIE du coin");
    AddOp(*b_, "01/06/2024", -7, "CINEMA");
    AddOp(*c_, "01/06/2024", -9, "CINEMA PLEIN AIR");
    AddOp(*c_, "02/06/2024", -9, "BOULANGERIE", kPointed);
    Show(*a_);
  }
  TSearchSettings Down(bool all = false) { return {false, false, all}; }
  TSearchSettings Up(bool all = false) { return {true, false, all}; }
  std::string Found(const TSearchResult& r) {
    if (!r.found) return r.status;
    return r.account->name + ":" + r.op->label;
  }
  TAccountRecord* a_ = nullptr;
  TAccountRecord* b_ = nullptr;
  TAccountRecord* c_ = nullptr;
};

TEST_F(SearchTest, AmountFindsDebitAndCredit) {
  List().Select(List().RowCount() - 1);  // the new-entry line: from the first going down
  EXPECT_EQ(Found(SearchAmount(List(), "12,50", Down())), "A:BOULANGERIE");
  EXPECT_EQ(Found(SearchAmount(List(), "12,50", Down())), "A:Remboursement");
  EXPECT_EQ(Found(SearchAmount(List(), "12,50", Down())), "Montant non trouvé...");
  EXPECT_EQ(Found(SearchAmount(List(), "-12,5", Up())), "A:BOULANGERIE");
  EXPECT_FALSE(SearchAmount(List(), "  ", Up()).searched);
}

TEST_F(SearchTest, LabelCaseAndSettings) {
  List().Select(List().RowCount() - 1);
  // Going up from no selection starts at the last operation.
  EXPECT_EQ(Found(SearchLabel(List(), "épicerie", Up())), "A:ÉPICERIE du coin");
  EXPECT_EQ(List().Selected(), RowOf("ÉPICERIE du coin"));
  EXPECT_EQ(Found(SearchLabel(List(), "boulang", Up())), "A:BOULANGERIE");
  EXPECT_EQ(Found(SearchLabel(List(), "boulang", {false, true, false})), "Libellé non trouvé...");
  // "&Suivant" stored the three settings; an empty text does nothing.
  const TSearchSettings stored = TSearchSettings::Load();
  EXPECT_FALSE(stored.up);
  EXPECT_TRUE(stored.case_sensitive);
  EXPECT_FALSE(SearchLabel(List(), "", Up(true)).searched);
  EXPECT_TRUE(TSearchSettings::Load().case_sensitive);
}

TEST_F(SearchTest, ComplementaryLabelIsPartOfTheText) {
  TOperationRecord& op = AddOp(*a_, "04/06/2024", -1, "CB");
  op.complementary_label = "Librairie";
  db_->ModifyOperation(op);
  Show(*a_);
  List().Select(0);
  EXPECT_EQ(Found(SearchLabel(List(), "CB / LIB", Down())), "A:CB");
}

TEST_F(SearchTest, AllAccountsWrapAroundAndRespectTheFilter) {
  platform::ProfileWriteInt("Setup", "Filter", 2);  // "Opérations non pointées"
  list_.reset();
  Show(*b_);
  List().Select(0);  // CINEMA
  // Down: B has nothing after it, C is next.
  TSearchResult r = SearchLabel(List(), "cinema", Down(true));
  EXPECT_EQ(Found(r), "C:CINEMA PLEIN AIR");
  EXPECT_EQ(db_->CurrentAccount(), c_);
  EXPECT_EQ(List().Selected(), r.row);
  EXPECT_EQ(List().OperationAt(List().Selected())->label, "CINEMA PLEIN AIR");
  // From C going down the search wraps to A; the pointed one of C is skipped.
  EXPECT_EQ(Found(SearchLabel(List(), "boulangerie", Down(true))), "A:BOULANGERIE");
  // Up from A wraps round to C, then B; coming back to A ends it.
  EXPECT_EQ(Found(SearchLabel(List(), "CINEMA", Up(true))), "C:CINEMA PLEIN AIR");
  EXPECT_EQ(Found(SearchLabel(List(), "CINEMA", Up(true))), "B:CINEMA");
  EXPECT_EQ(Found(SearchLabel(List(), "PLEIN AIR", Up(true))), "C:CINEMA PLEIN AIR");
  // Nothing anywhere: one full turn, then the not-found text; the account stays.
  EXPECT_EQ(Found(SearchLabel(List(), "introuvable", Down(true))), "Libellé non trouvé...");
  EXPECT_EQ(db_->CurrentAccount(), c_);
  // Without all accounts the search stops at the end of the account.
  EXPECT_EQ(Found(SearchLabel(List(), "BOULANGERIE", Down())), "Libellé non trouvé...");
}

}  // namespace
}  // namespace ledgora::testing
