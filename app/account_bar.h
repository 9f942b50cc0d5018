// CComptesBar: the account bar, one CComptesBouton per account of the open
// book in book order (at most 250); the button of the active account is
// down. Every account has its button, whatever its state; the arrow buttons
// of the toolbar step to the previous or next account that is Affiché.
#pragma once

#include <QButtonGroup>
#include <QToolBar>
#include <QToolButton>
#include <cstddef>
#include <vector>

namespace ledgora {
class TAccountRecord;
class TDatabase;
}  // namespace ledgora

namespace ledgora::app {

// Buttons beyond this many are not shown.
inline constexpr std::size_t kMaxAccountButtons = 250;

class CComptesBouton : public QToolButton {
  Q_OBJECT
 public:
  CComptesBouton(TAccountRecord& account, QWidget* parent);
  TAccountRecord& Account() const { return account_; }

 protected:
  // The tip is made when it is shown: "%s [%s %s]" (remark, balance,
  // currency), so it follows every change of the balance.
  bool event(QEvent* e) override;

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
  // The account of the arrow buttons: the previous (step -1) or next (+1)
  // account in book order whose state is Affiché, from the selected one
  // (from either end when none is selected), or null.
  TAccountRecord* Neighbour(int step) const;
  // The buttons' names after an account was renamed.
  void UpdateTexts();
  // Whether the buttons stand for the accounts of db as they are now (the
  // same records in the same order): when not, Fill again.
  bool Matches(const TDatabase* db) const;
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }

 signals:
  void AccountClicked(ledgora::TAccountRecord* account);

 private:
  TDatabase* db_ = nullptr;
  QButtonGroup group_;
  std::vector<CComptesBouton*> buttons_;
  std::vector<QAction*> actions_;
};

}  // namespace ledgora::app
