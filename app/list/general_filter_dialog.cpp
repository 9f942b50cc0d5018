#include "app/list/general_filter_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/validator.h"

#include "app/list/qt_field_validator.h"
#include "operations/entry_fields.h"

namespace ledgora {

namespace {
QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

TGeneralFilterDialog::TGeneralFilterDialog(const TGeneralFilterKeys& keys,
                                           const TGeneralFilterTexts& initial, TUserPort& port,
                                           QWidget* parent)
    : QDialog(parent),
      keys_(keys),
      port_(port),
      stored_(initial),
      date_inf_(new QLineEdit(Q(initial.date_inf), this)),
      date_sup_(new QLineEdit(Q(initial.date_sup), this)),
      amount_inf_(new QLineEdit(Q(initial.amount_inf), this)),
      amount_sup_(new QLineEdit(Q(initial.amount_sup), this)),
      label_(new QLineEdit(Q(initial.label), this)) {
  setWindowTitle(Q(keys.caption));
  AttachDateValidator(*date_inf_, &port_);
  AttachDateValidator(*date_sup_, &port_);
  AttachAmountValidator(*amount_inf_, true, &port_);
  AttachAmountValidator(*amount_sup_, true, &port_);
  label_->setMaxLength(static_cast<int>(kLabelMaxChars));
  for (QLineEdit* amount : {amount_inf_, amount_sup_}) amount->setAlignment(Qt::AlignRight);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Du"), this), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("Au"), this), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Dates :"), this), 1, 0);
  grid->addWidget(date_inf_, 1, 1);
  grid->addWidget(date_sup_, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("Montants :"), this), 2, 0);
  grid->addWidget(amount_inf_, 2, 1);
  grid->addWidget(amount_sup_, 2, 2);
  grid->addWidget(new QLabel(QStringLiteral("Libellé contenant :"), this), 3, 0);
  grid->addWidget(label_, 3, 1, 1, 2);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
  // The button that cancels: while it has the focus the validators accept all.
  buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", kBypassControlId);
  connect(buttons, &QDialogButtonBox::accepted, this, &TGeneralFilterDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TGeneralFilterDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
}

TGeneralFilterTexts TGeneralFilterDialog::Typed() const {
  return {date_inf_->text().toStdString(), date_sup_->text().toStdString(),
          amount_inf_->text().toStdString(), amount_sup_->text().toStdString(),
          label_->text().toStdString()};
}

void TGeneralFilterDialog::accept() {
  const std::optional<TGeneralFilterTexts> texts = ValidateGeneralFilter(Typed(), port_);
  if (!texts) return;  // the message was shown; the dialog stays open
  TGeneralFilter filter = TGeneralFilter::FromTexts(*texts, TGeneralFilter::Load(keys_).Active());
  filter.Store(keys_);
  stored_ = *texts;
  label_->setText(Q(texts->label));
  QDialog::accept();
}

}  // namespace ledgora
