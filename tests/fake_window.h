#pragma once
// The main window as the core's flows see it, without a widget: it keeps
// a log of what it was told to show and hands out a FakeForm as the entry
// form.

#include <optional>
#include <string>
#include <vector>

#include "app/window_port.h"
#include "fake_form.h"

namespace ledger::test {

class FakeWindow final : public WindowPort {
 public:
  // WindowPort
  void showBusy(bool on) override {
    if (on == busy) ADD_FAILURE() << "the busy pointer set twice to " << on;
    busy = on;
    log.push_back(on ? "busy" : "idle");
  }
  void showOpenedLedger(const std::string& path, bool viewState) override {
    entryFormOpen = true;
    log.push_back("show " + path + (viewState ? " for viewing" : ""));
  }
  void forgetRecentLedger(const std::string& path) override { log.push_back("forget " + path); }
  void showLedgerClosed() override {
    entryFormOpen = false;
    log.push_back("closed");
  }
  void renderLedgerState(const LedgerState& s) override {
    state = s;
    log.push_back("title " + s.path + (s.readOnly ? " (read-only)" : ""));
  }

  // CommandHost
  FormPort* openEntryForm() override { return entryFormOpen ? &form : nullptr; }
  FormPort& loadEntryForm() override {
    entryFormOpen = true;
    return form;
  }
  void showViewState() override { log.push_back("view state"); }
  void showEntryState() override { log.push_back("entry state"); }
  void clearEntryForm() override { form = FakeForm(); }
  void showSymbolList(bool shown) override { symbolList = shown; }
  bool symbolListShown() override { return symbolList; }
  void reloadEntryTab() override { log.push_back("reload tab"); }
  FormPort& showGeneralTab() override { return loadEntryForm(); }
  void refreshOpenViews() override { log.push_back("refresh views"); }

  std::vector<std::string> log;
  bool busy = false;
  std::optional<LedgerState> state;
  FakeForm form;
  bool entryFormOpen = false;
  bool symbolList = false;
};

}  // namespace ledger::test
