// libOrvEuro32.so: the currency library.
//
// The only place of the system that knows the fixed euro parities of the
// twelve legacy currencies of the euro zone and converts amounts between
// currencies, exactly, in decimal. It also answers questions about
// currencies, supplies fixed lists of codes with the identifiers of its flag
// and icon bitmaps, checks the integrity of its parity table, tells bank
// working days, and reports its version and installation.
//
// Calling conventions (every export):
//   - Nothing throws. Results are integer codes, 0 for success:
//       0 success
//       1 out of memory, or a currency outside its validity period
//         (01/01/1997 to 31/12/2098 against today's date)
//       2 unknown currency, or output text too small
//       3 output text too small where noted (same source and target
//         currency, parity buffer), or division by zero
//   - Currency codes are three-letter texts compared without regard to case;
//     "EUR" is the euro and is not a row of the parity table. A null code
//     text is read as an empty, unknown code.
//   - Amount texts: an optional "+" or "-", digits, optionally "." and
//     digits. No grouping, the decimal separator is always ".". Any other
//     text (a comma, a space, letters) reads as zero, without an error.
//     Written texts: "-" for a negative number, the integer digits, and "."
//     with the digits of the scale when there are any.
//   - Buffers belong to the caller. The sizes below are what the library
//     writes at most where no size argument is given; where a size argument
//     is given it is checked. Texts are UTF-8 ("Franc français").
//   - The library keeps no lock: call it from one thread.
//
// The exports are bound by the programs at load time; the linker version
// script (orveuro32.map) lists them in the order of their historical
// ordinals, which is the order of the declarations below. Everything else in
// the library is hidden.
#pragma once

#include <cstddef>
#include <cstdint>

#include "eurolib/library_api.h"
#include "foundation/kdate.h"

namespace ledgora {

// The library's file name, the stand-in for "ORVEURO32.DLL".
inline constexpr const char* kOrvEuro32FileName = "libOrvEuro32.so";

// Buffer sizes (bytes, terminator included).
inline constexpr std::size_t kEuroCodeSize = 4;           // a currency code
inline constexpr std::size_t kEuroLabelSize = 64;         // a label, singular or plural
inline constexpr std::size_t kEuroParitySize = 28;        // a parity text
inline constexpr std::size_t kEuroSentenceSize = 160;     // GetMsgCouverture
inline constexpr std::size_t kEuroCurrencyListSize = 80;  // GetListeDevisesIN
inline constexpr std::size_t kEuroIconListSize = 128;     // GetListeIconesOrig
// The buffers the double overloads use for their texts.
inline constexpr std::size_t kEuroDoubleResultSize = 51;
inline constexpr std::size_t kEuroDoubleDifferenceSize = 21;

// Bitmaps of the library (type kResourceBitmap): the flags 9001 to 9020
// named by GetIdDrapeau (24 x 16, 16 colours), 9021 (24 x 16, 256 colours,
// the Irish flag in its true colours, which the calculator shows on its IEP
// button) and the icon bitmaps 9100 to 9115 named by GetListeIconesOrig
// (18 x 18, 16 colours, on a light grey (192, 192, 192) background).
inline constexpr unsigned kFirstFlagBitmap = 9001;
inline constexpr unsigned kLastFlagBitmap = 9021;
inline constexpr unsigned kFirstIconBitmap = 9100;
inline constexpr unsigned kLastIconBitmap = 9115;

}  // namespace ledgora

// ---- The 27 exports, in ordinal order -------------------------------------

// 1: 1 if the code is one of the twelve legacy currencies, else 0 ("EUR" 0).
LEDGORA_LIBRARY_EXPORT int EstDansCercleEuro(const char* code);

// 2: shows "the library must be installed in the system folder" (error icon,
// the given caption) through the message hook.
LEDGORA_LIBRARY_EXPORT void GetDllEuroBadInstall(const char* caption);

// 3: shows "the version of your library is no longer valid" likewise.
LEDGORA_LIBRARY_EXPORT void GetDllEuroMessage(const char* caption);

// 4: GetDllEuroVersion2(0).
LEDGORA_LIBRARY_EXPORT const char* GetDllEuroVersion();

// 5, 6: move the date back / forward to the count-th working day before /
// after it (the start date never counts; a count of 0 or less leaves the date
// as it is). calendar -1: weekends and five fixed holidays; 0: weekends and
// the eight French public holidays; any other value is taken as 0. Both add
// Easter Monday, Ascension and Whit Monday (years 1997 to 2010 only); region 1
// with calendar 0 adds 26 December and Good Friday. A move stops at the
// bounds of the years 1 and 9999.
LEDGORA_LIBRARY_EXPORT void GetJourOuvreMoins(ledgora::KDate& date, int count, int calendar,
                                              int region);
LEDGORA_LIBRARY_EXPORT void GetJourOuvrePlus(ledgora::KDate& date, int count, int calendar,
                                             int region);

// 7: 1 if the date is a working day, 0 if it is closed.
LEDGORA_LIBRARY_EXPORT int IsDayOpen(const ledgora::KDate& date, int calendar, int region);

// 8: 1 for the values 0, 1, 2 and 3, else 0.
LEDGORA_LIBRARY_EXPORT int IsEuroEnable(int value);

// 9: converts amount (written with input_decimals decimals, 2 when 0 or less)
// from source to target, rounded half away from zero to result_decimals
// decimals (negative: as many as the amount was written with). On a code
// other than 0, result is left as it was.
LEDGORA_LIBRARY_EXPORT int euro_Conversion(double amount, int input_decimals, const char* source,
                                           double& result, const char* target, int result_decimals);

// 10: the exact conversion of an amount text into result (result_size bytes,
// terminator included). Legacy to legacy goes through the euro, rounded to
// one decimal more than the amount text carries. The result is not padded
// with zeros beyond the digits the computation produced. The buffer is also
// the work area: it must hold the unrounded quotient or product (one digit
// more than the result), or the code is 2; kEuroDoubleResultSize is ample.
LEDGORA_LIBRARY_EXPORT int euro_Conversion(const char* amount, const char* source, char* result,
                                           const char* target, unsigned result_size,
                                           int result_decimals);

// 11: euro_Conversion, then the result converted back to the source currency
// and difference = amount - (amount converted there and back).
LEDGORA_LIBRARY_EXPORT int euro_ConversionError(double amount, int input_decimals,
                                                const char* source, double& result,
                                                const char* target, int result_decimals,
                                                double& difference);

// 12: the same on texts; difference_size bytes for the difference text.
LEDGORA_LIBRARY_EXPORT int euro_ConversionError(const char* amount, const char* source,
                                                char* result, const char* target,
                                                unsigned result_size, int result_decimals,
                                                char* difference, unsigned difference_size);

// 13: count = the number of legacy currencies valid today (12, or 0 outside
// the validity period). Returns 0.
LEDGORA_LIBRARY_EXPORT int euro_CurrencyCount(int& count);

// 14: row index 0 to 31 of the parity table: its code (kEuroCodeSize), its
// singular label (kEuroLabelSize) and its parity; 2 and empty texts and 0.0
// for an index outside the table or an empty row (12 to 31).
LEDGORA_LIBRARY_EXPORT int euro_CurrencyInfo(int row, char* code, char* label, double& parity);

// 15: the singular label (kEuroLabelSize); "Euro" for "EUR". Unknown code: 2,
// and the buffer holds the code itself (cut to 63 bytes).
LEDGORA_LIBRARY_EXPORT int euro_CurrencyLabel(const char* code, char* label);

// 16: the parity text ("6.55957") into a buffer of buffer_size bytes; 3 when
// it does not fit; 2 for "EUR" and unknown codes; 1 outside the validity
// period.
LEDGORA_LIBRARY_EXPORT int euro_CurrencyRate(const char* code, char* parity, unsigned buffer_size);

// 17: "Contre-valeurs calculées sur la base d'un euro pour 6,55957 Francs
// français." for the code's row (FRF's for "EUR"), an empty text for other
// codes (kEuroSentenceSize).
LEDGORA_LIBRARY_EXPORT void GetMsgCouverture(const char* code, char* sentence);

// 18: 1 when the parity table is sound; otherwise shows "the parities are
// corrupted" (error icon, the given caption) and returns 0.
LEDGORA_LIBRARY_EXPORT int VerifieCoherenceDLL(const char* caption);

// 19: the parity as a double; codes as for ordinal 16.
LEDGORA_LIBRARY_EXPORT int euro_CurrencyRate(const char* code, double& parity);

// 20: the plural label; "Euros" for "EUR"; otherwise as ordinal 15.
LEDGORA_LIBRARY_EXPORT int euro_CurrencyLabelPluriel(const char* code, char* label);

// 21: the number of decimals of the code's amounts; 2 and the code 2 for
// "EUR" and unknown codes.
LEDGORA_LIBRARY_EXPORT int euro_CurrencyNbDecimales(const char* code, int& decimals);

// 22: the library's version text ("1.1.304") in a static buffer overwritten
// by every call, or null. With folder_check 0 the library must lie in the
// system folder: $LEDGORA_SYSTEM_DIR when set, else the program's library
// folder (<executable folder>/../lib when it exists, else the executable's
// folder); outside it the answer is null. The text is read back from the
// version block in the library's file on disk.
LEDGORA_LIBRARY_EXPORT const char* GetDllEuroVersion2(int folder_check);

// 23: the identifier of the code's flag bitmap (9001 to 9020), 0 if unknown.
// Spain is "SPN" and Japan "YEN" here.
LEDGORA_LIBRARY_EXPORT std::uint16_t GetIdDrapeau(const char* code);

// 24: 13.
LEDGORA_LIBRARY_EXPORT int GetNbDevisesIN();

// 25: "FRF;EUR;DEM;..." (with_decimals 0) or "FRF2;EUR2;DEM2;..." into
// kEuroCurrencyListSize bytes.
LEDGORA_LIBRARY_EXPORT void GetListeDevisesIN(int with_decimals, char* list);

// 26: "FRF9100;EUR9113;PTE9101;..." into kEuroIconListSize bytes.
LEDGORA_LIBRARY_EXPORT void GetListeIconesOrig(char* list);

// 27: 16.
LEDGORA_LIBRARY_EXPORT int GetNbIconesOrig();

// ---- Platform stand-ins (no ordinal) ---------------------------------------

// Installs the hook that shows the library's messages (null: standard error).
LEDGORA_LIBRARY_EXPORT void SetDllEuroMessageHook(ledgora::TLibraryMessageHook hook, void* context);

// A picture of the library by type and identifier (see library_api.h): on
// kResourceFound, *data and *size describe bytes owned by the library until
// it is unloaded. kResourceUnknown for another type or identifier,
// kResourceNoMemory when the pictures cannot be drawn.
LEDGORA_LIBRARY_EXPORT int GetDllEuroResource(unsigned type, unsigned id,
                                              const unsigned char** data, std::size_t* size);
