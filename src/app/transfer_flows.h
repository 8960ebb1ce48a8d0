#pragma once
// Getting trades in and out from the main window: File's Import Trades and
// Export Trades, and Export to CSV on a grid's menu. The flows choose the
// file, read it and tell what fails; the window shows the import window
// and writes a grid's own rows.

#include <functional>
#include <string>

#include "app/app_context.h"
#include "app/ledger_commands.h"
#include "app/window_port.h"

namespace ledger {

// What Export to CSV on a grid's menu writes.
struct GridRows {
  // The ledger query the grid shows, read again from the file so that
  // every row and value is exact; empty for a grid of figures the program
  // computed.
  std::string source;
  // Writes such a grid's rows into the chosen file; empty once the grid
  // has gone. Throws DbError or std::filesystem::filesystem_error.
  std::function<void(const std::string& file)> writeRows;
  // The name the save dialog suggests.
  std::string fileName;
};

class TransferFlows {
 public:
  // All three must outlive the flows.
  TransferFlows(AppContext& app, LedgerCommands& commands, WindowPort& window)
      : m_app(app), m_commands(commands), m_window(window) {}

  // Import and Export Trades can be used: a ledger is open and no trade is
  // being typed.
  bool transferCommandsUsable() const;

  // Import Trades: a CSV file or a ledger in the older format, chosen and
  // read, goes to the import window. A file that cannot be read is told and
  // goes nowhere.
  void importTrades();
  // Import Prices: a CSV file of closing prices, chosen and read, goes to
  // the price import window.
  void importPrices();
  // Export Trades: the ledger's trades into a CSV file.
  void exportTrades();
  // Export to CSV on a grid's menu.
  void exportGrid(const GridRows& grid);

 private:
  // The import window wrote trades: they show everywhere, and Undo offers
  // to take the import back.
  void tradesImported();

  AppContext& m_app;
  LedgerCommands& m_commands;
  WindowPort& m_window;
};

}  // namespace ledger
