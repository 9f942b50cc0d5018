// TCharSetValidator: a field whose every character belongs to a set.
#pragma once

#include <bitset>
#include <string>
#include <string_view>

#include "foundation/validator.h"

namespace ledgora {

// Letters and digits (the set of the program's code fields).
inline constexpr std::string_view kCharSetLettersDigits = "A-Za-z0123456789";

class TCharSetValidator : public TValidator {
 public:
  // The set is written as a text: "\" makes the next character plain, a
  // "-" between two characters (neither first nor last) stands for every
  // character between them (in either order), and any other character
  // stands for itself. The set holds Windows-1252 characters: a character
  // that Windows-1252 cannot hold is in no set.
  explicit TCharSetValidator(std::string_view set, TRequiredMode mode = TRequiredMode::Optional,
                             TUserPort* port = nullptr);

  bool Contains(char32_t c) const;
  // True when every character of text belongs to the set (the empty text
  // included).
  bool AllInSet(std::string_view text) const;

  bool CheckTyping(std::string& text, bool suppress_completion = false) const override;
  // "Caractère saisi non valide !"
  std::string ErrorText() const override;

 protected:
  bool CheckText(std::string_view text) const override { return AllInSet(text); }

 private:
  std::bitset<256> set_;
};

}  // namespace ledgora
