#include "cli/cli_commands.h"

#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "cli/account_input.h"
#include "cli/book_check.h"
#include "cli/book_session.h"
#include "cli/cli_arguments.h"
#include "cli/cli_output.h"
#include "demo/book_generator.h"
#include "demo/demo_book.h"
#include "foundation/amount.h"
#include "foundation/nocase.h"
#include "operations/classification.h"
#include "operations/entry_fields.h"
#include "operations/operation_editor.h"
#include "operations/operation_list.h"
#include "operations/transfer_rule.h"
#include "platform/configuration.h"
#include "platform/files.h"
#include "storage/backup.h"
#include "storage/book_header.h"
#include "storage/book_lifecycle.h"
#include "storage/book_profile.h"
#include "storage/book_reader.h"
#include "storage/rebuild.h"
#include "storage/record_scanner.h"
#include "storage/storage_file_system.h"
#include "storage/xorvanet.h"

namespace ledgora::cli {
namespace {

constexpr std::string_view kDamagedMessage =
    "Le livre de comptes est abîmé.\nUne reconstruction automatique est indispensable.";

struct TContext {
  const TParsedCommand& command;
  std::ostream& out;
  std::ostream& err;
  TTerminalUserPort& port;
  bool json = false;
  bool save = true;
  bool force = false;
};

// --- Small readers of option values ------------------------------------------------------

std::uint64_t Number(const std::string& text, const std::string& option, std::uint64_t max) {
  if (text.empty() || text.size() > 19) throw TUsageError("--" + option + " attend un nombre");
  for (char c : text)
    if (c < '0' || c > '9') throw TUsageError("--" + option + " attend un nombre");
  const std::uint64_t value = std::strtoull(text.c_str(), nullptr, 10);
  if (value > max) {
    throw TUsageError("--" + option + " vaut au plus " + std::to_string(max));
  }
  return value;
}

// "YYYY-MM-DD", "DD/MM/YYYY" or "today"; TUsageError otherwise.
KDate ReadDate(const std::string& text, const std::string& option) {
  if (text == "today" || text == "aujourd'hui") return KDate::Today();
  unsigned y = 0, m = 0, d = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%4u-%2u-%2u%c", &y, &m, &d, &tail) == 3 ||
      (std::sscanf(text.c_str(), "%2u/%2u/%4u%c", &d, &m, &y, &tail) == 3 && y >= 1000)) {
    if (KDate::IsValidDate(m, d, y) && y >= 1900) return KDate(d, m, y);
  }
  throw TUsageError("--" + option + " : date invalide « " + text + " » (AAAA-MM-JJ ou JJ/MM/AAAA)");
}

std::string TypeName(std::uint16_t type) {
  switch (type) {
    case kCurrentAccount:
      return "Compte courant";
    case kCardAccount:
      return "Encours carte";
    case kDepositAccount:
      return "Compte de dépôt";
  }
  return "?";
}

std::string StateName(std::uint16_t state) {
  switch (state) {
    case kAccountShown:
      return "Affiché";
    case kAccountClosed:
      return "Clos";
    case kAccountHidden:
      return "Masqué";
  }
  return "?";
}

std::string_view PointingKey(std::uint16_t pointing) {
  switch (pointing) {
    case kNotPointed:
      return "not_pointed";
    case kDownloaded:
      return "downloaded";
    case kPointed:
      return "pointed";
    case kTicked:
      return "ticked";
  }
  return "unknown";
}

std::string PointingName(std::uint16_t pointing) {
  switch (pointing) {
    case kDownloaded:
      return "téléchargée";
    case kPointed:
      return "pointée";
    case kTicked:
      return "cochée";
  }
  return "";
}

std::string_view KindName(std::uint32_t kind) {
  switch (kind) {
    case kOpNormal:
      return "normal";
    case kOpSplit:
      return "split";
    case kOpCardStatement:
      return "card_statement";
    case kOpTransferOut:
      return "transfer_out";
    case kOpTransferIn:
      return "transfer_in";
    case kOpEuroConversion:
      return "euro_conversion";
  }
  return "unknown";
}

TAccountRecord& AccountArgument(TDatabase& db, const std::string& name) {
  TAccountRecord* account = FindAccountByName(db, name);
  if (!account) throw TCommandFailure(kExitUsage, "compte inconnu « " + name + " »");
  return *account;
}

// The list writes the view state of the program's list ("Setup" /
// "CompteActif" and "LigneCompteActif"); a command line is not a view, so
// the profile gets its values back when the command ends.
class TKeptViewState {
 public:
  TKeptViewState() {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
      const std::string value = platform::ProfileReadText("Setup", kKeys[i], kAbsent);
      if (value != kAbsent) values_[i] = value;
    }
  }
  ~TKeptViewState() {
    for (std::size_t i = 0; i < kKeys.size(); ++i) {
      if (values_[i])
        platform::ProfileWriteText("Setup", kKeys[i], *values_[i]);
      else
        platform::ProfileDeleteKey("Setup", kKeys[i]);
    }
  }
  TKeptViewState(const TKeptViewState&) = delete;
  TKeptViewState& operator=(const TKeptViewState&) = delete;

 private:
  static constexpr std::array<std::string_view, 2> kKeys = {"CompteActif", "LigneCompteActif"};
  static constexpr std::string_view kAbsent =
      "\x01"
      "absent";
  std::array<std::optional<std::string>, 2> values_;
};

// The list of the program over one account: every operation (the display
// filter "Co&mplet", no general filter), in the detailed layout.
std::unique_ptr<TOperationList> ListOf(TBookSession& session, TAccountRecord& account) {
  TListSettings settings;
  settings.filter = TDisplayFilter::Complete;
  settings.general.SetActive(false);
  auto list = std::make_unique<TOperationList>(session.Book(), session.Hooks(), settings);
  list->SelectAccount(&account);
  return list;
}

// --- info ------------------------------------------------------------------------------------

std::string Colour(std::uint32_t c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  return buf;
}

template <class A>
std::string JsonNumbers(const A& values) {
  std::string s = "[";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) s += ", ";
    s += std::to_string(values[i]);
  }
  return s + "]";
}

int Info(TContext& c) {
  TBookSession session(c.command.positional[0], c.port, true, c.force);
  TDatabase& db = session.Book();
  // The records per kind, in file order over the working copy.
  std::array<std::size_t, kRecordTypeCount> records{};
  std::size_t released = 0;
  std::uint64_t size = 0;
  {
    auto file = SystemFileSystem().Open(db.WorkingCopyPath(), TOpenMode::Read);
    TBookReader reader(*file);
    size = reader.Size();
    TRecordScanner scanner(reader, 0, platform::BaseName(db.WorkingCopyPath()));
    TScannedRecord r;
    while (scanner.Next(r)) {
      if (r.Released())
        ++released;
      else
        ++records[IndexOf(r.type)];
    }
  }
  const TBookSettings& s = db.Settings();
  struct TSetting {
    const char* key;
    const char* label;
    long value;
  };
  const std::vector<TSetting> settings = {
      {"confirm_remove_oldest_situation", "Confirmer la suppression de la plus ancienne situation",
       static_cast<long>(s.confirm_remove_oldest_situation)},
      {"confirm_delete_operation", "Confirmer la suppression d'une opération",
       static_cast<long>(s.confirm_delete_operation)},
      {"confirm_delete_pointed", "Confirmer la suppression d'une opération pointée",
       static_cast<long>(s.confirm_delete_pointed)},
      {"warn_change_pointed", "Avertir avant de modifier une opération pointée",
       static_cast<long>(s.warn_change_pointed)},
      {"confirm_periodic_creation", "Confirmer la création des opérations périodiques",
       static_cast<long>(s.confirm_periodic_creation)},
      {"default_date", "Date par défaut d'une nouvelle opération",
       static_cast<long>(s.default_date)},
      {"assign_categories", "Affecter les catégories des associations au téléchargement",
       static_cast<long>(s.assign_categories)},
      {"duplicate_confirmation", "Confirmation des doublons (0 tous, 1 probables, 2 aucun)",
       static_cast<long>(s.duplicate_confirmation)},
      {"max_situations", "Nombre maximal de situations", s.max_situations},
      {"backup_countdown", "Rappel de copie de secours", s.backup_countdown},
      {"periodic_days_ahead", "Jours d'avance des opérations périodiques", s.periodic_days_ahead},
  };
  if (c.json) {
    TJsonObject o;
    o.Text("book", db.BookPath())
        .Int("version", db.BookVersion())
        .Bool("password", db.HasPassword())
        .Int("file_size", static_cast<std::int64_t>(size));
    TJsonObject set;
    for (const auto& st : settings) set.Int(st.key, st.value);
    set.Raw("duplicate_grades", JsonNumbers(s.duplicate_grades))
        .Raw("duplicate_tolerances", JsonNumbers(s.duplicate_tolerances))
        .Text("backup_path", s.backup_path);
    std::vector<std::string> colours;
    for (std::uint32_t col : s.colours) colours.push_back(JsonString(Colour(col)));
    set.Raw(
        "colours", "[" + [&] {
          std::string j;
          for (std::size_t i = 0; i < colours.size(); ++i) j += (i ? ", " : "") + colours[i];
          return j;
        }() + "]");
    o.Raw("settings", set.Json());
    TJsonObject counts;
    for (std::size_t i = 0; i < kRecordTypeCount; ++i) {
      counts.Int(KindKey(static_cast<TRecordType>(i)), static_cast<std::int64_t>(records[i]));
    }
    counts.Int("released", static_cast<std::int64_t>(released));
    o.Raw("records", counts.Json());
    c.out << o.Json() << "\n";
  } else {
    TTable t{{"Réglage", "Valeur"}, {false, false}, {}};
    t.rows.push_back({"Livre de comptes", db.BookPath()});
    t.rows.push_back({"Version", std::to_string(db.BookVersion())});
    t.rows.push_back({"Mot de passe", db.HasPassword() ? "oui" : "non"});
    t.rows.push_back({"Taille du fichier", std::to_string(size) + " octets"});
    for (const auto& st : settings) t.rows.push_back({st.label, std::to_string(st.value)});
    t.rows.push_back({"Copie de secours", s.backup_path});
    std::string colours;
    for (std::uint32_t col : s.colours) colours += (colours.empty() ? "" : " ") + Colour(col);
    t.rows.push_back({"Couleurs", colours});
    PrintTable(c.out, t);
    c.out << "\n";
    TTable n{{"Enregistrements", "Nombre"}, {false, true}, {}};
    for (std::size_t i = 0; i < kRecordTypeCount; ++i) {
      const auto type = static_cast<TRecordType>(i);
      n.rows.push_back(
          {std::string(KindLabel(type)) + " (" + TagOf(type) + ")", std::to_string(records[i])});
    }
    n.rows.push_back({"emplacements libérés (X)", std::to_string(released)});
    PrintTable(c.out, n);
  }
  session.Finish(c.save);
  return kExitOk;
}

// --- accounts ----------------------------------------------------------------------------------

std::string AccountsJson(TDatabase& db) {
  std::vector<std::string> rows;
  for (const auto& a : db.Accounts().Records<TAccountRecord>()) {
    TJsonObject o;
    o.Int("id", a.id)
        .Text("name", a.name)
        .Int("type", a.account_type)
        .Text("type_name", TypeName(a.account_type))
        .Int("state", a.state)
        .Text("state_name", StateName(a.state))
        .Text("currency", a.currency)
        .Amount("initial_balance", a.initial_balance)
        .Amount("balance", a.balance)
        .Int("operations", static_cast<std::int64_t>(a.Operations().Size()));
    if (a.linked_account)
      o.Int("linked_account", a.linked_account);
    else
      o.Null("linked_account");
    o.Text("bank_code", a.bank_code)
        .Text("branch_code", a.branch_code)
        .Text("account_number", a.account_number)
        .Text("card_number", a.card_number)
        .Text("remark", a.remark);
    rows.push_back(o.Json());
  }
  return JsonArray(rows);
}

void PrintAccounts(std::ostream& out, TDatabase& db) {
  TTable t{{"Compte", "Type", "État", "Devise", "Solde", "Opérations"},
           {false, false, false, false, true, true},
           {}};
  for (const auto& a : db.Accounts().Records<TAccountRecord>()) {
    t.rows.push_back({a.name, TypeName(a.account_type), StateName(a.state), a.currency,
                      FormatAmount(a.balance), std::to_string(a.Operations().Size())});
  }
  PrintTable(out, t);
}

int Accounts(TContext& c) {
  TBookSession session(c.command.positional[0], c.port, true, c.force);
  if (c.json)
    c.out << AccountsJson(session.Book()) << "\n";
  else
    PrintAccounts(c.out, session.Book());
  session.Finish(c.save);
  return kExitOk;
}

// --- ops
// -------------------------------------------------------------------------------------------

void PrintOperations(TContext& c, TBookSession& session, TAccountRecord& account,
                     std::size_t last) {
  const auto list = ListOf(session, account);
  const std::size_t rows = list->RowCount() - 1;  // the new-entry line last
  const std::size_t first = last && last < rows ? rows - last : 0;
  const bool counter = !list->CounterValueCurrencyShown().empty();
  TDatabase& db = session.Book();
  if (c.json) {
    std::vector<std::string> items;
    for (std::size_t i = first; i < rows; ++i) {
      const TOperationRow& r = list->Row(i);
      const TRowTexts t = list->Texts(i);
      const TOperationRecord& op = *r.op;
      TJsonObject o;
      o.Int("id", op.id)
          .Date("date", op.date)
          .Text("label", op.label)
          .Text("complementary_label", op.complementary_label)
          .Text("classification", t.classification)
          .Text("kind", KindName(op.kind))
          .Amount("amount", op.amount)
          .OptionalAmount("balance",
                          r.has_balance ? std::optional<double>(r.running_balance) : std::nullopt)
          .Text("pointing", PointingKey(op.pointing))
          .Text("project", ProjectLabel(db, op.project))
          .Bool("periodic", op.periodic != 0);
      if (counter)
        o.Amount("counter_value", r.counter_value);
      else
        o.Null("counter_value");
      o.Text("source_amount", op.source_amount);
      items.push_back(o.Json());
    }
    c.out << JsonArray(items) << "\n";
    return;
  }
  const bool card = account.account_type == kCardAccount;
  TTable t{{"Date", "Libellé", "Classement", card ? "Montant" : "Débit", card ? "" : "Crédit",
            "Solde", "P"},
           {false, false, false, true, true, true, false},
           {}};
  if (card) {
    t.headers.erase(t.headers.begin() + 4);
    t.right.erase(t.right.begin() + 4);
  }
  for (std::size_t i = first; i < rows; ++i) {
    const TRowTexts x = list->Texts(i);
    auto cell = [&](TListColumn col) { return x.cells[static_cast<std::size_t>(col)]; };
    std::vector<std::string> row = {cell(TListColumn::Date), x.label_line, x.classification,
                                    cell(TListColumn::Debit)};
    if (!card) row.push_back(cell(TListColumn::Credit));
    row.push_back(cell(TListColumn::Balance));
    row.push_back(PointingName(list->Row(i).op->pointing));
    t.rows.push_back(row);
  }
  PrintTable(c.out, t);
  const TListFooter footer = list->Footer();
  c.out << "\n"
        << footer.currency_text << "  " << footer.figure_label << footer.figure_text << "\n";
}

int Ops(TContext& c) {
  std::size_t last = 0;
  if (auto v = c.command.Value("last")) last = Number(*v, "last", 100000000);
  const TKeptViewState view_state;
  TBookSession session(c.command.positional[0], c.port, true, c.force);
  TAccountRecord& account = AccountArgument(session.Book(), c.command.positional[1]);
  PrintOperations(c, session, account, last);
  session.Finish(c.save);
  return kExitOk;
}

// --- add-account -----------------------------------------------------------------------------

int AddAccount(TContext& c) {
  const TParsedCommand& p = c.command;
  TAccountInput in;
  in.name = p.Required("name");
  const std::string type = p.Required("type");
  if (type != "0" && type != "1" && type != "2") throw TUsageError("--type vaut 0, 1 ou 2");
  in.type = type[0] - '0';
  in.currency = p.Value("currency").value_or("EUR");
  in.initial = p.Value("initial").value_or("");
  in.bank = p.Value("bank").value_or("");
  in.branch = p.Value("branch").value_or("");
  in.number = p.Value("number").value_or("");
  in.card_number = p.Value("card-number").value_or("");
  in.linked = p.Value("linked").value_or("");
  in.remark = p.Value("remark").value_or("");
  if (auto state = p.Value("state")) in.state = static_cast<int>(Number(*state, "state", 2));
  TBookSession session(p.positional[0], c.port, true, c.force);
  TAccountRecord* added = AddAccountFromInput(session.Book(), in);
  if (!added) {
    session.Finish(false);
    return kExitRefused;
  }
  c.out << "Compte « " << added->name << " » ajouté (identifiant " << added->id << ").\n";
  session.Finish(c.save);
  return kExitOk;
}

// --- add-op
// ------------------------------------------------------------------------------------------

int AddOp(TContext& c) {
  const TParsedCommand& p = c.command;
  const KDate date = ReadDate(p.Required("date"), "date");
  const std::string amount_text = p.Required("amount");
  const std::optional<double> amount = ReadTypedAmount(amount_text);
  if (!amount) throw TUsageError("--amount : montant invalide « " + amount_text + " »");
  const std::string label = p.Required("label");
  const std::string complement = p.Value("complement").value_or("");
  if (Utf8Length(label) > kLabelMaxChars || Utf8Length(complement) > kLabelMaxChars) {
    throw TUsageError("un libellé a 50 caractères au plus");
  }

  const TKeptViewState view_state;
  TBookSession session(p.positional[0], c.port, true, c.force);
  TDatabase& db = session.Book();
  TAccountRecord& account = AccountArgument(db, p.positional[1]);
  // A category or a project the book does not have would silently give
  // none: a script's typo is refused instead.
  const std::string category = p.Value("category").value_or("");
  if (!category.empty() && !FindCategoryByText(db, category)) {
    throw TCommandFailure(kExitUsage, "catégorie inconnue « " + category + " »");
  }
  const std::string project = p.Value("project").value_or("");
  if (!project.empty() && !FindProjectByLabel(db, project)) {
    throw TCommandFailure(kExitUsage, "projet inconnu « " + project + " »");
  }
  const auto list = ListOf(session, account);
  const std::size_t row = list->RowCount() - 1;
  if (auto target_name = p.Value("transfer-to")) {
    TAccountRecord& target = AccountArgument(db, *target_name);
    TTransferRule rule(*list);
    bool candidate = false;
    for (TAccountRecord* a : rule.Candidates(row)) candidate = candidate || a == &target;
    if (!rule.Available(row) || !candidate || !rule.Choose(row, &target)) {
      c.err << "ledgora-cli: le compte « " << target.name
            << " » ne peut pas recevoir un virement de « " << account.name << " »\n";
      session.Finish(false);
      return kExitRefused;
    }
  }
  TOperationEditor editor(*list);
  std::optional<TEditSession> edit = editor.Begin(row);
  if (!edit) {
    session.Finish(false);
    return kExitRefused;
  }
  TEditorInput in = edit->UnchangedInput();
  in.date = date.Format(KD_STANDARD);
  in.pointed = p.Flag("pointed");
  in.label = label;
  in.complementary_label = complement;
  in.category = category;
  in.project = project;
  in.debit.clear();
  in.credit.clear();
  in.amount.clear();
  if (account.account_type == kCardAccount) {
    // The card account's one field takes spending as a positive figure.
    in.amount = AmountFieldText(-*amount);
  } else if (*amount < 0) {
    in.debit = AmountFieldText(-*amount);
  } else {
    in.credit = AmountFieldText(*amount);
  }
  const std::uint32_t counter_before = db.Counter(TRecordType::Operation);
  const TEditOutcome outcome = editor.Validate(*edit, in);
  if (outcome != TEditOutcome::Applied) {
    session.Finish(false);
    return kExitRefused;
  }
  const std::uint32_t id = counter_before + 1;
  const TOperationRecord* op = db.FindOperation(id);
  c.out << "Opération ajoutée au compte « " << account.name << " »";
  if (op) c.out << " (identifiant " << op->id << ", " << FormatAmount(op->amount) << ")";
  c.out << ".\n";
  session.Finish(c.save);
  return kExitOk;
}

// --- check ---------------------------------------------------------------------------------------

int Check(TContext& c) {
  std::string path = c.command.positional[0];
  const std::string book = BookPathOf(path);
  // The file named: the book, or the working copy when that was named.
  if (EndsWithNoCase(path, kWorkingCopyExtension)) {
    path = platform::AbsolutePath(path);
  } else {
    path = book;
  }
  if (!platform::FileExists(path))
    throw TCommandFailure(kExitStorage, std::string(kBookMissingMessage));
  const TBookCheckReport report = CheckBookFile(path, c.port);
  if (c.json) {
    TJsonObject o;
    o.Text("book", report.path)
        .Int("file_size", static_cast<std::int64_t>(report.size))
        .Int("version", report.version)
        .Bool("password", report.password)
        .Bool("dirty", report.dirty)
        .Bool("damaged", report.Damaged());
    TJsonObject counts;
    for (std::size_t i = 0; i < kRecordTypeCount; ++i) {
      counts.Int(KindKey(static_cast<TRecordType>(i)),
                 static_cast<std::int64_t>(report.records[i]));
    }
    counts.Int("released", static_cast<std::int64_t>(report.released));
    o.Raw("records", counts.Json()).Bool("scan_complete", report.scan_complete);
    std::vector<std::string> damages;
    for (const auto& d : report.damages) {
      damages.push_back(TJsonObject()
                            .Int("offset", static_cast<std::int64_t>(d.offset))
                            .Text("text", d.text)
                            .Json());
    }
    o.Raw("damages", JsonArray(damages));
    std::vector<std::string> notes;
    for (const auto& n : report.notes) notes.push_back(JsonString(n));
    o.Raw("notes", JsonArray(notes));
    c.out << o.Json() << "\n";
  } else {
    c.out << "Livre de comptes : " << report.path << "\n"
          << "Version : " << report.version << ", " << report.size << " octets"
          << (report.password ? ", avec mot de passe" : "") << "\n";
    for (const auto& n : report.notes) c.out << "Remarque : " << n << "\n";
    if (report.damages.empty()) {
      c.out << "Aucun dommage trouvé.\n";
    } else {
      TTable t{{"Offset", "Dommage"}, {true, false}, {}};
      for (const auto& d : report.damages) t.rows.push_back({std::to_string(d.offset), d.text});
      PrintTable(c.out, t);
      c.out << report.damages.size() << " dommage(s) trouvé(s).\n";
    }
  }
  if (report.Damaged()) {
    c.err << "ledgora-cli: " << kDamagedMessage << "\n";
    return kExitStorage;
  }
  return kExitOk;
}

// --- rebuild, backup, password ------------------------------------------------------------

int Rebuild(TContext& c) {
  TBookSession session(c.command.positional[0], c.port, /*open=*/false, c.force);
  TRebuildOptions options;
  options.ask_password = true;
  const TRebuildReport r = RebuildBook(session.Book(), options);
  session.Book().Open(false);
  c.out << "Livre de comptes reconstruit : version " << r.source_version << ", " << r.records_read
        << " enregistrements lus, " << r.records_written << " écrits, " << r.operations_dropped
        << " opération(s) sans compte écartée(s), " << r.released_skipped
        << " emplacement(s) libéré(s) laissé(s).\n";
  session.Finish(c.save);
  return kExitOk;
}

int Backup(TContext& c) {
  TBookSession session(c.command.positional[0], c.port, true, c.force);
  const std::string target = platform::AbsolutePath(c.command.positional[1]);
  if (!MakeBackupCopy(session.Book(), target)) {
    // The message is shown; the path and the countdown are stored all the same.
    session.Finish(c.save);
    return kExitStorage;
  }
  c.out << "Copie de secours écrite : " << target << "\n";
  session.Finish(c.save);
  return kExitOk;
}

std::optional<std::string> AskPassword(TUserPort& port, const std::string& prompt) {
  TTextRequest request;
  request.kind = TTextRequest::Kind::Password;
  request.caption = "Mot de passe";
  request.prompt = prompt;
  request.max_chars = 8;
  request.upper_case = true;
  return port.AskText(request);
}

void CheckPasswordLength(const std::string& password) {
  if (Utf8Length(password) > 8) throw TUsageError("un mot de passe a 8 caractères au plus");
}

int Password(TContext& c) {
  const TParsedCommand& p = c.command;
  std::optional<std::string> old = p.Value("old");
  std::optional<std::string> fresh = p.Value("new");
  if (fresh) CheckPasswordLength(*fresh);
  // The opening asks the old password (--old stands for --password).
  TBookSession session(p.positional[0], c.port, true, c.force);
  TDatabase& db = session.Book();
  const std::string book_path = session.BookPath();
  TUserPort& port = c.port;

  // 1. The old password, when the book has one.
  if (db.HasPassword()) {
    if (!old && !p.Value("password")) old = AskPassword(port, "&Ancien mot de passe :");
    if (!old) old = p.Value("password");
    if (!old || !db.ComparePassword(*old)) {
      port.Show("L'ancien mot de passe n'est pas valide !", TIcon::Stop);
      session.Finish(false);
      return kExitRefused;
    }
  }
  // 2. The new one and its confirmation (the same text when given as --new).
  std::optional<std::string> confirmation = fresh;
  if (!fresh) {
    fresh = AskPassword(port, "&Nouveau mot de passe :");
    if (fresh) confirmation = AskPassword(port, "&Confirmation :");
    if (!fresh || !confirmation) {
      session.Finish(false);
      return kExitRefused;
    }
    CheckPasswordLength(*fresh);
  }
  if (ToUpperNoCase(*fresh) != ToUpperNoCase(*confirmation)) {
    port.Show("Les mots de passe sont différents !\nSaisissez-les de nouveau, S.V.P.", TIcon::Stop);
    session.Finish(false);
    return kExitRefused;
  }
  // 4. The rebuild question; No keeps the former password.
  if (port.Ask(
          "Pour prendre en compte votre mot de passe, le livre de comptes doit être "
          "reconstruit.\nCette opération ne peut pas être annulée.\nSouhaitez-vous continuer ?",
          TButtons::YesNo) != TButton::Yes) {
    session.Finish(false);
    return kExitRefused;
  }
  // Yes: the book is saved and closed, then rebuilt with the new key (every
  // record read with the old one, written with the new one) and saved again.
  session.Finish(true);
  TBookSession rebuilt(book_path, port, /*open=*/false);
  TRebuildOptions options;
  options.ask_password = false;
  options.new_password = ToUpperNoCase(*fresh);
  RebuildBook(rebuilt.Book(), options);
  rebuilt.Book().Open(false);
  rebuilt.Finish(true);
  c.out << (fresh->empty() ? "Le livre de comptes n'a plus de mot de passe.\n"
                           : "Mot de passe changé.\n");
  return kExitOk;
}

// --- new, gen-book, demo ---------------------------------------------------------------------

std::string NewBookTarget(const std::string& argument) {
  if (argument.empty()) {
    platform::MakeDirectories(platform::Configuration().books_folder);
    return NewBookPath("");
  }
  const std::string path = BookPathOf(argument);
  if (platform::FileExists(path) || platform::FileExists(WorkingCopyOf(path))) {
    throw TCommandFailure(kExitRefused, "Le livre de comptes " + path + " existe déjà !");
  }
  // A bare name is a book of the books folder, made on first use.
  if (argument.find('/') == std::string::npos) platform::MakeDirectories(platform::DirName(path));
  return path;
}

int New(TContext& c) {
  TCategorySet set = TCategorySet::None;
  if (auto t = c.command.Value("template")) {
    if (*t == "0")
      set = TCategorySet::Particulier;
    else if (*t == "1")
      set = TCategorySet::Sante;
    else if (*t == "3")
      set = TCategorySet::Agriculteur;
    else
      throw TUsageError(
          "--template vaut 0 (Particulier), 1 (Profession de santé) ou 3 (Agriculteur)");
  }
  const std::string path = NewBookTarget(c.command.positional[0]);
  if (platform::FileExists(path) || platform::FileExists(WorkingCopyOf(path))) {
    throw TCommandFailure(kExitRefused, "Le livre de comptes " + path + " existe déjà !");
  }
  const std::string password = c.command.Value("password").value_or("");
  CheckPasswordLength(password);
  if (set == TCategorySet::None) {
    TDatabase db(path, c.port);
    db.SetPassword(password);
    db.CreateEmptyBook();
    SetDefaultBackupPath(db);
    const bool ok = db.Save() && db.Close();
    RemoveInUseMarker(path);
    if (!ok) {
      platform::RemoveFile(WorkingCopyOf(path));
      throw TCommandFailure(kExitStorage, OrvanetMessage(kOrvCannotCreate, path));
    }
  } else {
    const std::string source = TemplatePath(set);
    if (source.empty() || !platform::FileExists(source)) {
      throw TCommandFailure(
          kExitStorage, "Le fichier contenant les catégories prédéfinies n'a pas pu être trouvé !");
    }
    if (!platform::CopyFileSafely(source, path, /*overwrite=*/false)) {
      throw TCommandFailure(kExitStorage, "Impossible de copier le fichier !");
    }
    {
      TBookSession session(path, c.port);
      SetDefaultBackupPath(session.Book());
      session.Finish(true);
    }
    if (!password.empty()) {
      // The template's records are plain: the password takes a rebuild
      // that writes them with its key, as a password change does.
      TBookSession rebuilt(path, c.port, /*open=*/false);
      TRebuildOptions options;
      options.ask_password = false;
      options.new_password = ToUpperNoCase(password);
      RebuildBook(rebuilt.Book(), options);
      rebuilt.Book().Open(false);
      rebuilt.Finish(true);
    }
  }
  c.out << path << "\n";
  return kExitOk;
}

int GenBook(TContext& c) {
  const TParsedCommand& p = c.command;
  const std::string path = NewBookTarget(p.positional[0]);
  if (p.Flag("demo")) {
    BuildDemoBook(path, c.port);
    c.out << path << "\n";
    return kExitOk;
  }
  TBookGeneratorOptions options;
  options.operations = Number(p.Required("operations"), "operations", 10'000'000);
  if (options.operations == 0) throw TUsageError("--operations vaut au moins 1");
  if (auto s = p.Value("seed")) options.seed = Number(*s, "seed", UINT64_MAX);
  options.password = p.Value("password").value_or("");
  CheckPasswordLength(options.password);
  if (auto e = p.Value("end")) options.end = ReadDate(*e, "end");
  if (auto m = p.Value("months")) {
    options.months = static_cast<unsigned>(Number(*m, "months", 1200));
    if (options.months == 0) throw TUsageError("--months vaut au moins 1");
  }
  const TGeneratedBook r = GenerateBook(path, options, c.port);
  c.out << path << " : " << r.operations << " opérations, " << r.accounts << " comptes, "
        << r.transfers << " virements, " << r.splits << " ventilations, " << r.card_statements
        << " relevés carte, " << r.periodic_chains << " opérations périodiques, du "
        << r.first.Format(KD_STANDARD) << " au " << r.last.Format(KD_STANDARD) << ".\n";
  return kExitOk;
}

std::string DemoBookPath() {
  return platform::JoinPath(platform::Configuration().books_folder, std::string(kDemoBookName));
}

int Demo(TContext& c) {
  const std::string path = DemoBookPath();
  if (!platform::FileExists(path)) {
    if (platform::FileExists(WorkingCopyOf(path))) {
      // Left by a run that did not close it: opened (and so put back) below.
    } else {
      platform::MakeDirectories(platform::DirName(path));
      BuildDemoBook(path, c.port);
    }
  }
  if (c.command.Flag("path-only")) {
    c.out << path << "\n";
    return kExitOk;
  }
  const TKeptViewState view_state;
  TBookSession session(path, c.port, true, c.force);
  TDatabase& db = session.Book();
  c.out << "Livre de démonstration : " << path << "\n\n";
  PrintAccounts(c.out, db);
  TAccountRecord* shown = nullptr;
  for (auto& a : db.Accounts().Records<TAccountRecord>())
    if (!shown && a.account_type == kCurrentAccount && !a.Operations().Empty()) shown = &a;
  if (shown) {
    c.out << "\nDernières opérations du compte « " << shown->name << " » :\n\n";
    PrintOperations(c, session, *shown, 12);
  }
  session.Finish(true);
  return kExitOk;
}

int Help(TContext& c) {
  if (c.command.positional.empty()) {
    c.out << UsageText();
    return kExitOk;
  }
  const TCommandSpec* command = FindCommand(c.command.positional[0]);
  if (!command) throw TUsageError("commande inconnue « " + c.command.positional[0] + " »");
  c.out << CommandHelp(*command);
  return kExitOk;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           TTerminal& terminal) {
  TParsedCommand parsed;
  try {
    if (args.empty()) {
      err << UsageText();
      return kExitUsage;
    }
    parsed = ParseCommandLine(args);
    if (parsed.help) {
      out << CommandHelp(*parsed.command);
      return kExitOk;
    }
    const TAnswerMode mode = parsed.Flag("yes")  ? TAnswerMode::Yes
                             : parsed.Flag("no") ? TAnswerMode::No
                                                 : TAnswerMode::Ask;
    std::optional<std::string> password;
    if (parsed.command->book || parsed.command->name == "check")
      password = parsed.Value("password");
    if (parsed.command->name == "password" && !password) password = parsed.Value("old");
    TTerminalUserPort port(terminal, mode, password, parsed.Flag("force"));
    TContext c{
        parsed, out, err, port, parsed.Flag("json"), !parsed.Flag("no-save"), parsed.Flag("force")};
    const std::string_view name = parsed.command->name;
    if (name == "help") return Help(c);
    if (name == "new") return New(c);
    if (name == "info") return Info(c);
    if (name == "accounts") return Accounts(c);
    if (name == "ops") return Ops(c);
    if (name == "add-account") return AddAccount(c);
    if (name == "add-op") return AddOp(c);
    if (name == "check") return Check(c);
    if (name == "rebuild") return Rebuild(c);
    if (name == "backup") return Backup(c);
    if (name == "password") return Password(c);
    if (name == "gen-book") return GenBook(c);
    if (name == "demo") return Demo(c);
    throw TUsageError("commande inconnue « " + std::string(name) + " »");
  } catch (const TUsageError& e) {
    err << "ledgora-cli: " << e.what() << "\n";
    if (parsed.command)
      err << "Voir « ledgora-cli " << parsed.command->name << " --help ».\n";
    else
      err << "Voir « ledgora-cli --help ».\n";
    return kExitUsage;
  } catch (const TCommandFailure& e) {
    err << "ledgora-cli: " << e.what() << "\n";
    return e.ExitCode();
  } catch (const TQuestionRefused& e) {
    err << "ledgora-cli: " << e.Question()
        << "\nledgora-cli: question sans réponse : ni --yes ni --no, et pas de terminal ; rien "
           "n'est changé.\n";
    return kExitRefused;
  } catch (const TXOrvanet& e) {
    err << "ledgora-cli: " << e.Message() << "\n";
    if (e.Code() == kOrvLeftOpen || e.Code() == kOrvDamaged || e.Code() == kOrvMustConvert) {
      err << "ledgora-cli: « ledgora-cli rebuild » reconstruit le livre"
          << (e.Code() == kOrvMustConvert ? " au nouveau format" : "") << ".\n";
    }
    // A password dialog cancelled is the user's refusal, not a storage failure.
    return e.Code() == kOrvNoPassword ? kExitRefused : kExitStorage;
  } catch (const std::exception& e) {
    err << "ledgora-cli: " << e.what() << "\n";
    return kExitStorage;
  }
}

}  // namespace ledgora::cli
