// TAccountListView: the table view of the operation list.
//
// One fixed row height for every row (37 pixels detailed, 19 condensed), no
// widget per row: the view asks the model only for the rows on screen. It
// turns the keys and the mouse into requests that TAccountListBox applies:
// Enter and a double click edit the row, Space points or unpoints it,
// Delete deletes it, the right button opens the row's pop-up menu; and it
// takes the categories and projects dragged from the side panes.
#pragma once

#include <QTableView>
#include <cstdint>

namespace ledgora {

class TAccountListView : public QTableView {
  Q_OBJECT
 public:
  explicit TAccountListView(QWidget* parent = nullptr);

  // The row under a point of the viewport, -1 when none.
  int RowAt(const QPoint& viewport_pos) const;

 signals:
  void ModifyRequested(int row);
  void PointRequested(int row);
  void DeleteRequested(int row);
  void CategoryDropped(int row, quint32 category);
  void ProjectDropped(int row, quint32 project);
  void MenuRequested(int row, const QPoint& global_pos);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace ledgora
