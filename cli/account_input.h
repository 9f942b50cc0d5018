// A new account typed on the command line, checked by the rules of the
// accounts page (operations/account_rules.h) before it is added to the book.
//
// The fields are first held to what the page's fields let through (a
// TCommandFailure with exit code 2 otherwise, since the page would not have
// taken the text): a name of at most 15 characters, bank and branch codes of
// 5 letters or digits, an account number of 11, a card number of at most
// 16 characters, a remark of at most 50, a currency of three letters. Then
// the validation of the page, in its order, whose first failing rule is
// shown (exit code 1): no type, an empty name, an initial balance that is
// not an amount, a card account without its current account, and the
// identity rules against every other account (same name; same card number
// and currency; same bank, branch, number and currency within a type).
#pragma once

#include <optional>
#include <string>

namespace ledgora {
class TAccountRecord;
class TDatabase;
}  // namespace ledgora

namespace ledgora::cli {

struct TAccountInput {
  std::string name;
  std::optional<int> type;  // 0 current, 1 card, 2 deposit
  std::string currency = "EUR";
  std::string initial;  // as typed; empty: 0
  std::string bank;
  std::string branch;
  std::string number;
  std::string card_number;
  std::string linked;  // the current account of a card account: name or "#id"
  std::string remark;
  int state = 0;  // 0 Affiché, 1 Clos, 2 Masqué
};

// An amount as typed: optional sign, digits (spaces between groups allowed),
// "," or "." then at most two decimals, at most 9 digits before them.
std::optional<double> ReadTypedAmount(const std::string& text);

// The account of a book named by its name (exact, else without regard to
// case when that names one account), or "#id". Null when none.
TAccountRecord* FindAccountByName(TDatabase& db, const std::string& name);

// Checks the fields (TCommandFailure, exit code 2), then confirms the new
// account through ConfirmAccount: the message of the first failing rule is
// shown through the book's port and null returned, or the account is added
// and returned.
TAccountRecord* AddAccountFromInput(TDatabase& db, const TAccountInput& input);

}  // namespace ledgora::cli
