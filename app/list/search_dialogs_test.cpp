// The "Recherche" dialogs over the list (the match selected, another
// account made active, the status line, the settings stored), the
// association dialog of a row, and the re-association run with its dialog.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/list/account_list_view.h"
#include "app/list/association_dialogs.h"
#include "app/list/search_dialogs.h"
#include "app/list/test_list_env.h"
#include "operations/undo_slot.h"
#include "platform/configuration.h"

namespace ledgora::testing {
namespace {

// Plays steps on the modal windows as they show, one step per new window
// (a window is marked once handled, so one made at the same address later
// counts as new). A window no step expects, or one a step leaves open, is
// rejected and fails the test.
class TModalScript {
 public:
  using Step = std::function<void(QWidget&)>;
  explicit TModalScript(std::vector<Step> steps) : steps_(std::move(steps)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
    timer_.start(5);
  }
  std::size_t Played() const { return played_; }

 private:
  void Tick() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || modal->property("scripted").toBool()) return;
    modal->setProperty("scripted", true);
    if (played_ >= steps_.size()) {
      ADD_FAILURE() << "unexpected window " << modal->windowTitle().toStdString();
      if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
      return;
    }
    try {
      steps_[played_++](*modal);
    } catch (const std::exception& e) {  // a window of another kind (bad_cast)
      ADD_FAILURE() << e.what() << " in " << modal->windowTitle().toStdString();
    }
    // A step that left its window open would hang the test.
    if (auto* d = qobject_cast<QDialog*>(modal); d && d->isVisible()) {
      ADD_FAILURE() << "left open: " << d->windowTitle().toStdString();
      d->reject();
    }
  }
  std::vector<Step> steps_;
  std::size_t played_ = 0;
  QTimer timer_;
};

class SearchDialogsTest : public TListWindowTest {
 protected:
  void SetUp() override {
    TListWindowTest::SetUp();
    home_category_ = &AddCategory("Maison");
    energy_ = &AddCategory("Energie", true, home_category_);
    current_ = &AddAccount("Courant", kCurrentAccount, "EUR", 100);
    savings_ = &AddAccount("Livret", 2, "EUR");
    Categorised(AddOp(*current_, "02/01/2024", -50, "EDF JANVIER"), home_category_->id);
    AddOp(*current_, "03/01/2024", -12.5, "journal");
    AddOp(*current_, "04/01/2024", -100, "autre");
    AddOp(*current_, "05/01/2024", 12.5, "remboursement");
    AddOp(*current_, "06/01/2024", -500, "loyer");
    AddOp(*savings_, "01/01/2024", 20, "interets");
    AddOp(*savings_, "02/01/2024", -30, "remb edf");
  }
  void Categorised(TOperationRecord& op, std::uint32_t category) {
    op.category = category;
    db_->ModifyOperation(op);
  }
  // The label of the row the core list selected, and the view agrees.
  std::string SelectedLabel() {
    const int row = Box().CurrentRow();
    EXPECT_EQ(Box().View().currentIndex().row(), row);
    const TOperationRecord* op = Box().List().OperationAt(static_cast<std::size_t>(row));
    return op ? op->label : "*";
  }
  TCategoryRecord* home_category_ = nullptr;
  TCategoryRecord* energy_ = nullptr;
  TAccountRecord* current_ = nullptr;
  TAccountRecord* savings_ = nullptr;
};

TEST_F(SearchDialogsTest, TheLabelSearchFindsWrapsIntoTheOtherAccountsAndSignalsTheChange) {
  platform::ProfileWriteInt("Setup", "SensRecherche", 0);
  platform::ProfileWriteInt("Setup", "RechTousComptes", 1);
  qRegisterMetaType<TAccountRecord*>();
  Show(*current_);
  QSignalSpy changed(&Box(), &TAccountListBox::ActiveAccountChanged);
  Box().FindLabel();
  TLabelSearchDialog* d = Box().LabelSearch();
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->isVisible());
  EXPECT_FALSE(d->isModal());
  EXPECT_EQ(d->windowTitle(), QString::fromUtf8("Recherche"));
  EXPECT_EQ(d->StatusLine()->text(), QString::fromUtf8("Prêt"));
  // The settings of the profile.
  EXPECT_TRUE(d->DownButton()->isChecked());
  EXPECT_TRUE(d->AllAccountsBox()->isChecked());
  EXPECT_FALSE(d->CaseBox()->isChecked());

  // Down from the first row: the rest of "Courant" holds no "edf", the next
  // account does (in lower case, the search in capitals).
  Box().SelectRow(RowOf("EDF JANVIER"));
  d->Field()->setText("edf");
  d->NextButton()->click();
  EXPECT_EQ(Box().List().Account(), savings_);
  EXPECT_EQ(SelectedLabel(), "remb edf");
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.takeFirst().at(0).value<TAccountRecord*>(), savings_);
  EXPECT_EQ(d->StatusLine()->text(), QString::fromUtf8("Prêt"));
  // Past the last account the search wraps round to the first one.
  d->Next();
  EXPECT_EQ(Box().List().Account(), current_);
  EXPECT_EQ(SelectedLabel(), "EDF JANVIER");
  EXPECT_EQ(changed.count(), 1);
  changed.clear();

  // Case-sensitive, "Edf" is nowhere: one full turn, then the not-found
  // text; the account and the row stay.
  d->CaseBox()->setChecked(true);
  d->Field()->setText("Edf");
  d->Next();
  EXPECT_EQ(d->StatusLine()->text(), QString::fromUtf8("Libellé non trouvé..."));
  EXPECT_EQ(Box().List().Account(), current_);
  EXPECT_EQ(SelectedLabel(), "EDF JANVIER");
  EXPECT_EQ(changed.count(), 0);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "RechDiffMajMin", 0), 1);
  // An empty field does nothing: the status line and the selection stay.
  d->Field()->setText("  ");
  d->Next();
  EXPECT_EQ(d->StatusLine()->text(), QString::fromUtf8("Libellé non trouvé..."));
  EXPECT_EQ(SelectedLabel(), "EDF JANVIER");

  // Up, within the account only: a match found again says "Prêt".
  d->CaseBox()->setChecked(false);
  d->AllAccountsBox()->setChecked(false);
  d->UpButton()->setChecked(true);
  d->Field()->setText("e");
  Box().SelectRow(RowOf("loyer"));
  d->Next();
  EXPECT_EQ(SelectedLabel(), "remboursement");
  EXPECT_EQ(d->StatusLine()->text(), QString::fromUtf8("Prêt"));
  EXPECT_EQ(platform::ProfileReadInt("Setup", "SensRecherche", 0), 1);
  EXPECT_EQ(platform::ProfileReadInt("Setup", "RechTousComptes", 1), 0);

  // "&Fermer" hides it; reopening shows the same dialog; a new one (after
  // the list went) starts with the last text searched.
  d->CloseButton()->click();
  EXPECT_FALSE(d->isVisible());
  Box().FindLabel();
  EXPECT_EQ(Box().LabelSearch(), d);
  EXPECT_TRUE(d->isVisible());
  Box().FindAmount();
  QPointer<TLabelSearchDialog> label(d);
  QPointer<TAmountSearchDialog> amount(Box().AmountSearch());
  box_.reset();
  EXPECT_TRUE(label.isNull());
  EXPECT_TRUE(amount.isNull());
  EXPECT_EQ(TLabelSearchDialog::LastText(), "e");
  TLabelSearchDialog fresh(nullptr);
  EXPECT_EQ(fresh.Field()->text(), QString::fromUtf8("e"));
  EXPECT_TRUE(fresh.UpButton()->isChecked());
}

TEST_F(SearchDialogsTest, TheAmountSearchFindsTheDebitAndTheCreditOfTheSameSize) {
  platform::ProfileWriteInt("Setup", "SensRecherche", 0);
  Show(*current_);
  Box().FindAmount();
  TAmountSearchDialog* d = Box().AmountSearch();
  ASSERT_NE(d, nullptr);
  // The new-entry line is selected: going down starts at the first row.
  d->Field()->setText("12,50");
  // The label dialog's case setting, changed after this one opened, stays.
  platform::ProfileWriteInt("Setup", "RechDiffMajMin", 1);
  d->Next();
  EXPECT_EQ(SelectedLabel(), "journal");
  EXPECT_EQ(platform::ProfileReadInt("Setup", "RechDiffMajMin", 0), 1);
  d->Next();
  EXPECT_EQ(SelectedLabel(), "remboursement");
  d->Next();
  EXPECT_EQ(d->StatusLine()->text(), QString::fromUtf8("Montant non trouvé..."));
  EXPECT_EQ(SelectedLabel(), "remboursement");
  // The mask refuses a letter as it is typed; an amount it does not accept
  // (three decimals) shows its message and is not searched.
  d->Field()->clear();
  QTest::keyClicks(d->Field(), "5x0");
  EXPECT_EQ(d->Field()->text(), QString::fromUtf8("50"));
  d->Field()->setText("1,234");
  const std::size_t messages = port_.Messages().size();
  d->Next();
  EXPECT_EQ(port_.Messages().size(), messages + 1);
  EXPECT_EQ(port_.LastMessage().rfind("Montant non valide", 0), 0u);
  EXPECT_EQ(d->StatusLine()->text(), QString::fromUtf8("Montant non trouvé..."));
  // A negative amount finds the credit as well.
  Box().SelectRow(RowOf("autre"));
  d->Field()->setText("-12,5");
  d->Next();
  EXPECT_EQ(SelectedLabel(), "remboursement");
  EXPECT_EQ(d->StatusLine()->text(), QString::fromUtf8("Prêt"));
  EXPECT_EQ(TAmountSearchDialog::LastAmount(), "-12,5");
}

TEST_F(SearchDialogsTest, TheAssociationDialogCreatesOneAndAsksBeforeReplacing) {
  TOperationRecord& february = AddOp(*current_, "07/01/2024", -60, "EDF FEVRIER");
  Categorised(february, energy_->id);
  Show(*current_);
  // Offered on a Normal operation with a category only.
  Box().SelectRow(RowOf("journal"));
  EXPECT_FALSE(Box().CanCreateAssociation());
  Box().SelectRow(static_cast<int>(Box().List().RowCount() - 1));
  EXPECT_FALSE(Box().CanCreateAssociation());
  Box().SelectRow(RowOf("EDF JANVIER"));
  ASSERT_TRUE(Box().CanCreateAssociation());

  std::string title;
  QString prefilled;
  bool ok_on_empty = true;
  {
    TModalScript script({[&](QWidget& w) {
      auto& d = dynamic_cast<TAssociationDialog&>(w);
      title = d.windowTitle().toStdString();
      prefilled = d.LabelField()->text();
      d.LabelField()->clear();
      ok_on_empty = d.OkButton()->isEnabled();
      d.LabelField()->setText("EDF");
      d.OkButton()->click();
    }});
    Box().CreateAssociation();
    EXPECT_EQ(script.Played(), 1u);
  }
  EXPECT_EQ(title, "Association liée à la catégorie 'Maison'");
  EXPECT_EQ(prefilled, QString::fromUtf8("EDF JANVIER"));
  EXPECT_FALSE(ok_on_empty);
  ASSERT_NE(FindAssociation(*db_, "EDF"), nullptr);
  EXPECT_EQ(FindAssociation(*db_, "EDF")->category, home_category_->id);

  // The same label from an operation of another category: the question,
  // No keeps the old binding, Yes replaces it.
  Box().SelectRow(RowOf("EDF FEVRIER"));
  for (TButton answer : {TButton::No, TButton::Yes}) {
    TModalScript script({[&](QWidget& w) {
      auto& d = dynamic_cast<TAssociationDialog&>(w);
      title = d.windowTitle().toStdString();
      d.LabelField()->setText("EDF");
      d.OkButton()->click();
    }});
    port_.Answer(answer);
    Box().CreateAssociation();
    EXPECT_EQ(script.Played(), 1u);
    EXPECT_EQ(title, "Association liée à la catégorie 'Maison:Energie'");
    EXPECT_EQ(port_.LastMessage(),
              "Cette association est déjà associée à la catégorie Maison.\nLedgora doit-il "
              "remplacer l'ancienne association ?");
    EXPECT_EQ(FindAssociation(*db_, "EDF")->category,
              answer == TButton::Yes ? energy_->id : home_category_->id);
  }
  EXPECT_TRUE(port_.ScriptExhausted());
}

TEST_F(SearchDialogsTest, TheReassociationButtonsGiveTheirAnswersAndTheRowIsDrawnAsInTheList) {
  Show(*current_);
  TOperationRecord* op = Box().List().OperationAt(static_cast<std::size_t>(RowOf("loyer")));
  ASSERT_NE(op, nullptr);
  TReassociationQuestion question{
      "Désirez-vous affecter la catégorie Maison:Energie à "
      "l'opération ci-dessous ?",
      "Compte : Courant ()", current_, op};
  const std::vector<std::pair<const char*, TReassociationAnswer>> table = {
      {"&Oui", TReassociationAnswer::Yes},
      {"&Non", TReassociationAnswer::No},
      {"Oui : &Compte", TReassociationAnswer::YesAccount},
      {"Oui : &Tous les comptes", TReassociationAnswer::YesAllAccounts},
      {"Compte &suivant", TReassociationAnswer::NextAccount},
      {"A&nnuler", TReassociationAnswer::Cancel},
  };
  for (const auto& [text, answer] : table) {
    TReassociationDialog d(*db_, hooks_, question);
    QPushButton* button = d.ButtonOf(answer);
    ASSERT_NE(button, nullptr) << text;
    EXPECT_EQ(button->text(), QString::fromUtf8(text));
    d.show();
    button->click();
    EXPECT_EQ(d.Answer(), answer) << text;
    EXPECT_FALSE(d.isVisible());
  }
  // Closing the window is "A&nnuler".
  TReassociationDialog d(*db_, hooks_, question);
  d.show();
  d.close();
  EXPECT_EQ(d.Answer(), TReassociationAnswer::Cancel);
  EXPECT_EQ(d.windowTitle(), QString::fromUtf8("Réaffectation de catégories"));
  EXPECT_EQ(d.QuestionLabel()->text().toStdString(), question.text);
  EXPECT_EQ(d.AccountLabel()->text().toStdString(), question.account_text);
  // The row's cells are the list's: the list's own texts of that row.
  ASSERT_NE(d.Preview(), nullptr);
  const TRowTexts expected = Box().List().Texts(static_cast<std::size_t>(RowOf("loyer")));
  EXPECT_EQ(d.Preview()->Texts().cells, expected.cells);
  EXPECT_EQ(d.Preview()->Texts().classification, "Divers");
}

TEST_F(SearchDialogsTest, AReassociationRunChangesTheOperationsAsAnsweredInOneUndoStep) {
  TOperationRecord& february = AddOp(*current_, "07/01/2024", -60, "EDF FEVRIER");
  AddOp(*savings_, "03/01/2024", -70, "EDF MARS");
  Show(*current_);
  // No association yet: the message, nothing asked.
  EXPECT_FALSE(RunReassociation(*db_, port_, &Box()));
  EXPECT_EQ(port_.LastMessage(), "Vous n'avez défini aucune association !");

  ASSERT_NE(AddAssociationChecked(*db_, "ELEC", 0), nullptr);
  ASSERT_NE(AddAssociationChecked(*db_, "EDF", energy_->id), nullptr);
  const std::string active_before = platform::ProfileReadText("Setup", "CompteActif", "");
  std::vector<std::string> asked;
  auto answer = [&](TReassociationAnswer a) {
    return [&, a](QWidget& w) {
      auto& d = dynamic_cast<TReassociationDialog&>(w);
      asked.push_back(d.AccountLabel()->text().toStdString() + " " +
                      d.Preview()->Texts().label_line);
      d.ButtonOf(a)->click();
    };
  };
  QStringList choices;
  TModalScript script({
      [&](QWidget& w) {
        auto& chooser = dynamic_cast<TAssociationChooserDialog&>(w);
        for (int i = 0; i < chooser.Choices()->topLevelItemCount(); ++i) {
          const QTreeWidgetItem* item = chooser.Choices()->topLevelItem(i);
          choices << item->text(0) + "|" + item->text(1);
        }
        ASSERT_TRUE(chooser.ChooseLabel("EDF"));
        chooser.accept();
      },
      // "EDF JANVIER": yes for the whole account ("EDF FEVRIER" unasked).
      answer(TReassociationAnswer::YesAccount),
      // "EDF MARS" in the next account: no.
      answer(TReassociationAnswer::No),
  });
  EXPECT_TRUE(RunReassociation(*db_, port_, &Box()));
  EXPECT_EQ(script.Played(), 3u);
  EXPECT_EQ(choices, QStringList({"EDF|Maison:Energie", "ELEC|"}));
  EXPECT_EQ(asked, (std::vector<std::string>{"Compte : Courant () EDF JANVIER",
                                             "Compte : Livret () EDF MARS"}));
  // The preview's list left the active account and the profile alone.
  EXPECT_EQ(db_->CurrentAccount(), current_);
  EXPECT_EQ(platform::ProfileReadText("Setup", "CompteActif", ""), active_before);
  Box().Refresh(kRefreshAfterChange);
  {
    const auto book = Reopen();
    EXPECT_EQ(book.Op("EDF JANVIER")->category, energy_->id);
    EXPECT_EQ(book.Op("EDF FEVRIER")->category, energy_->id);
    EXPECT_EQ(book.Op("EDF MARS")->category, 0u);
  }
  // One undo step gives both their categories back.
  ASSERT_TRUE(TUndoSlot::Of(*db_).CanUndo());
  Box().Undo();
  EXPECT_FALSE(TUndoSlot::Of(*db_).CanUndo());
  EXPECT_EQ(february.category, 0u);
  const auto book = Reopen();
  EXPECT_EQ(book.Op("EDF JANVIER")->category, home_category_->id);
  EXPECT_EQ(book.Op("EDF FEVRIER")->category, 0u);
}

}  // namespace
}  // namespace ledgora::testing
