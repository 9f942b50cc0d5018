// The commands of the "&Opérations" and "&Données" menus that open the
// windows of the list: the two searches reach the list and, through it, the
// account bar; the list sheet and the re-association refresh what they
// changed.
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include "app/account_bar.h"
#include "app/command_table.h"
#include "app/list/account_list_box.h"
#include "app/list/search_dialogs.h"
#include "app/operation_panes.h"
#include "app/test_app_env.h"
#include "platform/configuration.h"
#include "storage/database.h"

namespace ledgora::app::testing {
namespace {

using ListCommandsTest = TAppTest;

template <class D>
D* OpenDialog(CMainFrame& frame) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* d = qobject_cast<D*>(w); d && d->isVisible()) return d;
  }
  for (D* d : frame.findChildren<D*>()) {
    if (d->isVisible()) return d;
  }
  return nullptr;
}

TEST_F(ListCommandsTest, ALabelFoundInAnotherAccountMovesTheAccountBar) {
  platform::ProfileWriteInt("Setup", "Filter", 0);  // every operation shown
  Start(MakeFixtureBook());
  CMainFrame& frame = Frame();
  TDatabase& db = *app_->Document().Book();
  TAccountRecord* start = db.CurrentAccount();
  ASSERT_NE(start, nullptr);
  // An operation of another account that the list's filters show.
  auto* pane = dynamic_cast<CAccountListPane*>(frame.MainPane());
  ASSERT_NE(pane, nullptr);
  TAccountRecord* other = nullptr;
  TOperationRecord* op = nullptr;
  for (TAccountRecord& a : db.Accounts().Records<TAccountRecord>()) {
    for (TOperationRecord& o : a.Operations().Records<TOperationRecord>()) {
      if (&a != start && other == nullptr && pane->Box().List().Shows(o)) {
        other = &a;
        op = &o;
      }
    }
  }
  ASSERT_NE(op, nullptr);
  op->label = "QUINCAILLERIE DU PORT";
  db.ModifyOperation(*op);

  ASSERT_TRUE(frame.IsCommandEnabled(kCmdFindLabel));
  frame.RunCommand(kCmdFindLabel);
  auto* dialog = OpenDialog<TLabelSearchDialog>(frame);
  ASSERT_NE(dialog, nullptr);
  dialog->Field()->setText("quincaillerie");
  dialog->AllAccountsBox()->setChecked(true);
  dialog->NextButton()->click();
  EXPECT_EQ(dialog->StatusLine()->text().toStdString(), "Prêt");
  EXPECT_EQ(db.CurrentAccount(), other);
  EXPECT_EQ(frame.AccountBar().Selected(), other);
  EXPECT_EQ(platform::ProfileReadText("Setup", "CompteActif", ""), other->name.substr(0, 25));
  // The same command shows the same dialog again.
  frame.RunCommand(kCmdFindLabel);
  EXPECT_EQ(OpenDialog<TLabelSearchDialog>(frame), dialog);
  dialog->CloseButton()->click();

  frame.RunCommand(kCmdFindAmount);
  auto* amount = OpenDialog<TAmountSearchDialog>(frame);
  ASSERT_NE(amount, nullptr);
  amount->Field()->setText("123456,78");
  amount->AllAccountsBox()->setChecked(true);
  amount->NextButton()->click();
  EXPECT_EQ(amount->StatusLine()->text().toStdString(), "Montant non trouvé...");
  EXPECT_EQ(db.CurrentAccount(), other);
}

TEST_F(ListCommandsTest, TheDataMenuOpensTheSheetAndTheReassociation) {
  Start(MakeFixtureBook());
  CMainFrame& frame = Frame();
  TDatabase& db = *app_->Document().Book();
  for (int id : {kCmdListAccounts, kCmdListCategories, kCmdListAssociations, kCmdListProjects,
                 kCmdReassignAssociation}) {
    EXPECT_TRUE(frame.IsCommandEnabled(id)) << id;
  }
  // Without association the re-association stops at its first message.
  while (db.LoadAssociations().Head() != nullptr) {
    db.DeleteAssociation(db.LoadAssociations().Head()->As<TAssociationRecord>());
  }
  port_.Clear();
  frame.RunCommand(kCmdReassignAssociation);
  ASSERT_EQ(port_.messages.size(), 1u);
  EXPECT_EQ(port_.messages[0].text, "Vous n'avez défini aucune association !");

  // The sheet is modal: it is closed from the event loop it runs.
  bool seen = false;
  QTimer::singleShot(0, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) {
        seen = true;
        d->reject();
      }
    }
  });
  frame.RunCommand(kCmdListProjects);
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace ledgora::app::testing
