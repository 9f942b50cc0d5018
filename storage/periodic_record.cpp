#include "storage/periodic_record.h"

#include "storage/record_buffer.h"

namespace ledgora {

void TPeriodicRecord::Read(TRecordBuffer& b, int version) {
  const int v = EffectiveVersion(version);
  id = b.GetU32();
  frequency = b.GetU16();
  custom_unit = b.GetU16();
  custom_count = b.GetU16();
  if (v >= 3) day_of_month = b.GetU16();
  date = b.GetDate();
  if (v < 3 && date.IsValid()) day_of_month = static_cast<std::uint16_t>(date.Day());
}

void TPeriodicRecord::Write(TRecordBuffer& b) const {
  b.PutU32(id);
  b.PutU16(frequency);
  b.PutU16(custom_unit);
  b.PutU16(custom_count);
  b.PutU16(day_of_month);
  b.PutDate(date);
}

}  // namespace ledgora
