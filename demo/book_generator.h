// The book generator: lifelike account books of any size, for the demo, the
// benchmarks and the checks from outside (`ledgora-cli gen-book`).
//
// A book is made of households of five accounts (two current accounts, a
// deferred-debit card with its monthly card statements, two deposit
// accounts) sharing one two-level tree of French categories and one
// project. Each household lives through every month of the period: salary,
// allowances, rent, energy, taxes, daily card spending, monthly transfers
// to the joint and savings accounts, split purchases, yearly interest, and
// periodic chains (the rent and the salary are periodic operations whose
// schedule is held by the last occurrence).
//
// Determinism: the book depends only on the options (seed, operation count,
// period and its last day, password), never on the clock, so that a seed
// gives the same book byte for byte on every machine.
//
// Size: with a target count N the period and the density follow N (two
// years up to 3 000 operations, five up to 30 000, ten above; bigger books
// spend more with the card), households are added one after the other
// until exactly N operations are written (the last household may stop
// before the end of the period). Without a target (0) one household fills
// the period.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/kdate.h"
#include "platform/user_port.h"

namespace ledgora {

struct TBookGeneratorOptions {
  // Operations to write exactly; 0: one household over the whole period.
  std::size_t operations = 0;
  std::uint64_t seed = 1;
  // The book's password (at most 8 characters, stored upper-case); empty:
  // none. With one, every record is scrambled with it.
  std::string password;
  // The last day of the period; an absent date gives kDefaultGeneratorEnd.
  KDate end;
  // The period in months before the month of `end`; 0: chosen from the
  // operation count (see above).
  unsigned months = 0;
};

// The last day of a generated book when none is given.
inline const KDate kDefaultGeneratorEnd{31, 12, 2025};

// What was written.
struct TGeneratedBook {
  std::size_t accounts = 0;
  std::size_t operations = 0;
  std::size_t transfers = 0;  // pairs of operations
  std::size_t splits = 0;     // split operations (their lines not counted)
  std::size_t card_statements = 0;
  std::size_t periodic_chains = 0;
  KDate first;  // the earliest operation
  KDate last;   // the latest operation
};

// Writes a new book at path (a ".VX" path whose book and working copy must
// not exist: std::invalid_argument otherwise, and for a count or a period
// too large), saves and closes it and removes its in-use marker. The book
// enters the recent-books list of the current profile, as every book made by
// the storage does. Errors: TXOrvanet from the storage; on any error the
// working copy is removed and no book is left at path.
TGeneratedBook GenerateBook(const std::string& path, const TBookGeneratorOptions& options,
                            TUserPort& port);

}  // namespace ledgora
