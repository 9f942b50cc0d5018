#include "app/list/test_list_env.h"

#include <cstdlib>
#include <filesystem>

#include "operations/operation_list.h"
#include "platform/configuration.h"
#include "platform/files.h"

namespace ledgora::testing {

void TListWindowTest::SetUp() {
  char pattern[] = "/tmp/ledgora-list-XXXXXX";
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
  // Every operation shown, whatever its pointing.
  platform::ProfileWriteInt("Setup", "Filter", 0);
}

void TListWindowTest::TearDown() {
  box_.reset();
  db_.reset();
  today_.reset();
  std::error_code ec;
  std::filesystem::remove_all(home_, ec);
  unsetenv("LEDGORA_HOME");
  platform::ResetConfiguration();
}

TAccountRecord& TListWindowTest::AddAccount(const std::string& name, std::uint16_t type,
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

TOperationRecord& TListWindowTest::AddOp(TAccountRecord& account, const std::string& date,
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

TCategoryRecord& TListWindowTest::AddCategory(const std::string& name, bool debit,
                                              TCategoryRecord* parent) {
  auto c = std::make_unique<TCategoryRecord>();
  c->name = name;
  c->debit = debit ? 1 : 0;
  return db_->AddCategory(std::move(c), parent);
}

TProjectRecord& TListWindowTest::AddProject(const std::string& label) {
  auto p = std::make_unique<TProjectRecord>();
  p->label = label;
  return db_->AddProject(std::move(p));
}

TAccountListBox& TListWindowTest::Show(TAccountRecord& account) {
  if (!box_) {
    db_->SetCurrentAccount(&account);
    box_ = std::make_unique<TAccountListBox>(*db_, hooks_, port_);
    box_->resize(1000, 600);
    box_->show();
  }
  box_->SelectAccount(&account);
  QApplication::processEvents();
  return *box_;
}

int TListWindowTest::RowOf(const std::string& label) {
  TOperationList& list = box_->List();
  for (std::size_t i = 0; i < list.RowCount(); ++i) {
    if (const TOperationRecord* op = list.OperationAt(i); op && op->label == label) {
      return static_cast<int>(i);
    }
  }
  ADD_FAILURE() << "no row " << label;
  return -1;
}

TListWindowTest::TReopened TListWindowTest::Reopen() const {
  TReopened r;
  r.hooks = std::make_unique<TOperationsHooks>();
  r.port = std::make_unique<TScriptedUserPort>();
  r.db = std::make_unique<TDatabase>(db_->WorkingCopyPath(), *r.port);
  r.db->SetDurable(false);
  r.db->SetHooks(r.hooks.get());
  r.db->Open(false);
  return r;
}

const TOperationRecord* TListWindowTest::TReopened::Op(const std::string& label) const {
  for (TAccountRecord& a : db->Accounts().Records<TAccountRecord>()) {
    for (TOperationRecord& op : a.Operations().Records<TOperationRecord>()) {
      if (op.label == label) return &op;
    }
  }
  return nullptr;
}

}  // namespace ledgora::testing
