#include "storage/split_line_record.h"

#include "storage/record_buffer.h"

namespace ledgora {

void TSplitLineRecord::Read(TRecordBuffer& b, int) {
  id = b.GetU32();
  category = b.GetU32();
  amount = b.GetDouble();
  label = b.GetText(51);
  operation = b.GetU32();
}

void TSplitLineRecord::Write(TRecordBuffer& b) const {
  b.PutU32(id);
  b.PutU32(category);
  b.PutDouble(amount);
  b.PutText(label, 51);
  b.PutU32(operation);
}

}  // namespace ledgora
