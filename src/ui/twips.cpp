#include "twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace ledger {

namespace {

double dpiX() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double dpiY() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->logicalDotsPerInchY() : 96.0;
}

int scale(double value, double factor) { return static_cast<int>(std::lround(value * factor)); }

}  // namespace

int twipsToPixelsX(int twips) { return scale(twips, dpiX() / kTwipsPerInch); }
int twipsToPixelsY(int twips) { return scale(twips, dpiY() / kTwipsPerInch); }
int pixelsToTwipsX(int pixels) { return scale(pixels, kTwipsPerInch / dpiX()); }
int pixelsToTwipsY(int pixels) { return scale(pixels, kTwipsPerInch / dpiY()); }

QRect twipsRect(int left, int top, int width, int height) {
  return QRect(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width), twipsToPixelsY(height));
}

QSize twipsSize(int width, int height) { return QSize(twipsToPixelsX(width), twipsToPixelsY(height)); }

void placeTwips(QWidget* control, int left, int top, int width, int height) {
  QRect r = twipsRect(left, top, width, height);
  r.setHeight(std::max(r.height(), control->sizeHint().height()));
  control->setGeometry(r);
}

}  // namespace ledger
