// What the benchmarks share to make their books: a small deterministic
// generator and labels made of bank-statement words.
#pragma once

#include <cstdint>
#include <string>

namespace ledgora::bench {

struct TRandom {
  std::uint64_t state;
  std::uint32_t Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::uint32_t>(state >> 33);
  }
  std::uint32_t Below(std::uint32_t n) { return Next() % n; }
};

inline const char* const kWords[] = {"PRLV",   "SEPA",    "CARTE", "EDF",      "ORANGE", "LOYER",
                                     "VIR",    "SALAIRE", "CB",    "MONOPRIX", "SNCF",   "AMAZON",
                                     "CHEQUE", "RETRAIT", "DAB",   "ASSURANCE"};

// count words drawn from kWords, separated by spaces.
inline std::string Words(TRandom& r, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) {
    if (!s.empty()) s += ' ';
    s += kWords[r.Below(16)];
  }
  return s;
}

}  // namespace ledgora::bench
