#pragma once
// Small pieces the report views share: the right-press that raises the
// main window's Restore menu, the read-only grid, and the message shown
// when a ledger cannot be read.

#include <QObject>
#include <QTableView>

#include <functional>
#include <string>

#include "app/app_context.h"
#include "ui/views/view_host.h"

namespace ledger {

class DbError;

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

// Tells the user that the ledger could not be read for a view, with the
// engine's reason. The program goes on.
void reportReadFailure(Prompter& prompter, const std::string& path, const std::string& reason);
void reportReadFailure(Prompter& prompter, const std::string& path, const DbError& error);

}  // namespace ledger
