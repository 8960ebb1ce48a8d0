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
  void showOpenedLedger(const std::string& path, bool viewState) override {
    entryFormOpen = true;
    log.push_back("show " + path + (viewState ? " for viewing" : ""));
  }
  void forgetRecentLedger(const std::string& path) override { log.push_back("forget " + path); }
  void showLedgerClosed() override {
    entryFormOpen = false;
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
  bool reportViewOpen(const ReportView& view) override { return openViews.count(view.form) != 0; }
  void closeReportView(const ReportView& view) override {
    openViews.erase(view.form);
    log.push_back(std::string("close ") + view.form);
  }
  void renderLedgerState(const LedgerState& s) override {
    state = s;
    log.push_back("title " + s.path + (s.readOnly ? " (read-only)" : ""));
  }

  // Import and export
  void showImportWindow(ImportInput input, std::function<void()> imported) override {
    if (importWindowFails) throw DbError(dberr::kGeneral, "disk I/O error");
    log.push_back("import window " + input.fileName);
    importInput = std::move(input);
    importDone = std::move(imported);
  }
  void renderUndoOffer(const UndoOffer& offer) override { log.push_back(undoMenuText("Undo", offer.undo)); }
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
  void renderLook(const ModeLook& l) override {
    look = l;
    log.push_back(l.mode == WindowMode::Entering ? "entry state" : l.mode == WindowMode::Viewing ? "view state" : "no-ledger state");
  }
  void clearEntryForm() override { form = FakeForm(); }
  void showSymbolList(bool shown) override { symbolList = shown; }
  bool symbolListShown() override { return symbolList; }
  void reloadEntryTab() override { log.push_back("reload tab"); }
  FormPort& showGeneralTab() override { return loadEntryForm(); }
  void refreshOpenViews() override { log.push_back("refresh views"); }

  std::vector<std::string> log;
  bool busy = false;
  std::optional<LedgerState> state;
  // What the last state rendered set.
  std::optional<ModeLook> look;
  FakeForm form;
  bool entryFormOpen = false;
  bool symbolList = false;
  std::set<std::string> openViews;
  // A view whose window fails as it is made.
  ViewTag failingView = ViewTag::None;
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
