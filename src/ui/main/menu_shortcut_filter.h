#pragma once
// Menu shortcuts come before the keys of the focused control, except the
// editing keys (Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+A, Ctrl+Z, Ctrl+Y,
// Ctrl+Shift+Z) in a box the user can type in: there they edit the text,
// and Exit, Chart and Add Company wait until the focus is elsewhere. The
// ledger's Undo and Redo wait only while the box has its own typing to
// undo or redo.

#include <QObject>

class QKeyEvent;
class QLineEdit;
class QMainWindow;

namespace ledger {

class MenuShortcutFilter final : public QObject {
  Q_OBJECT
 public:
  // Watches the whole application for keys aimed at window's controls;
  // window owns the filter.
  explicit MenuShortcutFilter(QMainWindow* window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Whether the key is the shortcut of a usable item of a shown menu.
  bool isMenuShortcut(const QKeyEvent& key) const;
  // Whether a box the user can type in keeps the key: cut, copy, paste and
  // select all always; Ctrl+Z only while the box can undo, Ctrl+Y and
  // Ctrl+Shift+Z only while it can redo (on every platform, as they are
  // the menu's Undo and Redo keys).
  static bool boxTakesKey(const QLineEdit& box, const QKeyEvent& key);

  QMainWindow* m_window;
};

}  // namespace ledger
