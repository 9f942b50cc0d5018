// The reader against books written byte by byte by testdata/make_books.py.
#include <gtest/gtest.h>

#include <cmath>

#include "storage/book_reader.h"
#include "storage/database.h"
#include "storage/records.h"
#include "storage/test_storage_env.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

using testing::Labels;
using testing::ReadAll;
using testing::TStorageTest;

class FixtureBooks : public TStorageTest {};

TEST_F(FixtureBooks, Version24OpensWithEverySetting) {
  CopyFixture("fixture24.VX");
  auto db = OpenBook("fixture24.VX");
  const TBookSettings& s = db->Settings();
  EXPECT_EQ(s.confirm_delete_operation, 0u);
  EXPECT_EQ(s.confirm_periodic_creation, 0u);
  EXPECT_EQ(s.default_date, 0u);
  EXPECT_EQ(s.reserved_setting, 7u);
  EXPECT_EQ(s.colours, (std::array<std::uint32_t, 4>{0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF}));
  EXPECT_EQ(s.duplicate_confirmation, 2u);
  EXPECT_EQ(s.duplicate_grades, (std::array<std::uint32_t, 5>{0, 1, 2, 1, 0}));
  EXPECT_EQ(s.duplicate_tolerances, (std::array<std::uint16_t, 3>{3, 4, 5}));
  EXPECT_EQ(s.max_situations, 12);
  EXPECT_EQ(s.backup_countdown, 7);
  EXPECT_EQ(s.backup_path, "/home/user/Comptes.SAV.VX");  // was ".old"
  EXPECT_EQ(s.periodic_days_ahead, 9);
  EXPECT_EQ(db->Counter(TRecordType::Operation), 6u);
  EXPECT_FALSE(db->HasPassword());
}

TEST_F(FixtureBooks, Version24RecordsAndTheirChains) {
  CopyFixture("fixture24.VX");
  auto db = OpenBook("fixture24.VX");
  ASSERT_EQ(db->Accounts().Size(), 2u);
  TAccountRecord& current = db->Accounts().Head()->As<TAccountRecord>();
  EXPECT_EQ(current.name, "Compte chèques");
  EXPECT_EQ(current.bank_code, "30004");
  EXPECT_EQ(current.account_number, "12345678901");
  EXPECT_EQ(current.remark, "Compte joint");
  EXPECT_EQ(current.currency, "EUR");
  EXPECT_EQ(current.previous_statement_date, KDate(31, 1, 2024));
  EXPECT_EQ(current.statement_closing_balance, 1000.0);
  EXPECT_EQ(current.synthesis, 1);
  EXPECT_DOUBLE_EQ(current.balance, 1000.0 - 45.5 + 1500 - 120 - 30);
  EXPECT_EQ(Labels(current), "CARREFOUR MARKET VIREMENT SALAIRE Prélèvement EDF LOYER PARKING");
  TAccountRecord& card = current.Node()->Next()->As<TAccountRecord>();
  EXPECT_EQ(card.account_type, kCardAccount);
  EXPECT_EQ(card.state, kAccountHidden);
  EXPECT_EQ(card.linked_account, 1u);
  EXPECT_EQ(card.card_number, "4970123412341234");
  EXPECT_EQ(Labels(card), "AMAZON");

  const TOperationRecord& op1 = current.Operations().Head()->As<TOperationRecord>();
  EXPECT_EQ(op1.id, 1u);
  EXPECT_EQ(op1.account, 1u);
  EXPECT_EQ(op1.amount, -45.5);
  EXPECT_EQ(op1.complementary_label, "CB 31/01");
  EXPECT_EQ(op1.bank_reference, "REF0001");
  EXPECT_EQ(op1.pointing, kDownloaded);
  EXPECT_TRUE(op1.HasFlag(kOpOrigin));
  EXPECT_EQ(op1.category, 2u);
  const TOperationRecord& op2 = op1.Node()->Next()->As<TOperationRecord>();
  EXPECT_EQ(op2.project, 1u);
  EXPECT_EQ(op2.source_amount, "1500,00 EUR");
  EXPECT_TRUE(op2.HasFlag(kOpEnteredByHand));
  auto& split = op2.Node()->Next()->As<TOperationRecord>();
  EXPECT_EQ(split.kind, kOpSplit);
  auto& periodic = split.Node()->Next()->As<TOperationRecord>();
  EXPECT_EQ(periodic.date, KDate(10, 2, 2024));
  EXPECT_EQ(periodic.date.Separator(), '-');

  // Split lines on demand; a line whose category does not exist reads as 0.
  std::string lines;
  for (const auto& line : db->LoadSplitLines(split).Records<TSplitLineRecord>()) {
    lines += line.label + "/" + std::to_string(line.category) + " ";
    EXPECT_EQ(line.operation, split.id);
  }
  EXPECT_EQ(lines, "Électricité/1 Abonnement/0 ");
  const auto schedule = db->ReadSchedule(periodic);
  ASSERT_TRUE(schedule);
  EXPECT_EQ(schedule->frequency, 3);
  EXPECT_EQ(schedule->day_of_month, 10);
  EXPECT_EQ(schedule->date, KDate(10, 2, 2024));

  // Categories: credit first, then debit, with the sub-category.
  const auto& salary = db->Categories().Head()->As<TCategoryRecord>();
  EXPECT_EQ(salary.name, "Salaire");
  const auto& food = salary.Node()->Next()->As<TCategoryRecord>();
  EXPECT_EQ(food.amount, 12.5);
  EXPECT_EQ(food.budget[0], 250.0);
  EXPECT_EQ(food.budget[11], 300.0);
  ASSERT_NE(food.SubCategoriesIfAny(), nullptr);
  EXPECT_EQ(food.SubCategoriesIfAny()->Head()->As<TCategoryRecord>().name, "Restaurant");
  EXPECT_EQ(db->FindCategory(2)->parent, 1u);
  EXPECT_EQ(db->Projects().Head()->As<TProjectRecord>().label, "Vacances");

  const auto& association = db->LoadAssociations().Head()->As<TAssociationRecord>();
  EXPECT_EQ(association.label, "CARREFOUR");
  EXPECT_EQ(association.category, 1u);
  const auto& place = db->LoadSituationAccounts().Head()->As<TSituationAccountRecord>();
  EXPECT_EQ(place.agency, "Agence Centre");
  EXPECT_EQ(place.old_name, "Ancien");
  EXPECT_EQ(place.old_currency, "FRF");
  const auto& value = db->LoadSituationValues().Head()->As<TSituationValueRecord>();
  EXPECT_EQ(value.date, KDate(31, 1, 2024));
  EXPECT_EQ(value.rate, 6.55957);
  EXPECT_EQ(value.counter_value, 16398.93);
}

TEST_F(FixtureBooks, Version24ReleasedSlotIsTakenByTheNextOperation) {
  CopyFixture("fixture24.VX");
  auto db = OpenBook("fixture24.VX");
  const std::uint32_t released = db->FreeListHead(TRecordType::Operation);
  ASSERT_NE(released, 0u);
  const std::size_t size = ReadAll(PathOf("fixture24.$VX")).size();
  auto op = std::make_unique<TOperationRecord>();
  op->date = KDate(4, 2, 2024);
  TOperationRecord& added = db->AddOperation(*db->CurrentAccount(), std::move(op));
  EXPECT_EQ(added.Node()->Offset(), released);
  EXPECT_EQ(added.id, 7u);
  EXPECT_EQ(db->FreeListHead(TRecordType::Operation), 0u);
  EXPECT_EQ(ReadAll(PathOf("fixture24.$VX")).size(), size);
}

TEST_F(FixtureBooks, Version24WithPasswordOpensWithIt) {
  CopyFixture("fixture24pw.VX");
  port_.AnswerText("secret");
  TDatabase db(PathOf("fixture24pw.VX"), port_);
  db.Open(true);
  EXPECT_EQ(db.Password(), "SECRET");
  const TAccountRecord& account = db.Accounts().Head()->As<TAccountRecord>();
  EXPECT_EQ(account.name, "Livret A");
  EXPECT_EQ(account.Operations().Head()->As<TOperationRecord>().label, "Intérêts");
}

// Older versions are refused at opening; the rebuild reads their header and
// records with their version.
struct TOldBook {
  const char* file;
  int version;
};

class OlderVersions : public FixtureBooks, public ::testing::WithParamInterface<TOldBook> {
 protected:
  template <class T>
  std::vector<std::unique_ptr<T>> Chain(TBookReader& reader, std::uint32_t head) {
    std::vector<std::unique_ptr<T>> out;
    for (std::uint32_t offset = head; offset != 0;) {
      TRecordFrame frame;
      auto record = ReadRecordAt(reader, offset, T().Type(), GetParam().version, std::nullopt,
                                 frame, GetParam().file);
      out.emplace_back(static_cast<T*>(record.release()));
      offset = frame.next;
    }
    return out;
  }
};

TEST_P(OlderVersions, AreRefusedForConversion) {
  CopyFixture(GetParam().file);
  TDatabase db(PathOf(GetParam().file), port_);
  try {
    db.Open(true);
    FAIL();
  } catch (const TXOrvanet& e) {
    EXPECT_EQ(e.Code(), kOrvMustConvert);
  }
}

TEST_P(OlderVersions, HeaderAndRecordsReadWithTheirVersion) {
  const int v = GetParam().version;
  auto file = SystemFileSystem().Open(CopyFixture(GetParam().file), TOpenMode::Read);
  TBookReader reader(*file);
  std::vector<std::uint8_t> bytes(HeaderSize(v));
  ASSERT_TRUE(reader.Read(0, bytes.data(), bytes.size()));
  const TBookHeader h = DecodeHeader(bytes.data(), v);
  EXPECT_EQ(h.version, v);
  EXPECT_EQ(h.settings.confirm_delete_operation, 0u);
  EXPECT_EQ(h.settings.backup_countdown, 3);
  EXPECT_EQ(h.settings.backup_path, "C:/LEDGOR/Compte.SAV.VX");
  EXPECT_EQ(h.settings.periodic_days_ahead, 4);
  // Colours appeared in version 9: the older header keeps the defaults.
  EXPECT_EQ(h.settings.colours[3], v >= 9 ? 0x80000005u : TBookSettings().colours[3]);
  EXPECT_EQ(h.settings.max_situations, 30);  // appeared in 18
  EXPECT_EQ(h.counters[IndexOf(TRecordType::Operation)], 2u);
  EXPECT_EQ(h.counters[IndexOf(TRecordType::Project)], 0u);

  const auto accounts = Chain<TAccountRecord>(reader, h.list_heads[0]);
  ASSERT_EQ(accounts.size(), 1u);
  EXPECT_EQ(accounts[0]->name, "Compte courant");
  EXPECT_EQ(accounts[0]->state, v >= 10 ? kAccountClosed : kAccountShown);
  EXPECT_EQ(accounts[0]->currency, "FRF");
  EXPECT_EQ(accounts[0]->previous_statement_date, KDate(30, 6, 1998));
  EXPECT_EQ(accounts[0]->euro_twin, 0u);

  const auto ops = Chain<TOperationRecord>(reader, accounts[0]->first_operation);
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0]->label, "CHEQUE 1234");
  EXPECT_EQ(ops[0]->amount, -75.25);
  EXPECT_EQ(ops[0]->category, 1u);
  EXPECT_EQ(ops[0]->pointing, kPointed);  // after the obsolete field of 9-14
  EXPECT_EQ(ops[0]->date, KDate(2, 7, 1998));
  EXPECT_EQ(ops[0]->complementary_label, "");
  EXPECT_EQ(ops[0]->project, 0u);
  EXPECT_EQ(ops[0]->flags, 0u);
  EXPECT_EQ(ops[1]->kind, kOpSplit);
  const auto lines = Chain<TSplitLineRecord>(reader, ops[1]->first_split);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->label, "Marché");
  const auto schedule = Chain<TPeriodicRecord>(reader, ops[0]->periodic);
  EXPECT_EQ(schedule[0]->day_of_month, 2);

  const auto categories = Chain<TCategoryRecord>(reader, h.list_heads[1]);
  EXPECT_EQ(categories[0]->name, "Alimentation");
  EXPECT_EQ(categories[0]->budget[11], v >= 13 ? 12.0 : 0.0);
  const auto associations = Chain<TAssociationRecord>(reader, h.list_heads[2]);
  EXPECT_EQ(associations[0]->label, "MARCHE DU SAMEDI MATIN");
  const auto places = Chain<TSituationAccountRecord>(reader, h.list_heads[3]);
  EXPECT_EQ(places[0]->currency, "FRF");
  EXPECT_EQ(places[0]->old_name, "");
  const auto values = Chain<TSituationValueRecord>(reader, h.list_heads[4]);
  EXPECT_EQ(values[0]->amount, 10000.0);
}

// What the conversion does with an old operation: written back in 201 bytes
// with its new fields empty.
TEST_P(OlderVersions, AnOldOperationIsWrittenInTheCurrentFormat) {
  const int v = GetParam().version;
  const std::string old = ReadAll(CopyFixture(GetParam().file));
  auto file = SystemFileSystem().Open(PathOf(GetParam().file), TOpenMode::Read);
  TBookReader reader(*file);
  const std::uint32_t op_offset =
      static_cast<std::uint32_t>(HeaderSize(v) + RecordSize(TRecordType::Account, v));
  TRecordFrame frame;
  auto read = ReadRecordAt(reader, op_offset, TRecordType::Operation, v, std::nullopt, frame, "");
  auto op = std::unique_ptr<TOperationRecord>(static_cast<TOperationRecord*>(read.release()));

  auto db = NewBook();
  db->SetNumbering(false);
  TAccountRecord& account = db->AddAccount(std::make_unique<TAccountRecord>());
  TOperationRecord& copy = db->AddOperation(account, std::move(op));
  const std::string bytes = ReadAll(PathOf("Livre.$VX"));
  const std::uint32_t at = copy.Node()->Offset();
  EXPECT_EQ(bytes.size(), at + 201u);
  EXPECT_EQ(testing::U16At(bytes, at + 1), 201);
  EXPECT_EQ(copy.id, 1u);
  EXPECT_EQ(copy.label, "CHEQUE 1234");
  EXPECT_EQ(bytes.substr(at + 7 + 95, 51), std::string(51, '\0'));   // complementary label
  EXPECT_EQ(bytes.substr(at + 7 + 157, 37), std::string(37, '\0'));  // source text, reference
}

INSTANTIATE_TEST_SUITE_P(Fixtures, OlderVersions,
                         ::testing::Values(TOldBook{"fixture14.VX", 14},
                                           TOldBook{"fixture08.VX", 8}),
                         [](const auto& info) { return "V" + std::to_string(info.param.version); });

}  // namespace
}  // namespace ledgora
