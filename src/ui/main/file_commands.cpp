// The File menu and the toolbar buttons that lead to it; the flows
// behind it are the core's (app/ledger_file_flows.h). A file command
// ends quietly at a failing step: the steps report their own failures.

#include "app/command_guard.h"
#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::mnuFileItem_Click(int index) {
  guardedSilently([&] {
    if ((index == 2 || index == 5 || index == 6) && !ledgerFileUnchanged()) return;
    switch (index) {
      case 1: m_ledgerFiles.create(); break;
      case 2: m_commands.newRecord(); break;
      case 3: m_ledgerFiles.openChosen(); break;
      case 5: m_commands.save(); break;
      case 6: m_commands.deleteRecord(); break;
      case 8: exitProgram(); break;
      case 9: m_transfers.importTrades(); break;
      case 10: m_transfers.exportTrades(); break;
      case 12: m_transfers.importPrices(); break;
      default: break;  // 4, 7 and 11 are separators
    }
  });
}

void MDIMain::exitProgram() {
  // Closing the main window asks about a trade being typed, then unloads
  // every child window and ends the program.
  close();
}

}  // namespace ledger
