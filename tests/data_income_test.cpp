// The holdings' dividend income, and the event rows another program wrote
// that the reports must leave out.
#include <gtest/gtest.h>

#include "ledger/gains_report.h"
#include "gains_ledger.h"
#include "test_ledger.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::TempDir;

GainsReport reportOf(const std::string& path) {
  Database db = openLedger(path);
  return readGainsReport(db, CostMethod::Average);
}

// The dividends' net to date goes to each holding (gains_ledger.h); their
// sums by year are the income report's, checked as the command writes it.
TEST(IncomeTest, HoldingsGetTheirNetIncomeToDate) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), test::kIncomeTrades);
  test::addEvents(dir.file("l.mdb"), test::kIncomeDividendsSql);
  std::string holdings;
  for (const Holding& h : reportOf(dir.file("l.mdb")).holdings)
    holdings += h.symbol + " " + h.shares.toPlainString() + " " + h.cost.toPlainString() + " " +
                h.netIncome.toPlainString() + "\n";
  EXPECT_EQ(holdings, "AAA 12 120.5 46\nBBB 1 5 6.16\n");
}

// A table of that name that is not the program's holds no splits.
TEST(IncomeTest, ASplitTableOfAnotherShapeHoldsNone) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), {{1, "S", 10, "B", "2024-01-02", 10, 0}});
  openLedger(dir.file("l.mdb")).executeScript("CREATE TABLE Split (Symbol, Ratio); INSERT INTO Split VALUES ('S', 2)");
  EXPECT_EQ(reportOf(dir.file("l.mdb")).holdings.at(0).shares, Decimal::fromInt(10));
}

struct BadEventCase {
  const char* name;
  const char* insert;  // a row another program wrote
  const char* kind;  // as the note names it
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
  const GainsReport report = reportOf(path);
  EXPECT_EQ(report.holdings.at(0).shares.toPlainString() + " " + report.holdings.at(0).netIncome.toPlainString(),
            "20 4");
  const std::vector<std::string> notes = gainsNotes(report);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0], "1 " + std::string(GetParam().kind) + " is left out of the report:");
  EXPECT_NE(notes[1].find(GetParam().reason), std::string::npos) << notes[1];
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BadEventRowTest,
    ::testing::Values(
        BadEventCase{"SplitRatioWithAZero", "INSERT INTO Split VALUES (2, 'S', '2024-05-01', 0, 1)",
                     "split", "a ratio that is not two whole numbers above zero"},
        BadEventCase{"SplitDateNotIso", "INSERT INTO Split VALUES (2, 'S', '5/1/2024', 2, 1)",
                     "split", "no valid date"},
        BadEventCase{"DividendNoSymbol", "INSERT INTO Dividend VALUES (2, '', '2024-05-01', 5, 0, NULL, NULL)",
                     "dividend", "no symbol"},
        BadEventCase{"DividendGrossNotANumber",
                     "INSERT INTO Dividend VALUES (2, 'S', '2024-05-01', 'five', 0, NULL, NULL)",
                     "dividend", "no gross amount of zero or more"},
        BadEventCase{"DividendWithheldAboveGross",
                     "INSERT INTO Dividend VALUES (2, 'S', '2024-05-01', 5, 6, NULL, NULL)",
                     "dividend", "tax withheld that is not between zero and the gross amount"},
        BadEventCase{"DividendSharesBoughtNotAboveZero",
                     "INSERT INTO Dividend VALUES (2, 'S', '2024-05-01', 5, 0, 0, 1)", "dividend",
                     "shares bought with it that are not a quantity above zero"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledger
