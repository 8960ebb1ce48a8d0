// Splits and dividends in the ledger: what a save refuses, each change as
// one undo step taken back and made again, and what the file's header says
// about the format before and after the program writes it.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/db_error.h"
#include "fakes.h"
#include "ledger/event_writes.h"
#include "ledger/ledger_format.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_session.h"
#include "ledger/undo_journal.h"
#include "test_ledger.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Decimal dec(const char* text) { return *Decimal::parse(text); }

const StockSplit kSplit{"MSFT", "2025-04-10", 2, 1};
const CashDividend kDividend{"MSFT", "2025-05-15", dec("12.5"), dec("1.875"), std::nullopt, std::nullopt};

class EventsTest : public ::testing::Test {
 protected:
  void SetUp() override { test::makeLedger(path); }
  Rows splits() { return test::readAll(path, "SELECT CompanySymbol, Date, NewShares, OldShares FROM Split"); }
  Rows dividends() {
    return test::readAll(path, "SELECT CompanySymbol, Date, Gross, Withholding, ReinvestQuantity, ReinvestPrice "
                               "FROM Dividend");
  }
  Rows trades() { return test::readAll(path, "SELECT CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, "
                                             "Commission FROM Trade"); }
  std::string undoLabel() {
    Database db = openLedger(path);
    const auto step = stepToUndo(db);
    return step ? step->label : "";
  }
  test::TempDir dir;
  std::string path = dir.file("events.mdb");
};

// One row a rule; each refused with its message and nothing written, not
// even the tables.
TEST_F(EventsTest, RefusalsNameTheRuleAndWriteNothing) {
  {
    Database db = openLedger(path);
    addSplit(db, kSplit);
    addDividend(db, kDividend);
  }
  const std::string before = test::readBytes(path);
  struct Row {
    const char* rule;
    std::function<void(Database&)> save;
    const char* message;
  };
  const Row rows[] = {
      {"symbol not in Companies", [](Database& db) { addSplit(db, {"NOPE", "2025-04-10", 2, 1}); },
       "The symbol NOPE is not in the list of companies."},
      {"second split of a symbol and date", [](Database& db) { addSplit(db, {"MSFT", "2025-04-10", 3, 1}); },
       "There is already a split of MSFT on 2025-04-10."},
      {"second dividend of a symbol and date", [](Database& db) { addDividend(db, kDividend); },
       "There is already a dividend of MSFT on 2025-05-15."},
      {"a ratio with a zero", [](Database& db) { addSplit(db, {"MSFT", "2025-04-11", 0, 1}); }, kSplitRatioRule},
      {"a negative amount", [](Database& db) { addDividend(db, {"MSFT", "2025-06-01", dec("-1"), {}, {}, {}}); },
       "The gross amount must be a number from 0 to 1000000000000."},
      {"tax withheld above the gross",
       [](Database& db) { editDividend(db, kDividend, {"MSFT", "2025-05-15", dec("12.5"), dec("12.51"), {}, {}}); },
       "The tax withheld must not be more than the gross amount."},
      {"a date that is not a date", [](Database& db) { addSplit(db, {"MSFT", "2025-02-29", 2, 1}); },
       "The date must be a real date, written YYYY-MM-DD."},
      {"shares bought without their price",
       [](Database& db) { addDividend(db, {"MSFT", "2025-06-01", dec("1"), {}, dec("1"), {}}); },
       "Shares bought with the dividend need both their quantity and their price."},
      {"deleting what is not there", [](Database& db) { deleteSplit(db, "MSFT", "2025-04-11"); },
       "There is no split of MSFT on 2025-04-11."},
  };
  for (const Row& row : rows) {
    Database db = openLedger(path);
    try {
      row.save(db);
      ADD_FAILURE() << row.rule << ": saved";
    } catch (const DbError& e) {
      EXPECT_EQ(std::string(e.what()), row.message) << row.rule;
    }
    EXPECT_EQ(test::readBytes(path), before) << row.rule;
  }
}

// Each kind: added, edited, deleted, each step undone and redone, the
// ledger's rows and the Edit menu's label checked after every move.
TEST_F(EventsTest, EachChangeIsOneStepUndoneAndRedone) {
  const StockSplit reverse{"MSFT", "2025-04-10", 1, 10};
  const CashDividend smaller{"MSFT", "2025-05-15", dec("10"), dec("0"), std::nullopt, std::nullopt};
  const Rows splitAdded = {{"MSFT", "2025-04-10", "2", "1"}};
  const Rows splitEdited = {{"MSFT", "2025-04-10", "1", "10"}};
  const Rows dividendAdded = {{"MSFT", "2025-05-15", "12.5", "1.875", "", ""}};
  const Rows dividendEdited = {{"MSFT", "2025-05-15", "10", "0", "", ""}};
  // Each row starts from what the row before left.
  struct Row {
    std::function<void(Database&)> change;
    const char* label;
    Rows splitsAfter, dividendsAfter;
  };
  const Row rows[] = {
      {[](Database& db) { addSplit(db, kSplit); }, "New Split of MSFT 2025-04-10 (2:1)", splitAdded, {}},
      {[&](Database& db) { editSplit(db, kSplit, reverse); }, "Edit of Split of MSFT 2025-04-10 (1:10)",
       splitEdited, {}},
      {[](Database& db) { addDividend(db, kDividend); }, "New Dividend of MSFT 2025-05-15 (12.5 gross)",
       splitEdited, dividendAdded},
      {[&](Database& db) { editDividend(db, kDividend, smaller); }, "Edit of Dividend of MSFT 2025-05-15 (10 gross)",
       splitEdited, dividendEdited},
      {[](Database& db) { deleteDividend(db, "MSFT", "2025-05-15"); },
       "Delete of Dividend of MSFT 2025-05-15 (10 gross)", splitEdited, {}},
      {[](Database& db) { deleteSplit(db, "MSFT", "2025-04-10"); }, "Delete of Split of MSFT 2025-04-10 (1:10)", {},
       {}},
  };
  Rows splitsBefore, dividendsBefore;
  for (const Row& row : rows) {
    {
      Database db = openLedger(path);
      row.change(db);
    }
    EXPECT_EQ(undoLabel(), row.label);
    EXPECT_EQ(splits(), row.splitsAfter) << row.label;
    EXPECT_EQ(dividends(), row.dividendsAfter) << row.label;
    {
      Database db = openLedger(path);
      ASSERT_TRUE(undoStep(db));
    }
    EXPECT_EQ(splits(), splitsBefore) << row.label;
    EXPECT_EQ(dividends(), dividendsBefore) << row.label;
    {
      Database db = openLedger(path);
      ASSERT_EQ(redoStep(db)->step.label, row.label);
    }
    EXPECT_EQ(splits(), row.splitsAfter) << row.label;
    EXPECT_EQ(dividends(), row.dividendsAfter) << row.label;
    splitsBefore = row.splitsAfter;
    dividendsBefore = row.dividendsAfter;
  }
  EXPECT_TRUE(trades().empty());
}

// 10 shares bought at 21.40 with a dividend of 250 gross, 37.50 withheld:
// the purchase is a Buy of MSFT (CompanyID 2) for 10 at 21.4, no
// commission, in the dividend's step; later changes of the dividend leave it.
TEST_F(EventsTest, SharesBoughtWithADividendAreAPurchaseInTheSameStep) {
  const CashDividend reinvested{"MSFT", "2025-05-15", dec("250"), dec("37.5"), dec("10"), dec("21.4")};
  const Rows purchase = {{"2", "MSFT", "10", "B", "2025-05-15", "21.4", "0"}};
  Database db = openLedger(path);
  addDividend(db, reinvested);
  EXPECT_EQ(trades(), purchase);
  EXPECT_EQ(dividends(), (Rows{{"MSFT", "2025-05-15", "250", "37.5", "10", "21.4"}}));
  ASSERT_TRUE(undoStep(db));
  EXPECT_TRUE(trades().empty());
  EXPECT_TRUE(dividends().empty());
  ASSERT_TRUE(redoStep(db));
  editDividend(db, reinvested, {"MSFT", "2025-05-15", dec("250"), dec("37.5"), dec("11"), dec("21.4")});
  deleteDividend(db, "MSFT", "2025-05-15");
  EXPECT_EQ(trades(), purchase);
  EXPECT_TRUE(dividends().empty());
}

// Undo checks the row as it checks trades: changed by another client, or
// its symbol and date taken by another event meanwhile, nothing is written.
TEST_F(EventsTest, UndoRefusesWhenTheEventChangedElsewhere) {
  struct Row {
    bool deleted;  // the step to undo deleted the split
    const char* elsewhere;
    const char* message;
  };
  const Row rows[] = {
      {false, "UPDATE Split SET NewShares = 3", "The split of MSFT 2025-04-10 was changed or deleted elsewhere"},
      // Entered again under another row id: undoing the delete would make
      // a second split of that day.
      {true, "INSERT INTO Split (SplitID, CompanySymbol, Date, NewShares, OldShares) VALUES (7, 'MSFT', "
             "'2025-04-10', 3, 1)",
       "The split of MSFT 2025-04-10 cannot go back: another one of that symbol and date"},
  };
  for (const Row& row : rows) {
    test::makeLedger(path);
    {
      Database db = openLedger(path);
      addSplit(db, kSplit);
      if (row.deleted) deleteSplit(db, "MSFT", "2025-04-10");
    }
    Database::openFile(path, false).executeScript(row.elsewhere);
    const Rows before = splits();
    Database db = openLedger(path);
    try {
      undoStep(db);
      ADD_FAILURE() << row.elsewhere;
    } catch (const DbError& e) {
      EXPECT_EQ(e.number(), dberr::kChangedElsewhere);
      EXPECT_NE(std::string(e.what()).find(row.message), std::string::npos) << e.what();
    }
    EXPECT_EQ(splits(), before);
  }
}

// The header: nothing in a ledger made before it said anything, unchanged by
// opening it; the mark at the first write; a newer format read-only with
// the message saying why.
TEST_F(EventsTest, TheHeaderSaysWhatTheFileIsFromTheFirstWrite) {
  Database::openFile(path, false).executeScript("PRAGMA user_version = 0; PRAGMA application_id = 0");
  const auto header = [&] { return test::readAll(path, "SELECT * FROM pragma_user_version, pragma_application_id"); };
  const std::string older = test::readBytes(path);
  {
    Database db = openLedger(path);
    EXPECT_FALSE(db.isReadOnly());
    EXPECT_TRUE(db.foreignObjects().empty());
    EXPECT_TRUE(readSplits(db, "MSFT").empty());
  }
  EXPECT_EQ(test::readBytes(path), older);
  {
    Database db = openLedger(path);
    addSplit(db, kSplit);
  }
  // 0x53684C64 = 1399344228.
  EXPECT_EQ(header(), (Rows{{"1", "1399344228"}}));
  // The event tables and their journal are the program's own.
  EXPECT_TRUE(openLedger(path).foreignObjects().empty());

  Database::openFile(path, false).executeScript("PRAGMA user_version = 3");
  test::ScriptedPrompter prompter;
  prompter.expect(MsgAnswer::Ok);
  LedgerSession session(prompter);
  ASSERT_TRUE(session.OpenLedgerTable("Trade", path));
  EXPECT_TRUE(session.LedgerDatabase->isReadOnly());
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_NE(prompter.shown[0].text.find("was written by a newer version of this program (ledger format 3; this "
                                        "version knows formats up to 2)"),
            std::string::npos);
  EXPECT_EQ(readSplits(*session.LedgerDatabase, "MSFT"), std::vector<StockSplit>{kSplit});
}

}  // namespace
}  // namespace ledger
