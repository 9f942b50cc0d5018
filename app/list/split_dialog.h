// The split dialog ("&Ventilation...") and its line dialog.
//
// TSplitDialog edits a TSplitDraft: its lines (category, amount), the
// remaining amount, "Ajouter..." (the line dialog, pre-filled with the
// remaining amount and the category chosen above the lines) and
// "Supprimer". OK goes to TSplitRule::Confirm, which asks the adjustment
// question when something remains: No keeps the dialog open.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>

#include "operations/split_rule.h"
#include "storage/database.h"

namespace ledgora {

class TSplitLineDialog : public QDialog {
  Q_OBJECT
 public:
  TSplitLineDialog(const TDatabase& db, const TSplitLine& proposed, TUserPort& port,
                   QWidget* parent = nullptr);
  // The line typed (valid after an accepted OK).
  const TSplitLine& Line() const { return line_; }
  QComboBox* CategoryField() const { return category_; }
  QLineEdit* AmountField() const { return amount_; }

 public slots:
  void accept() override;

 private:
  const TDatabase& db_;
  TUserPort& port_;
  TSplitLine line_;
  QComboBox* category_;
  QLineEdit* amount_;
};

class TSplitDialog : public QDialog {
  Q_OBJECT
 public:
  TSplitDialog(TSplitRule& rule, TSplitDraft draft, const TDatabase& db, TUserPort& port,
               QWidget* parent = nullptr);

  const TSplitDraft& Draft() const { return draft_; }
  QTableWidget* Lines() const { return lines_; }
  QLabel* RemainingLabel() const { return remaining_; }
  QComboBox* CategoryChoice() const { return category_; }
  // Adds a line as the line dialog does; false for an amount the draft refuses.
  bool AddLine(const TSplitLine& line);
  bool RemoveLine(int index);
  // Whether OK changed the book.
  bool Applied() const { return applied_; }

 public slots:
  void OpenLineDialog();
  void RemoveSelectedLine();
  void accept() override;

 private:
  void ShowLines();

  TSplitRule& rule_;
  TSplitDraft draft_;
  const TDatabase& db_;
  TUserPort& port_;
  QComboBox* category_;
  QTableWidget* lines_;
  QLabel* remaining_;
  bool applied_ = false;
};

}  // namespace ledgora
