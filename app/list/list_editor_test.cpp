// The in-place editor over a row: its fields and their masks, an edit typed
// through the keyboard and validated with Enter, a refused field that keeps
// it open, a new operation typed on the new-entry line, and Escape.
#include <gtest/gtest.h>

#include <QTest>

#include "app/list/account_list_model.h"
#include "app/list/account_list_view.h"
#include "app/list/operation_row_editor.h"
#include "app/list/test_list_env.h"

namespace ledgora::testing {
namespace {

class ListEditorTest : public TListWindowTest {
 protected:
  void SetUp() override {
    TListWindowTest::SetUp();
    food_ = &AddCategory("Alimentation");
    account_ = &AddAccount("Courant", kCurrentAccount, "EUR", 100);
    AddOp(*account_, "02/01/2024", -30, "courses");
    AddOp(*account_, "05/01/2024", 20, "remboursement");
  }
  // Opens the editor with Enter on a row.
  TOperationRowEditor* Open(int row) {
    Box().SelectRow(row);
    QTest::keyClick(&Box().View(), Qt::Key_Return);
    return Box().Editor();
  }
  static void Retype(QLineEdit* field, const char* text) {
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, QString::fromUtf8(text));
  }
  TCategoryRecord* food_ = nullptr;
  TAccountRecord* account_ = nullptr;
};

TEST_F(ListEditorTest, AnEditTypedInTheFieldsIsWrittenToTheBook) {
  Show(*account_);
  TOperationRowEditor* editor = Open(RowOf("courses"));
  ASSERT_NE(editor, nullptr);
  // The fields of a Normal operation of a current account, detailed display.
  EXPECT_EQ(editor->DateField()->text(), QString::fromUtf8("02/01/2024"));
  EXPECT_EQ(editor->DebitField()->text(), QString::fromUtf8("30,00"));
  EXPECT_EQ(editor->CreditField()->text(), QString());
  ASSERT_NE(editor->LabelField(), nullptr);
  ASSERT_NE(editor->CategoryField(), nullptr);
  EXPECT_EQ(editor->AmountField(), nullptr);
  EXPECT_TRUE(editor->isVisible());
  EXPECT_TRUE(editor->DebitField()->isVisible());

  // The amount mask lets no letter, no minus and no third decimal in.
  Retype(editor->DebitField(), "4a2-,505");
  EXPECT_EQ(editor->DebitField()->text(), QString::fromUtf8("42,50"));
  // The date mask completes the separators while typing, and a separator
  // erased stays erased.
  Retype(editor->DateField(), "0301");
  EXPECT_EQ(editor->DateField()->text(), QString::fromUtf8("03/01/"));
  QTest::keyClick(editor->DateField(), Qt::Key_Backspace);
  EXPECT_EQ(editor->DateField()->text(), QString::fromUtf8("03/01"));
  // Typing on puts the separator back before the digit.
  QTest::keyClicks(editor->DateField(), "2024");
  EXPECT_EQ(editor->DateField()->text(), QString::fromUtf8("03/01/2024"));
  Retype(editor->DateField(), "03012024");
  EXPECT_EQ(editor->DateField()->text(), QString::fromUtf8("03/01/2024"));
  editor->LabelField()->setText(QString::fromUtf8("marché du samedi"));
  editor->CategoryField()->setCurrentText(QString::fromUtf8("Alimentation"));
  QTest::keyClick(editor->LabelField(), Qt::Key_Return);
  QApplication::processEvents();
  EXPECT_EQ(Box().Editor(), nullptr);

  const auto book = Reopen();
  const TOperationRecord* op = book.Op("marché du samedi");
  ASSERT_NE(op, nullptr);
  EXPECT_DOUBLE_EQ(op->amount, -42.5);
  EXPECT_EQ(op->date.Format(KD_STANDARD), "03/01/2024");
  EXPECT_EQ(op->category, food_->id);
  const int row = RowOf("marché du samedi");
  EXPECT_EQ(Box().Model().index(row, 4).data().toString(), QString::fromUtf8("42,50"));
  EXPECT_EQ(Box().Model().index(row, 2).data(TAccountListModel::ClassificationRole).toString(),
            QString::fromUtf8("Alimentation"));
  EXPECT_EQ(Box().UndoText(), QString::fromUtf8("&Annuler modification opération\tCtrl+Z"));
}

TEST_F(ListEditorTest, ARefusedDateKeepsTheEditorOpenAndEscapeLeavesTheBook) {
  Show(*account_);
  TOperationRowEditor* editor = Open(RowOf("courses"));
  ASSERT_NE(editor, nullptr);
  // The mask takes 31/02/2024; the date does not exist.
  Retype(editor->DateField(), "31022024");
  EXPECT_EQ(editor->Validate(), TEditOutcome::StayOpen);
  EXPECT_EQ(port_.LastMessage(), "Date non valide #[#]/#[#]/##[##] !");
  EXPECT_EQ(Box().Editor(), editor);
  QTest::keyClick(editor, Qt::Key_Escape);
  QApplication::processEvents();
  EXPECT_EQ(Box().Editor(), nullptr);
  EXPECT_EQ(Reopen().Op("courses")->date.Format(KD_STANDARD), "02/01/2024");
}

TEST_F(ListEditorTest, ANewOperationIsTypedOnTheNewEntryLine) {
  Show(*account_);
  const int last = Box().Model().rowCount() - 1;
  TOperationRowEditor* editor = Open(last);
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->Session().NewEntry());
  Retype(editor->DateField(), "10/01/2024");
  Retype(editor->CreditField(), "150");
  editor->LabelField()->setText(QString::fromUtf8("virement reçu"));
  QTest::keyClick(editor->CreditField(), Qt::Key_Enter);
  QApplication::processEvents();
  const auto book = Reopen();
  const TOperationRecord* op = book.Op("virement reçu");
  ASSERT_NE(op, nullptr);
  EXPECT_DOUBLE_EQ(op->amount, 150);
  EXPECT_TRUE(op->HasFlag(kOpEnteredByHand));
  EXPECT_EQ(Box().Model().rowCount(), last + 2);
  EXPECT_EQ(Box().Model().index(last, 7).data().toString(), QString::fromUtf8("240,00"));
  // Nothing to undo after an addition.
  EXPECT_EQ(Box().UndoText(), QString::fromUtf8("Impossible d'&annuler\tCtrl+Z"));
}

TEST_F(ListEditorTest, ACardAccountEditsOneAmountAndTheCondensedDisplayNoLabels) {
  TAccountRecord& card = AddAccount("Carte", kCardAccount, "EUR");
  AddOp(card, "03/01/2024", -40, "essence");
  Show(card);
  Box().RunViewCommand(TViewCommand::Condensed);
  TOperationRowEditor* editor = Open(RowOf("essence"));
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->DebitField(), nullptr);
  EXPECT_EQ(editor->LabelField(), nullptr);
  ASSERT_NE(editor->AmountField(), nullptr);
  EXPECT_EQ(editor->AmountField()->text(), QString::fromUtf8("40,00"));
  Retype(editor->AmountField(), "45");
  EXPECT_EQ(editor->Validate(), TEditOutcome::Applied);
  EXPECT_DOUBLE_EQ(Reopen().Op("essence")->amount, -45);
}

}  // namespace
}  // namespace ledgora::testing
