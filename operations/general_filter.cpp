#include "operations/general_filter.h"

#include "foundation/amount.h"
#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "operations/classification.h"
#include "operations/entry_fields.h"
#include "platform/configuration.h"
#include "storage/operation_record.h"

namespace ledgora {
namespace {

constexpr std::string_view kSetup = "Setup";

std::optional<KDate> ReadDate(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const KDate date = KDate::FromText(text, KD_STANDARD);
  if (!date.IsValid()) return std::nullopt;
  return date;
}

std::optional<double> ReadAmount(std::string_view text) {
  if (text.find_first_not_of(' ') == std::string_view::npos) return std::nullopt;
  return ParseAmount(text);
}

std::string Capitals(std::string_view text) {
  return std::string(Utf8Prefix(ToUpperNoCase(text), kLabelMaxChars));
}

}  // namespace

TGeneralFilter TGeneralFilter::FromTexts(const TGeneralFilterTexts& texts, bool active) {
  TGeneralFilter f;
  f.active_ = active;
  f.texts_ = texts;
  f.date_inf_ = ReadDate(texts.date_inf);
  f.date_sup_ = ReadDate(texts.date_sup);
  f.amount_inf_ = ReadAmount(texts.amount_inf);
  f.amount_sup_ = ReadAmount(texts.amount_sup);
  f.label_ = ToUpperNoCase(texts.label);
  return f;
}

TGeneralFilter TGeneralFilter::Load(const TGeneralFilterKeys& keys) {
  TGeneralFilterTexts texts;
  texts.date_inf = platform::ProfileReadText(kSetup, keys.date_inf, "");
  texts.date_sup = platform::ProfileReadText(kSetup, keys.date_sup, "");
  texts.amount_inf = platform::ProfileReadText(kSetup, keys.amount_inf, "");
  texts.amount_sup = platform::ProfileReadText(kSetup, keys.amount_sup, "");
  texts.label = platform::ProfileReadText(kSetup, keys.label, "", kLabelMaxChars);
  return FromTexts(texts, platform::ProfileReadInt(kSetup, keys.active, 0) != 0);
}

void TGeneralFilter::Store(const TGeneralFilterKeys& keys) const {
  platform::ProfileWriteText(kSetup, keys.date_inf, texts_.date_inf);
  platform::ProfileWriteText(kSetup, keys.date_sup, texts_.date_sup);
  platform::ProfileWriteText(kSetup, keys.amount_inf, texts_.amount_inf);
  platform::ProfileWriteText(kSetup, keys.amount_sup, texts_.amount_sup);
  platform::ProfileWriteText(kSetup, keys.label, texts_.label);
  platform::ProfileWriteInt(kSetup, keys.active, active_ ? 1 : 0);
}

bool TGeneralFilter::Matches(const TOperationRecord& op) const {
  if (date_inf_ && op.date < *date_inf_) return false;
  if (date_sup_ && op.date > *date_sup_) return false;
  // Bounds apply to the signed amount as stored; a NaN amount fails both.
  if (amount_inf_ && !(op.amount >= *amount_inf_)) return false;
  if (amount_sup_ && !(op.amount <= *amount_sup_)) return false;
  if (!label_.empty()) {
    return ToUpperNoCase(FullLabel(op)).find(label_) != std::string::npos;
  }
  return true;
}

std::optional<TGeneralFilterTexts> ValidateGeneralFilter(const TGeneralFilterTexts& typed,
                                                         TUserPort& port) {
  const auto date_validator = MakeDateValidator(&port);
  const auto amount_validator = MakeAmountValidator(true, &port);
  for (const std::string* date : {&typed.date_inf, &typed.date_sup}) {
    if (!date_validator->Validate(*date)) return std::nullopt;
  }
  for (const std::string* amount : {&typed.amount_inf, &typed.amount_sup}) {
    if (!amount_validator->Validate(*amount)) return std::nullopt;
  }
  const std::optional<KDate> inf = ReadDate(typed.date_inf);
  const std::optional<KDate> sup = ReadDate(typed.date_sup);
  if (inf && sup && *inf > *sup) {
    port.Show(std::string(kFilterDateOrderMessage), TIcon::Exclamation);
    return std::nullopt;
  }
  const std::optional<double> low = ReadAmount(typed.amount_inf);
  const std::optional<double> high = ReadAmount(typed.amount_sup);
  if (low && high && *low > *high) {
    port.Show(std::string(kFilterAmountOrderMessage), TIcon::Exclamation);
    return std::nullopt;
  }
  TGeneralFilterTexts stored = typed;
  stored.label = Capitals(typed.label);
  return stored;
}

}  // namespace ledgora
