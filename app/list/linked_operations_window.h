// TLinkedOperationsWindow: "Dé&tail des opérations liées" of a category or a
// project. One row per operation, account by account in book order and, in
// an account, in its date order: the account, the date, the label, the
// classification, the project and the amount with the account's currency;
// the number of operations under the list.
//
// The rows are texts taken when the window is made: it keeps no pointer
// into the book, so a change of the book while it is open cannot leave it
// reading a record that went.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "operations/project_rules.h"

class QLabel;
class QTreeWidget;

namespace ledgora {

// The texts of one row, in column order.
struct TLinkedRow {
  std::string account;
  std::string date;
  std::string label;
  std::string classification;
  std::string project;
  std::string amount;  // FormatAmount and the currency code
};

// The rows of operations as OperationsOfCategory / OperationsOfProject give
// them.
std::vector<TLinkedRow> LinkedRows(const TDatabase& db, const std::vector<TLinkedOperation>& ops);

// "Opérations liées à la catégorie '%s'" (the "%s:%s" form) and
// "Opérations liées au projet '%s'".
std::string CategoryDetailCaption(const TDatabase& db, std::uint32_t category);
std::string ProjectDetailCaption(const TProjectRecord& project);
// "Aucune opération", "1 opération", "%d opérations".
std::string LinkedCountText(std::size_t count);

class TLinkedOperationsWindow : public QDialog {
  Q_OBJECT
 public:
  TLinkedOperationsWindow(const QString& caption, std::vector<TLinkedRow> rows,
                          QWidget* parent = nullptr);

  QTreeWidget* Table() const { return table_; }
  QLabel* CountLabel() const { return count_; }
  const std::vector<TLinkedRow>& Rows() const { return rows_; }

 private:
  std::vector<TLinkedRow> rows_;
  QTreeWidget* table_;
  QLabel* count_;
};

}  // namespace ledgora
