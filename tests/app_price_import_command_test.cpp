// The import-prices command, run as the command line runs it: what it
// guesses, what refuses it (status 1) or is written wrong (status 2), and
// what --dry-run and --replace leave in the ledger.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "case_names.h"
#include "ledger/ledger_open.h"
#include "ledger/price_writes.h"
#include "test_ledger.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

struct CliCase {
  const char* name;
  const char* csv;
  std::vector<std::string> options;  // after "import-prices LEDGER FILE"
  int status;
  const char* out;  // a line standard output holds; "" for none checked
  const char* err;  // text standard error holds; "" when it must be empty
  // The prices afterwards, "SYMBOL DATE CLOSE"; the ledger starts with
  // MSFT 2025-04-10 at 412.5.
  std::vector<std::string> prices;
};
void PrintTo(const CliCase& c, std::ostream* os) { *os << c.name; }

const std::vector<std::string> kHeld = {"MSFT 2025-04-10 412.5"};

class PriceImportCommandTest : public ::testing::TestWithParam<CliCase> {};

TEST_P(PriceImportCommandTest, ExitsAndWritesAsTheOptionsSay) {
  const CliCase& c = GetParam();
  test::TempDir dir;
  const std::string ledger = dir.file("l.mdb"), csv = dir.file("prices.csv");
  test::makeLedger(ledger);
  {
    Database db = openLedger(ledger);
    addPrice(db, {"MSFT", "2025-04-10", *Decimal::parse("412.5")});
  }
  std::ofstream(csv, std::ios::binary) << c.csv;
  std::vector<std::string> args = {"import-prices", ledger, std::string(c.name) == "MissingFile" ? csv + ".no" : csv};
  args.insert(args.end(), c.options.begin(), c.options.end());
  std::ostringstream out, err;
  EXPECT_EQ(runCommandLine(args, out, err), c.status) << err.str();
  if (*c.out) {
    EXPECT_NE(out.str().find(c.out), std::string::npos) << out.str();
  }
  if (*c.err) {
    EXPECT_NE(err.str().find(c.err), std::string::npos) << err.str();
  } else {
    EXPECT_EQ(err.str(), "");
  }
  std::vector<std::string> prices;
  Database db = openLedger(ledger);
  for (const char* symbol : {"AAPL", "MSFT"})
    for (const ClosePrice& p : readPrices(db, symbol))
      prices.push_back(p.symbol + " " + p.date + " " + p.close.toPlainString());
  EXPECT_EQ(prices, c.prices);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PriceImportCommandTest,
    ::testing::Values(
        // Everything guessed: the columns, the date format, the company given.
        CliCase{"GuessedWithSymbol", "Date,Close\n2025-04-11,415.25\n", {"--symbol", "MSFT"}, 0,
                "1 price was imported.", "", {"MSFT 2025-04-10 412.5", "MSFT 2025-04-11 415.25"}},
        CliCase{"MappedSymbolColumnAndDecimalComma",
                "When;Who;Last\n11.04.2025;AAPL;198,5\n",
                {"--map", "date=When,close=3,symbol=Who", "--decimal-comma"}, 0, "1 price was imported.", "",
                {"AAPL 2025-04-11 198.5", "MSFT 2025-04-10 412.5"}},
        CliCase{"DryRunWritesNothing", "Date,Close\n2025-04-11,415.25\n", {"--symbol", "MSFT", "--dry-run"}, 0,
                "Dry run: nothing was written.", "", kHeld},
        CliCase{"HeldDateKept", "Date,Close\n2025-04-10,415\n2025-04-11,1\n", {"--symbol", "MSFT"}, 0,
                "Row 2: kept, the ledger's close 412.5 of MSFT on 2025-04-10 is kept", "",
                {"MSFT 2025-04-10 412.5", "MSFT 2025-04-11 1"}},
        CliCase{"HeldDateReplaced", "Date,Close\n2025-04-10,415\n", {"--symbol", "MSFT", "--replace"}, 0,
                "1 price was imported.", "", {"MSFT 2025-04-10 415"}},
        CliCase{"BadRowRefusesAll", "Date,Close\n2025-04-11,1\n2025-04-14,-2\n", {"--symbol", "MSFT"}, 1,
                "Row 3: bad close: the close -2 is not above zero", "Nothing was imported.", kHeld},
        CliCase{"DatesFittingTwoFormats", "Date,Close\n03/04/2025,1\n05/06/2025,2\n", {"--symbol", "MSFT"}, 1, "",
                "The dates of \"Date\" can be read as MM/DD/YYYY and DD/MM/YYYY alike", kHeld},
        CliCase{"DateFormatGivenSettlesThem", "Date,Close\n03/04/2025,1\n", {"--symbol", "MSFT", "--date-format",
                "DD/MM/YYYY"}, 0, "1 price was imported.", "", {"MSFT 2025-04-03 1", "MSFT 2025-04-10 412.5"}},
        CliCase{"CommaTheFileLeavesOpen", "Date,Close\n2025-04-11,\"1,250\"\n", {"--symbol", "MSFT"}, 1, "",
                "Say which with --decimal-comma or --thousands-comma.", kHeld},
        CliCase{"MissingFile", "", {"--symbol", "MSFT"}, 1, "", "prices.csv.no: ", kHeld},
        CliCase{"NoSymbolColumnNorSymbol", "Date,Close\n2025-04-11,1\n", {}, 2, "",
                "The file has no symbol column: name the company with --symbol.", kHeld},
        CliCase{"SymbolBesideASymbolColumn", "Symbol,Date,Close\nMSFT,2025-04-11,1\n", {"--symbol", "MSFT"}, 2, "",
                "--symbol is for a file without a symbol column", kHeld},
        CliCase{"UnknownDateFormat", "Date,Close\n2025-04-11,1\n", {"--symbol", "MSFT", "--date-format", "YMD"}, 2,
                "", "Unknown date format YMD.", kHeld},
        CliCase{"UnknownOption", "Date,Close\n2025-04-11,1\n", {"--symbol", "MSFT", "--keep"}, 2, "",
                "Unknown option --keep.", kHeld}),
    test::ByCaseName());

TEST(PriceImportCommandUsage, NamingOnlyTheLedgerIsAUsageMistake) {
  std::ostringstream out, err;
  EXPECT_EQ(runCommandLine(std::vector<std::string>{"import-prices", "l.mdb"}, out, err), 2);
  EXPECT_NE(err.str().find("Name the ledger and the CSV file."), std::string::npos);
  EXPECT_NE(usageText().find("shareledger import-prices LEDGER FILE.csv"), std::string::npos);
}

}  // namespace
}  // namespace ledger
