#include "app/account_bar.h"

#include <QEvent>
#include <QHelpEvent>
#include <QToolTip>

#include "operations/account_rules.h"
#include "storage/database.h"

namespace ledgora::app {


CComptesBouton::CComptesBouton(TAccountRecord& account, QWidget* parent)
    : QToolButton(parent), account_(account) {
  setText(QString::fromStdString(account.name));
  setCheckable(true);
  setAutoRaise(true);
  setToolButtonStyle(Qt::ToolButtonTextOnly);
}

bool CComptesBouton::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    QToolTip::showText(help->globalPos(), QString::fromStdString(AccountBarTip(account_)), this);
    return true;
  }
  return QToolButton::event(e);
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
  db_ = db;
  if (db == nullptr) return;
  for (TRecordNode* node = db->Accounts().Head();
       node != nullptr && buttons_.size() < kMaxAccountButtons; node = node->Next()) {
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
  if (db_ == nullptr || step == 0) return nullptr;
  return NextShownAccount(*db_, Selected(), step > 0);
}

bool CComptesBar::Matches(const TDatabase* db) const {
  if (db != db_) return false;
  if (db == nullptr) return buttons_.empty();
  std::size_t i = 0;
  for (const TRecordNode* node = db->Accounts().Head();
       node != nullptr && i < kMaxAccountButtons; node = node->Next(), ++i) {
    if (i >= buttons_.size() || &buttons_[i]->Account() != &node->Record()) return false;
  }
  return i == buttons_.size();
}

void CComptesBar::UpdateTexts() {
  for (CComptesBouton* b : buttons_) {
    const QString name = QString::fromStdString(b->Account().name);
    if (b->text() != name) b->setText(name);
  }
}

}  // namespace ledgora::app
