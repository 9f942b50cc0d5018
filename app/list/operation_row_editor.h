// TOperationRowEditor: the in-place editor laid over a row of the list.
//
// It shows the fields TOperationEditor::Begin chose (date, pointed box, the
// "Débit"/"Crédit" fields or the one "Montant" field of a card account, the
// label and complementary label in the detailed display, the project and
// category for kind Normal), each under its column, with the masks of the
// date and amount fields. Enter validates through TOperationEditor::Validate
// (which checks the texts again, shows the message of a refused field and
// keeps the editor open); Escape closes it without change.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <array>

#include "operations/operation_editor.h"
#include "operations/operation_list.h"

namespace ledgora {

class TOperationRowEditor : public QFrame {
  Q_OBJECT
 public:
  TOperationRowEditor(TOperationEditor& rule, TEditSession session, TUserPort& port,
                      QWidget* parent);

  const TEditSession& Session() const { return session_; }
  // Lays the fields out: the row's rectangle in the parent, and the left edge
  // and width of each column (width 0: the column is hidden).
  void Place(const QRect& row, const std::array<std::pair<int, int>, kListColumnCount>& columns);

  // What is typed now.
  TEditorInput Input() const;
  // The validation (Enter). Applied and Gone close the editor (Finished).
  TEditOutcome Validate();

  QLineEdit* DateField() const { return date_; }
  QCheckBox* PointedBox() const { return pointed_; }
  QLineEdit* DebitField() const { return debit_; }    // null in a card account
  QLineEdit* CreditField() const { return credit_; }  // null in a card account
  QLineEdit* AmountField() const { return amount_; }  // card account only
  QLineEdit* LabelField() const { return label_; }    // null in the condensed display
  QLineEdit* ComplementaryField() const { return complementary_; }
  QComboBox* ProjectField() const { return project_; }  // null unless kind Normal
  QComboBox* CategoryField() const { return category_; }

 signals:
  // The editor is done (applied: the book holds the edit); the list closes it.
  void Finished(bool applied);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLineEdit* AmountEdit(const std::string& text, bool allow_negative);
  QComboBox* Choice(const std::vector<std::string>& choices, const std::string& text);

  TOperationEditor& rule_;
  TEditSession session_;
  TUserPort& port_;
  QLineEdit* date_ = nullptr;
  QCheckBox* pointed_ = nullptr;
  QLineEdit* debit_ = nullptr;
  QLineEdit* credit_ = nullptr;
  QLineEdit* amount_ = nullptr;
  QLineEdit* label_ = nullptr;
  QLineEdit* complementary_ = nullptr;
  QComboBox* project_ = nullptr;
  QComboBox* category_ = nullptr;
  bool finished_ = false;
};

}  // namespace ledgora
