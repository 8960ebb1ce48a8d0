// The View menu, the View submenu of the ShortHand popup and the Restore
// popup of the views.

#include <QTabWidget>

#include "app/app_context.h"
#include "app/form_port.h"
#include "ui/entry/entry_form.h"
#include "ui/hourglass.h"
#include "ui/command_guard.h"
#include "ui/main/mdi_main.h"
#include "ui/main/report_views.h"

namespace ledger {

namespace {

constexpr const char* kHistoryNeedsGeneralTab =
    "Please select the General tab and choose the \r\n"
    "company which you want to view it's history.";

}  // namespace

void MDIMain::mnuViewItem_Click(int index) {
  guarded(m_app.prompter(), [&] {
    if (reportViewAt(index) && ledgerFileUnchanged()) showView(index);
  });
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
      case 1: refreshView(); break;
      case 2: refreshAllViews(); break;
      case 3: exportGrid(); break;
      default: break;
    }
  });
}

void MDIMain::showView(int index) {
  const QString name = reportViewAt(index)->formName();
  // Each step goes on when the one before it failed; failures have been
  // reported by then.
  if (index == 3) {
    if (entryForm()->currentTab() != kGeneralTab) {
      m_app.prompter().show(kHistoryNeedsGeneralTab, MsgIcon::Information);
      return;
    }
    Hourglass busy;
    guarded(m_app.prompter(), [&] { forms().show(name); });
    return;
  }
  if (index == 5) {
    // The gains view reads the ledger on its own connection and leaves the
    // entry form's recordset alone, so the tab is not run again.
    Hourglass busy;
    guarded(m_app.prompter(), [&] { forms().show(name); });
    return;
  }
  {
    Hourglass busy;
    guarded(m_app.prompter(), [&] { forms().show(name); });
  }
  guarded(m_app.prompter(), [&] { reloadEntryTab(); });
}

void MDIMain::reloadView(const QString& name) {
  forms().unload(name);
  guarded(m_app.prompter(), [&] { forms().show(name); });
}

void MDIMain::refreshView() {
  if (const auto view = reportViewTagged(m_commands.viewTag())) reloadView(view->formName());
}

void MDIMain::refreshOpenViews() {
  for (const ReportView& view : kReportViews)
    if (forms().find(view.formName())) reloadView(view.formName());
}

void MDIMain::refreshAllViews() {
  for (const ReportView& view : kReportViews) reloadView(view.formName());
}

}  // namespace ledger
