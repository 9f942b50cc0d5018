// TAmountValidator and TAmountDecValidator: the amount fields.
//
// The amount edit field limits its text to its size minus one; that limit is
// the validator's maximum length m. A text without comma is checked as if it
// ended with one; it must then pass the mask and keep within m - d - 1
// characters before the comma (the sign included) and d after it, d being 2
// for TAmountValidator.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "foundation/mask_validator.h"

namespace ledgora {

class TAmountValidator : public TMaskValidator {
 public:
  // The mask is kMaskSignedAmount when negative amounts are allowed, else
  // kMaskAmount.
  TAmountValidator(std::size_t max_length, bool allow_negative,
                   TRequiredMode mode = TRequiredMode::Optional, TUserPort* port = nullptr);

  std::size_t MaxLength() const { return max_length_; }

  // "Montant non valide ou trop grand ", m - 3 times "#", ",##", then
  // "\nou zone obligatoire !" in required mode or "!" otherwise.
  std::string ErrorText() const override;

 protected:
  bool CheckText(std::string_view text) const override;

 private:
  std::size_t max_length_;
};

class TAmountDecValidator : public TMaskValidator {
 public:
  // d decimals; the mask is that of the amounts in another currency unless
  // another is given. Throws TValidator::TXValidator for a malformed mask.
  TAmountDecValidator(std::size_t max_length, unsigned decimals,
                      TRequiredMode mode = TRequiredMode::Optional, TUserPort* port = nullptr,
                      std::string_view mask = kMaskSignedDecimals);

  std::size_t MaxLength() const { return max_length_; }
  unsigned Decimals() const { return decimals_; }

  // "Montant non valide ou trop grand ", m - d - 1 times "#", ",", d times
  // "#", then "\nou zone obligatoire" in required mode, then " !".
  std::string ErrorText() const override;

 protected:
  bool CheckText(std::string_view text) const override;

 private:
  std::size_t max_length_;
  unsigned decimals_;
};

}  // namespace ledgora
