// Dividend income and the events the reports read: the hand-worked
// dividends' income and the holdings' net income, and the event rows
// another program wrote that the reports must leave out.
#include <gtest/gtest.h>

#include "figures/income.h"
#include "ledger/event_reads.h"
#include "ledger/gains_report.h"
#include "gains_ledger.h"
#include "test_ledger.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::TempDir;

TEST(IncomeTest, EachDividendAndEachYearAddUpAndHoldingsGetTheirNet) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path, test::kIncomeTrades);
  test::addEvents(path, test::kIncomeDividendsSql);
  Database db = openLedger(path);

  const IncomeReport income = workOutIncome(readLedgerEvents(db).dividends);
  std::string dividends;
  for (const CashDividend& d : income.dividends)
    dividends += d.date + " " + d.symbol + " " + d.gross.toPlainString() + " " + d.withholding.toPlainString() + " " +
                 d.net().toPlainString() + (d.reinvestQuantity ? " " + d.reinvestQuantity->toPlainString() : "") + "\n";
  EXPECT_EQ(dividends,
            "2023-06-01 AAA 10 1.5 8.5\n2024-03-01 AAA 20 3 17\n2024-05-01 BBB 7.25 1.09 6.16\n"
            "2024-09-01 AAA 20.5 0 20.5 2\n");
  ASSERT_EQ(income.years.size(), 2u);
  EXPECT_EQ(income.years[1].total.net.toPlainString(), "43.66");

  const GainsReport report = readGainsReport(db, CostMethod::Fifo);
  ASSERT_EQ(report.holdings.size(), 2u);
  EXPECT_EQ(report.holdings[0].shares.toPlainString() + " " + report.holdings[0].cost.toPlainString() + " " +
                report.holdings[0].netIncome.toPlainString(),
            "12 120.5 46");
  EXPECT_EQ(report.holdings[1].netIncome.toPlainString(), "6.16");
}

struct BadEventCase {
  const char* name;
  const char* insert;  // a row another program wrote
  SkippedEvent::Kind kind;
  const char* reason;
};

void PrintTo(const BadEventCase& c, std::ostream* os) { *os << c.name; }

class BadEventRowTest : public ::testing::TestWithParam<BadEventCase> {};

// Beside the bad row, S holds 10 made 20 by a 2:1 split and was paid 5
// with 1 withheld: those still count.
TEST_P(BadEventRowTest, IsLeftOutNamedAndTheRestStillCount) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path, {{1, "S", 10, "B", "2024-01-02", 10, 0}});
  test::addEvents(path, std::string("INSERT INTO Split VALUES (1, 'S', '2024-02-01', 2, 1);"
                                    "INSERT INTO Dividend VALUES (1, 'S', '2024-03-01', 5, 1, NULL, NULL);"
                                    "PRAGMA ignore_check_constraints = ON;") +
                            GetParam().insert);
  Database db = openLedger(path);
  const GainsReport report = readGainsReport(db, CostMethod::Average);
  ASSERT_EQ(report.skippedEvents.size(), 1u);
  EXPECT_EQ(report.skippedEvents[0].kind, GetParam().kind);
  EXPECT_EQ(report.skippedEvents[0].reason, GetParam().reason);
  EXPECT_EQ(report.holdings.at(0).shares, Decimal::fromInt(20));
  EXPECT_EQ(report.holdings.at(0).netIncome, Decimal::fromInt(4));
  const std::vector<std::string> notes = gainsNotes(report);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0], GetParam().kind == SkippedEvent::Kind::Split ? "1 split is left out of the report:"
                                                                   : "1 dividend is left out of the report:");
  EXPECT_NE(notes[1].find(GetParam().reason), std::string::npos) << notes[1];
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadEventRowTest,
    ::testing::Values(
        BadEventCase{"SplitRatioWithAZero", "INSERT INTO Split VALUES (2, 'S', '2024-05-01', 0, 1)",
                     SkippedEvent::Kind::Split, "a ratio that is not two whole numbers above zero"},
        BadEventCase{"SplitRatioNotWhole", "INSERT INTO Split VALUES (2, 'S', '2024-05-01', 1.5, 1)",
                     SkippedEvent::Kind::Split, "a ratio that is not two whole numbers above zero"},
        BadEventCase{"SplitDateNotIso", "INSERT INTO Split VALUES (2, 'S', '5/1/2024', 2, 1)",
                     SkippedEvent::Kind::Split, "no valid date"},
        BadEventCase{"DividendNoSymbol", "INSERT INTO Dividend VALUES (2, '', '2024-05-01', 5, 0, NULL, NULL)",
                     SkippedEvent::Kind::Dividend, "no symbol"},
        BadEventCase{"DividendGrossNotANumber",
                     "INSERT INTO Dividend VALUES (2, 'S', '2024-05-01', 'five', 0, NULL, NULL)",
                     SkippedEvent::Kind::Dividend, "no gross amount of zero or more"},
        BadEventCase{"DividendWithheldAboveGross",
                     "INSERT INTO Dividend VALUES (2, 'S', '2024-05-01', 5, 6, NULL, NULL)",
                     SkippedEvent::Kind::Dividend, "tax withheld that is not between zero and the gross amount"},
        BadEventCase{"DividendSharesBoughtNotAboveZero",
                     "INSERT INTO Dividend VALUES (2, 'S', '2024-05-01', 5, 0, 0, 1)", SkippedEvent::Kind::Dividend,
                     "shares bought with it that are not a quantity above zero"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledger
