// TAccountListModel: the operation list of the active account as a Qt table
// model.
//
// The rows are those of TOperationList; nothing is kept per row here. Every
// datum is computed when the view asks for it, from the core's texts of that
// row (TOperationList::Texts), the last row asked being kept so that the
// eight columns of a row share one computation. A refill of the core list
// resets the model; a repaint tells the view that every cell changed.
#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include "operations/operation_list.h"

namespace ledgora {

class TAccountListModel : public QAbstractTableModel, private TOperationListObserver {
  Q_OBJECT
 public:
  // What the delegate paints besides the display text.
  enum Role {
    MarkRole = Qt::UserRole + 1,  // int: TPointingMark
    PeriodicRole,                 // bool: the periodic mark
    OriginIconRole,               // uint: the library's icon of the currency of origin, 0 none
    NewEntryRole,                 // bool: the new-entry line
    LabelLineRole,                // QString: the label (+ " / " + complementary label)
    ClassificationRole,           // QString: the classification text
    SourceAmountRole,             // QString: "Mnt origine : %s", or empty
    OperationIdRole,              // uint: the operation's identifier, 0 on the new-entry line
  };

  // The warning colour of negative figures.
  static QColor WarningColour() { return QColor(200, 0, 0); }

  // Observes list (one model per list); the list must outlive the model.
  explicit TAccountListModel(TOperationList& list, QObject* parent = nullptr);
  ~TAccountListModel() override;

  TOperationList& List() const { return list_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The core's texts of a row (the cached ones when it was the last asked).
  const TRowTexts& TextsOf(int row) const;

 signals:
  // After every refill of the core list (the model was reset).
  void Refilled();

 private:
  void ListAboutToRefill() override;
  void ListRefilled() override;
  void ListRepaint() override;

  TOperationList& list_;
  bool resetting_ = false;
  mutable int cached_row_ = -1;
  mutable TRowTexts cached_;
};

}  // namespace ledgora
