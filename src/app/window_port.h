#pragma once
// What the program's flows need of the main window. The flows decide; the
// window only renders what they tell it. Tests fake it without a widget.

#include <functional>
#include <string>

#include "app/import_input.h"
#include "app/ledger_commands.h"
#include "app/report_views.h"

namespace ledger {

// The window the record commands drive (CommandHost), and what the ledger
// flows need of it besides.
class WindowPort : public CommandHost {
 public:
  // The busy pointer over the whole program, on or off.
  virtual void showBusy(bool busy) = 0;
  // The session's ledger has just been opened or made: the previous
  // ledger's windows go, the entry window comes and the ledger joins the
  // recent ones.
  virtual void showOpenedLedger(const std::string& path) = 0;
  // A recent ledger that has gone leaves the recent ones.
  virtual void forgetRecentLedger(const std::string& path) = 0;
  // The ledger was closed under the program: its windows go.
  virtual void showLedgerClosed() = 0;
  // The entry form's tab, the form loaded first when it is closed.
  virtual int entryFormTab() = 0;
  // A report view: made and read when it is not open, then shown in front.
  virtual void showReportView(const ReportView& view) = 0;
  virtual void closeReportView(const ReportView& view) = 0;
  // The Splits and Dividends window, when open, lists its company's events
  // again.
  virtual void reloadEventsWindow() = 0;
  // The Prices window, when open, lists its company's prices again.
  virtual void reloadPricesWindow() = 0;

  // Import and export (app/transfer_flows.h).
  // Makes the import window over input and shows it; imported runs each
  // time that window has written trades. Throws DbError when the ledger
  // cannot be read.
  virtual void showImportWindow(ImportInput input, std::function<void()> imported) = 0;
  // The same for the window that imports closing prices from a CSV file.
  virtual void showPriceImportWindow(ImportInput input, std::function<void()> imported) = 0;
};

// The busy pointer for a scope: off again on every path out, or earlier
// by release(), before a message is shown.
class BusyScope {
 public:
  explicit BusyScope(WindowPort& window) : m_window(window) { m_window.showBusy(true); }
  ~BusyScope() { release(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
  void release() {
    if (m_on) m_window.showBusy(false);
    m_on = false;
  }

 private:
  WindowPort& m_window;
  bool m_on = true;
};

}  // namespace ledger
