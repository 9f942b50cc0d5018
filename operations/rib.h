// The bank identity of an account (its RIB) and its two-digit key.
#pragma once

#include <string>
#include <string_view>

namespace ledgora {

class TAccountRecord;

// The key of the French RIB rule: letters become digits (A J 1, B K S 2,
// C L T 3, D M U 4, E N V 5, F O W 6, G P X 7, H Q Y 8, I R Z 9, either
// case), then key = 97 - (89 * bank + 15 * branch + 3 * account) mod 97,
// written with two digits ("01" to "97"). An empty part counts as 0. A part
// holding anything but ASCII letters and digits cannot be computed: "??".
std::string RibKey(std::string_view bank_code, std::string_view branch_code,
                   std::string_view account_number);

// "R.I.B. = %s %s %s %s" (bank code, branch code, account number, key);
// "R.I.B. = ???" when the three parts are empty.
std::string RibText(const TAccountRecord& account);

// "Numéro de carte = %s".
std::string CardNumberText(const TAccountRecord& account);

}  // namespace ledgora
