// TListRowDelegate: paints the cells of the operation list from the model's
// roles: the two text lines of a detailed "Classement" cell (the label, then
// the classification with the source amount and the flag of the currency of
// origin), the periodic mark, the pointing marks and the figures.
#pragma once

#include <QStyledItemDelegate>

namespace ledgora {

class TListRowDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
};

}  // namespace ledgora
