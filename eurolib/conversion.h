// The conversions of the currency library: exact, in decimal, by the rules of
// the euro changeover.
//
// Every conversion between two legacy currencies passes through the euro;
// every result is rounded half away from zero to the decimals the caller
// chooses. The quotients and products keep at least one digit beyond the
// place that is rounded, so a result equals the exact value rounded.
#pragma once

#include <cstddef>
#include <string_view>

namespace ledgora::eurolib {

// The count of characters after the first "." of an amount text when a digit
// follows that point, else 0.
std::size_t DecimalsOfAmountText(std::string_view amount);

// The conversion of an amount text from source to target into out (size
// bytes): result_decimals decimals in the result, euro_decimals in the
// intermediate euro amount of a conversion between two legacy currencies.
// Codes: 0; 1 memory or validity; 2 unknown currency or out too small; 3 the
// amount alone does not fit when source and target are the same.
int ConvertAmountText(std::string_view amount, std::string_view source, std::string_view target,
                      char* out, std::size_t size, std::size_t result_decimals,
                      std::size_t euro_decimals);

// The text overload of euro_Conversion: result_decimals < 0 keeps the
// decimals of the amount text.
int Conversion(std::string_view amount, std::string_view source, std::string_view target, char* out,
               std::size_t size, int result_decimals);

// The text overload of euro_ConversionError: the conversion into out, then
// difference = amount - (out converted back to source with the decimals of
// the amount).
int ConversionError(std::string_view amount, std::string_view source, std::string_view target,
                    char* out, std::size_t size, int result_decimals, char* difference,
                    std::size_t difference_size);

// The double overloads: the amount is written with input_decimals decimals
// (2 when 0 or less), converted as text, and read back. On a code other than
// 0 the out values are left as they were.
int ConversionOfDouble(double amount, int input_decimals, std::string_view source,
                       std::string_view target, int result_decimals, double& result);
int ConversionErrorOfDouble(double amount, int input_decimals, std::string_view source,
                            std::string_view target, int result_decimals, double& result,
                            double& difference);

}  // namespace ledgora::eurolib
