#include "storage/situation_account_record.h"

#include "foundation/nocase.h"
#include "storage/record_buffer.h"

namespace ledgora {

void TSituationAccountRecord::Read(TRecordBuffer& b, int version) {
  id = b.GetU32();
  type = b.GetU16();
  name = b.GetText(27);
  agency = b.GetText(41);
  label = b.GetText(41);
  currency = b.GetText(4);
  if (EffectiveVersion(version) >= 18) {
    old_name = b.GetText(27);
    old_currency = b.GetText(4);
  }
}

void TSituationAccountRecord::Write(TRecordBuffer& b) const {
  b.PutU32(id);
  b.PutU16(type);
  b.PutText(name, 27);
  b.PutText(agency, 41);
  b.PutText(label, 41);
  b.PutText(currency, 4);
  b.PutText(old_name, 27);
  b.PutText(old_currency, 4);
}

bool TSituationAccountRecord::Precedes(const TRecord& added) const {
  const auto& n = static_cast<const TSituationAccountRecord&>(added);
  const int agency_order = CompareNoCase(agency, n.agency);
  if (agency_order != 0) return agency_order < 0;
  return type < n.type || CompareNoCase(label, n.label) < 0;
}

}  // namespace ledgora
