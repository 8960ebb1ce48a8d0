// The commands that enter trades, splits, dividends and prices: each a step of the
// undo journal, the window's message and 1 on a refusal, 2 for a command
// written wrong; and the CSV of the splits and dividends.
#include <gtest/gtest.h>

#include <QString>
#include <QtGlobal>
#include <sstream>

#include "app/command_line.h"
#include "engine/database.h"
#include "ledger/event_writes.h"
#include "ledger/ledger_open.h"
#include "ledger/undo_journal.h"
#include "test_ledger.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = runCommandLine(args, out, err);
  return {status, out.str(), err.str()};
}

// What Qt would print on the terminal (an option asked for that the command
// does not define, say): a command prints nothing but its own output.
std::vector<std::string>& qtMessages() {
  static std::vector<std::string> messages;
  return messages;
}
void keepQtMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
  qtMessages().push_back(text.toStdString());
}

class EntryCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { test::makeLedger(ledger); }
  std::string undoLabel() {
    Database db = openLedger(ledger);
    const auto step = stepToUndo(db);
    return step ? step->label : "";
  }
  test::TempDir dir;
  std::string ledger = dir.file("ledger.mdb");
};

// Each add is the one step its label names; the rows it leaves are read
// back through the exports. The reinvested dividend's purchase is 4 KO at
// 61.25 (KO is CompanyID 6 in the template).
TEST_F(EntryCommandTest, EachAddIsOneStepAndTheExportsShowIt) {
  struct Row {
    std::vector<std::string> args;
    const char* label;
  };
  const Row rows[] = {
      {{"add", "trade", ledger, "--symbol", "KO", "--date", "2024-01-02", "--side", "buy", "--quantity", "10",
        "--price", "58.5", "--commission", "4.95"},
       "New Record of KO 2024-01-02 (10 shares)"},
      {{"add", "split", ledger, "--symbol", "KO", "--date", "2024-06-03", "--ratio", "3:1"},
       "New Split of KO 2024-06-03 (3:1)"},
      {{"add", "split", ledger, "--symbol=KO", "--date=2024-06-03", "--ratio=1:10", "--replace"},
       "Edit of Split of KO 2024-06-03 (1:10)"},
      {{"add", "dividend", ledger, "--symbol", "KO", "--date", "2024-07-01", "--gross", "245", "--withholding",
        "36.75", "--reinvest-quantity", "4", "--reinvest-price", "61.25"},
       "New Dividend of KO 2024-07-01 (245 gross)"},
      {{"add", "dividend", ledger, "--symbol", "IBM", "--date", "2024-07-01", "--gross", "0.5"},
       "New Dividend of IBM 2024-07-01 (0.5 gross)"},
      {{"delete", "dividend", ledger, "--symbol", "IBM", "--date", "2024-07-01"},
       "Delete of Dividend of IBM 2024-07-01 (0.5 gross)"},
      {{"add", "price", ledger, "--symbol", " KO ", "--date", "2024-07-01", "--close", "61.250"},
       "New Price of KO 2024-07-01 (61.25)"},
      {{"add", "price", ledger, "--symbol", "KO", "--date", "2024-07-01", "--close", "62", "--replace"},
       "Edit of Price of KO 2024-07-01 (62)"},
      {{"add", "price", ledger, "--symbol", "KO", "--date", "2024-07-02", "--close", "1E-2"},
       "New Price of KO 2024-07-02 (0.01)"},
      {{"delete", "price", ledger, "--symbol", "KO", "--date", "2024-07-02"},
       "Delete of Price of KO 2024-07-02 (0.01)"},
  };
  qtMessages().clear();
  const QtMessageHandler previous = qInstallMessageHandler(keepQtMessage);
  for (const Row& row : rows) {
    const Outcome o = run(row.args);
    EXPECT_EQ(o.status, exitcode::kOk) << row.label << ": " << o.err;
    EXPECT_EQ(undoLabel(), row.label);
  }
  qInstallMessageHandler(previous);
  EXPECT_EQ(qtMessages(), std::vector<std::string>{});
  EXPECT_EQ(test::readAll(ledger, "SELECT CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, Commission "
                                  "FROM Trade ORDER BY rowid"),
            (Rows{{"6", "KO", "10", "B", "2024-01-02", "58.5", "4.95"}, {"6", "KO", "4", "B", "2024-07-01", "61.25", "0"}}));
  const Outcome splits = run({"export", "splits", ledger});
  EXPECT_EQ(splits.status, exitcode::kOk);
  EXPECT_EQ(splits.out, "Date,Symbol,New,Old\r\n2024-06-03,KO,1,10\r\n");
  const std::string csv = dir.file("dividends.csv");
  const Outcome dividends = run({"export", "dividends", ledger, "--out", csv});
  EXPECT_EQ(dividends.out, "Exported 1 dividend to " + csv + ".\n");
  EXPECT_EQ(test::readBytes(csv),
            "Date,Symbol,Gross,Withholding,ReinvestQuantity,ReinvestPrice\r\n2024-07-01,KO,245,36.75,4,61.25\r\n");
}

// A refusal: the window's message on standard error, 1, the ledger as it was.
TEST_F(EntryCommandTest, RefusalsGiveTheWindowsMessageAndOne) {
  ASSERT_EQ(run({"add", "split", ledger, "--symbol", "KO", "--date", "2024-06-03", "--ratio", "2:1"}).status, 0);
  const std::string before = test::readBytes(ledger);
  struct Row {
    std::vector<std::string> args;
    const char* message;
  };
  const Row rows[] = {
      {{"add", "trade", ledger, "--symbol", "NEWCO", "--date", "2024-01-02", "--side", "sell", "--quantity", "1",
        "--price", "1"},
       "The symbol NEWCO is not in the list of companies."},
      {{"add", "trade", ledger, "--symbol", "KO", "--date", "2024-13-01", "--side", "buy", "--quantity", "1",
        "--price", "1"},
       "The trade date must be a date written YYYY-MM-DD, for example 2024-03-15."},
      {{"add", "split", ledger, "--symbol", "KO", "--date", "2024-06-04", "--ratio", "2"}, kSplitRatioRule},
      {{"add", "dividend", ledger, "--symbol", "KO", "--date", "2024-07-01", "--gross", "12,5"},
       "The gross amount must be a number written with '.' as the point, for example 12.50."},
      {{"add", "price", ledger, "--symbol", "KO", "--date", "2024-07-01", "--close", "-61.25"},
       "The closing price must be a number above 0, up to 1000000000000."},
      {{"add", "price", ledger, "--symbol", "KO", "--date", "2024-07-01", "--close", "61,25"},
       "The closing price must be a number written with '.' as the point, for example 412.50."},
      {{"delete", "price", ledger, "--symbol", "KO", "--date", "2024-07-01"}, "There is no price of KO on 2024-07-01."},
  };
  for (const Row& row : rows) {
    const Outcome o = run(row.args);
    EXPECT_EQ(o.status, exitcode::kFailed) << row.message;
    EXPECT_EQ(o.err, std::string(row.message) + "\n");
    EXPECT_EQ(test::readBytes(ledger), before) << row.message;
  }
  // A ledger of a newer format is only read.
  Database::openFile(ledger, false).executeScript("PRAGMA user_version = 3");
  const Outcome newer = run({"add", "split", ledger, "--symbol", "KO", "--date", "2024-06-05", "--ratio", "2:1"});
  EXPECT_EQ(newer.status, exitcode::kFailed);
  EXPECT_NE(newer.err.find("was written by a newer version of this program"), std::string::npos) << newer.err;
}

TEST_F(EntryCommandTest, CommandsWrittenWrongGiveTheUsageAndTwo) {
  const std::vector<std::string> rows[] = {
      {"add", "company", ledger, "--symbol", "KO"},
      {"add", "split", ledger, "--symbol", "KO", "--date", "2024-06-03"},
      {"add", "split", ledger, "--symbol", "KO", "--date", "2024-06-03", "--ratio", "2:1", "--gross", "1"},
      {"add", "trade", ledger, "--symbol", "KO", "--date", "2024-01-02", "--side", "short", "--quantity", "1",
       "--price", "1"},
      {"add", "dividend", "--symbol", "KO", "--date", "2024-07-01", "--gross", "1"},
      {"delete", "trade", ledger, "--symbol", "KO", "--date", "2024-06-03"},
      {"delete", "split", ledger, "--symbol", "KO", "--date"},
      {"add", "price", ledger, "--symbol", "KO", "--date", "2024-07-01"},
      {"delete", "price", ledger, "--symbol", "KO", "--date", "2024-07-01", "--close", "1"},
      {"export", "events", ledger},
  };
  const std::string before = test::readBytes(ledger);
  for (const auto& args : rows) {
    const Outcome o = run(args);
    EXPECT_EQ(o.status, exitcode::kUsage) << args[1];
    EXPECT_NE(o.err.find("Usage:"), std::string::npos) << o.err;
  }
  EXPECT_EQ(test::readBytes(ledger), before);
  for (const char* line : {"shareledger add split LEDGER --symbol S --date YYYY-MM-DD --ratio NEW:OLD [--replace]",
                           "shareledger delete split|dividend|price LEDGER --symbol S --date YYYY-MM-DD",
                           "shareledger export trades|splits|dividends LEDGER [--out FILE]"})
    EXPECT_NE(usageText().find(line), std::string::npos) << line;
}

}  // namespace
}  // namespace ledger
