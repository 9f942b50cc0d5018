// The archive command and the backup copy.
#include "storage/archive.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/files.h"
#include "storage/backup.h"
#include "storage/book_lifecycle.h"
#include "storage/book_profile.h"
#include "storage/test_book_contents.h"
#include "storage/test_storage_env.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

using testing::CountRecords;
using testing::ReadAll;
using testing::TStorageTest;

constexpr const char* kNotPointedQuestion =
    "Dans les opérations à archiver, une opération qui n'est pas pointée a été détectée.\nIl est "
    "déconseillé d'archiver des opérations non pointées.\nVoulez-vous poursuivre l'archivage "
    "?\nNB : vous pourrez éventuellement en relancer un avec une date plus ancienne.";

class Archive : public TStorageTest {
 protected:
  void SetUp() override {
    TStorageTest::SetUp();
    doc_.SetBookSetup([](TDatabase& db) { db.SetDurable(false); });
    auto db = NewBook();
    testing::FillBook(*db);
    EXPECT_TRUE(db->Close());
    RemoveInUseMarker(PathOf("Livre.VX"));
    ASSERT_TRUE(doc_.OpenBook(PathOf("Livre.VX")));
    for (TAccountRecord& a : doc_.Book()->Accounts().Records<TAccountRecord>()) {
      for (TOperationRecord& op : a.Operations().Records<TOperationRecord>()) {
        all_.emplace(op.id, op.date.DayNumber());
      }
    }
    port_.Clear();
  }
  void TearDown() override {
    doc_.CloseWithoutSaving();
    TStorageTest::TearDown();
  }

  void Script(const std::string& date, const std::string& file) {
    port_.Answer(TButton::Ok);
    port_.AnswerText(date);
    port_.AnswerFile(file);
  }

  static std::map<std::uint32_t, std::uint32_t> Operations(TDatabase& db) {
    std::map<std::uint32_t, std::uint32_t> ops;
    for (TAccountRecord& a : db.Accounts().Records<TAccountRecord>()) {
      for (TOperationRecord& op : a.Operations().Records<TOperationRecord>()) {
        ops.emplace(op.id, op.date.DayNumber());
      }
    }
    return ops;
  }

  TBookDocument doc_{port_};
  std::map<std::uint32_t, std::uint32_t> all_;  // identifier, day
};

TEST_F(Archive, MovesTheOperationsUpToTheDateIntoTheArchiveBook) {
  const std::uint32_t limit = KDate(15, 2, 2024).DayNumber();
  Script("15/02/2024", PathOf("Ancien"));
  port_.Answer(TButton::Yes);  // some operations are not pointed
  ASSERT_TRUE(doc_.Archive());
  EXPECT_EQ(port_.Messages()[0],
            "Vous allez archiver une partie de votre livre de comptes.\nAttention, les données "
            "archivées seront supprimées du livre courant et copiées dans le livre archivé.");
  EXPECT_EQ(port_.Messages()[1], kNotPointedQuestion);
  EXPECT_TRUE(port_.ScriptExhausted());

  // The book keeps the later operations only; its split lines went with
  // the archived split; the periodic model (05/03) keeps its schedule.
  const auto kept = Operations(*doc_.Book());
  std::map<std::uint32_t, std::uint32_t> later;
  std::map<std::uint32_t, std::uint32_t> earlier;
  for (const auto& [id, day] : all_) (day <= limit ? earlier : later).emplace(id, day);
  ASSERT_FALSE(earlier.empty());
  ASSERT_FALSE(later.empty());
  EXPECT_EQ(kept, later);
  EXPECT_EQ(CountRecords(PathOf("Livre.$VX")).find("S2"), std::string::npos);
  TOperationRecord* model = nullptr;
  for (TOperationRecord& op : doc_.Book()
                                  ->Accounts()
                                  .Head()
                                  ->As<TAccountRecord>()
                                  .Operations()
                                  .Records<TOperationRecord>()) {
    if (op.label == "LOYER") model = &op;
  }
  ASSERT_NE(model, nullptr);
  EXPECT_NE(doc_.Book()->ReadSchedule(*model), nullptr);

  // The archive: every account and category, the earlier operations with
  // their identifiers, the split with its lines, nothing periodic.
  TDatabase archive(PathOf("Ancien.VX"), port_);
  archive.Open(false);
  EXPECT_EQ(Operations(archive), earlier);
  EXPECT_EQ(archive.Accounts().Size(), 3u);
  EXPECT_EQ(archive.Categories().Size(), doc_.Book()->Categories().Size());
  EXPECT_EQ(archive.Counter(TRecordType::Operation), doc_.Book()->Counter(TRecordType::Operation));
  bool split_seen = false;
  for (TAccountRecord& a : archive.Accounts().Records<TAccountRecord>()) {
    for (TOperationRecord& op : a.Operations().Records<TOperationRecord>()) {
      EXPECT_EQ(op.periodic, 0u);
      if (op.kind == kOpSplit) {
        split_seen = true;
        EXPECT_EQ(archive.LoadSplitLines(op).Size(), 2u);
      }
    }
  }
  EXPECT_TRUE(split_seen);
}

TEST_F(Archive, NoToTheNotPointedQuestionChangesNothing) {
  const std::string working = ReadAll(PathOf("Livre.$VX"));
  Script("15/02/2024", PathOf("Ancien.VX"));
  port_.Answer(TButton::No);
  EXPECT_FALSE(doc_.Archive());
  EXPECT_EQ(ReadAll(PathOf("Livre.$VX")), working);
  EXPECT_FALSE(platform::FileExists(PathOf("Ancien.VX")));
  ASSERT_TRUE(doc_.HasOpenBook());
  EXPECT_EQ(Operations(*doc_.Book()), all_);
}

TEST_F(Archive, ADateBeforeEveryOperationCopiesAccountsAndCategoriesOnly) {
  Script("01/01/2000", PathOf("Vide.VX"));
  ASSERT_TRUE(doc_.Archive());
  EXPECT_EQ(port_.Messages().size(), 1u);  // no question about pointing
  EXPECT_EQ(Operations(*doc_.Book()), all_);
  const std::string counts = CountRecords(PathOf("Vide.VX"));
  EXPECT_EQ(counts, "C3 G5 J1");
}

TEST_F(Archive, StopsOnCancelAndOnTheBooksOwnName) {
  port_.Answer(TButton::Cancel);
  EXPECT_FALSE(doc_.Archive());
  port_.Answer(TButton::Ok);
  port_.AnswerText(std::nullopt);
  EXPECT_FALSE(doc_.Archive());
  Script("15/02/2024", PathOf("livre.vx"));
  EXPECT_FALSE(doc_.Archive());
  EXPECT_EQ(port_.LastMessage(),
            "Le livre de comptes archivé ne peut avoir le même nom que le livre de comptes "
            "courant.");
  EXPECT_EQ(Operations(*doc_.Book()), all_);
}

TEST_F(Archive, AnArchivedPeriodicModelTakesItsScheduleFromTheRestOfTheChain) {
  TDatabase& db = *doc_.Book();
  TAccountRecord& current = db.Accounts().Head()->As<TAccountRecord>();
  std::uint32_t schedule = 0;
  for (TOperationRecord& op : current.Operations().Records<TOperationRecord>()) {
    if (op.label == "LOYER") schedule = op.periodic;
  }
  ASSERT_NE(schedule, 0u);
  auto later = testing::Operation("20/03/2024", -700, "LOYER SUIVANT");
  later->periodic = schedule;
  later->SetFlag(kOpPastOccurrence, true);
  db.AddOperation(current, std::move(later));
  Script("10/03/2024", PathOf("Ancien.VX"));
  port_.Answer(TButton::Yes);
  ASSERT_TRUE(doc_.Archive());
  TOperationRecord* kept = nullptr;
  for (TOperationRecord& op : doc_.Book()
                                  ->Accounts()
                                  .Head()
                                  ->As<TAccountRecord>()
                                  .Operations()
                                  .Records<TOperationRecord>()) {
    if (op.label == "LOYER SUIVANT") kept = &op;
    EXPECT_NE(op.label, "LOYER");
  }
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->periodic, 0u);  // never an offset into a released slot
  EXPECT_EQ(CountRecords(PathOf("Livre.$VX")).find('F'), std::string::npos);
  doc_.CloseWithoutSaving();
  TDatabase reopened(PathOf("Livre.$VX"), port_);
  EXPECT_NO_THROW(reopened.Open(false));
}

// --- The backup copy --------------------------------------------------------------------

TEST_F(Archive, TheBackupCopyResetsTheReminderAndStoresItsPath) {
  TDatabase& db = *doc_.Book();
  const std::string target = PathOf("copies.SAV.VX");
  db.Settings().backup_countdown = 0;
  ASSERT_TRUE(MakeBackupCopy(db, target));
  EXPECT_EQ(ReadAll(target), ReadAll(PathOf("Livre.$VX")));
  EXPECT_EQ(db.Settings().backup_countdown, 10);
  EXPECT_EQ(db.Settings().backup_path, target);

  // A folder that does not exist: the message, the path and countdown kept.
  db.Settings().backup_countdown = 4;
  const std::string nowhere = PathOf("absent/copie.SAV.VX");
  EXPECT_FALSE(MakeBackupCopy(db, nowhere));
  EXPECT_EQ(port_.LastMessage(),
            "La copie de secours du livre de comptes n'a pas pu s'effectuer.\nVérifiez "
            "l'existence du répertoire spécifié.");
  EXPECT_EQ(port_.Log().back().icon, TIcon::Exclamation);
  EXPECT_EQ(db.Settings().backup_path, nowhere);
  EXPECT_EQ(db.Settings().backup_countdown, 10);
  // A path the header cannot hold is refused before anything changes.
  EXPECT_FALSE(MakeBackupCopy(db, PathOf(std::string(300, 'a') + ".SAV.VX")));
  EXPECT_EQ(db.Settings().backup_path, nowhere);

  // The dialog shows the current path; Cancel copies nothing.
  port_.AnswerText(std::nullopt);
  EXPECT_FALSE(RunBackupDialog(db));
  EXPECT_EQ(port_.Log().back().caption, "Faire une copie de secours des données");
  port_.AnswerText(PathOf("autre.SAV.VX"));
  EXPECT_TRUE(doc_.Backup());
  EXPECT_TRUE(platform::FileExists(PathOf("autre.SAV.VX")));
  EXPECT_EQ(DefaultBackupPath("/a/Compte.vx"), "/a/Compte.SAV.VX");
}

}  // namespace
}  // namespace ledgora
