// TGeneralFilterDialog: the five values of the general display filter
// ("Filtre pour l'affichage", or "Filtre pour l'affichage - Multicomptes"
// with the category recap's keys). OK runs ValidateGeneralFilter: a refused
// field or two bounds in the wrong order show their message and the dialog
// stays open; otherwise the texts are stored under the dialog's keys (the
// label fragment in capitals), the filter's switch unchanged.
#pragma once

#include <QDialog>
#include <QLineEdit>

#include "operations/general_filter.h"

namespace ledgora {

class TGeneralFilterDialog : public QDialog {
  Q_OBJECT
 public:
  TGeneralFilterDialog(const TGeneralFilterKeys& keys, const TGeneralFilterTexts& initial,
                       TUserPort& port, QWidget* parent = nullptr);

  TGeneralFilterTexts Typed() const;
  // The texts stored by the last accepted OK.
  const TGeneralFilterTexts& Stored() const { return stored_; }

  QLineEdit* DateInfField() const { return date_inf_; }
  QLineEdit* DateSupField() const { return date_sup_; }
  QLineEdit* AmountInfField() const { return amount_inf_; }
  QLineEdit* AmountSupField() const { return amount_sup_; }
  QLineEdit* LabelField() const { return label_; }

 public slots:
  void accept() override;

 private:
  const TGeneralFilterKeys& keys_;
  TUserPort& port_;
  TGeneralFilterTexts stored_;
  QLineEdit* date_inf_;
  QLineEdit* date_sup_;
  QLineEdit* amount_inf_;
  QLineEdit* amount_sup_;
  QLineEdit* label_;
};

}  // namespace ledgora
