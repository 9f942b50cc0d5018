#include "app/list/list_row_delegate.h"

#include <QApplication>
#include <QPainter>

#include "app/list/account_list_model.h"
#include "app/list/list_pictures.h"
#include "operations/list_settings.h"

namespace ledgora {

void TListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const auto column = static_cast<TListColumn>(index.column());
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const bool two_lines = option.rect.height() >= kDetailedRowHeight - 1;

  if (column == TListColumn::Pointing) {
    // The mark alone, centred.
    opt.text.clear();
    opt.icon = QIcon();
    opt.features &= ~QStyleOptionViewItem::HasDecoration;
    QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    const QPixmap mark = qvariant_cast<QPixmap>(index.data(Qt::DecorationRole));
    if (!mark.isNull()) {
      const QRect r(QPoint(0, 0), mark.size());
      painter->drawPixmap(
          QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, mark.size(), option.rect), mark, r);
    }
    return;
  }
  if (column != TListColumn::Classification) {
    if (two_lines) {
      // Figures and dates stand on the first line of a detailed row.
      opt.displayAlignment = (opt.displayAlignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
      opt.rect.adjust(0, 2, 0, 0);
    }
    QStyledItemDelegate::paint(painter, opt, index);
    return;
  }

  // "Classement": the background and selection of the cell, then its lines.
  opt.text.clear();
  QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
  painter->save();
  const bool selected = option.state & QStyle::State_Selected;
  const QColor ink = selected ? option.palette.color(QPalette::HighlightedText)
                              : option.palette.color(QPalette::Text);
  QRect area = option.rect.adjusted(4, 1, -4, -1);
  const QFontMetrics fm(option.font);
  if (index.data(TAccountListModel::NewEntryRole).toBool()) {
    QFont italic = option.font;
    italic.setItalic(true);
    painter->setFont(italic);
    painter->setPen(selected ? ink : QColor(110, 110, 110));
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                      index.data(TAccountListModel::ClassificationRole).toString());
    painter->restore();
    return;
  }
  const QPixmap periodic =
      index.data(TAccountListModel::PeriodicRole).toBool() ? PeriodicMarkPixmap() : QPixmap();
  int right = area.right();
  if (!periodic.isNull()) {
    painter->drawPixmap(right - periodic.width() + 1, area.top() + 3, periodic);
    right -= periodic.width() + 3;
  }
  if (two_lines) {
    const int line = area.height() / 2;
    QRect first(area.left(), area.top(), right - area.left() + 1, line);
    QRect second(area.left(), area.top() + line, area.width(), area.height() - line);
    QFont bold = option.font;
    bold.setBold(true);
    painter->setFont(bold);
    painter->setPen(ink);
    const QString label = index.data(TAccountListModel::LabelLineRole).toString();
    painter->drawText(first, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(bold).elidedText(label, Qt::ElideRight, first.width()));
    painter->setFont(option.font);
    // The source amount and the flag of its currency on the right of the
    // second line, the classification on its left.
    const QString source = index.data(TAccountListModel::SourceAmountRole).toString();
    int second_right = second.right();
    if (!source.isEmpty()) {
      const int w = fm.horizontalAdvance(source);
      painter->setPen(selected ? ink : QColor(90, 90, 90));
      painter->drawText(QRect(second_right - w + 1, second.top(), w, second.height()),
                        Qt::AlignRight | Qt::AlignVCenter, source);
      second_right -= w + 4;
      const QPixmap icon =
          CurrencyLibraryBitmap(index.data(TAccountListModel::OriginIconRole).toUInt());
      if (!icon.isNull()) {
        const QSize s = icon.size().boundedTo(QSize(second.height(), second.height()));
        painter->drawPixmap(
            QRect(second_right - s.width() + 1, second.top() + (second.height() - s.height()) / 2,
                  s.width(), s.height()),
            icon);
        second_right -= s.width() + 4;
      }
    }
    painter->setPen(selected ? ink : QColor(0, 70, 140));
    const QRect cls(second.left(), second.top(), std::max(0, second_right - second.left()),
                    second.height());
    painter->drawText(cls, Qt::AlignLeft | Qt::AlignVCenter,
                      fm.elidedText(index.data(TAccountListModel::ClassificationRole).toString(),
                                    Qt::ElideRight, cls.width()));
  } else {
    painter->setPen(ink);
    QRect one(area.left(), area.top(), right - area.left() + 1, area.height());
    painter->drawText(one, Qt::AlignLeft | Qt::AlignVCenter,
                      fm.elidedText(index.data(TAccountListModel::ClassificationRole).toString(),
                                    Qt::ElideRight, one.width()));
  }
  painter->restore();
}

}  // namespace ledgora
