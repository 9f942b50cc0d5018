#include "storage/account_record.h"

#include "foundation/nocase.h"
#include "storage/record_buffer.h"

namespace ledgora {

void TAccountRecord::Read(TRecordBuffer& b, int version) {
  const int v = EffectiveVersion(version);
  id = b.GetU32();
  if (v >= 10) state = b.GetU16();
  account_type = b.GetU16();
  linked_account = b.GetU32();
  initial_balance = b.GetDouble();
  name = b.GetText(21);
  bank_code = b.GetText(6);
  branch_code = b.GetText(6);
  account_number = b.GetText(12);
  card_number = b.GetText(17);
  remark = b.GetText(51);
  if (v >= 4) currency = b.GetText(4);
  previous_statement_date = b.GetDate();
  statement_opening_balance = b.GetDouble();
  statement_closing_balance = b.GetDouble();
  pointing_date = b.GetDate();
  first_operation = b.GetU32();
  if (v >= 17) {
    euro_twin = b.GetU32();
    conversion_date = b.GetDate();
  }
  if (v >= 19) synthesis = b.GetU16();
}

void TAccountRecord::Write(TRecordBuffer& b) const {
  b.PutU32(id);
  b.PutU16(state);
  b.PutU16(account_type);
  b.PutU32(linked_account);
  b.PutDouble(initial_balance);
  b.PutText(name, 21);
  b.PutText(bank_code, 6);
  b.PutText(branch_code, 6);
  b.PutText(account_number, 12);
  b.PutText(card_number, 17);
  b.PutText(remark, 51);
  b.PutText(currency, 4);
  b.PutDate(previous_statement_date);
  b.PutDouble(statement_opening_balance);
  b.PutDouble(statement_closing_balance);
  b.PutDate(pointing_date);
  b.PutU32(first_operation);
  b.PutU32(euro_twin);
  b.PutDate(conversion_date);
  b.PutU16(synthesis);
}

int TAccountRecord::OrderKey(const TRecord& other) const {
  const auto& o = static_cast<const TAccountRecord&>(other);
  if (account_type != o.account_type) return account_type < o.account_type ? -1 : 1;
  return CompareNoCase(name, o.name);
}

// A smaller type, or the same type and a lower name.
bool TAccountRecord::Precedes(const TRecord& added) const {
  return OrderKey(added) < 0;
}

}  // namespace ledgora
