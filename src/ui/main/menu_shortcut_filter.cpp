#include "menu_shortcut_filter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace ledger {

MenuShortcutFilter::MenuShortcutFilter(QMainWindow* window) : QObject(window), m_window(window) {
  qApp->installEventFilter(this);
}

bool MenuShortcutFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ShortcutOverride) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != m_window) return false;
  // In a box the user can type in, the editing keys edit its text.
  auto* key = static_cast<QKeyEvent*>(event);
  if (auto* box = qobject_cast<QLineEdit*>(widget); box && !box->isReadOnly() && isTextEditingKey(*key)) return false;
  if (auto* list = qobject_cast<QComboBox*>(widget); list && list->isEditable() && isTextEditingKey(*key))
    return false;
  if (!isMenuShortcut(*key)) return false;
  // Left unaccepted, the key goes on to the shortcut map and the menu item.
  event->ignore();
  return true;
}

bool MenuShortcutFilter::isTextEditingKey(const QKeyEvent& key) {
  for (QKeySequence::StandardKey k : {QKeySequence::Cut, QKeySequence::Copy, QKeySequence::Paste,
                                      QKeySequence::SelectAll, QKeySequence::Undo, QKeySequence::Redo})
    if (key.matches(k)) return true;
  return false;
}

bool MenuShortcutFilter::isMenuShortcut(const QKeyEvent& key) const {
  const QKeySequence pressed(key.keyCombination());
  for (QAction* menuAction : m_window->menuBar()->actions()) {
    if (!menuAction->menu() || !menuAction->isVisible() || !menuAction->isEnabled()) continue;
    for (QAction* item : menuAction->menu()->actions())
      if (item->isEnabled() && item->shortcut() == pressed) return true;
  }
  return false;
}

}  // namespace ledger
