// The list window's speed on one account of 50 000 operations, generated
// here deterministically through the storage engine (offscreen):
//   - the model's data() over one screen of rows, every column and every
//     role the delegate reads, at a new place of the list each time;
//   - one screen painted by the view at a new scroll position (what a
//     scroll step costs: the view asks only for the rows it shows);
//   - a full refill of the 50 000 operations through the window (the core
//     refill, the model reset, the columns, the footer, the selection).
#include "bench/bench_random.h"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/list/account_list_box.h"
#include "app/list/account_list_model.h"
#include "app/list/account_list_view.h"
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

struct TBench {
  std::unique_ptr<QApplication> app;
  TScriptedUserPort port;
  TOperationsHooks hooks;
  std::unique_ptr<TDatabase> db;
  std::unique_ptr<TAccountListBox> box;
};

TBench& Bench() {
  static std::unique_ptr<TBench> bench = [] {
    auto b = std::make_unique<TBench>();
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "bench_list_view";
    static char* argv[] = {name, nullptr};
    b->app = std::make_unique<QApplication>(argc, argv);

    std::string dir;
    if (const char* d = std::getenv("LEDGORA_BENCH_DIR")) {
      dir = d;
    } else {
      dir = (std::filesystem::temp_directory_path() / "ledgora-bench").string();
    }
    const std::string home = platform::JoinPath(dir, "list-view");
    platform::MakeDirectories(home);
    setenv("LEDGORA_HOME", home.c_str(), 1);
    platform::ResetConfiguration();
    const std::string path = platform::JoinPath(home, "bench-view.VX");
    platform::RemoveFile(path);
    platform::RemoveFile(path.substr(0, path.size() - 3) + ".$VX");
    platform::RemoveFile(platform::Configuration().profile_path);
    // Every operation shown: 50 000 rows.
    platform::ProfileWriteInt("Setup", "Filter", 0);

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
        if (r.Below(20) == 0) op->source_amount = "12,50 USD";
        b->db->AddOperation(account, std::move(op));
      }
    }
    b->db->SetCurrentAccount(&account);
    b->hooks.RefreshCounterValues(*b->db);
    b->box = std::make_unique<TAccountListBox>(*b->db, b->hooks, b->port);
    b->box->resize(1000, 720);
    b->box->show();
    QApplication::processEvents();
    return b;
  }();
  return *bench;
}

// The rows of one screen of the view as it is laid out now.
int ScreenRows(TAccountListBox& box) {
  return box.View().viewport()->height() / box.List().Settings().RowHeight() + 1;
}

// data() over a screen: every column, the roles the view and the delegate ask.
void BM_ModelDataScreen(benchmark::State& state) {
  TBench& b = Bench();
  b.box->RunViewCommand(state.range(0) == 0 ? TViewCommand::Detailed : TViewCommand::Condensed);
  TAccountListModel& model = b.box->Model();
  const int screen = ScreenRows(*b.box);
  const int rows = model.rowCount();
  static const int kRoles[] = {Qt::DisplayRole,
                               Qt::DecorationRole,
                               Qt::ForegroundRole,
                               Qt::TextAlignmentRole,
                               Qt::FontRole,
                               Qt::BackgroundRole,
                               TAccountListModel::LabelLineRole,
                               TAccountListModel::ClassificationRole,
                               TAccountListModel::SourceAmountRole,
                               TAccountListModel::PeriodicRole,
                               TAccountListModel::NewEntryRole};
  int first = 0;
  for (auto _ : state) {
    for (int r = first; r < first + screen && r < rows; ++r) {
      for (int c = 0; c < model.columnCount(); ++c) {
        const QModelIndex index = model.index(r, c);
        for (int role : kRoles) benchmark::DoNotOptimize(model.data(index, role));
      }
    }
    first = (first + 997) % std::max(1, rows - screen);
  }
  state.counters["rows_per_screen"] = screen;
  state.counters["rows"] = rows;
}
BENCHMARK(BM_ModelDataScreen)->ArgName("condensed")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// One screen painted by the view at a new scroll position.
void BM_PaintScreen(benchmark::State& state) {
  TBench& b = Bench();
  b.box->RunViewCommand(state.range(0) == 0 ? TViewCommand::Detailed : TViewCommand::Condensed);
  QWidget* viewport = b.box->View().viewport();
  QScrollBar* bar = b.box->View().verticalScrollBar();
  QImage image(viewport->size(), QImage::Format_ARGB32_Premultiplied);
  int position = 0;
  for (auto _ : state) {
    bar->setValue(position);
    QPainter painter(&image);
    viewport->render(&painter);
    painter.end();
    position = (position + 1511) % std::max(1, bar->maximum());
  }
  state.counters["scroll_range"] = bar->maximum();
}
BENCHMARK(BM_PaintScreen)->ArgName("condensed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A full refill of the 50 000 operations as the window sees it.
void BM_RefillWindow(benchmark::State& state) {
  TBench& b = Bench();
  b.box->RunViewCommand(TViewCommand::Detailed);
  for (auto _ : state) {
    b.box->Refresh(kRefillFull);
    benchmark::DoNotOptimize(b.box->Model().rowCount());
  }
  state.counters["rows"] = b.box->Model().rowCount();
}
BENCHMARK(BM_RefillWindow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ledgora
