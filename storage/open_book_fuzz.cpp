// Coverage-guided fuzzing of opening a book: the input is a working copy.
// Opening, the lists loaded on demand, the schedules and a few changes must
// end in success or a TXOrvanet, never in a crash, a hang or a leak.
//
//   make fuzz && build-fuzz/bin/fuzz_open_book -max_total_time=600 corpus/
// (seed the corpus with the fixture books of build-*/storage/fixture-books).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/configuration.h"
#include "platform/user_port.h"
#include "storage/database.h"
#include "storage/xorvanet.h"

namespace {

using namespace ledgora;

// Types the password "SECRET" once, then cancels.
class TFuzzPort final : public TUserPort {
 public:
  TReply Message(const TMessage&) override { return {TButton::Ok, false}; }
  std::optional<std::string> AskText(const TTextRequest&) override {
    if (asked_++ > 0) return std::nullopt;
    return std::string("SECRET");
  }
  std::optional<std::string> ChooseFile(const TFileChoice&) override { return std::nullopt; }
  void BeginProgress(std::string_view) override {}
  void SetProgress(int) override {}
  void EndProgress() override {}
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}

 private:
  int asked_ = 0;
};

const std::string& WorkingCopy() {
  static const std::string path = [] {
    const std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    const std::filesystem::path dir = base / ("ledgora-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    setenv("LEDGORA_HOME", dir.c_str(), 1);
    platform::ResetConfiguration();
    return (dir / "Fuzz.$VX").string();
  }();
  return path;
}

void Exercise(TDatabase& db) {
  db.LoadAssociations();
  db.LoadSituationAccounts();
  db.LoadSituationValues();
  for (TAccountRecord& account : db.Accounts().Records<TAccountRecord>()) {
    for (TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
      db.LoadSplitLines(op);
      db.ReadSchedule(op);
    }
  }
  if (TAccountRecord* account = db.CurrentAccount()) {
    auto op = std::make_unique<TOperationRecord>();
    op->date = KDate(1, 1, 2024);
    op->label = "fuzz";
    TOperationRecord& added = db.AddOperation(*account, std::move(op));
    added.amount = -1;
    added.kind = kOpSplit;
    db.ModifyOperation(added);
    db.AddSplitLine(added, std::make_unique<TSplitLineRecord>());
    db.ReplaceSchedule(added, std::make_unique<TPeriodicRecord>());
    db.DeleteOperation(account->Operations().Head()->As<TOperationRecord>());
  }
  if (TRecordNode* category = db.Categories().Head()) {
    db.DeleteCategory(category->As<TCategoryRecord>());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = WorkingCopy();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  TFuzzPort port;
  try {
    TDatabase db(path, port);
    db.SetDurable(false);
    db.Open(true);
    Exercise(db);
  } catch (const TXOrvanet&) {
  }
  return 0;
}
