// TSituationAccountRecord ('P'): an account of the financial situation.
//
// Payload, in storage order (version 24: 150 bytes, record 157):
//
//   field              width    since
//   identifier         u32
//   type               u16             0 "CCourant", 1 "Depot", 2 "Emprunt", 9 "Inconnu"
//   name               text 27
//   agency label       text 41
//   label              text 41
//   currency code      text 4          default "EUR"
//   old name           text 27  18     name before a euro conversion
//   old currency code  text 4   18
//
// Record sizes: versions 2-17: 126; 18-24: 157.
// Chain: all situation accounts, head in the book header. Order: a record
// precedes a new one when its agency label is lower, or the agency labels
// are equal and either its type is smaller or its label lower (texts without
// regard to case). This is not a key order, so the list is walked. Loaded on
// demand.
#pragma once

#include <string>

#include "storage/record_list.h"

namespace ledgora {

enum TSituationAccountType : std::uint16_t {
  kSituationCurrent = 0,  // "CCourant"
  kSituationDeposit = 1,  // "Depot"
  kSituationLoan = 2,     // "Emprunt"
  kSituationUnknown = 9,  // "Inconnu"
};

class TSituationAccountRecord final : public TRecord {
 public:
  TRecordType Type() const override { return TRecordType::SituationAccount; }
  void Read(TRecordBuffer& buffer, int version) override;
  void Write(TRecordBuffer& buffer) const override;
  std::unique_ptr<TRecord> Clone() const override {
    return std::make_unique<TSituationAccountRecord>(*this);
  }
  bool Precedes(const TRecord& added) const override;

  std::uint16_t type = kSituationUnknown;
  std::string name;
  std::string agency;
  std::string label;
  std::string currency = "EUR";
  std::string old_name;
  std::string old_currency;
};

}  // namespace ledgora
