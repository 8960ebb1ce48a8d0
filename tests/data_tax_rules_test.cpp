// Gains by the tax offices' rules: UK share identification and US wash
// sales, worked by hand, and the UK tax years. Every ledger is read whole,
// its sales kept and handed on, and fed one trade at a time: all three
// give the same rows.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "figures/gains.h"
#include "figures/tax_years.h"
#include "ledger/event_tables.h"
#include "ledger/gains_report.h"
#include "ledger/ledger_open.h"
#include "gains_ledger.h"
#include "test_ledger.h"
#include "transfer/gains_csv.h"

namespace ledger {
namespace {

using test::TempDir;
using test::TradeRow;

struct WorkedCase {
  const char* rule;
  std::vector<TradeRow> trades;
  // The gains CSV's rows, without the header.
  const char* rows;
  // Shares Cost RealizedGain of the one company.
  const char* holding;
  std::vector<StockSplit> splits = {};
};

std::string rowsOf(const std::vector<SaleGain>& sales) {
  std::ostringstream out;
  for (const SaleGain& sale : sales) writeGainsCsvRow(out, sale);
  std::string text = out.str();
  std::erase(text, '\r');
  return text;
}

GainsReport fedOneByOne(std::vector<TradeRow> trades, std::vector<StockSplit> splits, const GainsRules& rules) {
  std::stable_sort(trades.begin(), trades.end(), [](const TradeRow& a, const TradeRow& b) { return a.date < b.date; });
  GainsCalculator calculator(rules);
  auto split = splits.begin();
  for (const TradeRow& t : trades) {
    for (; split != splits.end() && split->date <= t.date; ++split) calculator.addSplit(*split);
    calculator.add({t.symbol, t.date, t.side == "B" ? TradeSide::Buy : TradeSide::Sell, Decimal::fromDouble(t.quantity),
                    Decimal::fromDouble(t.price), Decimal::fromDouble(t.commission)});
  }
  for (; split != splits.end(); ++split) calculator.addSplit(*split);
  return calculator.finish();
}

void expectWorkedOut(const WorkedCase& c, const GainsRules& rules) {
  SCOPED_TRACE(c.rule);
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), c.trades);
  std::string sql;
  for (const StockSplit& s : c.splits)
    sql += "INSERT INTO Split (CompanySymbol, Date, NewShares, OldShares) VALUES ('" + s.symbol + "', '" + s.date +
           "', " + std::to_string(s.newShares) + ", " + std::to_string(s.oldShares) + ");";
  if (!sql.empty()) test::addEvents(dir.file("l.mdb"), sql);
  Database db = openLedger(dir.file("l.mdb"));
  const GainsReport report = readGainsReport(db, rules);
  EXPECT_EQ(rowsOf(report.sales), c.rows);
  std::vector<SaleGain> handedOn;
  readGainsReport(db, rules, [&](const SaleGain& sale) { handedOn.push_back(sale); });
  EXPECT_EQ(rowsOf(handedOn), c.rows) << "handed on";
  EXPECT_EQ(rowsOf(fedOneByOne(c.trades, c.splits, rules).sales), c.rows) << "fed one by one";
  ASSERT_EQ(report.holdings.size(), 1u);
  const Holding& h = report.holdings[0];
  EXPECT_EQ(h.shares.toPlainString() + " " + h.cost.toPlainString() + " " + h.realizedGain.toPlainString(), c.holding);
}

// ---- UK share identification ----------------------------------------------

TEST(UkMatchingTest, MatchesSameDayThenThirtyDaysThenPoolThenLater) {
  const WorkedCase cases[] = {
      // 2024-03-01: buys 30 x 11 + 3 and 10 x 13 = 463 for 40; sells 50 x 12 and 20 x 12 - 2 = 838 for 70.
      // Same day 40 for 463; the other 30 from the pool of 100 for 1000: 300. Cost 763, gain 75.
      // Pool left: 70 for 700.
      {"a day's buys are one acquisition, its sales one disposal",
       {{1, "S", 100, "B", "2024-01-10", 10, 0}, {1, "S", 50, "S", "2024-03-01", 12, 0},
        {1, "S", 30, "B", "2024-03-01", 11, 3}, {1, "S", 10, "B", "2024-03-01", 13, 0},
        {1, "S", 20, "S", "2024-03-01", 12, 2}},
       "2024-03-01,S,70,838,763,75,,0,same-day pool,0\n",
       "70 700 75"},
      // 2024-02-01 sells 40 for 320. 2024-03-02 is day 30 (2024 is a leap year): its 10 for 90 match;
      // 2024-03-03 is day 31 and joins the pool. 30 from the pool of 100 for 1000: 300. Cost 390, gain -70.
      // Pool: 70 for 700, + 10 for 95 = 80 for 795.
      {"30 days: day 30 matches, day 31 does not",
       {{1, "S", 100, "B", "2024-01-02", 10, 0}, {1, "S", 40, "S", "2024-02-01", 8, 0},
        {1, "S", 10, "B", "2024-03-02", 9, 0}, {1, "S", 10, "B", "2024-03-03", 9.5, 0}},
       "2024-02-01,S,40,320,390,-70,,0,30-day pool,0\n",
       "80 795 -70"},
      // Pool 100 for 1005 + 50 for 605 = 150 for 1610. Sells 60 for 836: 1610 x 60 / 150 = 644, gain 192;
      // left 90 for 966. Sells 90 for 810: all of it, 966, gain -156.
      {"the pool at its average cost",
       {{1, "S", 100, "B", "2024-01-02", 10, 5}, {1, "S", 50, "B", "2024-02-15", 12, 5},
        {1, "S", 60, "S", "2024-04-01", 14, 4}, {1, "S", 90, "S", "2024-07-01", 9, 0}},
       "2024-04-01,S,60,836,644,192,,0,pool,0\n"
       "2024-07-01,S,90,810,966,-156,,0,pool,0\n",
       "0 0 36"},
      // 2024-06-10 sells 250 for 1740 and buys 20 for 120: same day 20 for 120. 30 days: 2024-06-20 buys 30
      // for 195 but sells 10, which take 10 first (195 x 10 / 30 = 65): 20 for 130 are free; 2024-07-10
      // (day 30) 15 for 105. Pool 100 for 500. Still 95 short: 2024-09-01's 100 for 800 give 760.
      // Cost 120 + 130 + 105 + 500 + 760 = 1615, gain 125. 2024-06-20: 68 - 65 = 3.
      // Held: the 5 left of 2024-09-01 for 40. Realized 128.
      {"the rules together, in their order",
       {{1, "S", 100, "B", "2024-01-02", 5, 0}, {1, "S", 20, "B", "2024-06-10", 6, 0},
        {1, "S", 250, "S", "2024-06-10", 7, 10}, {1, "S", 30, "B", "2024-06-20", 6.5, 0},
        {1, "S", 10, "S", "2024-06-20", 6.8, 0}, {1, "S", 15, "B", "2024-07-10", 7, 0},
        {1, "S", 100, "B", "2024-09-01", 8, 0}},
       "2024-06-10,S,250,1740,1615,125,,0,same-day 30-day pool later,0\n"
       "2024-06-20,S,10,68,65,3,,0,same-day,0\n",
       "5 40 128"},
      // Sells 40 for 360; a 2:1 split; 2024-03-20 buys 30 new shares for 135, which are 15 old ones.
      // The other 25 from the pool of 100 for 1000: 250. Cost 385, gain -25.
      // Pool 75 for 750 becomes 150 for 750; the 30 bought are all matched.
      {"30 days across a split compare new shares",
       {{1, "S", 100, "B", "2024-01-02", 10, 0}, {1, "S", 40, "S", "2024-03-01", 9, 0},
        {1, "S", 30, "B", "2024-03-20", 4.5, 0}},
       "2024-03-01,S,40,360,385,-25,,0,30-day pool,0\n",
       "150 750 -25",
       {{"S", "2024-03-10", 2, 1}}},
  };
  for (const WorkedCase& c : cases) expectWorkedOut(c, GainsRules(CostMethod::Uk));
}

TEST(UkMatchingTest, HmrcPublishedExamples) {
  const WorkedCase cases[] = {
      // HMRC's answer on its community forum, after CG51555: buys 100 on 1 and 2 March, sells 200 on 2 March,
      // buys and sells 100 on 3 March, buys 100 on 6 March. The 200 match 100 of 2 March (same day) and 100
      // of 6 March: 3 March's purchase goes to its own day's sale first. Prices ours: 2 March: 100 for 100
      // + 100 for 120 = 220 against 400, gain 180. 3 March: 250 - 150 = 100. Pool: 1 March's 100 for 100.
      {"the same-day rule comes first on every day",
       {{1, "S", 100, "B", "2023-03-01", 1, 0}, {1, "S", 100, "B", "2023-03-02", 1, 0},
        {1, "S", 200, "S", "2023-03-02", 2, 0}, {1, "S", 100, "B", "2023-03-03", 1.5, 0},
        {1, "S", 100, "S", "2023-03-03", 2.5, 0}, {1, "S", 100, "B", "2023-03-06", 1.2, 0}},
       "2023-03-02,S,200,400,220,180,,0,same-day 30-day,0\n"
       "2023-03-03,S,100,250,150,100,,0,same-day,0\n",
       "100 100 280"},
      // HS284 Example 3's last disposal: a Section 104 pool of 800 shares costing 3,349; 400 sold at 5.20
      // with 105 of costs, 1,975. Cost 3,349 x 400 / 800 = 1,674.5; gain 300.5 (HMRC rounds to pounds).
      {"HS284 Example 3: a disposal from the Section 104 pool",
       {{1, "S", 800, "B", "2016-05-03", 4, 149}, {1, "S", 400, "S", "2018-02-01", 5.2, 105}},
       "2018-02-01,S,400,1975,1674.5,300.5,,0,pool,0\n",
       "400 1674.5 300.5"},
  };
  for (const WorkedCase& c : cases) expectWorkedOut(c, GainsRules(CostMethod::Uk));
}

// ---- US wash sales --------------------------------------------------------

TEST(WashSaleTest, DisallowsWhatReplacementSharesCover) {
  const GainsRules wash(CostMethod::Fifo, true, TaxYears::Calendar);
  const WorkedCase cases[] = {
      // IRS Publication 550, wash sales, Example 1: 100 bought for 1,000 sold for 750 and 100 bought within
      // 30 days for 800: the 250 loss is disallowed and the new shares cost 1,050. Sold later for 1,100:
      // gain 50. Realized (-250 + 250) + 50 = 50.
      {"IRS Pub. 550 Example 1: full replacement",
       {{1, "W", 100, "B", "2024-01-02", 10, 0}, {1, "W", 100, "S", "2024-03-01", 7.5, 0},
        {1, "W", 100, "B", "2024-03-15", 8, 0}, {1, "W", 100, "S", "2024-06-03", 11, 0}},
       "2024-03-01,W,100,750,1000,-250,2024-01-02,0,,250\n"
       "2024-06-03,W,100,1100,1050,50,2024-03-15,0,,0\n",
       "0 0 50"},
      // IRS Publication 550, Example 3: 100 bought 21 September sold 21 February at a 1,000 loss; 50 bought
      // on each of 15, 16, 17 and 18 February. The loss is disallowed; half (500) goes onto the 50 of
      // 15 February, half onto those of 16 February. Held: 200 costing 500 x 4 + 1,000 = 3,000.
      {"IRS Pub. 550 Example 3: replacements bought before, in the order bought",
       {{1, "W", 100, "B", "2023-09-21", 20, 0}, {1, "W", 50, "B", "2024-02-15", 10, 0},
        {1, "W", 50, "B", "2024-02-16", 10, 0}, {1, "W", 50, "B", "2024-02-17", 10, 0},
        {1, "W", 50, "B", "2024-02-18", 10, 0}, {1, "W", 100, "S", "2024-02-21", 10, 0}},
       "2024-02-21,W,100,1000,2000,-1000,2023-09-21,0,,1000\n",
       "200 3000 0"},
      // Loss 200 on 100; 40 bought after: 200 x 40 / 100 = 80 disallowed, onto the 40 (280 + 80 = 360).
      {"partial replacement disallows its share",
       {{1, "W", 100, "B", "2024-01-02", 10, 0}, {1, "W", 100, "S", "2024-05-01", 8, 0},
        {1, "W", 40, "B", "2024-05-20", 7, 0}},
       "2024-05-01,W,100,800,1000,-200,2024-01-02,0,,80\n",
       "40 360 -120"},
      // 2024-03-31 is 31 days before the sale, 2024-06-01 31 days after: no replacement.
      {"no replacement outside the 61 days",
       {{1, "W", 100, "B", "2024-01-02", 10, 0}, {1, "W", 10, "B", "2024-03-31", 9, 0},
        {1, "W", 100, "S", "2024-05-01", 8, 0}, {1, "W", 10, "B", "2024-06-01", 7, 0}},
       "2024-05-01,W,100,800,1000,-200,2024-01-02,0,,0\n",
       "20 160 -200"},
      // Loss 200 on 100. Replacements in the order bought: 30 of 2024-04-20 (+60: 330), then 70 of the 100
      // of 2024-05-20 (+140), which is split: 70 for 700 x 70 / 100 + 140 = 630, and 30 for 210.
      // 2024-08-01 sells 60 for 540: 2024-04-20's 30 (330) and 30 of the 70 (630 x 30 / 70 = 270): cost
      // 600, a loss of 60 with nothing bought from 2024-07-02 on: allowed. Held 40 for 360 and 30 for 210.
      {"a lot that replaces in part is split",
       {{1, "W", 100, "B", "2024-01-02", 10, 0}, {1, "W", 30, "B", "2024-04-20", 9, 0},
        {1, "W", 100, "S", "2024-05-01", 8, 0}, {1, "W", 100, "B", "2024-05-20", 7, 0},
        {1, "W", 60, "S", "2024-08-01", 9, 0}},
       "2024-05-01,W,100,800,1000,-200,2024-01-02,0,,200\n"
       "2024-08-01,W,60,540,600,-60,2024-04-20 2024-05-20,0,,0\n",
       "70 570 -60"},
      // 2024-03-10 sells 2024-01-02's 50 (500) and 2024-01-03's 50 (600) for 800, 400 each: losses 100 and
      // 200, both replaced by 2024-03-01's 200 (1,800), which is split once: 100 for 900 + 300 = 1,200, and
      // 100 for 900. 2024-06-03 sells that 100 for 1,100 as one lot: a loss of 100, nothing bought near.
      {"a lot that replaces in part for one sale is split once",
       {{1, "W", 50, "B", "2024-01-02", 10, 0}, {1, "W", 50, "B", "2024-01-03", 12, 0},
        {1, "W", 200, "B", "2024-03-01", 9, 0}, {1, "W", 100, "S", "2024-03-10", 8, 0},
        {1, "W", 100, "S", "2024-06-03", 11, 0}},
       "2024-03-10,W,100,800,1100,-300,2024-01-02 2024-01-03,0,,300\n"
       "2024-06-03,W,100,1100,1200,-100,2024-03-01,0,,0\n",
       "100 900 -100"},
      // 2024-03-05 sells 60 of 2024-01-02's 100 (cost 600) for 480: loss 120; 60 of 2024-03-01's 100
      // (900) replace: 540 + 120 = 660, the lot keeps 40 for 360. 2024-03-10 sells 20 (200) for 140: loss
      // 60; 20 of those 40 replace: 180 + 60 = 240, the lot keeps 20 for 180. A 2:1 split doubles every
      // part: 40 (200), 120 (660), 40 (240), 40 (180). 2024-06-03 sells 170 for 1,020: 40 (200), the 120
      // (660) and 10 of the 40 replacing (240 x 10 / 40 = 60), before the lot's own: cost 920, no loss.
      // Held 30 for 180 and 40 for 180; paid 1,900 + 180 disallowed = 1,720 sold + 360 held.
      {"a lot split twice keeps its replacing parts in order through a split",
       {{1, "W", 100, "B", "2024-01-02", 10, 0}, {1, "W", 100, "B", "2024-03-01", 9, 0},
        {1, "W", 60, "S", "2024-03-05", 8, 0}, {1, "W", 20, "S", "2024-03-10", 7, 0},
        {1, "W", 170, "S", "2024-06-03", 6, 0}},
       "2024-03-05,W,60,480,600,-120,2024-01-02,0,,120\n"
       "2024-03-10,W,20,140,200,-60,2024-01-02,0,,60\n"
       "2024-06-03,W,170,1020,920,100,2024-01-02 2024-03-01 2024-03-01,0,,0\n",
       "70 360 100",
       {{"W", "2024-04-01", 2, 1}}},
      // Loss 200 on 100; a 2:1 split; 100 new shares bought for 400 are 50 old ones: 100 disallowed,
      // onto them (500).
      {"shares are compared after a split",
       {{1, "W", 100, "B", "2024-01-02", 10, 0}, {1, "W", 100, "S", "2024-03-01", 8, 0},
        {1, "W", 100, "B", "2024-03-20", 4, 0}},
       "2024-03-01,W,100,800,1000,-200,2024-01-02,0,,100\n",
       "100 500 -100",
       {{"W", "2024-03-10", 2, 1}}},
  };
  for (const WorkedCase& c : cases) expectWorkedOut(c, wash);
}

// ---- tax years --------------------------------------------------------------

TEST(TaxYearTest, UkYearsTurnBetweenTheFifthAndSixthOfApril) {
  struct Row {
    std::uint32_t day;
    TaxYears years;
    const char* label;
  };
  const Row rows[] = {
      {20250405, TaxYears::Uk, "2024-25"},     {20250406, TaxYears::Uk, "2025-26"},
      {20250405, TaxYears::Calendar, "2025"},  {19991231, TaxYears::Uk, "1999-00"},
  };
  for (const Row& r : rows) {
    const int year = taxYearOfDay(r.day, r.years);
    EXPECT_EQ(taxYearLabel(year, r.years), r.label) << r.day;
    EXPECT_EQ(taxYearFromLabel(r.label, r.years), year) << r.label;
  }
  for (const char* bad : {"2024-26", "2024", "2024/25", "9999-00", "0000-01"})
    EXPECT_EQ(taxYearFromLabel(bad, TaxYears::Uk), std::nullopt) << bad;
}

TEST(TaxYearTest, YearlyFiguresFollowTheYearsAsked) {
  // A gain of 1 on 5 April and of 2 on 6 April 2025; with wash sales the yearly figures count the
  // disallowed loss back (loss 10 of 2025-05-01 replaced whole: 0).
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), {{1, "T", 3, "B", "2025-01-02", 10, 0},
                                       {1, "T", 1, "S", "2025-04-05", 11, 0},
                                       {1, "T", 1, "S", "2025-04-06", 12, 0},
                                       {1, "T", 1, "S", "2025-05-01", 0, 0},
                                       {1, "T", 1, "B", "2025-05-02", 10, 0}});
  Database db = openLedger(dir.file("l.mdb"));
  std::ostringstream uk, calendar;
  writeYearlyCsv(uk, readGainsReport(db, GainsRules(CostMethod::Fifo, true, TaxYears::Uk)));
  writeYearlyCsv(calendar, readGainsReport(db, GainsRules(CostMethod::Fifo, true, TaxYears::Calendar)));
  EXPECT_EQ(uk.str(), "Year,Symbol,Gain\r\n2024-25,T,1\r\n2024-25,,1\r\n2025-26,T,2\r\n2025-26,,2\r\n");
  EXPECT_EQ(calendar.str(), "Year,Symbol,Gain\r\n2025,T,3\r\n2025,,3\r\n");
}

}  // namespace
}  // namespace ledger
