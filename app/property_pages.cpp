#include "app/property_pages.h"

#include <algorithm>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/list/qt_field_validator.h"
#include "eurolib/orveuro32.h"
#include "foundation/amount.h"
#include "foundation/charset_validator.h"
#include "foundation/nocase.h"
#include "foundation/validator.h"
#include "operations/associations.h"
#include "operations/category_rules.h"
#include "operations/project_rules.h"
#include "operations/refresh.h"
#include "operations/rib.h"

namespace ledgora::app {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string S(const QString& s) {
  return s.toStdString();
}

constexpr int kIdRole = Qt::UserRole;

std::uint32_t IdOf(const QTreeWidgetItem* item) {
  return item ? item->data(0, kIdRole).toUInt() : 0;
}

QTreeWidget* MakeList(const QStringList& columns, QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setColumnCount(static_cast<int>(columns.size()));
  list->setHeaderLabels(columns);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setAllColumnsShowFocus(true);
  return list;
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, std::uint32_t id) {
  for (QTreeWidgetItemIterator it(tree); *it; ++it) {
    if (IdOf(*it) == id) return *it;
  }
  return nullptr;
}

void SelectItem(QTreeWidget* tree, QTreeWidgetItem* item) {
  if (!item && tree->topLevelItemCount() > 0) item = tree->topLevelItem(0);
  tree->setCurrentItem(item);
  if (item) {
    item->setSelected(true);
    tree->scrollToItem(item);
  } else {
    tree->clearSelection();
  }
}

// The OK and Cancel buttons of the small dialogs; Cancel carries the control
// identifier that suspends validation while it has the focus.
QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
  box->button(QDialogButtonBox::Cancel)->setProperty("controlId", kBypassControlId);
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}

QPushButton* Button(const char* text, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  // Enter in a field never presses a page button by accident.
  button->setAutoDefault(false);
  return button;
}

// "EUR", then every code of the currency library's parity table.
QStringList CurrencyCodes() {
  QStringList codes{QStringLiteral("EUR")};
  for (int row = 0; row < 32; ++row) {
    char code[kEuroCodeSize] = {};
    char label[kEuroLabelSize] = {};
    double parity = 0;
    if (euro_CurrencyInfo(row, code, label, parity) != 0 || code[0] == '\0') continue;
    const QString c = QString::fromLatin1(code).toUpper();
    if (!codes.contains(c)) codes.push_back(c);
  }
  return codes;
}

void AttachLettersDigits(QLineEdit& field, std::size_t length) {
  field.setMaxLength(static_cast<int>(length));
  field.setValidator(
      new TQtFieldValidator(std::make_unique<TCharSetValidator>(kCharSetLettersDigits), &field));
}

}  // namespace

// --- TSheetState -------------------------------------------------------------------

bool TSheetState::Run(const std::function<void()>& body) {
  // Once a rule failed the sheet is closing: nothing more reaches the book.
  if (failure_) return false;
  try {
    body();
    return true;
  } catch (...) {
    failure_ = std::current_exception();
    if (on_failure_) on_failure_();
    return false;
  }
}

void TSheetState::RethrowFailure() const {
  if (failure_) std::rethrow_exception(failure_);
}

// --- TComptesPropertyPage ------------------------------------------------------------

TComptesPropertyPage::TComptesPropertyPage(TDatabase& db, TSheetState& state, QWidget* parent)
    : QWidget(parent), db_(db), state_(state) {
  setObjectName("TComptesPropertyPage");
  list_ = MakeList({QStringLiteral("Libellé"), QStringLiteral("Solde")}, this);
  list_->setObjectName("accounts");
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  list_->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  list_->setMinimumWidth(250);

  name_ = new QLineEdit(this);
  name_->setObjectName("name");
  name_->setMaxLength(static_cast<int>(kAccountNameMaxChars));
  type_ = new QComboBox(this);
  type_->setObjectName("type");
  for (std::uint16_t t : {kCurrentAccount, kCardAccount, kDepositAccount}) {
    type_->addItem(Q(AccountTypeName(t)), t);
  }
  initial_ = new QLineEdit(this);
  initial_->setObjectName("initial");
  initial_->setAlignment(Qt::AlignRight);
  AttachAmountValidator(*initial_, true, &db_.Port());
  currency_ = new QComboBox(this);
  currency_->setObjectName("currency");
  currency_->addItems(CurrencyCodes());
  card_number_ = new QLineEdit(this);
  card_number_->setObjectName("card");
  card_number_->setMaxLength(static_cast<int>(kCardNumberMaxChars));
  linked_ = new QComboBox(this);
  linked_->setObjectName("linked");
  // The rows are "%-50s%lu": a fixed-pitch font keeps the identifiers in
  // one column of the open list; the closed box shows the name.
  linked_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  linked_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  linked_->setMinimumContentsLength(20);
  bank_ = new QLineEdit(this);
  bank_->setObjectName("bank");
  AttachLettersDigits(*bank_, kBankCodeChars);
  branch_ = new QLineEdit(this);
  branch_->setObjectName("branch");
  AttachLettersDigits(*branch_, kBranchCodeChars);
  number_ = new QLineEdit(this);
  number_->setObjectName("number");
  AttachLettersDigits(*number_, kAccountNumberChars);
  remark_ = new QLineEdit(this);
  remark_->setObjectName("remark");
  remark_->setMaxLength(static_cast<int>(kRemarkMaxChars));
  remark_->setMinimumWidth(260);
  state_choice_ = new QComboBox(this);
  state_choice_->setObjectName("state");
  for (const TAccountStateChoice& c : AccountStateChoices())
    state_choice_->addItem(Q(c.name), c.state);
  rib_ = new QLabel(this);
  rib_->setObjectName("rib");
  rib_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  card_text_ = new QLabel(this);
  card_text_->setObjectName("cardText");
  card_text_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* form = new QFormLayout;
  form_ = form;
  form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
  auto row = [&](const char* text, QWidget* field) {
    auto* label = new QLabel(QString::fromUtf8(text), this);
    label->setBuddy(field);
    form->addRow(label, field);
    return label;
  };
  row("N&om (15 car.) :", name_);
  row("&Type :", type_);
  row("Solde &initial :", initial_);
  currency_label_ = row("De&vise :", currency_);
  card_number_label_ = row("N&um. de carte :", card_number_);
  linked_label_ = row("Compte &lié :", linked_);
  bank_label_ = row("Code &banque :", bank_);
  branch_label_ = row("Code &guichet :", branch_);
  number_label_ = row("N° &de compte :", number_);
  row("&Remarque :", remark_);
  row("Ét&at :", state_choice_);
  form->addRow(rib_);
  form->addRow(card_text_);

  new_button_ = Button("&Nouveau", this);
  delete_button_ = Button("Su&pprimer", this);
  modify_button_ = Button("&Modifier", this);
  ok_button_ = Button("O&K", this);
  cancel_button_ = Button("Annu&ler", this);
  // The button that leaves the editing: no field check while it has the focus.
  cancel_button_->setProperty("controlId", kBypassControlId);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {new_button_, delete_button_, modify_button_, ok_button_, cancel_button_}) {
    buttons->addWidget(b);
  }
  buttons->addStretch();

  auto* top = new QHBoxLayout;
  top->addWidget(list_, 1);
  top->addLayout(form, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(buttons);

  connect(new_button_, &QPushButton::clicked, this, &TComptesPropertyPage::NewAccount);
  connect(modify_button_, &QPushButton::clicked, this, &TComptesPropertyPage::ModifyAccount);
  connect(ok_button_, &QPushButton::clicked, this, [this] { Confirm(); });
  connect(cancel_button_, &QPushButton::clicked, this, &TComptesPropertyPage::CancelEdit);
  connect(delete_button_, &QPushButton::clicked, this, [this] { DeleteAccount(); });
  connect(list_, &QTreeWidget::currentItemChanged, this, [this] { SelectionChanged(); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &TComptesPropertyPage::ModifyAccount);
  connect(type_, &QComboBox::currentIndexChanged, this, [this] { TypeChanged(); });
  connect(linked_, &QComboBox::currentIndexChanged, this, [this] { LinkedChanged(); });
  for (QLineEdit* f : {bank_, branch_, number_, card_number_}) {
    connect(f, &QLineEdit::textChanged, this, [this] { ShowAccountTexts(nullptr); });
  }

  FillLinkedChoices();
  Fill(db_.CurrentAccount());
  SetEditing(false, false);
}

void TComptesPropertyPage::Refill() {
  if (!editing_) Fill(Selected());
}

TAccountRecord* TComptesPropertyPage::Selected() const {
  const std::uint32_t id = IdOf(list_->currentItem());
  return id ? db_.FindAccount(id) : nullptr;
}

void TComptesPropertyPage::SelectAccount(const TAccountRecord* account) {
  SelectItem(list_, account ? FindItem(list_, account->id) : nullptr);
}

TAccountFields TComptesPropertyPage::Fields() const {
  TAccountFields f;
  if (type_->currentIndex() >= 0) {
    f.type = static_cast<std::uint16_t>(type_->currentData().toUInt());
  }
  f.name = S(name_->text());
  f.initial_balance = S(initial_->text().trimmed());
  f.currency = S(currency_->currentText());
  f.card_number = S(card_number_->text());
  f.linked_account = linked_->currentIndex() >= 0 ? linked_->currentData().toUInt() : 0;
  f.bank_code = S(bank_->text());
  f.branch_code = S(branch_->text());
  f.account_number = S(number_->text());
  f.remark = S(remark_->text());
  f.state = static_cast<std::uint16_t>(state_choice_->currentData().toUInt());
  return f;
}

void TComptesPropertyPage::Fill(const TAccountRecord* select) {
  filling_ = true;
  const std::uint32_t wanted = select ? select->id : 0;
  list_->clear();
  for (const TAccountRecord& a : db_.Accounts().Records<TAccountRecord>()) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, Q(a.name));
    item->setText(1, Q(FormatAmount(a.balance)));
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    item->setToolTip(0, Q(AccountHeaderText(a)));
    item->setData(0, kIdRole, a.id);
    if (a.state != kAccountShown) {
      // Masqué and Clos accounts stay in the list, greyed.
      const QBrush grey = list_->palette().brush(QPalette::Disabled, QPalette::Text);
      item->setForeground(0, grey);
      item->setForeground(1, grey);
    }
  }
  FillLinkedChoices();
  filling_ = false;
  SelectItem(list_, wanted ? FindItem(list_, wanted) : nullptr);
  SelectionChanged();
}

void TComptesPropertyPage::FillLinkedChoices() {
  const std::uint32_t kept = linked_->currentIndex() >= 0 ? linked_->currentData().toUInt() : 0;
  const QSignalBlocker block(linked_);
  linked_->clear();
  int widest = 0;
  const QFontMetrics metrics(linked_->font());
  for (const TLinkedAccountChoice& c : LinkedAccountChoices(db_)) {
    linked_->addItem(Q(c.row), c.id);
    widest = std::max(widest, metrics.horizontalAdvance(Q(c.row)));
  }
  linked_->view()->setMinimumWidth(widest + 30);
  linked_->setCurrentIndex(linked_->findData(kept));
}

void TComptesPropertyPage::SelectionChanged() {
  if (filling_ || editing_) return;
  const TAccountRecord* account = Selected();
  ShowFields(account ? FieldsOf(*account) : TAccountFields{});
  if (!account) type_->setCurrentIndex(-1);
  ShowAccountTexts(account);
  SetEditing(false, false);
}

void TComptesPropertyPage::ShowFields(const TAccountFields& f) {
  name_->setText(Q(f.name));
  initial_->setText(Q(f.initial_balance));
  int currency = -1;
  for (int i = 0; i < currency_->count(); ++i) {
    if (EqualsNoCase(S(currency_->itemText(i)), f.currency)) currency = i;
  }
  if (currency < 0 && !f.currency.empty()) {
    // A currency the library does not know (kept as the book has it).
    currency_->addItem(Q(f.currency));
    currency = currency_->count() - 1;
  }
  currency_->setCurrentIndex(currency);
  card_number_->setText(Q(f.card_number));
  linked_->setCurrentIndex(linked_->findData(f.linked_account));
  bank_->setText(Q(f.bank_code));
  branch_->setText(Q(f.branch_code));
  number_->setText(Q(f.account_number));
  remark_->setText(Q(f.remark));
  const int state = state_choice_->findData(f.state);
  state_choice_->setCurrentIndex(state >= 0 ? state : 0);
  type_->setCurrentIndex(f.type ? type_->findData(*f.type) : -1);
  TypeChanged();
}

// The RIB (and the card number of a card account): of the account shown
// when browsing, of what is typed while editing.
void TComptesPropertyPage::ShowAccountTexts(const TAccountRecord* account) {
  TAccountRecord typed;
  if (!account) {
    const TAccountFields f = Fields();
    typed.account_type = f.type.value_or(kCurrentAccount);
    typed.card_number = f.card_number;
    if (typed.account_type == kCardAccount) {
      if (const TAccountRecord* linked =
              f.linked_account ? db_.FindAccount(f.linked_account) : nullptr) {
        typed.bank_code = linked->bank_code;
        typed.branch_code = linked->branch_code;
        typed.account_number = linked->account_number;
      }
    } else {
      typed.bank_code = f.bank_code;
      typed.branch_code = f.branch_code;
      typed.account_number = f.account_number;
    }
    account = &typed;
  }
  rib_->setText(Q(RibText(*account)));
  const bool card = account->account_type == kCardAccount && type_->currentIndex() >= 0;
  card_text_->setText(card ? Q(CardNumberText(*account)) : QString());
  card_text_->setVisible(card);
}

// Choosing the type shows the fields that apply: the card number and the
// current account for a card account, the bank identity for the others. A
// card account takes the currency of its current account: the box shows
// it, not to be chosen.
void TComptesPropertyPage::TypeChanged() {
  const bool chosen = type_->currentIndex() >= 0;
  const bool card = chosen && type_->currentData().toUInt() == kCardAccount;
  QFormLayout* form = form_;
  form->setRowVisible(card_number_, card);
  form->setRowVisible(linked_, card);
  for (QWidget* w : {static_cast<QWidget*>(bank_), static_cast<QWidget*>(branch_),
                     static_cast<QWidget*>(number_)}) {
    form->setRowVisible(w, chosen && !card);
  }
  currency_->setEnabled(editing_ && !card);
  if (card) LinkedChanged();
  ShowAccountTexts(editing_ ? nullptr : Selected());
}

void TComptesPropertyPage::LinkedChanged() {
  const bool card = type_->currentIndex() >= 0 && type_->currentData().toUInt() == kCardAccount;
  if (card && linked_->currentIndex() >= 0) {
    if (const TAccountRecord* linked = db_.FindAccount(linked_->currentData().toUInt())) {
      const int i = currency_->findText(Q(linked->currency), Qt::MatchFixedString);
      if (i >= 0) currency_->setCurrentIndex(i);
    }
  }
  if (editing_) ShowAccountTexts(nullptr);
}

void TComptesPropertyPage::SetEditing(bool editing, bool is_new) {
  editing_ = editing;
  editing_new_ = editing && is_new;
  for (QWidget* w :
       std::initializer_list<QWidget*>{name_, type_, initial_, card_number_, linked_, bank_,
                                       branch_, number_, remark_, state_choice_}) {
    w->setEnabled(editing);
  }
  const bool card = type_->currentIndex() >= 0 && type_->currentData().toUInt() == kCardAccount;
  currency_->setEnabled(editing && !card);
  list_->setEnabled(!editing);
  const bool has = Selected() != nullptr;
  new_button_->setEnabled(!editing);
  delete_button_->setEnabled(!editing && has);
  modify_button_->setEnabled(!editing && has);
  ok_button_->setEnabled(editing);
  cancel_button_->setEnabled(editing);
  ok_button_->setDefault(editing);
}

void TComptesPropertyPage::NewAccount() {
  if (editing_) return;
  SetEditing(true, true);
  // The account shown before stays current, for Annu&ler, but is no longer
  // marked: the fields are a new account's.
  list_->clearSelection();
  ShowFields(TAccountFields{});
  type_->setCurrentIndex(-1);
  ShowAccountTexts(nullptr);
  name_->setFocus();
}

void TComptesPropertyPage::ModifyAccount() {
  if (editing_ || !Selected()) return;
  SetEditing(true, false);
  TypeChanged();
  name_->setFocus();
  name_->selectAll();
}

bool TComptesPropertyPage::Confirm() {
  if (!editing_) return false;
  TAccountRecord* former = editing_new_ ? nullptr : Selected();
  if (!editing_new_ && !former) return false;
  const TAccountFields fields = Fields();
  TAccountConfirmResult result;
  if (!state_.Run([&] { result = ConfirmAccount(db_, former, fields); })) return false;
  // A refusal was shown by the rule: the typing stays for correction.
  if (result.outcome == TAccountConfirmOutcome::Refused) return false;
  state_.Owe(kRefreshAfterChange);
  state_.AccountsChanged();
  SetEditing(false, false);
  Fill(result.account);
  return true;
}

void TComptesPropertyPage::CancelEdit() {
  if (!editing_) return;
  SetEditing(false, false);
  if (QTreeWidgetItem* item = list_->currentItem()) item->setSelected(true);
  SelectionChanged();
}

bool TComptesPropertyPage::DeleteAccount() {
  if (editing_) return false;
  TAccountRecord* account = Selected();
  if (!account) return false;
  // The neighbour keeps the selection once the account is gone.
  QTreeWidgetItem* item = list_->currentItem();
  const int index = list_->indexOfTopLevelItem(item);
  bool deleted = false;
  if (!state_.Run([&] { deleted = DeleteAccountWithRules(db_, *account); })) return false;
  if (!deleted) return false;
  state_.Owe(kRefreshAfterChange);
  state_.AccountsChanged();
  const TAccountRecord* next = nullptr;
  int i = 0;
  for (const TAccountRecord& a : db_.Accounts().Records<TAccountRecord>()) {
    next = &a;
    if (i++ >= index) break;
  }
  Fill(next);
  return true;
}

// --- TCategoryNameDialog -----------------------------------------------------------

namespace {

// Thrown out of a name dialog's rule when the sheet's state caught a
// failure of the core: the dialog closes as cancelled, the sheet follows.
struct TRuleFailed {};

}  // namespace

TCategoryNameDialog::TCategoryNameDialog(TDatabase& db, TSheetState& state, TCategoryRecord* parent,
                                         QWidget* owner)
    : TNameDialog(parent ? QStringLiteral("Nouvelle sous-catégorie")
                         : QStringLiteral("Nouvelle catégorie"),
                  QStringLiteral("&Nom :"), {}, static_cast<int>(kCategoryNameMaxChars),
                  parent == nullptr, true,
                  [this, &db, &state, parent](const std::string& name, bool debit) {
                    if (!state.Run([&] { result_ = CreateCategory(db, name, parent, debit); })) {
                      throw TRuleFailed{};
                    }
                    return result_ != nullptr;
                  },
                  owner) {
  setObjectName("TCategoryNameDialog");
  NameField()->setObjectName("name");
  if (parent) {
    // Whose sub-category it will be.
    auto* under = new QLabel(QStringLiteral("Catégorie : ") + Q(parent->name), this);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, under);
  }
}

TCategoryNameDialog::TCategoryNameDialog(TDatabase& db, TSheetState& state,
                                         TCategoryRecord& category, QWidget* owner)
    : TNameDialog(Q(RenameCaption(category)), QStringLiteral("&Nom :"), Q(category.name),
                  static_cast<int>(kCategoryNameMaxChars), category.parent == 0,
                  category.debit != 0,
                  [this, &db, &state, &category](const std::string& name, bool debit) {
                    bool done = false;
                    if (!state.Run([&] {
                          done = category.parent == 0 ? RenameCategory(db, category, name, debit)
                                                      : RenameCategory(db, category, name);
                        })) {
                      throw TRuleFailed{};
                    }
                    if (done) result_ = &category;
                    return done;
                  },
                  owner) {
  setObjectName("TCategoryNameDialog");
  NameField()->setObjectName("name");
}

// --- TCatPropertyPage --------------------------------------------------------------

TCatPropertyPage::TCatPropertyPage(TDatabase& db, TSheetState& state, QWidget* parent)
    : QWidget(parent), db_(db), state_(state) {
  setObjectName("TCatPropertyPage");
  tree_ = MakeList({QStringLiteral("Catégorie"), QStringLiteral("Type")}, this);
  tree_->setObjectName("categories");
  tree_->setRootIsDecorated(true);
  // A double click modifies the category; the arrow opens and closes.
  tree_->setExpandsOnDoubleClick(false);
  tree_->header()->setStretchLastSection(false);
  tree_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  tree_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  new_main_ = Button("&Nouveau...", this);
  add_sub_ = Button("Ajouter une sous-catégorie", this);
  modify_main_ = Button("Modifier une catégorie", this);
  modify_sub_ = Button("Modifier une sous-catégorie", this);
  delete_ = Button("&Supprimer", this);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {new_main_, add_sub_, modify_main_, modify_sub_, delete_}) {
    buttons->addWidget(b);
  }
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(tree_, 1);
  layout->addLayout(buttons);

  connect(new_main_, &QPushButton::clicked, this, &TCatPropertyPage::NewCategory);
  connect(add_sub_, &QPushButton::clicked, this, &TCatPropertyPage::AddSubCategory);
  connect(modify_main_, &QPushButton::clicked, this, &TCatPropertyPage::ModifyCategory);
  connect(modify_sub_, &QPushButton::clicked, this, &TCatPropertyPage::ModifyCategory);
  connect(delete_, &QPushButton::clicked, this, [this] { DeleteCategory(); });
  connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
  connect(tree_, &QTreeWidget::itemDoubleClicked, this, &TCatPropertyPage::ModifyCategory);
  Fill();
}

TCategoryRecord* TCatPropertyPage::Selected() const {
  const std::uint32_t id = IdOf(tree_->currentItem());
  return id ? db_.FindCategory(id) : nullptr;
}

void TCatPropertyPage::SelectCategory(std::uint32_t id) {
  SelectItem(tree_, id ? FindItem(tree_, id) : nullptr);
  UpdateButtons();
}

void TCatPropertyPage::Fill() {
  const std::uint32_t kept = IdOf(tree_->currentItem());
  std::vector<std::uint32_t> expanded;
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    if (tree_->topLevelItem(i)->isExpanded()) expanded.push_back(IdOf(tree_->topLevelItem(i)));
  }
  const QSignalBlocker block(tree_);
  tree_->clear();
  for (TCategoryRecord& c : db_.Categories().Records<TCategoryRecord>()) {
    auto* item = new QTreeWidgetItem(tree_);
    item->setText(0, Q(c.name));
    item->setText(1, Q(CategoryKindText(c)));
    item->setData(0, kIdRole, c.id);
    if (const TRecordList* subs = c.SubCategoriesIfAny()) {
      for (const TCategoryRecord& s : subs->Records<TCategoryRecord>()) {
        auto* child = new QTreeWidgetItem(item);
        child->setText(0, Q(s.name));
        child->setData(0, kIdRole, s.id);
      }
    }
    if (std::find(expanded.begin(), expanded.end(), c.id) != expanded.end())
      item->setExpanded(true);
  }
  QTreeWidgetItem* item = kept ? FindItem(tree_, kept) : nullptr;
  if (item && item->parent()) item->parent()->setExpanded(true);
  SelectItem(tree_, item);
  UpdateButtons();
}

void TCatPropertyPage::UpdateButtons() {
  const TCategoryRecord* c = Selected();
  add_sub_->setEnabled(c && c->parent == 0);
  modify_main_->setEnabled(c && c->parent == 0);
  modify_sub_->setEnabled(c && c->parent != 0);
  delete_->setEnabled(c != nullptr);
}

void TCatPropertyPage::RunDialog(TCategoryNameDialog& dialog, unsigned bits) {
  if (dialog.exec() != QDialog::Accepted || !dialog.Result()) return;
  state_.Owe(bits);
  const std::uint32_t id = dialog.Result()->id;
  Fill();
  SelectCategory(id);
  if (QTreeWidgetItem* item = tree_->currentItem(); item && item->parent()) {
    item->parent()->setExpanded(true);
  }
}

void TCatPropertyPage::NewCategory() {
  TCategoryNameDialog dialog(db_, state_, nullptr, this);
  RunDialog(dialog, kRefreshSidePanes);
}

void TCatPropertyPage::AddSubCategory() {
  TCategoryRecord* parent = Selected();
  if (!parent || parent->parent != 0) return;
  TCategoryNameDialog dialog(db_, state_, parent, this);
  RunDialog(dialog, kRefreshSidePanes);
}

void TCatPropertyPage::ModifyCategory() {
  TCategoryRecord* category = Selected();
  if (!category) return;
  TCategoryNameDialog dialog(db_, state_, *category, this);
  // The operation list shows the categories' names: it is refilled too.
  RunDialog(dialog, kRefreshAfterChange);
}

bool TCatPropertyPage::DeleteCategory() {
  TCategoryRecord* category = Selected();
  if (!category) return false;
  const std::uint32_t parent = category->parent;
  bool deleted = false;
  if (!state_.Run([&] {
        deleted = DeleteCategoryWithRules(db_, *category, TCategoryDeleteFrom::ListPage);
      })) {
    return false;
  }
  if (!deleted) return false;
  state_.Owe(kRefreshAfterChange);
  Fill();
  SelectCategory(parent);
  return true;
}

// --- TAssociationPageDialog ------------------------------------------------------------

TAssociationPageDialog::TAssociationPageDialog(TDatabase& db, TSheetState& state,
                                       TAssociationRecord* association, QWidget* owner)
    : QDialog(owner), db_(db), state_(state), association_(association) {
  setWindowTitle(Q(kAssociationDialogCaption));
  setObjectName("TAssociationPageDialog");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  label_ = new QLineEdit(this);
  label_->setObjectName("label");
  label_->setMaxLength(static_cast<int>(kAssociationLabelMaxChars));
  label_->setMinimumWidth(280);
  category_ = new QComboBox(this);
  category_->setObjectName("category");
  category_->addItem(Q(kNoCategoryText), 0u);
  for (TCategoryRecord& c : db_.Categories().Records<TCategoryRecord>()) {
    category_->addItem(Q(CategoryPairText(db_, c.id)), c.id);
    if (const TRecordList* subs = c.SubCategoriesIfAny()) {
      for (const TCategoryRecord& s : subs->Records<TCategoryRecord>()) {
        category_->addItem(Q(CategoryPairText(db_, s.id)), s.id);
      }
    }
  }
  form->addRow(QStringLiteral("&Libellé :"), label_);
  form->addRow(QStringLiteral("&Catégorie :"), category_);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
  if (association) {
    label_->setText(Q(association->label));
    ChooseCategory(association->category);
  }
  label_->setFocus();
}

void TAssociationPageDialog::ChooseCategory(std::uint32_t category) {
  const int i = category_->findData(category);
  category_->setCurrentIndex(i >= 0 ? i : 0);
}

void TAssociationPageDialog::accept() {
  // The fragment is matched as typed: its spaces count.
  const std::string label = S(label_->text());
  const std::uint32_t category = category_->currentData().toUInt();
  bool done = false;
  const bool ran = state_.Run([&] {
    if (association_) {
      done = ModifyAssociationChecked(db_, *association_, label, category);
      if (done) result_ = association_;
    } else {
      result_ = AddAssociationChecked(db_, label, category);
      done = result_ != nullptr;
    }
  });
  if (!ran) {
    QDialog::reject();
    return;
  }
  if (!done) {
    label_->setFocus();
    label_->selectAll();
    return;
  }
  QDialog::accept();
}

// --- TAssocPropertyPage ------------------------------------------------------------

TAssocPropertyPage::TAssocPropertyPage(TDatabase& db, TSheetState& state, QWidget* parent)
    : QWidget(parent), db_(db), state_(state) {
  setObjectName("TAssocPropertyPage");
  list_ = MakeList({QStringLiteral("Libellé"), QStringLiteral("Catégorie")}, this);
  list_->setObjectName("associations");
  list_->header()->setSectionResizeMode(0, QHeaderView::Interactive);
  list_->header()->resizeSection(0, 230);
  auto* add = Button("&Ajouter...", this);
  modify_ = Button("&Modifier...", this);
  delete_ = Button("&Supprimer", this);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {add, modify_, delete_}) buttons->addWidget(b);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  connect(add, &QPushButton::clicked, this, &TAssocPropertyPage::AddAssociation);
  connect(modify_, &QPushButton::clicked, this, &TAssocPropertyPage::ModifyAssociation);
  connect(delete_, &QPushButton::clicked, this, [this] { DeleteAssociation(); });
  connect(list_, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &TAssocPropertyPage::ModifyAssociation);
  Fill();
}

TAssociationRecord* TAssocPropertyPage::Selected() const {
  const std::uint32_t id = IdOf(list_->currentItem());
  if (!id || !db_.AssociationsLoaded()) return nullptr;
  TRecordNode* node = db_.LoadAssociations().FindById(id);
  return node ? &node->As<TAssociationRecord>() : nullptr;
}

void TAssocPropertyPage::SelectAssociation(std::uint32_t id) {
  SelectItem(list_, id ? FindItem(list_, id) : nullptr);
  UpdateButtons();
}

void TAssocPropertyPage::Fill() {
  const std::uint32_t kept = IdOf(list_->currentItem());
  const QSignalBlocker block(list_);
  list_->clear();
  // The associations are read from the book on first use.
  state_.Run([&] {
    for (const TAssociationRecord& a : db_.LoadAssociations().Records<TAssociationRecord>()) {
      auto* item = new QTreeWidgetItem(list_);
      item->setText(0, Q(a.label));
      const std::string category = CategoryPairText(db_, a.category);
      item->setText(1, Q(category.empty() ? kNoCategoryText : category));
      item->setData(0, kIdRole, a.id);
    }
  });
  SelectItem(list_, kept ? FindItem(list_, kept) : nullptr);
  UpdateButtons();
}

void TAssocPropertyPage::UpdateButtons() {
  const bool has = list_->currentItem() != nullptr;
  modify_->setEnabled(has);
  delete_->setEnabled(has);
}

void TAssocPropertyPage::RunDialog(TAssociationPageDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || !dialog.Result()) return;
  const std::uint32_t id = dialog.Result()->id;
  Fill();
  SelectAssociation(id);
}

void TAssocPropertyPage::AddAssociation() {
  TAssociationPageDialog dialog(db_, state_, nullptr, this);
  RunDialog(dialog);
}

void TAssocPropertyPage::ModifyAssociation() {
  TAssociationRecord* association = Selected();
  if (!association) return;
  TAssociationPageDialog dialog(db_, state_, association, this);
  RunDialog(dialog);
}

bool TAssocPropertyPage::DeleteAssociation() {
  TAssociationRecord* association = Selected();
  if (!association) return false;
  const int index = list_->indexOfTopLevelItem(list_->currentItem());
  bool deleted = false;
  if (!state_.Run([&] { deleted = DeleteAssociationAsked(db_, *association); })) return false;
  if (!deleted) return false;
  Fill();
  const int count = list_->topLevelItemCount();
  if (count > 0) SelectItem(list_, list_->topLevelItem(std::min(index, count - 1)));
  UpdateButtons();
  return true;
}

// --- TProjectDialog ----------------------------------------------------------------

TProjectDialog::TProjectDialog(TDatabase& db, TSheetState& state, TProjectRecord* project,
                               QWidget* owner)
    : TNameDialog(Q(project ? kRenameProjectCaption : kNewProjectCaption),
                  QStringLiteral("&Libellé :"), project ? Q(project->label) : QString(),
                  static_cast<int>(kProjectLabelMaxChars), false, true,
                  [this, &db, &state, project](const std::string& label, bool) {
                    bool done = false;
                    if (!state.Run([&] {
                          if (project) {
                            done = ledgora::RenameProject(db, *project, label);
                            if (done) result_ = project;
                          } else {
                            result_ = CreateProject(db, label);
                            done = result_ != nullptr;
                          }
                        })) {
                      throw TRuleFailed{};
                    }
                    return done;
                  },
                  owner) {
  setObjectName("TProjectDialog");
  LabelField()->setObjectName("label");
}

// --- TProjetPropertyPage -----------------------------------------------------------

TProjetPropertyPage::TProjetPropertyPage(TDatabase& db, TSheetState& state, QWidget* parent)
    : QWidget(parent), db_(db), state_(state) {
  setObjectName("TProjetPropertyPage");
  list_ = MakeList({QStringLiteral("Projet"), QStringLiteral("État")}, this);
  list_->setObjectName("projects");
  list_->header()->setStretchLastSection(false);
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  auto* add = Button("&Nouveau...", this);
  rename_ = Button("&Renommer...", this);
  delete_ = Button("&Supprimer", this);
  close_ = Button("&Clore le projet...", this);
  auto* buttons = new QVBoxLayout;
  for (QPushButton* b : {add, rename_, delete_, close_}) buttons->addWidget(b);
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
  connect(add, &QPushButton::clicked, this, &TProjetPropertyPage::NewProject);
  connect(rename_, &QPushButton::clicked, this, &TProjetPropertyPage::RenameProject);
  connect(delete_, &QPushButton::clicked, this, [this] { DeleteProject(); });
  connect(close_, &QPushButton::clicked, this, [this] { CloseProject(); });
  connect(list_, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &TProjetPropertyPage::RenameProject);
  Fill();
}

TProjectRecord* TProjetPropertyPage::Selected() const {
  const std::uint32_t id = IdOf(list_->currentItem());
  return id ? db_.FindProject(id) : nullptr;
}

void TProjetPropertyPage::SelectProject(std::uint32_t id) {
  SelectItem(list_, id ? FindItem(list_, id) : nullptr);
  UpdateButtons();
}

void TProjetPropertyPage::Fill() {
  const std::uint32_t kept = IdOf(list_->currentItem());
  const QSignalBlocker block(list_);
  list_->clear();
  for (const TProjectRecord& p : db_.Projects().Records<TProjectRecord>()) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, Q(p.label));
    item->setText(1, p.open ? QStringLiteral("Ouvert") : QStringLiteral("Clos"));
    item->setData(0, kIdRole, p.id);
    if (!p.open) {
      const QBrush grey = list_->palette().brush(QPalette::Disabled, QPalette::Text);
      item->setForeground(0, grey);
      item->setForeground(1, grey);
    }
  }
  SelectItem(list_, kept ? FindItem(list_, kept) : nullptr);
  UpdateButtons();
}

void TProjetPropertyPage::UpdateButtons() {
  const TProjectRecord* p = Selected();
  rename_->setEnabled(p != nullptr);
  delete_->setEnabled(p != nullptr);
  close_->setEnabled(p != nullptr && p->open);
}

void TProjetPropertyPage::NewProject() {
  TProjectDialog dialog(db_, state_, nullptr, this);
  if (dialog.exec() != QDialog::Accepted || !dialog.Result()) return;
  state_.Owe(kRefreshSidePanes);
  const std::uint32_t id = dialog.Result()->id;
  Fill();
  SelectProject(id);
}

void TProjetPropertyPage::RenameProject() {
  TProjectRecord* project = Selected();
  if (!project) return;
  TProjectDialog dialog(db_, state_, project, this);
  if (dialog.exec() != QDialog::Accepted || !dialog.Result()) return;
  // The operation list shows the projects' labels: it is refilled too.
  state_.Owe(kRefreshAfterChange);
  Fill();
  SelectProject(project->id);
}

bool TProjetPropertyPage::DeleteProject() {
  TProjectRecord* project = Selected();
  if (!project) return false;
  const int index = list_->indexOfTopLevelItem(list_->currentItem());
  bool deleted = false;
  if (!state_.Run([&] { deleted = DeleteProjectAsked(db_, *project); })) return false;
  if (!deleted) return false;
  state_.Owe(kRefreshAfterChange);
  Fill();
  const int count = list_->topLevelItemCount();
  if (count > 0) SelectItem(list_, list_->topLevelItem(std::min(index, count - 1)));
  UpdateButtons();
  return true;
}

bool TProjetPropertyPage::CloseProject() {
  TProjectRecord* project = Selected();
  if (!project || !project->open) return false;
  bool closed = false;
  if (!state_.Run([&] { closed = CloseProjectAsked(db_, *project); })) return false;
  if (!closed) return false;
  state_.Owe(kRefreshSidePanes);
  Fill();
  return true;
}

}  // namespace ledgora::app
