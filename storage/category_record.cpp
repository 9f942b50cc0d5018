#include "storage/category_record.h"

#include "foundation/nocase.h"
#include "storage/record_buffer.h"

namespace ledgora {

void TCategoryRecord::Read(TRecordBuffer& b, int version) {
  const int v = EffectiveVersion(version);
  id = b.GetU32();
  parent = b.GetU32();
  debit = b.GetU32();
  name = b.GetText(31);
  amount = b.GetDouble();
  if (v >= 13) {
    for (double& month : budget) month = b.GetDouble();
  }
}

void TCategoryRecord::Write(TRecordBuffer& b) const {
  b.PutU32(id);
  b.PutU32(parent);
  b.PutU32(debit);
  b.PutText(name, 31);
  b.PutDouble(amount);
  for (double month : budget) b.PutDouble(month);
}

int TCategoryRecord::OrderKey(const TRecord& other) const {
  const auto& o = static_cast<const TCategoryRecord&>(other);
  if (debit != o.debit) return debit < o.debit ? -1 : 1;
  return CompareNoCase(name, o.name);
}

// A smaller debit flag, or the same flag and a lower name.
bool TCategoryRecord::Precedes(const TRecord& added) const {
  return OrderKey(added) < 0;
}

}  // namespace ledgora
