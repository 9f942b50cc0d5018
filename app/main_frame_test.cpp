// The main window on a fixture book: modes, menus and their enabling.
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

#include <QLineEdit>
#include <QValidator>
#include "app/account_bar.h"

#include "app/book_dialogs.h"
#include "app/command_table.h"
#include "app/list/account_list_box.h"
#include "app/operation_panes.h"
#include "app/test_app_env.h"
#include "platform/configuration.h"
#include "storage/database.h"

namespace ledgora::app::testing {
namespace {

QStringList PopupTitles(CMainFrame& frame) {
  QStringList titles;
  for (QAction* a : frame.Menus()->actions()) titles << a->text();
  return titles;
}

QStringList ItemsOf(CMainFrame& frame, const QString& popup) {
  QStringList items;
  for (QAction* a : frame.Menus()->actions()) {
    if (a->text() != popup) continue;
    for (QAction* item : a->menu()->actions()) {
      if (!item->isSeparator() && item->isVisible()) items << item->text();
    }
  }
  return items;
}

using MainFrameTest = TAppTest;

TEST_F(MainFrameTest, StartsOnTheLastBookInTheOperationList) {
  const std::string book = MakeFixtureBook();
  Start(book);
  CMainFrame& frame = Frame();
  EXPECT_EQ(frame.Mode(), kModeOperations);
  EXPECT_EQ(frame.windowTitle().toStdString(), "Ledgora [" + book + "]");
  TDatabase* db = app_->Document().Book();
  ASSERT_NE(db, nullptr);
  EXPECT_EQ(static_cast<std::size_t>(frame.AccountBar().ButtonCount()), db->Accounts().Size());
  EXPECT_EQ(frame.AccountBar().Selected(), db->CurrentAccount());
  EXPECT_EQ(PopupTitles(frame), QStringList({"&Application", "&Opérations", "&Catégories",
                                             "&Projets", "A&ffichage", "&Données", "A&ide"}));
  EXPECT_EQ(frame.MainPane()->objectName(), "Mouvements par compte");
  ASSERT_EQ(frame.SidePanes().size(), 2u);
  // The toolbar of menu 186 is the one shown.
  EXPECT_TRUE(frame.ToolbarOf(kMenuOperations)->isVisibleTo(&frame));
  EXPECT_FALSE(frame.ToolbarOf(kMenuBudget)->isVisibleTo(&frame));
  EXPECT_EQ(platform::ProfileReadText("Setup", "LDatabase", ""), book);
}

TEST_F(MainFrameTest, SwitchesThroughTheModes) {
  Start(MakeFixtureBook());
  CMainFrame& frame = Frame();
  const int generation = frame.PaneGeneration();
  frame.SwitchMode(kModeOperations);  // already current: nothing rebuilt
  EXPECT_EQ(frame.PaneGeneration(), generation);

  struct Step {
    int command;
    int mode;
    int menu;
    const char* title;
  };
  const Step steps[] = {
      {kCmdModeBudget, kModeBudget, kMenuBudget, "Synthèse des dépenses"},
      {kCmdGraphView, kModeBudgetGraph, kMenuBudget, "Graphique de la synthèse des dépenses"},
      {kCmdPreviousScreen, kModeBudget, kMenuBudget, "Synthèse des dépenses"},
      {kCmdModeSituation, kModeSituation, kMenuSituation, "Votre situation financière"},
      {kCmdGraphView, kModeSituationGraph, kMenuSituation, "Graphique de la situation financière"},
      // Mode 6 from the graph goes back to the graph.
      {kCmdModeMovements, kModeMovements, kMenuMovements, "Tous mouvements, tous comptes"},
      {kCmdPreviousScreen, kModeSituationGraph, kMenuSituation,
       "Graphique de la situation financière"},
      {kCmdGraphView, kModeSituation, kMenuSituation, "Votre situation financière"},
      {kCmdModeMovements, kModeMovements, kMenuMovements, "Tous mouvements, tous comptes"},
      {kCmdPreviousScreen, kModeSituation, kMenuSituation, "Votre situation financière"},
      {kCmdModeMovements, kModeMovements, kMenuMovements, "Tous mouvements, tous comptes"},
      {kCmdGraphView, kModeBudgetGraph, kMenuBudget, "Graphique de la synthèse des dépenses"},
      {kCmdModeOperations, kModeOperations, kMenuOperations, "Mouvements par compte"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.title);
    ASSERT_TRUE(frame.IsCommandEnabled(s.command));
    frame.RunCommand(s.command);
    EXPECT_EQ(frame.Mode(), s.mode);
    EXPECT_EQ(frame.MainPane()->objectName().toStdString(), s.title);
    EXPECT_TRUE(frame.ToolbarOf(s.menu)->isVisibleTo(&frame));
  }
  // The graph of the financial situation only from its table; Backspace
  // means nothing in the operation list.
  EXPECT_FALSE(frame.IsCommandEnabled(kCmdGraphView));
  EXPECT_FALSE(frame.IsCommandEnabled(kCmdPreviousScreen));
  frame.SwitchMode(kModeSituationGraph);
  EXPECT_EQ(frame.Mode(), kModeOperations);
  EXPECT_EQ(port_.LastMessage(),
            "Impossible de passer en mode PRC graphique sans être au préalable en mode PRC !");
  // Each mode has its menu: the budget items in 187, the situation items in 251.
  frame.RunCommand(kCmdModeBudget);
  EXPECT_TRUE(ItemsOf(frame, "A&ffichage").contains("Afficher un mois de &moins"));
  frame.RunCommand(kCmdModeSituation);
  EXPECT_TRUE(ItemsOf(frame, "&Situation").contains("Nou&velle colonne..."));
}

TEST_F(MainFrameTest, StoredPaneSizesAreReadBackAndKeptAboveZero) {
  Start(MakeFixtureBook());
  CMainFrame& frame = Frame();
  frame.resize(1000, 700);
  frame.RunCommand(kCmdModeBudget);
  frame.RunCommand(kCmdModeOperations);  // leaving mode 2 writes its sizes
  EXPECT_GT(platform::ProfileReadInt("Setup", "Largeur2", 0), 0);
  platform::ProfileWriteInt("Setup", "Largeur3", -5);
  platform::ProfileWriteInt("Setup", "Largeur2", 640);
  frame.RunCommand(kCmdModeSituation);
  auto* outer = frame.findChild<QSplitter*>("outer");
  ASSERT_NE(outer, nullptr);
  EXPECT_GE(outer->sizes().at(1), 1);
  frame.RunCommand(kCmdModeBudget);
  outer = frame.findChild<QSplitter*>("outer");
  EXPECT_EQ(outer->sizes().at(1), 640);
}

TEST_F(MainFrameTest, MenusAndCommandsFollowTheOpenBook) {
  const std::string book = MakeFixtureBook();
  Start(book);
  CMainFrame& frame = Frame();
  frame.UpdateCommands();
  // With a book: the book commands and the modes; rules not built yet stay off.
  for (int id : {kCmdSave, kCmdClose, kCmdBackup, kCmdArchive, kCmdPassword, kCmdModeBudget,
                 kCmdModeMovements, kCmdNew, kCmdOpen, kCmdRecent1, kCmdQuit, kCmdParityTable,
                 kCmdStatusBar, kCmdListAccounts, kCmdListProjects, kCmdReassignAssociation}) {
    EXPECT_TRUE(frame.IsCommandEnabled(id)) << id;
    EXPECT_TRUE(frame.Action(id)->isEnabled()) << id;
  }
  for (int id : {kCmdImport, kCmdExport, kCmdOptions, kCmdConvertEuro, kCmdRecent4, kCmdAbout,
                 kCmdGraphView, kCmdPreviousScreen}) {
    EXPECT_FALSE(frame.Action(id)->isEnabled()) << id;
  }
  EXPECT_EQ(frame.Action(kCmdRecent1)->text().toStdString(), "&1 " + book);
  EXPECT_EQ(frame.Action(kCmdModeBudget)->shortcut(), QKeySequence("F3"));
  EXPECT_EQ(frame.Action(kCmdNew)->shortcut(), QKeySequence("Ctrl+N"));

  // Closed: menu 128 only, and nothing that needs a book.
  frame.RunCommand(kCmdClose);
  EXPECT_FALSE(app_->Document().HasOpenBook());
  EXPECT_EQ(frame.Mode(), kModeNone);
  EXPECT_EQ(frame.windowTitle(), "Ledgora");
  EXPECT_EQ(PopupTitles(frame), QStringList({"&Application"}));
  EXPECT_EQ(ItemsOf(frame, "&Application"),
            QStringList({"&Nouveau...", "&Ouvrir...", QString::fromStdString("&1 " + book),
                         "O&ptions...", "&Quitter"}));
  for (int id : {kCmdSave, kCmdClose, kCmdModeOperations, kCmdPassword, kCmdPreviousAccount}) {
    EXPECT_FALSE(frame.IsCommandEnabled(id)) << id;
  }
  EXPECT_TRUE(frame.IsCommandEnabled(kCmdNew));
  frame.SwitchMode(kModeBudget);  // no book: no mode
  EXPECT_EQ(frame.Mode(), kModeNone);

  // Reopened from the recent list.
  frame.RunCommand(kCmdRecent1);
  EXPECT_TRUE(app_->Document().HasOpenBook());
  EXPECT_EQ(frame.Mode(), kModeOperations);
}

TEST_F(MainFrameTest, AccountBarAndPopupSelectTheActiveAccount) {
  Start(MakeFixtureBook());
  CMainFrame& frame = Frame();
  TDatabase& db = *app_->Document().Book();
  ASSERT_GE(db.Accounts().Size(), 3u);
  TAccountRecord* first = &db.Accounts().Head()->As<TAccountRecord>();
  TAccountRecord* second = &db.Accounts().Head()->Next()->As<TAccountRecord>();
  frame.SelectAccount(first);
  EXPECT_FALSE(frame.IsCommandEnabled(kCmdPreviousAccount));
  frame.RunCommand(kCmdNextAccount);
  EXPECT_EQ(db.CurrentAccount(), second);
  EXPECT_EQ(frame.AccountBar().Selected(), second);
  EXPECT_EQ(platform::ProfileReadText("Setup", "CompteActif", ""), second->name);
  // The popup lists the accounts in book order, from 34100 upward.
  emit frame.AccountsPopup()->aboutToShow();
  const QList<QAction*> entries = frame.AccountsPopup()->actions();
  ASSERT_EQ(static_cast<std::size_t>(entries.size()), db.Accounts().Size());
  EXPECT_EQ(entries[0]->objectName(), QString("cmd%1").arg(kFirstAccountCommand));
  EXPECT_TRUE(entries[1]->isChecked());
  entries[0]->trigger();
  EXPECT_EQ(db.CurrentAccount(), first);
}

TEST_F(MainFrameTest, OperationCommandsGoToTheListOfTheActiveAccount) {
  Start(MakeFixtureBook());
  CMainFrame& frame = Frame();
  auto* list = dynamic_cast<CAccountListPane*>(frame.MainPane());
  ASSERT_NE(list, nullptr);
  list->Box().SelectRow(0);
  frame.UpdateCommands();
  // The list answers for its commands; those without a window yet stay off.
  EXPECT_EQ(frame.IsCommandEnabled(kCmdCopy),
            list->Box().CommandAvailable(TOperationCommand::Copy));
  EXPECT_TRUE(frame.IsCommandEnabled(kCmdViewCondensed));
  EXPECT_EQ(frame.IsCommandEnabled(kCmdCreateAssociation), list->Box().CanCreateAssociation());
  EXPECT_FALSE(frame.IsCommandEnabled(kCmdPeriodicity));
  EXPECT_FALSE(frame.IsCommandEnabled(kCmdUndo));  // nothing to undo yet
  frame.RunCommand(kCmdViewCondensed);
  EXPECT_TRUE(frame.Action(kCmdViewCondensed)->isChecked());
  EXPECT_FALSE(frame.Action(kCmdViewDetailed)->isChecked());
  frame.RunCommand(kCmdViewDetailed);
  EXPECT_TRUE(frame.Action(kCmdViewDetailed)->isChecked());
  // Leaving the mode and coming back builds a new list on the same account.
  TAccountRecord* account = app_->Document().Book()->CurrentAccount();
  frame.RunCommand(kCmdModeBudget);
  frame.RunCommand(kCmdModeOperations);
  EXPECT_EQ(app_->Document().Book()->CurrentAccount(), account);
  EXPECT_NE(dynamic_cast<CAccountListPane*>(frame.MainPane()), nullptr);
}

TEST_F(MainFrameTest, StatusBarToggleIsKeptInTheProfile) {
  Start(MakeFixtureBook());
  CMainFrame& frame = Frame();
  EXPECT_FALSE(frame.statusBar()->isVisible());  // "StatusBar" defaults to 0
  frame.RunCommand(kCmdStatusBar);
  EXPECT_TRUE(frame.statusBar()->isVisible());
  EXPECT_EQ(platform::ProfileReadInt("Setup", "StatusBar", 0), 1);
  frame.RunCommand(kCmdStatusBar);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "StatusBar", 1), 0);
}

TEST(NewBookWizardTest, TheNameCannotLeaveTheBooksFolder) {
  CNewBookWizard wizard;
  const QValidator* validator = wizard.NameField()->validator();
  ASSERT_NE(validator, nullptr);
  for (const char* refused : {"../Comptes", "/etc/passwd", "a\\b"}) {
    QString text = QString::fromUtf8(refused);
    int pos = 0;
    EXPECT_EQ(validator->validate(text, pos), QValidator::Invalid) << refused;
  }
  QString ok = QString::fromUtf8("Famille Martin 2026");
  int pos = 0;
  EXPECT_EQ(validator->validate(ok, pos), QValidator::Acceptable);
  wizard.NameField()->setText("  Famille  ");
  EXPECT_EQ(wizard.Answers().name, "Famille");
  EXPECT_EQ(wizard.Answers().categories, TCategorySet::Particulier);
}

TEST(CommandTableTest, EveryMenuEntryIsACommandAndTheToolbarLabelsAreSet) {
  for (int mode = kModeNone; mode <= kModeMovements; ++mode) {
    for (const TPopup& popup : MenuOf(MenuOfMode(mode), mode)) {
      for (int id : popup.items) {
        if (id != 0) EXPECT_NE(FindCommand(id), nullptr) << id;
      }
    }
  }
  EXPECT_EQ(ToolbarLabelOf(kMenuSituation).text, "Situation financière en EUR");
  EXPECT_EQ(ToolbarLabelOf(kMenuBudget).width, 180);
  EXPECT_EQ(ToolbarLabelOf(kMenuMovements).width, 220);
  EXPECT_EQ(FindCommand(kCmdFindLabel)->shortcut, "Ctrl+L");
  EXPECT_EQ(FindCommand(kCmdModeMovements)->text, "Tous mo&uvements, tous comptes");
}

}  // namespace
}  // namespace ledgora::app::testing
