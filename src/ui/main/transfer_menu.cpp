// Getting trades in and out from the main window: File's Import Trades and
// Export Trades and Export to CSV on a grid's menu. What they do is the
// core's (app/transfer_flows.h); the window shows the import window and
// writes a grid's own rows.

#include <QAction>
#include <QCursor>
#include <QMenu>

#include "app/command_guard.h"
#include "engine/db_error.h"
#include "ui/main/mdi_main.h"
#include "ui/transfer/import_window.h"
#include "ui/transfer/price_import_window.h"
#include "app/grid_csv.h"

namespace ledger {

void MDIMain::setUpTransferItems() {
  connect(m_mnuFile, &QMenu::aboutToShow, this, [this] {
    const bool usable = m_transfers.transferCommandsUsable();
    for (int index : {9, 10, 12}) mnuFileItem(index)->setEnabled(usable);
  });
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
  GridRows rows{grid.source.toStdString(), {}, grid.fileName.toStdString()};
  if (grid.model)
    rows.writeRows = [&grid](const std::string& file) {
      if (!grid.model) throw DbError(dberr::kGeneral, "The window was closed.");
      exportModelCsvFile(*grid.model, file);
    };
  m_transfers.exportGrid(rows);
}

void MDIMain::showImportWindow(ImportInput input, std::function<void()> imported) {
  auto* window = new ImportWindow(m_app, std::move(input), this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  connect(window, &ImportWindow::imported, this, std::move(imported));
  window->open();
}

void MDIMain::showPriceImportWindow(ImportInput input, std::function<void()> imported) {
  auto* window = new PriceImportWindow(m_app, std::move(input), this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  connect(window, &PriceImportWindow::imported, this, std::move(imported));
  window->open();
}

}  // namespace ledger
