// The File menu and the toolbar buttons that lead to it. A file command
// ends quietly at a failing step: the steps report their own failures.

#include "app/app_context.h"
#include "access/access_file.h"
#include "app/new_ledger.h"
#include "ui/hourglass.h"
#include "ui/command_guard.h"
#include "ui/main/mdi_main.h"

namespace ledger {

namespace {

// Open's second filter entry.
constexpr const char* kOlderLedgerFilter = "Access Database (*.mdb *.accdb)|*.mdb;*.accdb";

constexpr const char* kTemplateRefused =
    "This file contains the source databases and it cannot\r\n"
    "be opened or modified. Please select another file.";

}  // namespace

void MDIMain::mnuFileItem_Click(int index) {
  guardedSilently([&] {
    if ((index == 2 || index == 5 || index == 6) && !ledgerFileUnchanged()) return;
    switch (index) {
      case 1: newDatabase(); break;
      case 2: m_commands.newRecord(); break;
      case 3: openLedger(); break;
      case 5: m_commands.save(); break;
      case 6: m_commands.deleteRecord(); break;
      case 8: exitProgram(); break;
      case 9: importTradesCommand(); break;
      case 10: exportTradesCommand(); break;
      default: break;  // 4, 7 and 11 are separators
    }
  });
  // A save, a delete or another ledger changes what can be undone.
  updateUndoActions();
}

void MDIMain::newDatabase() {
  if (!m_commands.settleEntry()) return;
  Hourglass busy;
  if (NewLedger(m_app)) {
    m_commands.forgetEntry();
    forms().unloadAll();
    forms().show(QStringLiteral("frmMain"));
    busy.release();
    showLedgerMenus();
    rememberLedger(m_app.session().LedgerPath);
  }
  setLedgerTitle();
}

void MDIMain::openLedger() {
  if (!m_commands.settleEntry()) return;
  for (;;) {
    FileDialogSettings settings;
    settings.filter += std::string("|") + kOlderLedgerFilter;
    settings.initialDirectory = m_app.programDir();
    settings.fileName.clear();
    const std::optional<std::string> chosen = m_app.files().chooseOpen(settings);
    // Cancel changes nothing: the open ledger stays open.
    if (!chosen || chosen->empty()) return;
    // The template or master picked: the dialog comes again.
    if (openLedgerFile(*chosen) != OpenOutcome::Refused) return;
  }
}

MDIMain::OpenOutcome MDIMain::openLedgerFile(const std::string& path) {
  LedgerSession& session = m_app.session();
  Hourglass busy;
  if (m_app.isProgramLedger(path)) {
    busy.release();
    m_app.prompter().show(kTemplateRefused, MsgIcon::Information);
    return OpenOutcome::Refused;
  }
  // A ledger in the older format is offered a copy in this one.
  if (accessFormatOf(path)) {
    busy.release();
    return openOlderLedger(path);
  }
  // A file that is not a ledger is refused here, before anything the
  // user has open is closed.
  if (!session.OpenLedgerTable("Trade", path)) return OpenOutcome::Failed;
  session.LedgerPath = path;
  m_commands.forgetEntry();
  forms().unloadAll();
  DataBeingViewd();
  forms().show(QStringLiteral("frmMain"));
  showLedgerMenus();
  setLedgerTitle();
  rememberLedger(path);
  return OpenOutcome::Opened;
}

void MDIMain::exitProgram() {
  // Closing the main window asks about a trade being typed, then unloads
  // every child window and ends the program.
  close();
}

}  // namespace ledger
