#include "foundation/amount_validator.h"

#include "foundation/cp1252.h"

namespace ledgora {
namespace {

// Characters allowed before the comma: m - d - 1, none when m is too small.
long long IntegerLimit(std::size_t max_length, unsigned decimals) {
  return static_cast<long long>(max_length) - static_cast<long long>(decimals) - 1;
}

std::string Hashes(long long count) {
  return count > 0 ? std::string(static_cast<std::size_t>(count), '#') : std::string();
}

// Phases 1 to 3 shared by both amount validators.
bool AmountFits(const TMaskValidator& validator, std::string_view text, std::size_t max_length,
                unsigned decimals) {
  // Phase 1: a text without comma is read as if it ended with one.
  std::string copy(text);
  if (copy.find(',') == std::string::npos) copy.push_back(',');
  // Phase 2: the mask.
  if (!validator.MaskAccepts(copy)) return false;
  // Phase 3: the lengths on both sides of the comma.
  const std::size_t comma = copy.find(',');
  const auto before = static_cast<long long>(Utf8Length(std::string_view(copy).substr(0, comma)));
  const auto after = static_cast<long long>(Utf8Length(std::string_view(copy).substr(comma + 1)));
  return before <= IntegerLimit(max_length, decimals) && after <= static_cast<long long>(decimals);
}

}  // namespace

TAmountValidator::TAmountValidator(std::size_t max_length, bool allow_negative, TRequiredMode mode,
                                   TUserPort* port)
    : TMaskValidator(allow_negative ? kMaskSignedAmount : kMaskAmount, mode, port),
      max_length_(max_length) {}

bool TAmountValidator::CheckText(std::string_view text) const {
  return AmountFits(*this, text, max_length_, 2);
}

std::string TAmountValidator::ErrorText() const {
  return "Montant non valide ou trop grand " + Hashes(IntegerLimit(max_length_, 2)) + ",##" +
         (IsRequired() ? "\nou zone obligatoire !" : "!");
}

TAmountDecValidator::TAmountDecValidator(std::size_t max_length, unsigned decimals,
                                         TRequiredMode mode, TUserPort* port, std::string_view mask)
    : TMaskValidator(mask, mode, port), max_length_(max_length), decimals_(decimals) {}

bool TAmountDecValidator::CheckText(std::string_view text) const {
  return AmountFits(*this, text, max_length_, decimals_);
}

std::string TAmountDecValidator::ErrorText() const {
  return "Montant non valide ou trop grand " + Hashes(IntegerLimit(max_length_, decimals_)) + "," +
         Hashes(decimals_) + (IsRequired() ? "\nou zone obligatoire" : "") + " !";
}

}  // namespace ledgora
