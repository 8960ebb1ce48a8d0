#include "screen_fit.h"

#include <QEvent>
#include <QObject>
#include <QScreen>
#include <QWindow>
#include <QWidget>

#include <algorithm>

namespace ledger {

QRect placedInside(const QRect& rect, const QRect& area) {
  const QSize size = rect.size().boundedTo(area.size());
  const int left = std::clamp(rect.left(), area.left(), area.right() + 1 - size.width());
  const int top = std::clamp(rect.top(), area.top(), area.bottom() + 1 - size.height());
  return {QPoint(left, top), size};
}

namespace {

class FrameKeeper final : public QObject {
 public:
  explicit FrameKeeper(QWidget* window) : QObject(window), m_window(window) { window->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    // The window manager frames the window before it is first exposed,
    // often without moving it.
    if (watched == m_window && type == QEvent::Show && m_window->windowHandle())
      m_window->windowHandle()->installEventFilter(this);
    if (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize || type == QEvent::Expose) fit();
    return false;
  }

 private:
  void fit() {
    const QRect frame = m_window->frameGeometry();
    const QRect client = m_window->geometry();
    // Not framed yet, or never framed (no window manager): nothing to fit.
    if (!m_window->isVisible() || frame == client || !m_window->screen()) return;
    // Once only: after this the place is the user's to choose.
    m_window->removeEventFilter(this);
    m_window->windowHandle()->removeEventFilter(this);
    deleteLater();
    if (m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
    const QRect placed = placedInside(frame, m_window->screen()->availableGeometry());
    if (placed == frame) return;
    m_window->setGeometry(client.left() + placed.left() - frame.left(), client.top() + placed.top() - frame.top(),
                          client.width() + placed.width() - frame.width(),
                          client.height() + placed.height() - frame.height());
  }

  QWidget* m_window;
};

}  // namespace

void keepFrameOnScreen(QWidget* window) { new FrameKeeper(window); }

}  // namespace ledger
