// Writing an import: the trades go in batches of many rows, yet every one
// must land as written, in order, with its company, listed in the undo
// step, and go again with one undo.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "transfer/import_run.h"
#include "ledger/ledger_writes.h"
#include "engine/sqlite_util.h"
#include "test_ledger.h"
#include "ledger/undo_journal.h"
#include "engine/value.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

struct WriteCase {
  const char* name;
  int trades;
  // The row id of a trade already in the ledger: new rows take the ids
  // after the largest, and near the largest possible id SQLite picks others.
  std::int64_t existingRowid;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class ImportWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ImportWriteTest, EveryTradeLandsInOrderAndOneUndoTakesThemAll) {
  test::TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path);
  const std::string held = "SELECT rowid, * FROM Trade ORDER BY rowid";
  std::vector<Trade> trades;
  Rows expected;
  {
    Database db = openLedger(path);
    db.executeScript("INSERT INTO Trade (rowid, CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, "
                     "Commission) VALUES (" + std::to_string(GetParam().existingRowid) +
                     ", 1, 'OLD', 1, 'B', '2020-01-01', 1, 0)");
    for (int i = 0; i < GetParam().trades; ++i) {
      // Every third trade is of a company the import adds.
      const bool added = i % 3 == 0;
      trades.push_back({added ? 0 : 7, added ? "NEWCO" : "KNOWN", "2024-01-" + std::to_string(10 + i % 20),
                        i % 2 ? TradeSide::Sell : TradeSide::Buy, 1.0 + i, 0.1 * i, i % 5 * 0.25});
    }
  }
  const Rows before = test::readAll(path, held);
  {
    Database db = openLedger(path);
    ASSERT_TRUE(importTrades(db, trades, {"NEWCO"}));
  }
  const Rows newco = test::readAll(path, "SELECT CompanyID FROM Companies WHERE CompanySymbol = 'NEWCO'");
  ASSERT_EQ(newco.size(), 1u);
  for (const Trade& t : trades) {
    const std::string company = t.companyId == 0 ? newco[0][0] : std::to_string(t.companyId);
    expected.push_back({company, t.symbol, formatNumber(t.quantity), std::string(sideCode(t.side)), t.date,
                        formatNumber(t.price), formatNumber(t.commission)});
  }
  // The step lists the rows in the order they were written.
  EXPECT_EQ(test::readAll(path, "SELECT t.CompanyID, t.CompanySymbol, t.Quantity, t.[Buy/Sell], t.Date, t.Price, "
                                "t.Commission FROM UndoChange AS u JOIN Trade AS t ON t.rowid = u.RowKey "
                                "WHERE u.TableName = 'Trade' AND u.Kind = 'Insert' ORDER BY u.Seq"),
            expected);
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Trade"), (Rows{{std::to_string(GetParam().trades + 1)}}));
  {
    Database db = openLedger(path);
    ASSERT_TRUE(undoStep(db));
  }
  EXPECT_EQ(test::readAll(path, held), before);
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Companies WHERE CompanySymbol = 'NEWCO'"), (Rows{{"0"}}));
}

constexpr std::int64_t kLargest = std::numeric_limits<std::int64_t>::max();

INSTANTIATE_TEST_SUITE_P(Imports, ImportWriteTest,
                         ::testing::Values(WriteCase{"One", 1, 5}, WriteCase{"OneBatchLess", 63, 5},
                                           WriteCase{"OneBatch", 64, 5}, WriteCase{"OneBatchMore", 65, 5},
                                           WriteCase{"SeveralBatches", 300, 5},
                                           WriteCase{"NearTheLargestRowId", 100, kLargest - 70},
                                           WriteCase{"PastTheLargestRowId", 100, kLargest - 10},
                                           WriteCase{"AtTheLargestRowId", 20, kLargest}),
                         [](const auto& info) { return std::string(info.param.name); });

// Two copies of the program on one ledger: A previews a file of three NEWCO
// trades, then B imports the same file, then A presses Import.
TEST(ImportAfterAnotherWriterTest, TheLedgerAsItStandsWhenWrittenDecides) {
  test::TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path);
  const std::vector<CsvRecord> records = {{"Symbol", "Date", "Side", "Quantity", "Price"},
                                          {"NEWCO", "2024-01-02", "B", "10", "5"},
                                          {"NEWCO", "2024-01-03", "B", "15", "6"},
                                          {"NEWCO", "2024-01-04", "S", "0.5", "7"}};
  ImportOptions options;
  options.mapping = guessMapping(records[0]);
  Database a = openLedger(path);
  const ImportPlan preview = planImport(records, options, LedgerIndex::read(a));
  ASSERT_EQ(preview.trades.size(), 3u);
  ASSERT_EQ(preview.newSymbols, std::vector<std::string>{"NEWCO"});

  Database b = openLedger(path);
  ASSERT_EQ(importRecords(b, records, options).outcome, ImportOutcome::Written);

  // A's preview no longer holds: nothing is written and the new plan says why.
  const ImportRun run = importRecords(a, records, options, &preview);
  EXPECT_EQ(run.outcome, ImportOutcome::LedgerChanged);
  EXPECT_TRUE(run.plan.trades.empty());
  EXPECT_EQ(run.plan.duplicates.size(), 3u);
  EXPECT_TRUE(run.plan.newSymbols.empty());
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Trade"), (Rows{{"3"}}));

  // The stale plan written as it stands still adds NEWCO only once, and its
  // trades take that company's number.
  ASSERT_TRUE(importTrades(a, preview.trades, preview.newSymbols));
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Companies WHERE CompanySymbol = 'NEWCO'"), (Rows{{"1"}}));
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Trade t JOIN Companies c USING (CompanyID) "
                                "WHERE c.CompanySymbol = 'NEWCO'"),
            (Rows{{"6"}}));
}

}  // namespace
}  // namespace ledger
