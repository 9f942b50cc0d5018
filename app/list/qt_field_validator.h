// TQtFieldValidator: a validator of the foundation (masks, amounts, dates)
// on a Qt edit field.
//
// While the user types, the field's text goes through CheckTyping (which may
// put letters in capitals and complete literals); a text the mask refuses is
// not let in. A text the validator accepts as it stands is Acceptable, any
// other Intermediate. The final verdict and its message stay with the core
// function that receives the text, which checks it again with the same
// validator.
#pragma once

#include <QLineEdit>
#include <QValidator>
#include <memory>

#include "foundation/validator.h"
#include "platform/user_port.h"

namespace ledgora {

class TQtFieldValidator : public QValidator {
  Q_OBJECT
 public:
  TQtFieldValidator(std::unique_ptr<TValidator> validator, QObject* parent = nullptr);
  State validate(QString& input, int& pos) const override;
  const TValidator& Core() const { return *validator_; }

 private:
  std::unique_ptr<TValidator> validator_;
  mutable qsizetype last_length_ = 0;
};

// The date fields of the list's editor and dialogs (day first, "/"
// completed while typing).
void AttachDateValidator(QLineEdit& field, TUserPort* port);
// The amount fields: the amount validator and the field's length limit.
void AttachAmountValidator(QLineEdit& field, bool allow_negative, TUserPort* port);

}  // namespace ledgora
