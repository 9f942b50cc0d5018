#include "storage/database_hooks.h"

#include "storage/account_record.h"
#include "storage/operation_record.h"

namespace ledgora {

void TDatabaseHooks::ComputeBalance(TDatabase&, TAccountRecord& account) {
  double balance = account.initial_balance;
  for (const TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
    balance += op.amount;
  }
  account.balance = balance;
}

}  // namespace ledgora
