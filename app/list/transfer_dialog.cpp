#include "app/list/transfer_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "foundation/validator.h"

#include "app/list/storage_errors.h"
#include "operations/operation_list.h"
#include "storage/database.h"

namespace ledgora {

namespace {
QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
}  // namespace

TTransferDialog::TTransferDialog(TTransferRule& rule, std::size_t row, TUserPort& port,
                                 QWidget* parent)
    : QDialog(parent), rule_(rule), row_(row), port_(port), choices_(new QListWidget(this)) {
  setWindowTitle(QStringLiteral("Virement"));
  candidates_ = rule_.Candidates(row_);
  choices_->addItem(Q(kNoTransferChoice));
  for (const TAccountRecord* account : candidates_) choices_->addItem(Q(account->name));
  choices_->setCurrentRow(candidates_.empty() ? 0 : 1);
  connect(choices_, &QListWidget::itemDoubleClicked, this, &TTransferDialog::accept);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
  // The button that cancels: while it has the focus the validators accept all.
  buttons->button(QDialogButtonBox::Cancel)->setProperty("controlId", kBypassControlId);
  connect(buttons, &QDialogButtonBox::accepted, this, &TTransferDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &TTransferDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Compte du virement :"), this));
  layout->addWidget(choices_);
  layout->addWidget(buttons);
  resize(320, 280);
}

TAccountRecord* TTransferDialog::Chosen() const {
  const int i = choices_->currentRow();
  if (i <= 0 || static_cast<std::size_t>(i) > candidates_.size()) return nullptr;
  return candidates_[static_cast<std::size_t>(i - 1)];
}

void TTransferDialog::accept() {
  TAccountRecord* target = Chosen();
  applied_ = ShowingStorageErrors(port_, [&] { return rule_.Choose(row_, target); });
  QDialog::accept();
}

QMenu* BuildTransferMenu(TTransferRule& rule, std::size_t row, QWidget* parent,
                         std::function<void(TAccountRecord*)> chosen) {
  auto* menu = new QMenu(parent);
  QAction* none = menu->addAction(Q(kNoTransferChoice));
  QObject::connect(none, &QAction::triggered, menu, [chosen] { chosen(nullptr); });
  std::vector<TAccountRecord*> candidates = rule.Candidates(row);
  if (candidates.size() > kMaxTransferMenuAccounts) candidates.resize(kMaxTransferMenuAccounts);
  if (!candidates.empty()) menu->addSeparator();
  for (TAccountRecord* account : candidates) {
    QAction* action = menu->addAction(Q(account->name));
    QObject::connect(action, &QAction::triggered, menu, [chosen, account] { chosen(account); });
  }
  return menu;
}

}  // namespace ledgora
