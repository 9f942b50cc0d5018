#include "operations/operation_editor.h"

#include "foundation/amount.h"
#include "foundation/cp1252.h"
#include "operations/classification.h"
#include "operations/entry_fields.h"
#include "operations/operation_edits.h"
#include "operations/operation_list.h"
#include "operations/transfer_rule.h"
#include "operations/undo_slot.h"

namespace ledgora {
namespace {

bool HoldsFigure(std::string_view text) {
  return text.find_first_not_of(' ') != std::string_view::npos;
}

std::string Cut(std::string_view text) {
  return std::string(Utf8Prefix(text, kLabelMaxChars));
}

// The amount fields of the editor for an amount of the account.
void FillAmount(TEditorSetup& s, double amount, bool blank_when_zero) {
  if (s.card_account) {
    if (!(blank_when_zero && amount == 0)) s.amount = AmountFieldText(-amount);
  } else if (amount < 0) {
    s.debit = AmountFieldText(-amount);
  } else if (amount > 0) {
    s.credit = AmountFieldText(amount);
  } else if (!blank_when_zero) {
    s.debit = AmountFieldText(0);
  }
}

std::vector<std::string> ProjectChoices(const TDatabase& db, std::uint32_t own_project) {
  std::vector<std::string> choices{std::string(kNoProjectLabel)};
  for (const TProjectRecord& p : db.Projects().Records<TProjectRecord>()) {
    if (p.open != 0 || p.id == own_project) choices.push_back(p.label);
  }
  return choices;
}

}  // namespace

TEditorInput TEditSession::UnchangedInput() const {
  TEditorInput in;
  in.date = setup_.date;
  in.pointed = setup_.pointed;
  in.debit = setup_.debit;
  in.credit = setup_.credit;
  in.amount = setup_.amount;
  in.label = setup_.label;
  in.complementary_label = setup_.complementary_label;
  in.project = setup_.project;
  in.category = setup_.category;
  return in;
}

std::optional<TEditSession> TOperationEditor::Begin(std::size_t row) {
  TAccountRecord* account = list_.Account();
  TOperationRecord* op = list_.RecordAt(row);
  if (!account || !op) return std::nullopt;
  TDatabase& db = list_.Book();
  const bool new_entry = list_.IsNewEntry(row);
  if (!new_entry) {
    // Steps 1 and 2: the guard questions.
    if (op->kind == kOpEuroConversion) {
      TMessage m;
      m.text = std::string(kEuroConversionEditQuestion);
      m.buttons = TButtons::YesNo;
      m.icon = TIcon::Question;
      m.default_index = 1;
      if (db.Port().Message(m).button != TButton::Yes) return std::nullopt;
    } else if (!ConfirmPointedChange(db, *op)) {
      return std::nullopt;
    }
  }
  // Step 3: the fields.
  TEditSession session;
  session.account_id_ = account->id;
  session.operation_id_ = new_entry ? 0 : op->id;
  session.start_amount_ = op->amount;
  session.start_date_ = op->date;
  TEditorSetup& s = session.setup_;
  s.new_entry = new_entry;
  s.card_account = account->account_type == kCardAccount;
  s.labels = list_.Settings().layout == TRowLayout::Detailed;
  s.classification = op->kind == kOpNormal;
  s.date = new_entry ? list_.NewEntryDate().Format(KD_STANDARD) : op->date.Format(KD_STANDARD);
  s.pointed = !new_entry && (op->pointing == kPointed || op->pointing == kTicked);
  FillAmount(s, op->amount, new_entry);
  s.label = op->label;
  s.complementary_label = op->complementary_label;
  if (s.classification) {
    s.project = ProjectLabel(db, op->project);
    s.category = CategoryText(db, op->category);
    s.project_choices = ProjectChoices(db, op->project);
    s.category_choices = CategoryTexts(db);
  }
  return session;
}

TEditOutcome TOperationEditor::Validate(const TEditSession& session, const TEditorInput& input) {
  TAccountRecord* account = list_.Account();
  if (!account || account->id != session.account_id_) return TEditOutcome::Gone;
  TDatabase& db = list_.Book();
  TUserPort& port = db.Port();
  TOperationRecord* op = nullptr;
  if (!session.NewEntry()) {
    TRecordNode* node = account->Operations().FindById(session.operation_id_);
    if (!node) return TEditOutcome::Gone;
    op = &node->As<TOperationRecord>();
  }
  const TOperationRecord& base = op ? *op : list_.NewEntry();
  const TEditorSetup& setup = session.Setup();
  const bool card = account->account_type == kCardAccount;

  // Phase 1: the fields the user changed pass their validators.
  const auto date_validator = MakeDateValidator(&port);
  if (input.date != setup.date && !date_validator->Validate(input.date)) {
    return TEditOutcome::StayOpen;
  }
  if (card) {
    if (input.amount != setup.amount && !MakeAmountValidator(true, &port)->Validate(input.amount)) {
      return TEditOutcome::StayOpen;
    }
  } else {
    const auto amount_validator = MakeAmountValidator(false, &port);
    if (input.debit != setup.debit && !amount_validator->Validate(input.debit)) {
      return TEditOutcome::StayOpen;
    }
    if (input.credit != setup.credit && !amount_validator->Validate(input.credit)) {
      return TEditOutcome::StayOpen;
    }
  }
  // Phase 2: the date (empty: today).
  const KDate date = input.date.empty() ? KDate::Today() : KDate::FromText(input.date, KD_STANDARD);
  if (!date.IsValid()) {
    date_validator->ShowError();
    return TEditOutcome::StayOpen;
  }
  // Phase 3: the amount.
  double amount = 0;
  if (card) {
    amount = -ParseAmount(input.amount);
  } else {
    const bool debit = HoldsFigure(input.debit);
    const bool credit = HoldsFigure(input.credit);
    bool use_debit = debit;
    if (debit && credit) {
      const bool debit_changed = input.debit != setup.debit;
      const bool credit_changed = input.credit != setup.credit;
      use_debit = !(credit_changed && !debit_changed);
    }
    if (use_debit) {
      amount = -ParseAmount(input.debit);
    } else if (credit) {
      amount = ParseAmount(input.credit);
    }
  }
  if (amount == 0) amount = 0;  // no negative zero
  // Phase 4: project and category (kind Normal).
  std::uint32_t project = base.project;
  std::uint32_t category = base.category;
  const bool classify = setup.classification && base.kind == kOpNormal;
  if (classify) {
    project = 0;
    if (!input.project.empty() && input.project != kNoProjectLabel) {
      if (const TProjectRecord* p = FindProjectByLabel(db, input.project)) {
        if (p->open == 0 && p->id != base.project) {
          port.Show(std::string(kClosedProjectMessage), TIcon::Exclamation);
        } else {
          project = p->id;
        }
      }
    }
    const TCategoryRecord* c = FindCategoryByText(db, input.category);
    category = c ? c->id : 0;
  }
  const auto apply_fields = [&](TOperationRecord& target) {
    target.date = date;
    target.amount = amount;
    if (amount != session.start_amount_) target.source_amount.clear();
    if (setup.labels) {
      target.label = Cut(input.label);
      target.complementary_label = Cut(input.complementary_label);
    }
    if (classify) {
      target.project = project;
      target.category = category;
    }
  };
  TPointingSession* pointing = list_.PointingInProgress() ? list_.PointingSession() : nullptr;

  if (!op) {
    // Phase 5 (new-entry line): the initial-balance question, then the addition.
    auto added = std::unique_ptr<TOperationRecord>(
        static_cast<TOperationRecord*>(list_.NewEntry().Clone().release()));
    apply_fields(*added);
    added->pointing = input.pointed ? (pointing ? kTicked : kPointed) : kNotPointed;
    added->SetFlag(kOpEnteredByHand, true);
    added->periodic = 0;
    TAccountRecord* target = nullptr;
    if (added->kind == kOpTransferOut) {
      target = db.FindAccount(added->linked_account);
      if (target == account) target = nullptr;
      if (!target) {
        added->kind = kOpNormal;
        added->linked_account = 0;
        added->category = 0;
      }
    }
    bool lower_initial = false;
    const TRecordNode* first = account->Operations().Head();
    if (first && date < first->As<TOperationRecord>().date) {
      const std::string text = "Compte : " + account->name + " (" + account->remark +
                               ")\nLe solde initial de celui-ci doit-il passer de " +
                               FormatAmount(account->initial_balance) + " à " +
                               FormatAmount(account->initial_balance - amount) + " ?";
      lower_initial = port.Ask(text, TButtons::YesNo, TIcon::Question) == TButton::Yes;
    }
    list_.RememberNewEntryDate(date);
    TUndoSlot::Of(db).Clear();
    TOperationRecord* stored = nullptr;
    {
      TWritePhase phase(db);
      if (lower_initial) {
        account->initial_balance -= amount;
        db.ModifyAccount(*account);
      }
      stored = &db.AddOperation(*account, std::move(added));
    }
    if (target) MakeOtherHalf(db, list_.DuplicateFinder(), *stored, *target);
    TellTick(pointing, *stored, kNotPointed);
    list_.ResetNewEntry();
  } else {
    // Phase 5 (existing operation): undo record, then the changes.
    TUndoSlot::Of(db).RecordOperationChange(*op, TUndoMode::Modification);
    const std::uint16_t old_state = op->pointing;
    TOperationRecord* other = IsTransferHalf(*op) ? OtherHalfOf(db, *op) : nullptr;
    std::unique_ptr<TPeriodicRecord> schedule;
    if (IsChainModel(*op) && date != op->date) {
      schedule = db.ReadSchedule(*op);
      if (schedule) {
        schedule->date = date;
        schedule->day_of_month = static_cast<std::uint16_t>(date.Day());
      }
    }
    apply_fields(*op);
    if (input.pointed) {
      // A box left ticked on a Ticked operation keeps the tick.
      if (op->pointing != kPointed && op->pointing != kTicked) {
        op->pointing = pointing ? kTicked : kPointed;
      }
    } else {
      op->pointing = kNotPointed;
    }
    if (op->pointing == kDownloaded) op->pointing = kNotPointed;
    {
      TWritePhase phase(db);
      db.ModifyOperation(*op);
      if (schedule) ReplaceChainSchedule(db, *op, std::move(schedule));
      if (other && amount != session.start_amount_) {
        TAccountRecord& other_account = db.AccountOf(*other);
        const TOtherHalfAmount half = OtherHalfAmount(*account, other_account, op->amount);
        other->amount = half.amount;
        if (half.source_amount) other->source_amount = *half.source_amount;
        other->date = op->date;
        db.ModifyOperation(*other);
        db.ComputeBalance(other_account);
      }
    }
    TellTick(pointing, *op, old_state);
  }
  db.ComputeBalance(*account);
  list_.Notify(kRefreshAfterChange);
  return TEditOutcome::Applied;
}

}  // namespace ledgora
