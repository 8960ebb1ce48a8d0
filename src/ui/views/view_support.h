#pragma once
// Small pieces the report views share: the right-press that raises the
// main window's Restore menu, the read-only grid and the caption above it.

#include <QObject>
#include <QTableView>

#include <functional>

class QLabel;

namespace ledger {

// Calls onPress when the right mouse button goes down over target (for a
// scroll area, install it on the viewport). Other buttons pass through.
class RightPressFilter : public QObject {
  Q_OBJECT
 public:
  RightPressFilter(QWidget* target, std::function<void()> onPress);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> m_onPress;
};


// A grid as the views use it: headers shown, scroll bars as needed, whole
// rows and cells selectable, nothing editable (the bound queries are
// read-only).
QTableView* makeGrid(QWidget* parent, const QString& objectName);

// A raised, centred caption above a grid.
QLabel* makeCaption(QWidget* parent, const QString& text, const QString& objectName);

}  // namespace ledger
