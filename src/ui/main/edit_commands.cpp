// The Edit menu and the toolbar's Edit, Undo and Redo buttons.

#include <QLineEdit>

#include "app/app_context.h"
#include "app/command_guard.h"
#include "ui/hourglass.h"
#include "ui/entry/entry_form.h"
#include "ui/main/mdi_main.h"
#include "ui/views/events_window.h"
#include "ui/views/prices_window.h"

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
      case 6:
      case 7: {
        // The company the General tab shows, when the entry window is open.
        const auto* entry = forms().find<EntryForm>(QStringLiteral("frmMain"));
        const QLineEdit* box = entry ? entry->box(QStringLiteral("CompanySymbol"), kGeneralTab) : nullptr;
        const std::string symbol = box ? box->text().toStdString() : std::string();
        if (index == 6)
          showCompanyEvents(symbol);
        else
          showCompanyPrices(symbol);
        break;
      }
      default: break;
    }
  });
}

void MDIMain::showCompanyEvents(const std::string& symbol) {
  if (auto* events = qobject_cast<EventsWindow*>(forms().show(QStringLiteral("frmEvents")))) {
    events->allowChanges(!m_commands.windowState().ledger.readOnly);
    events->showCompany(symbol);
  }
}

void MDIMain::reloadEventsWindow() {
  if (auto* events = forms().find<EventsWindow>(QStringLiteral("frmEvents"))) events->reload();
}

void MDIMain::showCompanyPrices(const std::string& symbol) {
  if (auto* prices = qobject_cast<PricesWindow*>(forms().show(QStringLiteral("frmPrices")))) {
    prices->allowChanges(!m_commands.windowState().ledger.readOnly);
    prices->showCompany(symbol);
  }
}

void MDIMain::reloadPricesWindow() {
  if (auto* prices = forms().find<PricesWindow>(QStringLiteral("frmPrices"))) prices->reload();
}

}  // namespace ledger
