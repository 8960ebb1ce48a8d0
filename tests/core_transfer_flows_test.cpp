// File's Import Trades through a fake window: which file is read, what is
// told when it cannot be, what the import window is made over, what shows
// after an import, and when the transfer commands can be used.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/transfer_flows.h"
#include "core_fixture.h"
#include "transfer/import_run.h"
#include "transfer/import_source.h"
#include "transfer/price_import_run.h"

namespace ledger {
namespace {

namespace fs = std::filesystem;
using test::Log;

class TransferFlowsTest : public test::CoreTest {
 protected:
  void importFile(std::optional<std::string> file) {
    files.queueOpen(std::move(file));
    transfers.importTrades();
  }
  // Writes the trades of the import window's file, as its Import button
  // would, and tells the flows.
  void importFromWindow() {
    ASSERT_TRUE(window.importInput.has_value());
    const ImportTable table = readImportCsv(window.importInput->csvBytes);
    ImportOptions options;
    options.mapping = guessMapping(*table.header());
    Database db = app.session().ledgerConnection();
    ASSERT_EQ(importRecords(db, table.records, options).outcome, ImportOutcome::Written);
    window.importDone();
  }

  TransferFlows transfers{app, commands, window};
  std::string ledger = dir.file("l.mdb");
};

TEST_F(TransferFlowsTest, ImportTradesFromTheChosenFileToTheUndoOffer) {
  test::makeLedger(ledger);
  const std::string csv = dir.file("trades.csv"), missing = dir.file("missing.csv");
  const std::string csvText = "Symbol,Date,Side,Quantity,Price\nMSFT,2024-02-03,B,20,200\n";
  std::ofstream(csv, std::ios::binary) << csvText;
  struct Row {
    const char* name;
    std::function<void()> run;
    Log log;
    std::string message;  // the whole text of the message shown, if any
    bool usableAfter;
  };
  const Row rows[] = {
      {"no ledger: no dialog", [&] { transfers.importTrades(); }, {}, "", false},
      {"the dialog cancelled", [&] { importFile(std::nullopt); }, {}, "", true},
      {"a file that cannot be read is told, and no window comes", [&] { importFile(missing); },
       {"message " + missing}, missing + "\r\ncannot be read.\r\n\r\nNo such file or directory", true},
      {"a ledger the window cannot read is told once the busy pointer is off",
       [&] {
         window.importWindowFails = true;
         importFile(csv);
         window.importWindowFails = false;
       },
       {"busy", "idle", "message The ledger could not be read."},
       "The ledger could not be read.\r\nDB Path : " + ledger + ".\r\n\r\ndisk I/O error", true},
      {"a CSV file goes to the window as its bytes; after the import the trades show and Undo names it",
       [&] {
         importFile(csv);
         EXPECT_EQ(window.importInput ? window.importInput->csvBytes : "", csvText);
         importFromWindow();
         ASSERT_FALSE(window.states.empty());
         EXPECT_EQ(undoMenuText("Undo", window.states.back().undo.undo), "Undo Import of 1 trade");
       },
       {"busy", "import window trades.csv", "idle", "refresh views", "reload tab"}, "", true},
      {"not while a trade is being typed", [&] { commands.newRecord(); }, {"entry state"}, "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    window.log.clear();
    answers.shown.clear();
    if (!row.message.empty()) answers.expect(MsgAnswer::Ok);
    row.run();
    EXPECT_EQ(window.log, row.log);
    EXPECT_EQ(answers.shown.empty() ? "" : answers.shown.back().text, row.message);
    EXPECT_EQ(transfers.transferCommandsUsable(), row.usableAfter);
    if (app.session().LedgerPath.empty()) {
      ASSERT_EQ(flows.open(ledger), OpenOutcome::Opened);
    }
  }
}

// Import Prices takes a CSV file only, as its bytes, and after the window
// has written the prices Undo names the import.
TEST_F(TransferFlowsTest, ImportPricesFromTheChosenFileToTheUndoOffer) {
  test::makeLedger(ledger);
  ASSERT_EQ(flows.open(ledger), OpenOutcome::Opened);
  const std::string csv = dir.file("MSFT.csv");
  const std::string csvText = "Date,Close\n2025-04-10,412.5\n";
  std::ofstream(csv, std::ios::binary) << csvText;
  window.log.clear();
  files.queueOpen(csv);
  transfers.importPrices();
  EXPECT_EQ(window.log, (Log{"busy", "price import window MSFT.csv", "idle"}));
  ASSERT_TRUE(window.importInput.has_value());
  EXPECT_EQ(window.importInput->csvBytes, csvText);

  const ImportTable table = readImportCsv(window.importInput->csvBytes);
  PriceImportOptions options;
  options.mapping = guessPriceMapping(*table.header());
  options.symbol = "MSFT";
  {
    Database db = app.session().ledgerConnection();
    ASSERT_EQ(importPriceRecords(db, table.records, options).outcome, ImportOutcome::Written);
  }
  window.importDone();
  ASSERT_FALSE(window.states.empty());
  EXPECT_EQ(undoMenuText("Undo", window.states.back().undo.undo), "Undo Import of 1 Price");
}

TEST_F(TransferFlowsTest, AnOlderLedgerGoesToTheWindowAsItsTables) {
  const fs::path sample = fs::path(LEDGER_SOURCE_DIR) / ".." / "shared" / "testdata" / "access" / "DateTestDatabase.mdb";
  if (!fs::exists(sample)) GTEST_SKIP() << "the Access test files are not here (" << sample << ")";
  test::makeLedger(ledger);
  ASSERT_EQ(flows.open(ledger), OpenOutcome::Opened);
  window.log.clear();
  importFile(sample.string());
  EXPECT_EQ(window.log, (Log{"busy", "import window DateTestDatabase.mdb", "idle"}));
  ASSERT_NE(window.importInput->source, nullptr);
  EXPECT_TRUE(window.importInput->csvBytes.empty());
  EXPECT_EQ(window.importInput->source->tableNames(), std::vector<std::string>{"DateTest"});
}

}  // namespace
}  // namespace ledger
