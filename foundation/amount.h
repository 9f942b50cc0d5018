// Text forms of amounts: display, plain, American, and the three readers.
//
// An amount is a double in the currency of its account (negative debit,
// positive credit). Every writer rounds the exact binary value of the double
// half away from zero, as the C library of the original platform does with
// "%1.2lf": 0.125 gives 0,13 and 2.675 (2.67499999... in binary) gives 2,67.
// The writers never depend on the process locale. A value that is not
// finite (only a damaged record holds one) is written "nan", "inf" or
// "-inf", which every reader below reads as 0.
//
// Separators are single 8-bit characters: ' ', ',', '.', or 0 for none. A
// separator byte of 0x80 or above is a Windows-1252 character (the "Intl"
// settings of win.ini are read as such) and is written in its UTF-8 form, so
// every text produced here is UTF-8.
//
// Buffer forms write into the caller's buffer without knowing its size:
// kAmountBufferSize bytes hold the text of any finite double, 32 bytes hold
// any amount below 10^15 with grouping and a sign (the size the dialogs and
// lists use). The std::string forms have no such limit to mind.
//
// No function reports an error: a text that is not a number reads as 0, or
// as the number its leading part forms.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ledgora {

// Holds the text of any finite double written by the functions below, with
// any number of decimals up to kMaxAmountDecimals, grouping, separators in
// UTF-8, sign and terminator.
inline constexpr std::size_t kAmountBufferSize = 640;
// Decimals beyond this are written as this many; a negative count as 0.
inline constexpr int kMaxAmountDecimals = 20;

// Display form with 2 decimals: "1 234 567,89", "-1 234,50". An amount
// strictly between -0.0005 and 0.0005 is "0,00" without sign; -0.004 lies
// outside that band and gives "-0,00". A thousands separator of 0 writes no
// grouping; a decimal separator of 0 ends the text before the decimals.
// Returns out.
char* FormatAmount(double amount, char* out, char thousands = ' ', char decimal = ',');
std::string FormatAmount(double amount, char thousands = ' ', char decimal = ',');

// Display form with n decimals; the zero band is -0.000005..0.000005, and
// with n = 0 there is no decimal separator. Returns out.
char* FormatAmountDec(double amount, char* out, int decimals, char thousands = ' ',
                      char decimal = ',');
std::string FormatAmountDec(double amount, int decimals, char thousands = ' ', char decimal = ',');

// American form: "," grouping, "." decimals, 2 decimals, "-" first for a
// negative amount: "-1,234,567.89". Returns out.
char* FormatAmountUS(double amount, char* out);
std::string FormatAmountUS(double amount);

// "%1.2lf" with the point replaced by a comma, no grouping, the sign as the
// conversion writes it ("-0,00" for -0.0). The text lives in a static buffer
// shared by all calls of the same function and overwritten by the next one:
// copy it before calling again. Not for use from several threads.
const char* AmountText(double amount);
// The same with n decimals (a static buffer of its own).
const char* AmountTextDec(double amount, int decimals);

// Reads a French-form text: spaces (and no-break spaces) are dropped, every
// "," is a decimal point, and the rest is read as a decimal number (optional
// sign, digits, point, digits, optional exponent; reading stops at the first
// other character). "1 234,56" gives 1234.56, "" and "abc" give 0. A number
// beyond the range of a double reads as 0. A null text reads as 0.
void ParseAmount(double& amount, const char* text);
double ParseAmount(std::string_view text);

// Reads an American-form text: commas are dropped, "." is the decimal point.
void ParseAmountUS(double& amount, const char* text);
double ParseAmountUS(std::string_view text);

// Reads a text of an imported file whose separators it detects. Each space,
// comma or point followed by exactly two characters becomes the decimal
// separator, any other the thousands separator; both are remembered for the
// following calls until a text changes them (initially "." and ","). The
// fraction is always hundredths: "1.234,56" and "1,234.56" give 1234.56,
// "-12,34" gives -12.34. Blanks around the text are ignored.
void ParseAmountAuto(double& amount, const char* text);
double ParseAmountAuto(std::string_view text);

// The separators ParseAmountAuto remembers, and their reset to the initial
// "." and "," (tests; a new import run does not reset them).
struct TAmountAutoSeparators {
  char decimal = '.';
  char thousands = ',';
};
TAmountAutoSeparators AmountAutoSeparators();
void ResetAmountAutoSeparators();

// Replace the first "," by "." (the first "." by ",") in place. The C forms
// return a pointer to the replaced character, or nullptr when there is none
// (or text is null); the string forms its position.
char* CommaToDot(char* text);
char* DotToComma(char* text);
std::optional<std::size_t> CommaToDot(std::string& text);
std::optional<std::size_t> DotToComma(std::string& text);

}  // namespace ledgora
