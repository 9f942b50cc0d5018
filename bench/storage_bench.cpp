// The storage engine's speed figures:
//   - opening a book of 100 000 operations over 10 accounts: under 100 ms,
//     under 400 bytes of memory per operation (counter "bytes_per_op");
//   - adding, modifying and deleting one operation: under 100 us each
//     (median), without flushing to disk, whatever the size of the book.
// The books are generated here, deterministically, through the engine itself.
#include "bench/bench_random.h"
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/configuration.h"
#include "platform/files.h"
#include "platform/scripted_user_port.h"
#include "storage/database.h"

namespace ledgora {
namespace {

constexpr int kAccounts = 10;

// A small deterministic generator (the same books on every run).
using bench::TRandom;
using bench::Words;

std::unique_ptr<TOperationRecord> RandomOperation(TRandom& r) {
  auto op = std::make_unique<TOperationRecord>();
  // Ten years of dates, in any order: chains jump about the file.
  op->date = KDate::FromDayNumber(KDate(1, 1, 2015).DayNumber() + r.Below(3650));
  op->amount = (static_cast<double>(r.Below(200000)) - 150000) / 100;
  op->label = Words(r, 2 + static_cast<int>(r.Below(4)));  // 6 to 40 characters
  if (r.Below(2) == 0) op->complementary_label = Words(r, 1 + static_cast<int>(r.Below(3)));
  if (r.Below(3) == 0) op->bank_reference = std::to_string(r.Next() % 10000000);
  op->pointing = static_cast<std::uint16_t>(r.Below(2) ? kPointed : kNotPointed);
  op->category = r.Below(40);
  return op;
}

std::string BenchFolder() {
  static const std::string folder = [] {
    std::string dir;
    if (const char* d = std::getenv("LEDGORA_BENCH_DIR")) {
      dir = d;
    } else {
      dir = (std::filesystem::temp_directory_path() / "ledgora-bench").string();
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

// The path of a saved book of n operations over ten accounts, made once.
std::string Book(int operations) {
  static std::map<int, std::string> made;
  if (auto it = made.find(operations); it != made.end()) return it->second;
  const std::string path =
      platform::JoinPath(BenchFolder(), "bench" + std::to_string(operations) + ".VX");
  platform::RemoveFile(path);
  platform::RemoveFile(path.substr(0, path.size() - 3) + ".$VX");
  {
    TDatabase db(path, Port());
    db.SetDurable(false);
    db.CreateEmptyBook();
    std::vector<TAccountRecord*> accounts;
    for (int i = 0; i < kAccounts; ++i) {
      auto account = std::make_unique<TAccountRecord>();
      account->name = "Compte " + std::to_string(i);
      account->account_type = static_cast<std::uint16_t>(i % 3);
      accounts.push_back(&db.AddAccount(std::move(account)));
    }
    TRandom r{static_cast<std::uint64_t>(operations)};
    TWritePhase phase(db);  // one phase for the whole generation
    for (int i = 0; i < operations; ++i) {
      db.AddOperation(*accounts[i % kAccounts], RandomOperation(r));
    }
  }
  {
    TDatabase db(path, Port());
    db.SetDurable(false);
    db.Open(false);
    db.Close();
  }
  made[operations] = path;
  return path;
}

void BM_OpenBook(benchmark::State& state) {
  const std::string path = Book(static_cast<int>(state.range(0)));
  double bytes_per_op = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const std::size_t before = mallinfo2().uordblks;
    auto db = std::make_unique<TDatabase>(path, Port());
    state.ResumeTiming();
    db->Open(false);
    state.PauseTiming();
    bytes_per_op =
        static_cast<double>(mallinfo2().uordblks - before) / static_cast<double>(state.range(0));
    db.reset();
    state.ResumeTiming();
  }
  state.counters["bytes_per_op"] = bytes_per_op;
}
BENCHMARK(BM_OpenBook)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(10);

// An open book of n operations and its operations, for the changes.
struct TOpenBook {
  std::unique_ptr<TDatabase> db;
  std::vector<TOperationRecord*> ops;
  TRandom r{7};
};

TOpenBook& Opened(int operations) {
  static std::map<int, std::unique_ptr<TOpenBook>> books;
  auto& slot = books[operations];
  if (!slot) {
    slot = std::make_unique<TOpenBook>();
    slot->db = std::make_unique<TDatabase>(Book(operations), Port());
    slot->db->SetDurable(false);
    slot->db->Open(false);
    for (TAccountRecord& a : slot->db->Accounts().Records<TAccountRecord>()) {
      for (TOperationRecord& op : a.Operations().Records<TOperationRecord>()) {
        slot->ops.push_back(&op);
      }
    }
  }
  return *slot;
}

TAccountRecord& RandomAccount(TOpenBook& book) {
  TRecordNode* n = book.db->Accounts().Head();
  for (std::uint32_t i = book.r.Below(kAccounts); i > 0; --i) n = n->Next();
  return n->As<TAccountRecord>();
}

void BM_AddOperation(benchmark::State& state) {
  TOpenBook& book = Opened(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TAccountRecord& account = RandomAccount(book);
    auto op = RandomOperation(book.r);
    book.ops.push_back(&book.db->AddOperation(account, std::move(op)));
  }
}
BENCHMARK(BM_AddOperation)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_ModifyOperation(benchmark::State& state) {
  TOpenBook& book = Opened(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    TOperationRecord& op = *book.ops[book.r.Below(static_cast<std::uint32_t>(book.ops.size()))];
    op.date = KDate::FromDayNumber(KDate(1, 1, 2015).DayNumber() + book.r.Below(3650));
    op.label = Words(book.r, 3);
    book.db->ModifyOperation(op);
  }
}
BENCHMARK(BM_ModifyOperation)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_DeleteOperation(benchmark::State& state) {
  TOpenBook& book = Opened(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    if (book.ops.size() < 100) {
      state.SkipWithError("book emptied");
      break;
    }
    const std::size_t i = book.r.Below(static_cast<std::uint32_t>(book.ops.size()));
    TOperationRecord* op = book.ops[i];
    book.ops[i] = book.ops.back();
    book.ops.pop_back();
    book.db->DeleteOperation(*op);
  }
}
BENCHMARK(BM_DeleteOperation)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(500);

}  // namespace
}  // namespace ledgora
