#include "app/list/linked_operations_window.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "foundation/amount.h"
#include "operations/category_rules.h"
#include "operations/classification.h"

namespace ledgora {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

enum TColumn { kAccount, kDate, kLabel, kClassification, kProject, kAmount, kColumns };

}  // namespace

std::vector<TLinkedRow> LinkedRows(const TDatabase& db, const std::vector<TLinkedOperation>& ops) {
  std::vector<TLinkedRow> rows;
  rows.reserve(ops.size());
  for (const TLinkedOperation& linked : ops) {
    if (!linked.account || !linked.op) continue;
    const TOperationRecord& op = *linked.op;
    TLinkedRow row;
    row.account = linked.account->name;
    row.date = op.date.Format(KD_STANDARD);
    row.label = FullLabel(op);
    row.classification = ClassificationText(db, *linked.account, op, false);
    row.project = ProjectLabel(db, op.project);
    row.amount = FormatAmount(op.amount) + " " + linked.account->currency;
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string CategoryDetailCaption(const TDatabase& db, std::uint32_t category) {
  return "Opérations liées à la catégorie '" + CategoryPairText(db, category) + "'";
}

std::string ProjectDetailCaption(const TProjectRecord& project) {
  return "Opérations liées au projet '" + project.label + "'";
}

std::string LinkedCountText(std::size_t count) {
  if (count == 0) return "Aucune opération";
  if (count == 1) return "1 opération";
  return std::to_string(count) + " opérations";
}

TLinkedOperationsWindow::TLinkedOperationsWindow(const QString& caption,
                                                 std::vector<TLinkedRow> rows, QWidget* parent)
    : QDialog(parent),
      rows_(std::move(rows)),
      table_(new QTreeWidget(this)),
      count_(new QLabel(this)) {
  setWindowTitle(caption);
  table_->setColumnCount(kColumns);
  table_->setHeaderLabels({QStringLiteral("Compte"), QStringLiteral("Date"),
                           QStringLiteral("Libellé"), QStringLiteral("Classement"),
                           QStringLiteral("Projet"), QStringLiteral("Montant")});
  table_->setRootIsDecorated(false);
  table_->setUniformRowHeights(true);
  table_->setAlternatingRowColors(true);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->headerItem()->setTextAlignment(kAmount, Qt::AlignRight | Qt::AlignVCenter);
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(rows_.size()));
  for (const TLinkedRow& row : rows_) {
    auto* item = new QTreeWidgetItem({Q(row.account), Q(row.date), Q(row.label),
                                      Q(row.classification), Q(row.project), Q(row.amount)});
    item->setTextAlignment(kAmount, Qt::AlignRight | Qt::AlignVCenter);
    if (!row.amount.empty() && row.amount[0] == '-')
      item->setForeground(kAmount, QColor(170, 0, 0));
    items.push_back(item);
  }
  table_->addTopLevelItems(items);
  // Widths from the texts (a few hundred rows at most are measured).
  const QFontMetrics metrics(table_->font());
  const int widths[kColumns] = {130, 80, 240, 190, 110, 110};
  for (int c = 0; c < kColumns; ++c) {
    int width = std::max(widths[c], metrics.horizontalAdvance(table_->headerItem()->text(c)) + 24);
    for (qsizetype i = 0; i < items.size() && i < 500; ++i) {
      width = std::max(width, metrics.horizontalAdvance(items[i]->text(c)) + 16);
    }
    table_->setColumnWidth(c, std::min(width, 400));
  }
  count_->setText(Q(LinkedCountText(rows_.size())));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("&Fermer"));
  connect(buttons, &QDialogButtonBox::rejected, this, &TLinkedOperationsWindow::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_, 1);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(count_, 1);
  bottom->addWidget(buttons);
  layout->addLayout(bottom);
  int total = 0;
  for (int c = 0; c < kColumns; ++c) total += table_->columnWidth(c);
  resize(std::min(total + 40, 1100), 420);
}

}  // namespace ledgora
