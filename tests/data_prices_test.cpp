// Closing prices in the ledger: what a save refuses, each change as one
// undo step taken back and made again to the exact number, and what a
// program that knows no prices makes of a ledger with and without them.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/db_error.h"
#include "engine/schema_objects.h"
#include "ledger/event_tables.h"
#include "ledger/kept_figures.h"
#include "ledger/ledger_change.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_schema.h"
#include "ledger/ledger_writes.h"
#include "ledger/price_writes.h"
#include "ledger/undo_journal.h"
#include "test_ledger.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

Decimal dec(const char* text) { return *Decimal::parse(text); }

const ClosePrice kPrice{"MSFT", "2025-04-10", dec("412.5")};

class PricesTest : public ::testing::Test {
 protected:
  void SetUp() override { test::makeLedger(path); }
  // A number shows as the shortest text that reads back to the same double.
  Rows prices() {
    if (test::readAll(path, "SELECT 1 FROM sqlite_schema WHERE name = 'Price'").empty()) return {};
    return test::readAll(path, "SELECT PriceID, CompanySymbol, Date, Close, typeof(Close) FROM Price "
                               "ORDER BY PriceID");
  }
  std::string undoLabel() {
    Database db = openLedger(path);
    const auto step = stepToUndo(db);
    return step ? step->label : "";
  }
  test::TempDir dir;
  std::string path = dir.file("prices.mdb");
};

// One row a rule; each refused with its message and nothing written.
TEST_F(PricesTest, RefusalsNameTheRuleAndWriteNothing) {
  const ClosePrice nextDay{"MSFT", "2025-04-11", dec("1")};
  {
    Database db = openLedger(path);
    addPrice(db, kPrice);
    addPrice(db, nextDay);
  }
  const std::string before = test::readBytes(path);
  const std::string closeRule = "The closing price must be a number above 0, up to 1000000000000.";
  struct Row {
    const char* rule;
    std::function<void(Database&)> save;
    std::string message;
    int number = dberr::kConstraint;
  };
  const Row rows[] = {
      {"symbol not in Companies", [](Database& db) { addPrice(db, {"NOPE", "2025-04-10", dec("1")}); },
       "The symbol NOPE is not in the list of companies."},
      {"second price of a symbol and date", [](Database& db) { addPrice(db, {"MSFT", "2025-04-10", dec("413")}); },
       "There is already a price of MSFT on 2025-04-10."},
      {"an edit onto the date of another",
       [&](Database& db) { editPrice(db, nextDay, {"MSFT", "2025-04-10", dec("1")}); },
       "There is already a price of MSFT on 2025-04-10."},
      {"a close of zero", [](Database& db) { addPrice(db, {"MSFT", "2025-04-12", dec("0")}); }, closeRule},
      // Refused, never taken as 412.5.
      {"a negative close", [](Database& db) { addPrice(db, {"MSFT", "2025-04-12", dec("-412.5")}); }, closeRule},
      // Above zero as typed, but 0 as the ledger would hold it.
      {"a close too small to keep", [](Database& db) { addPrice(db, {"MSFT", "2025-04-12", dec("1E-400")}); },
       closeRule},
      {"a close above the limit", [](Database& db) { addPrice(db, {"MSFT", "2025-04-12", dec("1E+13")}); },
       closeRule},
      {"a date that is not a date", [](Database& db) { addPrice(db, {"MSFT", "2025-02-29", dec("1")}); },
       "The date must be a real date, written YYYY-MM-DD."},
      {"an edit of a price changed since it was shown",
       [](Database& db) { editPrice(db, {"MSFT", "2025-04-10", dec("412")}, {"MSFT", "2025-04-10", dec("1")}); },
       "The price was changed elsewhere since it was shown.", dberr::kChangedElsewhere},
      {"deleting what is not there", [](Database& db) { deletePrice(db, "MSFT", "2025-04-12"); },
       "There is no price of MSFT on 2025-04-12.", dberr::kItemNotFound},
  };
  for (const Row& row : rows) {
    Database db = openLedger(path);
    try {
      row.save(db);
      ADD_FAILURE() << row.rule << ": saved";
    } catch (const DbError& e) {
      EXPECT_EQ(std::string(e.what()), row.message) << row.rule;
      EXPECT_EQ(e.number(), row.number) << row.rule;
    }
    EXPECT_EQ(test::readBytes(path), before) << row.rule;
  }
}

// A batch keeps what it looked up at its first price: the table it made
// for that price must be where its second one of the same date is found,
// refused, then replaced; the step holds the close before the batch's
// first (none), so undo leaves no table rows.
TEST_F(PricesTest, ABatchFindsThePricesItWroteItself) {
  Database db = openLedger(path);
  {
    LedgerChange change(db);
    PriceBatch batch(change);
    std::vector<RowChange> changes;
    batch.write(kPrice, SameDate::Refuse, changes);
    try {
      batch.write({"MSFT", "2025-04-10", dec("413")}, SameDate::Refuse, changes);
      ADD_FAILURE() << "a second price of the date was saved";
    } catch (const DbError& e) {
      EXPECT_EQ(std::string(e.what()), "There is already a price of MSFT on 2025-04-10.");
    }
    batch.write({"MSFT", "2025-04-10", dec("413")}, SameDate::Replace, changes);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[1].rowid, changes[0].rowid);
    change.commitStep("Import of 2 Prices", changes);
  }
  EXPECT_EQ(prices(), (Rows{{"1", "MSFT", "2025-04-10", "413", "real"}}));
  ASSERT_TRUE(undoStep(db));
  EXPECT_EQ(prices(), Rows{});
}

// Added, replaced, edited to another date, deleted: after each the rows and
// the Edit menu's label; each step undone gives back the rows exactly as
// they were (row id, number and storage class), and redone the rows after.
TEST_F(PricesTest, EachChangeIsOneStepUndoneAndRedoneExactly) {
  // 0.1 + 0.2 as a double is 0.30000000000000004, a close whose every digit
  // must come back.
  const Decimal noisy = Decimal::fromDouble(0.1 + 0.2);
  const Rows added = {{"1", "MSFT", "2025-04-10", "412.5", "real"}};
  const Rows replaced = {{"1", "MSFT", "2025-04-10", "0.30000000000000004", "real"}};
  const Rows moved = {{"1", "MSFT", "2025-04-11", "1234.5678", "real"}};
  struct Row {
    std::function<void(Database&)> change;
    const char* label;
    Rows after;
  };
  const Row rows[] = {
      {[](Database& db) { addPrice(db, kPrice); }, "New Price of MSFT 2025-04-10 (412.5)", added},
      {[&](Database& db) { addPrice(db, {"MSFT", "2025-04-10", noisy}, SameDate::Replace); },
       "Edit of Price of MSFT 2025-04-10 (0.30000000000000004)", replaced},
      {[&](Database& db) { editPrice(db, {"MSFT", "2025-04-10", noisy}, {"MSFT", "2025-04-11", dec("1234.5678")}); },
       "Edit of Price of MSFT 2025-04-11 (1234.5678)", moved},
      {[](Database& db) { deletePrice(db, "MSFT", "2025-04-11"); }, "Delete of Price of MSFT 2025-04-11 (1234.5678)",
       {}},
  };
  Rows before;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    {
      Database db = openLedger(path);
      row.change(db);
    }
    EXPECT_EQ(undoLabel(), row.label);
    EXPECT_EQ(prices(), row.after);
    {
      Database db = openLedger(path);
      ASSERT_TRUE(undoStep(db));
    }
    EXPECT_EQ(prices(), before);
    {
      Database db = openLedger(path);
      ASSERT_EQ(redoStep(db)->step.label, row.label);
    }
    EXPECT_EQ(prices(), row.after);
    before = row.after;
  }
  {
    Database db = openLedger(path);
    EXPECT_TRUE(readPrices(db, "MSFT").empty());
    // A new step after an undone price step leaves none of its rows behind
    // for a later step of the same number to take for its own.
    ASSERT_TRUE(undoStep(db));
    addPrice(db, {"AAPL", "2025-04-10", dec("1")});
  }
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM UndoPriceChange WHERE Step = "
                                "(SELECT max(Step) FROM UndoStep)"),
            (Rows{{"1"}}));
  EXPECT_TRUE(test::readAll(path, "SELECT * FROM Trade").empty());
}

// Undo checks a price as it checks trades: changed by another client, or
// its symbol and date taken by another price meanwhile, nothing is written.
TEST_F(PricesTest, UndoRefusesWhenThePriceChangedElsewhere) {
  struct Row {
    bool deleted;  // the step to undo deleted the price
    const char* elsewhere;
    const char* message;
  };
  const Row rows[] = {
      {false, "UPDATE Price SET Close = 413", "The price of MSFT 2025-04-10 was changed or deleted elsewhere"},
      {true, "INSERT INTO Price (PriceID, CompanySymbol, Date, Close) VALUES (7, 'MSFT', '2025-04-10', 413)",
       "The price of MSFT 2025-04-10 cannot go back: another one of that symbol and date"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.elsewhere);
    test::makeLedger(path);
    {
      Database db = openLedger(path);
      addPrice(db, kPrice);
      if (row.deleted) deletePrice(db, "MSFT", "2025-04-10");
    }
    Database::openFile(path, false).executeScript(row.elsewhere);
    const Rows before = prices();
    Database db = openLedger(path);
    try {
      undoStep(db);
      ADD_FAILURE() << "undone";
    } catch (const DbError& e) {
      EXPECT_EQ(e.number(), dberr::kChangedElsewhere);
      EXPECT_NE(std::string(e.what()).find(row.message), std::string::npos) << e.what();
    }
    EXPECT_EQ(prices(), before);
  }
}

// Another program's rows: a whole number is a price as it stands; text
// (which Close > 0 lets through, text sorting above numbers) is no price.
TEST_F(PricesTest, ReadingPassesOverACloseThatIsNoNumber) {
  {
    Database db = openLedger(path);
    addPrice(db, kPrice);
  }
  Database::openFile(path, false)
      .executeScript("INSERT INTO Price (CompanySymbol, Date, Close) VALUES ('MSFT', '2025-04-11', 413), "
                     "('MSFT', '2025-04-14', 'n/a')");
  Database db = openLedger(path);
  EXPECT_EQ(readPrices(db, "MSFT"), (std::vector<ClosePrice>{kPrice, {"MSFT", "2025-04-11", dec("413")}}));
}

// The objects and the newest format of the program before prices, which
// knew splits and dividends.
const KnownObjects& programBeforePrices() {
  static const KnownObjects objects = [] {
    KnownObjects o;
    o.addStatements(ledgerSchemaSql());
    o.addStatements(kUndoJournalSchema);
    o.addStatements(kKeptTotalsSchema);
    o.addStatements(kEventTablesSchema);
    o.addStatements(kUndoEventJournalSchema);
    o.setNewestFormat(1);
    return o;
  }();
  return objects;
}

// A ledger this program wrote without prices stays one the program before
// could write; the first price makes it format 2, which that program only
// reads (told that a newer version wrote it), while this one writes it.
TEST_F(PricesTest, OnlyALedgerWithPricesIsKeptFromTheProgramBeforeThem) {
  const auto format = [&] { return test::readAll(path, "SELECT * FROM pragma_user_version"); };
  {
    Database db = openLedger(path);
    insertCompany(db, "NEWCO");
  }
  EXPECT_EQ(format(), (Rows{{"1"}}));
  EXPECT_FALSE(Database::open(path, programBeforePrices()).keptFromWriting());

  {
    Database db = openLedger(path);
    addPrice(db, kPrice);
  }
  EXPECT_EQ(format(), (Rows{{"2"}}));
  const Database older = Database::open(path, programBeforePrices());
  EXPECT_TRUE(older.isReadOnly());
  EXPECT_EQ(older.newerFormat(), std::optional<std::int64_t>(2));
  Database db = openLedger(path);
  EXPECT_FALSE(db.keptFromWriting());
  EXPECT_EQ(readPrices(db, "MSFT"), std::vector<ClosePrice>{kPrice});
}

}  // namespace
}  // namespace ledger
