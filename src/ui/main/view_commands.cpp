// The View menu, the View submenu of the ShortHand popup and the Restore
// popup of the views. What they do is the core's (app/report_view_flows.h);
// the window shows and closes the view windows.

#include <QTabWidget>

#include "app/app_context.h"
#include "app/command_guard.h"
#include "ui/entry/entry_form.h"
#include "ui/main/mdi_main.h"
#include "ui/views/gains_view.h"

namespace ledger {

void MDIMain::mnuViewItem_Click(int index) {
  guarded(m_app.prompter(), [&] { m_views.show(index); });
}

void MDIMain::mnuSHViewItem_Click(int index) {
  // The same views under the same numbers.
  guarded(m_app.prompter(), [&] {
    if (reportViewAt(index)) mnuViewItem_Click(index);
  });
}

void MDIMain::mnuRestoreItem_Click(int index) {
  guarded(m_app.prompter(), [&] {
    if (!ledgerFileUnchanged()) return;
    switch (index) {
      case 1: m_views.refresh(m_commands.viewTag()); break;
      case 2: m_views.refreshAll(); break;
      case 3: exportGrid(); break;
      default: break;
    }
  });
}

void MDIMain::refreshOpenViews() { m_views.refreshOpen(); }

int MDIMain::entryFormTab() { return entryForm()->currentTab(); }

void MDIMain::showReportView(const ReportView& view) { forms().show(QString::fromLatin1(view.form)); }

bool MDIMain::reportViewOpen(const ReportView& view) { return forms().find(QString::fromLatin1(view.form)); }

void MDIMain::closeReportView(const ReportView& view) { forms().unload(QString::fromLatin1(view.form)); }

void MDIMain::readReportViewAgain(const ReportView& view) {
  if (auto* gains = forms().find<GainsView>(QString::fromLatin1(view.form))) gains->readAgain();
}

}  // namespace ledger
