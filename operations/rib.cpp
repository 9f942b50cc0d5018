#include "operations/rib.h"

#include <cstdint>
#include <optional>

#include "storage/account_record.h"

namespace ledgora {
namespace {

// The digit a character stands for, or none.
std::optional<int> RibDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c < 'A' || c > 'Z') return std::nullopt;
  // A..I 1..9, J..R 1..9, S..Z 2..9.
  if (c <= 'I') return c - 'A' + 1;
  if (c <= 'R') return c - 'J' + 1;
  return c - 'S' + 2;
}

// The part read as a number, modulo 97.
std::optional<std::uint32_t> Mod97(std::string_view part) {
  std::uint32_t rest = 0;
  for (char c : part) {
    const std::optional<int> d = RibDigit(c);
    if (!d) return std::nullopt;
    rest = (rest * 10 + static_cast<std::uint32_t>(*d)) % 97;
  }
  return rest;
}

}  // namespace

std::string RibKey(std::string_view bank_code, std::string_view branch_code,
                   std::string_view account_number) {
  const auto bank = Mod97(bank_code);
  const auto branch = Mod97(branch_code);
  const auto number = Mod97(account_number);
  if (!bank || !branch || !number) return "??";
  const std::uint32_t key = 97 - (89 * *bank + 15 * *branch + 3 * *number) % 97;
  std::string text(2, '0');
  text[0] = static_cast<char>('0' + key / 10);
  text[1] = static_cast<char>('0' + key % 10);
  return text;
}

std::string RibText(const TAccountRecord& account) {
  if (account.bank_code.empty() && account.branch_code.empty() && account.account_number.empty())
    return "R.I.B. = ???";
  return "R.I.B. = " + account.bank_code + " " + account.branch_code + " " +
         account.account_number + " " +
         RibKey(account.bank_code, account.branch_code, account.account_number);
}

std::string CardNumberText(const TAccountRecord& account) {
  return "Numéro de carte = " + account.card_number;
}

}  // namespace ledgora
