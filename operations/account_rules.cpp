#include "operations/account_rules.h"

#include <cstdio>
#include <vector>

#include "foundation/amount.h"
#include "foundation/cp1252.h"
#include "foundation/nocase.h"
#include "operations/entry_fields.h"
#include "operations/operation_edits.h"
#include "operations/rib.h"

namespace ledgora {
namespace {

std::string Limited(std::string_view text, std::size_t max_chars) {
  return std::string(Utf8Prefix(text, max_chars));
}

void Refuse(TDatabase& db, std::string_view message) {
  db.Port().Show(std::string(message), TIcon::Exclamation);
}

TAccountRecord* LinkedCurrentAccount(const TDatabase& db, std::uint32_t id) {
  if (id == 0) return nullptr;
  TAccountRecord* account = db.FindAccount(id);
  if (!account || account->account_type != kCurrentAccount) return nullptr;
  return account;
}

bool SameCurrency(const std::string& a, const std::string& b) {
  return EqualsNoCase(a, b);
}

// Step 8 for one other account: the message of the first clash, or empty.
std::string_view ClashWith(const TAccountRecord& candidate, const TAccountRecord& other) {
  if (candidate.name == other.name) return kSameAccountNameMessage;
  if (candidate.account_type == kCardAccount) {
    if (!candidate.card_number.empty() && !candidate.currency.empty() &&
        candidate.card_number == other.card_number &&
        SameCurrency(candidate.currency, other.currency))
      return kSameCardNumberMessage;
    return {};
  }
  if (other.account_type != candidate.account_type) return {};
  if (candidate.bank_code.empty() || candidate.branch_code.empty() ||
      candidate.account_number.empty() || candidate.currency.empty())
    return {};
  if (candidate.bank_code == other.bank_code && candidate.branch_code == other.branch_code &&
      candidate.account_number == other.account_number &&
      SameCurrency(candidate.currency, other.currency))
    return kSameRibMessage;
  return {};
}

}  // namespace

std::string_view AccountTypeName(std::uint16_t type) {
  switch (type) {
    case kCurrentAccount:
      return "Compte courant";
    case kCardAccount:
      return "Encours carte";
    case kDepositAccount:
      return "Compte de dépôt";
    default:
      return {};
  }
}

std::vector<TAccountStateChoice> AccountStateChoices() {
  return {{"Affiché", kAccountShown}, {"Masqué", kAccountHidden}, {"Clos", kAccountClosed}};
}

TAccountFields FieldsOf(const TAccountRecord& account) {
  TAccountFields f;
  f.type = account.account_type;
  f.name = account.name;
  f.initial_balance = AmountFieldText(account.initial_balance);
  f.currency = account.currency;
  f.card_number = account.card_number;
  f.linked_account = account.linked_account;
  f.bank_code = account.bank_code;
  f.branch_code = account.branch_code;
  f.account_number = account.account_number;
  f.remark = account.remark;
  f.state = account.state;
  return f;
}

std::vector<TLinkedAccountChoice> LinkedAccountChoices(const TDatabase& db) {
  std::vector<TLinkedAccountChoice> out;
  for (const TAccountRecord& a : db.Accounts().Records<TAccountRecord>()) {
    if (a.account_type != kCurrentAccount) continue;
    std::string row = a.name;
    for (std::size_t n = Utf8Length(row); n < 50; ++n) row += ' ';
    row += std::to_string(a.id);
    out.push_back({a.id, std::move(row)});
  }
  return out;
}

namespace {

bool CarriesCardAccounts(const TDatabase& db, const TAccountRecord& account) {
  for (const TAccountRecord& other : db.Accounts().Records<TAccountRecord>()) {
    if (&other != &account && other.account_type == kCardAccount &&
        other.linked_account == account.id) {
      return true;
    }
  }
  return false;
}

}  // namespace

TAccountConfirmResult ConfirmAccount(TDatabase& db, TAccountRecord* former,
                                     const TAccountFields& fields) {
  TAccountConfirmResult refused;
  // Step 1: the type.
  if (!fields.type || AccountTypeName(*fields.type).empty()) {
    Refuse(db, kNoAccountTypeMessage);
    return refused;
  }
  if (former && former->account_type == kCurrentAccount && *fields.type != kCurrentAccount &&
      CarriesCardAccounts(db, *former)) {
    Refuse(db, kChangeTypeWithCardsMessage);
    return refused;
  }
  // Step 2: the name.
  const std::string name = Limited(fields.name, kAccountNameMaxChars);
  if (name.empty()) {
    Refuse(db, kAccountNameRequiredMessage);
    return refused;
  }
  // Step 3: the initial balance, checked as the page's amount field does.
  if (!MakeAmountValidator(true, nullptr)->CheckFinal(fields.initial_balance)) {
    Refuse(db, kInvalidInitialBalanceMessage);
    return refused;
  }
  const double initial = ParseAmount(fields.initial_balance);

  TAccountRecord candidate;
  if (former) candidate = *former;
  candidate.account_type = *fields.type;
  candidate.name = name;
  candidate.initial_balance = initial;
  // Step 5: the remark and the state.
  candidate.remark = Limited(fields.remark, kRemarkMaxChars);
  candidate.state = fields.state <= kAccountHidden ? fields.state : std::uint16_t{kAccountShown};
  if (candidate.account_type == kCardAccount) {
    // Step 6: a card account copies the identity of its current account.
    candidate.card_number = Limited(fields.card_number, kCardNumberMaxChars);
    const TAccountRecord* linked = LinkedCurrentAccount(db, fields.linked_account);
    if (!linked || linked == former) {
      Refuse(db, kNoLinkedAccountMessage);
      return refused;
    }
    candidate.linked_account = linked->id;
    candidate.bank_code = linked->bank_code;
    candidate.branch_code = linked->branch_code;
    candidate.account_number = linked->account_number;
    candidate.currency = linked->currency;
  } else {
    // Step 7: the other types keep their own.
    candidate.card_number.clear();
    candidate.linked_account = 0;
    candidate.bank_code = Limited(fields.bank_code, kBankCodeChars);
    candidate.branch_code = Limited(fields.branch_code, kBranchCodeChars);
    candidate.account_number = Limited(fields.account_number, kAccountNumberChars);
    candidate.currency = Limited(fields.currency, 3);
  }
  // Step 8: against every other account.
  for (const TAccountRecord& other : db.Accounts().Records<TAccountRecord>()) {
    if (&other == former) continue;
    if (const std::string_view clash = ClashWith(candidate, other); !clash.empty()) {
      Refuse(db, clash);
      return refused;
    }
  }

  // Step 9: replace or add.
  if (former) {
    // Step 4: the balance follows the initial balance, the operations stay.
    const double moved = initial - former->initial_balance;
    TAccountRecord* active = db.CurrentAccount();
    former->account_type = candidate.account_type;
    former->name = candidate.name;
    former->initial_balance = candidate.initial_balance;
    former->remark = candidate.remark;
    former->state = candidate.state;
    former->card_number = candidate.card_number;
    former->linked_account = candidate.linked_account;
    former->bank_code = candidate.bank_code;
    former->branch_code = candidate.branch_code;
    former->account_number = candidate.account_number;
    former->currency = candidate.currency;
    former->balance += moved;
    db.ModifyAccount(*former);
    if (active == former) db.SetCurrentAccount(former);
    return {TAccountConfirmOutcome::Modified, former};
  }
  auto added = std::make_unique<TAccountRecord>();
  added->account_type = candidate.account_type;
  added->name = candidate.name;
  added->initial_balance = candidate.initial_balance;
  added->remark = candidate.remark;
  added->state = candidate.state;
  added->card_number = candidate.card_number;
  added->linked_account = candidate.linked_account;
  added->bank_code = candidate.bank_code;
  added->branch_code = candidate.branch_code;
  added->account_number = candidate.account_number;
  added->currency = candidate.currency;
  TAccountRecord& account = db.AddAccount(std::move(added));
  db.ComputeBalance(account);
  if (!db.CurrentAccount()) db.SetCurrentAccount(&account);
  return {TAccountConfirmOutcome::Added, &account};
}

std::string EuroAccountDeleteQuestion(const TAccountRecord& former) {
  return "Ce compte résulte de la conversion en euros du compte " + former.name + " [" +
         former.bank_code + " " + former.branch_code + " " + former.account_number + " " +
         RibKey(former.bank_code, former.branch_code, former.account_number) +
         "].\nConfirmez-vous la destruction du compte euro, de ses opérations associées et de "
         "l'opération de conversion du compte initial ?";
}

bool DeleteAccountWithRules(TDatabase& db, TAccountRecord& account) {
  // Step 1: a current account that carries card accounts stays. Any
  // account that a card account is linked to is kept the same way, so that
  // no card account is left linked to an account that is gone.
  if (CarriesCardAccounts(db, account)) {
    Refuse(db, kDeleteCurrentWithCardsMessage);
    return false;
  }
  // Step 2: the question.
  TAccountRecord* former = nullptr;
  if (account.euro_twin != 0 && account.euro_twin != account.id)
    former = db.FindAccount(account.euro_twin);
  const std::string question =
      former ? EuroAccountDeleteQuestion(*former) : std::string(kDeleteAccountQuestion);
  if (db.Port().Ask(question, TButtons::YesNo, TIcon::Question) != TButton::Yes) return false;

  TWritePhase phase(db);
  // Step 3: a euro account made from this one loses its link.
  for (TAccountRecord& other : db.Accounts().Records<TAccountRecord>()) {
    if (&other != &account && other.euro_twin == account.id) {
      other.euro_twin = 0;
      db.ModifyAccount(other);
    }
  }
  // Step 4: the active account.
  if (db.CurrentAccount() == &account) {
    TAccountRecord* next = nullptr;
    for (TAccountRecord& other : db.Accounts().Records<TAccountRecord>()) {
      if (&other != &account) {
        next = &other;
        break;
      }
    }
    db.SetCurrentAccount(next);
  }
  // Step 5: the account and its operations.
  db.DeleteAccount(account);
  // Step 6: the account it was converted from comes back.
  if (former) {
    std::vector<TOperationRecord*> conversions;
    for (TOperationRecord& op : former->Operations().Records<TOperationRecord>()) {
      if (op.kind == kOpEuroConversion) conversions.push_back(&op);
    }
    for (TOperationRecord* op : conversions) DeleteOperationAndChain(db, *op);
    former->state = kAccountShown;
    db.ModifyAccount(*former);
    db.ComputeBalance(*former);
  }
  return true;
}

std::string AccountBarTip(const TAccountRecord& account) {
  return account.remark + " [" + FormatAmount(account.balance) + " " + account.currency + "]";
}

std::string AccountHeaderText(const TAccountRecord& account) {
  return account.name + " = " + account.remark;
}

TAccountRecord* NextShownAccount(const TDatabase& db, const TAccountRecord* from, bool forward) {
  const TRecordList& list = db.Accounts();
  TRecordNode* node = nullptr;
  if (from) {
    for (TRecordNode* n = list.Head(); n; n = n->Next()) {
      if (&n->Record() == from) {
        node = forward ? n->Next() : n->Previous();
        break;
      }
    }
    if (!node) return nullptr;
  } else {
    node = forward ? list.Head() : list.Tail();
  }
  for (; node; node = forward ? node->Next() : node->Previous()) {
    TAccountRecord& a = node->As<TAccountRecord>();
    if (a.state == kAccountShown) return &a;
  }
  return nullptr;
}

}  // namespace ledgora
