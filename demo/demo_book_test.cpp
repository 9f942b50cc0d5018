#include "demo/demo_book.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/clock.h"
#include "platform/configuration.h"
#include "platform/scripted_user_port.h"
#include "storage/book_profile.h"
#include "storage/database.h"

namespace ledgora {
namespace {

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class DemoBook : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ledgora-demo-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
    setenv("LEDGORA_HOME", home_.c_str(), 1);
    platform::ResetConfiguration();
    path_ = home_ + "/Demo.VX";
  }
  void TearDown() override {
    std::filesystem::remove_all(home_);
    unsetenv("LEDGORA_HOME");
    platform::ResetConfiguration();
  }

  std::string home_;
  std::string path_;
  TScriptedUserPort port_;
  platform::TPinnedToday today_{{15, 3, 2026}};
};

TEST_F(DemoBook, HoldsTwoYearsOfConsistentOperations) {
  BuildDemoBook(path_, port_);
  EXPECT_FALSE(HasInUseMarker(path_));
  EXPECT_FALSE(std::filesystem::exists(home_ + "/Demo.$VX"));

  TDatabase db(path_, port_);
  db.Open(false);
  std::set<std::uint16_t> types;
  KDate first, last;
  int transfers = 0, splits = 0, statements = 0;
  for (auto& account : db.Accounts().Records<TAccountRecord>()) {
    types.insert(account.account_type);
    if (account.account_type == kCardAccount) {
      ASSERT_NE(db.FindAccount(account.linked_account), nullptr);
    }
    for (auto& op : account.Operations().Records<TOperationRecord>()) {
      if (!first.IsValid() || op.date < first) first = op.date;
      if (op.date > last) last = op.date;
      EXPECT_EQ(op.account, account.id);
      if (op.kind == kOpTransferOut || op.kind == kOpTransferIn) {
        ++transfers;
        // Each half names the other account and the other operation.
        TOperationRecord* other = db.FindOperation(op.category);
        ASSERT_NE(other, nullptr) << op.label;
        EXPECT_EQ(other->category, op.id);
        EXPECT_EQ(other->account, op.linked_account);
        EXPECT_EQ(other->linked_account, account.id);
        EXPECT_DOUBLE_EQ(other->amount, -op.amount);
        EXPECT_EQ(op.kind == kOpTransferOut, op.amount < 0);
      }
      if (op.kind == kOpSplit) {
        ++splits;
        const TRecordList& lines = db.LoadSplitLines(op);
        EXPECT_GE(lines.Size(), 2u);
        double total = 0;
        for (auto& line : lines.Records<TSplitLineRecord>()) {
          EXPECT_GT(line.amount, 0);
          EXPECT_NE(db.FindCategory(line.category), nullptr);
          total += line.amount;
        }
        EXPECT_NEAR(total, -op.amount, 0.001);
      }
      if (op.kind == kOpCardStatement) ++statements;
      if (op.kind == kOpNormal && op.category != 0) {
        EXPECT_NE(db.FindCategory(op.category), nullptr) << op.label;
      }
    }
  }
  EXPECT_EQ(types, (std::set<std::uint16_t>{kCurrentAccount, kCardAccount, kDepositAccount}));
  EXPECT_GE(first, KDate(1, 3, 2024));
  EXPECT_LE(first, KDate(5, 3, 2024));
  EXPECT_LE(last, KDate(15, 3, 2026));
  EXPECT_GE(last, KDate(1, 3, 2026));
  EXPECT_GT(transfers, 0);
  EXPECT_EQ(transfers % 2, 0);
  EXPECT_GT(splits, 0);
  EXPECT_GE(statements, 23);
  EXPECT_FALSE(db.Categories().Empty());
  EXPECT_FALSE(db.Projects().Empty());
  db.Close();
  RemoveInUseMarker(path_);
}

TEST_F(DemoBook, IsTheSameBookForTheSameDay) {
  BuildDemoBook(path_, port_);
  const std::string once = Bytes(path_);
  std::filesystem::remove(path_);
  BuildDemoBook(path_, port_);
  EXPECT_EQ(Bytes(path_), once);
}

TEST_F(DemoBook, NeverOverwritesABook) {
  BuildDemoBook(path_, port_);
  const std::string before = Bytes(path_);
  EXPECT_THROW(BuildDemoBook(path_, port_), std::invalid_argument);
  EXPECT_EQ(Bytes(path_), before);
}

TEST_F(DemoBook, DescribesEveryAccountAndLeavesTheBookAsItWas) {
  BuildDemoBook(path_, port_);
  const std::string before = Bytes(path_);
  const auto lines = DescribeBook(path_, port_);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].rfind("Compte chèques  compte courant  ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find(" EUR  ("), std::string::npos);
  EXPECT_EQ(Bytes(path_), before);
  EXPECT_FALSE(HasInUseMarker(path_));
}

}  // namespace
}  // namespace ledgora
