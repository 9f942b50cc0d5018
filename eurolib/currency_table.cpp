#include "eurolib/currency_table.h"

#include <algorithm>
#include <cstring>

namespace ledgora::eurolib {

namespace {

struct TSeedRow {
  const char* code;
  const char* label;
  const char* plural_label;
  const char* parity;
  std::int32_t decimals;
};

// The fixed parities of the changeover, in table order (the order matters
// for the checksum and for euro_CurrencyInfo).
const TSeedRow kSeed[] = {
    {"FRF", "Franc français", "Francs français", "6.55957", 2},
    {"DEM", "Mark allemand", "Marks allemands", "1.95583", 2},
    {"ATS", "Schilling", "Schillings", "13.7603", 2},
    {"BEF", "Franc belge", "Francs belges", "40.3399", 0},
    {"ESP", "Peseta", "Pesetas", "166.386", 0},
    {"FIM", "Mark finlandais", "Marks finlandais", "5.94573", 2},
    {"IEP", "Livre irlandaise", "Livres irlandaises", "0.787564", 2},
    {"ITL", "Lire italienne", "Lires italiennes", "1936.27", 0},
    {"LUF", "Franc luxembourgeois", "Francs luxembourgeois", "40.3399", 0},
    {"NLG", "Florin", "Florins", "2.20371", 2},
    {"PTE", "Escudo", "Escudos", "200.482", 0},
    {"GRD", "Drachme", "Drachmes", "340.75", 0},
};

constexpr std::string_view kValidFrom = "01/01/1997";
constexpr std::string_view kValidUntil = "31/12/2098";

bool IsParityText(std::string_view text) {
  std::size_t p = 0;
  while (p < text.size() && text[p] >= '0' && text[p] <= '9') ++p;
  if (p == 0) return false;
  if (p == text.size()) return true;
  if (text[p] != '.') return false;
  const std::size_t fraction = ++p;
  while (p < text.size() && text[p] >= '0' && text[p] <= '9') ++p;
  return p > fraction && p == text.size();
}

// Copies at most size - 1 bytes and terminates.
template <std::size_t N>
void CopyField(char (&field)[N], std::string_view text) {
  const std::size_t n = std::min(text.size(), N - 1);
  std::memcpy(field, text.data(), n);
  field[n] = '\0';
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool SameCode(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool IsEuro(std::string_view code) {
  return SameCode(code, "EUR");
}

TCurrencyTable::TCurrencyTable() {
  const KDate today = KDate::Today();
  for (EuroCurrency& row : rows_) {
    row = EuroCurrency{};
    row.valid_from = today;
    row.valid_until = today;
    row.decimals = 2;
  }
}

void TCurrencyTable::SetRow(EuroCurrency& row, std::string_view code, std::string_view label,
                            std::string_view plural_label, std::string_view parity,
                            std::string_view valid_from, std::string_view valid_until,
                            std::int32_t decimals) {
  CopyField(row.code, code);
  CopyField(row.label, label);
  CopyField(row.plural_label, plural_label);
  if (parity.size() >= sizeof row.parity || !IsParityText(parity)) parity = "0.0";
  CopyField(row.parity, parity);
  row.valid_from = KDate::FromText(valid_from, KD_DAYFIRST | KD_YEAR4);
  row.valid_until = KDate::FromText(valid_until, KD_DAYFIRST | KD_YEAR4);
  row.decimals = decimals;
}

void TCurrencyTable::EnsureFilled() {
  if (filled_) return;
  // The seed is read through a pointer the compiler cannot see through, so
  // that the parity texts stay data in the library file, where the checksum
  // guards them, rather than being folded into instructions.
  const TSeedRow* seed = kSeed;
  asm("" : "+r"(seed));
  constexpr std::size_t kSeedRows = sizeof kSeed / sizeof kSeed[0];
  for (std::size_t i = 0; i < kSeedRows; ++i) {
    SetRow(rows_[i], seed[i].code, seed[i].label, seed[i].plural_label, seed[i].parity, kValidFrom,
           kValidUntil, seed[i].decimals);
  }
  filled_ = true;
}

const EuroCurrency* TCurrencyTable::Find(std::string_view code) {
  EnsureFilled();
  for (const EuroCurrency& row : rows_) {
    if (row.code[0] == '\0') break;
    if (SameCode(row.code, code)) return &row;
  }
  return nullptr;
}

int TCurrencyTable::FindValid(std::string_view code, const EuroCurrency** row) {
  return FindValid(code, KDate::Today(), row);
}

int TCurrencyTable::FindValid(std::string_view code, const KDate& today, const EuroCurrency** row) {
  const EuroCurrency* found = Find(code);
  if (found == nullptr) return kUnknownCurrency;
  if (today < found->valid_from || today > found->valid_until) return kOutsideValidity;
  *row = found;
  return kFound;
}

int TCurrencyTable::Checksum() {
  EnsureFilled();
  int sum = 0;
  int position = 1;
  for (const EuroCurrency& row : rows_) {
    if (row.code[0] == '\0') break;
    for (const char* c = row.parity; *c != '\0'; ++c) {
      if (*c >= '0' && *c <= '9') sum += position * (*c - '0');
    }
    ++position;
  }
  return sum;
}

TCurrencyTable& CurrencyTable() {
  static TCurrencyTable table;
  return table;
}

}  // namespace ledgora::eurolib
