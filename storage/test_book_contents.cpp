#include "storage/test_book_contents.h"

#include <map>
#include <sstream>

#include "storage/book_reader.h"
#include "storage/record_scanner.h"
#include "storage/records.h"
#include "storage/test_storage_env.h"

namespace ledgora::testing {

void FillBook(TDatabase& db) {
  TAccountRecord& current = db.AddAccount(Account("Compte chèques"));
  TAccountRecord& card = db.AddAccount(Account("Carte", kCardAccount));
  TAccountRecord& savings = db.AddAccount(Account("Livret A", kDepositAccount));
  TCategoryRecord& food = db.AddCategory(Category("Alimentation"));
  TCategoryRecord& market = db.AddCategory(Category("Marché"), &food);
  db.AddCategory(Category("Restaurant"), &food);
  TCategoryRecord& income = db.AddCategory(Category("Revenus", 0));
  TCategoryRecord& salary = db.AddCategory(Category("Salaire", 0), &income);
  auto project = std::make_unique<TProjectRecord>();
  project->label = "Vacances";
  const std::uint32_t project_id = db.AddProject(std::move(project)).id;

  for (int i = 0; i < 18; ++i) {
    auto op = Operation(std::to_string(1 + i % 28) + "/0" + std::to_string(1 + i % 9) + "/2024",
                        -10.5 * (i + 1), "OP" + std::to_string(i));
    op->category = i % 2 ? market.id : 0;
    op->pointing = i % 3 ? kPointed : kNotPointed;
    op->project = i == 4 ? project_id : 0;
    op->complementary_label = "compl " + std::to_string(i);
    db.AddOperation(i % 5 == 4 ? card : current, std::move(op));
  }
  auto pay = Operation("25/01/2024", 2100, "SALAIRE");
  pay->category = salary.id;
  db.AddOperation(current, std::move(pay));

  auto split = Operation("03/02/2024", -80, "MARCHE");
  split->kind = kOpSplit;
  TOperationRecord& split_op = db.AddOperation(current, std::move(split));
  for (double amount : {50.0, 30.0}) {
    auto line = std::make_unique<TSplitLineRecord>();
    line->amount = amount;
    line->category = amount > 40 ? market.id : food.id;
    line->label = "ligne " + std::to_string(static_cast<int>(amount));
    db.AddSplitLine(split_op, std::move(line));
  }
  db.DropSplitLines(split_op);

  // A periodic chain: two past occurrences and the model share the schedule.
  auto schedule = std::make_unique<TPeriodicRecord>();
  schedule->frequency = 3;
  schedule->day_of_month = 5;
  schedule->date = KDate(5, 3, 2024);
  const std::uint32_t schedule_offset = db.AddSchedule(std::move(schedule));
  for (int month = 1; month <= 3; ++month) {
    auto rent = Operation("05/0" + std::to_string(month) + "/2024", -700, "LOYER");
    rent->periodic = schedule_offset;
    rent->SetFlag(kOpPastOccurrence, month < 3);
    db.AddOperation(current, std::move(rent));
  }

  auto out = Operation("10/02/2024", -200, "VIREMENT");
  out->kind = kOpTransferOut;
  out->linked_account = savings.id;
  TOperationRecord& out_op = db.AddOperation(current, std::move(out));
  auto in = Operation("10/02/2024", 200, "VIREMENT");
  in->kind = kOpTransferIn;
  in->linked_account = current.id;
  in->category = out_op.id;
  TOperationRecord& in_op = db.AddOperation(savings, std::move(in));
  out_op.category = in_op.id;
  db.ModifyOperation(out_op);

  for (const char* label : {"CARREFOUR", "SALAIRE"}) {
    auto a = std::make_unique<TAssociationRecord>();
    a->label = label;
    a->category = label[0] == 'C' ? market.id : salary.id;
    db.AddAssociation(std::move(a));
  }
  auto place = std::make_unique<TSituationAccountRecord>();
  place->type = 0;
  place->name = "CCP";
  place->agency = "Agence Centre";
  place->label = "Compte courant";
  const std::uint32_t place_id = db.AddSituationAccount(std::move(place)).id;
  for (int day : {1, 15}) {
    auto value = std::make_unique<TSituationValueRecord>();
    value->situation_account = place_id;
    value->date = KDate(day, 3, 2024);
    value->amount = 1000.0 + day;
    db.AddSituationValue(std::move(value));
  }

  // A released slot: the file keeps the place of a deleted operation.
  db.DeleteOperation(*db.FindOperation(3));
}

namespace {

std::string Describe(const TRecord& record) {
  // The payload in the current format says every stored field at once.
  TRecordBuffer buffer(PayloadSize(record.Type()));
  record.Write(buffer);
  std::ostringstream s;
  s << TagOf(record.Type()) << record.id << ':';
  static const char* const kHex = "0123456789abcdef";
  for (std::size_t i = 0; i < buffer.Size(); ++i) {
    s << kHex[buffer.Data()[i] >> 4] << kHex[buffer.Data()[i] & 15];
  }
  return s.str();
}

// Offsets change in a rebuild: an operation is described with its split
// lines and schedule in their place.
std::string DescribeOperation(TDatabase& db, TOperationRecord& op) {
  TOperationRecord copy(op);
  copy.first_split = 0;
  copy.periodic = 0;
  std::string out = Describe(copy);
  if (auto schedule = db.ReadSchedule(op)) out += " schedule " + Describe(*schedule);
  if (op.kind == kOpSplit) {
    for (TSplitLineRecord& line : db.LoadSplitLines(op).Records<TSplitLineRecord>()) {
      out += " line " + Describe(line);
    }
    db.DropSplitLines(op);
  }
  return out;
}

}  // namespace

std::string DescribeBook(TDatabase& db) {
  std::ostringstream s;
  for (TAccountRecord& account : db.Accounts().Records<TAccountRecord>()) {
    TAccountRecord copy(account);
    copy.first_operation = 0;
    s << Describe(copy) << '\n';
    for (TOperationRecord& op : account.Operations().Records<TOperationRecord>()) {
      s << "  " << DescribeOperation(db, op) << '\n';
    }
  }
  for (TCategoryRecord& category : db.Categories().Records<TCategoryRecord>()) {
    s << Describe(category) << '\n';
    if (const TRecordList* subs = category.SubCategoriesIfAny()) {
      for (const TCategoryRecord& sub : subs->Records<TCategoryRecord>()) {
        s << "  " << Describe(sub) << '\n';
      }
    }
  }
  for (const TRecordList* list : {&db.Projects(), &db.LoadAssociations(),
                                  &db.LoadSituationAccounts(), &db.LoadSituationValues()}) {
    for (TRecordNode* n = list->Head(); n; n = n->Next()) s << Describe(n->Record()) << '\n';
  }
  return s.str();
}

std::string CountRecords(const std::string& path, int version) {
  auto file = SystemFileSystem().Open(path, TOpenMode::Read);
  TBookReader reader(*file);
  TRecordScanner scanner(reader, version, path);
  std::map<char, int> counts;
  TScannedRecord r;
  while (scanner.Next(r)) ++counts[r.tag];
  std::string out;
  for (const auto& [tag, count] : counts) {
    if (!out.empty()) out += ' ';
    out += tag + std::to_string(count);
  }
  return out;
}

}  // namespace ledgora::testing
