// TSplitLineRecord ('S'): one line of a split operation.
//
// Payload (every version: 71 bytes, record 78):
//
//   field       width
//   identifier  u32
//   category    u32      a category or sub-category; checked against the tree
//                        when read (no such category: 0)
//   amount      double
//   label       text 51
//   operation   u32      identifier of the split operation owning the line
//
// Chain: the lines of one operation, head in the operation, in order of
// entry (a new line goes last).
#pragma once

#include <string>

#include "storage/record_list.h"

namespace ledgora {

class TSplitLineRecord final : public TRecord {
 public:
  TRecordType Type() const override { return TRecordType::SplitLine; }
  void Read(TRecordBuffer& buffer, int version) override;
  void Write(TRecordBuffer& buffer) const override;
  std::unique_ptr<TRecord> Clone() const override {
    return std::make_unique<TSplitLineRecord>(*this);
  }
  bool Precedes(const TRecord&) const override { return true; }

  std::uint32_t category = 0;
  double amount = 0;
  std::string label;
  std::uint32_t operation = 0;
};

}  // namespace ledgora
