// The Edit menu and the toolbar's Edit, Undo and Redo buttons.

#include "app/app_context.h"
#include "app/command_guard.h"
#include "ui/hourglass.h"
#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::mnuEditItem_Click(int index) {
  guarded(m_app.prompter(), [&] {
    if (!ledgerFileUnchanged()) return;
    switch (index) {
      case 1: m_commands.editRecords(); break;
      case 2: forms().show(QStringLiteral("frmAddCompany")); break;
      case 3: {
        Hourglass busy;
        m_commands.undo();
        break;
      }
      case 4: {
        Hourglass busy;
        m_commands.redo();
        break;
      }
      default: break;
    }
  });
}

}  // namespace ledger
