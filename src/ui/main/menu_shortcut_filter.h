#pragma once
// Menu shortcuts come before the keys of the focused control, except the
// editing keys (Ctrl+X, Ctrl+C, Ctrl+V, Ctrl+A, Ctrl+Z) in a box the user can
// type in: there they edit the text, and Exit, Chart and Add Company wait
// until the focus is elsewhere.

#include <QObject>

class QKeyEvent;
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
  // Cut, copy, paste, select all, undo and redo.
  static bool isTextEditingKey(const QKeyEvent& key);

  QMainWindow* m_window;
};

}  // namespace ledger
