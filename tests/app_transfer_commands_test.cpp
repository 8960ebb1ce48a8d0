// The export, import and convert commands, run as the command line runs
// them, reading the ledger files afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "app/transfer_commands.h"
#include "transfer/csv_export.h"
#include "engine/database.h"
#include "ledger/ledger_open.h"
#include "ledger/undo_journal.h"
#include "test_ledger.h"

namespace ledger {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

struct CommandRun {
  int status;
  std::string out, err;
};

CommandRun run(int (*command)(std::span<const std::string>, std::ostream&, std::ostream&),
        std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = command(args, out, err);
  return {status, out.str(), err.str()};
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The trades of a ledger as text, CompanyID aside, exact to the bit (quote()
// writes a REAL so that it reads back the same).
Rows tradesOf(const std::string& ledger) {
  return test::readAll(ledger, "SELECT CompanySymbol, quote(Quantity), [Buy/Sell], Date, quote(Price), "
                               "quote(Commission) FROM Trade ORDER BY rowid");
}

class TransferCommandTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  std::string ledger = dir.file("ledger.mdb");
  std::string csv = dir.file("trades.csv");
};

// Values that a careless export or import would change: 15 to 17
// significant digits, tiny and limit-sized figures, text with commas,
// quotes, blanks and non-ASCII letters, the ends of the calendar.
const std::vector<test::TradeRow> kAwkwardTrades = {
    {1, "AAPL", 1234567.123456789, "B", "2024-01-02", 0.1, 0.3},
    {0, "Comma, Inc. \"Q\"", 123456789.12345679, "S", "1999-12-31", 1e-7, 0},
    {0, "Ums\xC3\xA4tze", 1e12, "B", "0100-01-01", 99.75, 4.95},
    {0, "  SPACED ", 3, "S", "9999-12-31", 0.000001, 1},
};

TEST_F(TransferCommandTest, ExportWritesTheHeaderAndEveryValueExactly) {
  test::makeLedger(ledger, {kAwkwardTrades[0], kAwkwardTrades[1],
                            {0, "Ums\xC3\xA4tze", 1e20, "B", "0100-01-01", 12345678901234567.0, 4.95}});
  const CommandRun r = run(exportCommand, {"trades", ledger});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "CompanyID,CompanySymbol,Quantity,Buy/Sell,Date,Price,Commission\r\n"
            "1,AAPL,1234567.123456789,B,2024-01-02,0.1,0.3\r\n"
            "0,\"Comma, Inc. \"\"Q\"\"\",123456789.12345679,S,1999-12-31,0.0000001,0\r\n"
            "0,Ums\xC3\xA4tze,100000000000000000000,B,0100-01-01,12345678901234568,4.95\r\n");
}

TEST_F(TransferCommandTest, ExportThenImportGivesTheSameTrades) {
  test::makeLedger(ledger, kAwkwardTrades);
  ASSERT_EQ(run(exportCommand, {"trades", ledger, "--out", csv}).status, 0);
  const std::string copy = dir.file("copy.mdb");
  test::makeLedger(copy);
  const CommandRun r = run(importCommand, {copy, csv, "--map",
                                    "symbol=CompanySymbol,date=Date,side=Buy/Sell,quantity=Quantity,price=Price,"
                                    "commission=Commission",
                                    "--date-format", "YYYY-MM-DD"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  Rows expected = tradesOf(ledger);
  expected[3][0] = "SPACED";  // symbols are trimmed on the way in
  EXPECT_EQ(tradesOf(copy), expected);
  // Every trade carries its company's number, old or new.
  EXPECT_EQ(test::readAll(copy, "SELECT count(*) FROM Trade t JOIN Companies c ON c.CompanyID = t.CompanyID "
                                "AND c.CompanySymbol = t.CompanySymbol"),
            (Rows{{"4"}}));
  EXPECT_NE(r.out.find("New companies: Comma, Inc. \"Q\", Ums\xC3\xA4tze, SPACED"), std::string::npos) << r.out;
}

TEST_F(TransferCommandTest, ImportOfTheSameFileAgainFindsOnlyDuplicatesUnlessKept) {
  test::makeLedger(ledger);
  writeText(csv, "Symbol,Date,Side,Quantity,Price\nAAPL,03/15/2024,Buy,10,$1.50\nIBM,03/16/2024,Sold,1,2\n");
  const std::vector<std::string> args = {ledger, csv, "--map", "symbol=1,date=2,side=3,quantity=4,price=5",
                                         "--date-format", "MM/DD/YYYY"};
  ASSERT_EQ(run(importCommand, args).status, 0);
  const CommandRun again = run(importCommand, args);
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.out.find("Row 2: skipped, already in the ledger"), std::string::npos) << again.out;
  EXPECT_NE(again.out.find("Imported 0 trades."), std::string::npos) << again.out;
  EXPECT_EQ(tradesOf(ledger).size(), 2u);
  std::vector<std::string> keep = args;
  keep.push_back("--keep-duplicates");
  EXPECT_EQ(run(importCommand, keep).status, 0);
  EXPECT_EQ(tradesOf(ledger).size(), 4u);
}

struct BlockCase {
  const char* name;
  std::string csv;
  std::vector<std::string> options;
  int status;
  const char* inReport;  // a line the output or the errors must hold
};

class ImportWritesNothingTest : public TransferCommandTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(ImportWritesNothingTest, LeavesTheLedgerAsItWas) {
  test::makeLedger(ledger, {{1, "AAPL", 1, "B", "2024-01-02", 1, 0}});
  const std::string before = test::readBytes(ledger);
  writeText(csv, GetParam().csv);
  std::vector<std::string> args = {ledger, csv};
  args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
  const CommandRun r = run(importCommand, args);
  EXPECT_EQ(r.status, GetParam().status) << r.out << r.err;
  EXPECT_NE((r.out + r.err).find(GetParam().inReport), std::string::npos) << r.out << r.err;
  EXPECT_EQ(test::readBytes(ledger), before);
}

const std::vector<std::string> kMap = {"--map", "symbol=Symbol,date=Date,side=Side,quantity=Qty,price=Price",
                                       "--date-format", "YYYY-MM-DD"};

std::vector<std::string> withMap(std::vector<std::string> more) {
  std::vector<std::string> all = kMap;
  all.insert(all.end(), more.begin(), more.end());
  return all;
}

// The same with the dividends' columns.
const std::vector<std::string> kDividendMap = {
    "--map", "symbol=Symbol,date=Date,side=Side,quantity=Qty,price=Price,amount=Amount,withholding=Tax",
    "--date-format", "YYYY-MM-DD"};
const char* const kDividendHeader = "Symbol,Date,Side,Qty,Price,Amount,Tax\nA,2024-01-02,B,1,1,,\n";

INSTANTIATE_TEST_SUITE_P(
    Refusals, ImportWritesNothingTest,
    ::testing::Values(
        BlockCase{"one_bad_row_blocks_all", "Symbol,Date,Side,Qty,Price\nA,2024-01-02,B,1,1\nB,2024-02-30,B,1,1\n",
                  kMap, 1, "Row 3: bad date: \"2024-02-30\" is not a date written YYYY-MM-DD"},
        BlockCase{"dry_run", "Symbol,Date,Side,Qty,Price\nA,2024-01-02,B,1,1\n", withMap({"--dry-run"}), 0,
                  "Dry run: nothing was written."},
        BlockCase{"unclosed_quote", "Symbol,Date,Side,Qty,Price\n\"A,2024-01-02,B,1,1\n", kMap, 1,
                  "the file ends inside a quoted field"},
        BlockCase{"column_not_in_file", "Symbol,Date,Side,Qty,Price\n",
                  {"--map", "symbol=Ticker,date=2,side=3,quantity=4,price=5", "--date-format", "YYYY-MM-DD"}, 1,
                  "The column \"Ticker\" for symbol is not in the file"},
        BlockCase{"missing_field", "Symbol,Date,Side,Qty,Price\n",
                  {"--map", "symbol=1,date=2,quantity=4,price=5", "--date-format", "YYYY-MM-DD"}, 1,
                  "No column is chosen for: side."},
        BlockCase{"no_map", "x\n", {"--date-format", "YYYY-MM-DD"}, 2, "--map is needed."},
        BlockCase{"no_date_format", "x\n", {"--map", "symbol=1"}, 2, "--date-format is needed."},
        BlockCase{"unknown_date_format", "x\n", {"--map", "symbol=1", "--date-format", "YYYY/MM/DD"}, 2,
                  "Unknown date format YYYY/MM/DD."},
        BlockCase{"bad_delimiter", "x\n", withMap({"--delimiter", "|"}), 2, "--delimiter takes ',', ';' or tab."},
        BlockCase{"unknown_option", "x\n", withMap({"--fast"}), 2, "Unknown option --fast."},
        // A dividend needs a company the ledger has or the file trades.
        BlockCase{"dividend_of_unknown_company", kDividendHeader + std::string("ZZ,2024-02-01,Dividend,,,5,\n"),
                  kDividendMap, 1, "Row 3: bad symbol: a dividend of ZZ, which is not in the list of companies"},
        BlockCase{"second_dividend_on_a_date",
                  kDividendHeader + std::string("A,2024-02-01,Dividend,,,5,\nA,2024-02-01,Dividend,,,6,\n"),
                  kDividendMap, 1, "Row 4: bad date: a second dividend of A on 2024-02-01 (the first is row 3)"},
        BlockCase{"tax_withheld_above_the_amount", kDividendHeader + std::string("A,2024-02-01,Dividend,,,5,6\n"),
                  kDividendMap, 1, "Row 3: bad withholding: the tax withheld 6 is more than the amount 5"},
        BlockCase{"negative_dividend", kDividendHeader + std::string("A,2024-02-01,Dividend,,,-5,\n"), kDividendMap,
                  1, "Row 3: bad amount: the amount -5 is not a number from 0 to 1000000000000"}),
    [](const auto& info) { return std::string(info.param.name); });

// Dividend rows come in beside the trades when their amount is mapped, all
// in one undo step. By hand: KO pays 4.85 with 0.73 withheld (written
// negative, as brokers do) and 4.85 with none; 2024's income is 9.7 gross,
// 0.73 withheld, 9.7 - 0.73 = 8.97 net. A reinvestment is a purchase, not
// a payment: skipped as before.
TEST_F(TransferCommandTest, ImportTakesDividendRowsWithTheTradesInOneUndoStep) {
  test::makeLedger(ledger);
  writeText(csv,
            "Symbol,Date,Side,Qty,Price,Amount,Tax\n"
            "KO,2024-01-02,Buy,10,60,,\n"
            "KO,2024-04-01,Dividend,,,4.85,-0.73\n"
            "KO,2024-07-01,Cash Dividend,,,4.85,\n"
            "KO,2024-07-01,Reinvest Dividend,,,4.85,\n");
  const CommandRun r = run(importCommand, {ledger, csv, kDividendMap[0], kDividendMap[1], kDividendMap[2],
                                           kDividendMap[3]});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Row 5: skipped, not a trade: \"Reinvest Dividend\" is not a buy or a sell"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("Imported 1 trade and 2 dividends."), std::string::npos) << r.out;
  std::ostringstream income, err;
  const std::vector<std::string> report = {"report", "income", ledger};
  ASSERT_EQ(runCommandLine(report, income, err), exitcode::kOk) << err.str();
  EXPECT_EQ(income.str(), "Year,Symbol,Gross,Withholding,Net\r\n2024,KO,9.7,0.73,8.97\r\n2024,,9.7,0.73,8.97\r\n");

  Database db = openLedger(ledger);
  EXPECT_EQ(stepToUndo(db)->label, "Import of 1 trade and 2 dividends");
  ASSERT_TRUE(undoStep(db).has_value());
  EXPECT_EQ(tradesOf(ledger).size(), 0u);
  EXPECT_EQ(test::readAll(ledger, "SELECT count(*) FROM Dividend"), (Rows{{"0"}}));

  // Without the amount's column they are not trades, as they always were.
  const CommandRun plain = run(importCommand, {ledger, csv, "--map", "symbol=1,date=2,side=3,quantity=4,price=5",
                                               "--date-format", "YYYY-MM-DD"});
  EXPECT_NE(plain.out.find("Row 3: skipped, not a trade: \"Dividend\" is not a buy or a sell"), std::string::npos)
      << plain.out;
}

TEST_F(TransferCommandTest, ImportWithEveryDialectOption) {
  test::makeLedger(ledger);
  writeText(csv, "KO;15.03.24;-2;1.259,50\nKO;16.03.24;;\n");
  const CommandRun r = run(importCommand, {ledger, csv, "--map", "symbol=1,date=2,quantity=3,price=4", "--date-format",
                                    "DD.MM.YY", "--delimiter", ";", "--decimal-comma", "--side-from-sign",
                                    "--no-header"});
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_EQ(tradesOf(ledger), (Rows{{"KO", "2.0", "S", "2024-03-15", "1259.5", "0.0"}}));
  EXPECT_NE(r.out.find("Row 2: skipped, not a trade: no quantity"), std::string::npos) << r.out;
}

TEST_F(TransferCommandTest, ImportReadsAFileThatIsNotUtf8AsWindows1252) {
  test::makeLedger(ledger);
  writeText(csv, "Symbol,Date,Side,Qty,Price\nUMS\xC4TZE,2024-01-02,B,1,1\n");
  const CommandRun r = run(importCommand, {ledger, csv, kMap[0], kMap[1], kMap[2], kMap[3]});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(tradesOf(ledger)[0][0], "UMS\xC3\x84TZE");
}

TEST_F(TransferCommandTest, ImportReadsUtf16AndRefusesTextItCannotRead) {
  test::makeLedger(ledger);
  // "Symbol,Date,Side,Qty,Price\nAAPL,2024-01-02,B,1,1\n" as UTF-16 LE after its mark.
  std::string utf16 = "\xFF\xFE";
  for (const char c : std::string("Symbol,Date,Side,Qty,Price\nAAPL,2024-01-02,B,1,1\n")) (utf16 += c) += '\0';
  writeText(csv, utf16);
  CommandRun r = run(importCommand, {ledger, csv, kMap[0], kMap[1], kMap[2], kMap[3]});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(tradesOf(ledger), (Rows{{"AAPL", "1.0", "B", "2024-01-02", "1.0", "0.0"}}));

  writeText(csv, utf16.substr(2));  // the same without its mark
  r = run(importCommand, {ledger, csv, kMap[0], kMap[1], kMap[2], kMap[3]});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("text encoding cannot be read"), std::string::npos) << r.err;
  EXPECT_EQ(tradesOf(ledger).size(), 1u);
}

TEST_F(TransferCommandTest, ANumberSuchAs1250IsReadAsTheFileSaysOrRefused) {
  test::makeLedger(ledger);
  const std::vector<std::string> map = {"--map", "symbol=1,date=2,side=3,quantity=4,price=5", "--date-format",
                                        "YYYY-MM-DD"};
  auto import = [&](const std::string& text, std::vector<std::string> extra) {
    writeText(csv, text);
    std::vector<std::string> args = {ledger, csv};
    args.insert(args.end(), map.begin(), map.end());
    args.insert(args.end(), extra.begin(), extra.end());
    return run(importCommand, args);
  };
  // German broker style: the semicolon settles it; 1,250 is 1.25.
  CommandRun r = import("S;D;B/S;Q;P\nX;2024-01-02;B;10;1,250\nX;2024-01-03;S;10;4,950\n", {});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(tradesOf(ledger)[0][4], "1.25");
  EXPECT_EQ(tradesOf(ledger)[1][4], "4.95");

  // Tabs and nothing but 1,250: refused, naming the column, until an option says.
  const std::string tabs = "S\tD\tB/S\tQ\tP\nY\t2024-01-02\tB\t10\t1,250\n";
  r = import(tabs, {});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("The column \"P\" holds numbers such as 1,250"), std::string::npos) << r.err;
  EXPECT_EQ(tradesOf(ledger).size(), 2u);
  r = import(tabs, {"--thousands-comma"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(tradesOf(ledger).back()[4], "1250.0");
  EXPECT_EQ(import(tabs, {"--thousands-comma", "--decimal-comma"}).status, 2);
}

TEST_F(TransferCommandTest, TheCommandLineDispatchesTheTransferWords) {
  test::makeLedger(ledger, {{1, "AAPL", 1, "B", "2024-01-02", 1, 0}});
  std::ostringstream out, err;
  EXPECT_EQ(runCommandLine(std::vector<std::string>{"export", "trades", ledger}, out, err), 0) << err.str();
  EXPECT_EQ(out.str(), "CompanyID,CompanySymbol,Quantity,Buy/Sell,Date,Price,Commission\r\n1,AAPL,1,B,2024-01-02,1,0\r\n");
  for (const char* word : {"export", "import", "convert"}) EXPECT_TRUE(isCommandWord(word)) << word;
  EXPECT_NE(usageText().find("shareledger convert OLD NEW"), std::string::npos);
}

TEST_F(TransferCommandTest, ExportRefusesToWriteOverTheLedger) {
  test::makeLedger(ledger, {{1, "AAPL", 1, "B", "2024-01-02", 1, 0}});
  const std::string before = test::readBytes(ledger);
  const CommandRun r = run(exportCommand, {"trades", ledger, "--out", ledger});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(test::readBytes(ledger), before);
}

TEST_F(TransferCommandTest, ExportOfAFileThatIsNotALedgerFailsAndWritesNothing) {
  writeText(ledger, "not a database at all, just text that is long enough to be looked at");
  const CommandRun r = run(exportCommand, {"trades", ledger, "--out", csv});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(r.err.empty());
  EXPECT_FALSE(fs::exists(csv));
}

// Every command reads its options as the report does: "--name=value" as
// well as "--name value", and "--" ending the options. A file name that is
// not UTF-8 is kept byte for byte.
TEST_F(TransferCommandTest, OptionsTakeAValueAfterEqualsAndEndAtADoubleDash) {
  test::makeLedger(ledger, {{1, "AAPL", 1, "B", "2024-01-02", 1, 0}});
  const std::string latin1 = dir.file("caf\xE9.csv");
  const CommandRun r = run(exportCommand, {"trades", "--out=" + latin1, "--", ledger});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::exists(latin1));
}

TEST_F(TransferCommandTest, ExportUsageMistakes) {
  EXPECT_EQ(run(exportCommand, {"companies", ledger}).status, 2);
  EXPECT_EQ(run(exportCommand, {"trades"}).status, 2);
  EXPECT_EQ(run(exportCommand, {"trades", ledger, "--out"}).status, 2);
}

TEST_F(TransferCommandTest, ConvertRefusesAFileThatIsNotInTheAccessFormat) {
  test::makeLedger(ledger);
  const CommandRun r = run(convertCommand, {ledger, dir.file("new.mdb")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, ledger + ": not a ledger in the older Access format\n");
  EXPECT_FALSE(fs::exists(dir.file("new.mdb")));
  EXPECT_EQ(run(convertCommand, {ledger}).status, 2);
}

TEST_F(TransferCommandTest, ConvertOfAnAccessFileWithoutTradeListsItsTables) {
  const fs::path nwind = fs::path(LEDGER_SOURCE_DIR) / ".." / "shared" / "testdata" / "access" / "nwind.mdb";
  if (!fs::exists(nwind)) GTEST_SKIP() << "the Access test files are not here (" << nwind << ")";
  const CommandRun r = run(convertCommand, {nwind.string(), dir.file("new.mdb")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "This file cannot be made into a ledger: it has no Trade table and no Companies table.\n\n"
            "The tables it has: Order Details, Orders, Products, Shippers, Categories, Customers, Employees, "
            "Suppliers, Ums\xC3\xA4tze.\n");
  EXPECT_FALSE(fs::exists(dir.file("new.mdb")));
}

}  // namespace
}  // namespace ledger
