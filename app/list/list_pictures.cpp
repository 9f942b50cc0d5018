#include "app/list/list_pictures.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "eurolib/orveuro32.h"

namespace ledgora {

QPixmap CurrencyLibraryBitmap(unsigned id) {
  static QHash<unsigned, QPixmap> cache;
  if (id == 0) return {};
  if (auto it = cache.constFind(id); it != cache.constEnd()) return *it;
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  QPixmap pixmap;
  if (GetDllEuroResource(kResourceBitmap, id, &data, &size) == kResourceFound && data) {
    pixmap = QPixmap::fromImage(QImage::fromData(data, static_cast<int>(size), "BMP"));
  }
  cache.insert(id, pixmap);
  return pixmap;
}

namespace {

QPixmap Draw(int w, int h, void (*paint)(QPainter&)) {
  QPixmap pixmap(w, h);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  paint(p);
  return pixmap;
}

void PaintDownloaded(QPainter& p) {
  // A blue arrow pointing down onto a tray: the operation came from the bank.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(30, 90, 200));
  p.drawRect(6, 1, 4, 7);
  QPainterPath head;
  head.moveTo(2, 7);
  head.lineTo(14, 7);
  head.lineTo(8, 13);
  head.closeSubpath();
  p.drawPath(head);
  p.setPen(QPen(QColor(30, 90, 200), 1.5));
  p.drawLine(2, 15, 14, 15);
}

void PaintPointed(QPainter& p) {
  p.setPen(QPen(QColor(0, 140, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6.5, 12.5), QPointF(13.5, 3.5)}));
}

void PaintTicked(QPainter& p) {
  p.setPen(QPen(QColor(200, 110, 0), 1.2));
  p.setBrush(QColor(255, 240, 200));
  p.drawRect(QRectF(1.5, 1.5, 13, 13));
  p.setPen(QPen(QColor(200, 110, 0), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(4, 8), QPointF(7, 11), QPointF(12, 4.5)}));
}

void PaintPeriodic(QPainter& p) {
  // Two arrows going round: the operation comes back.
  p.setPen(QPen(QColor(120, 60, 160), 1.4));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(1.5, 1.5, 7, 7), 30 * 16, 300 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(120, 60, 160));
  QPainterPath tip;
  tip.moveTo(7, 0.5);
  tip.lineTo(10, 3.5);
  tip.lineTo(6, 4.5);
  tip.closeSubpath();
  p.drawPath(tip);
}

}  // namespace

QPixmap PointingMarkPixmap(TPointingMark mark) {
  static const QPixmap downloaded = Draw(16, 16, PaintDownloaded);
  static const QPixmap pointed = Draw(16, 16, PaintPointed);
  static const QPixmap ticked = Draw(16, 16, PaintTicked);
  switch (mark) {
    case TPointingMark::Downloaded:
      return downloaded;
    case TPointingMark::Pointed:
      return pointed;
    case TPointingMark::Ticked:
      return ticked;
    case TPointingMark::None:
      break;
  }
  return {};
}

QPixmap PeriodicMarkPixmap() {
  static const QPixmap mark = Draw(10, 10, PaintPeriodic);
  return mark;
}

}  // namespace ledgora
