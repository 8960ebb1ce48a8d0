// What the Gains window's Income tab and holdings read: each dividend with
// its net, the sums per company and year with each year's total, and the
// holdings' net income to date.
#include <gtest/gtest.h>

#include "app/gains_data.h"
#include "core_fixture.h"
#include "gains_ledger.h"
#include "ledger/ledger_session.h"

namespace ledger {
namespace {

std::string sumsText(const IncomeSums& s) {
  return s.gross.toPlainString() + " " + s.withholding.toPlainString() + " " + s.net.toPlainString();
}

class GainsIncomeTest : public test::CoreTest {};

// The ledger of gains_ledger.h, by hand:
//   dividends by date: AAA 2023-06-01 10 - 1.5 = 8.5; AAA 2024-03-01
//   20 - 3 = 17; BBB 2024-05-01 7.25 - 1.09 = 6.16; AAA 2024-09-01 20.5,
//   none withheld, 2 shares bought at 10.25.
//   2023: AAA 10, 1.5, 8.5; the year the same.
//   2024: AAA 20 + 20.5 = 40.5, 3, 37.5; BBB 7.25, 1.09, 6.16;
//         the year 40.5 + 7.25 = 47.75, 3 + 1.09 = 4.09, 37.5 + 6.16 = 43.66.
//   Holdings: AAA 8.5 + 17 + 20.5 = 46, BBB 6.16.
TEST_F(GainsIncomeTest, DividendsSumsAndHoldingsIncomeWorkedByHand) {
  const std::string path = dir.file("income.mdb");
  test::makeLedger(path, test::kIncomeTrades);
  test::addEvents(path, test::kIncomeDividendsSql);
  app.session().LedgerPath = path;

  const GainsRead read = readGains(app.session(), CostMethod::Fifo);
  ASSERT_FALSE(read.failure.has_value()) << *read.failure;
  ASSERT_NE(read.income, nullptr);

  std::vector<std::string> dividends;
  for (const CashDividend& d : read.income->dividends)
    dividends.push_back(d.date + " " + d.symbol + " " + d.gross.toPlainString() + " " +
                        d.withholding.toPlainString() + " " + d.net().toPlainString() + " " +
                        (d.reinvestQuantity ? d.reinvestQuantity->toPlainString() + "@" +
                                                  d.reinvestPrice->toPlainString()
                                            : "-"));
  EXPECT_EQ(dividends, (std::vector<std::string>{"2023-06-01 AAA 10 1.5 8.5 -", "2024-03-01 AAA 20 3 17 -",
                                                 "2024-05-01 BBB 7.25 1.09 6.16 -",
                                                 "2024-09-01 AAA 20.5 0 20.5 2@10.25"}));

  std::vector<std::string> lines;
  for (const IncomeLine& line : incomeLines(*read.income))
    lines.push_back(std::to_string(line.year) + " " + (line.isTotal() ? "total" : line.symbol) + " " +
                    sumsText(*line.sums));
  EXPECT_EQ(lines, (std::vector<std::string>{"2023 AAA 10 1.5 8.5", "2023 total 10 1.5 8.5",
                                             "2024 AAA 40.5 3 37.5", "2024 BBB 7.25 1.09 6.16",
                                             "2024 total 47.75 4.09 43.66"}));

  std::vector<std::string> holdings;
  for (const Holding& h : read.report->holdings) holdings.push_back(h.symbol + " " + h.netIncome.toPlainString());
  EXPECT_EQ(holdings, (std::vector<std::string>{"AAA 46", "BBB 6.16"}));
}

}  // namespace
}  // namespace ledger
