// TProjectRecord ('J', since version 24): a project operations can belong to.
//
// Payload (57 bytes, record 64):
//
//   field       width
//   identifier  u32
//   label       text 51  unique in the book
//   open flag   u16      1 open, 0 closed; default 1
//
// Chain: all projects, head in the book header, ordered by label without
// regard to case.
#pragma once

#include <string>

#include "storage/record_list.h"

namespace ledgora {

class TProjectRecord final : public TRecord {
 public:
  TRecordType Type() const override { return TRecordType::Project; }
  void Read(TRecordBuffer& buffer, int version) override;
  void Write(TRecordBuffer& buffer) const override;
  std::unique_ptr<TRecord> Clone() const override {
    return std::make_unique<TProjectRecord>(*this);
  }
  bool Precedes(const TRecord& added) const override;
  int OrderKey(const TRecord& other) const override;

  std::string label;
  std::uint16_t open = 1;
};

}  // namespace ledgora
