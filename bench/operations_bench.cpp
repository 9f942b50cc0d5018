// The operation list's speed figures, on one account of 50 000 operations
// generated here, deterministically, through the storage engine:
//   - a full refill of the list (balances, filters, counter-values): under
//     50 ms (view 3: with every counter-value computed again by the library,
//     as after opening without the hooks' first pass);
//   - one edit end to end (the editor's rule, the undo record, the record
//     write, the balances, the refill): under 60 ms;
//   - the texts of one screen of rows, as the view asks for them while it
//     scrolls (rows are data; nothing is made per row in advance).
// Writes are not flushed to disk (as in the storage figures); the "Durable"
// edit adds the two flushes of a write phase.
#include "bench/bench_random.h"
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "operations/operation_editor.h"
#include "operations/operation_list.h"
#include "operations/operations_hooks.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "platform/scripted_user_port.h"
#include "storage/database.h"

namespace ledgora {
namespace {

constexpr int kOperations = 50000;

using bench::TRandom;
using bench::Words;

// One open book: an account in euros (so every row has a counter-value in
// francs) of 50 000 operations over ten years, categorised, a third of them
// Pointed, one in a hundred a split; the list shows it.
struct TBench {
  TScriptedUserPort port;
  TOperationsHooks hooks;
  std::unique_ptr<TDatabase> db;
  std::unique_ptr<TOperationList> list;
  std::uint32_t groceries = 0;
  std::uint32_t food = 0;
};

TBench& Bench() {
  static std::unique_ptr<TBench> bench = [] {
    std::string dir;
    if (const char* d = std::getenv("LEDGORA_BENCH_DIR")) {
      dir = d;
    } else {
      dir = (std::filesystem::temp_directory_path() / "ledgora-bench").string();
    }
    const std::string home = platform::JoinPath(dir, "operations");
    platform::MakeDirectories(home);
    setenv("LEDGORA_HOME", home.c_str(), 1);
    platform::ResetConfiguration();
    const std::string path = platform::JoinPath(home, "bench-list.VX");
    platform::RemoveFile(path);
    platform::RemoveFile(path.substr(0, path.size() - 3) + ".$VX");
    platform::RemoveFile(platform::Configuration().profile_path);

    auto b = std::make_unique<TBench>();
    b->db = std::make_unique<TDatabase>(path, b->port);
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
    b->food = categories[0];
    b->groceries = categories[1];
    auto a = std::make_unique<TAccountRecord>();
    a->name = "Courant";
    a->currency = "EUR";
    a->initial_balance = 1000;
    TAccountRecord& account = b->db->AddAccount(std::move(a));
    TRandom r{50000};
    {
      TWritePhase phase(*b->db);
      for (int i = 0; i < kOperations; ++i) {
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
        }
      }
    }
    b->db->SetCurrentAccount(&account);
    b->hooks.RefreshCounterValues(*b->db);
    b->list = std::make_unique<TOperationList>(*b->db, b->hooks, TListSettings::Load());
    b->list->Refill();
    return b;
  }();
  return *bench;
}

// The list as it is after a change of the book: every row rebuilt.
void BM_RefillList(benchmark::State& state) {
  TBench& b = Bench();
  TListSettings& s = b.list->Settings();
  const TListSettings saved = s;
  switch (state.range(0)) {
    case 0:  // the default view: "Opérations non pointées"
      break;
    case 1:  // everything, and the general filter on label and amounts
      s.filter = TDisplayFilter::Complete;
      s.general = TGeneralFilter::FromTexts({"", "", "-1000", "1000", "CB"}, true);
      break;
    case 2:  // a collapsed category, its splits' partial figures
      s.filter = TDisplayFilter::SelectedCategory;
      b.list->SetCategorySelection({b.food, true});
      break;
    case 3:  // the default view with no counter-value kept: each asked of the library
      break;
  }
  b.list->Refill();  // the first refill loads the split lines once
  for (auto _ : state) {
    if (state.range(0) == 3) {
      state.PauseTiming();
      b.hooks.CounterValues().Clear();
      state.ResumeTiming();
    }
    b.list->Refill();
    benchmark::DoNotOptimize(b.list->Total());
  }
  state.counters["rows"] = static_cast<double>(b.list->RowCount());
  s = saved;
  b.list->SetCategorySelection({});
  b.list->Refill();
}
BENCHMARK(BM_RefillList)
    ->ArgName("view")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond);

// One in-place edit of a row in the middle of the list: its amount changes.
void BM_EditEndToEnd(benchmark::State& state) {
  TBench& b = Bench();
  b.db->SetDurable(state.range(0) != 0);
  TOperationEditor editor(*b.list);
  const std::size_t row = b.list->RowCount() / 2;
  int i = 0;
  for (auto _ : state) {
    std::optional<TEditSession> session = editor.Begin(row);
    TEditorInput input = session->UnchangedInput();
    input.debit = std::to_string(10 + (i++ % 50)) + ",25";
    input.credit.clear();
    if (editor.Validate(*session, input) != TEditOutcome::Applied) {
      state.SkipWithError("the edit was refused");
      break;
    }
  }
  b.db->SetDurable(false);
}
BENCHMARK(BM_EditEndToEnd)->ArgName("durable")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What the view asks for one screen of 40 detailed rows.
void BM_TextsOfAScreen(benchmark::State& state) {
  TBench& b = Bench();
  std::size_t first = 0;
  for (auto _ : state) {
    for (std::size_t r = first; r < first + 40; ++r) {
      benchmark::DoNotOptimize(b.list->Texts(r));
    }
    first = (first + 40) % (b.list->RowCount() - 40);
  }
}
BENCHMARK(BM_TextsOfAScreen)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace ledgora
