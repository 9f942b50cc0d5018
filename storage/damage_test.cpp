// Damaged books: each gives 20905 at opening (or when the damaged list is
// loaded), never a crash, a hang or an unbounded allocation.
#include <gtest/gtest.h>

#include <functional>

#include "storage/database.h"
#include "storage/test_storage_env.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

using testing::Account;
using testing::Category;
using testing::Operation;
using testing::PutU32At;
using testing::ReadAll;
using testing::TStorageTest;
using testing::WriteAll;

// Offsets of the records of the book every row starts from.
struct TLayout {
  std::uint32_t account_a = 0, account_b = 0;
  std::uint32_t op_a1 = 0, op_a2 = 0, op_b1 = 0;
  std::uint32_t category = 0, sub_category = 0;
  std::uint32_t association = 0;
  std::size_t size = 0;
};

struct TDamageRow {
  const char* name;
  std::function<void(std::string&, const TLayout&)> damage;
  bool at_opening;  // else when the associations are loaded
};

class DamagedBooks : public TStorageTest, public ::testing::WithParamInterface<TDamageRow> {
 protected:
  TLayout MakeBook() {
    TLayout l;
    auto db = NewBook();
    TAccountRecord& a = db->AddAccount(Account("A"));
    TAccountRecord& b = db->AddAccount(Account("B"));
    l.op_a1 = db->AddOperation(a, Operation("01/01/2024", 1)).Node()->Offset();
    l.op_a2 = db->AddOperation(a, Operation("02/01/2024", 1)).Node()->Offset();
    l.op_b1 = db->AddOperation(b, Operation("01/01/2024", 1)).Node()->Offset();
    TCategoryRecord& c = db->AddCategory(Category("Alimentation"));
    l.sub_category = db->AddCategory(Category("Restaurant"), &c).Node()->Offset();
    auto association = std::make_unique<TAssociationRecord>();
    association->label = "EDF";
    l.association = db->AddAssociation(std::move(association)).Node()->Offset();
    l.account_a = a.Node()->Offset();
    l.account_b = b.Node()->Offset();
    l.category = c.Node()->Offset();
    db->Close();
    l.size = ReadAll(PathOf("Livre.VX")).size();
    return l;
  }
};

TEST_P(DamagedBooks, GiveDamagedContent) {
  const TLayout layout = MakeBook();
  std::string bytes = ReadAll(PathOf("Livre.VX"));
  GetParam().damage(bytes, layout);
  WriteAll(PathOf("Livre.VX"), bytes);
  TDatabase db(PathOf("Livre.VX"), port_);
  try {
    db.Open(false);
    ASSERT_FALSE(GetParam().at_opening) << "opened";
    db.LoadAssociations();
    FAIL() << "loaded";
  } catch (const TXOrvanet& e) {
    EXPECT_EQ(e.Code(), kOrvDamaged);
    EXPECT_EQ(e.Message(),
              "Le livre de comptes est abîmé.\nUne reconstruction automatique est indispensable.");
  }
}

constexpr std::size_t kNext = 3;
constexpr std::size_t kAccountFirstOperation = 7 + 175;

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedBooks,
    ::testing::Values(
        TDamageRow{"TruncatedInsideAnOperation",
                   [](std::string& b, const TLayout& l) { b.resize(l.op_b1 + 50); }, true},
        TDamageRow{"TruncatedInsideTheLastRecord",  // the association, loaded on demand
                   [](std::string& b, const TLayout&) { b.resize(b.size() - 10); }, false},
        TDamageRow{"ChainLeavesTheFile",
                   [](std::string& b, const TLayout& l) {
                     PutU32At(b, l.op_a2 + kNext, static_cast<std::uint32_t>(l.size + 100));
                   },
                   true},
        TDamageRow{"ChainEndsPastTheFile",
                   [](std::string& b, const TLayout& l) {
                     PutU32At(b, l.op_a2 + kNext, static_cast<std::uint32_t>(l.size - 20));
                   },
                   true},
        TDamageRow{"ChainPointsIntoTheHeader",
                   [](std::string& b, const TLayout& l) { PutU32At(b, l.op_a2 + kNext, 13); },
                   true},
        TDamageRow{"ChainLoopsBack",
                   [](std::string& b, const TLayout& l) { PutU32At(b, l.op_a2 + kNext, l.op_a1); },
                   true},
        TDamageRow{
            "AccountChainLoopsOnItself",
            [](std::string& b, const TLayout& l) { PutU32At(b, l.account_b + kNext, l.account_b); },
            true},
        TDamageRow{"TwoChainsShareARecord",
                   [](std::string& b, const TLayout& l) {
                     PutU32At(b, l.account_b + kAccountFirstOperation, l.op_a1);
                   },
                   true},
        TDamageRow{"TagOfAnotherKind", [](std::string& b, const TLayout& l) { b[l.op_b1] = 'S'; },
                   true},
        TDamageRow{"ReleasedSlotInAChain",
                   [](std::string& b, const TLayout& l) { b[l.op_b1] = 'X'; }, true},
        TDamageRow{"SizeTooSmallForItsKind",
                   [](std::string& b, const TLayout& l) {
                     b[l.op_a1 + 1] = 50;
                     b[l.op_a1 + 2] = 0;
                   },
                   true},
        TDamageRow{
            "SubCategoryWithSubCategories",
            [](std::string& b, const TLayout& l) { PutU32At(b, l.sub_category + 7, l.category); },
            true},
        TDamageRow{"SubCategoryChainBackToItsParent",
                   [](std::string& b, const TLayout& l) {
                     PutU32At(b, l.sub_category + kNext, l.category);
                   },
                   true},
        TDamageRow{"AssociationChainLoops",
                   [](std::string& b, const TLayout& l) {
                     PutU32At(b, l.association + kNext, l.association);
                   },
                   false},
        TDamageRow{"AssociationHeadOutsideTheFile",
                   [](std::string& b, const TLayout&) { PutU32At(b, 452, 0xFFFFFF00u); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A size field larger than the kind's is not read from: the book opens.
TEST_F(DamagedBooks, ALargerSizeFieldIsNotTrusted) {
  const TLayout layout = MakeBook();
  std::string bytes = ReadAll(PathOf("Livre.VX"));
  bytes[layout.op_a1 + 1] = '\xFF';
  bytes[layout.op_a1 + 2] = '\xFF';
  WriteAll(PathOf("Livre.VX"), bytes);
  EXPECT_EQ(OpenBook()->Accounts().Head()->As<TAccountRecord>().Operations().Size(), 2u);
}

// A free-list head that does not name a released slot stops the addition.
TEST_F(DamagedBooks, AFreeListHeadOutsideTheFileStopsTheAddition) {
  MakeBook();
  std::string bytes = ReadAll(PathOf("Livre.VX"));
  PutU32At(bytes, 408 + 4 * 2, static_cast<std::uint32_t>(bytes.size() + 4096));
  WriteAll(PathOf("Livre.VX"), bytes);
  auto db = OpenBook();
  TAccountRecord& account = db->Accounts().Head()->As<TAccountRecord>();
  EXPECT_THROW(db->AddOperation(account, Operation("05/01/2024", 1)), TXOrvanet);
  EXPECT_EQ(ReadAll(PathOf("Livre.$VX")).size(), bytes.size());
}

}  // namespace
}  // namespace ledgora
