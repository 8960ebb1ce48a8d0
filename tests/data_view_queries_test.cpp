// The queries and figures the report views read: the datasheet's sorted
// queries, the per-company history queries, the profit/loss figures, the
// chart's table, and reading a recordset by position.
#include <gtest/gtest.h>

#include <functional>

#include "case_names.h"
#include "engine/db_error.h"
#include "fakes.h"
#include "test_ledger.h"
#include "ledger/view_queries.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::TempDir;
using test::TradeRow;

const std::vector<TradeRow> kTrades = {
    {3, "IBM", 10, "B", "2024-01-02", 100, 5},   {1, "AAPL", 20, "S", "2024-02-03", 200, 6},
    {2, "MSFT", 30, "B", "2024-03-04", 300, 7},  {1, "AAPL", 40, "B", "2024-04-05", 150.5, 2.25},
    {4, "O'Neil", 5, "B", "2024-05-06", 10, 1},  {4, "O'Neil", 2, "S", "2024-06-07", 12, 1},
};

class ViewQueriesTest : public ::testing::Test {
 protected:
  void SetUp() override { test::makeLedger(path, kTrades); }
  std::vector<std::vector<std::string>> rows(const std::string& sql) { return test::readAll(path, sql); }
  TempDir dir;
  std::string path = dir.file("ledger.mdb");
};

// ---- sorted queries --------------------------------------------------------

struct SortedCase {
  void (*ensure)(Database&);
  const char* name;
  const char* text;
  const char* firstColumn;  // the column that must come out in order
};

void PrintTo(const SortedCase& c, std::ostream* os) {
  *os << c.name << ": " << test::quoted(c.text) << ", in order of " << c.firstColumn;
}

class SortedQueryTest : public ViewQueriesTest, public ::testing::WithParamInterface<SortedCase> {};

TEST_P(SortedQueryTest, IsCreatedWithItsTextAndRestoredWhenChanged) {
  const SortedCase& c = GetParam();
  {
    Database db = openLedger(path);
    ASSERT_FALSE(db.hasQueryDef(c.name));
    c.ensure(db);
    EXPECT_EQ(db.queryDef(c.name).sql(), c.text);
    db.queryDef(c.name).setSql("SELECT * FROM Companies");
    c.ensure(db);
    EXPECT_EQ(db.queryDef(c.name).sql(), c.text);
  }
  const auto sorted = rows(std::string("SELECT ") + c.firstColumn + " FROM " + c.name);
  auto expected = sorted;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(sorted, expected);
  EXPECT_FALSE(sorted.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Datasheet, SortedQueryTest,
    ::testing::Values(SortedCase{EnsureTradeSorted, "TradeSorted", "SELECT * From Trade ORDER BY CompanyID", "CompanyID"},
                      SortedCase{EnsureBoughtSorted, "BoughtSorted", "SELECT * From Bought ORDER BY CompanySymbol",
                                 "CompanySymbol"},
                      SortedCase{EnsureSoldSorted, "SoldSorted", "SELECT * From Sold ORDER BY CompanySymbol",
                                 "CompanySymbol"}),
    test::ByCaseName());

// ---- history queries -------------------------------------------------------

TEST_F(ViewQueriesTest, HistoryQueriesHoldTheirTextsForTheSymbol) {
  Database db = openLedger(path);
  BuildHistoryQueries(db, "ABC");
  const std::pair<const char*, const char*> expected[] = {
      {"VBQryBuy", "SELECT * FROM [Bought] WHERE CompanySymbol = 'ABC'"},
      {"VBQrySell", "SELECT * FROM [Sold] WHERE CompanySymbol = 'ABC'"},
      {"VBQryTotalBuy", "SELECT SUM([Bought].[TotalPurchase]) AS [Total Buy] FROM [Bought] WHERE CompanySymbol = 'ABC'"},
      {"VBQryTotalSell", "SELECT SUM([Sold].[TotalSell]) AS [Total Sell] FROM [Sold] WHERE CompanySymbol = 'ABC'"},
      {"VBQryPL", "SELECT [Total Sell]-[Total Buy] AS [Profit/Loss] FROM VBQryTotalSell, VBQryTotalBuy"},
  };
  for (const auto& [name, text] : expected) EXPECT_EQ(db.queryDef(name).sql(), text) << name;
}

struct HistoryCase {
  const char* name;
  const char* symbol;
  std::vector<std::vector<std::string>> buys;  // Quantity of each purchase
  std::vector<std::vector<std::string>> sells;
  const char* totalBuy;
  const char* totalSell;
  const char* profitLoss;
};

void PrintTo(const HistoryCase& c, std::ostream* os) {
  *os << c.name << ": symbol " << test::quoted(c.symbol) << ", buys " << ::testing::PrintToString(c.buys)
      << ", sells " << ::testing::PrintToString(c.sells) << ", totals " << test::quoted(c.totalBuy) << " / "
      << test::quoted(c.totalSell) << ", profit/loss " << test::quoted(c.profitLoss);
}

class HistoryTest : public ViewQueriesTest, public ::testing::WithParamInterface<HistoryCase> {};

TEST_P(HistoryTest, ShowsTheCompanysRowsAndTotals) {
  const HistoryCase& c = GetParam();
  Database db = openLedger(path);
  BuildHistoryQueries(db, c.symbol);
  EXPECT_EQ(rows("SELECT Quantity FROM VBQryBuy"), c.buys);
  EXPECT_EQ(rows("SELECT Quantity FROM VBQrySell"), c.sells);
  EXPECT_EQ(rows("SELECT * FROM VBQryTotalBuy"), (std::vector<std::vector<std::string>>{{c.totalBuy}}));
  EXPECT_EQ(rows("SELECT * FROM VBQryTotalSell"), (std::vector<std::vector<std::string>>{{c.totalSell}}));
  EXPECT_EQ(rows("SELECT * FROM VBQryPL"), (std::vector<std::vector<std::string>>{{c.profitLoss}}));
}

INSTANTIATE_TEST_SUITE_P(
    Companies, HistoryTest,
    ::testing::Values(
        // Purchases only: no sell total and no profit/loss, not minus the purchases.
        HistoryCase{"PurchasesOnly", "IBM", {{"10"}}, {}, "1005", "", ""},
        HistoryCase{"BoughtAndSold", "AAPL", {{"40"}}, {{"20"}}, "6022.25", "3994", "-2028.25"},
        // A quote in the symbol is kept as text and selects that company.
        HistoryCase{"QuoteInTheSymbol", "O'Neil", {{"5"}}, {{"2"}}, "51", "23", "-28"},
        HistoryCase{"NoTrades", "NONE", {}, {}, "", "", ""},
        HistoryCase{"EmptySymbol", "", {}, {}, "", "", ""}),
    test::ByCaseName());

TEST_F(ViewQueriesTest, HistoryCreatesOnlyTheMissingQueriesThenSetsAll) {
  Database db = openLedger(path);
  db.createQueryDef("VBQrySell", "SELECT * FROM Companies");
  db.createQueryDef("VBQryPL", "SELECT 1 AS x");
  BuildHistoryQueries(db, "MSFT");
  const auto texts = historyQueryTexts("MSFT");
  for (size_t i = 0; i < kHistoryQueryNames.size(); ++i)
    EXPECT_EQ(db.queryDef(kHistoryQueryNames[i]).sql(), texts[i]) << kHistoryQueryNames[i];
  EXPECT_EQ(rows("SELECT Quantity FROM VBQryBuy"), (std::vector<std::vector<std::string>>{{"30"}}));
}

TEST_F(ViewQueriesTest, SecondBuildLeavesTheSecondSymbol) {
  Database db = openLedger(path);
  BuildHistoryQueries(db, "IBM");
  BuildHistoryQueries(db, "MSFT");
  EXPECT_EQ(db.queryDef("VBQryBuy").sql(), "SELECT * FROM [Bought] WHERE CompanySymbol = 'MSFT'");
}

TEST_F(ViewQueriesTest, BuildingTheSameSymbolAgainWritesNothing) {
  Database db = openLedger(path);
  BuildHistoryQueries(db, "MSFT");
  const std::optional<Value> written = db.scalar("PRAGMA schema_version");
  BuildHistoryQueries(db, "MSFT");
  EXPECT_EQ(db.scalar("PRAGMA schema_version"), written);
  BuildHistoryQueries(db, "IBM");
  EXPECT_NE(db.scalar("PRAGMA schema_version"), written);
  EXPECT_EQ(db.queryDef("VBQrySell").sql(), "SELECT * FROM [Sold] WHERE CompanySymbol = 'IBM'");
}

// The lists' counts come from Trade's index only where they are by
// definition the queries' own counts.
struct ListCountCase {
  const char* label;
  std::function<void(Database&)> before;  // after the queries are written for AAPL
  bool counted;
};

void PrintTo(const ListCountCase& c, std::ostream* os) { *os << c.label; }

class HistoryListCountTest : public ViewQueriesTest, public ::testing::WithParamInterface<ListCountCase> {};

TEST_P(HistoryListCountTest, CountsOnTheIndexOnlyWhatTheQueriesHold) {
  const ListCountCase& c = GetParam();
  Database db = openLedger(path);
  test::addTrades(db, {{1, "AAPL", 1, "B", "2024-07-01", 1, 0}, {1, "AAPL", 2, "S", "2024-07-02", 1, 0}});
  BuildHistoryQueries(db, "AAPL");
  c.before(db);
  const auto counts = historyListCounts(db, "AAPL");
  ASSERT_EQ(counts.has_value(), c.counted);
  if (!counts) return;
  EXPECT_EQ(std::to_string((*counts)[0]), rows("SELECT count(*) FROM VBQryBuy").at(0).at(0));
  EXPECT_EQ(std::to_string((*counts)[1]), rows("SELECT count(*) FROM VBQrySell").at(0).at(0));
  EXPECT_EQ((*counts)[0], 2);
  EXPECT_EQ((*counts)[1], 2);
}

INSTANTIATE_TEST_SUITE_P(
    Ledgers, HistoryListCountTest,
    ::testing::Values(
        ListCountCase{"as_the_program_made_it", [](Database&) {}, true},
        ListCountCase{"lists_of_another_company", [](Database& db) { BuildHistoryQueries(db, "IBM"); }, false},
        ListCountCase{"lists_not_written",
                      [](Database& db) { db.executeScript("DROP VIEW VBQryBuy; DROP VIEW VBQrySell"); }, false},
        ListCountCase{"bought_redefined_elsewhere",
                      [](Database& db) {
                        db.executeScript(
                            "DROP VIEW Bought; CREATE VIEW Bought AS SELECT CompanySymbol, Date, Quantity, Price, "
                            "Commission, Quantity * Price + Commission AS TotalPurchase FROM Trade "
                            "WHERE [Buy/Sell] = 'B' AND Quantity > 1 ORDER BY Trade.rowid");
                      },
                      false},
        ListCountCase{"sold_missing", [](Database& db) { db.executeScript("DROP VIEW Sold"); }, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ViewQueriesTest, HistoryEndsSilentlyWhenANameIsTakenByATable) {
  Database db = openLedger(path);
  db.executeScript("CREATE TABLE VBQrySell (x)");
  BuildHistoryQueries(db, "IBM");  // must not throw
  // All five or none: the query before the table is not left written.
  EXPECT_FALSE(db.hasQueryDef("VBQryBuy"));
  EXPECT_FALSE(db.hasQueryDef("VBQrySell"));
}

// ---- profit / loss ---------------------------------------------------------

class ProfitLossTest : public ViewQueriesTest {
 protected:
  test::ScriptedPrompter prompter;
  LedgerSession session{prompter};
};

TEST_F(ProfitLossTest, FiguresOfTheWholeLedger) {
  session.LedgerPath = path;
  const ProfitLossFigures f = readProfitLossFigures(session);
  EXPECT_EQ(f.totalBought, "16085.25");
  EXPECT_EQ(f.totalSold, "4017");
  EXPECT_EQ(f.profitLoss, "-12068.25");
  EXPECT_EQ(f.percentage, "-75.03");
  // The session is left on Trade, at its first row.
  ASSERT_TRUE(session.CurrentRecordset);
  EXPECT_EQ(session.CurrentRecordset->fieldName(0), "CompanyID");
  EXPECT_EQ(toDisplayText(session.CurrentRecordset->value("CompanySymbol")), "IBM");
}

TEST_F(ProfitLossTest, NullFiguresStayEmptyWithoutAMessage) {
  const std::string empty = dir.file("empty.mdb");
  test::makeLedger(empty);
  session.LedgerPath = empty;
  const ProfitLossFigures f = readProfitLossFigures(session);
  EXPECT_FALSE(f.totalBought);
  EXPECT_FALSE(f.totalSold);
  EXPECT_FALSE(f.profitLoss);
  EXPECT_FALSE(f.percentage);
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ProfitLossTest, AQueryThatCannotBeOpenedLeavesItsFigureEmpty) {
  openLedger(path).executeScript("DROP VIEW [Profit/Loss]");
  session.LedgerPath = path;
  prompter.expect(MsgAnswer::Ok);
  const ProfitLossFigures f = readProfitLossFigures(session);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_NE(prompter.shown[0].text.find("Recordset : [Profit/Loss]."), std::string::npos);
  EXPECT_EQ(f.totalSold, "4017");
  // Not the sale total that still stands in the shared recordset.
  EXPECT_FALSE(f.profitLoss);
  EXPECT_FALSE(f.percentage);
}

// ---- chart table -----------------------------------------------------------

TEST_F(ViewQueriesTest, ChartTableHasOneRowPerTradeInRecordsetOrder) {
  const std::string one = dir.file("one.mdb");
  test::makeLedger(one, {{1, "AAPL", 10, "B", "2024-01-02", 101.5, 4.75}, {2, "KO", 1, "S", "2024-01-03", 9, 0}});
  Database db = openLedger(one);
  auto trades = db.openRecordset("Trade");
  trades->moveLast();
  const ChartTable table = readChartTable(db, *trades);
  ASSERT_EQ(table.rowCount(), 2);
  const std::vector<std::string> first = {"AAPL", "B", "'2024-01-02'", "101.5", "4.75"};
  const std::vector<std::string> second = {"KO", "S", "'2024-01-03'", "9", "0"};
  for (int c = 0; c < ChartTable::kColumns; ++c) {
    EXPECT_EQ(toDisplayText(table.cell(0, c)), first[static_cast<size_t>(c)]) << "column " << c;
    EXPECT_EQ(toDisplayText(table.cell(1, c)), second[static_cast<size_t>(c)]) << "column " << c;
  }
  EXPECT_EQ(table.maxNumber(), 101.5);
}

TEST_F(ViewQueriesTest, ChartTableKeepsNullNumbersAsNull) {
  Database db = openLedger(path);
  db.execute("UPDATE Trade SET Price = NULL WHERE CompanySymbol = 'IBM'");
  auto trades = db.openRecordset("Trade");
  const ChartTable table = readChartTable(db, *trades);
  EXPECT_TRUE(isNull(table.cell(0, 3)));
  EXPECT_FALSE(table.number(0, 0));
  EXPECT_EQ(table.number(0, 1), 5.0);
}

TEST_F(ViewQueriesTest, ChartTableOfNoTradesIsNoCurrentRow) {
  const std::string empty = dir.file("empty.mdb");
  test::makeLedger(empty);
  Database db = openLedger(empty);
  auto trades = db.openRecordset("Trade");
  EXPECT_EQ(passOver([&] { readChartTable(db, *trades); }), dberr::kNoCurrentRow);
}

// ---- reading by position ---------------------------------------------------

class PositionTest : public ViewQueriesTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PositionTest, MovesToTheRowAtAPositionOrStays) {
  Database db = openLedger(path);
  db.createQueryDef("All Trades", "SELECT * FROM Trade");
  auto rs = db.openRecordset(GetParam());
  const std::pair<std::int64_t, const char*> moves[] = {
      {2, "MSFT"}, {0, "IBM"}, {5, "O'Neil"}, {6, "O'Neil"}, {-1, "O'Neil"}, {1, "AAPL"}};
  for (const auto& [position, symbol] : moves) {
    EXPECT_EQ(rs->moveToPosition(position), position >= 0 && position < 6) << position;
    EXPECT_EQ(toDisplayText(rs->value("CompanySymbol")), symbol) << "after position " << position;
  }
  rs->moveNext();
  EXPECT_EQ(toDisplayText(rs->value("Quantity")), "30");  // the cursor goes on from there
}

INSTANTIATE_TEST_SUITE_P(TableAndQuery, PositionTest, ::testing::Values("Trade", "All Trades"), test::byText);

}  // namespace
}  // namespace ledger
