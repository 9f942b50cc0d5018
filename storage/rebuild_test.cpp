// The rebuild: every record back with its identifier, whatever the chains
// say; old versions converted; bad sources refused with the working copy
// untouched.
#include "storage/rebuild.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "platform/files.h"
#include "storage/faulty_file_system.h"
#include "storage/records.h"
#include "storage/test_book_contents.h"
#include "storage/test_storage_env.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

using testing::CountRecords;
using testing::DescribeBook;
using testing::PutU32At;
using testing::ReadAll;
using testing::TStorageTest;
using testing::WriteAll;

class Rebuild : public TStorageTest {
 protected:
  // A filled book, left open (its working copy in place); returns its
  // contents.
  std::string MakeFilledBook() {
    auto db = NewBook();
    testing::FillBook(*db);
    std::string contents = DescribeBook(*db);
    db.reset();  // destroyed without closing: the working copy stays
    return contents;
  }

  std::unique_ptr<TDatabase> RebuildAndOpen(const TRebuildOptions& options = {}) {
    auto db = std::make_unique<TDatabase>(PathOf("Livre.VX"), port_);
    db->SetDurable(false);
    last_report_ = RebuildBook(*db, options);
    db->Open(false);
    return db;
  }

  int CodeOfRebuild(TStorageFileSystem& files = SystemFileSystem()) {
    TDatabase db(PathOf("Livre.VX"), port_, files);
    try {
      RebuildBook(db);
    } catch (const TXOrvanet& e) {
      return e.Code();
    }
    return 0;
  }

  std::string Working() const { return PathOf("Livre.$VX"); }
  TRebuildReport last_report_;
};

TEST_F(Rebuild, ADirtyBookComesBackWithEveryRecordAndNoReleasedSlot) {
  const std::string before = MakeFilledBook();
  std::string bytes = ReadAll(Working());
  ASSERT_NE(CountRecords(Working()).find('X'), std::string::npos);
  PutU32At(bytes, 0, 1);  // left inside a change
  WriteAll(Working(), bytes);
  {
    TDatabase db(PathOf("Livre.VX"), port_);
    try {
      db.Open(false);
      FAIL();
    } catch (const TXOrvanet& e) {
      EXPECT_EQ(e.Code(), kOrvLeftOpen);
    }
  }
  auto db = RebuildAndOpen();
  EXPECT_EQ(DescribeBook(*db), before);
  EXPECT_EQ(CountRecords(Working()).find('X'), std::string::npos);
  EXPECT_EQ(db->FreeListHead(TRecordType::Operation), 0u);
  EXPECT_EQ(last_report_.released_skipped, 1u);
  EXPECT_EQ(last_report_.records_written, last_report_.records_read);
  // The progress window: its text, percentages that only grow, up to the
  // fourth pass; the work files are gone.
  EXPECT_EQ(port_.Log()[0].text,
            "Reconstruction du livre de comptes.\nTraitement assez long,\nmerci de bien "
            "vouloir patienter.");
  EXPECT_TRUE(std::is_sorted(port_.ProgressValues().begin(), port_.ProgressValues().end()));
  EXPECT_GE(port_.ProgressValues().back(), 75);
  EXPECT_EQ(port_.ProgressDepth(), 0);
  EXPECT_EQ(port_.WaitDepth(), 0);
  EXPECT_FALSE(platform::FileExists(WorkFilePath(kRebuildSourceName)));
  EXPECT_FALSE(platform::FileExists(WorkFilePath(kRebuildTargetName)));
  // The numbering goes on after the largest identifier.
  TOperationRecord& added = db->AddOperation(db->Accounts().Head()->As<TAccountRecord>(),
                                             testing::Operation("01/05/2024", -1, "APRES"));
  EXPECT_EQ(added.id, 26u);
}

TEST_F(Rebuild, BrokenChainsLoseNoRecordStillInTheFile) {
  const std::string before = MakeFilledBook();
  std::string bytes = ReadAll(Working());
  // Cut the chain of the first account after its first operation, and the
  // top-level category chain after its first category.
  const std::uint32_t first_account = testing::U32At(bytes, 444);
  const std::uint32_t first_op =
      testing::U32At(bytes, first_account + 7 + 4 + 2 + 2 + 4 + 8 + 21 + 6 + 6 + 12 + 17 + 51 + 4 +
                                11 + 8 + 8 + 11);
  PutU32At(bytes, first_op + 3, 0);
  PutU32At(bytes, testing::U32At(bytes, 448) + 3, 0);
  WriteAll(Working(), bytes);
  {
    auto damaged = OpenBook();
    EXPECT_LT(damaged->Accounts().Head()->As<TAccountRecord>().Operations().Size(), 3u);
  }
  auto db = RebuildAndOpen();
  EXPECT_EQ(DescribeBook(*db), before);
}

TEST_F(Rebuild, TheNewPasswordReencodesEveryRecord) {
  const std::string before = MakeFilledBook();
  auto db = RebuildAndOpen({.ask_password = true, .new_password = "secret"});
  EXPECT_EQ(db->Password(), "SECRET");
  EXPECT_EQ(DescribeBook(*db), before);
  db.reset();
  // Read back through the password dialog, from the file alone; then back to
  // no password.
  port_.AnswerText("Secret");
  {
    TDatabase again(PathOf("Livre.VX"), port_);
    again.Open(true);
    EXPECT_EQ(DescribeBook(again), before);
  }
  port_.AnswerText("SECRET");
  auto plain = RebuildAndOpen({.ask_password = true, .new_password = ""});
  EXPECT_FALSE(plain->HasPassword());
  EXPECT_EQ(DescribeBook(*plain), before);
  EXPECT_TRUE(port_.ScriptExhausted());
}

TEST_F(Rebuild, CancellingThePasswordChangesNothing) {
  MakeFilledBook();
  RebuildAndOpen({.ask_password = false, .new_password = "X"}).reset();
  const std::string bytes = ReadAll(Working());
  port_.AnswerText(std::nullopt);
  EXPECT_EQ(CodeOfRebuild(), kOrvNoPassword);
  EXPECT_EQ(ReadAll(Working()), bytes);
}

// Old books: written again in the current format with every record.
struct TOldBook {
  const char* file;
  int version;
};
class RebuildOldBook : public Rebuild, public ::testing::WithParamInterface<TOldBook> {};

TEST_P(RebuildOldBook, ConvertsToTheCurrentVersion) {
  const std::string source = CopyFixture(GetParam().file);
  const std::string book = PathOf("Livre.VX");
  WriteAll(book, ReadAll(source));
  const std::string old_counts = CountRecords(book, GetParam().version);
  auto db = RebuildAndOpen();
  EXPECT_EQ(db->BookVersion(), kCurrentVersion);
  EXPECT_EQ(last_report_.source_version, GetParam().version);
  EXPECT_EQ(CountRecords(Working()), old_counts);
  const TBookSettings& s = db->Settings();
  EXPECT_EQ(s.backup_countdown, 3);
  EXPECT_EQ(s.backup_path, "C:/LEDGOR/Compte.SAV.VX");
  // A fourth colour beyond the red-green-blue range becomes white; the
  // former defaults of the account colours give way (colours since 9).
  EXPECT_EQ(s.colours[3], 0xFFFFFFu);
  if (GetParam().version >= 9) {
    EXPECT_EQ(s.colours[0], Rgb(255, 255, 157));
    EXPECT_EQ(s.colours[1], Rgb(190, 243, 207));
    EXPECT_EQ(s.colours[2], Rgb(198, 236, 255));
  } else {
    EXPECT_EQ(s.colours, TBookSettings().colours);
  }
  TAccountRecord& account = db->Accounts().Head()->As<TAccountRecord>();
  EXPECT_EQ(account.name, "Compte courant");
  ASSERT_EQ(account.Operations().Size(), 2u);
  TOperationRecord& cheque = account.Operations().Head()->As<TOperationRecord>();
  EXPECT_EQ(cheque.label, "CHEQUE 1234");
  EXPECT_EQ(cheque.pointing, kPointed);
  EXPECT_EQ(cheque.complementary_label, "");
  EXPECT_EQ(cheque.category, 1u);
  ASSERT_NE(db->ReadSchedule(cheque), nullptr);
  EXPECT_EQ(db->ReadSchedule(cheque)->day_of_month, 2);
  TOperationRecord& split = account.Operations().Tail()->As<TOperationRecord>();
  // Up to version 20 an "Orig : " label gives the source-amount text; the
  // bank references of version 22 are emptied.
  const int v = GetParam().version;
  EXPECT_EQ(split.complementary_label, v < 16    ? ""
                                       : v <= 20 ? " Loyer"
                                                 : "Orig : 152,45 FRF Loyer");
  EXPECT_EQ(split.source_amount, v <= 20 && v >= 16 ? "152,45 FRF" : "");
  EXPECT_EQ(split.bank_reference, "");
  ASSERT_EQ(db->LoadSplitLines(split).Size(), 1u);
  EXPECT_EQ(db->LoadSplitLines(split).Head()->As<TSplitLineRecord>().label, "Marché");
  EXPECT_EQ(db->LoadAssociations().Head()->As<TAssociationRecord>().label,
            "MARCHE DU SAMEDI MATIN");
  EXPECT_EQ(db->LoadSituationValues().Head()->As<TSituationValueRecord>().amount, 10000.0);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, RebuildOldBook,
                         ::testing::Values(TOldBook{"fixture22.VX", 22},
                                           TOldBook{"fixture20.VX", 20},
                                           TOldBook{"fixture14.VX", 14},
                                           TOldBook{"fixture08.VX", 8}),
                         [](const auto& info) { return "V" + std::to_string(info.param.version); });

// Bad sources: the code, and the working copy byte-identical.
struct TBadSource {
  const char* name;
  void (*spoil)(std::string& bytes);
  int code;
};

class RebuildBadSource : public Rebuild, public ::testing::WithParamInterface<TBadSource> {};

TEST_P(RebuildBadSource, IsRefusedAndChangesNothing) {
  MakeFilledBook();
  std::string bytes = ReadAll(Working());
  GetParam().spoil(bytes);
  WriteAll(Working(), bytes);
  EXPECT_EQ(CodeOfRebuild(), GetParam().code);
  EXPECT_EQ(ReadAll(Working()), bytes);
  EXPECT_FALSE(platform::FileExists(WorkFilePath(kRebuildSourceName)));
  EXPECT_FALSE(platform::FileExists(WorkFilePath(kRebuildTargetName)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RebuildBadSource,
    ::testing::Values(
        TBadSource{"NotABook", [](std::string& b) { b.replace(4, 6, "BIDULE"); }, kOrvNotABook},
        TBadSource{"TooShort", [](std::string& b) { b.resize(9); }, kOrvNotABook},
        TBadSource{"AnotherProduct", [](std::string& b) { b.replace(4, 7, "ORVASS\0", 7); },
                   kOrvAssociationBook},
        TBadSource{"VersionOne", [](std::string& b) { b[13] = 1; }, kOrvRebuildFailed},
        TBadSource{"VersionTooNew", [](std::string& b) { b[13] = 25; }, kOrvRebuildFailed},
        TBadSource{"UnknownTag", [](std::string& b) { b[kHeaderSize + 203] = 'Q'; },
                   kOrvRebuildFailed},
        TBadSource{"TruncatedRecord", [](std::string& b) { b.resize(b.size() - 20); },
                   kOrvRebuildFailed}),
    [](const auto& info) { return std::string(info.param.name); });

// A rebuild that fails at any disk change leaves the working copy as it was.
TEST_F(Rebuild, AFailureAtAnyWriteLeavesTheWorkingCopyByteIdentical) {
  MakeFilledBook();
  const std::string bytes = ReadAll(Working());
  for (std::uint64_t n = 0;; ++n) {
    TFaultyFileSystem files;
    files.FailWritesAfter(n, ENOSPC);
    const int code = CodeOfRebuild(files);
    if (code == 0) {
      EXPECT_GT(n, 3u);
      break;
    }
    // 20907 while the work file cannot be created, 20906 afterwards.
    EXPECT_TRUE(code == kOrvRebuildFailed || code == kOrvRebuildRestart) << n << ' ' << code;
    ASSERT_EQ(ReadAll(Working()), bytes) << n;
  }
}

// Damage anywhere: the rebuild either refuses with its codes, the working
// copy untouched, or gives a book that opens.
TEST_F(Rebuild, FlippedBytesNeverGiveABookThatDoesNotOpen) {
  MakeFilledBook();
  const std::string good = ReadAll(Working());
  std::uint64_t state = 12345;
  int rebuilt = 0;
  for (int round = 0; round < 60; ++round) {
    std::string bytes = good;
    for (int flips = 0; flips < 3; ++flips) {
      state = state * 6364136223846793005ull + 1442695040888963407ull;
      bytes[(state >> 33) % bytes.size()] ^= static_cast<char>(1 + (state >> 20) % 255);
    }
    WriteAll(Working(), bytes);
    TDatabase db(PathOf("Livre.VX"), port_);
    db.SetDurable(false);
    try {
      RebuildBook(db, {.ask_password = false, .new_password = {}});
    } catch (const TXOrvanet& e) {
      EXPECT_TRUE(e.Code() == kOrvRebuildFailed || e.Code() == kOrvNotABook ||
                  (e.Code() >= kOrvKestrelDatabase && e.Code() <= kOrvAssociationBook))
          << round << ' ' << e.Code();
      ASSERT_EQ(ReadAll(Working()), bytes) << round;
      continue;
    }
    ++rebuilt;
    EXPECT_NO_THROW(db.Open(false)) << round;
  }
  EXPECT_GT(rebuilt, 0);
}

TEST(SplitOriginLabel, TakesTheAmountAndItsCurrency) {
  struct TCase {
    const char* label;
    bool split;
    const char* source;
    const char* rest;
  };
  const TCase cases[] = {
      {"Orig : 152,45 FRF Loyer", true, "152,45 FRF", " Loyer"},
      {"Orig : 1 000,00 DEM", true, "1 000,00 DEM", ""},
      {"Orig : 12,00 écu reste", true, "12,00 écu", " reste"},
      {"Orig : 12,00 F", true, "12,00 F", ""},
      {"Orig : 152,45", false, "", "Orig : 152,45"},
      {"Orig :152 FRF", false, "", "Orig :152 FRF"},
      {"Orig : ", false, "", "Orig : "},
      {"Remboursement", false, "", "Remboursement"},
  };
  for (const TCase& c : cases) {
    std::string label = c.label;
    std::string source;
    EXPECT_EQ(SplitOriginLabel(label, source), c.split) << c.label;
    EXPECT_EQ(source, c.source) << c.label;
    EXPECT_EQ(label, c.rest) << c.label;
  }
}

}  // namespace
}  // namespace ledgora
