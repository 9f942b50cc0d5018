// Identifier counters below the identifiers of a book are repaired, never
// refused, and a counter that went round never hands out an identifier that
// is still in use.
#include <gtest/gtest.h>

#include "storage/database.h"
#include "storage/test_storage_env.h"

namespace ledgora {
namespace {

using testing::Account;
using testing::Operation;
using testing::PutU32At;
using testing::ReadAll;
using testing::TStorageTest;
using testing::U32At;
using testing::WriteAll;

constexpr std::size_t kCounters = 372;
constexpr std::uint32_t kTop = 0xFFFFFFFFu;

std::size_t CounterAt(TRecordType type) {
  return kCounters + 4 * IndexOf(type);
}

class CounterRepair : public TStorageTest {
 protected:
  void SetCounterOnDisk(TRecordType type, std::uint32_t value) {
    std::string bytes = ReadAll(PathOf("Livre.VX"));
    PutU32At(bytes, CounterAt(type), value);
    WriteAll(PathOf("Livre.VX"), bytes);
  }
  TAccountRecord& First(TDatabase& db) { return db.Accounts().Head()->As<TAccountRecord>(); }
};

TEST_F(CounterRepair, ACounterBelowAnIdentifierIsRaisedAtOpening) {
  {
    auto db = NewBook();
    TAccountRecord& a = db->AddAccount(Account("A"));
    for (int i = 0; i < 5; ++i) db->AddOperation(a, Operation("01/01/2024", i));
    ASSERT_TRUE(db->Close());
  }
  SetCounterOnDisk(TRecordType::Operation, 1);
  auto db = OpenBook();
  EXPECT_EQ(db->Counter(TRecordType::Operation), 5u);
  EXPECT_FALSE(db->NumberingWrapped(TRecordType::Operation));
  EXPECT_EQ(db->AddOperation(First(*db), Operation("02/01/2024", 1)).id, 6u);
  EXPECT_EQ(U32At(ReadAll(PathOf("Livre.$VX")), CounterAt(TRecordType::Operation)), 6u);
}

TEST_F(CounterRepair, AListLoadedOnDemandRaisesItsCounter) {
  {
    auto db = NewBook();
    for (const char* label : {"EDF", "SNCF", "LOYER"}) {
      auto a = std::make_unique<TAssociationRecord>();
      a->label = label;
      db->AddAssociation(std::move(a));
    }
    ASSERT_TRUE(db->Close());
  }
  SetCounterOnDisk(TRecordType::Association, 0);
  auto db = OpenBook();
  db->LoadAssociations();
  EXPECT_EQ(db->Counter(TRecordType::Association), 3u);
  auto a = std::make_unique<TAssociationRecord>();
  a->label = "CARREFOUR";
  EXPECT_EQ(db->AddAssociation(std::move(a)).id, 4u);
}

// The counter went round: 4294967295, then 1, 2 and 3 were handed out. The
// counter on disk is put back to 2, as a book whose numbering went round and
// whose last change was lost would hold it: 3 is in use and must be skipped.
TEST_F(CounterRepair, AWrappedCounterOpensAndSkipsTheIdentifiersInUse) {
  {
    auto db = NewBook();
    TAccountRecord& a = db->AddAccount(Account("A"));
    db->SetCounter(TRecordType::Operation, kTop - 1);
    EXPECT_EQ(db->AddOperation(a, Operation("01/01/2024", 1)).id, kTop);
    EXPECT_EQ(db->AddOperation(a, Operation("02/01/2024", 1)).id, 1u);
    EXPECT_EQ(db->AddOperation(a, Operation("03/01/2024", 1)).id, 2u);
    EXPECT_EQ(db->AddOperation(a, Operation("04/01/2024", 1)).id, 3u);
    ASSERT_TRUE(db->Close());
  }
  SetCounterOnDisk(TRecordType::Operation, 2);
  auto db = OpenBook();
  EXPECT_EQ(db->Counter(TRecordType::Operation), 2u);  // not raised to 4294967295
  EXPECT_TRUE(db->NumberingWrapped(TRecordType::Operation));
  EXPECT_EQ(db->AddOperation(First(*db), Operation("05/01/2024", 1)).id, 4u);
  EXPECT_EQ(db->AddOperation(First(*db), Operation("06/01/2024", 1)).id, 5u);
}

TEST_F(CounterRepair, NumberingThatGoesRoundSkipsTheIdentifiersInUse) {
  auto db = NewBook();
  TAccountRecord& a = db->AddAccount(Account("A"));
  db->AddOperation(a, Operation("01/01/2024", 1));
  db->AddOperation(a, Operation("02/01/2024", 1));
  db->SetCounter(TRecordType::Operation, kTop);
  EXPECT_EQ(db->AddOperation(a, Operation("03/01/2024", 1)).id, 3u);
  EXPECT_TRUE(db->NumberingWrapped(TRecordType::Operation));
  // A deleted identifier may be handed out again only by a later round:
  // the identifiers known in use are kept, so 3 is not given twice.
  EXPECT_EQ(db->AddOperation(a, Operation("04/01/2024", 1)).id, 4u);
}

}  // namespace
}  // namespace ledgora
