#include "storage/operation_record.h"

#include "storage/record_buffer.h"

namespace ledgora {

void TOperationRecord::Read(TRecordBuffer& b, int version) {
  const int v = EffectiveVersion(version);
  id = b.GetU32();
  account = b.GetU32();
  first_split = b.GetU32();
  periodic = b.GetU32();
  if (v >= 7) linked_account = b.GetU32();
  if (v >= 24) {
    project = b.GetU32();
    flags = b.GetU16();
  }
  kind = b.GetU32();
  category = b.GetU32();
  if (v >= 9 && v <= 14) b.Skip(4);
  pointing = b.GetU16();
  amount = b.GetDouble();
  label = b.GetText(51);
  if (v >= 16) complementary_label = b.GetText(51);
  date = b.GetDate();
  if (v >= 21) source_amount = b.GetText(26);
  if (v >= 22) bank_reference = b.GetText(11);
}

void TOperationRecord::Write(TRecordBuffer& b) const {
  b.PutU32(id);
  b.PutU32(account);
  b.PutU32(first_split);
  b.PutU32(periodic);
  b.PutU32(linked_account);
  b.PutU32(project);
  b.PutU16(flags);
  b.PutU32(kind);
  b.PutU32(category);
  b.PutU16(pointing);
  b.PutDouble(amount);
  b.PutText(label, 51);
  b.PutText(complementary_label, 51);
  b.PutDate(date);
  b.PutText(source_amount, 26);
  b.PutText(bank_reference, 11);
}

int TOperationRecord::OrderKey(const TRecord& other) const {
  const auto& o = static_cast<const TOperationRecord&>(other);
  if (date.DayNumber() != o.date.DayNumber()) return date.DayNumber() < o.date.DayNumber() ? -1 : 1;
  if (amount > o.amount) return -1;
  if (amount < o.amount) return 1;
  return 0;
}

// An earlier date, or the same date and an amount greater than or equal to
// the new one's: equal operations keep their order of entry.
bool TOperationRecord::Precedes(const TRecord& added) const {
  const auto& n = static_cast<const TOperationRecord&>(added);
  return date.DayNumber() < n.date.DayNumber() ||
         (date.DayNumber() == n.date.DayNumber() && amount >= n.amount);
}

}  // namespace ledgora
