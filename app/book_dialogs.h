// The dialogs of the book commands that collect input of their own: the
// new-book wizard, the password change and the table of euro parities.
// They hand what was typed to the book document (book_lifecycle.h), which
// applies the rules and asks its questions through the user port; the other
// book dialogs (open and save, password at opening, in-use, backup, archive
// date) are the user port's.
#pragma once

#include <QDialog>
#include <QWizard>
#include <optional>

#include "storage/book_lifecycle.h"

class QLineEdit;
class QListWidget;
class QTableWidget;

namespace ledgora::app {

// A text of the resource library, "%s" filled with the product name.
QString ResourceText(unsigned id);
// A picture of the resource library (null pixmap when it has none).
QPixmap ResourcePicture(unsigned type, unsigned id);

// "Créer un livre de comptes...": greeting, the book's name, the category set.
class CNewBookWizard : public QWizard {
  Q_OBJECT
 public:
  explicit CNewBookWizard(QWidget* parent = nullptr);
  // What was typed (after Finish).
  TNewBookAnswers Answers() const;
  QLineEdit* NameField() const { return name_; }
  QListWidget* SetList() const { return sets_; }

 private:
  QLineEdit* name_ = nullptr;
  QListWidget* sets_ = nullptr;
};

// "Mot de passe": the old password (only when the book has one), the new one
// and its confirmation, each at most 8 characters. OK hands them to
// TBookDocument::ChangePassword; a wrong old password clears its field, two
// different new ones put the focus back on the new one, and the dialog stays.
class CPasswordDialog : public QDialog {
  Q_OBJECT
 public:
  CPasswordDialog(TBookDocument& doc, QWidget* parent = nullptr);
  // The result of the last OK (none before one).
  std::optional<TPasswordResult> Result() const { return result_; }
  QLineEdit* OldField() const { return old_; }
  QLineEdit* NewField() const { return new_; }
  QLineEdit* ConfirmField() const { return confirm_; }
  // OK: the change is tried; the storage exception of a failed rebuild is
  // passed on to the caller.
  void accept() override;

 private:
  TBookDocument& doc_;
  QLineEdit* old_ = nullptr;
  QLineEdit* new_ = nullptr;
  QLineEdit* confirm_ = nullptr;
  std::optional<TPasswordResult> result_;
};

// "Tableau des parités euros": the currencies of the euro zone with their
// labels and their parities to the euro, as the currency library gives them.
class CParityTableDialog : public QDialog {
  Q_OBJECT
 public:
  explicit CParityTableDialog(QWidget* parent = nullptr);
  int RowCount() const;

 private:
  QTableWidget* table_ = nullptr;
};

}  // namespace ledgora::app
