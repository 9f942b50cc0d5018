// The rows, balances, filters, texts, columns and footer of the operation list.
#include <gtest/gtest.h>

#include "operations/classification.h"
#include "operations/operation_list.h"
#include "operations/test_operations_env.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

std::string Cell(const TRowTexts& t, TListColumn c) {
  return t.cells[static_cast<std::size_t>(c)];
}

class OperationListTest : public TOperationsTest {};

TEST_F(OperationListTest, AnAccountWithoutOperationsShowsOnlyTheNewEntryLine) {
  TAccountRecord& a = AddAccount("Courant", kCurrentAccount, "EUR", 250);
  TOperationList& list = Show(a);
  ASSERT_EQ(list.RowCount(), 1u);
  EXPECT_TRUE(list.IsNewEntry(0));
  EXPECT_DOUBLE_EQ(list.Balance(), 250);
  EXPECT_DOUBLE_EQ(list.Total(), 0);
  const TRowTexts t = list.Texts(0);
  EXPECT_TRUE(t.new_entry);
  EXPECT_EQ(Cell(t, TListColumn::Classification), "Nouveau...");
  EXPECT_EQ(Cell(t, TListColumn::Date), "");
  EXPECT_EQ(Cell(t, TListColumn::Balance), "");
  EXPECT_EQ(list.ContextName(), "TAccountListBox-Courant");
}

TEST_F(OperationListTest, EqualDatesListTheLargerAmountFirstAndTheNewestLast) {
  TAccountRecord& a = AddAccount("Courant");
  AddOp(a, "10/03/2024", 50, "fifty");
  AddOp(a, "10/03/2024", 100, "hundred");
  AddOp(a, "10/03/2024", 50, "fifty-again");
  AddOp(a, "09/03/2024", -5, "earlier");
  Show(a);
  EXPECT_EQ(RowLabels(), "earlier hundred fifty fifty-again *");
}

TEST_F(OperationListTest, RunningBalancesFollowTheListOrder) {
  TAccountRecord& a = AddAccount("Courant", kCurrentAccount, "EUR", 100);
  AddOp(a, "02/01/2024", -150, "rent");
  AddOp(a, "01/01/2024", 20, "gift");
  TOperationList& list = Show(a);
  EXPECT_EQ(Cell(list.Texts(RowOf("gift")), TListColumn::Balance), "120,00");
  const TRowTexts rent = list.Texts(RowOf("rent"));
  EXPECT_EQ(Cell(rent, TListColumn::Balance), "-30,00");
  EXPECT_EQ(rent.balance_colour, TListColour::Warning);
  EXPECT_EQ(Cell(rent, TListColumn::Debit), "150,00");
  EXPECT_EQ(Cell(list.Texts(RowOf("gift")), TListColumn::Credit), "20,00");
  EXPECT_DOUBLE_EQ(list.Balance(), -30);
  EXPECT_DOUBLE_EQ(a.balance, -30);
}

TEST_F(OperationListTest, ACardAccountShowsSpendingPositiveAndSkipsPointedOperations) {
  TAccountRecord& card = AddAccount("Carte", kCardAccount);
  AddOp(card, "01/02/2024", -25, "shop");
  AddOp(card, "02/02/2024", -75, "settled", kPointed);
  AddOp(card, "03/02/2024", 10, "refund");
  platform::ProfileWriteInt("Setup", "Filter", 0);
  TOperationList& list = Show(card);
  EXPECT_EQ(list.ContextName(), "TAccountListBox-Encours");
  const std::vector<TListColumnInfo> columns = list.Columns();
  EXPECT_EQ(columns[4].title, "Montant");
  EXPECT_FALSE(columns[5].visible);
  EXPECT_EQ(Cell(list.Texts(RowOf("shop")), TListColumn::Debit), "25,00");
  EXPECT_EQ(Cell(list.Texts(RowOf("shop")), TListColumn::Balance), "25,00");
  EXPECT_EQ(Cell(list.Texts(RowOf("refund")), TListColumn::Debit), "-10,00");
  EXPECT_EQ(Cell(list.Texts(RowOf("refund")), TListColumn::Credit), "");
  // A Pointed card operation has no running balance of its own.
  EXPECT_FALSE(list.Row(RowOf("settled")).has_balance);
  EXPECT_EQ(Cell(list.Texts(RowOf("settled")), TListColumn::Balance), "");
  EXPECT_DOUBLE_EQ(list.Balance(), 15);
  // The total of the rows shown counts every row, negated.
  EXPECT_DOUBLE_EQ(list.Total(), 90);
  const TListFooter footer = list.Footer();
  EXPECT_EQ(footer.figure_label, "Montant encours : ");
  EXPECT_EQ(footer.figure_text, "15,00");
}

// --- Display filters ----------------------------------------------------------------------

struct TFilterCase {
  const char* name;
  TDisplayFilter filter;
  const char* selected;  // category name, "" for none
  bool collapsed;
  const char* rows;
};

class DisplayFilterTest : public TOperationsTest,
                          public ::testing::WithParamInterface<TFilterCase> {
 protected:
  void SetUp() override {
    TOperationsTest::SetUp();
    food_ = &AddCategory("Alimentation");
    groceries_ = &AddCategory("Courses", true, food_);
    leisure_ = &AddCategory("Loisirs");
    salary_ = &AddCategory("Salaire", false);
    account_ = &AddAccount("Courant", kCurrentAccount, "EUR", 1000);
    TAccountRecord& savings = AddAccount("Epargne");
    const auto categorised = [&](const char* date, double amount, const char* label,
                                 std::uint16_t pointing, std::uint32_t category) {
      TOperationRecord& op = AddOp(*account_, date, amount, label, pointing);
      op.category = category;
      db_->ModifyOperation(op);
      return &op;
    };
    categorised("01/01/2024", -10, "A", kNotPointed, groceries_->id);
    categorised("02/01/2024", -20, "B", kDownloaded, 0);
    categorised("03/01/2024", -30, "C", kPointed, food_->id);
    categorised("04/01/2024", 40, "D", kTicked, salary_->id);
    MakeSplit(*categorised("05/01/2024", -50, "S", kNotPointed, 0),
              {{groceries_->id, 30}, {leisure_->id, 20}});
    // A transfer half whose complement identifier happens to equal a
    // category's identifier.
    TOperationRecord* t = categorised("06/01/2024", -60, "T", kNotPointed, food_->id);
    t->kind = kOpTransferOut;
    t->linked_account = savings.id;
    db_->ModifyOperation(*t);
    TOperationRecord* e = categorised("07/01/2024", -5, "E", kNotPointed, 0);
    e->kind = kOpCardStatement;
    db_->ModifyOperation(*e);
  }
  std::uint32_t IdOf(const std::string& name) {
    for (TCategoryRecord* c : {food_, groceries_, leisure_, salary_}) {
      if (c->name == name) return c->id;
    }
    return 0;
  }
  TCategoryRecord* food_ = nullptr;
  TCategoryRecord* groceries_ = nullptr;
  TCategoryRecord* leisure_ = nullptr;
  TCategoryRecord* salary_ = nullptr;
  TAccountRecord* account_ = nullptr;
};

TEST_P(DisplayFilterTest, SelectsTheRows) {
  const TFilterCase& c = GetParam();
  TOperationList& list = List();
  list.Settings().filter = c.filter;
  list.SetCategorySelection({IdOf(c.selected), c.collapsed});
  Show(*account_);
  EXPECT_EQ(RowLabels(), c.rows);
  // Filters never change the balance.
  EXPECT_DOUBLE_EQ(list.Balance(), 865);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, DisplayFilterTest,
    ::testing::Values(
        TFilterCase{"Complete", TDisplayFilter::Complete, "", false, "A B C D S T E *"},
        TFilterCase{"DownloadedOnly", TDisplayFilter::DownloadedOnly, "", false, "B *"},
        TFilterCase{"NotPointedKeepsTicked", TDisplayFilter::NotPointedOnly, "", false,
                    "A B D S T E *"},
        TFilterCase{"PointedOnly", TDisplayFilter::PointedOnly, "", false, "C *"},
        TFilterCase{"Uncategorised", TDisplayFilter::Uncategorised, "", false, "B *"},
        TFilterCase{"NoCategorySelected", TDisplayFilter::SelectedCategory, "", false, "B S T E *"},
        TFilterCase{"SubCategory", TDisplayFilter::SelectedCategory, "Courses", false, "A S *"},
        TFilterCase{"CollapsedNodeTakesItsChildren", TDisplayFilter::SelectedCategory,
                    "Alimentation", true, "A C S *"},
        TFilterCase{"ExpandedNodeAlone", TDisplayFilter::SelectedCategory, "Alimentation", false,
                    "C *"},
        TFilterCase{"CreditCategory", TDisplayFilter::SelectedCategory, "Salaire", true, "D *"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DisplayFilterTest, ASplitUnderTheCategoryFilterShowsItsPartialFigures) {
  platform::ProfileWriteInt("Setup", "Filter", 3);
  platform::ProfileWriteInt("Setup", "ModeSolde", 0);
  TOperationList& list = List();
  list.SetCategorySelection({food_->id, true});
  Show(*account_);
  const std::size_t row = RowOf("S");
  EXPECT_TRUE(list.Row(row).partial);
  EXPECT_DOUBLE_EQ(list.Row(row).partial_amount, 30);
  const TRowTexts t = list.Texts(row);
  EXPECT_EQ(t.classification, "Opération Ventilée Filtrée");
  EXPECT_EQ(Cell(t, TListColumn::Debit), "30,00");
  // 30 EUR in francs.
  EXPECT_EQ(Cell(t, TListColumn::CounterValue), "-196,79");
  EXPECT_DOUBLE_EQ(list.Total(), -10 - 30 - 30);
  EXPECT_EQ(list.Footer().figure_label, "Total des opérations : ");
  EXPECT_EQ(list.Footer().figure_text, "-70,00");
  // Without a selection the split is whole again.
  list.SetCategorySelection({});
  EXPECT_EQ(list.Texts(RowOf("S")).classification, "Opération Ventilée");
  EXPECT_EQ(Cell(list.Texts(RowOf("S")), TListColumn::Debit), "50,00");
}

// --- The general filter -------------------------------------------------------------------

struct TGeneralCase {
  const char* name;
  TGeneralFilterTexts texts;
  const char* rows;
};

class GeneralFilterListTest : public TOperationsTest,
                              public ::testing::WithParamInterface<TGeneralCase> {};

TEST_P(GeneralFilterListTest, SelectsTheRows) {
  TAccountRecord& a = AddAccount("Courant");
  AddOp(a, "01/01/2024", -150, "Loyer");
  AddOp(a, "02/01/2024", -100, "Gaz");
  AddOp(a, "03/01/2024", 0, "Rien");
  TOperationRecord& shop = AddOp(a, "04/01/2024", -12.5, "Carte");
  shop.complementary_label = "supermarché";
  db_->ModifyOperation(shop);
  AddOp(a, "05/01/2024", 2000, "Salaire");
  platform::ProfileWriteInt("Setup", "Filter", 0);
  TGeneralFilter::FromTexts(GetParam().texts, true).Store();
  Show(a);
  EXPECT_EQ(RowLabels(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, GeneralFilterListTest,
    ::testing::Values(
        TGeneralCase{"NoBound", {}, "Loyer Gaz Rien Carte Salaire *"},
        TGeneralCase{"SignedAmountBounds", {"", "", "-100", "0", ""}, "Gaz Rien Carte *"},
        TGeneralCase{
            "InclusiveDates", {"02/01/2024", "04/01/2024", "", "", ""}, "Gaz Rien Carte *"},
        TGeneralCase{"FragmentInCapitalsMatchesLowerCase", {"", "", "", "", "LOY"}, "Loyer *"},
        TGeneralCase{"FragmentInTheComplementaryLabel", {"", "", "", "", "SUPERMARCHÉ"}, "Carte *"},
        TGeneralCase{"UnreadableDateIsNoBound",
                     {"99/99/2024", "", "", "", ""},
                     "Loyer Gaz Rien Carte Salaire *"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Texts and marks ----------------------------------------------------------------------

TEST_F(OperationListTest, ClassificationTextsOfEveryKind) {
  TCategoryRecord& food = AddCategory("Alimentation");
  TCategoryRecord& groceries = AddCategory("Courses", true, &food);
  TAccountRecord& a = AddAccount("Courant", kCurrentAccount, "FRF");
  TAccountRecord& savings = AddAccount("Epargne");
  struct TKindCase {
    const char* label;
    std::uint32_t kind;
    std::uint32_t category;
    std::uint32_t linked;
    const char* text;
  };
  const TKindCase cases[] = {
      {"sub", kOpNormal, groceries.id, 0, "Alimentation : Courses"},
      {"top", kOpNormal, food.id, 0, "Alimentation"},
      {"none", kOpNormal, 0, 0, "Divers"},
      {"split", kOpSplit, 0, 0, "Opération Ventilée"},
      {"card", kOpCardStatement, 0, 0, "Relevé Carte"},
      {"out", kOpTransferOut, 0, savings.id, "Virement vers Epargne"},
      {"in", kOpTransferIn, 0, 999, "Virement reçu de ???"},
      {"conversion", kOpEuroConversion, 0, 0, "Conversion du compte de FRF en EUR"},
  };
  for (const TKindCase& c : cases) {
    TOperationRecord& op = AddOp(a, "01/01/2024", -1, c.label);
    op.kind = c.kind;
    op.category = c.category;
    op.linked_account = c.linked;
    db_->ModifyOperation(op);
  }
  platform::ProfileWriteInt("Setup", "Filter", 0);
  TOperationList& list = Show(a);
  for (const TKindCase& c : cases) {
    EXPECT_EQ(list.Texts(RowOf(c.label)).classification, c.text) << c.label;
  }
}

TEST_F(OperationListTest, DetailedAndCondensedRowsCarryTheirTextsAndMarks) {
  TAccountRecord& a = AddAccount("Courant");
  TProjectRecord& holiday = AddProject("Vacances");
  TOperationRecord& op = AddOp(a, "05/03/2024", -12, "Hotel", kDownloaded);
  op.complementary_label = "Rome";
  op.source_amount = "13,40 USD";
  op.project = holiday.id;
  db_->ModifyOperation(op);
  AddOp(a, "06/03/2024", -1, "ticked", kTicked);
  platform::ProfileWriteInt("Setup", "Filter", 0);
  TOperationList& list = Show(a);
  TRowTexts t = list.Texts(RowOf("Hotel"));
  EXPECT_EQ(Cell(t, TListColumn::Project), "Vacances");
  EXPECT_EQ(Cell(t, TListColumn::Date), "05/03/2024");
  EXPECT_EQ(t.label_line, "Hotel / Rome");
  EXPECT_EQ(Cell(t, TListColumn::Classification), "Hotel / Rome\nDivers");
  EXPECT_EQ(t.source_amount_line, "Mnt origine : 13,40 USD");
  EXPECT_EQ(t.origin_icon, 9104);
  EXPECT_EQ(t.mark, TPointingMark::Downloaded);
  EXPECT_EQ(list.ToolTip(RowOf("Hotel")), "13,40 USD");
  // Ticked shows only while the account is being pointed.
  EXPECT_EQ(list.Texts(RowOf("ticked")).mark, TPointingMark::None);
  TFakePointing pointing;
  pointing.account_id = a.id;
  list.SetPointingSession(&pointing);
  EXPECT_EQ(list.Texts(RowOf("ticked")).mark, TPointingMark::Ticked);

  list.Settings().layout = TRowLayout::Condensed;
  t = list.Texts(RowOf("Hotel"));
  EXPECT_EQ(Cell(t, TListColumn::Classification), "Divers");
  EXPECT_EQ(t.source_amount_line, "");
  EXPECT_EQ(t.origin_icon, 0);
  EXPECT_EQ(list.ToolTip(RowOf("Hotel")), "Hotel / Rome");
  list.Settings().condensed_tooltips = false;
  EXPECT_EQ(list.ToolTip(RowOf("Hotel")), "");
  EXPECT_EQ(list.Settings().RowHeight(), 19);
}

TEST_F(OperationListTest, ColumnsAndTheirTitles) {
  TAccountRecord& a = AddAccount("Courant");
  TOperationList& list = Show(a);
  std::vector<TListColumnInfo> c = list.Columns();
  ASSERT_EQ(c.size(), kListColumnCount);
  const char* titles[] = {"Projet", "Date",   "Classement", "P",
                          "Débit",  "Crédit", "Soit FRF",   "Solde"};
  const int widths[] = {120, 70, 300, 25, 70, 70, 70, 75};
  for (std::size_t i = 0; i < kListColumnCount; ++i) {
    EXPECT_EQ(c[i].title, titles[i]);
    EXPECT_EQ(c[i].width, widths[i]);
    EXPECT_TRUE(c[i].visible) << i;
  }
  list.Settings().project_column = false;
  list.Settings().counter_value_column = false;
  c = list.Columns();
  EXPECT_FALSE(c[0].visible);
  EXPECT_FALSE(c[6].visible);
}

// --- Counter-values -----------------------------------------------------------------------

struct TCounterCase {
  const char* name;
  const char* currency;
  std::uint16_t type;
  double amount;
  const char* source;
  bool column_setting;
  const char* title;  // "" when the column is hidden
  const char* cell;
};

class CounterValueColumnTest : public TOperationsTest,
                               public ::testing::WithParamInterface<TCounterCase> {};

TEST_P(CounterValueColumnTest, ShowsTheLibrarysConversion) {
  const TCounterCase& c = GetParam();
  platform::ProfileWriteInt("Setup", "AffColContreval", c.column_setting ? 1 : 0);
  platform::ProfileWriteInt("Setup", "Filter", 0);
  TAccountRecord& a = AddAccount("Compte", c.type, c.currency);
  TOperationRecord& op = AddOp(a, "01/01/2024", c.amount, "op");
  op.source_amount = c.source;
  db_->ModifyOperation(op);
  TOperationList& list = Show(a);
  const TListColumnInfo column = list.Columns()[6];
  EXPECT_EQ(column.visible, std::string(c.title) != "");
  EXPECT_EQ(column.title, c.title);
  EXPECT_EQ(Cell(list.Texts(RowOf("op")), TListColumn::CounterValue), c.cell);
}

INSTANTIATE_TEST_SUITE_P(
    Currencies, CounterValueColumnTest,
    ::testing::Values(
        TCounterCase{"EuroToFrancs", "EUR", kCurrentAccount, -10, "", true, "Soit FRF", "-65,60"},
        TCounterCase{"FrancsToEuro", "FRF", kCurrentAccount, -100, "", true, "Soit EUR", "-15,24"},
        TCounterCase{"MarksToEuro", "DEM", kDepositAccount, 100, "", true, "Soit EUR", "51,13"},
        TCounterCase{"SourceTextEndingWithTheCode", "FRF", kCurrentAccount, -100, "-15,30 EUR",
                     true, "Soit EUR", "-15,30"},
        TCounterCase{"SourceTextInAnotherCurrency", "FRF", kCurrentAccount, -100, "12,00 USD", true,
                     "Soit EUR", "-15,24"},
        TCounterCase{"CardAccountNegated", "EUR", kCardAccount, -10, "", true, "Soit FRF", "65,60"},
        TCounterCase{"ZeroAmount", "EUR", kCurrentAccount, 0, "9,99 FRF", true, "Soit FRF", "0,00"},
        TCounterCase{"DollarsHaveNone", "USD", kCurrentAccount, -10, "", true, "", ""},
        TCounterCase{"ColumnSwitchedOff", "EUR", kCurrentAccount, -10, "", false, "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OperationListTest, CounterValuesAreKeptAndFollowAChangeOfAmount) {
  TAccountRecord& a = AddAccount("Courant", kCurrentAccount, "FRF");
  TOperationRecord& op = AddOp(a, "01/01/2024", -100, "op");
  TOperationList& list = Show(a);
  const std::uint64_t computed = hooks_.CounterValues().Computations();
  list.Refill();
  EXPECT_EQ(hooks_.CounterValues().Computations(), computed);  // kept
  op.amount = -1000;
  db_->ModifyOperation(op);
  list.Refill();
  EXPECT_EQ(Cell(list.Texts(RowOf("op")), TListColumn::CounterValue), "-152,45");
}

// --- Footer -------------------------------------------------------------------------------

TEST_F(OperationListTest, TheFooterShowsTheBalanceOrTheTotalWithItsCounterValue) {
  TAccountRecord& a = AddAccount("Courant", kCurrentAccount, "EUR", 100);
  AddOp(a, "01/01/2024", -30, "pointed", kPointed);
  AddOp(a, "02/01/2024", -20, "open");
  TOperationList& list = Show(a);  // "Opérations non pointées" by default
  TListFooter f = list.Footer();
  EXPECT_EQ(f.currency_text, "Devise du compte : EUR");
  EXPECT_EQ(f.currency_flag, 9001);
  EXPECT_EQ(f.figure_label, "Solde du compte : ");
  EXPECT_EQ(f.figure_text, "50,00");
  EXPECT_EQ(f.figure_tooltip, "327,98 FRF");
  ApplyViewCommand(list.Settings(), TViewCommand::ToggleTotal);
  list.Refill();
  f = list.Footer();
  EXPECT_EQ(f.figure_label, "Total des opérations : ");
  EXPECT_EQ(f.figure_text, "-20,00");
  EXPECT_EQ(f.figure_colour, TListColour::Warning);
  EXPECT_EQ(f.figure_tooltip, "");
  EXPECT_EQ(platform::ProfileReadInt("Setup", "ModeSolde", 1), 0);
}

TEST_F(OperationListTest, AFooterInDollarsHasNoTip) {
  TAccountRecord& a = AddAccount("Dollars", kCurrentAccount, "USD", 10);
  const TListFooter f = Show(a).Footer();
  EXPECT_EQ(f.currency_text, "Devise du compte : USD");
  EXPECT_EQ(f.currency_flag, 9006);
  EXPECT_EQ(f.figure_tooltip, "");
}

// --- Selection and the profile ------------------------------------------------------------

TEST_F(OperationListTest, TheSelectionKeepsItsIndexAndIsWrittenToTheProfile) {
  platform::ProfileWriteInt("Setup", "LigneCompteActif", 1);
  TAccountRecord& a = AddAccount("Courant");
  TOperationRecord& first = AddOp(a, "01/01/2024", -1, "one");
  AddOp(a, "02/01/2024", -2, "two");
  TOperationRecord& last = AddOp(a, "03/01/2024", -3, "three");
  db_->SetCurrentAccount(&a);
  List().Refill();
  EXPECT_EQ(List().Selected(), 1u);  // the stored row, on the first refill
  // The account by its name, as the opening of a book reads it.
  EXPECT_EQ(platform::ProfileReadText("Setup", "CompteActif", ""), "Courant");
  List().Select(2);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "LigneCompteActif", 0), 2);
  db_->DeleteOperation(last);
  EXPECT_TRUE(List().Stale());
  EXPECT_EQ(List().OperationAt(2), nullptr);
  EXPECT_EQ(List().Texts(2).label_line, "");
  List().Refill();
  EXPECT_FALSE(List().Stale());
  EXPECT_EQ(List().Selected(), 2u);  // the same index, now the new-entry line
  db_->DeleteOperation(first);
  List().Refill();
  EXPECT_EQ(List().Selected(), 1u);  // clamped to the last row
  EXPECT_EQ(platform::ProfileReadInt("Setup", "LigneCompteActif", 0), 1);
}

TEST_F(OperationListTest, WithoutAnActiveAccountTheListIsEmpty) {
  TOperationList& list = List();
  list.SelectAccount(nullptr);
  EXPECT_EQ(list.RowCount(), 0u);
  EXPECT_EQ(list.ContextName(), "TAccountListBox");
  EXPECT_EQ(list.Footer().figure_text, "");
  EXPECT_EQ(list.RecordAt(0), nullptr);
}

// --- Settings -----------------------------------------------------------------------------

TEST_F(OperationListTest, StoredSettingsAreReadBack) {
  EXPECT_EQ(TListSettings::Load().filter, TDisplayFilter::NotPointedOnly);
  EXPECT_EQ(TListSettings::Load().layout, TRowLayout::Detailed);
  platform::ProfileWriteInt("Setup", "Filter", 5);
  EXPECT_EQ(TListSettings::Load().filter, TDisplayFilter::SelectedCategory);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "Filter", 0), 3);
  platform::ProfileWriteInt("Setup", "Filter", 9);
  EXPECT_EQ(TListSettings::Load().filter, TDisplayFilter::NotPointedOnly);
  const std::pair<long, TRowLayout> layouts[] = {{2865, TRowLayout::Detailed},
                                                 {2866, TRowLayout::Condensed},
                                                 {32790, TRowLayout::Detailed},
                                                 {32791, TRowLayout::Condensed},
                                                 {7, TRowLayout::Detailed}};
  for (const auto& [value, layout] : layouts) {
    platform::ProfileWriteInt("Setup", "TypeDisplay", value);
    EXPECT_EQ(TListSettings::Load().layout, layout) << value;
  }
  platform::ProfileWriteInt("Options", "InfoBulleCondense", 0);
  EXPECT_FALSE(TListSettings::Load().condensed_tooltips);
}

TEST_F(OperationListTest, ViewCommandsStoreTheirSettingAndSayWhatFollows) {
  TListSettings s = TListSettings::Load();
  TViewCommandEffect e = ApplyViewCommand(s, TViewCommand::FilterNotPointed);
  EXPECT_FALSE(e.refill);  // already the mode
  e = ApplyViewCommand(s, TViewCommand::FilterUncategorised);
  EXPECT_TRUE(e.refill);
  EXPECT_TRUE(e.clear_category_selection);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "Filter", 0), 5);
  EXPECT_TRUE(ViewCommandChecked(s, TViewCommand::FilterUncategorised));
  e = ApplyViewCommand(s, TViewCommand::Condensed);
  EXPECT_TRUE(e.refill);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "TypeDisplay", 0), 2866);
  e = ApplyViewCommand(s, TViewCommand::ToggleProjects);
  EXPECT_TRUE(e.project_pane);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "AffColProjets", 1), 0);
  ApplyViewCommand(s, TViewCommand::ToggleCounterValueColumn);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "AffColContreval", 1), 0);
  ApplyViewCommand(s, TViewCommand::ToggleGeneralFilter);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "FiltreActif", 0), 1);
  EXPECT_EQ(ViewCommandText(TViewCommand::FilterSelectedCategory),
            "Opérations correspondant à la catégorie &sélectionnée");
}

}  // namespace
}  // namespace ledgora::testing
