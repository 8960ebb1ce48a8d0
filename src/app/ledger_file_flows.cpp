#include "app/ledger_file_flows.h"

#include <filesystem>

#include "access/access_file.h"
#include "app/ledger_transfer.h"
#include "app/new_ledger.h"

namespace ledger {

namespace {

// Open's second filter entry.
constexpr const char* kOlderLedgerFilter = "Access Database (*.mdb *.accdb)|*.mdb;*.accdb";

std::string recentLedgerGoneMessage(const std::string& path) {
  return "The ledger " + path + " could not be found." + kNewLine +
         "It has been removed from the list of recent ledgers.";
}

}  // namespace

void LedgerFileFlows::openChosen() {
  if (!m_commands.settleEntry()) return;
  for (;;) {
    FileDialogSettings settings;
    settings.filter += std::string("|") + kOlderLedgerFilter;
    settings.initialDirectory = m_app.programDir();
    const std::optional<std::string> chosen = m_app.files().chooseOpen(settings);
    if (!chosen || chosen->empty()) return;
    if (open(*chosen) != OpenOutcome::Refused) return;
  }
}

OpenOutcome LedgerFileFlows::open(const std::string& path) {
  LedgerSession& session = m_app.session();
  BusyScope busy(m_window);
  if (m_app.isProgramLedger(path)) {
    busy.release();
    m_app.prompter().show(kTemplateRefused, MsgIcon::Information);
    return OpenOutcome::Refused;
  }
  // A ledger in the older format is offered a copy in this one.
  if (accessFormatOf(path)) {
    busy.release();
    const std::optional<std::string> made = offerConversion(m_app, path);
    return made ? open(*made) : OpenOutcome::Failed;
  }
  // Read before anything is closed: a file that is no ledger leaves the
  // open one as it was.
  if (!session.OpenLedgerTable("Trade", path)) return OpenOutcome::Failed;
  session.LedgerPath = path;
  opened(path, true);
  return OpenOutcome::Opened;
}

void LedgerFileFlows::openRecent(const std::string& path) {
  if (!m_commands.settleEntry()) return;
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    m_window.forgetRecentLedger(path);
    m_app.prompter().show(recentLedgerGoneMessage(path), MsgIcon::Information);
    return;
  }
  open(path);
}

void LedgerFileFlows::create() {
  if (!m_commands.settleEntry()) return;
  BusyScope busy(m_window);
  const bool made = NewLedger(m_app);
  busy.release();
  if (made)
    opened(m_app.session().LedgerPath, false);
  else
    m_commands.publish();
}

void LedgerFileFlows::follow(LedgerFileState change) {
  if (change == LedgerFileState::Closed) {
    m_commands.forgetEntry();
    m_window.showLedgerClosed();
    // Through the view state: it turns on again what an entry turned off
    // and the no-ledger state leaves as it is, New Database among them.
    m_commands.enterMode(WindowMode::Viewing);
    m_commands.enterMode(WindowMode::NoLedger);
  } else {
    m_window.refreshOpenViews();
    if (!m_commands.entering() && m_window.openEntryForm()) m_window.reloadEntryTab();
  }
  m_commands.publish();
}

void LedgerFileFlows::opened(const std::string& path, bool viewState) {
  m_commands.forgetEntry();
  if (viewState) m_commands.enterMode(WindowMode::Viewing);
  m_window.showOpenedLedger(path);
  ModeLook menus;
  menus.ledgerMenusShown = true;
  m_commands.setOverLook(menus);
}

}  // namespace ledger
