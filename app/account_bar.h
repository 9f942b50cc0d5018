// CComptesBar: the account bar, one CComptesBouton per account of the open
// book in book order; the button of the active account is down.
#pragma once

#include <QButtonGroup>
#include <QToolBar>
#include <QToolButton>
#include <vector>

namespace ledgora {
class TAccountRecord;
class TDatabase;
}  // namespace ledgora

namespace ledgora::app {

class CComptesBouton : public QToolButton {
  Q_OBJECT
 public:
  CComptesBouton(TAccountRecord& account, QWidget* parent);
  TAccountRecord& Account() const { return account_; }

 private:
  TAccountRecord& account_;
};

class CComptesBar : public QToolBar {
  Q_OBJECT
 public:
  explicit CComptesBar(QWidget* parent = nullptr);

  // One button per account of db (none for null).
  void Fill(TDatabase* db);
  // Puts the button of account down (null: none).
  void Select(const TAccountRecord* account);
  // The account of the button down, or null.
  TAccountRecord* Selected() const;
  // The account one button before or after the selected one (step -1 or
  // +1), or null at either end.
  TAccountRecord* Neighbour(int step) const;
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }

 signals:
  void AccountClicked(ledgora::TAccountRecord* account);

 private:
  QButtonGroup group_;
  std::vector<CComptesBouton*> buttons_;
  std::vector<QAction*> actions_;
};

}  // namespace ledgora::app
