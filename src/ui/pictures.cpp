#include "pictures.h"

#include <QIconEngine>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace ledger {

namespace {

// Every toolbar picture is drawn on a 16 x 15 grid; a line of width 1 at
// x + 0.5 falls on whole pixels at a scale of 1.
const QColor kOutline(48, 48, 48);

void drawSparkle(QPainter& p, QPointF c, qreal r) {
  const qreal inner = r * 0.32;
  const QPolygonF star{{c.x(), c.y() - r},          {c.x() + inner, c.y() - inner},
                       {c.x() + r, c.y()},          {c.x() + inner, c.y() + inner},
                       {c.x(), c.y() + r},          {c.x() - inner, c.y() + inner},
                       {c.x() - r, c.y()},          {c.x() - inner, c.y() - inner}};
  p.setPen(QPen(QColor(170, 120, 0), 0.6));
  p.setBrush(QColor(255, 214, 40));
  p.drawPolygon(star);
}

void drawPage(QPainter& p, qreal left, qreal top, qreal right, qreal bottom) {
  const qreal fold = 3;
  const QPolygonF page{{left, top}, {right - fold, top}, {right, top + fold}, {right, bottom}, {left, bottom}};
  p.setPen(QPen(kOutline, 1));
  p.setBrush(Qt::white);
  p.drawPolygon(page);
  p.setBrush(QColor(215, 215, 215));
  p.drawPolygon(QPolygonF{{right - fold, top}, {right - fold, top + fold}, {right, top + fold}});
  p.setPen(QPen(QColor(140, 160, 190), 1));
  for (qreal y = top + 5; y < bottom - 1; y += 2) p.drawLine(QPointF(left + 2, y), QPointF(right - 2, y));
}

void drawNewDatabase(QPainter& p) {
  const QRectF top(1.5, 2.5, 10, 3.5);
  const QRectF bottom(1.5, 10, 10, 3.5);
  QPainterPath body;
  body.moveTo(top.left(), top.center().y());
  body.lineTo(bottom.left(), bottom.center().y());
  body.arcTo(bottom, 180, 180);
  body.lineTo(top.right(), top.center().y());
  body.arcTo(top, 0, 180);
  QLinearGradient shade(top.left(), 0, top.right(), 0);
  shade.setColorAt(0, QColor(60, 110, 190));
  shade.setColorAt(0.45, QColor(130, 175, 235));
  shade.setColorAt(1, QColor(40, 85, 160));
  p.setPen(QPen(QColor(25, 50, 100), 1));
  p.setBrush(shade);
  p.drawPath(body);
  // The band between the platters.
  QPainterPath band;
  const QRectF middle(1.5, 6.5, 10, 3.5);
  band.arcMoveTo(middle, 180);
  band.arcTo(middle, 180, 180);
  p.setBrush(Qt::NoBrush);
  p.drawPath(band);
  p.setBrush(QColor(175, 205, 245));
  p.drawEllipse(top);
  drawSparkle(p, {12.5, 3.5}, 3.3);
}

void drawNewRecord(QPainter& p) {
  drawPage(p, 2.5, 1.5, 11.5, 14);
  drawSparkle(p, {12.5, 3}, 3.3);
}

void drawOpen(QPainter& p) {
  const QColor edge(130, 95, 15);
  p.setPen(QPen(edge, 1));
  p.setBrush(QColor(214, 165, 40));
  p.drawPolygon(QPolygonF{{0.5, 2.5}, {5.5, 2.5}, {7, 4}, {13.5, 4}, {13.5, 13.5}, {0.5, 13.5}});
  QLinearGradient front(0, 6.5, 0, 13.5);
  front.setColorAt(0, QColor(255, 222, 110));
  front.setColorAt(1, QColor(240, 185, 50));
  p.setBrush(front);
  p.drawPolygon(QPolygonF{{3.5, 6.5}, {15.5, 6.5}, {13.5, 13.5}, {0.5, 13.5}});
}

void drawEdit(QPainter& p) {
  drawPage(p, 1.5, 1.5, 10.5, 14);
  // A pencil lying from the lower left to the upper right, tip down.
  p.save();
  p.translate(4, 13);
  p.rotate(-45);
  p.setPen(QPen(kOutline, 0.7));
  p.setBrush(QColor(236, 196, 140));
  p.drawPolygon(QPolygonF{{0, 0}, {3, -1.6}, {3, 1.6}});
  p.setBrush(kOutline);
  p.drawPolygon(QPolygonF{{0, 0}, {1.1, -0.6}, {1.1, 0.6}});
  p.setBrush(QColor(245, 190, 30));
  p.drawRect(QRectF(3, -1.6, 7, 3.2));
  p.setBrush(QColor(225, 120, 140));
  p.drawRect(QRectF(10, -1.6, 2, 3.2));
  p.restore();
}

void drawCross(QPainter& p, const QColor& dark, const QColor& light) {
  for (const auto& [color, width] : {std::pair{dark, 3.6}, std::pair{light, 2.2}}) {
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.5, 3), QPointF(12.5, 12));
    p.drawLine(QPointF(12.5, 3), QPointF(3.5, 12));
  }
}

void drawDelete(QPainter& p) { drawCross(p, QColor(130, 10, 10), QColor(225, 40, 35)); }

void drawSave(QPainter& p) {
  p.setPen(QPen(QColor(20, 40, 90), 1));
  p.setBrush(QColor(50, 95, 180));
  p.drawPolygon(QPolygonF{{1.5, 1.5}, {13, 1.5}, {14.5, 3}, {14.5, 13.5}, {1.5, 13.5}});
  // Metal shutter with its slot, and the paper label below.
  p.setBrush(QColor(210, 214, 222));
  p.drawRect(QRectF(4.5, 1.5, 7, 4.5));
  p.setBrush(QColor(50, 95, 180));
  p.setPen(Qt::NoPen);
  p.drawRect(QRectF(8.5, 2.5, 1.8, 2.5));
  p.setPen(QPen(QColor(20, 40, 90), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3.5, 8, 9, 5.5));
  p.setPen(QPen(QColor(150, 150, 150), 1));
  p.drawLine(QPointF(5, 10), QPointF(11, 10));
  p.drawLine(QPointF(5, 12), QPointF(11, 12));
}

void drawClose(QPainter& p) {
  // A door with a green arrow leaving through it.
  p.setPen(QPen(QColor(70, 40, 15), 1));
  p.setBrush(QColor(180, 118, 55));
  p.drawRect(QRectF(1.5, 1.5, 7, 12));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 215, 90));
  p.drawEllipse(QPointF(7, 8), 0.8, 0.8);
  p.setPen(QPen(QColor(20, 110, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(6.5, 7.5), QPointF(12, 7.5));
  p.setPen(QPen(QColor(20, 110, 30), 0.8));
  p.setBrush(QColor(45, 170, 55));
  p.drawPolygon(QPolygonF{{11, 3.5}, {15.5, 7.5}, {11, 11.5}});
}

void drawCancel(QPainter& p) {
  const QPointF centre(8, 7.5);
  p.setBrush(Qt::white);
  p.setPen(QPen(QColor(200, 30, 30), 2.2));
  p.drawEllipse(centre, 5.6, 5.6);
  p.drawLine(QPointF(4.2, 3.7), QPointF(11.8, 11.3));
}

void drawHelp(QPainter& p) {
  p.setPen(QPen(QColor(20, 60, 140), 1));
  p.setBrush(QColor(45, 110, 210));
  p.drawEllipse(QPointF(8, 7.5), 6.6, 6.6);
  QPainterPath hook;
  const QRectF round(5.7, 2.9, 4.6, 4.6);
  hook.arcMoveTo(round, 170);
  hook.arcTo(round, 170, -260);
  hook.lineTo(8, 9.3);
  p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(hook);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(8, 11.6), 1.05, 1.05);
}

void drawTriangle(QPainter& p, qreal tipX, qreal baseX) {
  p.setPen(QPen(kOutline, 0.6));
  p.setBrush(QColor(32, 32, 32));
  p.drawPolygon(QPolygonF{{tipX, 7.5}, {baseX, 2.5}, {baseX, 12.5}});
}

void drawBar(QPainter& p, qreal left) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(32, 32, 32));
  p.drawRect(QRectF(left, 2.5, 2, 10));
}

// A blue arrow that rises from the lower right and turns back to point
// left; mirrored, it points right.
void drawTurnArrow(QPainter& p, bool mirrored) {
  p.save();
  if (mirrored) {
    p.translate(kPictureSize.width(), 0);
    p.scale(-1, 1);
  }
  const QColor dark(20, 60, 140);
  QPainterPath bend;
  bend.moveTo(12.5, 13);
  bend.cubicTo(14.5, 8, 11.5, 4.8, 6, 5);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(dark, 3.4, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(bend);
  p.setPen(QPen(QColor(70, 140, 230), 1.8, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(bend);
  p.setPen(QPen(dark, 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(70, 140, 230));
  p.drawPolygon(QPolygonF{{1, 5}, {7, 0.8}, {7, 9.2}});
  p.restore();
}

void drawPicture(QPainter& p, PictureId id) {
  switch (id) {
    case PictureId::NewDatabase: drawNewDatabase(p); break;
    case PictureId::NewRecord: drawNewRecord(p); break;
    case PictureId::Open: drawOpen(p); break;
    case PictureId::Edit: drawEdit(p); break;
    case PictureId::Delete: drawDelete(p); break;
    case PictureId::Save: drawSave(p); break;
    case PictureId::Close: drawClose(p); break;
    case PictureId::Cancel: drawCancel(p); break;
    case PictureId::Help: drawHelp(p); break;
    case PictureId::First: drawBar(p, 3); drawTriangle(p, 5.5, 12.5); break;
    case PictureId::Previous: drawTriangle(p, 4, 11); break;
    case PictureId::Next: drawTriangle(p, 12, 5); break;
    case PictureId::Last: drawTriangle(p, 10.5, 3.5); drawBar(p, 11); break;
    case PictureId::Undo: drawTurnArrow(p, false); break;
    case PictureId::Redo: drawTurnArrow(p, true); break;
  }
}

// Faded grey, the way a disabled button shows its picture.
QImage greyed(const QImage& source) {
  QImage image = source.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int grey = 150 + qGray(line[x]) / 4;
      line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 3 / 5);
    }
  }
  return image;
}

class PictureEngine final : public QIconEngine {
 public:
  explicit PictureEngine(PictureId id) : m_id(id) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap pm = pixmap(rect.size() * ratio, mode, state);
    pm.setDevicePixelRatio(ratio);
    painter->drawPixmap(rect.topLeft(), pm);
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
      QPainter p(&image);
      p.setRenderHint(QPainter::Antialiasing);
      // Keep the grid's proportions and centre it in the requested size.
      const qreal scale = std::min(size.width() / qreal(kPictureSize.width()),
                                   size.height() / qreal(kPictureSize.height()));
      p.translate((size.width() - kPictureSize.width() * scale) / 2,
                  (size.height() - kPictureSize.height() * scale) / 2);
      p.scale(scale, scale);
      drawPicture(p, m_id);
    }
    return QPixmap::fromImage(mode == QIcon::Disabled ? greyed(image) : image);
  }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
  QIconEngine* clone() const override { return new PictureEngine(m_id); }
  QString key() const override { return QStringLiteral("ledger-picture"); }

 private:
  PictureId m_id;
};

}  // namespace

QIcon picture(PictureId id) { return QIcon(new PictureEngine(id)); }

QIcon pictureListItem(int number) {
  // Undo and Redo joined the list after the navigation arrows were drawn.
  if (number == 10) return picture(PictureId::Undo);
  if (number == 11) return picture(PictureId::Redo);
  if (number < int(PictureId::NewDatabase) || number > int(PictureId::Help)) return {};
  return picture(static_cast<PictureId>(number));
}

void paintLogo(QPainter& p, const QRectF& target) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(target.topLeft());
  p.scale(target.width() / kLogoSize.width(), target.height() / kLogoSize.height());

  // Night-blue ground.
  QLinearGradient ground(0, 0, 0, 180);
  ground.setColorAt(0, QColor(20, 45, 90));
  ground.setColorAt(1, QColor(8, 20, 45));
  p.fillRect(QRectF(0, 0, 240, 180), ground);

  // A ledger page, ruled, with its red margin.
  const QRectF page(26, 18, 188, 146);
  p.setPen(QPen(QColor(90, 90, 90), 1.5));
  p.setBrush(QColor(250, 246, 230));
  p.drawRoundedRect(page, 4, 4);
  p.setPen(QPen(QColor(150, 185, 225), 1));
  for (qreal y = page.top() + 16; y < page.bottom() - 4; y += 12)
    p.drawLine(QPointF(page.left() + 6, y), QPointF(page.right() - 6, y));
  p.setPen(QPen(QColor(215, 70, 70), 1.5));
  p.drawLine(QPointF(page.left() + 24, page.top() + 4), QPointF(page.left() + 24, page.bottom() - 4));

  // Rising bars of trades.
  const qreal base = page.bottom() - 14;
  const qreal heights[] = {30, 46, 38, 64, 82, 100};
  for (int i = 0; i < 6; ++i) {
    const QRectF bar(page.left() + 36 + i * 24, base - heights[i], 16, heights[i]);
    QLinearGradient shade(bar.left(), 0, bar.right(), 0);
    shade.setColorAt(0, QColor(40, 150, 70));
    shade.setColorAt(1, QColor(20, 100, 45));
    p.setPen(QPen(QColor(15, 70, 30), 1));
    p.setBrush(shade);
    p.drawRect(bar);
  }
  p.setPen(QPen(QColor(60, 60, 60), 1.5));
  p.drawLine(QPointF(page.left() + 30, base), QPointF(page.right() - 8, base));

  // The gold trend line with its arrow head.
  const QPolygonF trend{{page.left() + 40, base - 48}, {page.left() + 86, base - 66}, {page.left() + 110, base - 58},
                        {page.left() + 150, base - 104}, {page.right() - 18, base - 122}};
  p.setPen(QPen(QColor(235, 175, 20), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(trend);
  const QPointF tip = trend.last();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(235, 175, 20));
  p.drawPolygon(QPolygonF{tip + QPointF(8, -4), tip + QPointF(-8, -6), tip + QPointF(0, 8)});
  p.restore();
}

QPixmap logoPixmap(const QSize& size, qreal devicePixelRatio) {
  QPixmap pm(size * devicePixelRatio);
  pm.setDevicePixelRatio(devicePixelRatio);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  paintLogo(p, QRectF(QPointF(0, 0), QSizeF(size)));
  return pm;
}

}  // namespace ledger
