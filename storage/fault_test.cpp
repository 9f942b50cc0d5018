// Faults during a change: the process stopping after any write, a full disk,
// a read-only disk. Reopening must give the old book, the new book, or the
// dirty working copy that the rebuild repairs, never anything else.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "platform/files.h"
#include "storage/database.h"
#include "storage/faulty_file_system.h"
#include "storage/test_storage_env.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

using testing::Account;
using testing::Labels;
using testing::Operation;
using testing::ReadAll;
using testing::TStorageTest;
using testing::U32At;

struct TChangeRow {
  const char* name;
  std::function<void(TDatabase&)> change;
  const char* before;  // the operations of the account before the change
  const char* after;   // and after it
};

class CrashAtEveryWrite : public TStorageTest, public ::testing::WithParamInterface<TChangeRow> {
 protected:
  // A saved book with one account and three operations; the TDatabase is
  // gone, its working copy closed.
  void MakeBook() {
    auto db = NewBook();
    TAccountRecord& account = db->AddAccount(Account("Courant"));
    db->AddOperation(account, Operation("01/01/2024", 1, "a"));
    db->AddOperation(account, Operation("02/01/2024", 1, "b"));
    db->AddOperation(account, Operation("03/01/2024", 1, "c"));
    ASSERT_TRUE(db->Close());
  }
};

TEST_P(CrashAtEveryWrite, ReopensOldNewOrDirty) {
  const TChangeRow& row = GetParam();
  std::vector<std::string> outcomes;
  for (std::uint64_t n = 0;; ++n) {
    MakeBook();
    TFaultyFileSystem files;
    {
      TDatabase db(PathOf("Livre.VX"), port_, files);
      db.Open(false);
      files.CrashAfterWrites(n);
      try {
        row.change(db);
      } catch (const TSimulatedCrash&) {
      }
    }  // the process is gone: nothing more reaches the disk
    // (a crash while the phase clears the flag is not seen by the change)
    const bool crashed = files.Crashed();
    std::string outcome;
    try {
      auto reopened = OpenBook();
      outcome = Labels(reopened->Accounts().Head()->As<TAccountRecord>());
      EXPECT_TRUE(outcome == row.before || outcome == row.after) << n << ": " << outcome;
    } catch (const TXOrvanet& e) {
      EXPECT_EQ(e.Code(), kOrvLeftOpen) << n;
      outcome = "dirty";
    }
    outcomes.push_back(outcome);
    platform::RemoveFile(PathOf("Livre.$VX"));
    if (!crashed) break;
    ASSERT_LT(n, 20u);
  }
  // Before the first write the book is untouched; from the dirty flag on it
  // is dirty until the change ends, and then it is the new book.
  ASSERT_GE(outcomes.size(), 3u);
  EXPECT_EQ(outcomes.front(), row.before);
  EXPECT_EQ(outcomes.back(), row.after);
  for (std::size_t i = 1; i + 1 < outcomes.size(); ++i) EXPECT_EQ(outcomes[i], "dirty") << i;
}

TAccountRecord& First(TDatabase& db) {
  return db.Accounts().Head()->As<TAccountRecord>();
}
TOperationRecord& Op(TDatabase& db, int index) {
  TRecordNode* n = First(db).Operations().Head();
  while (index-- > 0) n = n->Next();
  return n->As<TOperationRecord>();
}

INSTANTIATE_TEST_SUITE_P(
    Changes, CrashAtEveryWrite,
    ::testing::Values(TChangeRow{"AddInTheMiddle",
                                 [](TDatabase& db) {
                                   db.AddOperation(First(db), Operation("02/01/2024", 0.5, "new"));
                                 },
                                 "a b c", "a b new c"},
                      TChangeRow{"AddAsHead",
                                 [](TDatabase& db) {
                                   db.AddOperation(First(db), Operation("01/12/2023", 0.5, "new"));
                                 },
                                 "a b c", "new a b c"},
                      TChangeRow{"DeleteTheHead",
                                 [](TDatabase& db) { db.DeleteOperation(Op(db, 0)); }, "a b c",
                                 "b c"},
                      TChangeRow{"MoveToTheEnd",
                                 [](TDatabase& db) {
                                   TOperationRecord& op = Op(db, 0);
                                   op.date = KDate(9, 1, 2024);
                                   db.ModifyOperation(op);
                                 },
                                 "a b c", "b c a"}),
    [](const auto& info) { return std::string(info.param.name); });

class DiskFaults : public TStorageTest {};

TEST_F(DiskFaults, AFullDiskInsideAChangeMarksTheBookFailed) {
  TFaultyFileSystem files;
  auto db = NewBook("Livre.VX", files);
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  ASSERT_TRUE(db->Save());
  const std::string saved = ReadAll(PathOf("Livre.VX"));
  files.FailWritesAfter(1, ENOSPC);  // the dirty flag is written, the record is not
  try {
    db->AddOperation(account, Operation("01/01/2024", 1));
    FAIL();
  } catch (const TXOrvanet& e) {
    EXPECT_EQ(e.Code(), kOrvDamaged);
    EXPECT_EQ(e.SystemError(), ENOSPC);
  }
  files.Heal();
  EXPECT_TRUE(db->Failed());
  EXPECT_EQ(U32At(ReadAll(PathOf("Livre.$VX")), 0), 1u);
  // No more changes, and the saved book stays as it was.
  EXPECT_THROW(db->AddAccount(Account("Autre")), TXOrvanet);
  EXPECT_FALSE(db->Save());
  EXPECT_FALSE(db->Close());
  EXPECT_EQ(ReadAll(PathOf("Livre.VX")), saved);
  db.reset();
  TDatabase reopened(PathOf("Livre.VX"), port_);
  try {
    reopened.Open(false);
    FAIL();
  } catch (const TXOrvanet& e) {
    EXPECT_EQ(e.Code(), kOrvLeftOpen);
  }
}

TEST_F(DiskFaults, AReadOnlyDiskRefusesTheChangeAndChangesNothing) {
  TFaultyFileSystem files;
  auto db = NewBook("Livre.VX", files);
  TAccountRecord& account = db->AddAccount(Account("Courant"));
  const std::string before = ReadAll(PathOf("Livre.$VX"));
  files.FailOpenForWriting(EROFS);
  try {
    db->AddOperation(account, Operation("01/01/2024", 1));
    FAIL();
  } catch (const TXOrvanet& e) {
    EXPECT_EQ(e.Code(), kOrvFileUnavailable);
    EXPECT_EQ(e.Message(),
              "Le fichier Livre.$VX est introuvable ou est utilisé par une autre application.");
  }
  EXPECT_TRUE(account.Operations().Empty());
  EXPECT_FALSE(db->Failed());
  EXPECT_EQ(ReadAll(PathOf("Livre.$VX")), before);
  files.FailOpenForWriting(0);
  db->AddOperation(account, Operation("01/01/2024", 1, "later"));
  EXPECT_EQ(Labels(account), "later");
}

TEST_F(DiskFaults, AnExceptionBeforeAnyWriteLeavesTheBookClean) {
  TFaultyFileSystem files;
  auto db = NewBook("Livre.VX", files);
  const auto writes = files.Writes();
  try {
    TWritePhase phase(*db);
    throw std::runtime_error("a guard question said no");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(db->Failed());
  EXPECT_EQ(U32At(ReadAll(PathOf("Livre.$VX")), 0), 0u);
  EXPECT_EQ(files.Writes(), writes + 2);  // the flag set and cleared
}

}  // namespace
}  // namespace ledgora
