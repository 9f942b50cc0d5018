#include "app/account_bar.h"

#include "storage/database.h"

namespace ledgora::app {

namespace {

QString TypeText(const TAccountRecord& account) {
  switch (account.account_type) {
    case 1:
      return "Carte";
    case 2:
      return "Dépôt";
    default:
      return "Courant";
  }
}

}  // namespace

CComptesBouton::CComptesBouton(TAccountRecord& account, QWidget* parent)
    : QToolButton(parent), account_(account) {
  setText(QString::fromStdString(account.name));
  setToolTip(QString("%1 (%2, %3)")
                 .arg(QString::fromStdString(account.name), TypeText(account),
                      QString::fromStdString(account.currency)));
  setCheckable(true);
  setAutoRaise(true);
  setToolButtonStyle(Qt::ToolButtonTextOnly);
}

CComptesBar::CComptesBar(QWidget* parent) : QToolBar("Comptes", parent) {
  setObjectName("CComptesBar");
  setMovable(false);
  group_.setExclusive(true);
  connect(&group_, &QButtonGroup::buttonClicked, this, [this](QAbstractButton* button) {
    emit AccountClicked(&static_cast<CComptesBouton*>(button)->Account());
  });
}

void CComptesBar::Fill(TDatabase* db) {
  for (CComptesBouton* b : buttons_) group_.removeButton(b);
  for (QAction* a : actions_) {
    removeAction(a);
    delete a;
  }
  buttons_.clear();
  actions_.clear();
  if (db == nullptr) return;
  for (TRecordNode* node = db->Accounts().Head(); node != nullptr; node = node->Next()) {
    auto* button = new CComptesBouton(node->As<TAccountRecord>(), this);
    group_.addButton(button);
    buttons_.push_back(button);
    actions_.push_back(addWidget(button));
  }
}

void CComptesBar::Select(const TAccountRecord* account) {
  group_.setExclusive(false);
  for (CComptesBouton* b : buttons_) b->setChecked(&b->Account() == account);
  group_.setExclusive(true);
}

TAccountRecord* CComptesBar::Selected() const {
  for (CComptesBouton* b : buttons_) {
    if (b->isChecked()) return &b->Account();
  }
  return nullptr;
}

TAccountRecord* CComptesBar::Neighbour(int step) const {
  const int n = static_cast<int>(buttons_.size());
  int current = -1;
  for (int i = 0; i < n; ++i) {
    if (buttons_[i]->isChecked()) current = i;
  }
  if (current < 0) return n > 0 ? &buttons_[0]->Account() : nullptr;
  const int next = current + step;
  if (next < 0 || next >= n) return nullptr;
  return &buttons_[next]->Account();
}

}  // namespace ledgora::app
