#include "window_settings.h"

#include <QEvent>
#include <QRect>
#include <QSettings>
#include <QWidget>

#include "ui/screen_fit.h"

namespace ledger {

namespace {

constexpr const char* kMainKey = "MainWindow/geometry";
constexpr const char* kNameProperty = "ledgerSettingsName";

QString childKey(const QString& name) { return QStringLiteral("Windows/%1").arg(name); }

}  // namespace

WindowSettings::WindowSettings(QSettings& settings, QObject* parent) : QObject(parent), m_settings(settings) {}

void WindowSettings::restoreMainWindow(QWidget* window) {
  const QByteArray saved = m_settings.value(QLatin1String(kMainKey)).toByteArray();
  // Qt refuses a place kept on a screen of another size, and moves one
  // that lies off the screen onto its free area; the frame is fitted in
  // after the window is shown (keepFrameOnScreen).
  if (!saved.isEmpty()) window->restoreGeometry(saved);
  window->setProperty(kNameProperty, QString());
  window->installEventFilter(this);
}

void WindowSettings::restoreChild(const QString& name, QWidget* frame) {
  const QRect saved = m_settings.value(childKey(name)).toRect();
  // A size too small to see the window in is not put back; a place left
  // on a larger screen is moved into the workspace as it is now.
  if (saved.isValid() && saved.width() >= 40 && saved.height() >= 30) {
    const QWidget* workspace = frame->parentWidget();
    frame->setGeometry(workspace && workspace->isVisible() ? placedInside(saved, workspace->rect()) : saved);
  }
  frame->setProperty(kNameProperty, name);
  frame->installEventFilter(this);
}

bool WindowSettings::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
    if (auto* window = qobject_cast<QWidget*>(watched)) save(window);
  }
  return QObject::eventFilter(watched, event);
}

void WindowSettings::save(QWidget* window) {
  const QString name = window->property(kNameProperty).toString();
  if (name.isEmpty()) {
    m_settings.setValue(QLatin1String(kMainKey), window->saveGeometry());
    return;
  }
  // A minimized or maximized child keeps the place it had before.
  if (window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) return;
  m_settings.setValue(childKey(name), window->geometry());
}

}  // namespace ledger
