#include "cli/account_input.h"

#include <cctype>
#include <cstdlib>
#include <memory>

#include "cli/book_session.h"
#include "cli/cli_arguments.h"
#include "cli/cli_output.h"
#include "foundation/nocase.h"
#include "storage/database.h"

namespace ledgora::cli {
namespace {

// The page's rules.
constexpr std::string_view kNoTypeMessage = "Vous n'avez pas choisi le type du compte.";
constexpr std::string_view kNoNameMessage = "Le nom du compte est obligatoire.";
constexpr std::string_view kBadInitialMessage = "Le solde initial est invalide !";
constexpr std::string_view kNoLinkedMessage =
    "Sélectionnez le compte courant à associer à votre compte carte.";
constexpr std::string_view kSameNameMessage =
    "Vous ne pouvez pas créer deux comptes ayant le même nom !";
constexpr std::string_view kSameCardMessage =
    "Vous ne pouvez pas créer deux comptes Encours Carte ayant le même numéro de carte.";
constexpr std::string_view kSameRibMessage =
    "Vous ne pouvez pas créer deux comptes ayant le même R.I.B.";

bool AllAlnum(const std::string& text) {
  for (unsigned char c : text)
    if (!std::isalnum(c)) return false;
  return true;
}

void Field(bool ok, const std::string& what) {
  if (!ok) throw TCommandFailure(kExitUsage, what);
}

TAccountRecord* Refuse(TDatabase& db, std::string_view message) {
  db.Port().Show(std::string(message), TIcon::Exclamation);
  return nullptr;
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
  Field(Utf8Length(in.name) <= 15, "le nom du compte a 15 caractères au plus");
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

  // 1 to 3.
  if (!in.type) return Refuse(db, kNoTypeMessage);
  if (in.name.empty()) return Refuse(db, kNoNameMessage);
  std::optional<double> initial = in.initial.empty() ? 0.0 : ReadTypedAmount(in.initial);
  if (!initial) return Refuse(db, kBadInitialMessage);

  // 4, 5: a new account's balance is its initial balance.
  auto account = std::make_unique<TAccountRecord>();
  account->name = in.name;
  account->account_type = static_cast<std::uint16_t>(*in.type);
  account->initial_balance = *initial;
  account->balance = *initial;
  account->remark = in.remark;
  account->state = static_cast<std::uint16_t>(in.state);
  if (account->account_type == kCardAccount) {
    // 6: the card takes the bank details and the currency of its current account.
    account->card_number = in.card_number;
    TAccountRecord* linked = in.linked.empty() ? nullptr : FindAccountByName(db, in.linked);
    if (!linked || linked->account_type != kCurrentAccount) {
      return Refuse(db, kNoLinkedMessage);
    }
    account->linked_account = linked->id;
    account->bank_code = linked->bank_code;
    account->branch_code = linked->branch_code;
    account->account_number = linked->account_number;
    account->currency = linked->currency;
  } else {
    // 7.
    account->bank_code = in.bank;
    account->branch_code = in.branch;
    account->account_number = in.number;
    account->currency = ToUpperNoCase(in.currency);
  }
  // 8: against every other account, in order.
  const TAccountRecord& a = *account;
  for (const auto& other : db.Accounts().Records<TAccountRecord>()) {
    if (other.name == a.name) return Refuse(db, kSameNameMessage);
    if (a.account_type == kCardAccount) {
      if (!a.card_number.empty() && !a.currency.empty() && a.card_number == other.card_number &&
          EqualsNoCase(a.currency, other.currency)) {
        return Refuse(db, kSameCardMessage);
      }
    } else if (other.account_type == a.account_type && !a.bank_code.empty() &&
               !a.branch_code.empty() && !a.account_number.empty() && !a.currency.empty() &&
               a.bank_code == other.bank_code && a.branch_code == other.branch_code &&
               a.account_number == other.account_number &&
               EqualsNoCase(a.currency, other.currency)) {
      return Refuse(db, kSameRibMessage);
    }
  }
  // 9.
  TAccountRecord& added = db.AddAccount(std::move(account));
  db.ComputeBalance(added);
  return &added;
}

}  // namespace ledgora::cli
