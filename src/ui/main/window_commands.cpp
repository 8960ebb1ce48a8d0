// The commands that live in the main window itself: the toolbar's
// dispatch, Help, the ShortHand popup and the workspace's mouse.

#include <QAction>
#include <QCursor>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

#include "app/app_context.h"
#include "ui/entry/entry_form.h"
#include "app/command_guard.h"
#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::tbMain_ButtonClick(QAction* button) {
  if (!button) return;
  guarded(m_app.prompter(), [&] {
    // Keys are compared exactly, in this order; the separators match none.
    const QString key = button->objectName();
    if (key == QLatin1String("New Database")) {
      mnuFileItem_Click(1);
    } else if (key == QLatin1String("New")) {
      mnuFileItem_Click(2);
    } else if (key == QLatin1String("Open")) {
      mnuFileItem_Click(3);
    } else if (key == QLatin1String("Edit")) {
      mnuEditItem_Click(1);
    } else if (key == QLatin1String("Save")) {
      mnuFileItem_Click(5);
    } else if (key == QLatin1String("Delete")) {
      mnuFileItem_Click(6);
    } else if (key == QLatin1String("Close")) {
      // The key stays "Close"; the tag says whether it closes or cancels.
      if (button->property("Tag").toString() == QLatin1String("Close"))
        mnuFileItem_Click(8);
      else
        cancelEntry();
    } else if (key == QLatin1String("Help")) {
      mnuHelpItem_Click(1);
    } else if (key == QLatin1String("Undo")) {
      mnuEditItem_Click(3);
    } else if (key == QLatin1String("Redo")) {
      mnuEditItem_Click(4);
    }
  });
}

void MDIMain::cancelEntry() {
  guarded(m_app.prompter(), [&] { m_commands.cancelEntry(); });
}

void MDIMain::mnuHelpItem_Click(int index) {
  guarded(m_app.prompter(), [&] {
    switch (index) {
      case 1: forms().show(QStringLiteral("frmHelp")); break;
      case 3: forms().show(QStringLiteral("frmAbout")); break;
      default: break;
    }
  });
}

void MDIMain::mnuSHItem_Click(int index) {
  guarded(m_app.prompter(), [&] {
    switch (index) {
      case 1: mnuHelpItem_Click(3); break;
      case 2: setChildWindowsState(Qt::WindowMinimized); break;
      case 3: setChildWindowsState(Qt::WindowMaximized); break;
      default: break;  // 4 only opens the View submenu
    }
  });
}

void MDIMain::setChildWindowsState(Qt::WindowState state) {
  for (QMdiSubWindow* child : m_area->subWindowList()) {
    if (state == Qt::WindowMinimized)
      child->showMinimized();
    else
      child->showMaximized();
  }
}

void MDIMain::MDIForm_MouseDown(Qt::MouseButton button) {
  guarded(m_app.prompter(), [&] {
    if (button == Qt::RightButton) m_mnuSH->popup(QCursor::pos());
  });
}

void MDIMain::popupRestoreMenu(ViewTag tag) {
  m_commands.setViewTag(tag);
  m_gridExport.reset();
  mnuRestoreItem(3)->setVisible(false);
  guarded(m_app.prompter(), [&] { m_mnuRestore->popup(QCursor::pos()); });
}

}  // namespace ledger
