#include "app/transfer_flows.h"

#include <filesystem>
#include <optional>

#include "access/access_file.h"
#include "app/command_guard.h"
#include "app/ledger_transfer.h"
#include "engine/db_error.h"
#include "transfer/import_source.h"

namespace ledger {

namespace {

constexpr const char* kImportFilter =
    "CSV File (*.csv *.txt)|*.csv;*.txt|Access Database (*.mdb *.accdb)|*.mdb;*.accdb";

constexpr const char* kPriceImportFilter = "CSV File (*.csv *.txt)|*.csv;*.txt";

std::string unreadableMessage(const std::string& file, const std::string& why) {
  return file + kNewLine + "cannot be read." + kNewLine + kNewLine + why;
}

// The file as the import window reads it; nullopt when it cannot be read
// (the user has been told).
std::optional<ImportInput> readImportInput(Prompter& prompter, const std::string& file) {
  ImportInput input;
  input.fileName = std::filesystem::path(file).filename().string();
  try {
    if (accessFormatOf(file)) {
      input.source = openAccessFile(file);
      input.tableNames = input.source->tableNames();
    } else {
      input.csvBytes = readWholeFile(file);
    }
  } catch (const SourceError& e) {
    prompter.show(unreadableMessage(file, e.what()), MsgIcon::Critical);
    return std::nullopt;
  } catch (const std::filesystem::filesystem_error& e) {
    prompter.show(unreadableMessage(file, e.code().message()), MsgIcon::Critical);
    return std::nullopt;
  }
  return input;
}

}  // namespace

bool TransferFlows::transferCommandsUsable() const {
  return !m_app.session().LedgerPath.empty() && !m_commands.entering();
}

void TransferFlows::importTrades() {
  const std::string ledgerPath = m_app.session().LedgerPath;
  if (ledgerPath.empty()) return;
  FileDialogSettings settings;
  settings.filter = kImportFilter;
  settings.defaultExtension = "csv";
  const std::optional<std::string> chosen = m_app.files().chooseOpen(settings);
  if (!chosen || chosen->empty()) return;
  std::optional<ImportInput> input = readImportInput(m_app.prompter(), *chosen);
  if (!input) return;
  try {
    BusyScope busy(m_window);
    m_window.showImportWindow(std::move(*input), [this] { tradesImported(); });
  } catch (const DbError& e) {
    m_app.prompter().show(readFailureMessage(ledgerPath, e.what()), MsgIcon::Critical);
  }
}

void TransferFlows::importPrices() {
  const std::string ledgerPath = m_app.session().LedgerPath;
  if (ledgerPath.empty()) return;
  FileDialogSettings settings;
  settings.filter = kPriceImportFilter;
  settings.defaultExtension = "csv";
  const std::optional<std::string> chosen = m_app.files().chooseOpen(settings);
  if (!chosen || chosen->empty()) return;
  ImportInput input;
  input.fileName = std::filesystem::path(*chosen).filename().string();
  try {
    input.csvBytes = readWholeFile(*chosen);
  } catch (const std::filesystem::filesystem_error& e) {
    m_app.prompter().show(unreadableMessage(*chosen, e.code().message()), MsgIcon::Critical);
    return;
  }
  try {
    BusyScope busy(m_window);
    // Undo offers to take the prices back.
    m_window.showPriceImportWindow(std::move(input), [this] { tradesImported(); });
  } catch (const DbError& e) {
    m_app.prompter().show(readFailureMessage(ledgerPath, e.what()), MsgIcon::Critical);
  }
}

void TransferFlows::tradesImported() {
  // The new trades show everywhere, and Undo offers to take the import back.
  guarded(m_app.prompter(), [&] { m_commands.tradesImported(); });
}

void TransferFlows::exportTrades() {
  if (m_app.session().LedgerPath.empty()) return;
  exportToCsv(m_app, "Trade", "Trades.csv");
}

void TransferFlows::exportGrid(const GridRows& grid) {
  if (!grid.source.empty())
    exportToCsv(m_app, grid.source, grid.fileName);
  else if (grid.writeRows)
    exportToCsvWith(m_app, m_app.session().LedgerPath, grid.fileName, grid.writeRows);
}

}  // namespace ledger
