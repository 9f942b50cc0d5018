#include "operations/test_operations_env.h"

#include <cstdlib>
#include <filesystem>

#include "platform/configuration.h"
#include "platform/files.h"

namespace ledgora::testing {

void TOperationsTest::SetUp() {
  char pattern[] = "/tmp/ledgora-operations-XXXXXX";
  const char* dir = mkdtemp(pattern);
  ASSERT_NE(dir, nullptr);
  home_ = dir;
  setenv("LEDGORA_HOME", home_.c_str(), 1);
  platform::ResetConfiguration();
  today_.emplace(platform::TCalendarDay{15, 6, 2024});
  db_ = std::make_unique<TDatabase>(platform::JoinPath(home_, "Livre.VX"), port_);
  db_->SetDurable(false);
  db_->SetHooks(&hooks_);
  db_->CreateEmptyBook();
  ASSERT_TRUE(db_->Save());
}

void TOperationsTest::TearDown() {
  list_.reset();
  db_.reset();
  today_.reset();
  std::error_code ec;
  std::filesystem::remove_all(home_, ec);
  unsetenv("LEDGORA_HOME");
  platform::ResetConfiguration();
}

TAccountRecord& TOperationsTest::AddAccount(const std::string& name, std::uint16_t type,
                                            const std::string& currency, double initial) {
  auto a = std::make_unique<TAccountRecord>();
  a->name = name;
  a->account_type = type;
  a->currency = currency;
  a->initial_balance = initial;
  TAccountRecord& added = db_->AddAccount(std::move(a));
  db_->ComputeBalance(added);
  return added;
}

TOperationRecord& TOperationsTest::AddOp(TAccountRecord& account, const std::string& date,
                                         double amount, const std::string& label,
                                         std::uint16_t pointing) {
  auto op = std::make_unique<TOperationRecord>();
  op->date = KDate::FromText(date, KD_STANDARD);
  op->amount = amount;
  op->label = label;
  op->pointing = pointing;
  TOperationRecord& added = db_->AddOperation(account, std::move(op));
  db_->ComputeBalance(account);
  return added;
}

TCategoryRecord& TOperationsTest::AddCategory(const std::string& name, bool debit,
                                              TCategoryRecord* parent, double amount) {
  auto c = std::make_unique<TCategoryRecord>();
  c->name = name;
  c->debit = debit ? 1 : 0;
  c->amount = amount;
  return db_->AddCategory(std::move(c), parent);
}

TProjectRecord& TOperationsTest::AddProject(const std::string& label, bool open) {
  auto p = std::make_unique<TProjectRecord>();
  p->label = label;
  p->open = open ? 1 : 0;
  return db_->AddProject(std::move(p));
}

void TOperationsTest::MakeSplit(TOperationRecord& op,
                                const std::vector<std::pair<std::uint32_t, double>>& lines) {
  op.kind = kOpSplit;
  op.category = 0;
  for (const auto& [category, amount] : lines) {
    auto line = std::make_unique<TSplitLineRecord>();
    line->category = category;
    line->amount = amount;
    db_->AddSplitLine(op, std::move(line));
  }
  db_->ModifyOperation(op);
}

TOperationList& TOperationsTest::List() {
  if (!list_) list_ = std::make_unique<TOperationList>(*db_, hooks_, TListSettings::Load());
  return *list_;
}

TOperationList& TOperationsTest::Show(TAccountRecord& account) {
  List().SelectAccount(&account);
  return *list_;
}

std::size_t TOperationsTest::RowOf(const std::string& label) {
  for (std::size_t i = 0; i < List().RowCount(); ++i) {
    if (const TOperationRecord* op = List().OperationAt(i); op && op->label == label) return i;
  }
  ADD_FAILURE() << "no row " << label;
  return List().RowCount();
}

std::string TOperationsTest::RowLabels() {
  std::string out;
  for (std::size_t i = 0; i < List().RowCount(); ++i) {
    if (!out.empty()) out += ' ';
    const TOperationRecord* op = List().OperationAt(i);
    out += op ? op->label : std::string("*");
  }
  return out;
}

TReopened TOperationsTest::Reopen() const {
  TReopened r;
  r.hooks = std::make_unique<TOperationsHooks>();
  r.port = std::make_unique<TScriptedUserPort>();
  r.db = std::make_unique<TDatabase>(db_->WorkingCopyPath(), *r.port);
  r.db->SetDurable(false);
  r.db->SetHooks(r.hooks.get());
  r.db->Open(false);
  return r;
}

TAccountRecord& TReopened::Account(const std::string& name) const {
  for (TAccountRecord& a : db->Accounts().Records<TAccountRecord>()) {
    if (a.name == name) return a;
  }
  throw std::runtime_error("no account " + name);
}

std::vector<TOperationRecord*> TReopened::Operations(const std::string& account) const {
  std::vector<TOperationRecord*> out;
  for (TOperationRecord& op : Account(account).Operations().Records<TOperationRecord>()) {
    out.push_back(&op);
  }
  return out;
}

TOperationRecord& TReopened::Op(const std::string& account, const std::string& label) const {
  for (TOperationRecord* op : Operations(account)) {
    if (op->label == label) return *op;
  }
  throw std::runtime_error("no operation " + label);
}

}  // namespace ledgora::testing
