// TTransferRule: turning an operation into a transfer between two accounts,
// moving it to another account, or undoing it ("V&irement...").
//
// A transfer is two operations in two accounts: each names the other account
// (linked account) and the other operation (complement identifier, held in
// its category field), and their amounts are opposite (converted by the
// currency library when the currencies differ). The credit is the
// TransferIn, the other half the TransferOut.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ledgora {

class TAccountRecord;
class TDatabase;
class TOperationList;
class TOperationRecord;
class TTransferDuplicateFinder;

// The entry that removes a transfer, first in the dialog's list.
inline constexpr std::string_view kNoTransferChoice = "Aucun";
// The pop-up menu of a row shows at most this many candidate accounts.
inline constexpr std::size_t kMaxTransferMenuAccounts = 250;

inline constexpr std::string_view kReplaceComplementQuestion =
    "Un virement est composé de deux opérations.\nFaut-il détruire l'ancienne opération "
    "complémentaire du virement ?";
inline constexpr std::string_view kRemoveComplementQuestion =
    "Un virement est composé de deux opérations.\nFaut-il détruire l'opération complémentaire "
    "du virement ?";

// The amount of the other half, in account to, of an amount of account from:
// its opposite, converted from from's currency into to's by the library
// when the currencies differ and from is of the euro circle (0 when the
// library refuses); a converted amount also gets the source-amount text
// "%s %s" (the opposite amount with two decimals, from's currency).
struct TOtherHalfAmount {
  double amount = 0;
  std::optional<std::string> source_amount;
};
TOtherHalfAmount OtherHalfAmount(const TAccountRecord& from, const TAccountRecord& to,
                                 double amount);

// Steps 4 to 7 of a transfer, for op (in the book) towards target: op takes
// its kind by its sign; the other half is a copy of op in target (NotPointed,
// entered by hand, no bank reference, linking back to op) with the amount
// above; the duplicate search runs for it (finder may be null) and an
// existing operation it returns is replaced by it (the other half takes that
// operation's project, labels and bank reference, and its amount for a
// transfer out of a "EUR" account into another currency); then the other
// half is added, op records it and is saved, and both balances are
// recomputed. Returns the other half. Errors: TXOrvanet.
TOperationRecord& MakeOtherHalf(TDatabase& db, TTransferDuplicateFinder* finder,
                                TOperationRecord& op, TAccountRecord& target);

class TTransferRule {
 public:
  explicit TTransferRule(TOperationList& list) : list_(list) {}

  // The command is offered: an active account that is not a card account,
  // and a row that is not a CardStatement, a Split or a EuroConversion.
  bool Available(std::size_t row) const;
  // The accounts a row can be transferred to, in account order: no card
  // account, no Clos account, only Affiché accounts when "Options" /
  // "VirCptOuvertsSeulement" is 1 (the default), never the active account,
  // the row's current other account, or the account the active account was
  // converted from or into; of the euro circle (or "EUR") when the active
  // account is, else of exactly its currency.
  std::vector<TAccountRecord*> Candidates(std::size_t row) const;
  // The user chose target for the row (null: "Aucun"). On the new-entry
  // line only the row's kind and linked account change (the other half is
  // made when the line is validated). False when nothing was done (a target
  // that is not a candidate, the pointed-operation warning answered No).
  bool Choose(std::size_t row, TAccountRecord* target);

 private:
  TOperationList& list_;
};

}  // namespace ledgora
