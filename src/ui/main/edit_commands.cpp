// The Edit menu and the toolbar's Edit button.

#include "app/app_context.h"
#include "data/company_list.h"
#include "ui/entry/entry_form.h"
#include "ui/main/command_guard.h"
#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::mnuEditItem_Click(int index) {
  guarded(m_app.prompter(), [&] {
    if (!ledgerFileUnchanged()) return;
    switch (index) {
      case 1: editRecords(); break;
      case 2: addCompany(); break;
      default: break;
    }
  });
}

void MDIMain::editRecords() {
  // The edit will rewrite the trade shown now, wherever the cursor goes
  // meanwhile.
  entryForm();
  m_editRow = m_app.session().ShownTrade;
  DataBeingEntered();
  setRecordMode(QStringLiteral("Edit"));
}

void MDIMain::addCompany() { m_app.forms().show(QStringLiteral("frmAddCompany")); }

}  // namespace ledger
