// The four pages of the list sheet ("Liste des c&omptes...", "Liste des
// ca&tégories...", "Liste des &associations...", "Liste des pro&jets...")
// and the small dialogs they open.
//
// A page only collects what was typed and hands it to the rules of
// operations/ (account_rules.h, category_rules.h, associations.h,
// project_rules.h), which ask their questions and show their refusals
// through the book's port. A dialog whose rule refuses stays open with what
// was typed.
//
// Every rule runs inside TSheetState::Run: an exception leaving a rule (the
// storage's TXOrvanet above all) is kept, the sheet is closed, and the
// sheet's entry function throws it again once its event loop has returned,
// so that it reaches the main window's handler and never crosses Qt's event
// loop.
#pragma once

#include <QDialog>
#include <QWidget>
#include <cstdint>
#include <exception>
#include <functional>
#include <vector>

#include "operations/account_rules.h"
#include "app/list/name_dialog.h"
#include "storage/database.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ledgora::app {

// What the pages of one sheet share: the refresh bits owed to the main
// window, whether an account changed, and the first exception a rule threw.
class TSheetState {
 public:
  // on_failure: called once, when a rule first throws (the sheet closes).
  explicit TSheetState(std::function<void()> on_failure = {})
      : on_failure_(std::move(on_failure)) {}

  // Runs body; false when it threw (the exception is kept, the first one
  // only, and on_failure is called).
  bool Run(const std::function<void()>& body);
  bool Failed() const { return failure_ != nullptr; }
  // Throws the kept exception again, if any.
  void RethrowFailure() const;

  void Owe(unsigned bits) { bits_ |= bits; }
  unsigned Bits() const { return bits_; }
  void AccountsChanged() { accounts_changed_ = true; }
  bool HaveAccountsChanged() const { return accounts_changed_; }

 private:
  std::function<void()> on_failure_;
  std::exception_ptr failure_;
  unsigned bits_ = 0;
  bool accounts_changed_ = false;
};

// --- "Comptes" -------------------------------------------------------------------

// The list of the book's accounts ("Libellé", "Solde") and the fields of
// one account. Browsing: the fields show the selected account, read-only.
// "&Nouveau" empties the fields for a new account and "&Modifier" opens
// the selected one for editing; "O&K" confirms through ConfirmAccount (a
// refusal keeps the page in editing with what was typed) and "Annu&ler"
// leaves the editing, showing the selected account again. "Su&pprimer"
// deletes the selected account through DeleteAccountWithRules.
class TComptesPropertyPage : public QWidget {
  Q_OBJECT
 public:
  TComptesPropertyPage(TDatabase& db, TSheetState& state, QWidget* parent = nullptr);

  // The fields as typed.
  TAccountFields Fields() const;
  // The account shown (null: none, or a new one being typed).
  TAccountRecord* Selected() const;
  bool Editing() const { return editing_; }
  bool EditingNew() const { return editing_ && editing_new_; }
  void SelectAccount(const TAccountRecord* account);

  QTreeWidget* List() const { return list_; }
  QLineEdit* NameField() const { return name_; }
  QComboBox* TypeChoice() const { return type_; }
  QLineEdit* InitialBalanceField() const { return initial_; }
  QComboBox* CurrencyChoice() const { return currency_; }
  QLineEdit* CardNumberField() const { return card_number_; }
  QComboBox* LinkedChoice() const { return linked_; }
  QLineEdit* BankCodeField() const { return bank_; }
  QLineEdit* BranchCodeField() const { return branch_; }
  QLineEdit* AccountNumberField() const { return number_; }
  QLineEdit* RemarkField() const { return remark_; }
  QComboBox* StateChoice() const { return state_choice_; }
  QLabel* RibLabel() const { return rib_; }
  QLabel* CardLabel() const { return card_text_; }

 public slots:
  void NewAccount();     // "&Nouveau"
  void ModifyAccount();  // "&Modifier"
  bool Confirm();        // "O&K": true when the account was added or modified
  void CancelEdit();     // "Annu&ler"
  // The list and fields again from the book (not while editing).
  void Refill();
  bool DeleteAccount();  // "Su&pprimer": true when deleted

 private:
  void Fill(const TAccountRecord* select);
  void ShowFields(const TAccountFields& fields);
  void ShowAccountTexts(const TAccountRecord* account);
  void FillLinkedChoices();
  void TypeChanged();
  void LinkedChanged();
  void SetEditing(bool editing, bool is_new);
  void SelectionChanged();

  TDatabase& db_;
  TSheetState& state_;
  bool editing_ = false;
  bool editing_new_ = false;
  bool filling_ = false;
  QFormLayout* form_ = nullptr;
  QTreeWidget* list_ = nullptr;
  QLineEdit* name_ = nullptr;
  QComboBox* type_ = nullptr;
  QLineEdit* initial_ = nullptr;
  QLabel* currency_label_ = nullptr;
  QComboBox* currency_ = nullptr;
  QLabel* card_number_label_ = nullptr;
  QLineEdit* card_number_ = nullptr;
  QLabel* linked_label_ = nullptr;
  QComboBox* linked_ = nullptr;
  QLabel* bank_label_ = nullptr;
  QLineEdit* bank_ = nullptr;
  QLabel* branch_label_ = nullptr;
  QLineEdit* branch_ = nullptr;
  QLabel* number_label_ = nullptr;
  QLineEdit* number_ = nullptr;
  QLineEdit* remark_ = nullptr;
  QComboBox* state_choice_ = nullptr;
  QLabel* rib_ = nullptr;
  QLabel* card_text_ = nullptr;
  QPushButton* new_button_ = nullptr;
  QPushButton* delete_button_ = nullptr;
  QPushButton* modify_button_ = nullptr;
  QPushButton* ok_button_ = nullptr;
  QPushButton* cancel_button_ = nullptr;
};

// --- "Catégories" ----------------------------------------------------------------

// The name (and, for a main category, the kind) of a new or renamed
// category: the one-name dialog of the category pane, its OK handed to
// CreateCategory or RenameCategory; a refusal keeps the dialog open with
// what was typed. A failure of the rule is kept by the sheet's state and
// closes the dialog.
class TCategoryNameDialog : public TNameDialog {
  Q_OBJECT
 public:
  // A new main category (parent null) or sub-category of parent.
  TCategoryNameDialog(TDatabase& db, TSheetState& state, TCategoryRecord* parent,
                      QWidget* owner = nullptr);
  // Renaming category.
  TCategoryNameDialog(TDatabase& db, TSheetState& state, TCategoryRecord& category,
                      QWidget* owner = nullptr);

  // The kind's choices; null for a sub-category (it takes its parent's).
  QRadioButton* DebitChoice() const { return DebitButton(); }
  QRadioButton* CreditChoice() const { return CreditButton(); }
  // The category made or renamed (after OK).
  TCategoryRecord* Result() const { return result_; }

 private:
  TCategoryRecord* result_ = nullptr;
};

// The category tree: each main category with its kind ("- Dépense",
// "- Recette"), its sub-categories under it.
class TCatPropertyPage : public QWidget {
  Q_OBJECT
 public:
  TCatPropertyPage(TDatabase& db, TSheetState& state, QWidget* parent = nullptr);

  QTreeWidget* Tree() const { return tree_; }
  TCategoryRecord* Selected() const;
  void SelectCategory(std::uint32_t id);
  QPushButton* AddSubButton() const { return add_sub_; }
  QPushButton* ModifyMainButton() const { return modify_main_; }
  QPushButton* ModifySubButton() const { return modify_sub_; }
  QPushButton* DeleteButton() const { return delete_; }

 public slots:
  void NewCategory();     // "&Nouvelle catégorie..."
  void AddSubCategory();  // "Ajouter une sous-catégorie"
  void ModifyCategory();  // "Modifier une catégorie" / "Modifier une sous-catégorie"
  bool DeleteCategory();  // "&Supprimer": true when deleted
  void Fill();

 private:
  void RunDialog(TCategoryNameDialog& dialog, unsigned bits);
  void UpdateButtons();

  TDatabase& db_;
  TSheetState& state_;
  QTreeWidget* tree_ = nullptr;
  QPushButton* new_main_ = nullptr;
  QPushButton* add_sub_ = nullptr;
  QPushButton* modify_main_ = nullptr;
  QPushButton* modify_sub_ = nullptr;
  QPushButton* delete_ = nullptr;
};

// --- "Associations" --------------------------------------------------------------

// "Association Libellé-Catégorie": the label fragment ("&Libellé :") and its
// category. OK hands them to AddAssociationChecked or
// ModifyAssociationChecked; a refusal keeps the dialog open.
class TAssociationPageDialog : public QDialog {
  Q_OBJECT
 public:
  // association null: a new one.
  TAssociationPageDialog(TDatabase& db, TSheetState& state, TAssociationRecord* association,
                     QWidget* owner = nullptr);

  QLineEdit* LabelField() const { return label_; }
  QComboBox* CategoryChoice() const { return category_; }
  // Selects the choice of this category (0: none).
  void ChooseCategory(std::uint32_t category);
  TAssociationRecord* Result() const { return result_; }
  void accept() override;

 private:
  TDatabase& db_;
  TSheetState& state_;
  TAssociationRecord* association_ = nullptr;
  TAssociationRecord* result_ = nullptr;
  QLineEdit* label_ = nullptr;
  QComboBox* category_ = nullptr;
};

// The associations in label order, each with its category ("%s:%s").
class TAssocPropertyPage : public QWidget {
  Q_OBJECT
 public:
  TAssocPropertyPage(TDatabase& db, TSheetState& state, QWidget* parent = nullptr);

  QTreeWidget* List() const { return list_; }
  TAssociationRecord* Selected() const;
  void SelectAssociation(std::uint32_t id);

 public slots:
  void AddAssociation();
  void ModifyAssociation();
  bool DeleteAssociation();
  void Fill();

 private:
  void RunDialog(TAssociationPageDialog& dialog);
  void UpdateButtons();

  TDatabase& db_;
  TSheetState& state_;
  QTreeWidget* list_ = nullptr;
  QPushButton* modify_ = nullptr;
  QPushButton* delete_ = nullptr;
};

// --- "Projets" -------------------------------------------------------------------

// "Nouveau projet" / "Renommer le projet": one label field. OK hands it to
// CreateProject or RenameProject; a refusal keeps the dialog open.
class TProjectDialog : public TNameDialog {
  Q_OBJECT
 public:
  // project null: a new one.
  TProjectDialog(TDatabase& db, TSheetState& state, TProjectRecord* project,
                 QWidget* owner = nullptr);

  QLineEdit* LabelField() const { return NameField(); }
  TProjectRecord* Result() const { return result_; }

 private:
  TProjectRecord* result_ = nullptr;
};

// The projects of the book, a closed one shown as "Clos" (greyed).
class TProjetPropertyPage : public QWidget {
  Q_OBJECT
 public:
  TProjetPropertyPage(TDatabase& db, TSheetState& state, QWidget* parent = nullptr);

  QTreeWidget* List() const { return list_; }
  TProjectRecord* Selected() const;
  void SelectProject(std::uint32_t id);
  QPushButton* CloseButton() const { return close_; }

 public slots:
  void NewProject();
  void RenameProject();
  bool DeleteProject();
  bool CloseProject();
  void Fill();

 private:
  void UpdateButtons();

  TDatabase& db_;
  TSheetState& state_;
  QTreeWidget* list_ = nullptr;
  QPushButton* rename_ = nullptr;
  QPushButton* delete_ = nullptr;
  QPushButton* close_ = nullptr;
};

}  // namespace ledgora::app
