#include "demo/book_generator.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

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

class BookGenerator : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ledgora-gen-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
    setenv("LEDGORA_HOME", home_.c_str(), 1);
    platform::ResetConfiguration();
  }
  void TearDown() override {
    std::filesystem::remove_all(home_);
    unsetenv("LEDGORA_HOME");
    platform::ResetConfiguration();
  }
  std::string Path(const std::string& name) const { return home_ + "/" + name; }

  std::size_t CountOperations(TDatabase& db) {
    std::size_t n = 0;
    for (auto& account : db.Accounts().Records<TAccountRecord>()) n += account.Operations().Size();
    return n;
  }

  std::string home_;
  TScriptedUserPort port_;
};

TEST_F(BookGenerator, WritesExactlyTheOperationsAsked) {
  for (std::size_t n : {1u, 2u, 7u, 1000u, 4321u}) {
    const std::string path = Path("N" + std::to_string(n) + ".VX");
    TBookGeneratorOptions options;
    options.operations = n;
    const TGeneratedBook report = GenerateBook(path, options, port_);
    EXPECT_EQ(report.operations, n);
    TDatabase db(path, port_);
    db.Open(false);
    EXPECT_EQ(CountOperations(db), n) << n;
    db.Close();
    RemoveInUseMarker(path);
  }
}

TEST_F(BookGenerator, BigBooksHaveSeveralHouseholdsAndSeveralYears) {
  TBookGeneratorOptions options;
  options.operations = 40000;
  options.seed = 7;
  const TGeneratedBook report = GenerateBook(Path("Big.VX"), options, port_);
  EXPECT_EQ(report.operations, 40000u);
  EXPECT_GT(report.accounts, 5u);
  EXPECT_EQ(report.accounts % 5, 0u);
  EXPECT_GE(report.last.Year() - report.first.Year(), 9u);
  EXPECT_EQ(report.last, KDate(31, 12, 2025));
  EXPECT_GT(report.periodic_chains, 2u);
  EXPECT_GT(report.card_statements, 100u);

  TDatabase db(Path("Big.VX"), port_);
  db.Open(false);
  std::set<std::string> names;
  std::set<std::uint16_t> types;
  std::size_t transfers = 0, splits = 0, chained = 0, models = 0;
  for (auto& account : db.Accounts().Records<TAccountRecord>()) {
    EXPECT_TRUE(names.insert(account.name).second) << account.name;
    EXPECT_LE(account.name.size(), 22u);  // 20 characters, "É" taking two bytes
    types.insert(account.account_type);
    if (account.account_type == kCardAccount) {
      const TAccountRecord* current = db.FindAccount(account.linked_account);
      ASSERT_NE(current, nullptr);
      EXPECT_EQ(current->account_type, kCurrentAccount);
    }
    for (auto& op : account.Operations().Records<TOperationRecord>()) {
      if (op.kind == kOpTransferOut || op.kind == kOpTransferIn) {
        ++transfers;
        const TOperationRecord* other = db.FindOperation(op.category);
        ASSERT_NE(other, nullptr);
        EXPECT_EQ(other->category, op.id);
        EXPECT_EQ(other->account, op.linked_account);
        EXPECT_DOUBLE_EQ(other->amount, -op.amount);
      }
      if (op.kind == kOpSplit) {
        ++splits;
        double total = 0;
        for (auto& line : db.LoadSplitLines(op).Records<TSplitLineRecord>()) total += line.amount;
        EXPECT_NEAR(total, -op.amount, 0.001);
      }
      if (op.periodic != 0) {
        ++chained;
        if (!op.HasFlag(kOpPastOccurrence)) {
          ++models;
          const auto schedule = db.ReadSchedule(op);
          ASSERT_NE(schedule, nullptr);
          EXPECT_EQ(schedule->date, op.date);
          EXPECT_EQ(schedule->frequency, 3);
        }
      }
    }
  }
  EXPECT_EQ(types, (std::set<std::uint16_t>{kCurrentAccount, kCardAccount, kDepositAccount}));
  EXPECT_EQ(transfers, 2 * report.transfers);
  EXPECT_EQ(splits, report.splits);
  EXPECT_EQ(models, report.periodic_chains);
  EXPECT_GT(chained, models);
  // Two levels of French categories.
  std::set<std::string> tops;
  bool sub = false;
  for (auto& category : db.Categories().Records<TCategoryRecord>()) {
    tops.insert(category.name);
    sub = sub || !category.SubCategories().Empty();
  }
  EXPECT_TRUE(sub);
  EXPECT_TRUE(tops.count("Alimentation"));
  db.Close();
  RemoveInUseMarker(Path("Big.VX"));
}

TEST_F(BookGenerator, ASeedGivesTheSameBookAndAnotherSeedAnother) {
  // The same name in two folders: the backup path in the header follows the book.
  std::filesystem::create_directories(Path("one"));
  std::filesystem::create_directories(Path("two"));
  std::filesystem::create_directories(Path("three"));
  TBookGeneratorOptions options;
  options.operations = 800;
  options.seed = 42;
  GenerateBook(Path("one/A.VX"), options, port_);
  GenerateBook(Path("two/A.VX"), options, port_);
  options.seed = 43;
  GenerateBook(Path("three/A.VX"), options, port_);
  const std::string one = Bytes(Path("one/A.VX"));
  std::string two = Bytes(Path("two/A.VX"));
  std::string three = Bytes(Path("three/A.VX"));
  // Only the backup path differs (same length: "one" "two").
  ASSERT_EQ(one.size(), two.size());
  std::size_t differing = 0;
  for (std::size_t i = 0; i < one.size(); ++i) differing += one[i] != two[i];
  EXPECT_LE(differing, 3u);
  EXPECT_TRUE(one.substr(370) == two.substr(370));
  EXPECT_FALSE(one.substr(370) == three.substr(370));
}

TEST_F(BookGenerator, APasswordScramblesTheRecords) {
  TBookGeneratorOptions options;
  options.operations = 50;
  options.password = "secret";
  GenerateBook(Path("P.VX"), options, port_);
  options.password.clear();
  GenerateBook(Path("Q.VX"), options, port_);
  EXPECT_EQ(Bytes(Path("Q.VX")).find("PRLV") != std::string::npos, true);
  EXPECT_EQ(Bytes(Path("P.VX")).find("PRLV"), std::string::npos);

  // Opening asks for it; the wrong one is refused, the right one opens.
  port_.AnswerText("faux").AnswerText("SECRET");
  TDatabase db(Path("P.VX"), port_);
  db.Open(true);
  EXPECT_TRUE(db.HasPassword());
  EXPECT_EQ(db.Password(), "SECRET");
  EXPECT_EQ(CountOperations(db), 50u);
  EXPECT_EQ(port_.Messages(), std::vector<std::string>{"Mot de passe non valide !"});
  db.Close();
  RemoveInUseMarker(Path("P.VX"));
}

TEST_F(BookGenerator, NeverOverwritesAndLeavesNothingOnARefusal) {
  TBookGeneratorOptions options;
  options.operations = 10;
  GenerateBook(Path("A.VX"), options, port_);
  const std::string before = Bytes(Path("A.VX"));
  EXPECT_THROW(GenerateBook(Path("A.VX"), options, port_), std::invalid_argument);
  EXPECT_EQ(Bytes(Path("A.VX")), before);
  options.operations = 20'000'000;
  EXPECT_THROW(GenerateBook(Path("Huge.VX"), options, port_), std::invalid_argument);
  EXPECT_FALSE(std::filesystem::exists(Path("Huge.VX")));
  EXPECT_FALSE(std::filesystem::exists(Path("Huge.$VX")));
}

}  // namespace
}  // namespace ledgora
