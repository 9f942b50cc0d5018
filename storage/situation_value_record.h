// TSituationValueRecord ('V'): one balance of the financial situation.
//
// Payload (every version: 43 bytes, record 50):
//
//   field              width
//   identifier         u32
//   situation account  u32     identifier of the TSituationAccountRecord
//   date               date
//   amount             double  signed
//   exchange rate      double  currency units per euro; default 1.0
//   counter-value      double  the amount in the other currency of the franc/euro pair
//
// Chain: all situation values, head in the book header, ordered by date; a
// new value goes before the values of its date. Loaded on demand.
#pragma once

#include "foundation/kdate.h"
#include "storage/record_list.h"

namespace ledgora {

class TSituationValueRecord final : public TRecord {
 public:
  TRecordType Type() const override { return TRecordType::SituationValue; }
  void Read(TRecordBuffer& buffer, int version) override;
  void Write(TRecordBuffer& buffer) const override;
  std::unique_ptr<TRecord> Clone() const override {
    return std::make_unique<TSituationValueRecord>(*this);
  }
  bool Precedes(const TRecord& added) const override;
  int OrderKey(const TRecord& other) const override;

  std::uint32_t situation_account = 0;
  KDate date;
  double amount = 0;
  double rate = 1.0;
  double counter_value = 0;
};

}  // namespace ledgora
