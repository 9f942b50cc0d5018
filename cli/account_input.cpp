#include "cli/account_input.h"

#include <cctype>
#include <cstdlib>
#include <memory>

#include "cli/book_session.h"
#include "cli/cli_arguments.h"
#include "cli/cli_output.h"
#include "foundation/nocase.h"
#include "operations/account_rules.h"
#include "operations/entry_fields.h"
#include "storage/database.h"

namespace ledgora::cli {
namespace {

bool AllAlnum(const std::string& text) {
  for (unsigned char c : text)
    if (!std::isalnum(c)) return false;
  return true;
}

void Field(bool ok, const std::string& what) {
  if (!ok) throw TCommandFailure(kExitUsage, what);
}

}  // namespace

std::optional<double> ReadTypedAmount(const std::string& text) {
  std::string digits;
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::size_t before = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits += c;
      ++before;
    } else if (c == ' ' && before > 0) {
      continue;
    } else {
      break;
    }
  }
  if (before == 0 || before > 9) return std::nullopt;
  if (i < text.size()) {
    if (text[i] != ',' && text[i] != '.') return std::nullopt;
    digits += '.';
    std::size_t after = 0;
    for (++i; i < text.size(); ++i, ++after) {
      if (text[i] < '0' || text[i] > '9' || after >= 2) return std::nullopt;
      digits += text[i];
    }
  }
  const double value = std::strtod(digits.c_str(), nullptr);
  return negative ? -value : value;
}

TAccountRecord* FindAccountByName(TDatabase& db, const std::string& name) {
  if (name.size() > 1 && name[0] == '#') {
    char* end = nullptr;
    const unsigned long id = std::strtoul(name.c_str() + 1, &end, 10);
    if (end && *end == '\0') return db.FindAccount(static_cast<std::uint32_t>(id));
    return nullptr;
  }
  TAccountRecord* folded = nullptr;
  int matches = 0;
  for (auto& account : db.Accounts().Records<TAccountRecord>()) {
    if (account.name == name) return &account;
    if (EqualsNoCase(account.name, name)) {
      folded = &account;
      ++matches;
    }
  }
  return matches == 1 ? folded : nullptr;
}

TAccountRecord* AddAccountFromInput(TDatabase& db, const TAccountInput& in) {
  // What the page's fields let through.
  Field(Utf8Length(in.name) <= kAccountNameMaxChars, "le nom du compte a 15 caractères au plus");
  Field(!in.type || (*in.type >= 0 && *in.type <= 2), "le type du compte est 0, 1 ou 2");
  Field(in.state >= 0 && in.state <= 2, "l'état du compte est 0, 1 ou 2");
  Field(in.bank.empty() || (in.bank.size() == 5 && AllAlnum(in.bank)),
        "le code banque a 5 lettres ou chiffres");
  Field(in.branch.empty() || (in.branch.size() == 5 && AllAlnum(in.branch)),
        "le code guichet a 5 lettres ou chiffres");
  Field(in.number.empty() || (in.number.size() == 11 && AllAlnum(in.number)),
        "le numéro de compte a 11 lettres ou chiffres");
  Field(Utf8Length(in.card_number) <= 16, "le numéro de carte a 16 caractères au plus");
  Field(Utf8Length(in.remark) <= 50, "la remarque a 50 caractères au plus");
  bool letters = in.currency.size() == 3;
  for (unsigned char c : in.currency) letters = letters && std::isalpha(c);
  Field(letters, "la devise est un code de trois lettres");

  // The page's rules, in their order (operations/account_rules.h).
  TAccountFields fields;
  if (in.type) fields.type = static_cast<std::uint16_t>(*in.type);
  fields.name = in.name;
  // A typed amount in either form goes in as the page's field holds it.
  const std::optional<double> initial = in.initial.empty() ? 0.0 : ReadTypedAmount(in.initial);
  fields.initial_balance = initial ? AmountFieldText(*initial) : in.initial;
  fields.currency = ToUpperNoCase(in.currency);
  fields.card_number = in.card_number;
  if (!in.linked.empty()) {
    if (const TAccountRecord* linked = FindAccountByName(db, in.linked)) {
      fields.linked_account = linked->id;
    }
  }
  fields.bank_code = in.bank;
  fields.branch_code = in.branch;
  fields.account_number = in.number;
  fields.remark = in.remark;
  fields.state = static_cast<std::uint16_t>(in.state);
  const TAccountConfirmResult result = ConfirmAccount(db, nullptr, fields);
  return result.outcome == TAccountConfirmOutcome::Added ? result.account : nullptr;
}

}  // namespace ledgora::cli
