// The whole-book operations on a book of 100 000 operations over 10
// accounts (ten years, one operation in a hundred a split of two lines, a
// category tree, released slots):
//   - the rebuild (four passes in file order, every record written again,
//     the working copy replaced);
//   - the archive of the first half of the years (the copy into the archive
//     book, the book reopened, about 50 000 operations deleted from it).
// The book is generated once through the storage engine, in
// $LEDGORA_BENCH_DIR when set (else a temporary folder), and copied back
// before every iteration. The book itself is not flushed at each write (as
// in the storage figures); the copies that replace files are.
#include "bench/bench_random.h"
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/configuration.h"
#include "platform/files.h"
#include "platform/scripted_user_port.h"
#include "storage/archive.h"
#include "storage/database.h"
#include "storage/rebuild.h"

namespace ledgora {
namespace {

constexpr int kAccounts = 10;
constexpr int kOperations = 100000;

using bench::TRandom;
using bench::Words;

std::string Folder() {
  static const std::string folder = [] {
    std::string dir;
    if (const char* d = std::getenv("LEDGORA_BENCH_DIR")) {
      dir = std::string(d) + "/books-bench";
    } else {
      dir = (std::filesystem::temp_directory_path() / "ledgora-books-bench").string();
    }
    platform::MakeDirectories(dir);
    setenv("LEDGORA_HOME", dir.c_str(), 1);
    platform::ResetConfiguration();
    return dir;
  }();
  return folder;
}

TScriptedUserPort& Port() {
  static TScriptedUserPort port;
  return port;
}

// The generated book, kept as "master.VX" between runs.
const std::string& Master() {
  static const std::string master = [] {
    const std::string path = platform::JoinPath(Folder(), "master.VX");
    if (platform::FileExists(path)) return path;
    const std::string work = platform::JoinPath(Folder(), "generated.VX");
    platform::RemoveFile(work);
    platform::RemoveFile(platform::JoinPath(Folder(), "generated.$VX"));
    TDatabase db(work, Port());
    db.SetDurable(false);
    db.CreateEmptyBook();
    TRandom r{20240101};
    {
      TWritePhase phase(db);
      std::vector<std::uint32_t> categories;
      for (int c = 0; c < 10; ++c) {
        auto top = std::make_unique<TCategoryRecord>();
        top->name = "Catégorie " + std::to_string(c);
        top->debit = c < 8 ? 1 : 0;
        TCategoryRecord& parent = db.AddCategory(std::move(top));
        categories.push_back(parent.id);
        for (int s = 0; s < 4; ++s) {
          auto sub = std::make_unique<TCategoryRecord>();
          sub->name = "Sous-catégorie " + std::to_string(s);
          categories.push_back(db.AddCategory(std::move(sub), &parent).id);
        }
      }
      std::vector<TAccountRecord*> accounts;
      for (int a = 0; a < kAccounts; ++a) {
        auto account = std::make_unique<TAccountRecord>();
        account->name = "Compte " + std::to_string(a);
        account->account_type = static_cast<std::uint16_t>(a % 3);
        accounts.push_back(&db.AddAccount(std::move(account)));
      }
      for (int i = 0; i < kOperations; ++i) {
        auto op = std::make_unique<TOperationRecord>();
        op->date = KDate::FromDayNumber(KDate(1, 1, 2015).DayNumber() + r.Below(3650));
        op->amount = (static_cast<double>(r.Below(200000)) - 150000) / 100;
        op->label = Words(r, 2 + static_cast<int>(r.Below(4)));
        if (r.Below(2) == 0) op->complementary_label = Words(r, 1 + static_cast<int>(r.Below(3)));
        op->pointing = kPointed;
        op->category = categories[r.Below(static_cast<std::uint32_t>(categories.size()))];
        const bool split = r.Below(100) == 0;
        if (split) op->kind = kOpSplit;
        TOperationRecord& added = db.AddOperation(*accounts[r.Below(kAccounts)], std::move(op));
        if (split) {
          for (int l = 0; l < 2; ++l) {
            auto line = std::make_unique<TSplitLineRecord>();
            line->amount = 10 + l;
            line->label = Words(r, 2);
            db.AddSplitLine(added, std::move(line));
          }
          db.DropSplitLines(added);
        }
        // A few released slots, as a used book has.
        if (i % 1000 == 999) db.DeleteOperation(added);
      }
    }
    db.Save();
    db.Close();
    platform::CopyFileSafely(work, path);
    return path;
  }();
  return master;
}

// The book of an iteration: the master copied to "Livre.VX" and its working
// copy, as an open book leaves them.
std::string Fresh() {
  const std::string book = platform::JoinPath(Folder(), "Livre.VX");
  platform::CopyFileSafely(Master(), book);
  platform::CopyFileSafely(Master(), platform::JoinPath(Folder(), "Livre.$VX"));
  return book;
}

void BM_Rebuild(benchmark::State& state) {
  Master();
  for (auto _ : state) {
    state.PauseTiming();
    const std::string book = Fresh();
    TDatabase db(book, Port());
    db.SetDurable(false);
    state.ResumeTiming();
    const TRebuildReport report = RebuildBook(db, {.ask_password = false, .new_password = {}});
    benchmark::DoNotOptimize(report.records_written);
    state.counters["records"] = static_cast<double>(report.records_written);
  }
}
BENCHMARK(BM_Rebuild)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Archive(benchmark::State& state) {
  Master();
  const KDate date(31, 12, 2019);  // the first half of the ten years
  for (auto _ : state) {
    state.PauseTiming();
    Fresh();
    auto db = std::make_unique<TDatabase>(platform::JoinPath(Folder(), "Livre.$VX"), Port());
    db->SetDurable(false);
    Port().Answer(TButton::Yes);  // in case an operation is not pointed
    state.ResumeTiming();
    const TArchiveReport report =
        ArchiveBook(*db, platform::JoinPath(Folder(), "Archive.VX"), date);
    benchmark::DoNotOptimize(report.operations_archived);
    state.counters["archived"] = static_cast<double>(report.operations_archived);
    state.PauseTiming();
    db.reset();
    Port().Clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Archive)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace ledgora
