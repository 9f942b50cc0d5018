// The fields the operation list's editor and dialogs type into: their
// masks, their length limits and their validators.
//
// A dialog in app/ attaches these validators to its edit fields; the core
// functions that receive what was typed check the same texts again with the
// same validators, so that a text no field would have let through never
// reaches the book.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "foundation/amount_validator.h"
#include "foundation/date_validator.h"
#include "platform/user_port.h"

namespace ledgora {

// A date typed day first: one or two digits for the day and the month, two
// or four for the year, "/" between them (a typed space stands for it).
inline constexpr std::string_view kMaskDate = "#[#]/#[#]/##[##]";
// The size of an amount field, terminator included: 12 characters, so at
// most 9 before the comma ("123456789,12").
inline constexpr std::size_t kAmountFieldSize = 13;
// Labels and the complementary label hold at most 50 characters.
inline constexpr std::size_t kLabelMaxChars = 50;

// Optional date field read with KD_STANDARD.
std::unique_ptr<TDateValidator> MakeDateValidator(TUserPort* port);
// Optional amount field; allow_negative: the signed mask.
std::unique_ptr<TAmountValidator> MakeAmountValidator(bool allow_negative, TUserPort* port);

// The text of an amount as an edit field shows it: two decimals, a comma,
// no grouping ("1234,50"), so that it passes the amount masks as it stands.
std::string AmountFieldText(double amount);

}  // namespace ledgora
