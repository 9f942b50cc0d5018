// The category and search figures, on a book of 100 000 operations in five
// accounts generated here, deterministically, through the storage engine:
//   - deleting a category carried by about 2 000 operations and some split
//     lines and associations: under 200 ms;
//   - merging such a category into another: under 200 ms;
//   - a label search through all accounts that finds nothing (one full turn
//     of the 100 000 operations): under 50 ms; also case-sensitive, and by
//     amount.
// Both category changes rewrite only the records they change: the counters
// "records" (changes the book reported through its record-changed hook) and
// "disk_writes" (disk changes counted by the file system under the book) are
// per iteration, and "expected" is the number of records that carried the
// category plus the category itself. Writes are not flushed to disk (as in
// the storage figures).
#include "bench/bench_random.h"
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "operations/category_rules.h"
#include "operations/operation_list.h"
#include "operations/operations_hooks.h"
#include "operations/search.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "platform/scripted_user_port.h"
#include "storage/database.h"
#include "storage/faulty_file_system.h"

namespace ledgora {
namespace {

constexpr int kAccounts = 5;
constexpr int kOperationsPerAccount = 20000;

using bench::TRandom;
using bench::Words;

// Counts the records the book reports changed.
class TCountingHooks : public TOperationsHooks {
 public:
  void RecordChanged(TDatabase& db, TChangeKind kind, const TRecord& record) override {
    ++changes;
    TOperationsHooks::RecordChanged(db, kind, record);
  }
  std::uint64_t changes = 0;
};

struct TBench {
  TScriptedUserPort port;
  TCountingHooks hooks;
  TFaultyFileSystem files;
  std::unique_ptr<TDatabase> db;
  std::unique_ptr<TOperationList> list;
  std::vector<TOperationRecord*> normal;  // every Normal operation
  std::vector<TOperationRecord*> splits;
  std::uint32_t into = 0;  // the category merges go into
  int made = 0;
};

TBench& Bench() {
  static std::unique_ptr<TBench> bench = [] {
    std::string dir;
    if (const char* d = std::getenv("LEDGORA_BENCH_DIR")) {
      dir = d;
    } else {
      dir = (std::filesystem::temp_directory_path() / "ledgora-bench").string();
    }
    const std::string home = platform::JoinPath(dir, "categories");
    platform::MakeDirectories(home);
    setenv("LEDGORA_HOME", home.c_str(), 1);
    platform::ResetConfiguration();
    const std::string path = platform::JoinPath(home, "bench-categories.VX");
    platform::RemoveFile(path);
    platform::RemoveFile(path.substr(0, path.size() - 3) + ".$VX");
    platform::RemoveFile(platform::Configuration().profile_path);
    platform::ProfileWriteInt("Setup", "Filter", 0);

    auto b = std::make_unique<TBench>();
    b->db = std::make_unique<TDatabase>(path, b->port, b->files);
    b->db->SetDurable(false);
    b->db->SetHooks(&b->hooks);
    b->db->CreateEmptyBook();
    std::vector<std::uint32_t> categories;
    for (int i = 0; i < 10; ++i) {
      auto c = std::make_unique<TCategoryRecord>();
      c->name = "Catégorie " + std::to_string(i);
      TCategoryRecord& top = b->db->AddCategory(std::move(c));
      categories.push_back(top.id);
      for (int j = 0; j < 4; ++j) {
        auto s = std::make_unique<TCategoryRecord>();
        s->name = "Sous " + std::to_string(j);
        categories.push_back(b->db->AddCategory(std::move(s), &top).id);
      }
    }
    b->into = categories[3];
    for (int i = 0; i < 60; ++i) {
      auto a = std::make_unique<TAssociationRecord>();
      a->label = "ASSOC " + std::to_string(i);
      a->category = categories[static_cast<std::size_t>(i) % categories.size()];
      b->db->AddAssociation(std::move(a));
    }
    TRandom r{100000};
    TWritePhase phase(*b->db);
    for (int k = 0; k < kAccounts; ++k) {
      auto a = std::make_unique<TAccountRecord>();
      a->name = "Compte " + std::to_string(k);
      a->currency = "EUR";
      TAccountRecord& account = b->db->AddAccount(std::move(a));
      for (int i = 0; i < kOperationsPerAccount; ++i) {
        auto op = std::make_unique<TOperationRecord>();
        op->date = KDate::FromDayNumber(KDate(1, 1, 2015).DayNumber() + r.Below(3650));
        op->amount = (static_cast<double>(r.Below(200000)) - 150000) / 100;
        op->label = Words(r, 2 + static_cast<int>(r.Below(4)));
        if (r.Below(2) == 0) op->complementary_label = Words(r, 1 + static_cast<int>(r.Below(3)));
        op->pointing = static_cast<std::uint16_t>(r.Below(3) == 0 ? kPointed : kNotPointed);
        op->category = categories[r.Below(static_cast<std::uint32_t>(categories.size()))];
        TOperationRecord& added = b->db->AddOperation(account, std::move(op));
        if (i % 100 == 0) {
          added.kind = kOpSplit;
          added.category = 0;
          for (int l = 0; l < 2; ++l) {
            auto line = std::make_unique<TSplitLineRecord>();
            line->category = categories[r.Below(static_cast<std::uint32_t>(categories.size()))];
            line->amount = std::abs(added.amount) / 2;
            b->db->AddSplitLine(added, std::move(line));
          }
          b->db->ModifyOperation(added);
          b->splits.push_back(&added);
        } else {
          b->normal.push_back(&added);
        }
      }
    }
    b->db->SetCurrentAccount(&b->db->Accounts().Head()->As<TAccountRecord>());
    b->hooks.RefreshCounterValues(*b->db);
    b->list = std::make_unique<TOperationList>(*b->db, b->hooks, TListSettings::Load());
    b->list->Refill();
    return b;
  }();
  return *bench;
}

// A new sub-category of the first main category, carried by one Normal
// operation in 50 (about 2 000), the first line of one split in 10, and
// three associations. Returns the number of records that carry it.
std::uint64_t MakeVictim(TBench& b, TCategoryRecord*& victim) {
  TDatabase& db = *b.db;
  auto c = std::make_unique<TCategoryRecord>();
  c->name = "Victime " + std::to_string(b.made++);
  TCategoryRecord& parent = db.Categories().Head()->As<TCategoryRecord>();
  victim = &db.AddCategory(std::move(c), &parent);
  std::uint64_t carried = 0;
  TWritePhase phase(db);
  for (std::size_t i = 0; i < b.normal.size(); i += 50) {
    b.normal[i]->category = victim->id;
    db.ModifyOperation(*b.normal[i]);
    ++carried;
  }
  for (std::size_t i = 0; i < b.splits.size(); i += 10) {
    TSplitLineRecord& line = db.LoadSplitLines(*b.splits[i]).Head()->As<TSplitLineRecord>();
    line.category = victim->id;
    db.ModifySplitLine(line);
    ++carried;
  }
  for (int i = 0; i < 3; ++i) {
    auto a = std::make_unique<TAssociationRecord>();
    a->label = "VICTIME " + std::to_string(b.made) + " " + std::to_string(i);
    a->category = victim->id;
    db.AddAssociation(std::move(a));
    ++carried;
  }
  return carried;
}

void RunCategoryChange(benchmark::State& state, bool merge) {
  TBench& b = Bench();
  // Warm-up: every split's lines read once, as after the first use.
  for (TOperationRecord* op : b.splits) b.db->LoadSplitLines(*op);
  std::uint64_t records = 0;
  std::uint64_t writes = 0;
  std::uint64_t expected = 0;
  for (auto _ : state) {
    state.PauseTiming();
    TCategoryRecord* victim = nullptr;
    expected += MakeVictim(b, victim) + 1;
    b.port.Answer(TButton::Yes);
    TCategoryRecord& into = *b.db->FindCategory(b.into);
    const std::uint64_t changes_before = b.hooks.changes;
    const std::uint64_t writes_before = b.files.Writes();
    state.ResumeTiming();
    const bool done = merge ? MergeCategories(*b.db, *victim, into)
                            : DeleteCategoryWithRules(*b.db, *victim, TCategoryDeleteFrom::Pane);
    state.PauseTiming();
    if (!done) {
      state.SkipWithError("the change was refused");
      break;
    }
    records += b.hooks.changes - changes_before;
    writes += b.files.Writes() - writes_before;
    state.ResumeTiming();
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["records"] = static_cast<double>(records) / n;
  state.counters["expected"] = static_cast<double>(expected) / n;
  state.counters["disk_writes"] = static_cast<double>(writes) / n;
}

void BM_DeleteCategory(benchmark::State& state) {
  RunCategoryChange(state, false);
}
BENCHMARK(BM_DeleteCategory)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_MergeCategory(benchmark::State& state) {
  RunCategoryChange(state, true);
}
BENCHMARK(BM_MergeCategory)->Unit(benchmark::kMillisecond)->Iterations(20);

// A search through every account that finds nothing: one full turn.
void BM_SearchAllAccounts(benchmark::State& state) {
  TBench& b = Bench();
  b.list->SelectAccount(&b.db->Accounts().Head()->As<TAccountRecord>());
  b.list->Select(0);
  TSearchRequest request;
  request.settings = {false, state.range(0) == 1, true};
  if (state.range(0) == 2) {
    request.kind = TSearchRequest::Kind::Amount;
    request.amount = 123456.78;
  } else {
    request.kind = TSearchRequest::Kind::Label;
    request.label = "introuvable";
  }
  for (auto _ : state) {
    const TSearchResult r = FindNext(*b.list, request);
    if (r.found) {
      state.SkipWithError("found");
      break;
    }
    benchmark::DoNotOptimize(r.status);
  }
}
// 0: label, without regard to case; 1: label, case-sensitive; 2: amount.
BENCHMARK(BM_SearchAllAccounts)
    ->ArgName("kind")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ledgora
