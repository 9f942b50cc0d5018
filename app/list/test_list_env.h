// What the list window tests share: a fresh LEDGORA_HOME and a pinned today
// per test, a scripted user port, a new book with the operations hooks, and
// the list window over it.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <optional>
#include <string>

#include "app/list/account_list_box.h"
#include "operations/operations_hooks.h"
#include "platform/clock.h"
#include "platform/scripted_user_port.h"
#include "storage/database.h"

namespace ledgora::testing {

class TListWindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TAccountRecord& AddAccount(const std::string& name, std::uint16_t type = kCurrentAccount,
                             const std::string& currency = "EUR", double initial = 0);
  TOperationRecord& AddOp(TAccountRecord& account, const std::string& date, double amount,
                          const std::string& label, std::uint16_t pointing = kNotPointed);
  TCategoryRecord& AddCategory(const std::string& name, bool debit = true,
                               TCategoryRecord* parent = nullptr);
  TProjectRecord& AddProject(const std::string& label);

  // The window, made on first use, showing account.
  TAccountListBox& Show(TAccountRecord& account);
  TAccountListBox& Box() { return *box_; }
  // The row of the operation with this label (fails the test when none).
  int RowOf(const std::string& label);
  // The operation with this label in the book reopened from its working
  // copy: what the window's commands wrote.
  struct TReopened {
    std::unique_ptr<TScriptedUserPort> port;
    std::unique_ptr<TOperationsHooks> hooks;
    std::unique_ptr<TDatabase> db;
    const TOperationRecord* Op(const std::string& label) const;
  };
  TReopened Reopen() const;

  std::string home_;
  TScriptedUserPort port_;
  std::optional<platform::TPinnedToday> today_;
  TOperationsHooks hooks_;
  std::unique_ptr<TDatabase> db_;
  std::unique_ptr<TAccountListBox> box_;
};

}  // namespace ledgora::testing
