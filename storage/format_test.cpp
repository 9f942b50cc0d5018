// The byte-level contract: fields of a payload, record sizes per version,
// scrambling, the header at its offsets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "storage/book_header.h"
#include "storage/record_buffer.h"
#include "storage/records.h"

namespace ledgora {
namespace {

std::string Bytes(const TRecordBuffer& b) {
  return std::string(reinterpret_cast<const char*>(b.Data()), b.Size());
}

TEST(RecordBuffer, TextIsWindows1252CutToWidthMinusOneAndZeroFilled) {
  TRecordBuffer b(10 + 5);
  b.PutText("Café crème au lait", 10);  // 18 characters for a field of 10
  b.PutText("Ω€", 5);                   // Ω has no Windows-1252 byte
  EXPECT_EQ(Bytes(b), std::string("Caf\xE9 cr\xE8m\0?\x80\0\0\0", 15));
  b.Reset(15);
  std::memcpy(b.Data(), "ABCDEFGHIJ", 10);  // no terminator in the field
  EXPECT_EQ(b.GetText(10), "ABCDEFGHI");
  std::memcpy(b.Data() + 10, "\xC9t\0zz", 5);  // bytes after the terminator mean nothing
  EXPECT_EQ(b.GetText(5), "Ét");
}

TEST(RecordBuffer, DateIsElevenBytesWithItsSeparator) {
  TRecordBuffer b(22);
  KDate date(5, 3, 2024);
  date.SetSeparator('-');
  b.PutDate(date);
  b.PutDate(KDate());
  EXPECT_EQ(Bytes(b), std::string("05-03-2024\0", 11) + std::string(11, '\0'));
  b.Reset(22);
  std::memcpy(b.Data(), "05-03-2024\0", 11);
  const KDate read = b.GetDate();
  EXPECT_EQ(read, KDate(5, 3, 2024));
  EXPECT_EQ(read.Separator(), '-');
  EXPECT_FALSE(b.GetDate().IsValid());  // first byte 0: no date
}

TEST(RecordBuffer, ScramblingAddsTheKeyByPosition) {
  const std::optional<TScrambleKey> key = MakeScrambleKey("AB");
  ASSERT_TRUE(key);
  for (std::size_t i = 0; i < 16; ++i) {
    EXPECT_EQ((*key)[i], static_cast<std::uint8_t>(kScrambleTable[i] + "AB"[i % 2])) << i;
  }
  EXPECT_FALSE(MakeScrambleKey(""));

  TRecordBuffer b(40);
  for (std::size_t k = 0; k < 40; ++k) b.Data()[k] = static_cast<std::uint8_t>(k * 7);
  b.Scramble(*key);
  for (std::size_t k = 0; k < 40; ++k) {
    EXPECT_EQ(b.Data()[k], static_cast<std::uint8_t>(k * 7 + (*key)[k % 16])) << k;
  }
  b.Unscramble(*key);
  for (std::size_t k = 0; k < 40; ++k) EXPECT_EQ(b.Data()[k], static_cast<std::uint8_t>(k * 7));
}

TEST(RecordBuffer, PasswordFieldIsNineBytesPlusTheTable) {
  const auto field = ScramblePasswordField("ABC");
  const std::uint8_t plain[9] = {'A', 'B', 'C', 0, 0, 0, 0, 0, 0};
  for (std::size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(field[i], static_cast<std::uint8_t>(plain[i] + kScrambleTable[i])) << i;
  }
  EXPECT_EQ(UnscramblePasswordField(field.data()), "ABC");
}

// Every kind in every version reads exactly the payload of its size, and
// writes exactly the current payload.
struct TKindVersion {
  TRecordType type;
  int version;
};

class PayloadSizes : public ::testing::TestWithParam<TKindVersion> {};

TEST_P(PayloadSizes, ReadAndWriteFillThePayloadExactly) {
  const auto [type, version] = GetParam();
  std::unique_ptr<TRecord> record = MakeRecord(type);
  TRecordBuffer in(PayloadSize(type, version));
  std::memset(in.Data(), '1', in.Size());  // texts without terminators, dates not valid
  record->Read(in, version);
  EXPECT_EQ(in.Position(), in.Size());
  TRecordBuffer out(PayloadSize(type));
  record->Write(out);
  EXPECT_EQ(out.Position(), out.Size());
}

std::vector<TKindVersion> AllKindsAndVersions() {
  std::vector<TKindVersion> rows;
  for (std::size_t t = 0; t < kRecordTypeCount; ++t) {
    for (int v = kOldestVersion; v <= kCurrentVersion; ++v) {
      rows.push_back({static_cast<TRecordType>(t), v});
    }
  }
  return rows;
}

INSTANTIATE_TEST_SUITE_P(AllKinds, PayloadSizes, ::testing::ValuesIn(AllKindsAndVersions()),
                         [](const auto& info) {
                           return std::string(1, TagOf(info.param.type)) + "_v" +
                                  std::to_string(info.param.version);
                         });

TEST(RecordSizes, CurrentSizesOfTheNineKinds) {
  EXPECT_EQ(RecordSize(TRecordType::Account), 203u);
  EXPECT_EQ(RecordSize(TRecordType::Operation), 201u);
  EXPECT_EQ(RecordSize(TRecordType::Category), 158u);
  EXPECT_EQ(RecordSize(TRecordType::SplitLine), 78u);
  EXPECT_EQ(RecordSize(TRecordType::Periodic), 30u);
  EXPECT_EQ(RecordSize(TRecordType::Association), 66u);
  EXPECT_EQ(RecordSize(TRecordType::SituationAccount), 157u);
  EXPECT_EQ(RecordSize(TRecordType::SituationValue), 50u);
  EXPECT_EQ(RecordSize(TRecordType::Project), 64u);
  EXPECT_EQ(FrameSize(TRecordType::Category), 11u);
  EXPECT_EQ(FrameSize(TRecordType::Operation), 7u);
}

TEST(OperationRecord, FieldsAtTheirPayloadOffsets) {
  TOperationRecord op;
  op.id = 0x01020304;
  op.account = 7;
  op.first_split = 0x1111;
  op.periodic = 0x2222;
  op.linked_account = 8;
  op.project = 9;
  op.flags = kOpEnteredByHand | kOpPastOccurrence;
  op.kind = kOpTransferOut;
  op.category = 42;
  op.pointing = kPointed;
  op.amount = -12.5;
  op.label = "Label";
  op.complementary_label = "Compl";
  op.date = KDate(31, 12, 2023);
  op.source_amount = "12,50 USD";
  op.bank_reference = "REF";
  TRecordBuffer b(PayloadSize(TRecordType::Operation));
  op.Write(b);
  const std::string p = Bytes(b);
  const auto u32 = [&](std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, p.data() + at, 4);
    return v;
  };
  EXPECT_EQ(u32(0), 0x01020304u);
  EXPECT_EQ(u32(4), 7u);
  EXPECT_EQ(u32(8), 0x1111u);
  EXPECT_EQ(u32(12), 0x2222u);
  EXPECT_EQ(u32(16), 8u);
  EXPECT_EQ(u32(20), 9u);
  EXPECT_EQ(p.substr(24, 2), std::string("\x05\0", 2));
  EXPECT_EQ(u32(26), 3u);
  EXPECT_EQ(u32(30), 42u);
  EXPECT_EQ(p.substr(34, 2), std::string("\x03\0", 2));
  double amount;
  std::memcpy(&amount, p.data() + 36, 8);
  EXPECT_EQ(amount, -12.5);
  EXPECT_EQ(p.substr(44, 6), std::string("Label\0", 6));
  EXPECT_EQ(p.substr(95, 6), std::string("Compl\0", 6));
  EXPECT_EQ(p.substr(146, 11), std::string("31/12/2023\0", 11));
  EXPECT_EQ(p.substr(157, 10), std::string("12,50 USD\0", 10));
  EXPECT_EQ(p.substr(183, 4), std::string("REF\0", 4));

  TOperationRecord back;
  b.Reset(b.Size());
  std::memcpy(b.Data(), p.data(), p.size());
  back.Read(b, 0);
  TRecordBuffer again(PayloadSize(TRecordType::Operation));
  back.Write(again);
  EXPECT_EQ(Bytes(again), p);
}

TEST(PeriodicRecord, VersionTwoTakesTheDayOfMonthFromTheDate) {
  TRecordBuffer b(PayloadSize(TRecordType::Periodic, 2));
  b.PutU32(5);
  b.PutU16(3);
  b.PutU16(0);
  b.PutU16(0);
  b.PutDate(KDate(17, 4, 1999));
  TRecordBuffer in(b.Size());
  std::memcpy(in.Data(), b.Data(), b.Size());
  TPeriodicRecord f;
  f.Read(in, 2);
  EXPECT_EQ(f.day_of_month, 17);
  EXPECT_EQ(f.date, KDate(17, 4, 1999));
}

// The header of version 24, field by field at its offsets.
TEST(BookHeader, DefaultsAtTheirOffsets) {
  TBookHeader h;
  h.settings.backup_path = "/b/Livre.SAV.VX";
  h.counters[IndexOf(TRecordType::Project)] = 0xA1A2A3A4;
  h.free_heads[IndexOf(TRecordType::Operation)] = 0xB1B2B3B4;
  h.list_heads[static_cast<std::size_t>(THeaderList::Projects)] = 0xC1C2C3C4;
  const auto bytes = EncodeHeader(h);
  const std::string s(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const auto u32 = [&](std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, s.data() + at, 4);
    return v;
  };
  const auto u16 = [&](std::size_t at) {
    std::uint16_t v;
    std::memcpy(&v, s.data() + at, 2);
    return v;
  };
  EXPECT_EQ(bytes.size(), 468u);
  EXPECT_EQ(u32(0), 0u);
  EXPECT_EQ(s.substr(4, 9), std::string("LEDGOR\0\0\0", 9));
  EXPECT_EQ(bytes[13], 24);
  EXPECT_EQ(u32(14), 0u);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(bytes[18 + i], kScrambleTable[i]);  // empty password
  for (std::size_t at : {27, 31, 35, 39, 43, 47}) EXPECT_EQ(u32(at), 1u) << at;
  EXPECT_EQ(u32(51), 0u);
  EXPECT_EQ(u32(55), 1u);
  EXPECT_EQ(u32(59), 0x9DFFFFu);  // 255-255-157
  EXPECT_EQ(u32(63), 0xCFF4BEu);  // 190-244-207
  EXPECT_EQ(u32(67), 0xFFEBC6u);  // 198-235-255
  EXPECT_EQ(u32(75), 1u);
  EXPECT_EQ(u32(79), 1u);
  const std::uint32_t grades[5] = {0, 1, 1, 2, 2};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(u32(83 + 4 * i), grades[i]);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(u16(103 + 2 * i), 0);
  EXPECT_EQ(u16(109), 30);
  EXPECT_EQ(u16(111), 10);
  EXPECT_EQ(s.substr(113, 16), std::string("/b/Livre.SAV.VX\0", 16));
  EXPECT_EQ(u16(370), 5);
  EXPECT_EQ(u32(404), 0xA1A2A3A4u);
  EXPECT_EQ(u32(408 + 8), 0xB1B2B3B4u);
  EXPECT_EQ(u32(464), 0xC1C2C3C4u);
}

TEST(BookHeader, SizesOfOlderVersions) {
  EXPECT_EQ(HeaderSize(24), 468u);
  EXPECT_EQ(HeaderSize(23), 456u);  // no project counter, free head, list head
  // No confirmation of the oldest situation, association setting, duplicate
  // settings or maximum of situations.
  EXPECT_EQ(HeaderSize(11), 456u - 4 - 4 - (4 + 20 + 6) - 2);
  EXPECT_EQ(HeaderSize(10), HeaderSize(11) - 13);  // no password flag and password
}

TEST(BookHeader, ReadsBackWhatItWritesAndRenamesOldBackups) {
  TBookHeader h;
  h.password_flag = 1;
  h.password = "SECRET";
  h.settings.confirm_delete_operation = 0;
  h.settings.colours = {1, 2, 3, 4};
  h.settings.duplicate_tolerances = {7, 8, 9};
  h.settings.periodic_days_ahead = 12;
  h.settings.backup_path = "/data/Comptes.sav.vx";
  for (std::size_t i = 0; i < kRecordTypeCount; ++i) {
    h.counters[i] = 100 + static_cast<std::uint32_t>(i);
    h.free_heads[i] = 1000 + static_cast<std::uint32_t>(i);
  }
  for (std::size_t i = 0; i < kHeaderListCount; ++i) h.list_heads[i] = 2000 + i;
  EXPECT_EQ(DecodeHeader(EncodeHeader(h).data(), 24), h);

  h.settings.backup_path = "C:/Comptes/Livre.OLD";
  EXPECT_EQ(DecodeHeader(EncodeHeader(h).data(), 24).settings.backup_path,
            "C:/Comptes/Livre.SAV.VX");
}

}  // namespace
}  // namespace ledgora
