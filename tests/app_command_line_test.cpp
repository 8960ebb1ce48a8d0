// The command line: which first arguments are commands, the reports'
// exact CSV, the exit statuses and messages of mistakes and failures, and
// the program itself run with no display at all.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/command_line.h"
#include "app/program_settings.h"
#include "app/returns_data.h"
#include "ledger/kept_figures.h"
#include "ledger/ledger_session.h"
#include "fakes.h"
#include "gains_ledger.h"
#include "test_ledger.h"
#include "ledger/ledger_open.h"
#include "ledger/price_table.h"

namespace ledger {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = runCommandLine(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(CommandLineTest, OnlyCommandWordsAreCommands) {
  const std::pair<const char*, bool> rows[] = {
      {"report", true},      {"--help", true}, {"-h", true},           {"help", true},
      {"ledger.mdb", false}, {"", false},      {"/tmp/report", false}, {"Report", false},
      {"--report", false},   {"-", false},
  };
  for (const auto& [word, command] : rows) EXPECT_EQ(isCommandWord(word), command) << word;
}

TEST(CommandLineTest, HelpListsEveryCommand) {
  for (const char* word : {"--help", "-h", "help"}) {
    const Outcome o = run({word});
    EXPECT_EQ(o.status, exitcode::kOk) << word;
    EXPECT_TRUE(o.err.empty()) << word;
    for (const char* line : {"shareledger report gains [--method fifo|average|uk] [--wash-sales] [--tax-year uk|calendar] [--year YEAR] LEDGER",
                             "shareledger report holdings [--method fifo|average|uk] [--wash-sales] [--as-of YYYY-MM-DD] LEDGER",
                             "shareledger report returns [--from YYYY-MM-DD] [--to YYYY-MM-DD] LEDGER",
                             "shareledger report yearly [--method fifo|average|uk] [--wash-sales] [--tax-year uk|calendar] LEDGER",
                             "shareledger report income [--year YYYY] LEDGER", "shareledger --help",
                             "shareledger [LEDGER]"})
      EXPECT_NE(o.out.find(line), std::string::npos) << word << ": " << line;
  }
}

class ReportCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { test::makeLedger(ledger, test::kGainsTrades); }
  test::TempDir dir;
  std::string ledger = dir.file("gains.mdb");
};

TEST_F(ReportCommandTest, EachReportIsTheHandWorkedCsvAndSaysWhatIsUncovered) {
  struct Row {
    std::vector<std::string> args;
    const char* csv;
  };
  const Row rows[] = {
      {{"report", "gains", ledger}, test::kFifoGainsCsv},
      {{"report", "gains", "--method", "fifo", ledger}, test::kFifoGainsCsv},
      {{"report", "gains", "--method=average", ledger}, test::kAverageGainsCsv},
      {{"report", "gains", ledger, "--method", "average"}, test::kAverageGainsCsv},
      {{"report", "holdings", ledger}, test::kFifoHoldingsUnpricedCsv},
      {{"report", "holdings", "--method", "average", ledger}, test::kAverageHoldingsUnpricedCsv},
      {{"report", "yearly", ledger}, test::kFifoYearlyCsv},
      {{"report", "yearly", "--method", "average", "--", ledger}, test::kAverageYearlyCsv},
      {{"report", "gains", "--year", "2025", ledger},
       "Date,Symbol,Shares,Proceeds,Cost,Gain,Lots,Uncovered,Rule,Disallowed\r\n"
       "2025-01-05,AAA,45,625.5,529.5,96,2024-02-15 2024-03-01,0,,0\r\n"},
  };
  // The ledger has no prices: the holdings say which companies held have none.
  const std::string unpriced =
      "3 companies are held with no price on or before " + todayIsoDate() + ", so without a market value: AAA CCC ZZZ.\n";
  for (const Row& row : rows) {
    const Outcome o = run(row.args);
    EXPECT_EQ(o.status, exitcode::kOk) << row.args[1];
    EXPECT_EQ(o.out, row.csv) << row.args[1];
    EXPECT_EQ(o.err, std::string(test::kUncoveredNote) + "\n" + (row.args[1] == "holdings" ? unpriced : ""))
        << row.args[1];
  }
}

// The hand-worked dividends (gains_ledger.h): a year's companies, then its
// total with no symbol; one year when asked, none when it had no dividend.
TEST_F(ReportCommandTest, IncomeIsByYearAndCompanyWithEachYearsTotal) {
  test::makeLedger(dir.file("income.mdb"), test::kIncomeTrades);
  test::addEvents(dir.file("income.mdb"), test::kIncomeDividendsSql);
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{"report", "income", dir.file("income.mdb")},
       std::string(test::kIncomeHeader) + test::kIncome2023Csv + test::kIncome2024Csv},
      {{"report", "income", "--year", "2024", dir.file("income.mdb")},
       std::string(test::kIncomeHeader) + test::kIncome2024Csv},
      {{"report", "income", "--year=2022", dir.file("income.mdb")}, test::kIncomeHeader},
      // A ledger without the tables has no dividends.
      {{"report", "income", ledger}, test::kIncomeHeader},
  };
  for (const auto& [args, csv] : rows) {
    const Outcome o = run(args);
    EXPECT_EQ(o.status, exitcode::kOk) << args[2];
    EXPECT_EQ(o.out, csv) << args[2];
    EXPECT_EQ(o.err, "") << args[2];
  }
}

TEST_F(ReportCommandTest, MistakesPrintTheUsageAndExitWithTwo) {
  struct Row {
    std::vector<std::string> args;
    const char* problem;
  };
  const Row rows[] = {
      {{"report"}, "say which report"},
      {{"report", "trades", ledger}, "there is no report called \"trades\""},
      {{"report", "gains"}, "say which ledger"},
      {{"report", "gains", ledger, ledger}, "one ledger only"},
      {{"report", "gains", "--method", "lifo", ledger}, "--method is fifo, average or uk, not \"lifo\""},
      {{"report", "gains", "--method", "FIFO", ledger}, "--method is fifo, average or uk"},
      {{"report", "gains", ledger, "--method"}, "--method needs a value"},
      {{"report", "gains", "--method", "fifo", "--method", "average", ledger}, "--method is given twice"},
      {{"report", "gains", "--year", "24", ledger}, "--year takes a year of four digits, not \"24\""},
      {{"report", "gains", "--year", "0000", ledger}, "--year takes a year"},
      {{"report", "gains", "--year=2024x", ledger}, "--year takes a year"},
      {{"report", "holdings", "--year", "2024", ledger}, "--year belongs to the gains and income reports only"},
      {{"report", "gains", "--verbose", ledger}, "unknown option --verbose"},
      {{"report", "income", "--method", "fifo", ledger}, "--method belongs to the gains reports"},
      {{"report", "returns", "--method", "fifo", ledger}, "--method belongs to the gains reports, not to returns"},
      {{"report", "returns", "--from", "2024-13-01", ledger},
       "--from takes a date written YYYY-MM-DD, not \"2024-13-01\""},
      {{"report", "returns", "--to=01/02/2024", ledger}, "--to takes a date written YYYY-MM-DD"},
      {{"report", "holdings", "--as-of", "2024-02-30", ledger}, "--as-of takes a date written YYYY-MM-DD"},
      {{"report", "gains", "--as-of", "2024-01-01", ledger}, "--as-of belongs to the holdings report only"},
      {{"report", "holdings", "--from", "2024-01-01", ledger}, "--from belongs to the returns report only"},
      {{"report", "returns", "--from", "2024-06-01", "--to", "2024-01-01", ledger},
       "The period starts (2024-06-01) after it ends (2024-01-01)."},
      {{"report", "gains", "--wash-sales", "--method", "average", ledger}, "--wash-sales goes with --method fifo only"},
      {{"report", "yearly", "--method=uk", "--wash-sales", ledger}, "--wash-sales goes with --method fifo only, not \"uk\""},
      {{"report", "income", "--wash-sales", ledger}, "--wash-sales belongs to the gains reports"},
      {{"report", "gains", "--wash-sales=yes", ledger}, "unknown option --wash-sales"},
      {{"report", "holdings", "--tax-year", "uk", ledger}, "--tax-year belongs to the gains and yearly reports only"},
      {{"report", "gains", "--tax-year", "lunar", ledger}, "--tax-year is uk or calendar, not \"lunar\""},
      {{"report", "gains", "--tax-year", "uk", "--year", "2024", ledger}, "--year takes a UK tax year written like 2024-25"},
      {{"report", "gains", "--year", "2024-25", ledger}, "--year takes a year of four digits"},
  };
  for (const Row& row : rows) {
    const Outcome o = run(row.args);
    EXPECT_EQ(o.status, exitcode::kUsage) << row.problem;
    EXPECT_TRUE(o.out.empty()) << row.problem;
    EXPECT_NE(o.err.find(row.problem), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("Usage:"), std::string::npos) << row.problem;
  }
}

// The worked example of the help (XYZ), and NOP bought with no price at
// all. Returns from the first trade (2024-01-02) to 2024-12-31:
//   XYZ: in 50 x 20 + 10 = 1010, dividend 15, out 20 x 25 - 10 = 490; E =
//   30 x 24 = 720. TWR (50 x 22 + 15) / 1000 x (50 x 25) / 1100 x 720 / 750
//   = 1.115 x 1.13636 x 0.96: 21.64 %. IRR: 1010 x^(364/365) = 15
//   x^(274/365) + 490 x^(183/365) + 720 at x = 1.2809: 28.09 %.
//   NOP: in 50, no price for its end value: E, IRR and TWR empty, and so
//   the whole ledger's.
// Holdings at 2024-06-30 by FIFO: XYZ 50 for 1010 at the close of
// 2024-04-01, 22: 1100, unrealized 90; NOP without a price.
TEST_F(ReportCommandTest, MarketValueAndReturnsRows) {
  const std::string path = dir.file("priced.mdb");
  test::makeLedger(path, {{1, "XYZ", 50, "B", "2024-01-02", 20, 10},
                          {1, "XYZ", 20, "S", "2024-07-01", 25, 10},
                          {2, "NOP", 5, "B", "2024-03-01", 10, 0}});
  test::addEvents(path, "INSERT INTO Dividend VALUES (1, 'XYZ', '2024-04-01', 15, 2, NULL, NULL);");
  Database db = openLedger(path);
  db.executeScript(kPriceTableSchema);
  db.executeScript("INSERT INTO Price (CompanySymbol, Date, Close) VALUES ('XYZ', '2024-01-02', 20), "
                   "('XYZ', '2024-04-01', 22), ('XYZ', '2024-07-01', 25), ('XYZ', '2024-12-31', 24)");
  struct Row {
    std::vector<std::string> args;
    const char* csv;
    const char* err;
  };
  const Row rows[] = {
      {{"report", "returns", "--to", "2024-12-31", path},
       "Symbol,From,To,StartValue,EndValue,Invested,Returned,Income,IRR,TWR\r\n"
       "NOP,2024-01-02,2024-12-31,0,,50,0,0,,\r\n"
       "XYZ,2024-01-02,2024-12-31,0,720,1010,490,15,28.09,21.64\r\n"
       ",2024-01-02,2024-12-31,0,,1060,490,15,,\r\n",
       "1 company lacks a price the returns need:\n  NOP has no price on or before 2024-03-01.\n"},
      {{"report", "holdings", "--as-of", "2024-06-30", path},
       "Symbol,Shares,Cost,AverageCost,RealizedGain,Price,PriceDate,MarketValue,UnrealizedGain\r\n"
       "NOP,5,50,10,0,,,,\r\n"
       "XYZ,50,1010,20.2,0,22,2024-04-01,1100,90\r\n",
       "1 company is held with no price on or before 2024-06-30, so without a market value: NOP.\n"},
  };
  for (const Row& row : rows) {
    const Outcome o = run(row.args);
    EXPECT_EQ(o.status, exitcode::kOk) << row.args[1];
    EXPECT_EQ(o.out, row.csv) << row.args[1];
    EXPECT_EQ(o.err, row.err) << row.args[1];
  }
  // The From of the period defaults to the first trade, which here comes after To.
  const Outcome early = run({"report", "returns", "--to", "2023-12-31", path});
  EXPECT_EQ(early.status, exitcode::kUsage);
  EXPECT_TRUE(early.out.empty());
  EXPECT_NE(early.err.find("The period starts (2024-01-02) after it ends (2023-12-31)."), std::string::npos);
}

// IRS Publication 550's first wash-sale example, then a sale of the new shares: 100 bought for 1000, sold
// 2024-03-01 for 750, 100 bought 2024-03-15 for 800, sold 2024-06-03 for 1100.
//   Wash sales: the 250 loss is disallowed and the new shares cost 1050; then gain 50. Tax year 2023-24
//   counts -250 + 250 = 0, 2024-25 counts 50.
//   UK: 2024-03-01 is matched with 2024-03-15 (30 days): 750 - 800 = -50; 2024-06-03 with the pool,
//   the 100 of 2024-01-02: 1100 - 1000 = 100. Realized 50.
TEST_F(ReportCommandTest, TheTaxRulesOptionsGiveTheirRows) {
  const std::string wash = dir.file("wash.mdb");
  test::makeLedger(wash, {{1, "W", 100, "B", "2024-01-02", 10, 0},
                          {1, "W", 100, "S", "2024-03-01", 7.5, 0},
                          {1, "W", 100, "B", "2024-03-15", 8, 0},
                          {1, "W", 100, "S", "2024-06-03", 11, 0}});
  const std::string header = "Date,Symbol,Shares,Proceeds,Cost,Gain,Lots,Uncovered,Rule,Disallowed\r\n";
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{"report", "gains", "--wash-sales", wash},
       header + "2024-03-01,W,100,750,1000,-250,2024-01-02,0,,250\r\n2024-06-03,W,100,1100,1050,50,2024-03-15,0,,0\r\n"},
      {{"report", "yearly", "--wash-sales", "--tax-year", "uk", wash},
       "Year,Symbol,Gain\r\n2023-24,W,0\r\n2023-24,,0\r\n2024-25,W,50\r\n2024-25,,50\r\n"},
      {{"report", "gains", "--method", "uk", "--tax-year=uk", "--year", "2023-24", wash},
       header + "2024-03-01,W,100,750,800,-50,,0,30-day,0\r\n"},
      {{"report", "holdings", "--method", "uk", wash},
       "Symbol,Shares,Cost,AverageCost,RealizedGain,Price,PriceDate,MarketValue,UnrealizedGain\r\nW,0,0,,50,,,,\r\n"},
      {{"report", "yearly", "--method", "uk", "--tax-year", "calendar", wash},
       "Year,Symbol,Gain\r\n2024,W,50\r\n2024,,50\r\n"},
  };
  for (const auto& [args, csv] : rows) {
    const Outcome o = run(args);
    EXPECT_EQ(o.status, exitcode::kOk) << args[2];
    EXPECT_EQ(o.out, csv) << args[2];
    EXPECT_EQ(o.err, "") << args[2];
  }
}

TEST_F(ReportCommandTest, ALedgerThatCannotBeOpenedGivesTheWindowsMessageAndOne) {
  const std::string folder = dir.file("folder.mdb");
  std::filesystem::create_directory(folder);
  const std::string foreign = dir.file("notes.mdb");
  std::ofstream(foreign) << "not a ledger";
  for (const std::string& path : {dir.file("missing.mdb"), folder, foreign}) {
    // What File, Open shows for the same file.
    test::ScriptedPrompter prompter;
    prompter.expect(MsgAnswer::Ok);
    LedgerSession session(prompter);
    ASSERT_FALSE(session.OpenLedgerTable("Trade", path));

    const Outcome o = run({"report", "holdings", path});
    EXPECT_EQ(o.status, exitcode::kFailed) << path;
    EXPECT_TRUE(o.out.empty()) << path;
    EXPECT_EQ(o.err, terminalText(prompter.shown.at(0).text) + "\n") << path;
    EXPECT_NE(o.err.find("There was an error in opening the database or finding the recordset."), std::string::npos);
    EXPECT_EQ(o.err.find('\r'), std::string::npos);
  }
}

TEST_F(ReportCommandTest, AFailedWriteIsAFailure) {
  std::ostringstream out, err;
  out.setstate(std::ios::badbit);  // as a full disk or a closed pipe leaves it
  EXPECT_EQ(runCommandLine(std::vector<std::string>{"report", "gains", ledger}, out, err), exitcode::kFailed);
  EXPECT_NE(err.str().find("The report could not be written"), std::string::npos);
}

// ---- the program itself, with no display -----------------------------------

Outcome runProgram(const QStringList& args) {
  QProcess program;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
  program.setProcessEnvironment(env);
  program.start(QStringLiteral(LEDGER_PROGRAM), args);
  if (!program.waitForFinished(60000)) return {-1, "", "did not finish"};
  return {program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1,
          program.readAllStandardOutput().toStdString(), program.readAllStandardError().toStdString()};
}

TEST_F(ReportCommandTest, TheProgramRunsCommandsWithoutADisplay) {
  const QString path = QString::fromStdString(ledger);
  struct Row {
    QStringList args;
    int status;
    std::string out;  // exact; "*" for any
  };
  const Row rows[] = {
      {{"report", "yearly", path}, 0, test::kFifoYearlyCsv},
      {{"report", "holdings", "--method", "average", path}, 0, test::kAverageHoldingsUnpricedCsv},
      {{"--help"}, 0, "*"},
      {{"report", "gains", QString::fromStdString(dir.file("missing.mdb"))}, 1, ""},
      {{"report"}, 2, ""},
      // A mistyped command word must not start the windows (without a
      // display they abort).
      {{"reprot", "gains", path}, 2, ""},
      {{path, "--verbose"}, 2, ""},
  };
  for (const Row& row : rows) {
    const Outcome o = runProgram(row.args);
    EXPECT_EQ(o.status, row.status) << row.args.join(' ').toStdString() << "\n" << o.err;
    if (row.out != "*") {
      EXPECT_EQ(o.out, row.out) << row.args.join(' ').toStdString();
    }
    if (row.status != 0) {
      EXPECT_FALSE(o.err.empty());
    }
    if (row.status == exitcode::kUsage) {
      EXPECT_NE(o.err.find("Usage:"), std::string::npos) << row.args.join(' ').toStdString();
    }
  }
}

// An import from the command line keeps the figures of the same user
// current, so the next view need not sum every trade again.
TEST_F(ReportCommandTest, AnImportKeepsTheUsersFiguresCurrent) {
  // The program reads its key from the folder the test run gives it.
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")));
  setKeptFiguresKey(loadKeptFiguresKey());
  {
    Database db = openLedger(ledger);
    ASSERT_TRUE(keepLedgerTotals(db));
  }
  const std::string csv = dir.file("more.csv");
  std::ofstream(csv) << "Symbol,Date,Side,Quantity,Price\nAAA,2025-03-03,B,2,10\n";
  const Outcome o = runProgram({"import", QString::fromStdString(ledger), QString::fromStdString(csv), "--map",
                                "symbol=Symbol,date=Date,side=Side,quantity=Quantity,price=Price",
                                "--date-format", "YYYY-MM-DD"});
  ASSERT_EQ(o.status, 0) << o.err;
  Database db = openLedger(ledger);
  EXPECT_TRUE(readKeptTotals(db).has_value());
  setKeptFiguresKey(std::nullopt);
}

}  // namespace
}  // namespace ledger
