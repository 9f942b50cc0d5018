#include "storage/project_record.h"

#include "foundation/nocase.h"
#include "storage/record_buffer.h"

namespace ledgora {

void TProjectRecord::Read(TRecordBuffer& b, int) {
  id = b.GetU32();
  label = b.GetText(51);
  open = b.GetU16();
}

void TProjectRecord::Write(TRecordBuffer& b) const {
  b.PutU32(id);
  b.PutText(label, 51);
  b.PutU16(open);
}

int TProjectRecord::OrderKey(const TRecord& other) const {
  return CompareNoCase(label, static_cast<const TProjectRecord&>(other).label);
}

bool TProjectRecord::Precedes(const TRecord& added) const {
  return OrderKey(added) < 0;
}

}  // namespace ledgora
