#include "app/list/account_list_view.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "app/list/side_panes.h"

namespace ledgora {

TAccountListView::TAccountListView(QWidget* parent) : QTableView(parent) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
  setDropIndicatorShown(false);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  verticalHeader()->hide();
  // One height for every row: the view never measures a row.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setMinimumSectionSize(1);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
}

int TAccountListView::RowAt(const QPoint& viewport_pos) const {
  return rowAt(viewport_pos.y());
}

void TAccountListView::keyPressEvent(QKeyEvent* event) {
  const int row = currentIndex().isValid() ? currentIndex().row() : -1;
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (row >= 0) emit ModifyRequested(row);
      return;
    case Qt::Key_Space:
      if (row >= 0) emit PointRequested(row);
      return;
    case Qt::Key_Delete:
      if (row >= 0) emit DeleteRequested(row);
      return;
    default:
      QTableView::keyPressEvent(event);
  }
}

void TAccountListView::mouseDoubleClickEvent(QMouseEvent* event) {
  const int row = RowAt(event->position().toPoint());
  if (row >= 0 && event->button() == Qt::LeftButton) {
    emit ModifyRequested(row);
    return;
  }
  QTableView::mouseDoubleClickEvent(event);
}

void TAccountListView::contextMenuEvent(QContextMenuEvent* event) {
  const int row = RowAt(event->pos());
  if (row >= 0) emit MenuRequested(row, event->globalPos());
}

namespace {
bool Carries(const QMimeData* mime) {
  return DraggedCategory(mime).has_value() || DraggedProject(mime).has_value();
}
}  // namespace

void TAccountListView::dragEnterEvent(QDragEnterEvent* event) {
  if (Carries(event->mimeData())) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void TAccountListView::dragMoveEvent(QDragMoveEvent* event) {
  if (Carries(event->mimeData()) && RowAt(event->position().toPoint()) >= 0) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void TAccountListView::dropEvent(QDropEvent* event) {
  const int row = RowAt(event->position().toPoint());
  if (row < 0) {
    event->ignore();
    return;
  }
  if (const auto category = DraggedCategory(event->mimeData())) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit CategoryDropped(row, *category);
  } else if (const auto project = DraggedProject(event->mimeData())) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit ProjectDropped(row, *project);
  } else {
    event->ignore();
  }
}

}  // namespace ledgora
