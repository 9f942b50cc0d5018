#include "operations/operation_list.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "eurolib/orveuro32.h"
#include "foundation/amount.h"
#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "operations/classification.h"
#include "operations/counter_values.h"
#include "platform/configuration.h"

namespace ledgora {
namespace {

constexpr std::string_view kSetup = "Setup";

std::string Amount(double value) {
  return FormatAmount(value);
}

// A figure is drawn in the warning colour when its text is negative.
TListColour ColourOf(const std::string& figure) {
  return !figure.empty() && figure[0] == '-' ? TListColour::Warning : TListColour::Normal;
}

// The library's list of origin icons ("FRF9100;EUR9113;..."), read once.
const std::map<std::string, std::uint16_t>& OriginIcons() {
  static const std::map<std::string, std::uint16_t> icons = [] {
    std::map<std::string, std::uint16_t> m;
    char list[kEuroIconListSize] = {};
    GetListeIconesOrig(list);
    std::string_view text(list, strnlen(list, sizeof list));
    while (!text.empty()) {
      const std::size_t end = std::min(text.find(';'), text.size());
      const std::string_view item = text.substr(0, end);
      if (item.size() > 3) {
        m[std::string(item.substr(0, 3))] = static_cast<std::uint16_t>(
            std::strtoul(std::string(item.substr(3)).c_str(), nullptr, 10));
      }
      text.remove_prefix(std::min(end + 1, text.size()));
    }
    return m;
  }();
  return icons;
}

std::uint16_t OriginIconOf(std::string_view source_amount) {
  if (Utf8Length(source_amount) < 3) return 0;
  const std::string code = ToUpperNoCase(source_amount.substr(source_amount.size() - 3));
  const auto& icons = OriginIcons();
  const auto it = icons.find(code);
  return it == icons.end() ? 0 : it->second;
}

std::string CodeText(std::string_view code) {
  return std::string(code.substr(0, 3));
}

}  // namespace

TOperationList::TOperationList(TDatabase& db, TOperationsHooks& hooks, TListSettings settings)
    : db_(db), hooks_(hooks), settings_(std::move(settings)) {
  hooks_.AddListener(this);
  ResetNewEntry();
}

TOperationList::~TOperationList() {
  hooks_.RemoveListener(this);
}

std::string_view TOperationList::ContextName() const {
  const TAccountRecord* account = Account();
  if (!account) return "TAccountListBox";
  return account->account_type == kCardAccount ? "TAccountListBox-Encours"
                                               : "TAccountListBox-Courant";
}

bool TOperationList::PointingInProgress() const {
  const TAccountRecord* account = Account();
  return pointing_ && account && pointing_->InProgress(*account);
}

void TOperationList::SetCategorySelection(TCategorySelection selection) {
  if (selection == category_selection_) return;
  category_selection_ = selection;
  if (settings_.filter == TDisplayFilter::SelectedCategory) Refill();
}

void TOperationList::BookChanged(TChangeKind kind, const TRecord& record) {
  if (kind == TChangeKind::Deleted &&
      (record.Type() == TRecordType::Operation || record.Type() == TRecordType::Account)) {
    stale_ = true;
  }
}

// --- Filters -----------------------------------------------------------------------------

void TOperationList::PrepareCategoryFilter() const {
  filter_categories_.clear();
  const std::uint32_t selected = category_selection_.category;
  if (selected == 0) return;
  filter_categories_.push_back(selected);
  if (!category_selection_.collapsed) return;
  // A collapsed node stands for its sub-categories too.
  for (TCategoryRecord& category : db_.Categories().Records<TCategoryRecord>()) {
    if (category.id != selected) continue;
    if (const TRecordList* subs = category.SubCategoriesIfAny()) {
      for (TCategoryRecord& s : subs->Records<TCategoryRecord>())
        filter_categories_.push_back(s.id);
    }
    break;
  }
}

bool TOperationList::PassesDisplayFilter(TOperationRecord& op, double* partial) const {
  switch (settings_.filter) {
    case TDisplayFilter::Complete:
      return true;
    case TDisplayFilter::DownloadedOnly:
      return op.pointing == kDownloaded;
    case TDisplayFilter::NotPointedOnly:
      return op.pointing != kPointed;
    case TDisplayFilter::PointedOnly:
      return op.pointing == kPointed;
    case TDisplayFilter::Uncategorised:
      return op.kind == kOpNormal && op.category == 0;
    case TDisplayFilter::SelectedCategory:
      break;
  }
  if (category_selection_.category == 0) return op.kind != kOpNormal || op.category == 0;
  const auto accepted = [&](std::uint32_t category) {
    return category != 0 && std::find(filter_categories_.begin(), filter_categories_.end(),
                                      category) != filter_categories_.end();
  };
  if (op.kind == kOpSplit) {
    bool any = false;
    double sum = 0;
    for (TSplitLineRecord& line : db_.LoadSplitLines(op).Records<TSplitLineRecord>()) {
      if (!accepted(line.category)) continue;
      any = true;
      sum += line.amount;
    }
    if (any && partial) *partial = sum;
    return any;
  }
  // The category field of a transfer half holds the other half: never a category.
  if (IsTransferHalf(op)) return false;
  return accepted(op.category);
}

bool TOperationList::Shows(TOperationRecord& op, double* partial) const {
  if (settings_.general.Active() && !settings_.general.Matches(op)) return false;
  if (settings_.filter == TDisplayFilter::SelectedCategory) PrepareCategoryFilter();
  return PassesDisplayFilter(op, partial);
}

// --- Refill ------------------------------------------------------------------------------

void TOperationList::Refill() {
  if (observer_) observer_->ListAboutToRefill();
  rows_.clear();
  total_ = 0;
  TAccountRecord* account = Account();
  if (!account) {
    stale_ = false;
    selected_ = 0;
    shown_account_ = 0;
    if (observer_) observer_->ListRefilled();
    return;
  }
  if (draft_account_ != account->id) ResetNewEntry();
  const bool card = account->account_type == kCardAccount;
  const bool general = settings_.general.Active();
  const bool category_filter = settings_.filter == TDisplayFilter::SelectedCategory;
  const std::string_view cv_currency = CounterValueCurrencyShown();
  const std::string account_currency = CodeText(account->currency);
  if (category_filter) PrepareCategoryFilter();
  TCounterValues& counter_values = hooks_.CounterValues();

  try {
    double balance = account->initial_balance;
    for (TRecordNode* n = account->Operations().Head(); n; n = n->Next()) {
      TOperationRecord& op = n->As<TOperationRecord>();
      const bool counted = !card || op.pointing != kPointed;
      if (counted) balance += card ? -op.amount : op.amount;
      if (general && !settings_.general.Matches(op)) continue;
      double partial = 0;
      if (!PassesDisplayFilter(op, &partial)) continue;
      TOperationRow row;
      row.op = &op;
      row.has_balance = counted;
      row.running_balance = balance;
      if (category_filter && op.kind == kOpSplit && category_selection_.category != 0) {
        row.partial = true;
        row.partial_amount = partial;
        total_ += card ? partial : SignedPartial(row);
        if (!cv_currency.empty() && partial != 0) {
          const double shown = card ? -SignedPartial(row) : SignedPartial(row);
          row.partial_counter_value =
              ConvertAmount(shown, account_currency, cv_currency).value_or(0);
        }
      } else {
        total_ += card ? -op.amount : op.amount;
      }
      if (!cv_currency.empty()) row.counter_value = counter_values.Of(*account, op);
      rows_.push_back(row);
    }
    account->balance = balance;
  } catch (...) {
    rows_.clear();
    total_ = 0;
    rows_.emplace_back();
    stale_ = false;
    if (observer_) observer_->ListRefilled();
    throw;
  }
  rows_.emplace_back();  // the new-entry line
  stale_ = false;
  if (!filled_once_ || shown_account_ != account->id) {
    selected_ = filled_once_ ? rows_.size() - 1 : InitialRow();
  }
  filled_once_ = true;
  shown_account_ = account->id;
  selected_ = std::min(selected_, rows_.size() - 1);
  StoreView();
  if (observer_) observer_->ListRefilled();
}

double TOperationList::SignedPartial(const TOperationRow& row) const {
  return row.op && row.op->amount < 0 ? -row.partial_amount : row.partial_amount;
}

void TOperationList::StoreView() {
  const long row = static_cast<long>(selected_);
  if (written_row_ != row) {
    platform::ProfileWriteInt(kSetup, "LigneCompteActif", row);
    written_row_ = row;
  }
  // "CompteActif" names the account (at most 25 characters): the opening of
  // a book looks the account up by its name.
  const long account = static_cast<long>(Account()->id);
  if (written_account_ != account) {
    platform::ProfileWriteText(kSetup, "CompteActif", Utf8Prefix(Account()->name, 25));
    written_account_ = account;
  }
}

void TOperationList::RecomputeBalances() {
  TAccountRecord* account = Account();
  if (!account || stale_ || shown_account_ != account->id) {
    Refill();
    return;
  }
  const bool card = account->account_type == kCardAccount;
  double balance = account->initial_balance;
  std::size_t r = 0;
  for (TRecordNode* n = account->Operations().Head(); n; n = n->Next()) {
    TOperationRecord& op = n->As<TOperationRecord>();
    const bool counted = !card || op.pointing != kPointed;
    if (counted) balance += card ? -op.amount : op.amount;
    if (r < rows_.size() && rows_[r].op == &op) {
      rows_[r].has_balance = counted;
      rows_[r].running_balance = balance;
      ++r;
    }
  }
  account->balance = balance;
  if (observer_) observer_->ListRepaint();
}

void TOperationList::HandleRefresh(unsigned bits) {
  if (bits & kRefillFull) {
    Refill();
  } else if (bits & kRecomputeBalances) {
    RecomputeBalances();
  } else if ((bits & kRepaintOnly) && observer_) {
    observer_->ListRepaint();
  }
}

void TOperationList::Notify(unsigned bits) {
  if (refresh_) {
    refresh_->Refresh(bits);
  } else {
    HandleRefresh(bits);
  }
}

void TOperationList::SelectAccount(TAccountRecord* account) {
  db_.SetCurrentAccount(account);
  ResetNewEntry();
  if (account) {
    selected_ = 0;
    shown_account_ = 0;
  }
  Refill();
}

// --- Rows ---------------------------------------------------------------------------------

TOperationRecord* TOperationList::OperationAt(std::size_t row) const {
  if (stale_ || row >= rows_.size()) return nullptr;
  return rows_[row].op;
}

TOperationRecord* TOperationList::RecordAt(std::size_t row) const {
  if (IsNewEntry(row)) return draft_.get();
  return OperationAt(row);
}

std::optional<std::size_t> TOperationList::RowOf(std::uint32_t operation_id) const {
  if (stale_) return std::nullopt;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].op && rows_[i].op->id == operation_id) return i;
  }
  return std::nullopt;
}

std::string_view TOperationList::CounterValueCurrencyShown() const {
  const TAccountRecord* account = Account();
  if (!account || !settings_.counter_value_column) return {};
  return CounterValueCurrency(account->currency);
}

TRowTexts TOperationList::Texts(std::size_t row) const {
  TRowTexts t;
  const TAccountRecord* account = Account();
  if (!account || row >= rows_.size()) return t;
  if (IsNewEntry(row)) {
    t.new_entry = true;
    t.classification = "Nouveau...";
    t.cells[static_cast<std::size_t>(TListColumn::Classification)] = t.classification;
    return t;
  }
  if (stale_) return t;
  const TOperationRow& r = rows_[row];
  const TOperationRecord& op = *r.op;
  const bool detailed = settings_.layout == TRowLayout::Detailed;
  const bool card = account->account_type == kCardAccount;
  auto cell = [&](TListColumn c) -> std::string& { return t.cells[static_cast<std::size_t>(c)]; };

  if (settings_.project_column) cell(TListColumn::Project) = ProjectLabel(db_, op.project);
  if (op.date.IsValid()) cell(TListColumn::Date) = op.date.Format(KD_STANDARD);
  t.label_line = FullLabel(op);
  t.classification = ClassificationText(db_, *account, op, r.partial);
  cell(TListColumn::Classification) =
      detailed ? t.label_line + "\n" + t.classification : t.classification;
  if (detailed && !op.source_amount.empty()) {
    t.source_amount_line = "Mnt origine : " + op.source_amount;
    t.origin_icon = OriginIconOf(op.source_amount);
  }
  t.periodic_mark = op.periodic != 0;
  switch (op.pointing) {
    case kDownloaded:
      t.mark = TPointingMark::Downloaded;
      break;
    case kPointed:
      t.mark = TPointingMark::Pointed;
      break;
    case kTicked:
      t.mark = PointingInProgress() ? TPointingMark::Ticked : TPointingMark::None;
      break;
    default:
      break;
  }
  const double amount = r.partial ? SignedPartial(r) : op.amount;
  if (card) {
    cell(TListColumn::Debit) = Amount(-amount);
  } else if (amount <= 0) {
    cell(TListColumn::Debit) = Amount(-amount);
  } else {
    cell(TListColumn::Credit) = Amount(amount);
  }
  if (!CounterValueCurrencyShown().empty()) {
    cell(TListColumn::CounterValue) = Amount(r.partial ? r.partial_counter_value : r.counter_value);
  }
  if (r.has_balance) {
    cell(TListColumn::Balance) = Amount(r.running_balance);
    t.balance_colour = ColourOf(cell(TListColumn::Balance));
  }
  return t;
}

std::string TOperationList::ToolTip(std::size_t row) const {
  const TOperationRecord* op = OperationAt(row);
  if (!op) return {};
  if (settings_.layout == TRowLayout::Detailed) return op->source_amount;
  return settings_.condensed_tooltips ? FullLabel(*op) : std::string();
}

std::vector<TListColumnInfo> TOperationList::Columns() const {
  const TAccountRecord* account = Account();
  const bool card = account && account->account_type == kCardAccount;
  const std::string_view cv = CounterValueCurrencyShown();
  return {
      {TListColumn::Project, "Projet", 120, settings_.project_column},
      {TListColumn::Date, "Date", 70, true},
      {TListColumn::Classification, "Classement", 300, true},
      {TListColumn::Pointing, "P", 25, true},
      {TListColumn::Debit, card ? "Montant" : "Débit", 70, true},
      {TListColumn::Credit, "Crédit", 70, !card},
      {TListColumn::CounterValue, cv.empty() ? std::string() : "Soit " + std::string(cv), 70,
       !cv.empty()},
      {TListColumn::Balance, "Solde", 75, true},
  };
}

double TOperationList::Balance() const {
  const TAccountRecord* account = Account();
  return account ? account->balance : 0;
}

TListFooter TOperationList::Footer() const {
  TListFooter f;
  const TAccountRecord* account = Account();
  if (!account) return f;
  const std::string code = CodeText(account->currency);
  f.currency_text = "Devise du compte : " + account->currency;
  f.currency_flag = GetIdDrapeau(code.c_str());
  if (settings_.show_account_balance) {
    f.figure_label =
        account->account_type == kCardAccount ? "Montant encours : " : "Solde du compte : ";
    f.figure = account->balance;
  } else {
    f.figure_label = "Total des opérations : ";
    f.figure = total_;
  }
  f.figure_text = Amount(f.figure);
  f.figure_colour = ColourOf(f.figure_text);
  const std::string_view target = CounterValueCurrency(account->currency);
  if (settings_.show_account_balance && !target.empty()) {
    // The figure itself is converted: for a card account it is already the
    // outstanding amount as a positive figure.
    const double value = ConvertAmount(f.figure, code, target).value_or(0);
    f.figure_tooltip = Amount(value) + " " + std::string(target);
  }
  return f;
}

// --- Selection and the new-entry line -----------------------------------------------------

void TOperationList::Select(std::size_t row) {
  selected_ = rows_.empty() ? 0 : std::min(row, rows_.size() - 1);
  if (Account() && !rows_.empty()) StoreView();
}

std::size_t TOperationList::InitialRow() const {
  const std::size_t last = rows_.empty() ? 0 : rows_.size() - 1;
  if (!settings_.stored_row || *settings_.stored_row < 0) return last;
  return std::min(static_cast<std::size_t>(*settings_.stored_row), last);
}

void TOperationList::ResetNewEntry() {
  draft_ = std::make_unique<TOperationRecord>();
  const TAccountRecord* account = Account();
  draft_account_ = account ? account->id : 0;
  draft_->account = draft_account_;
}

KDate TOperationList::NewEntryDate() const {
  if (db_.Settings().default_date == 1 && last_new_date_.IsValid()) return last_new_date_;
  return KDate::Today();
}

}  // namespace ledgora
