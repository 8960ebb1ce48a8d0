#include "app/report_view_flows.h"

#include "app/command_guard.h"
#include "app/form_port.h"

namespace ledger {

void ReportViewFlows::show(int menuIndex) {
  const std::optional<ReportView> view = reportViewAt(menuIndex);
  if (!view || m_app.session().checkLedgerFile() != LedgerFileState::Unchanged) return;
  // History lists the trades of the company the General tab shows.
  if (view->tag == ViewTag::History && m_window.entryFormTab() != kGeneralTab) {
    m_app.prompter().show(kHistoryNeedsGeneralTab, MsgIcon::Information);
    return;
  }
  {
    BusyScope busy(m_window);
    guarded(m_app.prompter(), [&] { m_window.showReportView(*view); });
  }
  // The views that read through the session's one recordset leave it on
  // their query; the entry tab reads its rows again. History leaves the
  // tab's company as it was, and Gains reads on a connection of its own.
  if (view->tag != ViewTag::History && view->tag != ViewTag::Gains)
    guarded(m_app.prompter(), [&] { m_window.reloadEntryTab(); });
  m_commands.publish();
}

void ReportViewFlows::refresh(ViewTag tag) {
  if (const std::optional<ReportView> view = reportViewTagged(tag)) reload(*view);
  m_commands.publish();
}

void ReportViewFlows::refreshAll() {
  for (const ReportView& view : kReportViews) reload(view);
  m_commands.publish();
}

void ReportViewFlows::refreshOpen() {
  for (const ReportView& view : kReportViews)
    if (m_window.reportViewOpen(view)) reload(view);
  guarded(m_app.prompter(), [&] { m_window.reloadEventsWindow(); });
  guarded(m_app.prompter(), [&] { m_window.reloadPricesWindow(); });
}

void ReportViewFlows::reload(const ReportView& view) {
  m_window.closeReportView(view);
  guarded(m_app.prompter(), [&] { m_window.showReportView(view); });
}

}  // namespace ledger
