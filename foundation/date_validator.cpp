#include "foundation/date_validator.h"

namespace ledgora {

TDateValidator::TDateValidator(std::string_view mask, unsigned flags, TRequiredMode mode,
                               TUserPort* port)
    : TMaskValidator(mask, mode, port), flags_(flags) {}

bool TDateValidator::CheckText(std::string_view text) const {
  return MaskAccepts(text) && KDate::FromText(text, flags_).IsValid();
}

std::string TDateValidator::ErrorText() const {
  return "Date non valide " + MaskText() + (IsRequired() ? "\nou zone obligatoire !" : " !");
}

}  // namespace ledgora
