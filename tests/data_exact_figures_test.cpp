// Figures computed from trades are exact: each trade's total on the Bought
// and Sold tabs and grids, the ledger's and a company's totals, the
// profit/loss and its percentage.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "figures/exact_figures.h"
#include "fake_form.h"
#include "fakes.h"
#include "app/record_display.h"
#include "test_ledger.h"
#include "ledger/view_queries.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::TempDir;
using test::TradeRow;
using Rows = std::vector<std::vector<std::string>>;

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(TradeTotal, ProductAndCommissionInDecimals) {
  const struct {
    Value quantity, price, commission;
    bool purchase;
    std::optional<std::string> text;
  } cases[] = {
      {3.0, 0.1, 0.0, true, "0.3"},
      {10.0, 0.1 + 0.2, 5.0, true, "8.0000000000000004"},  // the stored price is 0.30000000000000004
      {1234567.123456789, 99.75, 4.95, true, "123148075.51481470275"},
      {3.0, 0.1, 0.2, false, "0.1"},
      {std::int64_t{7}, 1.5, 0.0, false, "10.5"},
      {1e300, 1e300, 0.0, true, "1E+600"},  // never INF
      {1e-320, 1.0, 0.0, true, "1E-320"},
      {kInf, 2.0, 1.0, true, "INF"},  // stored by another program: shown, not a crash
      {2.0, -kInf, 1.0, true, "-INF"},
      {kInf, 0.0, 0.0, true, std::nullopt},  // not a number: Null, as in the ledger's query
      {Value{}, 1.0, 1.0, true, std::nullopt},
      {1.0, std::string("x"), 1.0, true, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(figureText(tradeTotal(c.quantity, c.price, c.commission, c.purchase)), c.text)
        << c.text.value_or("Null");
}

TEST(ComputedColumnsTest, ShowTheRowsOwnTotalExactlyOnlyWhenTheLedgerComputedIt) {
  const std::vector<std::string> bought = {"CompanySymbol", "Date",      "Quantity",
                                           "Price",         "Commission", "TotalPurchase"};
  const std::vector<std::string> sold = {"CompanySymbol", "Date", "Quantity", "Price", "Commission", "TotalSell"};
  const ComputedColumns onBought(bought), onSold(sold);
  auto row = [](Value q, Value p, Value c, Value total) {
    return std::vector<Value>{std::string("AAPL"), std::string("2024-01-02"), q, p, c, total};
  };
  const struct {
    const ComputedColumns* columns;
    std::vector<Value> row;
    int column;
    std::optional<std::string> text;
  } cases[] = {
      {&onBought, row(3.0, 0.1, 0.0, 3 * 0.1 + 0.0), 5, "0.3"},
      {&onSold, row(3.0, 0.1, 0.2, 3 * 0.1 - 0.2), 5, "0.1"},
      {&onBought, row(1e300, 1e300, 0.0, kInf), 5, "1E+600"},
      {&onBought, row(3.0, 0.1, 0.0, 3 * 0.1), 2, std::nullopt},  // not a computed column
      // A ledger whose query computes something else is shown as it is.
      {&onBought, row(3.0, 0.1, 1.0, 0.30000000000000004), 5, std::nullopt},
      {&onBought, row(Value{}, 0.1, 1.0, Value{}), 5, std::nullopt},
      {&onBought, {std::string("AAPL")}, 5, std::nullopt},  // a short row
  };
  for (const auto& c : cases) EXPECT_EQ(c.columns->text(c.row, c.column), c.text) << c.text.value_or("-");
  // Without the three numbers a column of that name is not recomputed.
  const std::vector<std::string> partial = {"Quantity", "TotalPurchase"};
  EXPECT_FALSE(ComputedColumns(partial).any());
}

TEST(TradeTotalsTest, ProfitLossAndPercentage) {
  const struct {
    std::vector<TradeRow> trades;
    std::optional<std::string> buy, sell, profitLoss, percentage;
  } cases[] = {
      {{}, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
      // Purchases only: no sale total, so no profit/loss either.
      {{{1, "A", 10, "B", "", 100, 5}}, "1005", std::nullopt, std::nullopt, std::nullopt},
      {{{1, "A", 10, "B", "", 100, 5}, {1, "A", 4, "S", "", 150, 10}}, "1005", "590", "-415", "-41.29"},
      {{{1, "A", 3, "B", "", 0.1, 0}, {1, "A", 3, "S", "", 0.2, 0.3}}, "0.3", "0.3", "0", "0.00"},
      // Purchases that total 0: the percentage divides by 0 and is Null.
      {{{1, "A", 0, "B", "", 100, 0}, {1, "A", 1, "S", "", 1, 0}}, "0", "1", "1", std::nullopt},
      // Half-even to two places: 1/8 % = 0.125 -> 0.12; 3/8 % -> 0.38.
      {{{1, "A", 800, "B", "", 1, 0}, {1, "A", 801, "S", "", 1, 0}}, "800", "801", "1", "0.12"},
      {{{1, "A", 800, "B", "", 1, 0}, {1, "A", 803, "S", "", 1, 0}}, "800", "803", "3", "0.38"},
      // 1 - 1E+600 keeps every digit: 600 nines.
      {{{1, "A", 1e300, "B", "", 1e300, 0}, {1, "A", 1, "S", "", 1, 0}}, "1E+600", "1",
       "-9." + std::string(599, '9') + "E+599", "-100.00"},
      {{{1, "A", kInf, "B", "", 1, 0}, {1, "A", 1, "S", "", 1, 0}}, "INF", "1", "-INF", std::nullopt},
  };
  for (const auto& c : cases) {
    TradeTotals totals;
    for (const TradeRow& t : c.trades) totals.add(t.side, t.quantity, t.price, t.commission);
    EXPECT_EQ(figureText(totals.totalBuy), c.buy);
    EXPECT_EQ(figureText(totals.totalSell), c.sell);
    EXPECT_EQ(figureText(totals.profitLoss()), c.profitLoss);
    EXPECT_EQ(percentageText(totals.percentage()), c.percentage);
  }
}

// ---- over a ledger -----------------------------------------------------------

class ExactLedgerTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir.file("l.mdb");
  test::ScriptedPrompter prompter;
  LedgerSession session{prompter};
};

// Whole cents as text: 1234 -> "12.34", -5 -> "-0.05", 100 -> "1".
std::string centsText(std::int64_t cents) {
  const bool negative = cents < 0;
  const std::uint64_t mag = negative ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
  std::string text = std::to_string(mag / 100);
  const unsigned rest = static_cast<unsigned>(mag % 100);
  if (rest != 0) {
    text += '.';
    text += static_cast<char>('0' + rest / 10);
    if (rest % 10 != 0) text += static_cast<char>('0' + rest % 10);
  }
  return negative ? "-" + text : text;
}

// Thousands of generated trades in whole shares and cents: the figures the
// program shows agree with the same sums in integer cents.
TEST_F(ExactLedgerTest, TotalsOfThousandsOfTradesAgreeWithIntegerCents) {
  std::mt19937_64 rng(20240613);
  std::uniform_int_distribution<int> shares(1, 5000), priceCents(1, 99'999'99), commissionCents(0, 99'99);
  std::vector<TradeRow> trades;
  std::int64_t buyCents = 0, sellCents = 0, ibmBuyCents = 0, ibmSellCents = 0;
  for (int i = 0; i < 4000; ++i) {
    const int q = shares(rng), p = priceCents(rng), c = commissionCents(rng);
    const bool buy = i % 3 != 0;
    const std::string symbol = i % 4 == 0 ? "IBM" : "KO";
    const std::int64_t cents = static_cast<std::int64_t>(q) * p + (buy ? c : -c);
    (buy ? buyCents : sellCents) += cents;
    if (symbol == "IBM") (buy ? ibmBuyCents : ibmSellCents) += cents;
    trades.push_back({1, symbol, static_cast<double>(q), buy ? "B" : "S", "2024-01-02", p / 100.0, c / 100.0});
  }
  test::makeLedger(path, trades);
  session.LedgerPath = path;
  const ProfitLossFigures f = readProfitLossFigures(session);
  EXPECT_EQ(f.totalBought, centsText(buyCents));
  EXPECT_EQ(f.totalSold, centsText(sellCents));
  EXPECT_EQ(f.profitLoss, centsText(sellCents - buyCents));
  // The percentage in integers: (sell - buy) * 10000 / buy, rounded half-even.
  const std::int64_t num = (sellCents - buyCents) * 10000, den = buyCents;
  std::int64_t q = num / den, r = num % den;
  if (2 * (r < 0 ? -r : r) > den || (2 * (r < 0 ? -r : r) == den && q % 2 != 0)) q += num < 0 ? -1 : 1;
  const std::int64_t hundredths = static_cast<std::int64_t>(q);
  const std::int64_t whole = hundredths / 100, frac = (hundredths < 0 ? -hundredths : hundredths) % 100;
  const std::string expected =
      (hundredths < 0 && whole == 0 ? "-" : "") + std::to_string(whole) + "." + (frac < 10 ? "0" : "") + std::to_string(frac);
  EXPECT_EQ(f.percentage, expected);

  Database db = openLedger(path);
  const HistoryFigures ibm = readHistoryFigures(db, "IBM");
  EXPECT_EQ(ibm.totalBuy, centsText(ibmBuyCents));
  EXPECT_EQ(ibm.totalSell, centsText(ibmSellCents));
  EXPECT_EQ(ibm.profitLoss, centsText(ibmSellCents - ibmBuyCents));
  // The stored queries are untouched and still sum in floating point.
  EXPECT_EQ(test::readAll(path, "SELECT typeof([Total Buy]) FROM [Total Buy]"), (Rows{{"real"}}));
}

TEST_F(ExactLedgerTest, HugeAndInfiniteStoredValuesAreShownAsText) {
  test::makeLedger(path, {{1, "AAPL", 1e300, "B", "2024-01-02", 1e300, 0},
                          {1, "AAPL", 1, "S", "2024-01-03", 1e-320, 0},
                          {2, "KO", kInf, "S", "2024-01-04", 1, 0}});
  session.LedgerPath = path;
  const ProfitLossFigures f = readProfitLossFigures(session);
  EXPECT_EQ(f.totalBought, "1E+600");
  EXPECT_EQ(f.totalSold, "INF");  // the other program's infinity stays one
  EXPECT_EQ(f.profitLoss, "INF");
  EXPECT_EQ(f.percentage, "INF");
  Database db = openLedger(path);
  const HistoryFigures aapl = readHistoryFigures(db, "AAPL");
  EXPECT_EQ(aapl.totalBuy, "1E+600");
  EXPECT_EQ(aapl.totalSell, "1E-320");
  // Every digit of 1E-320 - 1E+600; never -INF.
  EXPECT_EQ(Decimal::parse(aapl.profitLoss.value_or("")), *Decimal::parse("1e-320") - *Decimal::parse("1e600"));
}

TEST_F(ExactLedgerTest, BoughtAndSoldTabsShowEachTradesTotalExactly) {
  test::makeLedger(path, {{1, "AAPL", 3, "B", "2024-01-02", 0.1, 0},
                          {1, "AAPL", 3, "S", "2024-01-03", 0.1, 0.2},
                          {1, "AAPL", 1e300, "B", "2024-01-04", 1e300, 0}});
  session.LedgerPath = path;
  test::FakeForm form;
  const struct {
    int tab;
    const char* source;
    const char* column;
    std::vector<std::string> shown;
  } cases[] = {
      {1, "Bought", "TotalPurchase", {"0.3", "1E+600"}},
      {2, "Sold", "TotalSell", {"0.1"}},
  };
  for (const auto& c : cases) {
    form.tab = c.tab;
    ASSERT_TRUE(OpenAndShow(session, form, c.source));
    std::vector<std::string> shown;
    for (size_t i = 0; i < c.shown.size(); ++i) {
      shown.push_back(form.boxes.at({c.column, c.tab}));
      MoveToNext(session, form);
    }
    EXPECT_EQ(shown, c.shown) << c.source;
  }
}

}  // namespace
}  // namespace ledger
