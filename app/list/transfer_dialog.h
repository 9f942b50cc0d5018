// The transfer choice of a row ("V&irement..."): a dialog listing "Aucun"
// and the candidate accounts of TTransferRule, and the same list as a
// pop-up menu (at most 250 accounts). The choice goes to
// TTransferRule::Choose, which asks its questions and changes the book.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <QMenu>
#include <functional>
#include <vector>

#include "operations/transfer_rule.h"
#include "platform/user_port.h"

namespace ledgora {

class TTransferDialog : public QDialog {
  Q_OBJECT
 public:
  // port shows the storage failures of the choice.
  TTransferDialog(TTransferRule& rule, std::size_t row, TUserPort& port, QWidget* parent = nullptr);

  QListWidget* Choices() const { return choices_; }
  // The account of the current entry; null for "Aucun".
  TAccountRecord* Chosen() const;
  // Whether the last OK changed the book.
  bool Applied() const { return applied_; }

 public slots:
  void accept() override;

 private:
  TTransferRule& rule_;
  std::size_t row_;
  TUserPort& port_;
  std::vector<TAccountRecord*> candidates_;
  QListWidget* choices_;
  bool applied_ = false;
};

// The pop-up menu of the candidates of a row: "Aucun", then at most
// kMaxTransferMenuAccounts accounts; choosing an entry calls chosen with its
// account (null for "Aucun"). The menu is owned by parent.
QMenu* BuildTransferMenu(TTransferRule& rule, std::size_t row, QWidget* parent,
                         std::function<void(TAccountRecord*)> chosen);

}  // namespace ledgora
