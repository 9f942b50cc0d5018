// TDatabase: construction, opening with its refusals, the password, the
// changes with their bytes on disk, the list orders, Save and Close.
#include "storage/database.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "platform/configuration.h"
#include "platform/files.h"
#include "storage/book_profile.h"
#include "storage/faulty_file_system.h"
#include "storage/test_storage_env.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

using testing::Account;
using testing::Category;
using testing::Labels;
using testing::Operation;
using testing::PutU32At;
using testing::ReadAll;
using testing::TStorageTest;
using testing::U16At;
using testing::U32At;
using testing::WriteAll;

// Payload offset of the first-operation field in an account record.
constexpr std::size_t kAccountFirstOperation = 7 + 175;
constexpr std::size_t kFreeHeads = 408;
constexpr std::size_t kCounters = 372;

std::size_t FreeHeadAt(TRecordType type) {
  return kFreeHeads + 4 * IndexOf(type);
}

int CodeOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const TXOrvanet& e) {
    return e.Code();
  }
  return 0;
}

class DatabaseTest : public TStorageTest {
 protected:
  std::string Book() const { return PathOf("Livre.VX"); }
  std::string WorkingCopy() const { return PathOf("Livre.$VX"); }
};

// --- Construction --------------------------------------------------------------

TEST_F(DatabaseTest, ConstructionPreparesTheWorkingCopyAndTheProfiles) {
  NewBook()->Close();
  ASSERT_TRUE(platform::FileExists(Book()));
  ASSERT_FALSE(platform::FileExists(WorkingCopy()));
  RemoveInUseMarker(Book());

  TDatabase db(Book(), port_);
  EXPECT_EQ(db.BookPath(), Book());
  EXPECT_EQ(db.WorkingCopyPath(), WorkingCopy());
  EXPECT_FALSE(db.WorkingCopyExisted());
  EXPECT_EQ(ReadAll(WorkingCopy()), ReadAll(Book()));
  EXPECT_TRUE(HasInUseMarker(Book()));
  EXPECT_EQ(platform::WinProfile().ReadText("Ledgora", Book(), ""), "OnUse");
  EXPECT_EQ(RecentBooks()[0], Book());

  // From the working copy's path: the same two files, the copy kept.
  WriteAll(WorkingCopy(), ReadAll(WorkingCopy()) + "kept");
  TDatabase again(WorkingCopy(), port_);
  EXPECT_EQ(again.BookPath(), Book());
  EXPECT_TRUE(again.WorkingCopyExisted());
  EXPECT_NE(ReadAll(WorkingCopy()), ReadAll(Book()));

  EXPECT_EQ(CodeOf([&] { TDatabase bad(PathOf("notes.txt"), port_); }), kOrvNotABook);
}

TEST_F(DatabaseTest, AWorkFileIsWrittenDirectly) {
  TBookHeader source;
  source.settings.max_situations = 3;
  source.counters[IndexOf(TRecordType::Account)] = 40;
  TDatabase db(TDatabase::TWorkFile{PathOf("Rebuild.$$$")}, port_);
  db.SetDurable(false);
  db.AdoptHeader(source);
  db.CreateEmptyBook();
  db.SetNumbering(false);
  auto account = Account("Courant");
  account->id = 12;
  db.AddAccount(std::move(account));
  const std::string bytes = ReadAll(PathOf("Rebuild.$$$"));
  EXPECT_EQ(bytes[468], 'C');
  EXPECT_EQ(U32At(bytes, 468 + 7), 12u);
  EXPECT_EQ(U16At(bytes, 109), 3);
  EXPECT_EQ(U32At(bytes, kCounters), 40u);
  EXPECT_TRUE(db.BookPath().empty());
  EXPECT_FALSE(db.Save());
  EXPECT_TRUE(RecentBooks()[0].empty());
}

// --- Opening: the refusals in their order ----------------------------------------

struct TOpenRow {
  const char* name;
  std::function<void(std::string&)> change;
  int code;            // 0: opens
  bool asks_password;  // the book has the password "PW", typed right
};

class OpenRefusals : public DatabaseTest, public ::testing::WithParamInterface<TOpenRow> {};

void SetSignature(std::string& b, const char* signature) {
  std::memset(&b[4], 0, 9);
  std::memcpy(&b[4], signature, std::strlen(signature));
}

void SetPassword(std::string& b) {
  PutU32At(b, 14, 1);
  const auto field = ScramblePasswordField("PW");
  std::memcpy(&b[18], field.data(), 9);
}

TEST_P(OpenRefusals, GivesItsCode) {
  const TOpenRow& row = GetParam();
  NewBook()->Close();
  std::string bytes = ReadAll(Book());
  row.change(bytes);
  WriteAll(Book(), bytes);
  if (row.asks_password) port_.AnswerText("pw");
  TDatabase db(Book(), port_);
  EXPECT_EQ(CodeOf([&] { db.Open(true); }), row.code);
  bool asked = false;
  for (const auto& entry : port_.Log()) asked |= entry.kind == TScriptedUserPort::Entry::Kind::Text;
  EXPECT_EQ(asked, row.asks_password);
  EXPECT_EQ(db.IsOpen(), row.code == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OpenRefusals,
    ::testing::Values(
        TOpenRow{"OrvanetAssociationEvenWhenDirty",
                 [](std::string& b) {
                   SetSignature(b, "ORVASS");
                   PutU32At(b, 0, 1);
                 },
                 kOrvAssociationBook, false},
        TOpenRow{"KestrelBook", [](std::string& b) { SetSignature(b, "KPLXTRAI"); },
                 kOrvKestrelBook, false},
        TOpenRow{"KestrelDatabase", [](std::string& b) { SetSignature(b, "LEDPRO"); },
                 kOrvKestrelDatabase, false},
        TOpenRow{"AnyOtherSignatureOpens", [](std::string& b) { SetSignature(b, "XYZ"); }, 0,
                 false},
        TOpenRow{"DirtyBeforeTheVersion",
                 [](std::string& b) {
                   PutU32At(b, 0, 1);
                   b[13] = 99;
                 },
                 kOrvLeftOpen, false},
        TOpenRow{"Version0", [](std::string& b) { b[13] = 0; }, kOrvVersionTooOld, false},
        TOpenRow{"Version1", [](std::string& b) { b[13] = 1; }, kOrvVersionTooOld, false},
        TOpenRow{"Version25", [](std::string& b) { b[13] = 25; }, kOrvVersionTooNew, false},
        TOpenRow{"Version2WithoutAsking",
                 [](std::string& b) {
                   b[13] = 2;
                   SetPassword(b);
                 },
                 kOrvMustConvert, false},
        TOpenRow{"Version10WithoutAsking",
                 [](std::string& b) {
                   b[13] = 10;
                   SetPassword(b);
                 },
                 kOrvMustConvert, false},
        TOpenRow{"Version11AfterThePassword",
                 [](std::string& b) {
                   b[13] = 11;
                   SetPassword(b);
                 },
                 kOrvMustConvert, true},
        TOpenRow{"Version23AfterThePassword",
                 [](std::string& b) {
                   b[13] = 23;
                   SetPassword(b);
                 },
                 kOrvMustConvert, true},
        TOpenRow{"Version24WithPassword", [](std::string& b) { SetPassword(b); }, 0, true},
        TOpenRow{"ShorterThanTheSignature", [](std::string& b) { b.resize(10); }, kOrvDamaged,
                 false},
        TOpenRow{"ShorterThanTheHeader", [](std::string& b) { b.resize(300); }, kOrvDamaged, false},
        TOpenRow{"EmptyFile", [](std::string& b) { b.clear(); }, kOrvDamaged, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DatabaseTest, MessagesNameTheBookAndTheVersions) {
  NewBook()->Close();
  std::string bytes = ReadAll(Book());
  bytes[13] = 1;
  WriteAll(Book(), bytes);
  TDatabase db(Book(), port_);
  try {
    db.Open(true);
    FAIL();
  } catch (const TXOrvanet& e) {
    EXPECT_EQ(e.Message(),
              "La version du fichier Livre.VX est 1, il ne peut pas être relu.\n"
              "La version en cours est 24.");
  }
}

// --- The password -------------------------------------------------------------------

TEST_F(DatabaseTest, PasswordIsAskedUntilRightOrCancelled) {
  {
    auto db = NewBook();
    db->SetPassword("Secret");
    db->SaveHeader();
    EXPECT_EQ(db->Password(), "SECRET");
    db->Close();
  }
  port_.AnswerText("wrong").AnswerText("secret");
  auto db = OpenBook();  // Open(false): nothing asked
  EXPECT_FALSE(db->PasswordTyped());
  db.reset();
  TDatabase asked(Book(), port_);
  asked.Open(true);
  EXPECT_TRUE(asked.PasswordTyped());
  EXPECT_EQ(port_.Messages(), std::vector<std::string>{"Mot de passe non valide !"});
  EXPECT_EQ(port_.Log()[1].icon, TIcon::Stop);

  port_.Clear();
  port_.AnswerText(std::nullopt);
  TDatabase cancelled(Book(), port_);
  try {
    cancelled.Open(true);
    FAIL();
  } catch (const TXOrvanet& e) {
    EXPECT_EQ(e.Code(), kOrvNoPassword);
    EXPECT_EQ(e.Message(), "Impossible de lancer le logiciel sans spécifier le mot de passe.");
  }
}

TEST_F(DatabaseTest, PayloadsOfABookWithPasswordAreScrambledFramesAreNot) {
  auto db = NewBook();
  db->SetPassword("KEY");
  db->SetReadKey("KEY");
  db->SetWriteKey("KEY");
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  const std::uint32_t offset = account.Node()->Offset();
  const std::string bytes = ReadAll(WorkingCopy());
  EXPECT_EQ(bytes[offset], 'C');
  EXPECT_EQ(U16At(bytes, offset + 1), 203);
  TRecordBuffer plain(PayloadSize(TRecordType::Account));
  account.Write(plain);
  const TScrambleKey key = *MakeScrambleKey("KEY");
  for (std::size_t k = 0; k < plain.Size(); ++k) {
    ASSERT_EQ(static_cast<std::uint8_t>(bytes[offset + 7 + k]),
              static_cast<std::uint8_t>(plain.Data()[k] + key[k % 16]))
        << k;
  }
  db->Close();
  port_.AnswerText("key");
  TDatabase reopened(Book(), port_);
  reopened.Open(true);
  EXPECT_EQ(reopened.Accounts().Head()->As<TAccountRecord>().name, "Courant");
}

// --- Changes and their bytes ---------------------------------------------------------

TEST_F(DatabaseTest, AddedRecordsStandAtTheEndWithTheirLinks) {
  auto db = NewBook();
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  EXPECT_EQ(account.id, 1u);
  EXPECT_EQ(account.Node()->Offset(), 468u);
  TOperationRecord& op = db->AddOperation(account, Operation("02/01/2024", -10, "first"));
  EXPECT_EQ(op.account, account.id);
  EXPECT_EQ(op.Node()->Offset(), 468u + 203);

  const std::string bytes = ReadAll(WorkingCopy());
  EXPECT_EQ(bytes.size(), 468u + 203 + 201);
  EXPECT_EQ(U32At(bytes, 0), 0u);      // no write phase open
  EXPECT_EQ(U32At(bytes, 444), 468u);  // head of the accounts
  EXPECT_EQ(U32At(bytes, kCounters), 1u);
  EXPECT_EQ(U32At(bytes, kCounters + 8), 1u);
  EXPECT_EQ(bytes[468], 'C');
  EXPECT_EQ(U32At(bytes, 468 + 3), 0u);
  EXPECT_EQ(U32At(bytes, 468 + 7), 1u);  // identifier
  EXPECT_EQ(U32At(bytes, 468 + kAccountFirstOperation), 671u);
  EXPECT_EQ(bytes[671], 'O');
  EXPECT_EQ(U16At(bytes, 672), 201);
  EXPECT_EQ(U32At(bytes, 671 + 7), 1u);
  EXPECT_EQ(U32At(bytes, 671 + 11), 1u);  // the owning account

  // A record between two patches its predecessor's next field.
  TOperationRecord& last = db->AddOperation(account, Operation("04/01/2024", -30, "last"));
  TOperationRecord& middle = db->AddOperation(account, Operation("03/01/2024", -20, "middle"));
  const std::string after = ReadAll(WorkingCopy());
  EXPECT_EQ(U32At(after, op.Node()->Offset() + 3), middle.Node()->Offset());
  EXPECT_EQ(U32At(after, middle.Node()->Offset() + 3), last.Node()->Offset());
  EXPECT_EQ(U32At(after, last.Node()->Offset() + 3), 0u);
  EXPECT_EQ(Labels(account), "first middle last");
}

TEST_F(DatabaseTest, ReleasedSlotsAreReusedMostRecentFirst) {
  auto db = NewBook();
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  TOperationRecord& a = db->AddOperation(account, Operation("01/01/2024", 1, "a"));
  const std::uint32_t a_offset = a.Node()->Offset();
  db->DeleteOperation(a);
  // The only record of its chain: the head goes back to 0.
  std::string bytes = ReadAll(WorkingCopy());
  EXPECT_EQ(U32At(bytes, 468 + kAccountFirstOperation), 0u);
  EXPECT_EQ(bytes[a_offset], 'X');
  EXPECT_EQ(U16At(bytes, a_offset + 1), 201);
  EXPECT_EQ(U32At(bytes, a_offset + 3), 0u);
  EXPECT_EQ(U32At(bytes, FreeHeadAt(TRecordType::Operation)), a_offset);

  TOperationRecord& b = db->AddOperation(account, Operation("01/01/2024", 2, "b"));
  EXPECT_EQ(b.Node()->Offset(), a_offset);
  EXPECT_EQ(b.id, 2u);  // identifiers are never reused
  TOperationRecord& c = db->AddOperation(account, Operation("01/01/2024", 3, "c"));
  const std::uint32_t b_offset = b.Node()->Offset(), c_offset = c.Node()->Offset();
  db->DeleteOperation(b);
  db->DeleteOperation(c);
  bytes = ReadAll(WorkingCopy());
  EXPECT_EQ(U32At(bytes, FreeHeadAt(TRecordType::Operation)), c_offset);
  EXPECT_EQ(U32At(bytes, c_offset + 3), b_offset);
  EXPECT_EQ(db->AddOperation(account, Operation("01/01/2024", 4)).Node()->Offset(), c_offset);
  EXPECT_EQ(db->AddOperation(account, Operation("01/01/2024", 5)).Node()->Offset(), b_offset);
  const auto size = ReadAll(WorkingCopy()).size();
  EXPECT_EQ(db->AddOperation(account, Operation("01/01/2024", 6)).Node()->Offset(), size);
  EXPECT_EQ(db->FreeListHead(TRecordType::Operation), 0u);
}

TEST_F(DatabaseTest, AFreeSlotThatIsNotOneStopsTheAddition) {
  for (const std::size_t field : {0u, 1u}) {  // its tag, its size
    auto db = NewBook();
    TAccountRecord& account = db->AddAccount(Account("Courant"));
    TOperationRecord& op = db->AddOperation(account, Operation("01/01/2024", 1));
    const std::uint32_t offset = op.Node()->Offset();
    db->DeleteOperation(op);
    {
      auto file = SystemFileSystem().Open(WorkingCopy(), TOpenMode::ReadWrite);
      const std::uint8_t bad[2] = {'O', 0x55};
      file->WriteAt(offset + field, &bad[field], 1);
    }
    EXPECT_EQ(CodeOf([&] { db->AddOperation(account, Operation("02/01/2024", 2)); }), kOrvDamaged);
    EXPECT_TRUE(account.Operations().Empty());
    EXPECT_EQ(db->Counter(TRecordType::Operation), 1u);
    EXPECT_FALSE(db->Failed());  // nothing was written: the book is still whole
    EXPECT_EQ(U32At(ReadAll(WorkingCopy()), 0), 0u);
    db.reset();
    platform::RemoveFile(WorkingCopy());
  }
}

TEST_F(DatabaseTest, CounterWrapsToOneAndNumberingCanBeSuspended) {
  auto db = NewBook();
  db->SetCounter(TRecordType::Account, 0xFFFFFFFFu);
  EXPECT_EQ(db->AddAccount(Account("a")).id, 1u);
  EXPECT_EQ(db->Counter(TRecordType::Account), 1u);
  db->SetNumbering(false);
  auto kept = Account("b");
  kept->id = 77;
  EXPECT_EQ(db->AddAccount(std::move(kept)).id, 77u);
  EXPECT_EQ(db->Counter(TRecordType::Account), 1u);
}

TEST_F(DatabaseTest, ModifyKeepsTheOffsetAndMovesTheLinks) {
  auto db = NewBook();
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  TOperationRecord& a = db->AddOperation(account, Operation("01/01/2024", 1, "a"));
  db->AddOperation(account, Operation("02/01/2024", 1, "b"));
  db->AddOperation(account, Operation("03/01/2024", 1, "c"));
  const std::uint32_t offset = a.Node()->Offset();
  a.date = KDate(4, 1, 2024);
  a.label = "a'";
  db->ModifyOperation(a);
  EXPECT_EQ(a.Node()->Offset(), offset);
  EXPECT_EQ(Labels(account), "b c a'");
  db->Close();
  auto reopened = OpenBook();
  EXPECT_EQ(Labels(reopened->Accounts().Head()->As<TAccountRecord>()), "b c a'");
}

// --- List orders ---------------------------------------------------------------------

TEST_F(DatabaseTest, OperationsByDateThenAmountDescendingEqualOnesInEntryOrder) {
  auto db = NewBook();
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  db->AddOperation(account, Operation("05/01/2024", 10, "a"));
  db->AddOperation(account, Operation("05/01/2024", 10, "b"));
  db->AddOperation(account, Operation("05/01/2024", 50, "c"));
  db->AddOperation(account, Operation("04/01/2024", -5, "d"));
  db->AddOperation(account, Operation("05/01/2024", -1, "e"));
  db->AddOperation(account, Operation("05/01/2024", 10, "f"));
  EXPECT_EQ(Labels(account), "d c a b f e");
  db->Close();
  EXPECT_EQ(Labels(OpenBook()->Accounts().Head()->As<TAccountRecord>()), "d c a b f e");
}

TEST_F(DatabaseTest, AccountsByTypeThenNameWithoutRegardToCase) {
  auto db = NewBook();
  db->AddAccount(Account("zeta", kDepositAccount));
  db->AddAccount(Account("beta", kCurrentAccount));
  db->AddAccount(Account("Visa", kCardAccount));
  db->AddAccount(Account("alpha", kCurrentAccount));
  db->AddAccount(Account("Éco", kCurrentAccount));
  std::string names;
  for (const TAccountRecord& a : db->Accounts().Records<TAccountRecord>()) names += a.name + " ";
  EXPECT_EQ(names, "alpha beta Éco Visa zeta ");
}

TEST_F(DatabaseTest, SituationListsKeepTheirOwnOrders) {
  auto db = NewBook();
  const auto value = [&](const char* date, double amount) {
    auto v = std::make_unique<TSituationValueRecord>();
    v->date = KDate::FromText(date, KD_STANDARD);
    v->amount = amount;
    db->AddSituationValue(std::move(v));
  };
  value("02/01/2024", 1);
  value("01/01/2024", 2);
  value("02/01/2024", 3);  // before the values of its date
  std::string amounts;
  for (const auto& v : db->LoadSituationValues().Records<TSituationValueRecord>()) {
    amounts += std::to_string(static_cast<int>(v.amount));
  }
  EXPECT_EQ(amounts, "231");

  const auto account = [&](const char* agency, std::uint16_t type, const char* label) {
    auto p = std::make_unique<TSituationAccountRecord>();
    p->agency = agency;
    p->type = type;
    p->label = label;
    db->AddSituationAccount(std::move(p));
  };
  account("Nord", 1, "b");
  account("Centre", 2, "z");
  // Within an agency a record precedes a new one when its type is smaller or
  // its label lower: "b" precedes "c" by its label although its type is larger.
  account("nord", 0, "c");
  account("Nord", 2, "a");  // both precede it by their types
  std::string labels;
  for (const auto& p : db->LoadSituationAccounts().Records<TSituationAccountRecord>()) {
    labels += p.label;
  }
  EXPECT_EQ(labels, "zbca");
}

// --- Records that own others -----------------------------------------------------------

TEST_F(DatabaseTest, CategoryTreeWithTheSubCategoryHeadInTheFrame) {
  auto db = NewBook();
  TCategoryRecord& food = db->AddCategory(Category("Alimentation", 1));
  db->AddCategory(Category("Salaire", 0));
  TCategoryRecord& restaurant = db->AddCategory(Category("Restaurant"), &food);
  TCategoryRecord& market = db->AddCategory(Category("Marché"), &food);
  EXPECT_EQ(restaurant.parent, food.id);
  EXPECT_EQ(db->FindCategory(restaurant.id), &restaurant);
  const std::string bytes = ReadAll(WorkingCopy());
  EXPECT_EQ(U32At(bytes, food.Node()->Offset() + 7), market.Node()->Offset());
  EXPECT_EQ(U32At(bytes, market.Node()->Offset() + 3), restaurant.Node()->Offset());
  EXPECT_EQ(db->Categories().Head()->As<TCategoryRecord>().name, "Salaire");
  EXPECT_THROW(db->AddCategory(Category("Trop"), &market), std::invalid_argument);

  const std::uint32_t sub_offsets[2] = {market.Node()->Offset(), restaurant.Node()->Offset()};
  db->DeleteCategory(food);
  const std::string after = ReadAll(WorkingCopy());
  for (std::uint32_t offset : sub_offsets) EXPECT_EQ(after[offset], 'X');
  db->Close();
  auto reopened = OpenBook();
  ASSERT_EQ(reopened->Categories().Size(), 1u);
  EXPECT_EQ(reopened->FindCategory(3), nullptr);
}

TEST_F(DatabaseTest, SplitLinesHangFromTheirOperation) {
  auto db = NewBook();
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  TCategoryRecord& gone = db->AddCategory(Category("Disparue"));
  const std::uint32_t gone_id = gone.id;
  auto split = Operation("01/01/2024", -30, "split");
  split->kind = kOpSplit;
  TOperationRecord& op = db->AddOperation(account, std::move(split));
  for (const char* label : {"one", "two"}) {
    auto line = std::make_unique<TSplitLineRecord>();
    line->label = label;
    line->amount = 15;
    line->category = gone_id;
    db->AddSplitLine(op, std::move(line));
  }
  const TRecordList& lines = *op.SplitLines();
  EXPECT_EQ(U32At(ReadAll(WorkingCopy()), op.Node()->Offset() + 7 + 8), lines.HeadOffset());
  EXPECT_EQ(lines.Head()->As<TSplitLineRecord>().operation, op.id);
  db->DeleteCategory(gone);
  db->Close();

  auto reopened = OpenBook();
  auto& again =
      reopened->Accounts().Head()->As<TAccountRecord>().Operations().Head()->As<TOperationRecord>();
  EXPECT_EQ(again.SplitLines(), nullptr);  // loaded on demand
  std::string labels;
  for (const auto& line : reopened->LoadSplitLines(again).Records<TSplitLineRecord>()) {
    labels += line.label + " ";
    EXPECT_EQ(line.category, 0u);  // its category was deleted
  }
  EXPECT_EQ(labels, "one two ");
  const std::uint32_t first = again.first_split;
  reopened->DeleteOperation(again);
  EXPECT_EQ(ReadAll(WorkingCopy())[first], 'X');
}

TEST_F(DatabaseTest, ReplacingTheScheduleReleasesTheOldOne) {
  auto db = NewBook();
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  TOperationRecord& op = db->AddOperation(account, Operation("31/01/2024", -100, "loyer"));
  auto monthly = std::make_unique<TPeriodicRecord>();
  monthly->frequency = 3;
  monthly->day_of_month = 31;
  monthly->date = op.date;
  db->ReplaceSchedule(op, std::move(monthly));
  const std::uint32_t slot = op.periodic;
  ASSERT_NE(slot, 0u);
  EXPECT_EQ(U32At(ReadAll(WorkingCopy()), op.Node()->Offset() + 7 + 12), slot);
  EXPECT_EQ(db->ReadSchedule(op)->day_of_month, 31);

  auto weekly = std::make_unique<TPeriodicRecord>();
  weekly->frequency = 2;
  db->ReplaceSchedule(op, std::move(weekly));
  EXPECT_EQ(op.periodic, slot);  // the slot just released is taken again
  EXPECT_EQ(db->ReadSchedule(op)->frequency, 2);
  EXPECT_EQ(db->ReadSchedule(op)->id, 2u);

  db->ReplaceSchedule(op, nullptr);
  EXPECT_EQ(op.periodic, 0u);
  EXPECT_EQ(ReadAll(WorkingCopy())[slot], 'X');
  EXPECT_EQ(db->ReadSchedule(op), nullptr);
}

TEST_F(DatabaseTest, DeletingTheModelReleasesTheScheduleAPastOccurrenceDoesNot) {
  auto db = NewBook();
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  TOperationRecord& model = db->AddOperation(account, Operation("01/02/2024", -5, "model"));
  db->ReplaceSchedule(model, std::make_unique<TPeriodicRecord>());
  const std::uint32_t slot = model.periodic;
  auto past = Operation("01/01/2024", -5, "past");
  past->periodic = slot;
  past->SetFlag(kOpPastOccurrence, true);
  TOperationRecord& occurrence = db->AddOperation(account, std::move(past));
  db->DeleteOperation(occurrence);
  EXPECT_EQ(ReadAll(WorkingCopy())[slot], 'F');
  db->DeleteOperation(model);
  EXPECT_EQ(ReadAll(WorkingCopy())[slot], 'X');
}

TEST_F(DatabaseTest, DeletingAnAccountReleasesItsOperations) {
  auto db = NewBook();
  TAccountRecord& keep = db->AddAccount(Account("Autre"));
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  db->SetCurrentAccount(&account);
  std::vector<std::uint32_t> offsets;
  for (int i = 1; i <= 3; ++i) {
    offsets.push_back(db->AddOperation(account, Operation("01/01/2024", i)).Node()->Offset());
  }
  offsets.push_back(account.Node()->Offset());
  db->DeleteAccount(account);
  const std::string bytes = ReadAll(WorkingCopy());
  for (std::uint32_t offset : offsets) EXPECT_EQ(bytes[offset], 'X') << offset;
  EXPECT_EQ(db->CurrentAccount(), &keep);
  EXPECT_EQ(db->Accounts().Size(), 1u);
}

TEST_F(DatabaseTest, ABookReopensAsItWasWritten) {
  auto db = NewBook();
  db->Settings().max_situations = 7;
  db->Settings().backup_path = "/tmp/x.SAV.VX";
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  account.initial_balance = 100;
  db->ModifyAccount(account);
  db->AddOperation(account, Operation("01/01/2024", -30));
  auto project = std::make_unique<TProjectRecord>();
  project->label = "Vacances";
  db->AddProject(std::move(project));
  auto association = std::make_unique<TAssociationRecord>();
  association->label = "EDF";
  db->AddAssociation(std::move(association));
  db->DropAssociations();
  TBookHeader written = db->CurrentHeader();
  db->Close();
  --written.settings.backup_countdown;  // the close of a modified book

  auto reopened = OpenBook();
  EXPECT_EQ(reopened->CurrentHeader(), written);
  EXPECT_EQ(port_.WaitCount(), 1);  // shown from the header to the end of the opening
  EXPECT_EQ(port_.WaitDepth(), 0);
  EXPECT_EQ(reopened->CurrentAccount(), &reopened->Accounts().Head()->As<TAccountRecord>());
  EXPECT_EQ(reopened->CurrentAccount()->balance, 70);  // the default balance
  EXPECT_EQ(reopened->Projects().Head()->As<TProjectRecord>().label, "Vacances");
  EXPECT_EQ(reopened->LoadAssociations().Head()->As<TAssociationRecord>().label, "EDF");
}

// --- Plug-in points -----------------------------------------------------------------------

struct TRecordingHooks : TDatabaseHooks {
  std::vector<std::string> calls;
  void ComputeBalance(TDatabase&, TAccountRecord& a) override {
    calls.push_back("balance " + a.name);
    a.balance = 42;
  }
  void MakeBrushes(TDatabase&) override { calls.push_back("brushes"); }
  void CreateDuePeriodicOperations(TDatabase&) override { calls.push_back("periodic"); }
  void RefreshCounterValues(TDatabase&) override { calls.push_back("counter-values"); }
  void RecordChanged(TDatabase&, TChangeKind kind, const TRecord& r) override {
    calls.push_back(std::string(kind == TChangeKind::Added ? "added " : "changed ") +
                    TagOf(r.Type()));
  }
};

TEST_F(DatabaseTest, HooksAreCalledAtTheirPlaces) {
  {
    auto db = NewBook();
    db->AddAccount(Account("B"));
    db->AddAccount(Account("A"));
    db->Close();
  }
  TRecordingHooks hooks;
  TDatabase db(Book(), port_);
  db.SetHooks(&hooks);
  db.Open(false);
  EXPECT_EQ(hooks.calls, (std::vector<std::string>{"balance A", "balance B", "brushes", "balance A",
                                                   "balance B", "periodic", "counter-values"}));
  hooks.calls.clear();
  db.AddOperation(*db.CurrentAccount(), Operation("01/01/2024", 1));
  EXPECT_EQ(hooks.calls, std::vector<std::string>{"added O"});
}

TEST_F(DatabaseTest, DestructionDeletesThePreDownloadCopyOnlyWhenTaken) {
  const std::string copy = TDatabase::PreDownloadCopyPath();
  WriteAll(copy, "copy");
  NewBook().reset();
  EXPECT_TRUE(platform::FileExists(copy));
  auto db = OpenBook();
  db->SetPreDownloadCopyTaken(true);
  db.reset();
  EXPECT_FALSE(platform::FileExists(copy));
}

// --- Save and Close ---------------------------------------------------------------------------

TEST_F(DatabaseTest, SaveCopiesTheWorkingCopyOverTheBook) {
  auto db = NewBook();
  db->AddAccount(Account("Courant"));
  EXPECT_TRUE(db->ModifiedSinceSaved());
  EXPECT_NE(ReadAll(Book()), ReadAll(WorkingCopy()));
  EXPECT_TRUE(db->Save());
  EXPECT_FALSE(db->ModifiedSinceSaved());
  EXPECT_EQ(ReadAll(Book()), ReadAll(WorkingCopy()));
}

TEST_F(DatabaseTest, SaveOnAWriteProtectedDiskSaysSo) {
  TFaultyFileSystem files;
  auto db = NewBook("Livre.VX", files);
  db->AddAccount(Account("Courant"));
  const std::string saved = ReadAll(Book());
  files.FailCopies(EROFS);
  EXPECT_FALSE(db->Save());
  EXPECT_EQ(port_.LastMessage(),
            "Sauvegarde du livre de comptes impossible !\nLe disque est protégé en écriture.");
  EXPECT_EQ(port_.Log().back().icon, TIcon::Exclamation);
  EXPECT_TRUE(db->ModifiedSinceSaved());
  EXPECT_EQ(ReadAll(Book()), saved);
  port_.Clear();
  files.FailCopies(ENOSPC);  // other failures are silent
  EXPECT_FALSE(db->Save());
  EXPECT_TRUE(port_.Log().empty());
}

TEST_F(DatabaseTest, CloseCountsDownTheBackupReminderOfAModifiedBook) {
  auto db = NewBook();
  EXPECT_EQ(db->Settings().backup_countdown, 10);
  db->Save();
  db->Close();  // not modified: no countdown
  EXPECT_EQ(U16At(ReadAll(Book()), 111), 10);
  EXPECT_FALSE(platform::FileExists(WorkingCopy()));

  db = OpenBook();
  db->AddAccount(Account("Courant"));
  const std::string last = ReadAll(WorkingCopy());
  EXPECT_TRUE(db->Close());
  const std::string book = ReadAll(Book());
  EXPECT_EQ(U16At(book, 111), 9);
  EXPECT_EQ(book.substr(468), last.substr(468));
  EXPECT_FALSE(platform::FileExists(WorkingCopy()));

  db = OpenBook();
  db->Settings().backup_countdown = 0;
  db->SaveHeader();
  db->Close();
  EXPECT_EQ(U16At(ReadAll(Book()), 111), 0);  // never below 0
}

TEST_F(DatabaseTest, CloseThatCannotReplaceTheBookKeepsTheWorkingCopy) {
  TFaultyFileSystem files;
  auto db = NewBook("Livre.VX", files);
  const std::string saved = ReadAll(Book());
  db->AddAccount(Account("Courant"));
  files.FailCopies(ENOSPC);
  EXPECT_FALSE(db->Close());
  EXPECT_EQ(ReadAll(Book()), saved);
  ASSERT_TRUE(platform::FileExists(WorkingCopy()));
  db.reset();
  // The next opening finds the working copy with every change.
  EXPECT_EQ(OpenBook()->Accounts().Size(), 1u);
}

TEST_F(DatabaseTest, NestedWritePhasesSetTheDirtyFlagOnce) {
  TFaultyFileSystem files;
  auto db = NewBook("Livre.VX", files);
  const auto writes = files.Writes();
  {
    TWritePhase outer(*db);
    EXPECT_EQ(U32At(ReadAll(WorkingCopy()), 0), 1u);
    { TWritePhase inner(*db); }
    EXPECT_EQ(U32At(ReadAll(WorkingCopy()), 0), 1u);
    EXPECT_EQ(files.Writes(), writes + 1);
  }
  EXPECT_EQ(U32At(ReadAll(WorkingCopy()), 0), 0u);
  EXPECT_EQ(files.Writes(), writes + 2);
}

}  // namespace
}  // namespace ledgora
