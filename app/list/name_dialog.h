// TNameDialog: the one-name dialog of the side panes, for a category ("&Nom :"
// and, for a main category, its kind "Dépense" / "Recette") and for a
// project ("&Libellé :").
//
// OK hands the text to the rule given (CreateCategory, RenameProject, ...),
// which shows its own refusals through the book's port: the dialog closes
// only when the rule accepts, and otherwise stays open with the text as
// typed. A failure of the rule (TXOrvanet or other) closes the dialog as
// cancelled and is thrown again by RethrowFailure, which the caller calls
// once exec() has returned, so that nothing is thrown through the event
// loop of the dialog.
#pragma once

#include <QDialog>
#include <exception>
#include <functional>
#include <string>

class QLineEdit;
class QRadioButton;

namespace ledgora {

class TNameDialog : public QDialog {
  Q_OBJECT
 public:
  // The rule: the text typed (UTF-8) and, with the kind shown, whether
  // "Dépense" is chosen. True accepts.
  using TRule = std::function<bool(const std::string& name, bool debit)>;

  // with_kind: the "Dépense" / "Recette" choice is shown, debit chosen
  // first when debit is true.
  TNameDialog(const QString& caption, const QString& prompt, const QString& initial, int max_chars,
              bool with_kind, bool debit, TRule rule, QWidget* parent = nullptr);

  QLineEdit* NameField() const { return name_; }
  QRadioButton* DebitButton() const { return debit_; }
  QRadioButton* CreditButton() const { return credit_; }
  // Whether OK was refused by the rule at least once.
  int Refusals() const { return refusals_; }
  void RethrowFailure() const;

  void accept() override;

 private:
  QLineEdit* name_;
  QRadioButton* debit_ = nullptr;
  QRadioButton* credit_ = nullptr;
  TRule rule_;
  int refusals_ = 0;
  std::exception_ptr failure_;
};

}  // namespace ledgora
