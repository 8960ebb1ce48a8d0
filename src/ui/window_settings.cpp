#include "window_settings.h"

#include <QEvent>
#include <QRect>
#include <QSettings>
#include <QWidget>

namespace ledger {

namespace {

constexpr const char* kMainKey = "MainWindow/geometry";
constexpr const char* kNameProperty = "ledgerSettingsName";

QString childKey(const QString& name) { return QStringLiteral("Windows/%1").arg(name); }

}  // namespace

WindowSettings::WindowSettings(QSettings& settings, QObject* parent) : QObject(parent), m_settings(settings) {}

void WindowSettings::restoreMainWindow(QWidget* window) {
  const QByteArray saved = m_settings.value(QLatin1String(kMainKey)).toByteArray();
  if (!saved.isEmpty()) window->restoreGeometry(saved);
  window->setProperty(kNameProperty, QString());
  window->installEventFilter(this);
}

void WindowSettings::restoreChild(const QString& name, QWidget* frame) {
  const QRect saved = m_settings.value(childKey(name)).toRect();
  // A size too small to see the window in is not put back.
  if (saved.isValid() && saved.width() >= 40 && saved.height() >= 30) frame->setGeometry(saved);
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
