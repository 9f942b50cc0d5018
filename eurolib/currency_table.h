// The parity table of the currency library: the twelve legacy currencies of
// the euro zone with their fixed number of units for one euro.
//
// The parities are plain decimal texts, never binary floating point, so that
// conversions are exact; their only protection is the weighted digit sum of
// Checksum(). The euro is not a row: the functions that need it treat "EUR"
// by name.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "foundation/kdate.h"

namespace ledgora::eurolib {

struct EuroCurrency {
  char code[4];  // empty: an unused row, which ends every scan of the table
  char label[64];
  char plural_label[64];
  char parity[28];  // units for one euro: digits, optionally "." and digits
  KDate valid_from;
  KDate valid_until;
  std::int32_t decimals;
};

// The sum Checksum() gives for the sound table.
inline constexpr int kSoundChecksum = 1908;

// Codes of the lookups (the library's codes).
inline constexpr int kFound = 0;
inline constexpr int kOutsideValidity = 1;
inline constexpr int kUnknownCurrency = 2;

class TCurrencyTable {
 public:
  static constexpr std::size_t kRows = 32;

  // Every row cleared: empty code, labels and parity, both dates today,
  // 2 decimals.
  TCurrencyTable();

  // Writes the twelve rows on first use; never fails.
  void EnsureFilled();
  bool IsFilled() const { return filled_; }

  // The row of a code (compared without regard to case), or null; no
  // validity check. "EUR" has no row.
  const EuroCurrency* Find(std::string_view code);
  // The row of a code valid today: kFound and *row set, kUnknownCurrency, or
  // kOutsideValidity when today lies outside the row's period.
  int FindValid(std::string_view code, const EuroCurrency** row);
  // The same against a given today (one conversion asks the clock once).
  int FindValid(std::string_view code, const KDate& today, const EuroCurrency** row);

  // Row p (from 1) adds p times every digit of its parity text.
  int Checksum();

  const std::array<EuroCurrency, kRows>& Rows() const { return rows_; }
  // For tests that damage the table.
  std::array<EuroCurrency, kRows>& MutableRows() { return rows_; }

  // Writes one row; a parity text of 28 characters or more, or not made of
  // digits with an optional "." and digits, is stored as "0.0".
  static void SetRow(EuroCurrency& row, std::string_view code, std::string_view label,
                     std::string_view plural_label, std::string_view parity,
                     std::string_view valid_from, std::string_view valid_until,
                     std::int32_t decimals);

 private:
  std::array<EuroCurrency, kRows> rows_;
  bool filled_ = false;
};

// The library's own table.
TCurrencyTable& CurrencyTable();

// Codes compared without regard to case (they are ASCII).
bool SameCode(std::string_view a, std::string_view b);
bool IsEuro(std::string_view code);

}  // namespace ledgora::eurolib
