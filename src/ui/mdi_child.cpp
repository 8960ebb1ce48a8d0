#include "mdi_child.h"

#include "twips.h"

namespace ledger {

MdiChild::MdiChild(QMdiArea* area, Qt::WindowFlags flags) : QWidget(nullptr) {
  if (area) {
    QMdiSubWindow* sub = area->addSubWindow(this, flags);
    sub->setAttribute(Qt::WA_DeleteOnClose);
  } else {
    setAttribute(Qt::WA_DeleteOnClose);
  }
}

QWidget* MdiChild::frame() {
  if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) return sub;
  return this;
}

const QWidget* MdiChild::frame() const {
  if (auto* sub = qobject_cast<const QMdiSubWindow*>(parentWidget())) return sub;
  return this;
}

void MdiChild::setFrameGeometryTwips(int left, int top, int width, int height) {
  QWidget* f = frame();
  f->move(twipsToPixelsX(left), twipsToPixelsY(top));
  f->resize(twipsToPixelsX(width), twipsToPixelsY(height));
}

int MdiChild::frameWidthTwips() const { return pixelsToTwipsX(frame()->width()); }
int MdiChild::frameHeightTwips() const { return pixelsToTwipsY(frame()->height()); }

void MdiChild::setClientSizeTwips(int width, int height) {
  QWidget* f = frame();
  const QSize extra = f == this ? QSize() : f->size() - size();
  f->resize(twipsToPixelsX(width) + extra.width(), twipsToPixelsY(height) + extra.height());
}

}  // namespace ledger
