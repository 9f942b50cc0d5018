#include "operations/entry_fields.h"

#include "foundation/amount.h"

namespace ledgora {

std::unique_ptr<TDateValidator> MakeDateValidator(TUserPort* port) {
  auto v = std::make_unique<TDateValidator>(kMaskDate, KD_STANDARD, TRequiredMode::Optional, port);
  v->SetOption(TValidator::kOptionCompleteLiterals);
  return v;
}

std::unique_ptr<TAmountValidator> MakeAmountValidator(bool allow_negative, TUserPort* port) {
  return std::make_unique<TAmountValidator>(kAmountFieldSize - 1, allow_negative,
                                            TRequiredMode::Optional, port);
}

std::string AmountFieldText(double amount) {
  return FormatAmount(amount, '\0', ',');
}

}  // namespace ledgora
