// Getting trades in and out from the main window: File's Import Trades and
// Export Trades, Export to CSV on a grid's menu, and Open of a ledger in the
// older format. The flows themselves are window-free (app/ledger_transfer);
// this file only routes the menus to them.

#include <QAction>
#include <QCursor>
#include <QMenu>

#include <filesystem>

#include "access/access_file.h"
#include "app/app_context.h"
#include "app/ledger_transfer.h"
#include "engine/db_error.h"
#include "transfer/import_source.h"
#include "ui/hourglass.h"
#include "app/command_guard.h"
#include "ui/main/mdi_main.h"
#include "ui/transfer/import_window.h"
#include "ui/views/grid_export.h"

namespace ledger {

namespace {

constexpr const char* kImportFilter =
    "CSV File (*.csv *.txt)|*.csv;*.txt|Access Database (*.mdb *.accdb)|*.mdb;*.accdb";

}  // namespace

void MDIMain::setUpTransferItems() {
  // Usable while a ledger is open and no trade is being entered (Save is
  // enabled exactly then).
  connect(m_mnuFile, &QMenu::aboutToShow, this, [this] {
    const bool usable = !m_app.session().LedgerPath.empty() && !mnuFileItem(5)->isEnabled();
    for (int index : {9, 10}) mnuFileItem(index)->setEnabled(usable);
  });
}

void MDIMain::exportTradesCommand() {
  if (m_app.session().LedgerPath.empty()) return;
  exportToCsv(m_app, "Trade", "Trades.csv");
}

void MDIMain::popupGridMenu(ViewTag tag, const GridExport& grid) {
  m_commands.setViewTag(tag);
  m_gridExport = grid;
  mnuRestoreItem(3)->setVisible(true);
  guarded(m_app.prompter(), [&] { m_mnuRestore->popup(QCursor::pos()); });
}

void MDIMain::exportGrid() {
  if (!m_gridExport) return;
  const GridExport grid = *m_gridExport;
  const std::string& path = m_app.session().LedgerPath;
  if (!grid.source.isEmpty()) {
    exportToCsv(m_app, grid.source.toStdString(), grid.fileName.toStdString());
  } else if (grid.model) {
    exportToCsvWith(m_app, path, grid.fileName.toStdString(), [&grid](const std::string& file) {
      if (!grid.model) throw DbError(dberr::kGeneral, "The window was closed.");
      exportModelCsvFile(*grid.model, file);
    });
  }
}

void MDIMain::importTradesCommand() {
  const std::string ledgerPath = m_app.session().LedgerPath;
  if (ledgerPath.empty()) return;
  FileDialogSettings settings;
  settings.filter = kImportFilter;
  settings.defaultExtension = "csv";
  const std::optional<std::string> chosen = m_app.files().chooseOpen(settings);
  if (!chosen || chosen->empty()) return;

  ImportInput input;
  input.fileName = std::filesystem::path(*chosen).filename().string();
  try {
    if (accessFormatOf(*chosen))
      input.source = openAccessFile(*chosen);
    else
      input.csvBytes = readWholeFile(*chosen);
  } catch (const SourceError& e) {
    m_app.prompter().show(*chosen + kNewLine + "cannot be read." + kNewLine + kNewLine + e.what(), MsgIcon::Critical);
    return;
  } catch (const std::filesystem::filesystem_error& e) {
    m_app.prompter().show(*chosen + kNewLine + "cannot be read." + kNewLine + kNewLine + e.code().message(),
                          MsgIcon::Critical);
    return;
  }

  ImportWindow* window = nullptr;
  try {
    Hourglass busy;
    window = new ImportWindow(m_app, std::move(input), this);
  } catch (const DbError& e) {
    m_app.prompter().show(readFailureMessage(ledgerPath, e.what()), MsgIcon::Critical);
    return;
  }
  window->setAttribute(Qt::WA_DeleteOnClose);
  // The new trades show everywhere, and Undo offers to take the import back.
  connect(window, &ImportWindow::imported, this, [this] {
    guarded(m_app.prompter(), [&] { m_commands.tradesImported(); });
    updateUndoActions();
  });
  window->open();
}

}  // namespace ledger
