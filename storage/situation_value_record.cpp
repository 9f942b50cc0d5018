#include "storage/situation_value_record.h"

#include "storage/record_buffer.h"

namespace ledgora {

void TSituationValueRecord::Read(TRecordBuffer& b, int) {
  id = b.GetU32();
  situation_account = b.GetU32();
  date = b.GetDate();
  amount = b.GetDouble();
  rate = b.GetDouble();
  counter_value = b.GetDouble();
}

void TSituationValueRecord::Write(TRecordBuffer& b) const {
  b.PutU32(id);
  b.PutU32(situation_account);
  b.PutDate(date);
  b.PutDouble(amount);
  b.PutDouble(rate);
  b.PutDouble(counter_value);
}

int TSituationValueRecord::OrderKey(const TRecord& other) const {
  const auto a = date.DayNumber();
  const auto b = static_cast<const TSituationValueRecord&>(other).date.DayNumber();
  return a < b ? -1 : (a > b ? 1 : 0);
}

// An earlier date: a new value goes before the values of its date.
bool TSituationValueRecord::Precedes(const TRecord& added) const {
  return OrderKey(added) < 0;
}

}  // namespace ledgora
