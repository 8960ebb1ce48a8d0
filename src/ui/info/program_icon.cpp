#include "program_icon.h"

#include <QPainter>
#include <QPainterPath>

namespace ledger {

QPixmap drawProgramIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  // Drawn on a 32 x 32 grid and scaled to the size asked for.
  painter.scale(size / 32.0, size / 32.0);

  // The book: a dark cover with the white pages of an open ledger.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 51, 102));
  painter.drawRoundedRect(QRectF(2, 3, 28, 26), 3, 3);
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(4.5, 5.5, 11, 21));
  painter.drawRect(QRectF(16.5, 5.5, 11, 21));
  painter.setPen(QPen(QColor(170, 190, 210), 0.8));
  for (double y = 9.5; y < 26; y += 3.5) {
    painter.drawLine(QPointF(5.5, y), QPointF(14.5, y));
    painter.drawLine(QPointF(17.5, y), QPointF(26.5, y));
  }

  // A price line rising across both pages, with its arrow head.
  QPainterPath line;
  line.moveTo(6, 23);
  line.lineTo(11, 17);
  line.lineTo(15, 20);
  line.lineTo(21, 12);
  line.lineTo(25, 9.5);
  painter.setPen(QPen(QColor(0, 150, 70), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(line);
  QPainterPath head;
  head.moveTo(28, 7.5);
  head.lineTo(22.5, 8);
  head.lineTo(25.8, 12.3);
  head.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 150, 70));
  painter.drawPath(head);
  return pixmap;
}

}  // namespace ledger
