// TPeriodicRecord ('F'): the schedule of a periodic chain of operations.
//
// Payload, in storage order (version 24: 23 bytes, record 30):
//
//   field          width  since
//   identifier     u32
//   frequency      u16           index of the periodicity list
//   custom unit    u16           0 days, 1 weeks, 2 months, 3 years
//   custom count   u16
//   day of month   u16    3      read from the date in versions before 3
//   date           date          date of the chain's current model
//
// Record sizes: versions 2: 28; 3-24: 30.
// Chain: one record, head in the operations of the chain (all of them hold
// its offset); a new record goes first.
#pragma once

#include "foundation/kdate.h"
#include "storage/record_list.h"

namespace ledgora {

class TPeriodicRecord final : public TRecord {
 public:
  TRecordType Type() const override { return TRecordType::Periodic; }
  void Read(TRecordBuffer& buffer, int version) override;
  void Write(TRecordBuffer& buffer) const override;
  std::unique_ptr<TRecord> Clone() const override {
    return std::make_unique<TPeriodicRecord>(*this);
  }
  bool Precedes(const TRecord&) const override { return false; }

  std::uint16_t frequency = 0;
  std::uint16_t custom_unit = 0;
  std::uint16_t custom_count = 0;
  std::uint16_t day_of_month = 0;
  KDate date;
};

}  // namespace ledgora
