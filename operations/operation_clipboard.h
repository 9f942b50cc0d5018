// TOperationClipboard: the one operation the list holds after "C&opier" or
// "&Couper", with its split lines, until it is pasted.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "storage/operation_record.h"
#include "storage/split_line_record.h"

namespace ledgora {

struct TOperationClipboard {
  // The copy: bank reference emptied, periodic link cleared; null when
  // nothing is held.
  std::unique_ptr<TOperationRecord> operation;
  std::vector<std::unique_ptr<TSplitLineRecord>> lines;
  // The currency of the account the operation was copied from.
  std::string currency;

  bool Holds() const { return operation != nullptr; }
  void Clear() {
    operation.reset();
    lines.clear();
    currency.clear();
  }
};

}  // namespace ledgora
