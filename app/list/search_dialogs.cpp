#include "app/list/search_dialogs.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/list/qt_field_validator.h"
#include "foundation/cp1252.h"
#include "operations/entry_fields.h"

namespace ledgora {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// What the dialogs keep while the program runs.
std::string& KeptLabel() {
  static std::string text;
  return text;
}
std::string& KeptAmount() {
  static std::string text;
  return text;
}

bool Blank(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

// --- The common part --------------------------------------------------------------------------

TSearchDialog::TSearchDialog(const QString& prompt, TSearchRunner runner, QWidget* parent)
    : QDialog(parent),
      loaded_(TSearchSettings::Load()),
      runner_(std::move(runner)),
      field_(new QLineEdit(this)),
      up_(new QRadioButton(QStringLiteral("&Haut"), this)),
      down_(new QRadioButton(QStringLiteral("&Bas"), this)),
      all_accounts_(new QCheckBox(QStringLiteral("Recherche sur &tous les comptes"), this)),
      next_(new QPushButton(QStringLiteral("&Suivant"), this)),
      close_(new QPushButton(QStringLiteral("&Fermer"), this)),
      status_(new QLabel(Q(kSearchReady), this)),
      prompt_(prompt) {
  setWindowTitle(Q(kSearchCaption));
  setModal(false);
  up_->setChecked(loaded_.up);
  down_->setChecked(!loaded_.up);
  all_accounts_->setChecked(loaded_.all_accounts);
  next_->setDefault(true);
  next_->setAutoDefault(true);
  close_->setAutoDefault(false);
  close_->setProperty("controlId", kBypassControlId);
  status_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  status_->setContentsMargins(4, 1, 4, 1);
  connect(next_, &QPushButton::clicked, this, &TSearchDialog::Next);
  connect(close_, &QPushButton::clicked, this, &QDialog::close);
}

void TSearchDialog::Build(QWidget* extra) {
  auto* prompt = new QLabel(prompt_, this);
  prompt->setBuddy(field_);
  field_->setMinimumWidth(260);

  auto* direction = new QGroupBox(QStringLiteral("Direction"), this);
  auto* dir_layout = new QHBoxLayout(direction);
  dir_layout->addWidget(up_);
  dir_layout->addWidget(down_);

  auto* options = new QVBoxLayout;
  if (extra) options->addWidget(extra);
  options->addWidget(all_accounts_);
  options->addStretch(1);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(next_);
  buttons->addWidget(close_);
  buttons->addStretch(1);

  auto* grid = new QGridLayout;
  grid->addWidget(prompt, 0, 0, 1, 2);
  grid->addWidget(field_, 1, 0, 1, 2);
  grid->addWidget(direction, 2, 0, Qt::AlignTop);
  grid->addLayout(options, 2, 1);
  grid->setColumnStretch(1, 1);

  auto* top = new QHBoxLayout;
  top->addLayout(grid, 1);
  top->addLayout(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(status_);
  setFixedHeight(sizeHint().height());
}

TSearchSettings TSearchDialog::Settings() const {
  TSearchSettings s = loaded_;
  s.up = up_->isChecked();
  s.all_accounts = all_accounts_->isChecked();
  return s;
}

void TSearchDialog::Next() {
  const std::string text = field_->text().toStdString();
  // An empty field does nothing (the status line included).
  if (Blank(text) || !Check(text)) return;
  TSearchResult result = runner_ ? runner_(text, Settings()) : TSearchResult{};
  if (!result.searched) return;
  Remember(text);
  status_->setText(Q(result.status));
  last_ = std::move(result);
}

// --- By label -----------------------------------------------------------------------------------

TLabelSearchDialog::TLabelSearchDialog(TSearchRunner runner, QWidget* parent)
    : TSearchDialog(QStringLiteral("&Libellé de l'opération :"), std::move(runner), parent),
      case_(new QCheckBox(QStringLiteral("&Différencier majuscules/minuscules"), this)) {
  Field()->setMaxLength(static_cast<int>(kSearchLabelMaxChars));
  Field()->setText(Q(KeptLabel()));
  Field()->selectAll();
  case_->setChecked(loaded_.case_sensitive);
  Build(case_);
}

TSearchSettings TLabelSearchDialog::Settings() const {
  TSearchSettings s = TSearchDialog::Settings();
  s.case_sensitive = case_->isChecked();
  return s;
}

std::string TLabelSearchDialog::LastText() {
  return KeptLabel();
}

void TLabelSearchDialog::Remember(const std::string& text) {
  KeptLabel() = std::string(Utf8Prefix(text, kSearchLabelMaxChars));
}

// --- By amount ----------------------------------------------------------------------------------

TAmountSearchDialog::TAmountSearchDialog(TSearchRunner runner, TUserPort& port, QWidget* parent)
    : TSearchDialog(QStringLiteral("&Montant de l'opération :"), std::move(runner), parent),
      port_(port) {
  // A debit and a credit of the same size both match: the sign may be typed.
  AttachAmountValidator(*Field(), true, &port_);
  Field()->setAlignment(Qt::AlignRight);
  Field()->setText(Q(KeptAmount()));
  Field()->selectAll();
  Build(nullptr);
}

TSearchSettings TAmountSearchDialog::Settings() const {
  TSearchSettings s = TSearchDialog::Settings();
  s.case_sensitive = TSearchSettings::Load().case_sensitive;
  return s;
}

std::string TAmountSearchDialog::LastAmount() {
  return KeptAmount();
}

bool TAmountSearchDialog::Check(const std::string& text) {
  // The mask's final verdict ("12," or a lone "-" are refused with its
  // message); the core reads the text as an amount only then.
  return MakeAmountValidator(true, &port_)->Validate(text);
}

void TAmountSearchDialog::Remember(const std::string& text) {
  KeptAmount() = text;
}

}  // namespace ledgora
