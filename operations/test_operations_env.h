// What the operations tests share: a fresh LEDGORA_HOME and a pinned today
// per test, a scripted user port, a new book with the operations hooks, the
// operation list over it, and the book reopened from its working copy.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "operations/operation_list.h"
#include "operations/operations_hooks.h"
#include "platform/clock.h"
#include "platform/scripted_user_port.h"
#include "storage/database.h"

namespace ledgora::testing {

// A scripted port that also keeps the last message as it was asked (its
// default button, which the log does not record).
class TRecordingPort : public TScriptedUserPort {
 public:
  TReply Message(const TMessage& message) override {
    last = message;
    return TScriptedUserPort::Message(message);
  }
  TMessage last;
};

// A pointing window that records what it is told.
class TFakePointing : public TPointingSession {
 public:
  bool InProgress(const TAccountRecord& account) const override { return account.id == account_id; }
  void TickChanged(const TOperationRecord& op, std::uint16_t old_state) override {
    ticks.push_back({op.id, old_state, op.pointing});
  }
  struct TTick {
    std::uint32_t id;
    std::uint16_t from;
    std::uint16_t to;
  };
  std::uint32_t account_id = 0;
  std::vector<TTick> ticks;
};

// A book reopened from the working copy: what the changes wrote.
struct TReopened {
  std::unique_ptr<TScriptedUserPort> port;
  std::unique_ptr<TOperationsHooks> hooks;
  std::unique_ptr<TDatabase> db;
  TAccountRecord& Account(const std::string& name) const;
  // The operations of an account in list order.
  std::vector<TOperationRecord*> Operations(const std::string& account) const;
  TOperationRecord& Op(const std::string& account, const std::string& label) const;
};

class TOperationsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  TAccountRecord& AddAccount(const std::string& name, std::uint16_t type = kCurrentAccount,
                             const std::string& currency = "EUR", double initial = 0);
  TOperationRecord& AddOp(TAccountRecord& account, const std::string& date, double amount,
                          const std::string& label, std::uint16_t pointing = kNotPointed);
  TCategoryRecord& AddCategory(const std::string& name, bool debit = true,
                               TCategoryRecord* parent = nullptr, double amount = 0);
  TProjectRecord& AddProject(const std::string& label, bool open = true);
  // Lines on an operation, which becomes a Split.
  void MakeSplit(TOperationRecord& op, const std::vector<std::pair<std::uint32_t, double>>& lines);

  // The list, made on first use from the profile, showing account.
  TOperationList& Show(TAccountRecord& account);
  TOperationList& List();
  // The row of the operation with this label in the list (fails the test
  // when it is not shown).
  std::size_t RowOf(const std::string& label);
  // The labels of the rows shown, the new-entry line as "*".
  std::string RowLabels();
  TReopened Reopen() const;

  std::string home_;
  TRecordingPort port_;
  std::optional<platform::TPinnedToday> today_;
  TOperationsHooks hooks_;
  std::unique_ptr<TDatabase> db_;
  std::unique_ptr<TOperationList> list_;
};

}  // namespace ledgora::testing
