// The Edit menu and the toolbar's Edit button.

#include "app/app_context.h"
#include "ui/command_guard.h"
#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::mnuEditItem_Click(int index) {
  guarded(m_app.prompter(), [&] {
    if (!ledgerFileUnchanged()) return;
    switch (index) {
      case 1: m_commands.editRecords(); break;
      case 2: m_app.forms().show(QStringLiteral("frmAddCompany")); break;
      default: break;
    }
  });
}

}  // namespace ledger
