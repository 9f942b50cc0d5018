// The dialogs of the list driving their rules: the general filter (its
// order checks, what it stores, the list it gives), the split dialog (the
// adjustment question), the transfer dialog and its pop-up menu.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/list/account_list_model.h"
#include "app/list/general_filter_dialog.h"
#include "app/list/list_footer_bar.h"
#include "app/list/split_dialog.h"
#include "app/list/test_list_env.h"
#include "app/list/transfer_dialog.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

// Runs act on the modal dialog of type T as soon as it shows (the command
// that opens it is running exec); closes any other modal window it finds,
// so that a wrong dialog never hangs the test.
template <class T>
void WhenModal(std::function<void(T&)> act) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (T* dialog = qobject_cast<T*>(modal)) {
      timer->stop();
      timer->deleteLater();
      act(*dialog);
      return;
    }
    if (++*tries > 200) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no such dialog";
      if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
    }
  });
  timer->start(5);
}

class ListDialogsTest : public TListWindowTest {
 protected:
  void SetUp() override {
    TListWindowTest::SetUp();
    food_ = &AddCategory("Alimentation");
    home_category_ = &AddCategory("Maison");
    account_ = &AddAccount("Courant", kCurrentAccount, "EUR", 100);
    savings_ = &AddAccount("Livret", 2, "EUR");
    AddAccount("Carte", kCardAccount, "EUR");
    AddAccount("Dollars", kCurrentAccount, "USD");
    AddOp(*account_, "02/01/2024", -100, "hyper");
    AddOp(*account_, "05/01/2024", -250, "loyer");
    AddOp(*account_, "09/01/2024", 1800, "paie");
  }
  std::string Labels() {
    std::string out;
    for (std::size_t i = 0; i < Box().List().RowCount(); ++i) {
      const TOperationRecord* op = Box().List().OperationAt(i);
      if (!out.empty()) out += ' ';
      out += op ? op->label : "*";
    }
    return out;
  }
  TCategoryRecord* food_ = nullptr;
  TCategoryRecord* home_category_ = nullptr;
  TAccountRecord* account_ = nullptr;
  TAccountRecord* savings_ = nullptr;
};

TEST_F(ListDialogsTest, TheGeneralFilterDialogChecksStoresAndFilters) {
  Show(*account_);
  Box().RunViewCommand(TViewCommand::ToggleGeneralFilter);
  bool checked = false;
  WhenModal<TGeneralFilterDialog>([&](TGeneralFilterDialog& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Filtre pour l'affichage"));
    // Dates in the wrong order: the message, and the dialog stays open.
    d.DateInfField()->setText("31/01/2024");
    d.DateSupField()->setText("01/01/2024");
    d.accept();
    EXPECT_EQ(port_.LastMessage(), "La première date doit être plus petite que la seconde !");
    EXPECT_TRUE(d.isVisible());
    d.DateInfField()->clear();
    d.DateSupField()->clear();
    d.AmountInfField()->setText("0");
    d.AmountSupField()->setText("-300");
    d.accept();
    EXPECT_EQ(port_.LastMessage(), "Le premier montant doit être plus petit que le second !");
    EXPECT_TRUE(d.isVisible());
    // The amount field's mask refuses a letter as it is typed.
    d.AmountInfField()->clear();
    QTest::keyClicks(d.AmountInfField(), "-3x00");
    EXPECT_EQ(d.AmountInfField()->text(), QString::fromUtf8("-300"));
    d.AmountSupField()->setText("0");
    d.LabelField()->setText("y");
    d.accept();
    checked = true;
  });
  Box().GeneralFilter();
  ASSERT_TRUE(checked);
  // Debits of at most 300 whose label holds a "Y": the label in capitals.
  EXPECT_EQ(platform::ProfileReadText("Setup", "LibOp", "", 50), "Y");
  EXPECT_EQ(platform::ProfileReadText("Setup", "MontantInf", "", 50), "-300");
  EXPECT_EQ(Labels(), "hyper loyer *");
  // The footer's total follows the rows shown.
  Box().RunViewCommand(TViewCommand::ToggleTotal);
  EXPECT_EQ(Box().Footer().FigureText(), QString::fromUtf8("-350,00"));
  // Cancel leaves what was stored.
  WhenModal<TGeneralFilterDialog>([](TGeneralFilterDialog& d) {
    d.LabelField()->setText("paie");
    d.reject();
  });
  Box().GeneralFilter();
  EXPECT_EQ(platform::ProfileReadText("Setup", "LibOp", "", 50), "Y");
}

TEST_F(ListDialogsTest, TheSplitDialogAsksToAdjustAndMakesTheSplit) {
  Show(*account_);
  Box().SelectRow(RowOf("hyper"));
  bool done = false;
  WhenModal<TSplitDialog>([&](TSplitDialog& d) {
    EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Ventilation d'une opération débitrice"));
    EXPECT_EQ(d.RemainingLabel()->text(), QString::fromUtf8("Reste à ventiler : 100,00"));
    // "Ajouter..." opens the line dialog with the remaining amount and the
    // category chosen above the lines.
    d.CategoryChoice()->setCurrentIndex(d.CategoryChoice()->findData(food_->id));
    WhenModal<TSplitLineDialog>([&](TSplitLineDialog& line) {
      EXPECT_EQ(line.AmountField()->text(), QString::fromUtf8("100,00"));
      EXPECT_EQ(line.CategoryField()->currentData().toUInt(), food_->id);
      line.AmountField()->setText("60");
      line.accept();
    });
    d.OpenLineDialog();
    EXPECT_EQ(d.RemainingLabel()->text(), QString::fromUtf8("Reste à ventiler : 40,00"));
    ASSERT_TRUE(d.AddLine({home_category_->id, 39.99, {}}));
    EXPECT_EQ(d.Lines()->rowCount(), 2);
    EXPECT_EQ(d.Lines()->item(1, 0)->text(), QString::fromUtf8("Maison"));
    // 0.01 remains: No goes back to the dialog, Yes adds the line.
    port_.Answer(TButton::No);
    d.accept();
    EXPECT_EQ(port_.LastMessage(),
              "Le solde restant est différent de 0.\nDésirez-vous automatiquement ajuster la "
              "ventilation ?");
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(d.Applied());
    port_.Answer(TButton::Yes);
    d.accept();
    EXPECT_TRUE(d.Applied());
    done = true;
  });
  Box().Split();
  ASSERT_TRUE(done);
  const auto book = Reopen();
  TOperationRecord* op = const_cast<TOperationRecord*>(book.Op("hyper"));
  ASSERT_NE(op, nullptr);
  EXPECT_EQ(op->kind, static_cast<std::uint32_t>(kOpSplit));
  TRecordList& lines = book.db->LoadSplitLines(*op);
  ASSERT_EQ(lines.Size(), 3u);
  double sum = 0;
  for (TSplitLineRecord& l : lines.Records<TSplitLineRecord>()) sum += l.amount;
  EXPECT_NEAR(sum, 100, 1e-9);
  EXPECT_EQ(Box().Model().index(RowOf("hyper"), 2).data(TAccountListModel::ClassificationRole),
            QString::fromUtf8("Opération Ventilée"));
}

TEST_F(ListDialogsTest, TheTransferDialogListsTheCandidatesAndMakesTheOtherHalf) {
  Show(*account_);
  Box().SelectRow(RowOf("loyer"));
  bool done = false;
  WhenModal<TTransferDialog>([&](TTransferDialog& d) {
    // "Aucun", then the one candidate: no card account, no other currency,
    // not the active account.
    ASSERT_EQ(d.Choices()->count(), 2);
    EXPECT_EQ(d.Choices()->item(0)->text(), QString::fromUtf8("Aucun"));
    EXPECT_EQ(d.Choices()->item(1)->text(), QString::fromUtf8("Livret"));
    d.Choices()->setCurrentRow(1);
    d.accept();
    EXPECT_TRUE(d.Applied());
    done = true;
  });
  Box().Transfer();
  ASSERT_TRUE(done);
  {
    const auto book = Reopen();
    const TOperationRecord* out = book.Op("loyer");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out->kind, static_cast<std::uint32_t>(kOpTransferOut));
    EXPECT_EQ(out->linked_account, savings_->id);
    std::size_t halves = 0;
    for (TOperationRecord& op :
         book.db->FindAccount(savings_->id)->Operations().Records<TOperationRecord>()) {
      if (op.label == "loyer") {
        ++halves;
        EXPECT_EQ(op.kind, static_cast<std::uint32_t>(kOpTransferIn));
        EXPECT_DOUBLE_EQ(op.amount, 250);
      }
    }
    EXPECT_EQ(halves, 1u);
  }
  EXPECT_EQ(Box().Model().index(RowOf("loyer"), 2).data(TAccountListModel::ClassificationRole),
            QString::fromUtf8("Virement vers Livret"));

  // The pop-up menu offers the same list; "Aucun" undoes the transfer after
  // its question (Yes: the other half goes).
  std::unique_ptr<QMenu> menu(Box().BuildRowMenu(RowOf("loyer"), nullptr));
  QMenu* transfers = nullptr;
  for (QAction* a : menu->actions()) {
    if (a->menu() && a->text() == QString::fromUtf8("V&irement...")) transfers = a->menu();
  }
  ASSERT_NE(transfers, nullptr);
  QStringList entries;
  for (QAction* a : transfers->actions()) {
    if (!a->isSeparator()) entries << a->text();
  }
  EXPECT_EQ(entries, QStringList({"Aucun"}));  // Livret is already its other account
  port_.Answer(TButton::Yes);
  transfers->actions().first()->trigger();
  EXPECT_EQ(port_.LastMessage(),
            "Un virement est composé de deux opérations.\nFaut-il détruire l'opération "
            "complémentaire du virement ?");
  const auto book = Reopen();
  EXPECT_EQ(book.Op("loyer")->kind, static_cast<std::uint32_t>(kOpNormal));
  EXPECT_TRUE(book.db->FindAccount(savings_->id)->Operations().Empty());
}

}  // namespace
}  // namespace ledgora::testing
