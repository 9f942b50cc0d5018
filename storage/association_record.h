// TAssociationRecord ('A'): a label fragment that selects a category.
//
// Payload, in storage order (version 24: 59 bytes, record 66):
//
//   field       width                   since
//   identifier  u32
//   category    u32                             checked against the tree when read
//   label       text 51 (text 31 before 15)
//
// Record sizes: versions 2-14: 46; 15-24: 66.
// Chain: all associations, head in the book header, ordered by label without
// regard to case. Loaded on demand.
#pragma once

#include <string>

#include "storage/record_list.h"

namespace ledgora {

class TAssociationRecord final : public TRecord {
 public:
  TRecordType Type() const override { return TRecordType::Association; }
  void Read(TRecordBuffer& buffer, int version) override;
  void Write(TRecordBuffer& buffer) const override;
  std::unique_ptr<TRecord> Clone() const override {
    return std::make_unique<TAssociationRecord>(*this);
  }
  bool Precedes(const TRecord& added) const override;
  int OrderKey(const TRecord& other) const override;

  std::uint32_t category = 0;
  std::string label;
};

}  // namespace ledgora
