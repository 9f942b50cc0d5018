// The list sheet and its four pages over a small book: what the fields hand
// to the rules, that a refusal keeps what was typed, the page the sheet
// opens on, and a storage failure reaching the caller.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/property_sheet.h"
#include "operations/associations.h"
#include "operations/category_rules.h"
#include "operations/operations_hooks.h"
#include "operations/project_rules.h"
#include "operations/refresh.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "platform/scripted_user_port.h"
#include "storage/faulty_file_system.h"
#include "storage/xorvanet.h"

namespace ledgora::app {
namespace {

class PropertySheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ledgora-sheet-XXXXXX";
    const char* dir = mkdtemp(pattern);
    ASSERT_NE(dir, nullptr);
    home_ = dir;
    setenv("LEDGORA_HOME", home_.c_str(), 1);
    platform::ResetConfiguration();
    db_ = std::make_unique<TDatabase>(platform::JoinPath(home_, "Livre.VX"), port_, files_);
    db_->SetDurable(false);
    db_->SetHooks(&hooks_);
    db_->CreateEmptyBook();
    ASSERT_TRUE(db_->Save());

    courant_ = &AddAccount("Courant", kCurrentAccount);
    courant_->bank_code = "30004";
    courant_->branch_code = "00123";
    courant_->account_number = "12345678901";
    courant_->currency = "EUR";
    db_->ModifyAccount(*courant_);
    AddAccount("Livret", kDepositAccount);
    db_->SetCurrentAccount(courant_);

    alimentation_ = &AddCategory("Alimentation", true, nullptr);
    courses_ = &AddCategory("Courses", true, alimentation_);
    salaire_ = &AddCategory("Salaire", false, nullptr);
    auto p = std::make_unique<TProjectRecord>();
    p->label = "Vacances";
    vacances_ = &db_->AddProject(std::move(p));
    p = std::make_unique<TProjectRecord>();
    p->label = "Travaux";
    travaux_ = &db_->AddProject(std::move(p));
    ASSERT_NE(AddAssociationChecked(*db_, "CARREFOUR", courses_->id), nullptr);
    port_.Clear();
  }
  void TearDown() override {
    sheet_.reset();
    db_.reset();
    std::error_code ec;
    std::filesystem::remove_all(home_, ec);
    unsetenv("LEDGORA_HOME");
    platform::ResetConfiguration();
  }

  TAccountRecord& AddAccount(const std::string& name, std::uint16_t type) {
    auto a = std::make_unique<TAccountRecord>();
    a->name = name;
    a->account_type = type;
    TAccountRecord& added = db_->AddAccount(std::move(a));
    db_->ComputeBalance(added);
    return added;
  }
  TCategoryRecord& AddCategory(const std::string& name, bool debit, TCategoryRecord* parent) {
    TCategoryRecord* c = CreateCategory(*db_, name, parent, debit);
    EXPECT_NE(c, nullptr);
    return *c;
  }
  CPropertySheet& Sheet(TSheetPage page = TSheetPage::Accounts) {
    sheet_ = std::make_unique<CPropertySheet>(*db_, page);
    return *sheet_;
  }
  TComptesPropertyPage& Accounts() { return *Sheet().AccountsPage(); }
  static void ChooseType(TComptesPropertyPage& page, std::uint16_t type) {
    page.TypeChoice()->setCurrentIndex(page.TypeChoice()->findData(type));
  }
  static QStringList Column(QTreeWidget* tree, int column) {
    QStringList out;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) out << (*it)->text(column);
    return out;
  }

  std::string home_;
  TScriptedUserPort port_;
  TFaultyFileSystem files_;
  TOperationsHooks hooks_;
  std::unique_ptr<TDatabase> db_;
  std::unique_ptr<CPropertySheet> sheet_;
  TAccountRecord* courant_ = nullptr;
  TCategoryRecord* alimentation_ = nullptr;
  TCategoryRecord* courses_ = nullptr;
  TCategoryRecord* salaire_ = nullptr;
  TProjectRecord* vacances_ = nullptr;
  TProjectRecord* travaux_ = nullptr;
};

// --- Accounts ----------------------------------------------------------------------

TEST_F(PropertySheetTest, AccountsListShowsEveryAccountAndTheActiveOneFirst) {
  TComptesPropertyPage& page = Accounts();
  EXPECT_EQ(Column(page.List(), 0), QStringList({"Courant", "Livret"}));
  EXPECT_EQ(page.List()->headerItem()->text(0), "Libellé");
  EXPECT_EQ(page.List()->headerItem()->text(1), "Solde");
  ASSERT_EQ(page.Selected(), courant_);
  EXPECT_EQ(page.NameField()->text(), "Courant");
  EXPECT_FALSE(page.NameField()->isEnabled());  // browsing
  EXPECT_TRUE(page.RibLabel()->text().startsWith("R.I.B. = 30004 00123 12345678901 "));
}

// Which fields each type shows: the card number and the current account for
// a card account, the bank identity for the others, neither without a type.
TEST_F(PropertySheetTest, TheTypeShowsTheFieldsThatApply) {
  TComptesPropertyPage& page = Accounts();
  page.NewAccount();
  struct Case {
    int type;  // -1: none chosen
    bool card_fields;
    bool bank_fields;
  };
  for (const Case& c : {Case{kCardAccount, true, false}, Case{kCurrentAccount, false, true},
                        Case{kDepositAccount, false, true}, Case{-1, false, false},
                        Case{kCardAccount, true, false}}) {
    SCOPED_TRACE(c.type);
    if (c.type < 0) {
      page.TypeChoice()->setCurrentIndex(-1);
    } else {
      ChooseType(page, static_cast<std::uint16_t>(c.type));
    }
    EXPECT_EQ(!page.CardNumberField()->isHidden(), c.card_fields);
    EXPECT_EQ(!page.LinkedChoice()->isHidden(), c.card_fields);
    EXPECT_EQ(!page.BankCodeField()->isHidden(), c.bank_fields);
    EXPECT_EQ(!page.BranchCodeField()->isHidden(), c.bank_fields);
    EXPECT_EQ(!page.AccountNumberField()->isHidden(), c.bank_fields);
    // A card account takes its current account's currency: not chosen here.
    EXPECT_EQ(page.CurrencyChoice()->isEnabled(), !c.card_fields);
  }
}

TEST_F(PropertySheetTest, ACardAccountIsConfirmedWithItsCurrentAccountsIdentity) {
  courant_->currency = "FRF";
  db_->ModifyAccount(*courant_);
  TComptesPropertyPage& page = Accounts();
  page.NewAccount();
  EXPECT_TRUE(page.EditingNew());
  page.NameField()->setText("Visa");
  ChooseType(page, kCardAccount);
  page.CardNumberField()->setText("4970123412341234");
  // The choices: the current accounts only, as "%-50s%lu" rows.
  ASSERT_EQ(page.LinkedChoice()->count(), 1);
  EXPECT_EQ(page.LinkedChoice()->itemText(0),
            QString("Courant").leftJustified(50) + QString::number(courant_->id));
  page.LinkedChoice()->setCurrentIndex(0);
  EXPECT_EQ(page.CurrencyChoice()->currentText(), "FRF");
  page.RemarkField()->setText("Carte du foyer");

  ASSERT_TRUE(page.Confirm());
  EXPECT_TRUE(port_.Messages().empty());
  TAccountRecord* visa = page.Selected();
  ASSERT_NE(visa, nullptr);
  EXPECT_EQ(visa->name, "Visa");
  EXPECT_EQ(visa->account_type, kCardAccount);
  EXPECT_EQ(visa->linked_account, courant_->id);
  EXPECT_EQ(visa->bank_code, "30004");
  EXPECT_EQ(visa->branch_code, "00123");
  EXPECT_EQ(visa->account_number, "12345678901");
  EXPECT_EQ(visa->currency, "FRF");
  EXPECT_EQ(visa->card_number, "4970123412341234");
  EXPECT_EQ(visa->remark, "Carte du foyer");
  EXPECT_EQ(db_->Accounts().Size(), 3u);
  EXPECT_FALSE(page.Editing());
  EXPECT_EQ(page.CardLabel()->text(), "Numéro de carte = 4970123412341234");
  EXPECT_FALSE(page.CardLabel()->isHidden());
  EXPECT_TRUE(page.RibLabel()->text().startsWith("R.I.B. = 30004 00123 12345678901 "));
  EXPECT_EQ(sheet_->State().Bits(), kRefreshAfterChange);
  EXPECT_TRUE(sheet_->State().HaveAccountsChanged());
}

// The first failing check is shown and the page stays in its editing with
// every field as typed; nothing is added.
TEST_F(PropertySheetTest, ARefusedConfirmKeepsWhatWasTyped) {
  struct Case {
    const char* name;
    int type;
    const char* initial;
    std::string_view message;
  };
  for (const Case& c : {Case{"Nouveau", -1, "10", kNoAccountTypeMessage},
                        Case{"", kCurrentAccount, "10", kAccountNameRequiredMessage},
                        Case{"Courant", kDepositAccount, "10", kSameAccountNameMessage},
                        Case{"Visa", kCardAccount, "", kNoLinkedAccountMessage}}) {
    SCOPED_TRACE(c.message);
    port_.Clear();
    TComptesPropertyPage& page = Accounts();
    page.NewAccount();
    page.NameField()->setText(c.name);
    if (c.type >= 0) ChooseType(page, static_cast<std::uint16_t>(c.type));
    page.LinkedChoice()->setCurrentIndex(-1);
    page.InitialBalanceField()->setText(c.initial);
    page.RemarkField()->setText("Gardée");
    page.BankCodeField()->setText("ABC12");
    EXPECT_FALSE(page.Confirm());
    EXPECT_EQ(port_.Messages(), std::vector<std::string>{std::string(c.message)});
    EXPECT_TRUE(page.EditingNew());
    EXPECT_EQ(page.NameField()->text(), c.name);
    EXPECT_EQ(page.InitialBalanceField()->text(), c.initial);
    EXPECT_EQ(page.RemarkField()->text(), "Gardée");
    EXPECT_EQ(page.BankCodeField()->text(), "ABC12");
    EXPECT_TRUE(page.NameField()->isEnabled());
    EXPECT_EQ(db_->Accounts().Size(), 2u);
    EXPECT_EQ(sheet_->State().Bits(), 0u);
  }
}

TEST_F(PropertySheetTest, ModifierChangesTheSelectedAccountAndAnnulerLeavesItAsItWas) {
  TComptesPropertyPage& page = Accounts();
  page.ModifyAccount();
  ASSERT_TRUE(page.Editing());
  EXPECT_FALSE(page.EditingNew());
  page.RemarkField()->setText("Compte joint");
  page.InitialBalanceField()->setText("150");
  ASSERT_TRUE(page.Confirm());
  EXPECT_EQ(db_->Accounts().Size(), 2u);
  EXPECT_EQ(courant_->remark, "Compte joint");
  EXPECT_DOUBLE_EQ(courant_->initial_balance, 150);
  EXPECT_DOUBLE_EQ(courant_->balance, 150);
  EXPECT_EQ(page.Selected(), courant_);
  EXPECT_EQ(page.List()->topLevelItem(0)->text(1), "150,00");

  page.ModifyAccount();
  page.NameField()->setText("Autre nom");
  page.CancelEdit();
  EXPECT_FALSE(page.Editing());
  EXPECT_EQ(page.NameField()->text(), "Courant");
  EXPECT_EQ(courant_->name, "Courant");
}

TEST_F(PropertySheetTest, TheCodeFieldsTakeLettersAndDigitsOfTheirLength) {
  TComptesPropertyPage& page = Accounts();
  page.NewAccount();
  ChooseType(page, kCurrentAccount);
  struct Case {
    QLineEdit* field;
    int length;
  };
  for (const Case& c : {Case{page.BankCodeField(), 5}, Case{page.BranchCodeField(), 5},
                        Case{page.AccountNumberField(), 11}, Case{page.NameField(), 15},
                        Case{page.CardNumberField(), 16}, Case{page.RemarkField(), 50}}) {
    EXPECT_EQ(c.field->maxLength(), c.length) << c.field->objectName().toStdString();
  }
  for (QLineEdit* f : {page.BankCodeField(), page.BranchCodeField(), page.AccountNumberField()}) {
    QString text = "12-4";
    int pos = 4;
    EXPECT_EQ(f->validator()->validate(text, pos), QValidator::Invalid);
    text = "AB12c";
    pos = 5;
    EXPECT_NE(f->validator()->validate(text, pos), QValidator::Invalid);
  }
  QString amount = "12,345";
  int pos = 6;
  EXPECT_EQ(page.InitialBalanceField()->validator()->validate(amount, pos), QValidator::Invalid);
  // "EUR" first, then the currency library's codes.
  EXPECT_EQ(page.CurrencyChoice()->itemText(0), "EUR");
  EXPECT_NE(page.CurrencyChoice()->findText("FRF"), -1);
  EXPECT_NE(page.CurrencyChoice()->findText("DEM"), -1);
}

TEST_F(PropertySheetTest, DeletingAnAccountSelectsItsNeighbour) {
  TComptesPropertyPage& page = Accounts();
  page.SelectAccount(courant_);
  port_.Answer(TButton::No);
  EXPECT_FALSE(page.DeleteAccount());
  EXPECT_EQ(db_->Accounts().Size(), 2u);
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(page.DeleteAccount());
  EXPECT_EQ(port_.LastMessage(), kDeleteAccountQuestion);
  EXPECT_EQ(Column(page.List(), 0), QStringList({"Livret"}));
  ASSERT_NE(page.Selected(), nullptr);
  EXPECT_EQ(page.Selected()->name, "Livret");
  EXPECT_EQ(page.NameField()->text(), "Livret");
  EXPECT_EQ(sheet_->State().Bits(), kRefreshAfterChange);
}

// --- Categories --------------------------------------------------------------------

TEST_F(PropertySheetTest, CategoriesShowTheirKindAndSubCategoriesUnderTheirParent) {
  TCatPropertyPage& page = *Sheet(TSheetPage::Categories).CategoriesPage();
  QTreeWidget* tree = page.Tree();
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  // In the book's order of the main categories.
  const int a = tree->topLevelItem(0)->text(0) == "Alimentation" ? 0 : 1;
  EXPECT_EQ(tree->topLevelItem(a)->text(0).toStdString(), "Alimentation");
  EXPECT_EQ(tree->topLevelItem(a)->text(1).toStdString(), "- Dépense");
  EXPECT_EQ(tree->topLevelItem(1 - a)->text(0).toStdString(), "Salaire");
  EXPECT_EQ(tree->topLevelItem(1 - a)->text(1).toStdString(), "- Recette");
  ASSERT_EQ(tree->topLevelItem(a)->childCount(), 1);
  EXPECT_EQ(tree->topLevelItem(a)->child(0)->text(0).toStdString(), "Courses");
  EXPECT_TRUE(tree->topLevelItem(1 - a)->childCount() == 0);
  page.SelectCategory(courses_->id);
  EXPECT_FALSE(page.AddSubButton()->isEnabled());
  EXPECT_FALSE(page.ModifyMainButton()->isEnabled());
  EXPECT_TRUE(page.ModifySubButton()->isEnabled());
  page.SelectCategory(salaire_->id);
  EXPECT_TRUE(page.AddSubButton()->isEnabled());
  EXPECT_TRUE(page.ModifyMainButton()->isEnabled());
  EXPECT_FALSE(page.ModifySubButton()->isEnabled());
}

TEST_F(PropertySheetTest, ACategoryWithSubCategoriesIsNotDeleted) {
  TCatPropertyPage& page = *Sheet(TSheetPage::Categories).CategoriesPage();
  page.SelectCategory(alimentation_->id);
  EXPECT_FALSE(page.DeleteCategory());
  EXPECT_EQ(port_.Messages(),
            std::vector<std::string>{std::string(kCannotDeleteWithSubCategories)});
  EXPECT_NE(db_->FindCategory(alimentation_->id), nullptr);
  EXPECT_EQ(page.Tree()->topLevelItemCount(), 2);
  EXPECT_EQ(sheet_->State().Bits(), 0u);

  // Its sub-category goes (with the question of the list page), then it can.
  page.SelectCategory(courses_->id);
  const std::string question = DeleteCategoryQuestion(*courses_, TCategoryDeleteFrom::ListPage);
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(page.DeleteCategory());
  EXPECT_EQ(port_.LastMessage(), question);
  EXPECT_EQ(db_->FindCategory(courses_->id), nullptr);
  EXPECT_EQ(page.Selected(), alimentation_);
  EXPECT_EQ(sheet_->State().Bits(), kRefreshAfterChange);
}

// A clash keeps the dialog open with the name typed; a free name closes it.
TEST_F(PropertySheetTest, TheCategoryDialogStaysOpenOnAClash) {
  TSheetState state;
  struct Case {
    TCategoryRecord* parent;  // new under parent (null: main)
    TCategoryRecord* renamed;
    const char* name;
    std::string_view message;
    const char* free;
  };
  for (const Case& c : {Case{nullptr, nullptr, "Salaire", kCategoryNameClash, "Loisirs"},
                        Case{alimentation_, nullptr, "Courses", kSubCategoryNameClash, "Pain"},
                        Case{nullptr, salaire_, "Alimentation", kCategoryNameClash, "Revenus"}}) {
    SCOPED_TRACE(c.name);
    port_.Clear();
    std::unique_ptr<TCategoryNameDialog> dialog =
        c.renamed ? std::make_unique<TCategoryNameDialog>(*db_, state, *c.renamed)
                  : std::make_unique<TCategoryNameDialog>(*db_, state, c.parent);
    dialog->show();
    dialog->NameField()->setText(c.name);
    dialog->accept();
    EXPECT_EQ(port_.Messages(), std::vector<std::string>{std::string(c.message)});
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->NameField()->text(), c.name);
    dialog->NameField()->setText(c.free);
    dialog->accept();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_NE(dialog->Result(), nullptr);
    EXPECT_EQ(dialog->Result()->name, c.free);
    EXPECT_EQ(dialog->Result()->parent, c.parent    ? c.parent->id
                                        : c.renamed ? c.renamed->parent
                                                    : 0);
  }
}

TEST_F(PropertySheetTest, ANewMainCategoryTakesTheKindChosen) {
  TSheetState state;
  TCategoryNameDialog dialog(*db_, state, nullptr);
  EXPECT_FALSE(dialog.CreditChoice()->isHidden());
  dialog.NameField()->setText("  Primes ");
  dialog.CreditChoice()->setChecked(true);
  dialog.accept();
  ASSERT_NE(dialog.Result(), nullptr);
  EXPECT_EQ(dialog.Result()->name, "Primes");
  EXPECT_EQ(dialog.Result()->debit, 0u);
  TCategoryNameDialog sub(*db_, state, salaire_);
  EXPECT_EQ(sub.CreditChoice(), nullptr);  // a sub-category takes its parent's kind
}

// --- Associations --------------------------------------------------------------------

TEST_F(PropertySheetTest, AssociationsAreListedWithTheirCategoryAndAClashKeepsTheDialog) {
  TAssocPropertyPage& page = *Sheet(TSheetPage::Associations).AssociationsPage();
  ASSERT_EQ(page.List()->topLevelItemCount(), 1);
  EXPECT_EQ(page.List()->topLevelItem(0)->text(0), "CARREFOUR");
  EXPECT_EQ(page.List()->topLevelItem(0)->text(1), "Alimentation:Courses");

  TAssociationPageDialog dialog(*db_, sheet_->State(), nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Association Libellé-Catégorie");
  dialog.show();
  dialog.LabelField()->setText("CARREFOUR");
  dialog.ChooseCategory(salaire_->id);
  dialog.accept();
  EXPECT_EQ(port_.Messages(), std::vector<std::string>{std::string(kAssociationExists)});
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.LabelField()->text(), "CARREFOUR");
  EXPECT_EQ(dialog.CategoryChoice()->currentText(), "Salaire");
  dialog.LabelField()->setText("VIR EMPLOYEUR");
  dialog.accept();
  ASSERT_NE(dialog.Result(), nullptr);
  EXPECT_EQ(dialog.Result()->category, salaire_->id);
  page.Fill();
  EXPECT_EQ(Column(page.List(), 1), QStringList({"Alimentation:Courses", "Salaire"}));

  // Renaming to another association's label is refused the same way.
  TAssociationPageDialog modify(*db_, sheet_->State(), dialog.Result());
  EXPECT_EQ(modify.CategoryChoice()->currentText(), "Salaire");
  modify.show();
  modify.LabelField()->setText("CARREFOUR");
  port_.Clear();
  modify.accept();
  EXPECT_EQ(port_.LastMessage(), kAssociationExists);
  EXPECT_TRUE(modify.isVisible());
}

// A deleted category takes its associations along: the associations page
// shows it when it is brought up again.
TEST_F(PropertySheetTest, APageShowsWhatAnotherChanged) {
  CPropertySheet& sheet = Sheet(TSheetPage::Associations);
  ASSERT_EQ(sheet.AssociationsPage()->List()->topLevelItemCount(), 1);
  sheet.Tabs()->setCurrentIndex(static_cast<int>(TSheetPage::Categories));
  sheet.CategoriesPage()->SelectCategory(courses_->id);
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(sheet.CategoriesPage()->DeleteCategory());
  sheet.Tabs()->setCurrentIndex(static_cast<int>(TSheetPage::Associations));
  EXPECT_EQ(sheet.AssociationsPage()->List()->topLevelItemCount(), 0);
  EXPECT_EQ(sheet.AssociationsPage()->Selected(), nullptr);
}

// --- Projects ------------------------------------------------------------------------

TEST_F(PropertySheetTest, AProjectRenameToALabelInUseIsRefused) {
  TProjetPropertyPage& page = *Sheet(TSheetPage::Projects).ProjectsPage();
  TProjectDialog dialog(*db_, sheet_->State(), vacances_);
  EXPECT_EQ(dialog.windowTitle(), "Renommer le projet");
  dialog.show();
  struct Case {
    const char* label;
    std::string_view message;
  };
  for (const Case& c : {Case{"Travaux", kProjectLabelExists}, Case{"[Aucun]", kProjectLabelRefused},
                        Case{"   ", kProjectLabelRefused}}) {
    port_.Clear();
    dialog.LabelField()->setText(c.label);
    dialog.accept();
    EXPECT_EQ(port_.LastMessage(), c.message) << c.label;
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.LabelField()->text(), c.label);
  }
  EXPECT_EQ(vacances_->label, "Vacances");
  // Its own label is no clash.
  port_.Clear();
  dialog.LabelField()->setText("Vacances");
  dialog.accept();
  EXPECT_TRUE(port_.Messages().empty());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(TProjectDialog(*db_, sheet_->State(), nullptr).windowTitle(), "Nouveau projet");
  (void)page;
}

TEST_F(PropertySheetTest, AClosedProjectIsShownClosedAndCannotBeClosedAgain) {
  TProjetPropertyPage& page = *Sheet(TSheetPage::Projects).ProjectsPage();
  page.SelectProject(travaux_->id);
  EXPECT_TRUE(page.CloseButton()->isEnabled());
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(page.CloseProject());
  EXPECT_EQ(travaux_->open, 0);
  QTreeWidgetItem* item = page.List()->currentItem();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(0), "Travaux");
  EXPECT_EQ(item->text(1), "Clos");
  EXPECT_FALSE(page.CloseButton()->isEnabled());
  EXPECT_EQ(sheet_->State().Bits(), kRefreshSidePanes);
}

// --- The sheet -------------------------------------------------------------------------

// Runs RunPropertySheet; `inside` is called on the open sheet, which it must
// close (or have closed).
unsigned RunWith(TDatabase& db, TSheetPage page, const std::function<void(CPropertySheet&)>& inside,
                 bool* accounts_changed = nullptr) {
  bool called = false;
  std::function<void()> poll;
  poll = [&] {
    auto* sheet = qobject_cast<CPropertySheet*>(QApplication::activeModalWidget());
    if (!sheet) {
      QTimer::singleShot(10, poll);
      return;
    }
    called = true;
    inside(*sheet);
    if (sheet->isVisible()) sheet->reject();
  };
  QTimer::singleShot(0, poll);
  const unsigned bits = RunPropertySheet(db, page, nullptr, accounts_changed);
  EXPECT_TRUE(called);
  return bits;
}

TEST_F(PropertySheetTest, TheSheetOpensOnThePageOfTheCommand) {
  for (TSheetPage page : {TSheetPage::Accounts, TSheetPage::Categories, TSheetPage::Associations,
                          TSheetPage::Projects}) {
    TSheetPage shown{};
    QString tab;
    const unsigned bits = RunWith(*db_, page, [&](CPropertySheet& sheet) {
      shown = sheet.CurrentPage();
      tab = sheet.Tabs()->tabText(sheet.Tabs()->currentIndex());
    });
    EXPECT_EQ(shown, page) << tab.toStdString();
    EXPECT_EQ(bits, 0u);
  }
}

TEST_F(PropertySheetTest, TheSheetReturnsWhatChanged) {
  bool accounts_changed = false;
  port_.Answer(TButton::Yes);
  unsigned bits = RunWith(
      *db_, TSheetPage::Projects,
      [](CPropertySheet& s) { EXPECT_TRUE(s.ProjectsPage()->CloseProject()); }, &accounts_changed);
  EXPECT_EQ(bits, kRefreshSidePanes);
  EXPECT_FALSE(accounts_changed);
  port_.Answer(TButton::Yes);
  bits = RunWith(
      *db_, TSheetPage::Accounts,
      [](CPropertySheet& s) {
        s.AccountsPage()->SelectAccount(s.AccountsPage()->Selected());
        EXPECT_TRUE(s.AccountsPage()->DeleteAccount());
      },
      &accounts_changed);
  EXPECT_EQ(bits, kRefreshAfterChange);
  EXPECT_TRUE(accounts_changed);
}

// A storage failure in a rule closes the sheet and reaches the caller.
TEST_F(PropertySheetTest, AStorageFailureLeavesTheSheetToTheCaller) {
  files_.FailWritesAfter(0, ENOSPC);
  port_.Answer(TButton::Yes);
  bool still_open = true;
  EXPECT_THROW(RunWith(*db_, TSheetPage::Projects,
                       [&](CPropertySheet& s) {
                         s.ProjectsPage()->SelectProject(vacances_->id);
                         EXPECT_FALSE(s.ProjectsPage()->DeleteProject());
                         still_open = s.isVisible();
                         // Nothing more reaches the book once a rule failed.
                         EXPECT_FALSE(s.State().Run([] {}));
                       }),
               TXOrvanet);
  EXPECT_FALSE(still_open);
  files_.Heal();
}

// The same from a dialog over the sheet: both close, the failure reaches
// the caller.
TEST_F(PropertySheetTest, AStorageFailureInADialogClosesItAndTheSheet) {
  files_.FailWritesAfter(0, ENOSPC);
  bool dialog_closed = false;
  bool sheet_open = true;
  EXPECT_THROW(RunWith(*db_, TSheetPage::Projects,
                       [&](CPropertySheet& s) {
                         QTimer::singleShot(0, [&] {
                           auto* d =
                               qobject_cast<TProjectDialog*>(QApplication::activeModalWidget());
                           ASSERT_NE(d, nullptr);
                           d->LabelField()->setText("Jardin");
                           d->accept();
                           dialog_closed = !d->isVisible();
                         });
                         s.ProjectsPage()->NewProject();
                         sheet_open = s.isVisible();
                       }),
               TXOrvanet);
  EXPECT_TRUE(dialog_closed);
  EXPECT_FALSE(sheet_open);
  files_.Heal();
}

}  // namespace
}  // namespace ledgora::app

namespace ledgora::app {
namespace {

// Pictures of the sheet and its dialogs, for looking at them: only with
// LEDGORA_SCREENSHOT=folder (best under xvfb-run with QT_QPA_PLATFORM=xcb).
TEST_F(PropertySheetTest, Pictures) {
  const char* folder = std::getenv("LEDGORA_SCREENSHOT");
  if (!folder || !*folder) GTEST_SKIP() << "LEDGORA_SCREENSHOT not set";
  QDir().mkpath(folder);
  auto save = [&](QWidget& w, const char* name) {
    w.show();
    QApplication::processEvents();
    EXPECT_TRUE(w.grab().save(QString(folder) + "/" + name + ".png"));
  };
  courant_->remark = "Compte joint";
  courant_->initial_balance = 1234.5;
  db_->ModifyAccount(*courant_);
  db_->ComputeBalance(*courant_);
  CPropertySheet& sheet = Sheet();
  save(sheet, "sheet_accounts");
  TComptesPropertyPage& accounts = *sheet.AccountsPage();
  accounts.NewAccount();
  accounts.NameField()->setText("Courant");
  ChooseType(accounts, kDepositAccount);
  accounts.BankCodeField()->setText("30004");
  accounts.Confirm();  // refused: the same name
  save(sheet, "sheet_accounts_refused");
  accounts.CancelEdit();
  accounts.NewAccount();
  accounts.NameField()->setText("Visa Premier");
  ChooseType(accounts, kCardAccount);
  accounts.LinkedChoice()->setCurrentIndex(0);
  accounts.CardNumberField()->setText("4970123412341234");
  save(sheet, "sheet_accounts_card");
  accounts.CancelEdit();
  for (auto [page, name] : {std::pair{TSheetPage::Categories, "sheet_categories"},
                            std::pair{TSheetPage::Associations, "sheet_associations"},
                            std::pair{TSheetPage::Projects, "sheet_projects"}}) {
    sheet.Tabs()->setCurrentIndex(static_cast<int>(page));
    if (page == TSheetPage::Categories) sheet.CategoriesPage()->SelectCategory(courses_->id);
    save(sheet, name);
  }
  travaux_->open = 0;
  db_->ModifyProject(*travaux_);
  sheet.ProjectsPage()->Fill();
  save(sheet, "sheet_projects_closed");
  TSheetState state;
  TCategoryNameDialog main(*db_, state, nullptr, &sheet);
  save(main, "dialog_category_new");
  TCategoryNameDialog sub(*db_, state, alimentation_, &sheet);
  save(sub, "dialog_subcategory_new");
  TCategoryNameDialog rename(*db_, state, *courses_, &sheet);
  save(rename, "dialog_subcategory_rename");
  TAssociationPageDialog association(*db_, state, nullptr, &sheet);
  association.LabelField()->setText("BOULANGERIE");
  association.ChooseCategory(courses_->id);
  save(association, "dialog_association");
  TProjectDialog project(*db_, state, vacances_, &sheet);
  save(project, "dialog_project_rename");
}

}  // namespace
}  // namespace ledgora::app
