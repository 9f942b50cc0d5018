#include "foundation/validator.h"

namespace ledgora {

void TValidator::ShowError() const {
  if (!port_) return;
  const std::string text = ErrorText();
  if (text.empty()) return;
  TMessage message;
  message.text = text;
  message.caption = std::string(kValidatorCaption);
  message.icon = TIcon::Exclamation;
  message.buttons = TButtons::Ok;
  message.task_modal = true;
  port_->Message(message);
}

bool TValidator::CheckTyping(std::string& /*text*/, bool /*suppress_completion*/) const {
  return true;
}

bool TValidator::CheckFinal(std::string_view text) const {
  if (port_ && port_->FocusedControlId() == kBypassControlId) return true;
  if (text.empty()) return mode_ == TRequiredMode::Optional;
  return CheckText(text);
}

bool TValidator::Validate(std::string_view text) const {
  if (CheckFinal(text)) return true;
  ShowError();
  return false;
}

bool TValidator::CheckText(std::string_view /*text*/) const {
  return true;
}

}  // namespace ledgora
