// The association windows of the operation list and of the main window.
//
// TAssociationDialog: "Association Libellé-Catégorie", one field "&Libellé :"
// (at most 50 characters). From a row ("Créer une associa&tion...") its
// caption is AssociationFromOperationCaption and OK goes to
// CreateAssociationFromOperation, which asks the clash question through the
// book's port.
//
// RunReassociation ("&Réaffecter une association..."): CanReassociate, the
// choice of an association (TAssociationChooserDialog: the labels with their
// category in the "%s:%s" form), then Reassociate with TQtReassociationAsker,
// which shows TReassociationDialog ("Réaffectation de catégories") for each
// operation: the question, "Compte : %s (%s)", the operation drawn as a row
// of the list (TOperationPreview), and the six answers. Closing the window
// is "A&nnuler".
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>
#include <array>
#include <utility>
#include <vector>

#include "operations/associations.h"
#include "operations/operation_list.h"
#include "storage/database.h"

class QAbstractItemModel;

namespace ledgora {

class TOperationsHooks;

class TAssociationDialog : public QDialog {
  Q_OBJECT
 public:
  // caption: the window's title (kAssociationDialogCaption by default).
  TAssociationDialog(const QString& caption, const QString& label, QWidget* parent = nullptr);
  QLineEdit* LabelField() const { return label_; }
  QPushButton* OkButton() const { return ok_; }
  std::string Label() const { return label_->text().toStdString(); }

 private:
  QLineEdit* label_;
  QPushButton* ok_;
};

// "Créer une associa&tion..." on op: the dialog, then the rule. port shows
// the storage failures. True when the book changed.
bool RunCreateAssociation(TDatabase& db, const TOperationRecord& op, TUserPort& port,
                          QWidget* parent);

// The choice of the association to re-assign.
class TAssociationChooserDialog : public QDialog {
  Q_OBJECT
 public:
  TAssociationChooserDialog(TDatabase& db, QWidget* parent = nullptr);
  QTreeWidget* Choices() const { return choices_; }
  // The association of the current entry, or null.
  TAssociationRecord* Chosen() const;
  // Makes the association with this label current; false when none.
  bool ChooseLabel(const std::string& label);

 private:
  std::vector<TAssociationRecord*> associations_;
  QTreeWidget* choices_;
};

// One operation drawn as the list draws its row: the cells of
// TOperationList and the list's row delegate, under the list's headers.
class TOperationPreview : public QTableView {
  Q_OBJECT
 public:
  // The texts are computed once, here; the records need not outlive the
  // widget. hooks: those of the book (the counter-values).
  TOperationPreview(TDatabase& db, TOperationsHooks& hooks, const TAccountRecord& account,
                    const TOperationRecord& op, QWidget* parent = nullptr);
  const TRowTexts& Texts() const { return texts_; }
  QSize sizeHint() const override;

 private:
  TRowTexts texts_;
  std::vector<TListColumnInfo> columns_;
  QAbstractItemModel* model_ = nullptr;
};

// The texts and columns of the row of op in the list of its account
// (every operation shown, whatever the filters): for the preview.
// Errors: TXOrvanet (the split lines of the account could not be read).
std::pair<TRowTexts, std::vector<TListColumnInfo>> PreviewRow(TDatabase& db,
                                                              TOperationsHooks& hooks,
                                                              const TAccountRecord& account,
                                                              const TOperationRecord& op);

class TReassociationDialog : public QDialog {
  Q_OBJECT
 public:
  TReassociationDialog(TDatabase& db, TOperationsHooks& hooks,
                       const TReassociationQuestion& question, QWidget* parent = nullptr);
  // The answer given; Cancel until a button is pressed, and when the
  // window is closed.
  TReassociationAnswer Answer() const { return answer_; }
  QPushButton* ButtonOf(TReassociationAnswer answer) const;
  QLabel* QuestionLabel() const { return question_; }
  QLabel* AccountLabel() const { return account_; }
  TOperationPreview* Preview() const { return preview_; }

  // The buttons in their order, with their texts.
  static const std::array<std::pair<TReassociationAnswer, const char*>, 6>& Buttons();

 public slots:
  void reject() override;

 private:
  QLabel* question_;
  QLabel* account_;
  TOperationPreview* preview_ = nullptr;
  std::array<QPushButton*, 6> buttons_{};
  TReassociationAnswer answer_ = TReassociationAnswer::Cancel;
};

// Asks each question with TReassociationDialog.
class TQtReassociationAsker : public TReassociationAsker {
 public:
  TQtReassociationAsker(TDatabase& db, TOperationsHooks& hooks, QWidget* parent)
      : db_(db), hooks_(hooks), parent_(parent) {}
  TReassociationAnswer Ask(const TReassociationQuestion& question) override;

 private:
  TDatabase& db_;
  TOperationsHooks& hooks_;
  QWidget* parent_;
};

// "&Réaffecter une association...". Questions and messages go through the
// book's port; port shows the storage failures. Returns whether the book
// may have changed: the caller then refreshes the views
// (kRefreshAfterChange).
bool RunReassociation(TDatabase& db, TUserPort& port, QWidget* parent);

}  // namespace ledgora
