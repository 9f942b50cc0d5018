#include "foundation/mask_validator.h"

#include "foundation/cp1252.h"

namespace ledgora {
namespace {

TMask CompileOrThrow(std::string_view mask) {
  std::optional<TMask> compiled = TMask::Compile(mask);
  if (!compiled) throw TValidator::TXValidator();
  return std::move(*compiled);
}

}  // namespace

TMaskValidator::TMaskValidator(std::string_view mask, TRequiredMode mode, TUserPort* port)
    : TValidator(mode, port), mask_(CompileOrThrow(mask)) {
  SetOption(kOptionMask);
}

TMatchResult TMaskValidator::MatchMask(std::string& text, bool complete_literals) const {
  return mask_.Match(text, complete_literals);
}

bool TMaskValidator::CheckTyping(std::string& text, bool suppress_completion) const {
  if (mask_.IsEmpty()) return true;
  const bool complete = HasOption(kOptionCompleteLiterals) && !suppress_completion;
  return MatchMask(text, complete) != TMatchResult::Error;
}

bool TMaskValidator::MaskAccepts(std::string_view text) const {
  if (mask_.IsEmpty()) return true;
  std::string copy(text);
  const TMatchResult r = MatchMask(copy, false);
  return r == TMatchResult::Complete || r == TMatchResult::Empty;
}

std::string TMaskValidator::ErrorText() const {
  if (IsRequired()) return "Erreur de saisie ou zone obligatoire !";
  return "Erreur de saisie:\nFormat: " + std::string(Utf8Prefix(MaskText(), 80));
}

}  // namespace ledgora
