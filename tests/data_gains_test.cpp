// Holdings and realized gains: the hand-worked ledger through both methods
// and all three reports, the rows a report must leave out, the CSV writer's
// quoting, and the rule that cost sold plus cost held is what was paid.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "transfer/csv_writer.h"
#include "figures/gains.h"
#include "ledger/gains_report.h"
#include "transfer/gains_csv.h"
#include "gains_ledger.h"
#include "engine/sqlite_util.h"
#include "test_ledger.h"
#include "ledger/ledger_open.h"

namespace ledger {

// Failure messages name the method rather than show its bytes.
void PrintTo(CostMethod method, std::ostream* os) { *os << costMethodName(method); }
void PrintTo(const GainsRules& rules, std::ostream* os) {
  *os << costMethodName(rules.method) << (rules.washSales ? " with wash sales" : "");
}

namespace {

using test::TempDir;
using test::TradeRow;

GainsReport reportOf(const std::string& path, const GainsRules& rules) {
  Database db = openLedger(path);
  return readGainsReport(db, rules);
}

// ---- the hand-worked ledger ------------------------------------------------

struct ReportCase {
  const char* name;
  CostMethod method;
  void (*write)(std::ostream&, const GainsReport&);
  const char* expected;
};

void PrintTo(const ReportCase& c, std::ostream* os) { *os << c.name; }

void writeAllGains(std::ostream& out, const GainsReport& r) { writeGainsCsv(out, r); }

class HandWorkedReportTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(HandWorkedReportTest, MatchesTheFiguresWorkedOutByHand) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), test::kGainsTrades);
  std::ostringstream out;
  GetParam().write(out, reportOf(dir.file("l.mdb"), GetParam().method));
  EXPECT_EQ(out.str(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, HandWorkedReportTest,
    ::testing::Values(ReportCase{"FifoGains", CostMethod::Fifo, writeAllGains, test::kFifoGainsCsv},
                      ReportCase{"AverageGains", CostMethod::Average, writeAllGains, test::kAverageGainsCsv},
                      ReportCase{"FifoHoldings", CostMethod::Fifo, writeHoldingsCsv, test::kFifoHoldingsCsv},
                      ReportCase{"AverageHoldings", CostMethod::Average, writeHoldingsCsv, test::kAverageHoldingsCsv},
                      ReportCase{"FifoYearly", CostMethod::Fifo, writeYearlyCsv, test::kFifoYearlyCsv},
                      ReportCase{"AverageYearly", CostMethod::Average, writeYearlyCsv, test::kAverageYearlyCsv}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GainsReportTest, OneYearOfSalesOnly) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), test::kGainsTrades);
  const GainsReport report = reportOf(dir.file("l.mdb"), CostMethod::Fifo);
  const std::pair<int, const char*> rows[] = {
      {2025, "Date,Symbol,Shares,Proceeds,Cost,Gain,Lots,Uncovered,Rule,Disallowed\r\n"
             "2025-01-05,AAA,45,625.5,529.5,96,2024-02-15 2024-03-01,0,,0\r\n"},
      {2023, "Date,Symbol,Shares,Proceeds,Cost,Gain,Lots,Uncovered,Rule,Disallowed\r\n"
             "2023-07-01,ZZZ,10,59,51,8,2023-06-01,0,,0\r\n"
             "2023-09-01,ZZZ,5,44,40.5,3.5,2023-08-01,0,,0\r\n"},
      {2022, "Date,Symbol,Shares,Proceeds,Cost,Gain,Lots,Uncovered,Rule,Disallowed\r\n"},
  };
  for (const auto& [year, expected] : rows) {
    std::ostringstream out;
    writeGainsCsv(out, report, year);
    EXPECT_EQ(out.str(), expected) << year;
  }
}

TEST(GainsReportTest, AnUncoveredSaleIsMarkedCountedAndSaidButInNoTotal) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), test::kGainsTrades);
  for (CostMethod method : {CostMethod::Fifo, CostMethod::Average}) {
    const GainsReport report = reportOf(dir.file("l.mdb"), method);
    EXPECT_EQ(report.uncoveredSales, 1u);
    const auto uncovered = std::find_if(report.sales.begin(), report.sales.end(),
                                        [](const SaleGain& s) { return !s.covered(); });
    ASSERT_NE(uncovered, report.sales.end());
    EXPECT_EQ(uncovered->symbol, "UUU");
    EXPECT_EQ(uncovered->uncoveredShares, Decimal::fromInt(1));
    EXPECT_EQ(uncovered->gain, Decimal::fromInt(30));  // shown, but counted nowhere:
    EXPECT_EQ(report.holdings[3].realizedGain, Decimal::fromInt(67));
    EXPECT_EQ(gainsNotes(report), std::vector<std::string>{test::kUncoveredNote});
  }
}

// A ledger worked out the same by either method, with its splits.
struct SameByEitherMethodCase {
  const char* rule;
  std::vector<TradeRow> trades;
  const char* sales;     // Date Shares Proceeds Cost Gain Uncovered, one sale a line
  const char* holding;   // Shares Cost RealizedGain
  const char* years;     // Year:Gain ...
  std::vector<StockSplit> splits = {};
};

void describeSale(std::ostream& out, const SaleGain& sale) {
  out << sale.date << ' ' << sale.shares.toPlainString() << ' ' << sale.proceeds.toPlainString() << ' '
      << sale.cost.toPlainString() << ' ' << sale.gain.toPlainString() << ' ' << sale.uncoveredShares.toPlainString()
      << '\n';
}

void addSplits(const std::string& path, const std::vector<StockSplit>& splits) {
  std::string sql;
  for (const StockSplit& s : splits)
    sql += "INSERT INTO Split (CompanySymbol, Date, NewShares, OldShares) VALUES ('" + s.symbol + "', '" + s.date +
           "', " + std::to_string(s.newShares) + ", " + std::to_string(s.oldShares) + ");";
  test::addEvents(path, sql);
}

// The report of trades and splits fed one by one in date order, a day's
// splits before its trades, as add() and addSplit() take them.
GainsReport reportFedInOrder(std::vector<TradeRow> trades, std::vector<StockSplit> splits, CostMethod method) {
  std::stable_sort(trades.begin(), trades.end(), [](const TradeRow& a, const TradeRow& b) { return a.date < b.date; });
  std::sort(splits.begin(), splits.end(), [](const StockSplit& a, const StockSplit& b) { return a.date < b.date; });
  GainsCalculator calculator(method);
  auto split = splits.begin();
  for (const TradeRow& t : trades) {
    for (; split != splits.end() && split->date <= t.date; ++split) calculator.addSplit(*split);
    calculator.add({t.symbol, t.date, t.side == "B" ? TradeSide::Buy : TradeSide::Sell, Decimal::fromDouble(t.quantity),
                    Decimal::fromDouble(t.price), Decimal::fromDouble(t.commission)});
  }
  for (; split != splits.end(); ++split) calculator.addSplit(*split);
  return calculator.finish();
}

// The ledger read whole, its sales kept and handed on, and fed one by one,
// by either method, all give the same sales, holding and years.
void expectSameByEitherMethod(const SameByEitherMethodCase& c) {
  for (CostMethod method : {CostMethod::Fifo, CostMethod::Average}) {
    SCOPED_TRACE(std::string(c.rule) + ", " + std::string(costMethodName(method)));
    TempDir dir;
    test::makeLedger(dir.file("l.mdb"), c.trades);
    if (!c.splits.empty()) addSplits(dir.file("l.mdb"), c.splits);
    Database db = openLedger(dir.file("l.mdb"));
    std::ostringstream kept, handedOn, fedInOrder, years;
    const GainsReport report = readGainsReport(db, method);
    for (const SaleGain& sale : report.sales) describeSale(kept, sale);
    EXPECT_EQ(kept.str(), c.sales);
    readGainsReport(db, method, [&](const SaleGain& sale) { describeSale(handedOn, sale); });
    EXPECT_EQ(handedOn.str(), c.sales);
    for (const SaleGain& sale : reportFedInOrder(c.trades, c.splits, method).sales) describeSale(fedInOrder, sale);
    EXPECT_EQ(fedInOrder.str(), c.sales);
    ASSERT_EQ(report.holdings.size(), 1u);
    const Holding& h = report.holdings[0];
    EXPECT_EQ(h.shares.toPlainString() + " " + h.cost.toPlainString() + " " + h.realizedGain.toPlainString(),
              c.holding);
    for (const YearGains& y : report.years)
      years << (y.year == report.years[0].year ? "" : " ") << y.year << ':' << y.total.toPlainString();
    EXPECT_EQ(years.str(), c.years);
  }
}

// A purchase covers the company's earlier short sales, oldest first, at
// its own cost a share; only the rest is held. The same by either method;
// the sales as handed on one by one are the sales kept.
TEST(GainsReportTest, APurchaseCoversEarlierShortSalesFirst) {
  const SameByEitherMethodCase cases[] = {
      // Sold 10 for 50 with none held; the 10 bought for 40 cover them: gain 10, nothing held.
      {"a short sale is covered, not held",
       {{1, "S", 10, "S", "2024-01-02", 5, 0}, {1, "S", 10, "B", "2024-01-03", 4, 0}},
       "2024-01-02 10 50 40 10 0\n", "0 0 10", "2024:10"},
      // 8 bought for 8 x 3 + 1 = 25: the older sale's 4 take 25 x 4 / 8 = 12.5
      // (gain 40 - 12.5 = 27.5), the newer sale's first 4 the other 12.5 and
      // 2 stay short: its gain 60 - 12.5 = 47.5 is in no total.
      {"oldest first, and the rest stays uncovered",
       {{1, "S", 4, "S", "2024-01-02", 10, 0}, {1, "S", 6, "S", "2024-01-03", 10, 0},
        {1, "S", 8, "B", "2024-01-04", 3, 1}},
       "2024-01-02 4 40 12.5 27.5 0\n2024-01-03 6 60 12.5 47.5 2\n", "0 0 27.5", "2024:27.5"},
      // 6 bought for 12: 12 x 5 / 6 = 10 covers the sale of 2023 (gain 40, in
      // 2023); 1 held for 2 is sold for 3 in 2024 (gain 1).
      {"covered in a later year, counted in the sale's",
       {{1, "S", 5, "S", "2023-12-30", 10, 0}, {1, "S", 6, "B", "2024-01-02", 2, 0},
        {1, "S", 1, "S", "2024-02-01", 3, 0}},
       "2023-12-30 5 50 10 40 0\n2024-02-01 1 3 2 1 0\n", "0 0 41", "2023:40 2024:1"},
      // 10 held cost 200; 15 sold for 375 leave 5 old shares short, 10 new
      // ones after the 2:1 split; 12 bought for 108 give them 108 x 10 / 12
      // = 90: cost 290, gain 85. 2 held for 18.
      {"a split between a short sale and its purchase",
       {{1, "S", 10, "B", "2024-01-02", 20, 0}, {1, "S", 15, "S", "2024-01-03", 25, 0},
        {1, "S", 12, "B", "2024-03-01", 9, 0}},
       "2024-01-03 15 375 290 85 0\n", "2 18 85", "2024:85",
       {{"S", "2024-02-01", 2, 1}}},
      // The same, 6 bought for 54: 10 - 6 = 4 new shares still short, shown
      // as the 2 of the shares sold; cost 254, gain 121 in no total.
      {"still short after a split, in the shares it sold",
       {{1, "S", 10, "B", "2024-01-02", 20, 0}, {1, "S", 15, "S", "2024-01-03", 25, 0},
        {1, "S", 6, "B", "2024-03-01", 9, 0}},
       "2024-01-03 15 375 254 121 2\n", "0 0 0", "", {{"S", "2024-02-01", 2, 1}}},
  };
  for (const auto& c : cases) expectSameByEitherMethod(c);
}

// A split changes the shares of what is held, never its cost; sales after
// it are matched in the new shares. One lot, so either method agrees.
TEST(GainsReportTest, ASplitChangesTheSharesHeldNotTheirCost) {
  const SameByEitherMethodCase cases[] = {
      // 10 bought for 532.9 are 20 after 2:1; 7 sold for 203.07 cost
      // 532.9 x 7 / 20 = 186.515 (7 x 53.29 / 2): gain 16.555. Left 13 for 346.385.
      {"2:1 halves the cost a share",
       {{1, "S", 10, "B", "2024-01-02", 53.29, 0}, {1, "S", 7, "S", "2024-03-01", 29.01, 0}},
       "2024-03-01 7 203.07 186.515 16.555 0\n", "13 346.385 16.555", "2024:16.555", {{"S", "2024-02-01", 2, 1}}},
      // 25 bought for 101 are 2.5 after 1:10; 2 sold for 90 cost
      // 101 x 2 / 2.5 = 80.8: gain 9.2. Left 0.5 for 20.2.
      {"a reverse split",
       {{1, "S", 25, "B", "2024-01-02", 4, 1}, {1, "S", 2, "S", "2024-07-01", 45, 0}},
       "2024-07-01 2 90 80.8 9.2 0\n", "0.5 20.2 9.2", "2024:9.2", {{"S", "2024-06-03", 1, 10}}},
      // 3 bought for 120 are 6, then 12: two 2:1 make four of one; 5 sold
      // for 55 cost 120 x 5 / 12 = 50. Left 7 for 70.
      {"successive splits compose",
       {{1, "S", 3, "B", "2024-01-02", 40, 0}, {1, "S", 5, "S", "2024-04-01", 11, 0}},
       "2024-04-01 5 55 50 5 0\n", "7 70 5", "2024:5", {{"S", "2024-02-01", 2, 1}, {"S", "2024-03-01", 2, 1}}},
      // 5 bought for 60 are 7.5 after 3:2; 7 sold for 63 cost 60 x 7 / 7.5 = 56.
      {"a split that leaves a fraction",
       {{1, "S", 5, "B", "2024-01-02", 12, 0}, {1, "S", 7, "S", "2024-03-01", 9, 0}},
       "2024-03-01 7 63 56 7 0\n", "0.5 4 7", "2024:7", {{"S", "2024-02-01", 3, 2}}},
      // 1 share for 30 after 2:3 is 0.6666666.., rounded half-even to 6 places;
      // a split after the last trade still counts.
      {"shares rounded to 6 places", {{1, "S", 1, "B", "2024-01-02", 30, 0}}, "", "0.666667 30 0", "",
       {{"S", "2024-02-01", 2, 3}}},
      // The split acts before the day's trades: the 20 sold are all held
      // (cost 100, proceeds 120), none short.
      {"a split on the day of a sale acts first",
       {{1, "S", 10, "B", "2024-01-02", 10, 0}, {1, "S", 20, "S", "2024-02-01", 6, 0}},
       "2024-02-01 20 120 100 20 0\n", "0 0 20", "2024:20", {{"S", "2024-02-01", 2, 1}}},
      // Another company's split changes nothing here, and makes no holding.
      {"a split of another symbol",
       {{1, "S", 10, "B", "2024-01-02", 10, 0}, {1, "S", 4, "S", "2024-03-01", 12, 0}},
       "2024-03-01 4 48 40 8 0\n", "6 60 8", "2024:8", {{"T", "2024-02-01", 2, 1}}},
  };
  for (const auto& c : cases) expectSameByEitherMethod(c);
}

// Two lots, 10 for 100 and 10 for 130, are 20 and 20 after 2:1, each
// keeping its date; 30 sold for 240.
TEST(GainsReportTest, ASplitKeepsEachLotsCostAndDate) {
  const std::pair<CostMethod, const char*> rows[] = {  // the sale's Cost Gain Lots; held Shares Cost
      // The first lot whole, 130 x 10 / 20 = 65 of the second: 165, gain 75.
      {CostMethod::Fifo, "165 75 2024-01-02 2024-02-01; 10 65"},
      // The pool of 40 for 230: 230 x 30 / 40 = 172.5, gain 67.5.
      {CostMethod::Average, "172.5 67.5 ; 10 57.5"},
  };
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), {{1, "S", 10, "B", "2024-01-02", 10, 0},
                                       {1, "S", 10, "B", "2024-02-01", 13, 0},
                                       {1, "S", 30, "S", "2024-04-01", 8, 0}});
  addSplits(dir.file("l.mdb"), {{"S", "2024-03-01", 2, 1}});
  for (const auto& [method, expected] : rows) {
    const GainsReport r = reportOf(dir.file("l.mdb"), method);
    ASSERT_EQ(r.sales.size(), 1u);
    EXPECT_EQ(r.sales[0].cost.toPlainString() + " " + r.sales[0].gain.toPlainString() + " " + r.sales[0].lots +
                  "; " + r.holdings.at(0).shares.toPlainString() + " " + r.holdings.at(0).cost.toPlainString(),
              expected);
  }
}

TEST(GainsReportTest, ASplitFedAfterATradeOfItsDayIsRefused) {
  GainsCalculator calculator(CostMethod::Fifo);
  calculator.add({"S", "2024-02-01", TradeSide::Buy, Decimal::fromInt(1), Decimal::fromInt(1), Decimal()});
  EXPECT_THROW(calculator.addSplit({"S", "2024-02-01", 2, 1}), std::invalid_argument);
  EXPECT_THROW(calculator.addSplit({"S", "2024-01-31", 2, 1}), std::invalid_argument);
  calculator.addSplit({"S", "2024-02-02", 2, 1});
  EXPECT_EQ(calculator.finish().holdings.at(0).shares, Decimal::fromInt(2));
}

TEST(GainsReportTest, ALedgerWithoutTradesHasAnEmptyReportAndNothingToSay) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"));
  const GainsReport report = reportOf(dir.file("l.mdb"), CostMethod::Fifo);
  EXPECT_TRUE(report.sales.empty());
  EXPECT_TRUE(report.holdings.empty());
  EXPECT_TRUE(report.years.empty());
  EXPECT_TRUE(gainsNotes(report).empty());
}

TEST(GainsReportTest, SalesComeByDateThenInEntryOrder) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), {{1, "ZZ", 10, "B", "2024-01-01", 1, 0},
                                       {2, "AA", 10, "B", "2024-01-01", 1, 0},
                                       {1, "ZZ", 1, "S", "2024-02-01", 3, 0},
                                       {2, "AA", 2, "S", "2024-02-01", 3, 0},
                                       {1, "ZZ", 3, "S", "2024-02-01", 3, 0},
                                       {2, "AA", 4, "S", "2024-01-15", 3, 0}});
  const GainsReport report = reportOf(dir.file("l.mdb"), CostMethod::Fifo);
  std::vector<std::string> order;
  for (const SaleGain& s : report.sales) order.push_back(s.date + " " + s.symbol + " " + s.shares.toPlainString());
  EXPECT_EQ(order, (std::vector<std::string>{"2024-01-15 AA 4", "2024-02-01 ZZ 1", "2024-02-01 AA 2",
                                             "2024-02-01 ZZ 3"}));
}

// ---- rows that cannot be trades of the report ------------------------------

struct BadRowCase {
  const char* name;
  const char* values;  // the row after CompanyID: symbol, quantity, side, date, price, commission
  const char* reason;
};

void PrintTo(const BadRowCase& c, std::ostream* os) { *os << c.name; }

class BadRowTest : public ::testing::TestWithParam<BadRowCase> {};

TEST_P(BadRowTest, IsLeftOutNamedAndTheRestStillAddUp) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path, {{1, "IBM", 10, "B", "2024-01-02", 100, 5}, {1, "IBM", 4, "S", "2024-02-01", 110, 2}});
  {
    // A foreign client may have written what the program never would.
    Database db = openLedger(path);
    db.executeScript("PRAGMA ignore_check_constraints = ON");
    db.executeScript(std::string("INSERT INTO Trade VALUES (1, ") + GetParam().values + ")");
  }
  const GainsReport report = reportOf(path, CostMethod::Fifo);
  ASSERT_EQ(report.skipped.size(), 1u);
  EXPECT_EQ(report.skipped[0].reason, GetParam().reason);
  ASSERT_EQ(report.sales.size(), 1u);
  EXPECT_EQ(report.sales[0].cost.toPlainString(), "402");  // 1005 x 4 / 10
  EXPECT_EQ(report.sales[0].gain.toPlainString(), "36");   // 438 - 402
  const std::vector<std::string> notes = gainsNotes(report);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0], "1 trade is left out of the report:");
  EXPECT_NE(notes[1].find(GetParam().reason), std::string::npos) << notes[1];
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadRowTest,
    ::testing::Values(BadRowCase{"NoDate", "'IBM', 5, 'B', NULL, 1, 0", "no valid date"},
                      BadRowCase{"DateNotIso", "'IBM', 5, 'B', '1/2/2024', 1, 0", "no valid date"},
                      BadRowCase{"NoSymbol", "NULL, 5, 'S', '2024-01-03', 1, 0", "no symbol"},
                      BadRowCase{"EmptySymbol", "'', 5, 'S', '2024-01-03', 1, 0", "no symbol"},
                      BadRowCase{"NoSide", "'IBM', 5, NULL, '2024-01-03', 1, 0", "neither a purchase nor a sale"},
                      BadRowCase{"OtherSide", "'IBM', 5, 'X', '2024-01-03', 1, 0", "neither a purchase nor a sale"},
                      BadRowCase{"NoQuantity", "'IBM', NULL, 'S', '2024-01-03', 1, 0", "no quantity above zero"},
                      BadRowCase{"ZeroQuantity", "'IBM', 0, 'S', '2024-01-03', 1, 0", "no quantity above zero"},
                      BadRowCase{"NegativeQuantity", "'IBM', -3, 'B', '2024-01-03', 1, 0", "no quantity above zero"},
                      BadRowCase{"TextQuantity", "'IBM', 'ten', 'B', '2024-01-03', 1, 0", "no quantity above zero"},
                      BadRowCase{"InfiniteQuantity", "'IBM', 1e999, 'B', '2024-01-03', 1, 0", "no quantity above zero"},
                      BadRowCase{"NoPrice", "'IBM', 5, 'S', '2024-01-03', NULL, 0", "no price of zero or more"},
                      BadRowCase{"NegativePrice", "'IBM', 5, 'B', '2024-01-03', -1, 0", "no price of zero or more"},
                      BadRowCase{"TextCommission", "'IBM', 5, 'B', '2024-01-03', 1, 'x'",
                                 "a commission that is not a number"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GainsReportTest, AMissingCommissionCountsAsNone) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path);
  {
    Database db = openLedger(path);
    db.executeScript("INSERT INTO Trade VALUES (1, 'IBM', 10, 'B', '2024-01-02', 100, NULL);"
                     "INSERT INTO Trade VALUES (1, 'IBM', 10, 'S', '2024-01-03', 101, NULL);");
  }
  const GainsReport report = reportOf(path, CostMethod::Average);
  EXPECT_TRUE(report.skipped.empty());
  ASSERT_EQ(report.sales.size(), 1u);
  EXPECT_EQ(report.sales[0].gain, Decimal::fromInt(10));
}

TEST(GainsReportTest, WholeNumbersStoredAsIntegersCountTheSame) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path);
  {
    Database db = openLedger(path);
    db.executeScript("INSERT INTO Trade VALUES (1, 'IBM', 3, 'B', '2024-01-02', 7, 1);"
                     "INSERT INTO Trade VALUES (1, 'IBM', 1.0, 'S', '2024-01-03', 0.1, 0.2);");
  }
  const GainsReport report = reportOf(path, CostMethod::Fifo);
  ASSERT_EQ(report.sales.size(), 1u);
  // 0.1 - 0.2 exactly, not the double's -0.1 with noise; 22 / 3 = 7.3333.
  EXPECT_EQ(report.sales[0].proceeds.toPlainString(), "-0.1");
  EXPECT_EQ(report.sales[0].cost.toPlainString(), "7.3333");
  EXPECT_EQ(report.holdings[0].cost.toPlainString(), "14.6667");
}

// ---- the order the report takes the rows in ----------------------------------
//
// The ledger's own ORDER BY Date, rowid is the measure: the sales come in
// that order, and so do the rows left out, whatever their dates are stored
// as (Null, numbers, texts, blobs).

struct ReadOrderCase {
  const char* name;
  std::vector<const char*> rows;  // the row after CompanyID, in entry order
};

void PrintTo(const ReadOrderCase& c, std::ostream* os) { *os << c.name; }

class ReadOrderTest : public ::testing::TestWithParam<ReadOrderCase> {};

TEST_P(ReadOrderTest, IsTheLedgersOrderByDateThenEntry) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path);
  std::vector<std::int64_t> leftOutExpected;
  std::vector<std::string> salesExpected;
  {
    Database db = openLedger(path);
    db.executeScript("PRAGMA ignore_check_constraints = ON");
    // The first purchase covers every sale, so each sale has a figure.
    db.executeScript("INSERT INTO Trade VALUES (1, 'IBM', 100000, 'B', '1990-01-01', 1, 0)");
    for (const char* row : GetParam().rows)
      db.executeScript(std::string("INSERT INTO Trade VALUES (1, ") + row + ")");
    // Good rows have a symbol, an ISO date, a side and a positive quantity.
    auto stmt = detail::prepare(
        detail::connectionOf(db),
        "SELECT rowid, CompanySymbol IS NOT NULL AND CompanySymbol <> '' AND typeof(Date) = 'text' AND "
        "date(Date, '+0 days') IS Date AND [Buy/Sell] IN ('B', 'S') AND "
        "typeof(Quantity) IN ('integer', 'real') AND Quantity > 0, [Buy/Sell], Date, Quantity "
        "FROM Trade ORDER BY Date, rowid");
    while (detail::step(detail::connectionOf(db), stmt.get())) {
      if (sqlite3_column_int(stmt.get(), 1) == 0) {
        leftOutExpected.push_back(sqlite3_column_int64(stmt.get(), 0));
      } else if (std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 2))) == "S") {
        salesExpected.push_back(std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 3))) +
                                " " + Decimal::fromDouble(sqlite3_column_double(stmt.get(), 4)).toPlainString());
      }
    }
  }
  for (const CostMethod method : {CostMethod::Fifo, CostMethod::Average}) {
    const GainsReport report = reportOf(path, method);
    std::vector<std::int64_t> leftOut;
    for (const SkippedTrade& t : report.skipped) leftOut.push_back(t.rowid);
    EXPECT_EQ(leftOut, leftOutExpected) << costMethodName(method);
    std::vector<std::string> sales;
    for (const SaleGain& s : report.sales) sales.push_back(s.date + " " + s.shares.toPlainString());
    EXPECT_EQ(sales, salesExpected) << costMethodName(method);
    EXPECT_EQ(report.uncoveredSales, 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ledgers, ReadOrderTest,
    ::testing::Values(
        ReadOrderCase{"EnteredBackwards",
                      {"'IBM', 1, 'S', '2024-03-01', 1, 0", "'IBM', 2, 'S', '2024-02-01', 1, 0",
                       "'IBM', 3, 'S', '2023-12-31', 1, 0", "'IBM', 4, 'S', '2021-06-15', 1, 0"}},
        ReadOrderCase{"OneDayKeepsEntryOrder",
                      {"'IBM', 1, 'S', '2024-02-01', 1, 0", "'KO', 5, 'B', '2024-01-01', 1, 0",
                       "'IBM', 2, 'S', '2024-01-01', 1, 0", "'IBM', 3, 'S', '2024-02-01', 1, 0",
                       "'KO', 4, 'S', '2024-01-01', 1, 0", "'IBM', 6, 'S', '2024-02-01', 1, 0"}},
        ReadOrderCase{"DatesStoredAsEveryKind",
                      {"'IBM', 1, 'S', 'zz', 1, 0", "'IBM', 2, 'S', NULL, 1, 0", "'IBM', 3, 'S', 20240101, 1, 0",
                       "'IBM', 4, 'S', x'3230', 1, 0", "'IBM', 5, 'S', 2024.5, 1, 0", "'IBM', 6, 'S', '', 1, 0",
                       "'IBM', 7, 'S', 1999, 1, 0", "'IBM', 8, 'S', '1/2/2024', 1, 0", "'IBM', 9, 'S', NULL, 1, 0",
                       "'IBM', 10, 'S', 1999.0, 1, 0", "'IBM', 11, 'S', x'', 1, 0", "'IBM', 12, 'S', 'zz', 1, 0",
                       "'IBM', 13, 'S', '2024-01-05', 1, 0", "'IBM', 14, 'S', -3, 1, 0"}},
        ReadOrderCase{"GoodAndBadRowsInterleaved",
                      {"'IBM', 1, 'S', '2024-05-01', 1, 0", "NULL, 2, 'S', '2024-01-01', 1, 0",
                       "'IBM', 3, 'X', '2023-01-01', 1, 0", "'IBM', 4, 'S', '2022-01-01', 1, 0",
                       "'', 5, 'S', '2024-05-01', 1, 0", "'IBM', 0, 'S', '2020-01-01', 1, 0",
                       "'IBM', 7, 'S', '2024-13-01', 1, 0", "'IBM', 8, 'S', '2022-01-01', 1, 0",
                       "'IBM', 9, 'S', '2019-01-01', 1, 0", "'IBM', -1, 'S', '2019-01-01', 1, 0"}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- cost sold + cost held = what was paid, exactly -------------------------

// By every method and with wash sales, whose disallowed losses are paid
// into the cost of the shares that replace: cost sold + cost held = what
// was paid + the losses disallowed.
class PaidCostIsKeptTest : public ::testing::TestWithParam<GainsRules> {};

TEST_P(PaidCostIsKeptTest, OverManyOddSplits) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  std::mt19937 random(7);
  std::vector<TradeRow> trades;
  const char* symbols[] = {"A", "B", "C"};
  for (int i = 0; i < 600; ++i) {
    const bool buy = random() % 5 < 3;
    const double quantity = 1 + random() % 97 + (random() % 2 ? 0.5 : 0);
    const double price = (100 + random() % 9000) / 7.0;  // many decimals
    const double commission = (random() % 1000) / 100.0;
    char date[11];
    std::snprintf(date, sizeof date, "2024-%02d-%02d", 1 + i / 56, 1 + i % 28);
    trades.push_back({1, symbols[random() % 3], quantity, buy ? "B" : "S", date, price, commission});
  }
  // Later purchases cover the walk's short sales; these stay short.
  for (const char* symbol : symbols) trades.push_back({1, symbol, 1e4, "S", "2024-12-31", 1.5, 0});
  test::makeLedger(path, trades);
  const GainsReport report = reportOf(path, GetParam());

  std::map<std::string, Decimal> paid, sharesBought, costSold, sharesSold, disallowed;
  for (const TradeRow& t : trades) {
    if (t.side != "B") continue;
    paid[t.symbol] +=
        Decimal::fromDouble(t.quantity) * Decimal::fromDouble(t.price) + Decimal::fromDouble(t.commission);
    sharesBought[t.symbol] += Decimal::fromDouble(t.quantity);
  }
  for (const SaleGain& s : report.sales) {
    costSold[s.symbol] += s.cost;
    sharesSold[s.symbol] += s.shares - s.uncoveredShares;
    disallowed[s.symbol] += s.disallowed;
    EXPECT_EQ(s.gain, s.proceeds - s.cost);
    EXPECT_GE(s.disallowed.sign(), 0);
    if (GetParam().method != CostMethod::Fifo) {
      EXPECT_TRUE(s.lots.empty());
    }
  }
  EXPECT_EQ(report.uncoveredSales, 3u);
  ASSERT_EQ(report.holdings.size(), 3u);
  for (const Holding& h : report.holdings) {
    EXPECT_EQ(costSold[h.symbol] + h.cost, paid[h.symbol] + disallowed[h.symbol]) << h.symbol;
    EXPECT_EQ(sharesSold[h.symbol] + h.shares, sharesBought[h.symbol]) << h.symbol;
  }
}

// Sales handed on one by one are the sales kept, and the rest is the same.
TEST_P(PaidCostIsKeptTest, HandedOnSalesAreTheKeptSales) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), test::kGainsTrades);
  Database db = openLedger(dir.file("l.mdb"));
  const GainsReport kept = readGainsReport(db, GetParam());
  std::ostringstream handedOn;
  writeGainsCsvHeader(handedOn);
  const GainsReport streamed =
      readGainsReport(db, GetParam(), [&](const SaleGain& sale) { writeGainsCsvRow(handedOn, sale); });
  EXPECT_TRUE(streamed.sales.empty());
  std::ostringstream all, holdingsKept, holdingsStreamed, yearsKept, yearsStreamed;
  writeGainsCsv(all, kept);
  EXPECT_EQ(handedOn.str(), all.str());
  writeHoldingsCsv(holdingsKept, kept);
  writeHoldingsCsv(holdingsStreamed, streamed);
  EXPECT_EQ(holdingsStreamed.str(), holdingsKept.str());
  writeYearlyCsv(yearsKept, kept);
  writeYearlyCsv(yearsStreamed, streamed);
  EXPECT_EQ(yearsStreamed.str(), yearsKept.str());
  EXPECT_EQ(streamed.uncoveredSales, 1u);
}

INSTANTIATE_TEST_SUITE_P(Methods, PaidCostIsKeptTest,
                         ::testing::Values(GainsRules(CostMethod::Fifo), GainsRules(CostMethod::Average),
                                           GainsRules(CostMethod::Uk),
                                           GainsRules(CostMethod::Fifo, true, TaxYears::Calendar)),
                         [](const auto& info) {
                           return std::string(costMethodName(info.param.method)) + (info.param.washSales ? "_wash" : "");
                         });

// ---- CSV ---------------------------------------------------------------------

TEST(CsvWriterTest, QuotesOnlyWhatMustBeQuoted) {
  const std::pair<std::string, std::string> rows[] = {
      {"IBM", "IBM"},
      {"", ""},
      {"A,B", "\"A,B\""},
      {"Q\"T", "\"Q\"\"T\""},
      {"\"", "\"\"\"\""},
      {"line\nbreak", "\"line\nbreak\""},
      {"cr\rhere", "\"cr\rhere\""},
      {"Nestl\xC3\xA9 S.A.", "Nestl\xC3\xA9 S.A."},
      {" spaced ", " spaced "},
      {"12.5", "12.5"},
  };
  for (const auto& [text, field] : rows) EXPECT_EQ(csvField(text), field) << text;
}

TEST(CsvWriterTest, RowsEndWithCrLf) {
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{"a", "b,c", ""}, "a,\"b,c\",\r\n"},
      {{"", ""}, ",\r\n"},
      {{""}, "\"\"\r\n"},  // not a blank line
      {{"x"}, "x\r\n"},
  };
  for (const auto& [fields, text] : rows) {
    std::ostringstream out;
    writeCsvRow(out, fields);
    EXPECT_EQ(out.str(), text);
  }
}

TEST(GainsCsvTest, SymbolsWithCommasAndQuotesAreQuoted) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), {{1, "A,B", 2, "B", "2024-01-02", 5, 0},
                                       {2, "Q\"T", 1, "B", "2024-01-02", 5, 0},
                                       {1, "A,B", 1, "S", "2024-03-04", 6, 0}});
  const GainsReport report = reportOf(dir.file("l.mdb"), CostMethod::Fifo);
  std::ostringstream gains, holdings;
  writeGainsCsv(gains, report);
  writeHoldingsCsv(holdings, report);
  EXPECT_EQ(gains.str(),
            "Date,Symbol,Shares,Proceeds,Cost,Gain,Lots,Uncovered,Rule,Disallowed\r\n"
            "2024-03-04,\"A,B\",1,6,5,1,2024-01-02,0,,0\r\n");
  EXPECT_EQ(holdings.str(),
            "Symbol,Shares,Cost,AverageCost,RealizedGain\r\n"
            "\"A,B\",1,5,5,1\r\n"
            "\"Q\"\"T\",1,5,5,0\r\n");
}

}  // namespace
}  // namespace ledger
