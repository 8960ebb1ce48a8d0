// Planning an import of closing prices: what refuses it, one row per kind,
// and what the header, the dates and the numbers suggest.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "case_names.h"
#include "transfer/comma_guess.h"
#include "transfer/import_source.h"
#include "transfer/price_import_plan.h"

namespace ledger {
namespace {

// Options as the window starts them for a file: the guessed columns and
// the one date format the dates fit.
PriceImportOptions guessedOptions(const ImportTable& table) {
  PriceImportOptions options;
  options.hasHeader = table.hasHeader;
  if (const CsvRecord* header = table.header()) options.mapping = guessPriceMapping(*header);
  if (options.mapping.date)
    if (const auto format = guessColumnDateFormat(table, *options.mapping.date)) options.dateFormat = *format;
  return options;
}

// ---- refusals ---------------------------------------------------------------

struct RefusalCase {
  const char* name;
  const char* csv;
  const char* symbol;  // the company of a file without a symbol column
  // What the import says: the missing column, or the line naming the row.
  const char* refusal;
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class PriceRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

// The ledger knows MSFT and AAPL; every file starts with a good row 2.
TEST_P(PriceRefusalTest, NamesWhatIsWrongAndBlocksTheImport) {
  const RefusalCase& c = GetParam();
  const ImportTable table = readImportCsv(c.csv);
  PriceImportOptions options = guessedOptions(table);
  options.symbol = c.symbol;
  const std::string missing = missingPriceFields(options);
  if (!missing.empty()) {
    EXPECT_EQ(missing, c.refusal);
    return;
  }
  PriceLedgerIndex ledger;
  ledger.companies = {"MSFT", "AAPL"};
  const PricePlan plan = planPriceImport(table.records, options, ledger);
  EXPECT_TRUE(plan.blocked());
  const std::vector<std::string> lines = priceReportLines(plan);
  EXPECT_NE(std::find(lines.begin(), lines.end(), c.refusal), lines.end()) << ::testing::PrintToString(lines);
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, PriceRefusalTest,
    ::testing::Values(
        RefusalCase{"NoDateColumn", "Symbol,Close\nMSFT,1\n", "", "No column is chosen for: date."},
        RefusalCase{"NoCloseColumn", "Symbol,Date,Volume\nMSFT,2025-04-10,100\n", "",
                    "No column is chosen for: close."},
        RefusalCase{"NoSymbolColumnNorCompany", "Date,Close\n2025-04-10,1\n", "",
                    "The file has no symbol column: choose the company whose prices it holds."},
        RefusalCase{"NotADate", "Date,Close\n2025-04-10,1\n2025-02-30,1\n", "MSFT",
                    "Row 3: bad date: \"2025-02-30\" is not a date written YYYY-MM-DD"},
        RefusalCase{"NotANumber", "Date,Close\n2025-04-10,1\n2025-04-11,12.5.1\n", "MSFT",
                    "Row 3: bad close: \"12.5.1\" is not a number"},
        RefusalCase{"EmptyClose", "Date,Close\n2025-04-10,1\n2025-04-11,\n", "MSFT",
                    "Row 3: bad close: the close is empty"},
        RefusalCase{"ZeroClose", "Date,Close\n2025-04-10,1\n2025-04-11,0.00\n", "MSFT",
                    "Row 3: bad close: the close 0.00 is not above zero"},
        // Refused, not made 12.5.
        RefusalCase{"NegativeClose", "Date,Close\n2025-04-10,1\n2025-04-11,(12.50)\n", "MSFT",
                    "Row 3: bad close: the close (12.50) is not above zero"},
        RefusalCase{"CloseAboveTheLimit", "Date,Close\n2025-04-10,1\n2025-04-11,2e12\n", "MSFT",
                    "Row 3: bad close: the close 2e12 is above 1000000000000"},
        RefusalCase{"UnknownSymbol", "Symbol,Date,Close\nMSFT,2025-04-10,1\nZZZ,2025-04-10,1\n", "",
                    "Row 3: bad symbol: ZZZ is not in the list of companies"},
        RefusalCase{"CompanyChosenNotInTheList", "Date,Close\n2025-04-10,1\n", "ZZZ",
                    "Row 2: bad symbol: ZZZ is not in the list of companies"},
        RefusalCase{"SameSymbolAndDateTwice", "Symbol,Date,Close\nMSFT,2025-04-10,1\nAAPL,2025-04-10,2\nMSFT,2025-04-10,3\n",
                    "", "Row 4: bad date: a second price of MSFT on 2025-04-10 (the first is row 2)"},
        RefusalCase{"NoRows", "Date,Close\n", "MSFT", "The file has no rows of prices."}),
    test::ByCaseName());

// ---- guessing ---------------------------------------------------------------

struct GuessCase {
  const char* name;
  const char* csv;
  std::optional<std::size_t> symbol, date, close;
  std::vector<DateFormat> dateFormats;
  // What the file settles for a close such as 1,250; nullopt: nothing.
  std::optional<bool> decimalComma;
  const char* closeNote;  // "" for none
};
void PrintTo(const GuessCase& c, std::ostream* os) { *os << c.name; }

class PriceGuessTest : public ::testing::TestWithParam<GuessCase> {};

TEST_P(PriceGuessTest, ReadsTheFileAsTheTradeImportWould) {
  const GuessCase& c = GetParam();
  const ImportTable table = readImportCsv(c.csv);
  ASSERT_TRUE(table.hasHeader);
  const PriceMapping mapping = guessPriceMapping(table.records[0]);
  EXPECT_EQ(mapping.symbol, c.symbol);
  EXPECT_EQ(mapping.date, c.date);
  EXPECT_EQ(mapping.close, c.close);
  ASSERT_TRUE(mapping.date);
  EXPECT_EQ(likeliestColumnDateFormats(table, *mapping.date), c.dateFormats);
  PriceImportOptions options;
  options.mapping = mapping;
  EXPECT_EQ(guessDecimalComma(table.records, commaGuessOptions(options), table.delimiter).decimalComma,
            c.decimalComma);
  EXPECT_EQ(closeColumnNote(table.header(), mapping), c.closeNote);
}

using DF = DateFormat;

INSTANTIATE_TEST_SUITE_P(
    Files, PriceGuessTest,
    ::testing::Values(
        // Both closes: the one as traded, and the preview says why.
        GuessCase{"CloseBeforeAdjClose", "Date,Open,High,Low,Close,Adj Close,Volume\n2024-03-15,1,2,0.5,1.5,1.4,10\n",
                  std::nullopt, 0, 4, {DF::YearMonthDay}, std::nullopt,
                  "The close is read from \"Close\", not \"Adj Close\": an adjusted close is changed back in time for "
                  "every later split and dividend, and the ledger follows splits itself."},
        GuessCase{"AdjCloseWhenAlone", "Date,Adj Close\n2024-03-15,1.4\n", std::nullopt, 0, 1, {DF::YearMonthDay},
                  std::nullopt, ""},
        GuessCase{"CloseLastAndUsDates", "Date,Close/Last,Volume\n03/14/2024,$1.5,10\n03/04/2024,$1.6,10\n",
                  std::nullopt, 0, 1, {DF::MonthDayYear}, std::nullopt, ""},
        GuessCase{"TickerQuoteAndDotDates", "Ticker;Trade Date;Quote\nMSFT;15.03.2024;412\n", 0, 1, 2,
                  {DF::DayMonthYearDot}, std::nullopt, ""},
        // 03/04/2024 and 05/06/2024 read as either order.
        GuessCase{"DatesThatFitTwoFormats", "Symbol,Date,Price\nMSFT,03/04/2024,1\nMSFT,05/06/2024,1\n", 0, 1, 2,
                  {DF::MonthDayYear, DF::DayMonthYear}, std::nullopt, ""},
        // 1,250 alone: the semicolon says decimal comma.
        GuessCase{"SemicolonSettlesTheComma", "Date;Close\n2024-03-15;1,250\n", std::nullopt, 0, 1,
                  {DF::YearMonthDay}, true, ""},
        GuessCase{"OtherClosesSayDecimalComma", "Date,Close\n2024-03-15,\"1,250\"\n2024-03-18,\"12,5\"\n",
                  std::nullopt, 0, 1, {DF::YearMonthDay}, true, ""},
        GuessCase{"OtherClosesSayThousands", "Date,Close\n2024-03-15,\"1,250\"\n2024-03-18,\"1,250.50\"\n",
                  std::nullopt, 0, 1, {DF::YearMonthDay}, false, ""}),
    test::ByCaseName());

}  // namespace
}  // namespace ledger
