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
  QLineEdit* box = qobject_cast<QLineEdit*>(widget);
  if (auto* list = qobject_cast<QComboBox*>(widget)) box = list->lineEdit();
  if (box && !box->isReadOnly() && boxTakesKey(*box, *key)) return false;
  if (!isMenuShortcut(*key)) return false;
  // Left unaccepted, the key goes on to the shortcut map and the menu item.
  event->ignore();
  return true;
}

bool MenuShortcutFilter::boxTakesKey(const QLineEdit& box, const QKeyEvent& key) {
  // Undo and redo keys a box cannot use go on to the ledger's Undo and Redo.
  const QKeyCombination pressed = key.keyCombination();
  if (key.matches(QKeySequence::Undo) || pressed == (Qt::CTRL | Qt::Key_Z)) return box.isUndoAvailable();
  // A platform whose own redo key is another one must still not let these
  // redo ledger changes while the box has its own to redo.
  if (key.matches(QKeySequence::Redo) || pressed == (Qt::CTRL | Qt::Key_Y) || pressed == (Qt::CTRL | Qt::SHIFT | Qt::Key_Z))
    return box.isRedoAvailable();
  for (QKeySequence::StandardKey k : {QKeySequence::Cut, QKeySequence::Copy, QKeySequence::Paste, QKeySequence::SelectAll})
    if (key.matches(k)) return true;
  return false;
}

bool MenuShortcutFilter::isMenuShortcut(const QKeyEvent& key) const {
  const QKeySequence pressed(key.keyCombination());
  for (QAction* menuAction : m_window->menuBar()->actions()) {
    if (!menuAction->menu() || !menuAction->isVisible() || !menuAction->isEnabled()) continue;
    for (QAction* item : menuAction->menu()->actions())
      if (item->isEnabled() && item->shortcuts().contains(pressed)) return true;
  }
  return false;
}

}  // namespace ledger
