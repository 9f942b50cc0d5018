#include "demo/demo_book.h"

#include <stdexcept>

#include "demo/book_generator.h"
#include "foundation/amount.h"
#include "foundation/kdate.h"
#include "storage/book_profile.h"
#include "storage/database.h"

namespace ledgora {
namespace {

const char* TypeName(std::uint16_t type) {
  switch (type) {
    case kCurrentAccount:
      return "compte courant";
    case kCardAccount:
      return "carte à débit différé";
    case kDepositAccount:
      return "compte de dépôt";
  }
  return "?";
}

}  // namespace

void BuildDemoBook(const std::string& path, TUserPort& port) {
  // One household over the two years before today, its randomness drawn
  // from the day: the same day gives the same book.
  TBookGeneratorOptions options;
  options.end = KDate::Today();
  options.seed = options.end.DayNumber();
  options.months = 24;
  GenerateBook(path, options, port);
}

std::vector<std::string> DescribeBook(const std::string& path, TUserPort& port) {
  std::vector<std::string> lines;
  {
    TDatabase db(path, port);
    db.Open(false);
    for (const auto& account : db.Accounts().Records<TAccountRecord>()) {
      lines.push_back(account.name + "  " + TypeName(account.account_type) + "  " +
                      FormatAmount(account.balance) + " " + account.currency + "  (" +
                      std::to_string(account.Operations().Size()) + " opérations)");
    }
    db.Close();
  }
  RemoveInUseMarker(path);
  return lines;
}

}  // namespace ledgora
