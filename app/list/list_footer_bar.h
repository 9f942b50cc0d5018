// TListFooterBar: the footer under the operation list: "Devise du compte :
// %s" with the currency's flag, then the balance or the total of the rows
// shown (in the warning colour when negative, with its counter-value as a
// tool tip when the footer shows the balance of an account of the euro
// circle).
#pragma once

#include <QLabel>
#include <QWidget>

#include "operations/operation_list.h"

namespace ledgora {

class TListFooterBar : public QWidget {
  Q_OBJECT
 public:
  explicit TListFooterBar(QWidget* parent = nullptr);
  void Show(const TListFooter& footer);

  QString CurrencyText() const { return currency_->text(); }
  QString FigureLabel() const { return figure_label_->text(); }
  QString FigureText() const { return figure_->text(); }
  QString FigureToolTip() const { return figure_->toolTip(); }
  bool FigureInWarningColour() const { return warning_; }

 private:
  QLabel* flag_;
  QLabel* currency_;
  QLabel* figure_label_;
  QLabel* figure_;
  bool warning_ = false;
};

}  // namespace ledgora
