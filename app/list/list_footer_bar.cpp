#include "app/list/list_footer_bar.h"

#include <QHBoxLayout>

#include "app/list/account_list_model.h"
#include "app/list/list_pictures.h"

namespace ledgora {

TListFooterBar::TListFooterBar(QWidget* parent)
    : QWidget(parent),
      flag_(new QLabel(this)),
      currency_(new QLabel(this)),
      figure_label_(new QLabel(this)),
      figure_(new QLabel(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 3, 6, 3);
  layout->setSpacing(6);
  layout->addWidget(flag_);
  layout->addWidget(currency_);
  layout->addStretch(1);
  layout->addWidget(figure_label_);
  layout->addWidget(figure_);
  QFont bold = figure_->font();
  bold.setBold(true);
  figure_->setFont(bold);
  figure_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  setAutoFillBackground(true);
}

void TListFooterBar::Show(const TListFooter& footer) {
  const QPixmap flag = CurrencyLibraryBitmap(footer.currency_flag);
  flag_->setPixmap(flag);
  flag_->setVisible(!flag.isNull());
  currency_->setText(QString::fromStdString(footer.currency_text));
  figure_label_->setText(QString::fromStdString(footer.figure_label));
  figure_->setText(QString::fromStdString(footer.figure_text));
  warning_ = footer.figure_colour == TListColour::Warning;
  QPalette palette = figure_->palette();
  palette.setColor(QPalette::WindowText, warning_ ? TAccountListModel::WarningColour()
                                                  : this->palette().color(QPalette::WindowText));
  figure_->setPalette(palette);
  figure_->setToolTip(QString::fromStdString(footer.figure_tooltip));
  figure_label_->setToolTip(figure_->toolTip());
}

}  // namespace ledgora
