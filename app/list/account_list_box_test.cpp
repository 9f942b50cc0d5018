// The list window against the core list: the model's rows and texts, the
// columns of a current and a card account, the footer, the displays, the
// keys, a drop from the side panes and the relay of the refresh bits.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QHeaderView>
#include <QTest>

#include "app/list/account_list_model.h"
#include "app/list/account_list_view.h"
#include "app/list/list_footer_bar.h"
#include "app/list/list_pictures.h"
#include "app/list/side_panes.h"
#include "app/list/test_list_env.h"
#include "eurolib/orveuro32.h"
#include "operations/refresh.h"

namespace ledgora::testing {
namespace {

class ListBoxTest : public TListWindowTest {
 protected:
  void SetUp() override {
    TListWindowTest::SetUp();
    food_ = &AddCategory("Alimentation");
    market_ = &AddCategory("Marché", true, food_);
    salary_ = &AddCategory("Salaire", false);
    account_ = &AddAccount("Courant", kCurrentAccount, "EUR", 100);
    savings_ = &AddAccount("Livret", 2, "EUR");
    AddOp(*account_, "02/01/2024", -30, "courses", kPointed).category = market_->id;
    TOperationRecord& pay = AddOp(*account_, "05/01/2024", 2000, "paie", kDownloaded);
    pay.category = salary_->id;
    pay.complementary_label = "janvier";
    TOperationRecord& out = AddOp(*account_, "06/01/2024", -2500, "épargne");
    out.kind = kOpTransferOut;
    out.linked_account = savings_->id;
    TOperationRecord& us = AddOp(*account_, "07/01/2024", -12.5, "livre");
    us.source_amount = "24,45 DEM";
    db_->ModifyOperation(us);
  }
  // Every cell of the model as the core list writes it.
  void ExpectModelMatchesList() {
    TAccountListModel& model = Box().Model();
    TOperationList& list = Box().List();
    ASSERT_EQ(model.rowCount(), static_cast<int>(list.RowCount()));
    ASSERT_EQ(model.columnCount(), 8);
    for (int r = 0; r < model.rowCount(); ++r) {
      const TRowTexts t = list.Texts(static_cast<std::size_t>(r));
      for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(model.index(r, c).data().toString().toStdString(),
                  t.cells[static_cast<std::size_t>(c)])
            << "row " << r << " column " << c;
      }
      EXPECT_EQ(model.index(r, 3).data(TAccountListModel::MarkRole).toInt(),
                static_cast<int>(t.mark));
    }
  }
  TCategoryRecord* food_ = nullptr;
  TCategoryRecord* market_ = nullptr;
  TCategoryRecord* salary_ = nullptr;
  TAccountRecord* account_ = nullptr;
  TAccountRecord* savings_ = nullptr;
};

TEST_F(ListBoxTest, TheModelShowsTheCoreRowsColumnsAndFooter) {
  TAccountListBox& box = Show(*account_);
  TAccountListModel& model = box.Model();
  ExpectModelMatchesList();
  // Four operations and the new-entry line.
  ASSERT_EQ(model.rowCount(), 5);
  EXPECT_EQ(model.index(0, 2).data().toString(),
            QString::fromUtf8("courses\nAlimentation : Marché"));
  EXPECT_EQ(model.index(1, 2).data(TAccountListModel::LabelLineRole).toString(),
            QString::fromUtf8("paie / janvier"));
  EXPECT_EQ(model.index(2, 2).data(TAccountListModel::ClassificationRole).toString(),
            QString::fromUtf8("Virement vers Livret"));
  EXPECT_EQ(model.index(0, 3).data(TAccountListModel::MarkRole).toInt(),
            static_cast<int>(TPointingMark::Pointed));
  EXPECT_FALSE(model.index(0, 3).data(Qt::DecorationRole).value<QPixmap>().isNull());
  EXPECT_EQ(model.index(1, 5).data().toString(), QString::fromUtf8("2 000,00"));
  EXPECT_EQ(model.index(4, 2).data().toString(), QString::fromUtf8("Nouveau..."));
  EXPECT_TRUE(model.index(4, 2).data(TAccountListModel::NewEntryRole).toBool());
  // The detailed tip is the source amount; the running balance of the
  // transfer is negative, in the warning colour.
  EXPECT_EQ(model.index(3, 2).data(Qt::ToolTipRole).toString(), QString::fromUtf8("24,45 DEM"));
  EXPECT_EQ(model.index(3, 2).data(TAccountListModel::SourceAmountRole).toString(),
            QString::fromUtf8("Mnt origine : 24,45 DEM"));
  // The flag of the currency of origin, from the currency library.
  const uint icon = model.index(3, 2).data(TAccountListModel::OriginIconRole).toUInt();
  EXPECT_GE(icon, kFirstIconBitmap);
  EXPECT_LE(icon, kLastIconBitmap);
  EXPECT_FALSE(CurrencyLibraryBitmap(icon).isNull());
  EXPECT_EQ(model.index(2, 2).data(TAccountListModel::OriginIconRole).toUInt(), 0u);
  EXPECT_EQ(model.index(2, 7).data().toString(), QString::fromUtf8("-430,00"));
  EXPECT_EQ(model.index(2, 7).data(Qt::ForegroundRole).value<QColor>(),
            TAccountListModel::WarningColour());
  EXPECT_FALSE(model.index(1, 7).data(Qt::ForegroundRole).isValid());
  // Titles, the counter-value column of a euro account, the row height.
  EXPECT_EQ(model.headerData(4, Qt::Horizontal).toString(), QString::fromUtf8("Débit"));
  EXPECT_EQ(model.headerData(6, Qt::Horizontal).toString(), QString::fromUtf8("Soit FRF"));
  EXPECT_FALSE(box.View().isColumnHidden(5));
  EXPECT_FALSE(box.View().isColumnHidden(6));
  EXPECT_EQ(box.View().rowHeight(0), 37);
  EXPECT_EQ(box.View().columnWidth(2), 300);
  EXPECT_EQ(box.Footer().CurrencyText(), QString::fromUtf8("Devise du compte : EUR"));
  EXPECT_EQ(box.Footer().FigureLabel(), QString::fromUtf8("Solde du compte : "));
  EXPECT_EQ(box.Footer().FigureText(), QString::fromUtf8("-442,50"));
  EXPECT_TRUE(box.Footer().FigureInWarningColour());
  EXPECT_FALSE(box.Footer().FigureToolTip().isEmpty());
  EXPECT_EQ(box.ContextName(), QString::fromUtf8("TAccountListBox-Courant"));

  // The condensed display: one line, the label as the tip; then the total of
  // the rows shown in the footer.
  box.RunViewCommand(TViewCommand::Condensed);
  EXPECT_EQ(box.View().rowHeight(0), 19);
  EXPECT_EQ(model.index(0, 2).data().toString(), QString::fromUtf8("Alimentation : Marché"));
  EXPECT_EQ(model.index(1, 2).data(Qt::ToolTipRole).toString(),
            QString::fromUtf8("paie / janvier"));
  ExpectModelMatchesList();
  box.RunViewCommand(TViewCommand::ToggleTotal);
  EXPECT_EQ(box.Footer().FigureLabel(), QString::fromUtf8("Total des opérations : "));
  EXPECT_EQ(box.Footer().FigureText(), QString::fromUtf8("-542,50"));
  EXPECT_TRUE(box.Footer().FigureToolTip().isEmpty());
  // Display filter "non pointées" hides the Pointed row.
  box.RunViewCommand(TViewCommand::FilterNotPointed);
  EXPECT_EQ(model.rowCount(), 4);
  ExpectModelMatchesList();
  box.RunViewCommand(TViewCommand::ToggleProjects);
  EXPECT_TRUE(box.View().isColumnHidden(0));
  box.RunViewCommand(TViewCommand::ToggleCounterValueColumn);
  EXPECT_TRUE(box.View().isColumnHidden(6));
}

TEST_F(ListBoxTest, ACardAccountHasOneAmountColumnTitledMontant) {
  TAccountRecord& card = AddAccount("Carte", kCardAccount, "EUR");
  AddOp(card, "03/01/2024", -40, "essence");
  TAccountListBox& box = Show(card);
  EXPECT_EQ(box.Model().headerData(4, Qt::Horizontal).toString(), QString::fromUtf8("Montant"));
  EXPECT_TRUE(box.View().isColumnHidden(5));
  EXPECT_EQ(box.Model().index(0, 4).data().toString(), QString::fromUtf8("40,00"));
  EXPECT_EQ(box.Footer().FigureLabel(), QString::fromUtf8("Montant encours : "));
  EXPECT_EQ(box.ContextName(), QString::fromUtf8("TAccountListBox-Encours"));
  // An account in dollars has no counter-value column.
  TAccountRecord& usd = AddAccount("Dollars", kCurrentAccount, "USD");
  box.SelectAccount(&usd);
  EXPECT_TRUE(box.View().isColumnHidden(6));
  EXPECT_EQ(box.Model().rowCount(), 1);
}

TEST_F(ListBoxTest, SpacePointsTheRowAndTheUndoTextFollows) {
  TAccountListBox& box = Show(*account_);
  const int row = RowOf("livre");
  box.SelectRow(row);
  box.View().setFocus();
  QTest::keyClick(&box.View(), Qt::Key_Space);
  EXPECT_EQ(Reopen().Op("livre")->pointing, kPointed);
  EXPECT_EQ(box.Model().index(row, 3).data(TAccountListModel::MarkRole).toInt(),
            static_cast<int>(TPointingMark::Pointed));
  EXPECT_EQ(box.UndoText(), QString::fromUtf8("&Annuler modification opération\tCtrl+Z"));
  box.Undo();
  EXPECT_EQ(Reopen().Op("livre")->pointing, kNotPointed);
  EXPECT_EQ(box.UndoText(), QString::fromUtf8("Impossible d'&annuler\tCtrl+Z"));
}

TEST_F(ListBoxTest, DeleteKeyAsksTheQuestionAndNoKeepsTheOperation) {
  TAccountListBox& box = Show(*account_);
  box.SelectRow(RowOf("livre"));
  port_.Answer(TButton::No);
  QTest::keyClick(&box.View(), Qt::Key_Delete);
  EXPECT_EQ(port_.LastMessage(), "Souhaitez-vous supprimer cette opération ?");
  EXPECT_NE(Reopen().Op("livre"), nullptr);
  port_.Answer(TButton::Yes);
  QTest::keyClick(&box.View(), Qt::Key_Delete);
  EXPECT_EQ(Reopen().Op("livre"), nullptr);
  EXPECT_EQ(box.Model().rowCount(), 4);
  // The selection keeps its row index: now the new-entry line.
  EXPECT_EQ(box.CurrentRow(), 3);
  EXPECT_EQ(box.View().currentIndex().row(), 3);
  ExpectModelMatchesList();
}

// A drop on a row of the view, as the mouse would deliver it.
void DropOn(TAccountListView& view, int row, QMimeData* mime) {
  const QPoint at = view.visualRect(view.model()->index(row, 2)).center();
  // The enter makes the viewport the drag's target, as a real drag does.
  QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view.viewport(), &enter);
  QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(view.viewport(), &drop);
  delete mime;
}

TEST_F(ListBoxTest, DroppingFromTheSidePanesAppliesTheDropRule) {
  TProjectRecord& house = AddProject("Maison");
  TAccountListBox& box = Show(*account_);
  TCategoryPane categories(*db_);
  TProjectPane projects(*db_);
  ASSERT_NE(categories.ItemOf(salary_->id), nullptr);
  EXPECT_EQ(categories.ItemOf(market_->id)->parent(), categories.ItemOf(food_->id));

  // A credit category on a debit asks first: No changes nothing.
  port_.Answer(TButton::No);
  DropOn(box.View(), RowOf("livre"), categories.MimeFor(categories.ItemOf(salary_->id)));
  EXPECT_EQ(port_.LastMessage(),
            "Attention ! Désirez-vous réellement affecter une catégorie créditrice à une "
            "opération débitrice ?");
  EXPECT_EQ(Reopen().Op("livre")->category, 0u);
  // A debit category is taken without a question.
  const std::size_t asked = port_.Messages().size();
  DropOn(box.View(), RowOf("livre"), categories.MimeFor(categories.ItemOf(market_->id)));
  EXPECT_EQ(port_.Messages().size(), asked);
  EXPECT_EQ(Reopen().Op("livre")->category, market_->id);
  EXPECT_EQ(box.Model().index(RowOf("livre"), 2).data(TAccountListModel::ClassificationRole),
            QString::fromUtf8("Alimentation : Marché"));
  // A transfer row refuses a category.
  DropOn(box.View(), RowOf("épargne"), categories.MimeFor(categories.ItemOf(market_->id)));
  EXPECT_EQ(port_.LastMessage(),
            "Vous ne pouvez pas changer la catégorie de cette opération de cette façon !");
  // A project on the new-entry line only pre-sets it; on a row it is saved.
  DropOn(box.View(), box.Model().rowCount() - 1, projects.MimeFor(projects.ItemOf(house.id)));
  EXPECT_EQ(box.List().NewEntry().project, house.id);
  DropOn(box.View(), RowOf("livre"), projects.MimeFor(projects.ItemOf(house.id)));
  EXPECT_EQ(Reopen().Op("livre")->project, house.id);
  EXPECT_EQ(box.Model().index(RowOf("livre"), 0).data().toString(), QString::fromUtf8("Maison"));
  // Something else dropped is refused by the view.
  auto* other = new QMimeData;
  other->setText("texte");
  DropOn(box.View(), RowOf("livre"), other);
  EXPECT_EQ(Reopen().Op("livre")->project, house.id);
}

TEST_F(ListBoxTest, TheRefreshBitsLeaveThroughTheSignalWhenTheMainWindowListens) {
  TAccountListBox& box = Show(*account_);
  std::vector<unsigned> relayed;
  QObject::connect(&box, &TAccountListBox::RefreshRequested, &box, [&](unsigned bits) {
    relayed.push_back(bits);
    box.Refresh(bits);  // what the main window does for its main pane
  });
  box.SelectRow(RowOf("livre"));
  box.TogglePointing();
  ASSERT_EQ(relayed.size(), 1u);
  EXPECT_EQ(relayed[0], kRefreshAfterChange);
  EXPECT_EQ(box.Model().index(RowOf("livre"), 3).data(TAccountListModel::MarkRole).toInt(),
            static_cast<int>(TPointingMark::Pointed));
}

TEST_F(ListBoxTest, TheMarkedCategoryDrivesTheCategoryFilter) {
  TAccountListBox& box = Show(*account_);
  TCategoryPane pane(*db_);
  QObject::connect(&pane, &TCategoryPane::MarkedCollapsedChanged, &box,
                   &TAccountListBox::SetCategorySelection);
  QObject::connect(&box, &TAccountListBox::CategorySelectionCleared, &pane,
                   &TCategoryPane::ClearMark);
  box.RunViewCommand(TViewCommand::FilterSelectedCategory);
  // Nothing marked: the transfer and the operation without category.
  EXPECT_EQ(box.Model().rowCount(), 3);
  // The cursor alone changes nothing.
  pane.setCurrentItem(pane.ItemOf(food_->id));
  EXPECT_EQ(box.Model().rowCount(), 3);
  // Marked, collapsed "Alimentation" stands for "Marché" too.
  pane.MarkCategory(box.List(), food_->id);
  EXPECT_TRUE(pane.ItemOf(food_->id)->font(0).bold());
  EXPECT_EQ(box.Model().rowCount(), 2);
  EXPECT_EQ(box.Model().index(0, 2).data(TAccountListModel::LabelLineRole).toString(),
            QString::fromUtf8("courses"));
  pane.expandItem(pane.ItemOf(food_->id));
  EXPECT_EQ(box.Model().rowCount(), 1);  // the new-entry line alone
  pane.collapseItem(pane.ItemOf(food_->id));
  EXPECT_EQ(box.Model().rowCount(), 2);
  // A node that is not the marked one changes nothing.
  pane.expandItem(pane.ItemOf(salary_->id));
  EXPECT_EQ(box.Model().rowCount(), 2);
  box.RunViewCommand(TViewCommand::FilterUncategorised);
  EXPECT_EQ(pane.Marked(), 0u);
  EXPECT_FALSE(pane.ItemOf(food_->id)->font(0).bold());
  ExpectModelMatchesList();
}

}  // namespace
}  // namespace ledgora::testing
