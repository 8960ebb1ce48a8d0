// The File menu and the toolbar buttons that lead to it. A file command
// ends quietly at a failing step: the steps report their own failures.

#include <QComboBox>
#include <QTabWidget>

#include <algorithm>

#include "app/app_context.h"
#include "access/access_file.h"
#include "app/new_ledger.h"
#include "data/company_list.h"
#include "data/record_writes.h"
#include "ui/entry/entry_form.h"
#include "ui/hourglass.h"
#include "ui/main/command_guard.h"
#include "ui/main/mdi_main.h"

namespace ledger {

namespace {

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
  return s;
}

// Open's second filter entry.
constexpr const char* kOlderLedgerFilter = "Access Database (*.mdb *.accdb)|*.mdb;*.accdb";

constexpr const char* kTemplateRefused =
    "This file contains the source databases and it cannot\r\n"
    "be opened or modified. Please select another file.";

}  // namespace

void MDIMain::mnuFileItem_Click(int index) {
  guardedSilently([&] {
    switch (index) {
      case 1: newDatabase(); break;
      case 2: newRecord(); break;
      case 3: openLedger(); break;
      case 5: saveRecord(); break;
      case 6: deleteRecord(); break;
      case 8: exitProgram(); break;
      case 9: importTradesCommand(); break;
      case 10: exportTradesCommand(); break;
      default: break;  // 4, 7 and 11 are separators
    }
  });
}

void MDIMain::newDatabase() {
  Hourglass busy;
  NewLedger(m_app);
  if (m_app.session().LedgerCreated) {
    m_app.forms().unloadAll();
    m_editRow.reset();
    m_app.forms().show(QStringLiteral("frmMain"));
    busy.release();
    showLedgerMenus();
  }
  setLedgerTitle();
}

void MDIMain::newRecord() {
  ClearForm();
  DataBeingEntered();
  setRecordMode(QStringLiteral("Save"));
  EntryForm* form = entryForm();
  FillCompanyList(m_app.session(), *form);
  // A new trade starts with an empty symbol, not with what the list showed.
  form->cboCompanySymbol()->setEditText(QString());
  form->showSymbolList(true);
  showLedgerMenus();
  form->cboCompanySymbol()->setFocus();
}

void MDIMain::openLedger() {
  LedgerSession& session = m_app.session();
  for (;;) {
    FileDialogSettings settings;
    settings.filter += std::string("|") + kOlderLedgerFilter;
    settings.initialDirectory = m_app.programDir();
    settings.fileName.clear();
    const std::optional<std::string> chosen = m_app.files().chooseOpen(settings);
    // Cancel changes nothing: the open ledger stays open.
    if (!chosen || chosen->empty()) return;
    Hourglass busy;
    if (upper(*chosen) == upper(m_app.templatePath())) {
      busy.release();
      m_app.prompter().show(kTemplateRefused, MsgIcon::Information);
      continue;
    }
    // A ledger in the older format is offered a copy in this one.
    if (accessFormatOf(*chosen)) {
      busy.release();
      openOlderLedger(*chosen);
      return;
    }
    // A file that is not a ledger is refused here, before anything the
    // user has open is closed.
    if (!session.OpenLedgerTable("Trade", *chosen)) return;
    session.LedgerPath = *chosen;
    m_app.forms().unloadAll();
    m_editRow.reset();
    DataBeingViewd();
    m_app.forms().show(QStringLiteral("frmMain"));
    showLedgerMenus();
    setLedgerTitle();
    return;
  }
}

void MDIMain::saveRecord() {
  EntryForm* form = entryForm();
  // The symbol check has always run before Save reads the General tab,
  // also when the focus never left the symbol list.
  if (form->symbolListShown()) form->cboCompanySymbol_Validate();
  if (!SaveRecord(m_app.session(), *form, recordMode().toStdString(), m_editRow)) return;
  setRecordMode(QStringLiteral("Save"));
  m_editRow.reset();
  DataBeingViewd();
  form->showSymbolList(false);
  reloadEntryTab();
}

void MDIMain::deleteRecord() {
  DeleteRecord(m_app.session(), *entryForm());
  reloadEntryTab();
}

void MDIMain::exitProgram() {
  // Closing the main window unloads every child window and ends the program;
  // a trade being entered is dropped.
  close();
}

}  // namespace ledger
