// The account bar: its buttons follow the book's accounts, the arrows step
// over the accounts that are not Affiché, the tip shows the balance of now.
#include <QHelpEvent>
#include <QToolTip>

#include "app/account_bar.h"
#include "app/command_table.h"
#include "app/test_app_env.h"
#include "operations/account_rules.h"
#include "operations/refresh.h"
#include "storage/database.h"

namespace ledgora::app::testing {
namespace {

using AccountBarTest = TAppTest;

TEST_F(AccountBarTest, ArrowsStepOverHiddenAndClosedAccounts) {
  Start(MakeFixtureBook());
  CMainFrame& frame = Frame();
  TDatabase& db = *app_->Document().Book();
  ASSERT_GE(db.Accounts().Size(), 3u);
  TAccountRecord* first = &db.Accounts().Head()->As<TAccountRecord>();
  TAccountRecord* second = &db.Accounts().Head()->Next()->As<TAccountRecord>();
  TAccountRecord* third = &db.Accounts().Head()->Next()->Next()->As<TAccountRecord>();
  ASSERT_EQ(third->state, kAccountShown);
  for (const std::uint16_t state : {std::uint16_t{kAccountHidden}, std::uint16_t{kAccountClosed}}) {
    SCOPED_TRACE(state);
    second->state = state;
    db.ModifyAccount(*second);
    frame.SelectAccount(first);
    ASSERT_TRUE(frame.IsCommandEnabled(kCmdNextAccount));
    frame.RunCommand(kCmdNextAccount);
    // The second account keeps its button but the arrow goes past it.
    EXPECT_EQ(db.CurrentAccount(), third);
    EXPECT_NE(db.CurrentAccount(), second);
    EXPECT_EQ(frame.AccountBar().Selected(), db.CurrentAccount());
    frame.RunCommand(kCmdPreviousAccount);
    EXPECT_EQ(db.CurrentAccount(), first);
    EXPECT_FALSE(frame.IsCommandEnabled(kCmdPreviousAccount));
  }
  EXPECT_EQ(static_cast<std::size_t>(frame.AccountBar().ButtonCount()), db.Accounts().Size());
}

TEST_F(AccountBarTest, TipIsMadeWhenShownAndButtonsFollowTheAccounts) {
  Start(MakeFixtureBook());
  CMainFrame& frame = Frame();
  TDatabase& db = *app_->Document().Book();
  TAccountRecord* first = &db.Accounts().Head()->As<TAccountRecord>();
  first->remark = "Compte joint";
  first->balance = 234.5;
  db.ModifyAccount(*first);
  auto buttons = frame.AccountBar().findChildren<CComptesBouton*>();
  // Only the buttons of the last filling live.
  ASSERT_EQ(buttons.size(), frame.AccountBar().ButtonCount());
  CComptesBouton* button = nullptr;
  for (CComptesBouton* b : buttons) {
    if (&b->Account() == first) button = b;
  }
  ASSERT_NE(button, nullptr);
  QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
  QCoreApplication::sendEvent(button, &help);
  EXPECT_EQ(QToolTip::text().toStdString(), "Compte joint [234,50 " + first->currency + "]");
  QToolTip::hideText();

  // A rename shows on the button (the book keeps its accounts in name
  // order, so the buttons may be made again); a deleted account loses its
  // button even when another was added in its place (same count).
  first->name = "Renommé";
  db.ModifyAccount(*first);
  frame.Refresh(kRefreshMainPane);
  EXPECT_TRUE(frame.AccountBar().Matches(&db));
  button = nullptr;
  for (CComptesBouton* b : frame.AccountBar().findChildren<CComptesBouton*>()) {
    if (&b->Account() == first) button = b;
  }
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), "Renommé");
  const std::size_t count = db.Accounts().Size();
  TAccountFields fields;
  fields.type = kCurrentAccount;
  fields.name = "Nouveau";
  fields.bank_code = "99999";
  ASSERT_EQ(ConfirmAccount(db, nullptr, fields).outcome, TAccountConfirmOutcome::Added);
  TAccountRecord* victim = &db.Accounts().Tail()->Previous()->As<TAccountRecord>();
  db.DeleteAccount(*victim);
  ASSERT_EQ(db.Accounts().Size(), count);
  EXPECT_FALSE(frame.AccountBar().Matches(&db));
  frame.Refresh(kRefreshMainPane);
  EXPECT_TRUE(frame.AccountBar().Matches(&db));
  QStringList names;
  for (CComptesBouton* b : frame.AccountBar().findChildren<CComptesBouton*>()) names << b->text();
  EXPECT_TRUE(names.contains("Nouveau"));
}

}  // namespace
}  // namespace ledgora::app::testing
