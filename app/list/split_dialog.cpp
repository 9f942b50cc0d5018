#include "app/list/split_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/validator.h"

#include "app/list/qt_field_validator.h"
#include "app/list/storage_errors.h"
#include "foundation/amount.h"
#include "operations/classification.h"
#include "operations/entry_fields.h"

namespace ledgora {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QComboBox* CategoryCombo(const TDatabase& db, std::uint32_t selected, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->addItem(QString(), 0u);
  for (TCategoryRecord& top : db.Categories().Records<TCategoryRecord>()) {
    combo->addItem(Q(top.name), top.id);
    if (const TRecordList* subs = top.SubCategoriesIfAny()) {
      for (TCategoryRecord& sub : subs->Records<TCategoryRecord>()) {
        combo->addItem(Q(CategoryText(db, sub.id)), sub.id);
      }
    }
  }
  const int at = combo->findData(selected);
  combo->setCurrentIndex(at < 0 ? 0 : at);
  return combo;
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
  // The button that cancels: while it has the focus the validators accept all.
  buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", kBypassControlId);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

// --- The line dialog ------------------------------------------------------------------------

TSplitLineDialog::TSplitLineDialog(const TDatabase& db, const TSplitLine& proposed, TUserPort& port,
                                   QWidget* parent)
    : QDialog(parent), db_(db), port_(port), line_(proposed) {
  setWindowTitle(QStringLiteral("Ligne de ventilation"));
  category_ = CategoryCombo(db_, proposed.category, this);
  amount_ = new QLineEdit(Q(AmountFieldText(std::max(0.0, proposed.amount))), this);
  AttachAmountValidator(*amount_, false, &port_);
  amount_->setAlignment(Qt::AlignRight);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Catégorie :"), category_);
  form->addRow(QStringLiteral("Montant :"), amount_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
}

void TSplitLineDialog::accept() {
  const std::string text = amount_->text().toStdString();
  auto validator = MakeAmountValidator(false, &port_);
  validator->SetMode(TRequiredMode::Required);
  if (!validator->Validate(text)) return;
  line_.amount = ParseAmount(text);
  line_.category = category_->currentData().toUInt();
  QDialog::accept();
}

// --- The split dialog -----------------------------------------------------------------------

TSplitDialog::TSplitDialog(TSplitRule& rule, TSplitDraft draft, const TDatabase& db,
                           TUserPort& port, QWidget* parent)
    : QDialog(parent), rule_(rule), draft_(std::move(draft)), db_(db), port_(port) {
  setWindowTitle(Q(draft_.Title()));
  category_ = CategoryCombo(db_, 0, this);
  lines_ = new QTableWidget(0, 2, this);
  lines_->setHorizontalHeaderLabels({QStringLiteral("Catégorie"), QStringLiteral("Montant")});
  lines_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
  lines_->verticalHeader()->hide();
  lines_->setSelectionBehavior(QAbstractItemView::SelectRows);
  lines_->setSelectionMode(QAbstractItemView::SingleSelection);
  lines_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  remaining_ = new QLabel(this);

  auto* add = new QPushButton(QStringLiteral("&Ajouter..."), this);
  auto* remove = new QPushButton(QStringLiteral("&Supprimer"), this);
  connect(add, &QPushButton::clicked, this, &TSplitDialog::OpenLineDialog);
  connect(remove, &QPushButton::clicked, this, &TSplitDialog::RemoveSelectedLine);

  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Catégorie :"), this));
  top->addWidget(category_, 1);
  top->addWidget(add);
  top->addWidget(remove);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("Montant de l'opération : ") + Q(FormatAmount(draft_.Magnitude())), this));
  layout->addLayout(top);
  layout->addWidget(lines_, 1);
  layout->addWidget(remaining_);
  layout->addWidget(OkCancel(this));
  resize(440, 320);
  ShowLines();
}

void TSplitDialog::ShowLines() {
  lines_->setRowCount(static_cast<int>(draft_.Lines().size()));
  int row = 0;
  for (const TSplitLine& line : draft_.Lines()) {
    const std::string category = line.category ? CategoryText(db_, line.category) : "Divers";
    lines_->setItem(row, 0, new QTableWidgetItem(Q(category)));
    auto* amount = new QTableWidgetItem(Q(FormatAmount(line.amount)));
    amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lines_->setItem(row, 1, amount);
    ++row;
  }
  remaining_->setText(QStringLiteral("Reste à ventiler : ") + Q(FormatAmount(draft_.Remaining())));
}

bool TSplitDialog::AddLine(const TSplitLine& line) {
  if (!draft_.AddLine(line)) return false;
  ShowLines();
  return true;
}

bool TSplitDialog::RemoveLine(int index) {
  if (index < 0 || !draft_.RemoveLine(static_cast<std::size_t>(index))) return false;
  ShowLines();
  return true;
}

void TSplitDialog::OpenLineDialog() {
  TSplitLineDialog dialog(db_, draft_.ProposedLine(category_->currentData().toUInt()), port_, this);
  if (dialog.exec() == QDialog::Accepted) AddLine(dialog.Line());
}

void TSplitDialog::RemoveSelectedLine() {
  RemoveLine(lines_->currentRow());
}

void TSplitDialog::accept() {
  bool confirmed = false;
  const bool ok = ShowingStorageErrors(port_, [&] { confirmed = rule_.Confirm(draft_); });
  if (ok && !confirmed) {
    // No to the adjustment question: back to the lines, unless the
    // operation went meanwhile.
    if (db_.FindOperation(draft_.OperationId())) {
      ShowLines();
      return;
    }
  }
  applied_ = ok && confirmed;
  QDialog::accept();
}

}  // namespace ledgora
