// TDateValidator: a date field, checked by its mask and then read by KDate.
#pragma once

#include <string>
#include <string_view>

#include "foundation/kdate.h"
#include "foundation/mask_validator.h"

namespace ledgora {

class TDateValidator : public TMaskValidator {
 public:
  // flags: the KDate reading flags (KD_STANDARD: "31/12/2098"). Throws
  // TValidator::TXValidator for a malformed mask.
  explicit TDateValidator(std::string_view mask, unsigned flags = KD_STANDARD,
                          TRequiredMode mode = TRequiredMode::Optional, TUserPort* port = nullptr);

  unsigned Flags() const { return flags_; }

  // "Date non valide " and the mask, then "\nou zone obligatoire !" in
  // required mode or " !" otherwise.
  std::string ErrorText() const override;

 protected:
  // The mask accepts the text and KDate reads a valid date from it.
  bool CheckText(std::string_view text) const override;

 private:
  unsigned flags_;
};

}  // namespace ledgora
