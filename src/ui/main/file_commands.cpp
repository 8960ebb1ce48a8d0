// The File menu and the toolbar buttons that lead to it. A file command
// ends quietly at a failing step: the steps report their own failures.

#include "ui/main/command_guard.h"
#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::mnuFileItem_Click(int index) {
  guardedSilently([&] {
    switch (index) {
      case 1: newDatabase(); break;
      case 2: newRecord(); break;
      case 3: openLedger(); break;
      case 5: saveRecord(); break;
      case 6: deleteRecord(); break;
      case 8: exitProgram(); break;
      default: break;  // 4 and 7 are separators
    }
  });
}

void MDIMain::newDatabase() {
  // Comes with the entry form, which the new ledger is shown in.
}

void MDIMain::newRecord() {
  // Comes with the entry form, whose boxes take the new trade.
}

void MDIMain::openLedger() {
  // Comes with the entry form, which the opened ledger is shown in.
}

void MDIMain::saveRecord() {
  // Comes with the entry form, whose boxes the trade is read from.
}

void MDIMain::deleteRecord() {
  // Comes with the entry form, which shows the trade to delete.
}

void MDIMain::exitProgram() {
  // Closing the main window unloads every child window and ends the program;
  // a trade being entered is dropped.
  close();
}

}  // namespace ledger
