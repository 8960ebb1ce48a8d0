#pragma once
// Menu shortcuts come before the keys of the focused control. Without this
// a text box of a child window would take Ctrl+C, Ctrl+X and Ctrl+A as
// copy, cut and select-all, and the View, Exit and Add Company commands
// would never see them.

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

  QMainWindow* m_window;
};

}  // namespace ledger
