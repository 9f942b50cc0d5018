#include "storage/association_record.h"

#include "foundation/nocase.h"
#include "storage/record_buffer.h"

namespace ledgora {

void TAssociationRecord::Read(TRecordBuffer& b, int version) {
  id = b.GetU32();
  category = b.GetU32();
  label = b.GetText(EffectiveVersion(version) >= 15 ? 51 : 31);
}

void TAssociationRecord::Write(TRecordBuffer& b) const {
  b.PutU32(id);
  b.PutU32(category);
  b.PutText(label, 51);
}

int TAssociationRecord::OrderKey(const TRecord& other) const {
  return CompareNoCase(label, static_cast<const TAssociationRecord&>(other).label);
}

bool TAssociationRecord::Precedes(const TRecord& added) const {
  return OrderKey(added) < 0;
}

}  // namespace ledgora
