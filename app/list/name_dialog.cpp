#include "app/list/name_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "foundation/validator.h"

namespace ledgora {

TNameDialog::TNameDialog(const QString& caption, const QString& prompt, const QString& initial,
                         int max_chars, bool with_kind, bool debit, TRule rule, QWidget* parent)
    : QDialog(parent), name_(new QLineEdit(this)), rule_(std::move(rule)) {
  setWindowTitle(caption);
  name_->setMaxLength(max_chars);
  name_->setText(initial);
  name_->selectAll();
  // Room for the longest name in the dialog's font.
  name_->setMinimumWidth(std::min(
      name_->fontMetrics().horizontalAdvance(QString(std::max(max_chars, 20), QChar('e'))) + 24,
      440));

  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* label = new QLabel(prompt, this);
  label->setBuddy(name_);
  row->addWidget(label);
  row->addWidget(name_, 1);
  layout->addLayout(row);

  if (with_kind) {
    auto* kind = new QGroupBox(QStringLiteral("Type"), this);
    auto* kinds = new QHBoxLayout(kind);
    debit_ = new QRadioButton(QStringLiteral("&Dépense"), kind);
    credit_ = new QRadioButton(QStringLiteral("&Recette"), kind);
    debit_->setObjectName("debit");
    credit_->setObjectName("credit");
    (debit ? debit_ : credit_)->setChecked(true);
    kinds->addWidget(debit_);
    kinds->addWidget(credit_);
    kinds->addStretch(1);
    layout->addWidget(kind);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
  // The button that cancels: while it has the focus the validators accept all.
  buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", kBypassControlId);
  connect(buttons, &QDialogButtonBox::accepted, this, &TNameDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TNameDialog::reject);
  layout->addWidget(buttons);
  name_->setFocus();
}

void TNameDialog::accept() {
  bool accepted = false;
  try {
    // Spaces around a name are never meant: they would make a second name
    // that looks like the first.
    accepted = rule_(name_->text().trimmed().toStdString(), debit_ ? debit_->isChecked() : true);
  } catch (...) {
    failure_ = std::current_exception();
    QDialog::reject();
    return;
  }
  if (!accepted) {
    // Refused: the rule said why; the text stays for the user to correct.
    ++refusals_;
    name_->setFocus();
    name_->selectAll();
    return;
  }
  QDialog::accept();
}

void TNameDialog::RethrowFailure() const {
  if (failure_) std::rethrow_exception(failure_);
}

}  // namespace ledgora
