// The Edit menu and the toolbar's Edit button.

#include "app/app_context.h"
#include "ui/main/command_guard.h"
#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::mnuEditItem_Click(int index) {
  guarded(m_app.prompter(), [&] {
    switch (index) {
      case 1: editRecords(); break;
      case 2: addCompany(); break;
      default: break;
    }
  });
}

void MDIMain::editRecords() {
  // Comes with the entry form, whose boxes become editable.
}

void MDIMain::addCompany() {
  // Comes with the add-company dialog.
}

}  // namespace ledger
