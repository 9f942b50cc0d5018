// TMaskValidator: a field checked against an input mask (foundation/mask.h).
#pragma once

#include <string>
#include <string_view>

#include "foundation/mask.h"
#include "foundation/validator.h"

namespace ledgora {

class TMaskValidator : public TValidator {
 public:
  // Throws TValidator::TXValidator when the mask is not well formed. An
  // empty mask accepts every text. Option bit kOptionMask is set; literal
  // completion while typing (kOptionCompleteLiterals) is off until set.
  explicit TMaskValidator(std::string_view mask, TRequiredMode mode = TRequiredMode::Optional,
                          TUserPort* port = nullptr);

  // The matcher on this validator's mask: Complete, Incomplete, Empty or
  // Error (see TMask::Match).
  virtual TMatchResult MatchMask(std::string& text, bool complete_literals) const;

  // True unless the mask answers Error. Completes literals when option bit
  // kOptionCompleteLiterals is set and the caller does not suppress it.
  bool CheckTyping(std::string& text, bool suppress_completion = false) const override;

  // "Erreur de saisie ou zone obligatoire !" in required mode, otherwise
  // "Erreur de saisie:\nFormat: " and the mask (at most 80 characters).
  std::string ErrorText() const override;

  // The mask's own verdict, without required mode or bypass: a match
  // without completion that is complete or empty (an empty mask: always).
  bool MaskAccepts(std::string_view text) const;

  const std::string& MaskText() const { return mask_.Text(); }

 protected:
  bool CheckText(std::string_view text) const override { return MaskAccepts(text); }

 private:
  TMask mask_;
};

}  // namespace ledgora
