// Crash safety, tested for real: a child process changes a book and is
// killed (SIGKILL) in the middle of a change; the next opening reports 20901
// and the rebuild gives back every operation that was written, with its
// identifier.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <set>

#include "storage/rebuild.h"
#include "storage/test_storage_env.h"
#include "storage/xorvanet.h"

namespace ledgora {
namespace {

using testing::ReadAll;
using testing::TStorageTest;

// The real file system, except that once armed, the m-th write into a file
// opened for a write phase is followed by a report on the pipe and a pause
// that only the parent's SIGKILL ends.
class TPausingFileSystem final : public TStorageFileSystem {
 public:
  explicit TPausingFileSystem(int pipe) : pipe_(pipe) {}
  void Arm(int m) { remaining_ = m; }

  std::unique_ptr<TStorageFile> Open(const std::string& path, TOpenMode mode) override {
    auto file = SystemFileSystem().Open(path, mode);
    if (mode != TOpenMode::ReadWrite) return file;
    return std::make_unique<TFile>(*this, std::move(file));
  }
  bool Exists(const std::string& path) override { return SystemFileSystem().Exists(path); }
  bool Remove(const std::string& path) override { return SystemFileSystem().Remove(path); }
  bool RemoveReadOnly(const std::string& path) override {
    return SystemFileSystem().RemoveReadOnly(path);
  }
  platform::TFileResult Copy(const std::string& source, const std::string& target,
                             bool overwrite) override {
    return SystemFileSystem().Copy(source, target, overwrite);
  }

 private:
  class TFile final : public TStorageFile {
   public:
    TFile(TPausingFileSystem& owner, std::unique_ptr<TStorageFile> inner)
        : owner_(owner), inner_(std::move(inner)) {}
    std::size_t ReadAt(std::uint64_t offset, void* data, std::size_t size) override {
      return inner_->ReadAt(offset, data, size);
    }
    void WriteAt(std::uint64_t offset, const void* data, std::size_t size) override {
      inner_->WriteAt(offset, data, size);
      if (owner_.remaining_ > 0 && --owner_.remaining_ == 0) {
        inner_->Sync();
        const std::uint32_t marker = 0;
        (void)!write(owner_.pipe_, &marker, sizeof marker);
        for (;;) pause();
      }
    }
    std::uint64_t Size() override { return inner_->Size(); }
    void Sync() override { inner_->Sync(); }

   private:
    TPausingFileSystem& owner_;
    std::unique_ptr<TStorageFile> inner_;
  };

  int pipe_;
  int remaining_ = 0;
};

// m: the write of the interrupted change after which the child stops:
// 1 the operation's record, 2 the link from its predecessor, 3 the header.
class KilledChild : public TStorageTest, public ::testing::WithParamInterface<int> {};

TEST_P(KilledChild, TheRebuildGivesBackEveryOperationWritten) {
  constexpr int kDone = 12;  // operations added whole before the killed one
  {
    auto db = NewBook();
    db->AddAccount(testing::Account("Compte chèques"));
    ASSERT_TRUE(db->Close());
  }
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    TPausingFileSystem files(fds[1]);
    TScriptedUserPort port;
    try {
      TDatabase db(PathOf("Livre.VX"), port, files);
      db.Open(false);
      TAccountRecord& account = db.Accounts().Head()->As<TAccountRecord>();
      for (int i = 0;; ++i) {
        if (i == kDone) files.Arm(GetParam());
        // Dates out of order, so that links are patched in the middle too.
        const int day = 1 + (i * 7) % 28;
        auto op = testing::Operation(std::to_string(day) + "/03/2024", -1.0 - i,
                                     "OP" + std::to_string(i + 1));
        const std::uint32_t id = db.AddOperation(account, std::move(op)).id;
        (void)!write(fds[1], &id, sizeof id);
      }
    } catch (...) {
    }
    _exit(3);  // never reached when the kill comes
  }
  close(fds[1]);
  std::set<std::uint32_t> written;
  for (std::uint32_t id = 0; read(fds[0], &id, sizeof id) == sizeof id;) {
    if (id == 0) break;  // the child stands inside the change
    written.insert(id);
  }
  ASSERT_EQ(written.size(), static_cast<std::size_t>(kDone));
  kill(child, SIGKILL);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  close(fds[0]);
  written.insert(kDone + 1);  // its record was written before the kill

  EXPECT_EQ(testing::U32At(ReadAll(PathOf("Livre.$VX")), 0), 1u);  // the dirty flag
  TDatabase db(PathOf("Livre.VX"), port_);
  try {
    db.Open(false);
    FAIL() << "the book opened";
  } catch (const TXOrvanet& e) {
    EXPECT_EQ(e.Code(), kOrvLeftOpen);
  }
  RebuildBook(db);
  db.Open(false);
  std::set<std::uint32_t> rebuilt;
  for (TOperationRecord& op :
       db.Accounts().Head()->As<TAccountRecord>().Operations().Records<TOperationRecord>()) {
    EXPECT_EQ(op.label, "OP" + std::to_string(op.id));
    rebuilt.insert(op.id);
  }
  EXPECT_EQ(rebuilt, written);
  EXPECT_EQ(db.Counter(TRecordType::Operation), kDone + 1u);
}

std::string WriteName(const ::testing::TestParamInfo<int>& info) {
  static const char* const kNames[] = {"", "Record", "Link", "Header"};
  return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(AfterWrite, KilledChild, ::testing::Values(1, 2, 3), WriteName);

}  // namespace
}  // namespace ledgora
