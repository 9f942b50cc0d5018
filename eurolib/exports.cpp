// The export table of libOrvEuro32.so: thin wrappers that guard the
// boundary (null texts, no exception ever leaves) over the library's rules.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "eurolib/conversion.h"
#include "eurolib/currency_table.h"
#include "eurolib/decimal_number.h"
#include "eurolib/euro_pictures.h"
#include "eurolib/library_identity.h"
#include "eurolib/orveuro32.h"
#include "eurolib/working_days.h"

using namespace ledgora;
using namespace ledgora::eurolib;

namespace {

// The version text handed out by both version functions, overwritten by
// every call.
char g_version[21];

std::string_view TextOf(const char* text) {
  return text != nullptr ? std::string_view(text) : "";
}

// Copies at most size - 1 bytes and terminates (the unchecked buffers of the
// interface still never receive more than their documented size).
void CopyBounded(char* out, std::size_t size, std::string_view text) {
  if (out == nullptr) return;
  const std::size_t n = std::min(text.size(), size - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

constexpr const char* kBadInstallText =
    "Librairie Europe du Orvane (ORVEURO32.DLL)\n\nCette librairie doit être installée "
    "UNIQUEMENT dans le dossier système de Windows.";
constexpr const char* kOutdatedText =
    "Librairie Europe du Orvane (ORVEURO32.DLL)\n\nLa version de votre librairie n'est plus "
    "valide, téléchargez une mise à jour sur Orvanet.";
constexpr const char* kCorruptedText =
    "Librairie Europe du Orvane (ORVEURO32.DLL)\n\nLes parités des monnaies sont corrompues. "
    "Réinstallez la DLL.";

int RateText(const char* code, char* parity, unsigned size) {
  const EuroCurrency* row = nullptr;
  const int found = CurrencyTable().FindValid(TextOf(code), &row);
  if (found != kFound) return found;
  if (parity == nullptr || std::strlen(row->parity) + 1 > size) return 3;
  std::strcpy(parity, row->parity);
  return kOk;
}

int Label(const char* code, char* label, bool plural) {
  if (label == nullptr) return kUnknownCurrency;
  const std::string_view c = TextOf(code);
  if (IsEuro(c)) {
    CopyBounded(label, kEuroLabelSize, plural ? "Euros" : "Euro");
    return kOk;
  }
  CopyBounded(label, kEuroLabelSize, c);
  const EuroCurrency* row = CurrencyTable().Find(c);
  if (row == nullptr) return kUnknownCurrency;
  CopyBounded(label, kEuroLabelSize, plural ? row->plural_label : row->label);
  return kOk;
}

double ParityAsDouble(const char* parity) {
  double value = 0.0;
  const std::string_view s(parity);
  std::from_chars(s.data(), s.data() + s.size(), value);
  return value;
}

}  // namespace

int EstDansCercleEuro(const char* code) {
  return CurrencyTable().Find(TextOf(code)) != nullptr ? 1 : 0;
}

void GetDllEuroBadInstall(const char* caption) {
  ShowMessage(kBadInstallText, caption, kLibraryMessageOk | kLibraryMessageIconError);
}

void GetDllEuroMessage(const char* caption) {
  ShowMessage(kOutdatedText, caption, kLibraryMessageOk | kLibraryMessageIconError);
}

const char* GetDllEuroVersion() {
  return GetDllEuroVersion2(0);
}

void GetJourOuvreMoins(KDate& date, int count, int calendar, int region) {
  SubtractWorkingDays(date, count, calendar, region);
}

void GetJourOuvrePlus(KDate& date, int count, int calendar, int region) {
  AddWorkingDays(date, count, calendar, region);
}

int IsDayOpen(const KDate& date, int calendar, int region) {
  return IsWorkingDay(date, calendar, region) ? 1 : 0;
}

int IsEuroEnable(int value) {
  return value >= 0 && value <= 3 ? 1 : 0;
}

int euro_Conversion(double amount, int input_decimals, const char* source, double& result,
                    const char* target, int result_decimals) {
  try {
    return ConversionOfDouble(amount, input_decimals, TextOf(source), TextOf(target),
                              result_decimals, result);
  } catch (...) {
    return kNoMemory;
  }
}

int euro_Conversion(const char* amount, const char* source, char* result, const char* target,
                    unsigned result_size, int result_decimals) {
  try {
    return Conversion(TextOf(amount), TextOf(source), TextOf(target), result, result_size,
                      result_decimals);
  } catch (...) {
    return kNoMemory;
  }
}

int euro_ConversionError(double amount, int input_decimals, const char* source, double& result,
                         const char* target, int result_decimals, double& difference) {
  try {
    return ConversionErrorOfDouble(amount, input_decimals, TextOf(source), TextOf(target),
                                   result_decimals, result, difference);
  } catch (...) {
    return kNoMemory;
  }
}

int euro_ConversionError(const char* amount, const char* source, char* result, const char* target,
                         unsigned result_size, int result_decimals, char* difference,
                         unsigned difference_size) {
  try {
    return ConversionError(TextOf(amount), TextOf(source), TextOf(target), result, result_size,
                           result_decimals, difference, difference_size);
  } catch (...) {
    return kNoMemory;
  }
}

int euro_CurrencyCount(int& count) {
  TCurrencyTable& table = CurrencyTable();
  table.EnsureFilled();
  const KDate today = KDate::Today();
  count = 0;
  for (const EuroCurrency& row : table.Rows()) {
    if (row.code[0] == '\0') break;
    if (!(today < row.valid_from) && !(today > row.valid_until)) ++count;
  }
  return kOk;
}

int euro_CurrencyInfo(int row, char* code, char* label, double& parity) {
  CopyBounded(code, kEuroCodeSize, "");
  CopyBounded(label, kEuroLabelSize, "");
  parity = 0.0;
  TCurrencyTable& table = CurrencyTable();
  table.EnsureFilled();
  if (row < 0 || static_cast<std::size_t>(row) >= TCurrencyTable::kRows) return kUnknownCurrency;
  const EuroCurrency& r = table.Rows()[static_cast<std::size_t>(row)];
  if (r.code[0] == '\0') return kUnknownCurrency;
  CopyBounded(code, kEuroCodeSize, r.code);
  CopyBounded(label, kEuroLabelSize, r.label);
  parity = ParityAsDouble(r.parity);
  return kOk;
}

int euro_CurrencyLabel(const char* code, char* label) {
  return Label(code, label, false);
}

int euro_CurrencyRate(const char* code, char* parity, unsigned buffer_size) {
  return RateText(code, parity, buffer_size);
}

void GetMsgCouverture(const char* code, char* sentence) {
  if (sentence == nullptr) return;
  sentence[0] = '\0';
  const std::string_view c = TextOf(code);
  const char* row_code = IsEuro(c) ? "FRF" : code;
  const EuroCurrency* row = CurrencyTable().Find(TextOf(row_code));
  if (row == nullptr) return;
  char parity[kEuroParitySize] = "";
  if (RateText(row_code, parity, sizeof parity) != kOk) parity[0] = '\0';
  for (char* p = parity; *p != '\0'; ++p) {
    if (*p == '.') *p = ',';
  }
  std::snprintf(sentence, kEuroSentenceSize,
                "Contre-valeurs calculées sur la base d'un euro pour %s %s.", parity,
                row->plural_label);
}

int VerifieCoherenceDLL(const char* caption) {
  if (CurrencyTable().Checksum() == kSoundChecksum) return 1;
  ShowMessage(kCorruptedText, caption, kLibraryMessageOk | kLibraryMessageIconError);
  return 0;
}

int euro_CurrencyRate(const char* code, double& parity) {
  char text[kEuroParitySize];
  const int found = RateText(code, text, sizeof text);
  if (found == kOk) parity = ParityAsDouble(text);
  return found;
}

int euro_CurrencyLabelPluriel(const char* code, char* label) {
  return Label(code, label, true);
}

int euro_CurrencyNbDecimales(const char* code, int& decimals) {
  decimals = 2;
  const EuroCurrency* row = CurrencyTable().Find(TextOf(code));
  if (row == nullptr) return kUnknownCurrency;
  decimals = row->decimals;
  return kOk;
}

const char* GetDllEuroVersion2(int folder_check) {
  try {
    return LibraryVersionText(folder_check, kOrvEuro32FileName, g_version);
  } catch (...) {
    return nullptr;
  }
}

std::uint16_t GetIdDrapeau(const char* code) {
  const std::string_view c = TextOf(code);
  for (const TCodeBitmap& flag : kFlagBitmaps) {
    if (SameCode(flag.code, c)) return flag.id;
  }
  return 0;
}

int GetNbDevisesIN() {
  return 13;
}

void GetListeDevisesIN(int with_decimals, char* list) {
  CopyBounded(list, kEuroCurrencyListSize,
              with_decimals == 0
                  ? "FRF;EUR;DEM;BEF;LUF;ITL;ATS;IEP;ESP;NLG;PTE;FIM;GRD"
                  : "FRF2;EUR2;DEM2;BEF0;LUF0;ITL0;ATS2;IEP2;ESP0;NLG2;PTE0;FIM2;GRD0");
}

void GetListeIconesOrig(char* list) {
  if (list == nullptr) return;
  std::string text;
  for (const TCodeBitmap& icon : kIconBitmaps) {
    if (!text.empty()) text += ';';
    text += icon.code;
    text += std::to_string(icon.id);
  }
  CopyBounded(list, kEuroIconListSize, text);
}

int GetNbIconesOrig() {
  return 16;
}

void SetDllEuroMessageHook(TLibraryMessageHook hook, void* context) {
  SetMessageHook(hook, context);
}

int GetDllEuroResource(unsigned type, unsigned id, const unsigned char** data, std::size_t* size) {
  return FindEuroPicture(type, id, data, size);
}
