#include "app/list/qt_field_validator.h"

#include "operations/entry_fields.h"

namespace ledgora {

TQtFieldValidator::TQtFieldValidator(std::unique_ptr<TValidator> validator, QObject* parent)
    : QValidator(parent), validator_(std::move(validator)) {}

QValidator::State TQtFieldValidator::validate(QString& input, int& pos) const {
  std::string text = input.toStdString();
  // Literals are completed only while the text grows at its end, so that
  // erasing a "/" does not bring it straight back.
  const bool at_end = pos == input.size();
  const bool grows = at_end && input.size() > last_length_;
  last_length_ = input.size();
  if (!validator_->CheckTyping(text, !grows)) {
    // A character typed where the mask wants a literal (after a "/" was
    // erased): the literal first, then the character.
    if (!grows || input.isEmpty()) return Invalid;
    const QString typed = input.right(1);
    std::string base = input.left(input.size() - 1).toStdString();
    if (!validator_->CheckTyping(base, false)) return Invalid;
    text = base + typed.toStdString();
    if (!validator_->CheckTyping(text, true)) return Invalid;
  }
  const QString checked = QString::fromStdString(text);
  if (checked != input) {
    const bool was_at_end = at_end;
    input = checked;
    if (was_at_end || pos > input.size()) pos = static_cast<int>(input.size());
    last_length_ = input.size();
  }
  return validator_->CheckFinal(text) ? Acceptable : Intermediate;
}

void AttachDateValidator(QLineEdit& field, TUserPort* port) {
  field.setMaxLength(10);
  field.setValidator(new TQtFieldValidator(MakeDateValidator(port), &field));
}

void AttachAmountValidator(QLineEdit& field, bool allow_negative, TUserPort* port) {
  field.setMaxLength(static_cast<int>(kAmountFieldSize - 1));
  field.setValidator(new TQtFieldValidator(MakeAmountValidator(allow_negative, port), &field));
}

}  // namespace ledgora
