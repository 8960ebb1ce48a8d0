#pragma once
// The main window as the core's flows see it, without a widget: it keeps
// a log of what it was told to show and hands out a FakeForm as the entry
// form. LoggingPrompter writes the messages into the same log.

#include <functional>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/window_port.h"
#include "engine/db_error.h"
#include "fake_form.h"
#include "fakes.h"

namespace ledger::test {

class FakeWindow final : public WindowPort {
 public:
  // WindowPort
  void showBusy(bool on) override {
    if (on == busy) ADD_FAILURE() << "the busy pointer set twice to " << on;
    busy = on;
    log.push_back(on ? "busy" : "idle");
  }
  void showOpenedLedger(const std::string& path) override {
    entryFormOpen = true;
    openViews.clear();
    log.push_back("show " + path);
    if (onReloadTab) onReloadTab();
  }
  void forgetRecentLedger(const std::string& path) override { log.push_back("forget " + path); }
  void showLedgerClosed() override {
    entryFormOpen = false;
    openViews.clear();
    log.push_back("closed");
  }
  int entryFormTab() override {
    entryFormOpen = true;
    return form.tab;
  }
  void showReportView(const ReportView& view) override {
    if (view.tag == failingView) throw std::runtime_error(std::string(view.form) + " failed");
    openViews.insert(view.form);
    log.push_back(std::string("view ") + view.form);
  }
  void closeReportView(const ReportView& view) override {
    openViews.erase(view.form);
    log.push_back(std::string("close ") + view.form);
  }
  void reloadEventsWindow() override {
    if (eventsWindowOpen) log.push_back("reload events");
  }
  bool eventsWindowOpen = false;
  void reloadPricesWindow() override {
    if (pricesWindowOpen) log.push_back("reload prices");
  }
  bool pricesWindowOpen = false;

  // Import and export
  void showImportWindow(ImportInput input, std::function<void()> imported) override {
    if (importWindowFails) throw DbError(dberr::kGeneral, "disk I/O error");
    log.push_back("import window " + input.fileName);
    importInput = std::move(input);
    importDone = std::move(imported);
  }
  void showPriceImportWindow(ImportInput input, std::function<void()> imported) override {
    if (importWindowFails) throw DbError(dberr::kGeneral, "disk I/O error");
    log.push_back("price import window " + input.fileName);
    importInput = std::move(input);
    importDone = std::move(imported);
  }
  // What the last import window was made over, and what it runs once it
  // has written trades.
  std::optional<ImportInput> importInput;
  std::function<void()> importDone;
  // The ledger cannot be read for the import window.
  bool importWindowFails = false;

  // CommandHost
  FormPort* openEntryForm() override { return entryFormOpen ? &form : nullptr; }
  FormPort& loadEntryForm() override {
    entryFormOpen = true;
    return form;
  }
  // Logs a mode entered and a title changed, from the state of a window
  // just made.
  void render(const WindowState& s) override {
    static const WindowState kFirst;
    const WindowState& before = states.empty() ? kFirst : states.back();
    if (s.look != before.look)
      log.push_back(s.mode() == WindowMode::Entering ? "entry state"
                    : s.mode() == WindowMode::Viewing ? "view state"
                                                      : "no-ledger state");
    if (s.ledger != before.ledger)
      log.push_back("title " + s.ledger.path + (s.ledger.readOnly ? " (read-only)" : ""));
    states.push_back(s);
  }
  void clearEntryForm() override { form = FakeForm(); }
  void showSymbolList(bool shown) override { symbolList = shown; }
  bool symbolListShown() override { return symbolList; }
  void reloadEntryTab() override {
    log.push_back("reload tab");
    if (onReloadTab) onReloadTab();
  }
  FormPort& showGeneralTab() override { return loadEntryForm(); }
  void refreshOpenViews() override { log.push_back("refresh views"); }
  bool reportViewOpen(const ReportView& view) override { return openViews.count(view.form) != 0; }

  std::vector<std::string> log;
  bool busy = false;
  // Every state rendered, the last one last.
  std::vector<WindowState> states;
  FakeForm form;
  bool entryFormOpen = false;
  bool symbolList = false;
  std::set<std::string> openViews;
  // A view whose window fails as it is made.
  ViewTag failingView = ViewTag::None;
  // What the entry form's tab change reads, for tests that need its rows;
  // run as the entry window comes and as its tab is read again.
  std::function<void()> onReloadTab;
};

// Shows messages through a scripted prompter and logs them among what the
// window was told, so that a message under the busy pointer shows.
class LoggingPrompter final : public Prompter {
 public:
  LoggingPrompter(ScriptedPrompter& answers, std::vector<std::string>& log) : m_answers(answers), m_log(log) {}
  MsgAnswer show(const std::string& text, MsgIcon icon, MsgButtons buttons, const std::string& title) override {
    m_log.push_back("message " + text.substr(0, text.find('\r')));
    return m_answers.show(text, icon, buttons, title);
  }

 private:
  ScriptedPrompter& m_answers;
  std::vector<std::string>& m_log;
};

}  // namespace ledger::test
