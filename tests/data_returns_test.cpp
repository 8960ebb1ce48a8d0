// Market value and returns, worked by hand from small ledgers whose prices
// are written with plain SQL.
#include <gtest/gtest.h>

#include <cmath>

#include "figures/irr.h"
#include "gains_ledger.h"
#include "ledger/ledger_history.h"
#include "ledger/ledger_open.h"
#include "ledger/price_table.h"
#include "test_ledger.h"

namespace ledger {
namespace {

using test::TempDir;

// A ledger of trades, closes (symbol, date, close) and, when given, split
// and dividend rows.
std::string makePricedLedger(const TempDir& dir, const std::vector<test::TradeRow>& trades, const std::string& closes,
                             const std::string& events = {}) {
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path, trades);
  Database db = openLedger(path);
  db.executeScript(kPriceTableSchema);
  if (!closes.empty()) db.executeScript("INSERT INTO Price (CompanySymbol, Date, Close) VALUES " + closes);
  if (!events.empty()) test::addEvents(path, events);
  return path;
}

ReturnsReport returnsOf(const std::string& path, const char* from, const char* to) {
  Database db = openLedger(path);
  return workOutReturns(readLedgerHistory(db), calendarDayOf(from), calendarDayOf(to));
}

std::string text(const std::optional<Decimal>& d) { return d ? d->toPlainString() : "none"; }

// The pieces as "date before/previous", a left-out one marked "-".
std::string piecesText(const ReturnFigures& f) {
  std::string out;
  for (const TwrPiece& p : f.twrPieces)
    out += isoDateOf(p.day) + " " + (p.leftOut() ? std::string("-") : p.before.toPlainString() + "/" +
                                                                          p.previous.toPlainString()) + "\n";
  return out;
}

// Bought in two parts, a close on the day of each flow and at the end.
//   TWR: S = 0 (nothing held on 2023-01-01), so the first piece is left out;
//   2023-07-03: before 10 x 120 = 1200 over 1000 (10 x 100 after the first
//   buy) = 1.2; after 20 x 120 = 2400. To 2024-01-02: 20 x 130 = 2600 over
//   2400 = 1.08333..; 1.2 x 1.08333.. = 1.3: 30.00 %.
//   IRR: days to To 365 and 183, so 1000(1+r) + 1200(1+r)^(183/365) = 2600.
//   r = 0.2552: 1255.2 + 1200 x e^(0.50137 x ln 1.2552 = 0.11396) = 1255.2 +
//   1344.85 = 2600.05; r = 0.2551 gives 2599.8: 25.52 %.
TEST(ReturnsTest, TwoPurchasesWithACloseAtEachFlow) {
  TempDir dir;
  const std::string path = makePricedLedger(
      dir, {{1, "AAA", 10, "B", "2023-01-02", 100, 0}, {1, "AAA", 10, "B", "2023-07-03", 120, 0}},
      "('AAA', '2023-01-02', 100), ('AAA', '2023-07-03', 120), ('AAA', '2024-01-02', 130)");
  const ReturnsReport report = returnsOf(path, "2023-01-02", "2024-01-02");
  ASSERT_EQ(report.companies.size(), 1u);
  for (const ReturnFigures* f : {&report.companies[0], &report.total}) {
    EXPECT_EQ(text(f->start.value), "0");
    EXPECT_EQ(text(f->end.value), "2600");
    EXPECT_EQ(f->invested, Decimal::fromInt(2200));
    EXPECT_TRUE(f->returned.isZero() && f->income.isZero());
    EXPECT_EQ(piecesText(*f), "2023-01-02 -\n2023-07-03 1200/1000\n2024-01-02 2600/2400\n");
    EXPECT_EQ(percentText(f->twr), "30.00");
    EXPECT_EQ(f->irrOutcome, RateOutcome::Unique);
    EXPECT_EQ(percentText(f->irr), "25.52");
  }
  EXPECT_EQ(report.companies[0].end.shares, Decimal::fromInt(20));
  EXPECT_EQ(isoDateOf(report.companies[0].end.price->day), "2024-01-02");

  // The chart's series, on each day with a close: 10 x 100 for 1000 put
  // in, 20 x 120 for 2200, 20 x 130 for 2200; the ledger's the same.
  Database db = openLedger(path);
  const std::vector<ValueSeries> series = valueSeries(readLedgerHistory(db));
  ASSERT_EQ(series.size(), 2u);
  for (const ValueSeries& one : series) {
    std::string points;
    for (const ValuePoint& p : one.points)
      points += isoDateOf(p.day) + " " + text(p.marketValue) + " " + p.netInvested.toPlainString() + "\n";
    EXPECT_EQ(points, "2023-01-02 1000 1000\n2023-07-03 2400 2200\n2024-01-02 2600 2200\n") << one.symbol;
  }
  EXPECT_EQ(series[0].symbol, "AAA");
  EXPECT_EQ(series[1].symbol, "");
}

// Bought with a commission, paid a dividend, sold out; nothing held at To,
// which needs no price.
//   Flows: in 100 x 10 + 5 = 1005; out 20 (gross); out 100 x 12 - 5 = 1195.
//   TWR: 2024-04-01: before 100 x 11 + 20 = 1120 over 1000 = 1.12; after
//   1100. 2024-07-01: 1200 / 1100. To: previous 0, left out.
//   1.12 x 1.090909.. = 1.221818..: 22.18 %.
//   IRR: days to 2024-12-31 (a leap year): 364, 274, 183; the flows change
//   sign once (in, out, out), so one rate: 1005 x^(364/365) = 20 x^(274/365)
//   + 1195 x^(183/365). x = 1.4711: 1476.9 = 26.72 + 1450.16: 47.11 %.
TEST(ReturnsTest, AClosedPositionWithADividend) {
  TempDir dir;
  const std::string path = makePricedLedger(
      dir, {{1, "DDD", 100, "B", "2024-01-02", 10, 5}, {1, "DDD", 100, "S", "2024-07-01", 12, 5}},
      "('DDD', '2024-01-02', 10), ('DDD', '2024-04-01', 11), ('DDD', '2024-07-01', 12)",
      "INSERT INTO Dividend VALUES (1, 'DDD', '2024-04-01', 20, 3, NULL, NULL);");
  const ReturnFigures f = returnsOf(path, "2024-01-02", "2024-12-31").companies.at(0);
  EXPECT_EQ(text(f.end.value), "0");
  EXPECT_FALSE(f.end.price);
  EXPECT_EQ(f.invested, Decimal::fromInt(1005));
  EXPECT_EQ(f.returned, Decimal::fromInt(1195));
  EXPECT_EQ(f.income, Decimal::fromInt(20));
  EXPECT_EQ(piecesText(f), "2024-01-02 -\n2024-04-01 1120/1000\n2024-07-01 1200/1100\n2024-12-31 -\n");
  EXPECT_EQ(percentText(f.twr), "22.18");
  EXPECT_EQ(percentText(f.irr), "47.11");
}

// A purchase on a day with no close: the TWR names the company and day
// instead of a figure; the IRR needs only S (0, nothing held) and E
// (10 x 60 = 600 on 2024-03-01), so it stands.
//   500 x^(59/365) = 600: x = 1.2^(365/59) = 3.08923: 208.92 %.
TEST(ReturnsTest, AMissingCloseIsNamedAndTheTwrNotGiven) {
  TempDir dir;
  const std::string path =
      makePricedLedger(dir, {{1, "XYZ", 10, "B", "2024-01-02", 50, 0}}, "('XYZ', '2024-03-01', 60)");
  const ReturnsReport report = returnsOf(path, "2024-01-02", "2024-03-01");
  const ReturnFigures& f = report.companies.at(0);
  EXPECT_EQ(f.missingPrices, (std::vector<MissingPrice>{{"XYZ", calendarDayOf("2024-01-02")}}));
  EXPECT_EQ(report.total.missingPrices, f.missingPrices);
  EXPECT_FALSE(f.twr);
  EXPECT_FALSE(report.total.twr);
  EXPECT_EQ(percentText(f.irr), "208.92");
  const std::vector<std::string> notes = returnsNotes(report);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[1], "  XYZ has no price on or before 2024-01-02.");
}

// A 2:1 split between two closes. The close of 2024-01-02 is per share
// before it: 20 shares on 2024-02-15 are worth 20 x 100 x 1/2 = 1000. The
// close of 2024-03-01 is per share after it: 20 x 55 = 1100, and the TWR is
// 1100 / 1000 - 1 = 10.00 %.
TEST(ReturnsTest, ASplitBetweenTwoCloses) {
  TempDir dir;
  const std::string path = makePricedLedger(dir, {{1, "SPL", 10, "B", "2024-01-02", 100, 0}},
                                            // Stored out of date order: they are sorted as they are read.
                                            "('SPL', '2024-03-01', 55), ('SPL', '2024-01-02', 100)",
                                            "INSERT INTO Split VALUES (1, 'SPL', '2024-02-01', 2, 1);");
  const ReturnFigures f = returnsOf(path, "2024-01-02", "2024-03-01").companies.at(0);
  EXPECT_EQ(text(f.end.value), "1100");
  EXPECT_EQ(f.end.shares, Decimal::fromInt(20));
  EXPECT_EQ(percentText(f.twr), "10.00");

  Database db = openLedger(path);
  const MarketValueReport mid = readMarketValue(db, CostMethod::Fifo, "2024-02-15");
  ASSERT_EQ(mid.holdings.size(), 1u);
  EXPECT_EQ(text(mid.holdings[0].marketValue), "1000");
  EXPECT_TRUE(mid.holdings[0].splitSincePrice);
  EXPECT_EQ(isoDateOf(mid.holdings[0].price->day), "2024-01-02");
  // The split's own date takes the close of that day as after it: the
  // period from it starts with 20 shares at 100 / 2.
  const ReturnFigures fromSplit = returnsOf(path, "2024-02-01", "2024-03-01").companies.at(0);
  EXPECT_EQ(text(fromSplit.start.value), "1000");
  EXPECT_EQ(fromSplit.start.shares, Decimal::fromInt(10));
}

// At 2024-06-30, by FIFO (gains_ledger.h's way of working costs):
//   AAA: lots of 10 for 101 and 10 for 121; the sale of 5 takes half of
//   the first (50.5), so 15 are held for 50.5 + 121 = 171.5. Close 14 on
//   2024-06-28: 15 x 14 = 210, unrealized 210 - 171.5 = 38.5.
//   BBB: 4 held with no close at all: no value, listed.
//   CCC: sold out, no close: no figures, and not listed.
//   A close after the date (AAA 2024-07-01) is not used. Shares of the
//   whole: AAA 210 / 210 = 100.00 %.
TEST(MarketValueTest, HoldingsWithAndWithoutAClose) {
  TempDir dir;
  const std::string path = makePricedLedger(
      dir,
      {{1, "AAA", 10, "B", "2024-01-02", 10, 1},
       {1, "AAA", 10, "B", "2024-02-01", 12, 1},
       {1, "AAA", 5, "S", "2024-03-01", 13, 0},
       {2, "BBB", 4, "B", "2024-01-02", 7, 0},
       {3, "CCC", 3, "B", "2024-01-02", 5, 0},
       {3, "CCC", 3, "S", "2024-02-02", 6, 0},
       {1, "AAA", 100, "B", "2024-07-01", 14, 0}},
      "('AAA', '2024-06-28', 14), ('AAA', '2024-07-01', 99)");
  Database db = openLedger(path);
  const MarketValueReport report = readMarketValue(db, CostMethod::Fifo, "2024-06-30");
  std::string rows;
  for (const HoldingValue& h : report.holdings)
    rows += h.holding.symbol + " " + h.holding.shares.toPlainString() + " " + text(h.marketValue) + " " +
            text(h.unrealizedGain) + " " + text(h.sharePercent) + "\n";
  EXPECT_EQ(rows, "AAA 15 210 38.5 100\nBBB 4 none none none\nCCC 0 none none none\n");
  EXPECT_EQ(report.unpriced, std::vector<std::string>{"BBB"});
  EXPECT_EQ(report.totalValue, Decimal::fromInt(210));
  EXPECT_EQ(marketValueNotes(report).at(0),
            "1 company is held with no price on or before 2024-06-30, so without a market value: BBB.");
}

// The close a value takes is the last one the reports can read: another
// program's rows that are no close (text) or of no real day (2024-04-31)
// are passed over, and the one before them counts: 10 x 14 = 140 at the
// close of 2024-03-01, for the one read by the holdings and for the whole
// history the returns read alike.
TEST(MarketValueTest, ClosesThatCannotBeReadArePassedOver) {
  TempDir dir;
  const std::string path = makePricedLedger(dir, {{1, "AAA", 10, "B", "2024-01-02", 10, 0}},
                                            "('AAA', '2024-03-01', 14), ('AAA', '2024-04-31', 99), "
                                            "('AAA', '2024-05-01', 'abc')");
  Database db = openLedger(path);
  const MarketValueReport report = readMarketValue(db, CostMethod::Fifo, "2024-05-15");
  ASSERT_EQ(report.holdings.size(), 1u);
  ASSERT_TRUE(report.holdings[0].price.has_value());
  EXPECT_EQ(isoDateOf(report.holdings[0].price->day), "2024-03-01");
  EXPECT_EQ(text(report.holdings[0].marketValue), "140");
  EXPECT_EQ(text(returnsOf(path, "2024-01-02", "2024-05-15").companies.at(0).end.value), "140");
}

// A period that starts with shares held: S is taken at the end of the
// day before From at the last close before From.
//   From 2023-07-03: S = 10 x 100 (the close of 2023-01-02) = 1000. TWR:
//   (10 x 120) / 1000 x (20 x 130) / (20 x 120) = 1.2 x 1.08333..: 30.00 %.
//   IRR: S 184 days before To, the purchase 183: 1000 x^(184/365) + 1200
//   x^(183/365) = 2600 at x = 1.39427 (1182.41 + 1417.59): 39.43 %.
// Then a sale short of shares: C sells 15 of the 10 held, and its next
// purchase of 7 first makes up the 5 missing, so 2 are held at To; the
// whole ledger sums E = 10 x 120 + 10 x 40 + 2 x 0.5 = 1601, invested
// 1000 + 500 + 10 + 7 = 1517, returned 15.
TEST(ReturnsTest, APeriodThatStartsWithSharesHeldAndASaleShortOfShares) {
  TempDir dir;
  const std::string path = makePricedLedger(
      dir, {{1, "AAA", 10, "B", "2023-01-02", 100, 0}, {1, "AAA", 10, "B", "2023-07-03", 120, 0}},
      "('AAA', '2023-01-02', 100), ('AAA', '2023-07-03', 120), ('AAA', '2024-01-02', 130)");
  const ReturnFigures f = returnsOf(path, "2023-07-03", "2024-01-02").companies.at(0);
  EXPECT_EQ(text(f.start.value), "1000");
  EXPECT_EQ(isoDateOf(f.start.day), "2023-07-02");
  EXPECT_EQ(f.invested, Decimal::fromInt(1200));
  EXPECT_EQ(percentText(f.twr), "30.00");
  EXPECT_EQ(percentText(f.irr), "39.43");

  TempDir other;
  const std::string two = makePricedLedger(other,
                                           {{1, "A", 10, "B", "2023-01-02", 100, 0},
                                            {2, "B", 10, "B", "2023-07-03", 50, 0},
                                            {3, "C", 10, "B", "2023-01-02", 1, 0},
                                            {3, "C", 15, "S", "2023-02-01", 1, 0},
                                            {3, "C", 7, "B", "2023-03-01", 1, 0}},
                                           "('A', '2023-01-02', 100), ('A', '2023-07-03', 110), "
                                           "('A', '2024-01-02', 120), ('B', '2023-07-03', 50), "
                                           "('B', '2024-01-02', 40), ('C', '2023-01-02', 1), ('C', '2023-03-01', 1), "
                                           "('C', '2024-01-02', 0.5)");
  const ReturnsReport report = returnsOf(two, "2023-01-02", "2024-01-02");
  EXPECT_EQ(report.companies.at(2).end.shares, Decimal::fromInt(2));
  const ReturnFigures& total = report.total;
  EXPECT_EQ(text(total.end.value), "1601");
  EXPECT_EQ(total.invested, Decimal::fromInt(1517));
  EXPECT_EQ(total.returned, Decimal::fromInt(15));
}

// The whole ledger's values on B's day count A, which has no flow then. A:
// 10 at 100 on 2023-01-02, closes 110 on 2023-07-03 and 120 at To; B: 10
// at 50 on 2023-07-03, close 40 at To.
//   TWR: 2023-07-03: 1100 / 1000 = 1.1, after 1100 + 500 = 1600; To:
//   1200 + 400 = 1600 over 1600 = 1: 10.00 %. IRR: 1000 x + 500
//   x^(183/365) = 1600 at 8.03 %.
TEST(ReturnsTest, TheWholeLedgerCountsACompanyOnAnothersFlowDay) {
  TempDir dir;
  const std::string path = makePricedLedger(
      dir, {{1, "A", 10, "B", "2023-01-02", 100, 0}, {2, "B", 10, "B", "2023-07-03", 50, 0}},
      "('A', '2023-01-02', 100), ('A', '2023-07-03', 110), ('A', '2024-01-02', 120), ('B', '2023-07-03', 50), "
      "('B', '2024-01-02', 40)");
  const ReturnFigures total = returnsOf(path, "2023-01-02", "2024-01-02").total;
  EXPECT_EQ(piecesText(total), "2023-01-02 -\n2023-07-03 1100/1000\n2024-01-02 1600/1600\n");
  EXPECT_EQ(percentText(total.twr), "10.00");
  EXPECT_EQ(percentText(total.irr), "8.03");
}

// Day numbers: the days between dates across month ends and leap days
// (2000 is a leap year, 1900 is not), and back to the same text.
TEST(CalendarDaysTest, CountDaysAcrossLeapYears) {
  const struct {
    const char* from;
    const char* to;
    int days;
  } rows[] = {{"1970-01-01", "1970-01-01", 0},  {"2024-02-28", "2024-03-01", 2}, {"2023-02-28", "2023-03-01", 1},
              {"2000-02-28", "2000-03-01", 2},  {"1900-02-28", "1900-03-01", 1}, {"2023-01-02", "2024-01-02", 365},
              {"0001-01-01", "9999-12-31", 3652058}};
  for (const auto& row : rows) {
    EXPECT_EQ(calendarDayOf(row.to) - calendarDayOf(row.from), row.days) << row.from << " " << row.to;
    EXPECT_EQ(isoDateOf(calendarDayOf(row.from)), row.from);
    EXPECT_EQ(isoDateOf(calendarDayOf(row.to)), row.to);
  }
  EXPECT_EQ(calendarDayOf("1970-01-01"), 0);
}

struct RateCase {
  const char* name;
  std::vector<RateFlow> flows;  // oldest first
  RateOutcome outcome;
  double rate;  // when Unique
};

void PrintTo(const RateCase& c, std::ostream* os) { *os << c.name; }

class AnnualRateTest : public ::testing::TestWithParam<RateCase> {};

TEST_P(AnnualRateTest, IsGivenOnlyWhenItIsTheOnlyOne) {
  const RateCase& c = GetParam();
  const RateResult result = solveAnnualRate(c.flows);
  EXPECT_EQ(result.outcome, c.outcome);
  EXPECT_EQ(result.rate.has_value(), c.outcome == RateOutcome::Unique);
  if (result.rate) {
    EXPECT_NEAR(*result.rate, c.rate, 1e-9);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Flows, AnnualRateTest,
    ::testing::Values(
        // 100 in, 110 out a year later: 10 %.
        RateCase{"OneChange", {{365, 100}, {0, -110}}, RateOutcome::Unique, 0.10},
        // 100 x^2 - 230 x + 132 = 0 at x = 1.1 and 1.2: two rates, none given.
        RateCase{"TwoRates", {{730, 100}, {365, -230}, {0, 132}}, RateOutcome::NotUnique, 0},
        // Only money in: nothing balances it.
        RateCase{"NoChange", {{365, 100}, {0, 50}}, RateOutcome::NoRate, 0},
        // 100 x^2 - 50 x + 10 x^(182/365) - 80: three changes of sign, yet
        // f rises through zero once (f(1) = -20, f(1.2) = 14.9, below zero
        // on (0, 1)): the count shows it alone, at x = 1.1199.
        RateCase{"ThreeChangesOneRate", {{730, 100}, {365, -50}, {182, 10}, {0, -80}}, RateOutcome::Unique,
                 0.11988045591031149},
        // 100 x^2 - 150 x^(548/365) + 100 x - 60: the running sums change
        // sign 3 times oldest first and twice newest first, so only the
        // count by pieces shows the one root (f(1) = -10, f(1.2) = 6.77).
        RateCase{"OnlyTheCountShowsOneRate", {{730, 100}, {548, -150}, {365, 100}, {0, -60}}, RateOutcome::Unique,
                 0.12445143253587565},
        // 100 x^2 - 200 x + 100 = 100 (x - 1)^2: a double root, not shown
        // to be alone.
        RateCase{"DoubleRoot", {{730, 100}, {365, -200}, {0, 100}}, RateOutcome::NotUnique, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledger
