#pragma once
// The report views: showing one from the View menus, and which views are
// read again after a change or a Refresh.

#include "app/app_context.h"
#include "app/ledger_commands.h"
#include "app/window_port.h"

namespace ledger {

inline constexpr const char* kHistoryNeedsGeneralTab =
    "Please select the General tab and choose the \r\n"
    "company which you want to view it's history.";

class ReportViewFlows {
 public:
  // All three must outlive the flows. The views open are part of the
  // window's state that commands publishes.
  ReportViewFlows(AppContext& app, LedgerCommands& commands, WindowPort& window)
      : m_app(app), m_commands(commands), m_window(window) {}

  // The view on the View menus' item menuIndex, for the open ledger. Each
  // step goes on when the one before it failed; failures have been
  // reported by then.
  void show(int menuIndex);
  // Refresh: the view tagged tag is made afresh; no view for None.
  void refresh(ViewTag tag);
  // Refresh All: every view is made afresh, closed ones included.
  void refreshAll();
  // After a change: the open views are made afresh (or read again where
  // they stand, those that read in place), and the Splits and Dividends
  // window lists again; closed ones stay closed.
  void refreshOpen();

 private:
  void reload(const ReportView& view);

  AppContext& m_app;
  LedgerCommands& m_commands;
  WindowPort& m_window;
};

}  // namespace ledger
