// The undo journal: sequences of changes taken back and made again,
// checked row for row (storage classes included) against what the ledger
// held before and after each change; steps kept across reopening; the
// limit of steps; refusals when another connection changed a row.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/db_error.h"
#include "ledger/empty_ledger.h"
#include "ledger/ledger_writes.h"
#include "engine/sqlite_util.h"
#include "test_ledger.h"
#include "ledger/undo_journal.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_change.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Every value with its storage class, reals to the last bit.
std::string exact(sqlite3_stmt* stmt, int col) {
  switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_NULL: return "null";
    case SQLITE_INTEGER: return "i:" + std::to_string(sqlite3_column_int64(stmt, col));
    case SQLITE_FLOAT: {
      char text[40];
      std::snprintf(text, sizeof text, "r:%.17g", sqlite3_column_double(stmt, col));
      return text;
    }
    default: return "t:" + toDisplayText(detail::columnValue(stmt, col));
  }
}

// Trade and Companies with their row ids: what undo and redo must restore.
Rows ledgerRows(Database& db) {
  Rows rows;
  for (const char* sql : {"SELECT 'Trade', rowid, * FROM Trade ORDER BY rowid",
                          "SELECT 'Companies', rowid, * FROM Companies ORDER BY rowid"}) {
    auto stmt = detail::prepare(detail::connectionOf(db), sql);
    while (detail::step(detail::connectionOf(db), stmt.get())) {
      std::vector<std::string> row;
      for (int i = 0; i < sqlite3_column_count(stmt.get()); ++i) row.push_back(exact(stmt.get(), i));
      rows.push_back(row);
    }
  }
  return rows;
}

std::optional<std::string> labelOf(const std::optional<UndoStepInfo>& step) {
  return step ? std::optional<std::string>(step->label) : std::nullopt;
}

const Trade kMsft{2, "MSFT", "2025-04-10", TradeSide::Buy, 150, 390.25, 9.95};
// Reals that print alike at 15 digits but differ in their last bits.
const Trade kIbm{3, "IBM", "2024-12-31", TradeSide::Sell, 1, 0.1 + 0.2, 1e-300};
const Trade kNewco{0, "NEWCO", "2025-02-03", TradeSide::Buy, 12.5, 7, 0};

enum class Op { New, NewWithCompany, Edit, Delete, Company, Undo, Redo, Reopen };

struct Action {
  Op op;
  // New, Edit: the trade written. Edit, Delete: which trade, by its place
  // in row id order.
  Trade trade{};
  int target = 0;
  // The step's menu label for a change; for Undo and Redo the label of the
  // step taken, or "" when there must be none.
  std::string label;
};

Action newTrade(const Trade& t, std::string label) { return {Op::New, t, 0, std::move(label)}; }
Action newWithCompany(const Trade& t, std::string label) { return {Op::NewWithCompany, t, 0, std::move(label)}; }
Action edit(int target, const Trade& t, std::string label) { return {Op::Edit, t, target, std::move(label)}; }
Action erase(int target, std::string label) { return {Op::Delete, {}, target, std::move(label)}; }
Action company(std::string symbol) {
  Trade named;
  named.symbol = symbol;
  return {Op::Company, named, 0, "Add Company " + symbol};
}
Action undo(std::string label = "") { return {Op::Undo, {}, 0, std::move(label)}; }
Action redo(std::string label = "") { return {Op::Redo, {}, 0, std::move(label)}; }
Action reopen() { return {Op::Reopen, {}, 0, ""}; }

class UndoJournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
    // A row no save of the program writes: a whole number in Quantity, no
    // commission at all, a date left out.
    Database db = openLedger(path);
    db.executeScript("INSERT INTO Trade VALUES (4, 'INTC', 7, 'S', NULL, 21.5, NULL)");
  }

  std::int64_t rowidAt(Database& db, int place) {
    const Value offset[] = {std::int64_t{place}};
    return std::get<std::int64_t>(*db.scalar("SELECT rowid FROM Trade ORDER BY rowid LIMIT 1 OFFSET ?1", offset));
  }

  test::TempDir dir;
  std::string path = dir.file("l.mdb");
};

struct Sequence {
  const char* name;
  std::vector<Action> actions;
};

// Runs the actions, keeping every state the ledger went through: undo must
// bring back exactly the state before the step, redo the state after it,
// and the steps offered must be the ones the model expects.
TEST_F(UndoJournalTest, SequencesOfChangesUndoAndRedoToTheExactRowsOfEachState) {
  const std::string msft = "MSFT 2025-04-10 (150 shares)";
  const std::string ibm = "IBM 2024-12-31 (1 share)";
  const std::string intc = "INTC  (7 shares)";  // its date is Null
  const std::string aapl = "AAPL 2024-01-02 (10 shares)";
  const Sequence sequences[] = {
      {"new", {newTrade(kMsft, "New Record of " + msft), undo("New Record of " + msft), redo("New Record of " + msft),
               undo("New Record of " + msft)}},
      {"edit", {edit(0, kIbm, "Edit of " + ibm), undo("Edit of " + ibm), redo("Edit of " + ibm)}},
      {"edit twice", {edit(1, kIbm, "Edit of " + ibm), edit(1, kMsft, "Edit of " + msft), undo("Edit of " + msft),
                      undo("Edit of " + ibm), redo("Edit of " + ibm), redo("Edit of " + msft)}},
      {"delete", {erase(1, "Delete of " + intc), undo("Delete of " + intc), redo("Delete of " + intc),
                  undo("Delete of " + intc)}},
      {"add company", {company("ZZZ"), undo("Add Company ZZZ"), redo("Add Company ZZZ")}},
      {"new with its company", {newWithCompany(kNewco, "New Record of NEWCO 2025-02-03 (12.5 shares)"),
                                undo("New Record of NEWCO 2025-02-03 (12.5 shares)"),
                                redo("New Record of NEWCO 2025-02-03 (12.5 shares)")}},
      {"mixed",
       {newTrade(kMsft, "New Record of " + msft), edit(2, kIbm, "Edit of " + ibm), erase(0, "Delete of " + aapl),
        company("Q&A"), undo("Add Company Q&A"), undo("Delete of " + aapl), undo("Edit of " + ibm),
        undo("New Record of " + msft), redo("New Record of " + msft), redo("Edit of " + ibm), redo("Delete of " + aapl),
        redo("Add Company Q&A"), undo("Add Company Q&A"), undo("Delete of " + aapl)}},
      {"undo past the start", {erase(0, "Delete of " + aapl), undo("Delete of " + aapl), undo(), undo(),
                               redo("Delete of " + aapl), redo(), redo()}},
      {"redo after a new change", {newTrade(kMsft, "New Record of " + msft), undo("New Record of " + msft),
                                   newTrade(kIbm, "New Record of " + ibm), redo(), undo("New Record of " + ibm),
                                   undo()}},
      {"restart between undo and redo", {erase(1, "Delete of " + intc), reopen(), undo("Delete of " + intc), reopen(),
                                         redo("Delete of " + intc), reopen(), undo("Delete of " + intc)}},
      // The last trade's row id goes to the next new trade: undoing both
      // gives the deleted trade its own row id back.
      {"a new trade takes a deleted row id", {erase(1, "Delete of " + intc), newTrade(kMsft, "New Record of " + msft),
                                              undo("New Record of " + msft), undo("Delete of " + intc),
                                              redo("Delete of " + intc), redo("New Record of " + msft)}},
  };
  for (const Sequence& sequence : sequences) {
    SCOPED_TRACE(sequence.name);
    SetUp();  // a fresh ledger for each sequence
    std::optional<Database> db = openLedger(path);
    std::vector<Rows> states = {ledgerRows(*db)};
    std::vector<std::string> labels;  // labels[i]: the step from states[i] to states[i + 1]
    size_t at = 0;
    for (size_t i = 0; i < sequence.actions.size(); ++i) {
      const Action& a = sequence.actions[i];
      SCOPED_TRACE("action " + std::to_string(i + 1));
      switch (a.op) {
        case Op::Undo:
        case Op::Redo: {
          const bool isUndo = a.op == Op::Undo;
          const std::optional<UndoOutcome> done = isUndo ? undoStep(*db) : redoStep(*db);
          ASSERT_EQ(done ? done->step.label : "", a.label);
          if (done) {
            at = isUndo ? at - 1 : at + 1;
            // The trade concerned is shown afterwards when the ledger holds it.
            if (done->trade) {
              const Value key[] = {*done->trade};
              EXPECT_TRUE(db->scalar("SELECT 1 FROM Trade WHERE rowid = ?1", key).has_value());
            }
          }
          break;
        }
        case Op::Reopen:
          db.reset();
          db = openLedger(path);
          break;
        default: {
          ASSERT_EQ(states.size() - 1, labels.size());
          states.resize(at + 1);
          labels.resize(at);
          switch (a.op) {
            case Op::New: insertTrade(*db, a.trade); break;
            case Op::NewWithCompany: insertTrade(*db, a.trade, NewCompany::Add); break;
            case Op::Edit: {
              const std::int64_t rowid = rowidAt(*db, a.target);
              updateTrade(*db, rowid, *readTrade(*db, rowid), a.trade);
              break;
            }
            case Op::Delete: {
              const std::int64_t rowid = rowidAt(*db, a.target);
              deleteTrade(*db, rowid, *readTrade(*db, rowid));
              break;
            }
            case Op::Company: insertCompany(*db, a.trade.symbol); break;
            default: break;
          }
          states.push_back(ledgerRows(*db));
          labels.push_back(a.label);
          ++at;
        }
      }
      ASSERT_EQ(ledgerRows(*db), states[at]);
      EXPECT_EQ(labelOf(stepToUndo(*db)), at > 0 ? std::optional(labels[at - 1]) : std::nullopt);
      EXPECT_EQ(labelOf(stepToRedo(*db)), at < labels.size() ? std::optional(labels[at]) : std::nullopt);
    }
  }
}

TEST_F(UndoJournalTest, UndoingADeleteBringsTheTradeBackWithItsRowIdAndItsNulls) {
  Database db = openLedger(path);
  const char* rows = "SELECT rowid, typeof(Date), typeof(Commission), typeof(Quantity), * FROM Trade";
  const Rows before = test::readAll(path, rows);
  deleteTrade(db, 2, *readTrade(db, 2));
  const std::optional<UndoOutcome> undone = undoStep(db);
  ASSERT_TRUE(undone);
  EXPECT_EQ(undone->trade, 2);
  EXPECT_EQ(test::readAll(path, rows), before);
  const std::optional<UndoOutcome> redone = redoStep(db);
  ASSERT_TRUE(redone);
  EXPECT_EQ(redone->trade, std::nullopt) << "the step took the trade out";
}

// A batch that deletes the last trade and then adds one: the new row gets
// the deleted one's row id, so one row changes twice within the step.
TEST_F(UndoJournalTest, ARowChangedTwiceInOneStepGoesBackToWhatItHeldFirst) {
  Database db = openLedger(path);
  const Rows before = ledgerRows(db);
  {
    LedgerChange change(db);
    std::vector<RowChange> changes = {{JournalTable::Trade, 2, readJournalRow(db, JournalTable::Trade, 2)}};
    db.executeScript("DELETE FROM Trade WHERE rowid = 2");
    db.executeScript("INSERT INTO Trade VALUES (9, 'NEW', 1, 'B', '2025-01-01', 2, 0)");
    ASSERT_EQ(db.lastInsertRowid(), 2);
    changes.push_back({JournalTable::Trade, 2, std::nullopt});
    db.executeScript("INSERT INTO Trade VALUES (9, 'GONE', 1, 'B', '2025-01-01', 2, 0)");
    changes.push_back({JournalTable::Trade, 3, std::nullopt});
    db.executeScript("DELETE FROM Trade WHERE rowid = 3");
    changes.push_back({JournalTable::Trade, 3, readJournalRow(db, JournalTable::Trade, 3)});
    change.commitStep("Import of 2 trades", changes);
  }
  const Rows after = ledgerRows(db);
  // The row added and removed again within the step leaves nothing to record.
  EXPECT_EQ(test::readAll(path, "SELECT RowKey, Kind FROM UndoChange ORDER BY Seq"), (Rows{{"2", "Update"}}));
  ASSERT_TRUE(undoStep(db));
  EXPECT_EQ(ledgerRows(db), before);
  ASSERT_TRUE(redoStep(db));
  EXPECT_EQ(ledgerRows(db), after);
}

// Rows added one after another are recorded together; the journal must
// be what recording them one by one gives: numbered in the order of the
// changes, a row added and removed again left out, other changes between.
struct BatchCase {
  const char* name;
  // Statements run inside the step, each followed by its change: "+" the
  // row just inserted was added, "-N" row N of Trade is deleted (its
  // values before are kept), "~N" row N is updated, "c" a company added.
  std::vector<std::pair<const char*, const char*>> steps;
  Rows journal;  // Seq, TableName, RowKey, Kind
};

void PrintTo(const BatchCase& c, std::ostream* os) { *os << c.name; }

class UndoBatchTest : public UndoJournalTest, public ::testing::WithParamInterface<BatchCase> {};

TEST_P(UndoBatchTest, IsJournalledAsOneByOneAndUndoesExactly) {
  Database db = openLedger(path);
  const Rows before = ledgerRows(db);
  {
    LedgerChange step(db);
    std::vector<RowChange> changes;
    for (const auto& [sql, change] : GetParam().steps) {
      const std::string what = change;
      if (what[0] == '-' || what[0] == '~') {
        const std::int64_t row = std::stoll(what.substr(1));
        changes.push_back({JournalTable::Trade, row, readJournalRow(db, JournalTable::Trade, row)});
      }
      db.executeScript(sql);
      if (what == "+") changes.push_back({JournalTable::Trade, db.lastInsertRowid(), std::nullopt});
      if (what == "c") changes.push_back({JournalTable::Companies, db.lastInsertRowid(), std::nullopt});
    }
    step.commitStep("Import", changes);
  }
  const Rows after = ledgerRows(db);
  EXPECT_EQ(test::readAll(path, "SELECT Seq, TableName, RowKey, Kind FROM UndoChange ORDER BY Seq"),
            GetParam().journal);
  ASSERT_TRUE(undoStep(db));
  EXPECT_EQ(ledgerRows(db), before);
  ASSERT_TRUE(redoStep(db));
  EXPECT_EQ(ledgerRows(db), after);
}

constexpr const char* kAddInteger = "INSERT INTO Trade VALUES (1, 'A', 7, 'B', '2025-01-01', 2, NULL)";
constexpr const char* kAddReal = "INSERT INTO Trade VALUES (1, 'B', 0.30000000000000004, 'S', NULL, 1e-300, 0.5)";

INSTANTIATE_TEST_SUITE_P(
    Batches, UndoBatchTest,
    ::testing::Values(
        BatchCase{"ARunOfAdds",
                  {{kAddInteger, "+"}, {kAddReal, "+"}, {kAddInteger, "+"}, {kAddReal, "+"}},
                  {{"1", "Trade", "3", "Insert"}, {"2", "Trade", "4", "Insert"}, {"3", "Trade", "5", "Insert"},
                   {"4", "Trade", "6", "Insert"}}},
        BatchCase{"ARowAddedAndRemovedInTheRun",
                  {{kAddInteger, "+"}, {kAddReal, "+"}, {kAddInteger, "+"}, {"DELETE FROM Trade WHERE rowid = 4", "-4"}},
                  {{"1", "Trade", "3", "Insert"}, {"2", "Trade", "5", "Insert"}}},
        BatchCase{"AnEditThenAdds",
                  {{"UPDATE Trade SET Price = 3 WHERE rowid = 1", "~1"}, {kAddReal, "+"}, {kAddInteger, "+"}},
                  {{"1", "Trade", "1", "Update"}, {"2", "Trade", "3", "Insert"}, {"3", "Trade", "4", "Insert"}}},
        BatchCase{"CompaniesAndTrades",
                  {{"INSERT INTO Companies (CompanySymbol) VALUES ('X')", "c"},
                   {"INSERT INTO Companies (CompanySymbol) VALUES ('Y')", "c"},
                   {kAddInteger, "+"},
                   {kAddReal, "+"},
                   {"DELETE FROM Trade WHERE rowid = 2", "-2"}},
                  {{"1", "Companies", "11", "Insert"}, {"2", "Companies", "12", "Insert"},
                   {"3", "Trade", "3", "Insert"}, {"4", "Trade", "4", "Insert"}, {"5", "Trade", "2", "Delete"}}},
        BatchCase{"RowIdsWithGaps",
                  {{"INSERT INTO Trade (rowid, Quantity) VALUES (10, 1)", "+"},
                   {"INSERT INTO Trade (rowid, Quantity) VALUES (12, 2)", "+"},
                   {"INSERT INTO Trade (rowid, Quantity) VALUES (13, 3)", "+"},
                   {"INSERT INTO Trade (rowid, Quantity) VALUES (11, 4)", "+"}},
                  {{"1", "Trade", "10", "Insert"}, {"2", "Trade", "12", "Insert"}, {"3", "Trade", "13", "Insert"},
                   {"4", "Trade", "11", "Insert"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UndoJournalTest, KeepsTheLastThousandStepsAndDropsTheOldest) {
  Database db = openLedger(path);
  db.executeScript("PRAGMA synchronous = OFF");  // a thousand commits, no need to wait for the disk
  for (int i = 1; i <= kMaxUndoSteps + 1; ++i) {
    Trade t = kMsft;
    t.quantity = i;
    insertTrade(db, t);
  }
  EXPECT_EQ(test::readAll(path, "SELECT count(*), min(Label) FROM UndoStep WHERE Label LIKE '%(1 share%'"),
            (Rows{{"0", ""}}))
      << "the first step is gone";
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM UndoStep"), (Rows{{"1000"}}));
  int undone = 0;
  while (undoStep(db)) ++undone;
  EXPECT_EQ(undone, kMaxUndoSteps);
  // The trade of the dropped step stays, with the two the ledger began with.
  EXPECT_EQ(test::readAll(path, "SELECT CompanySymbol, Quantity FROM Trade ORDER BY rowid"),
            (Rows{{"AAPL", "10"}, {"INTC", "7"}, {"MSFT", "1"}}));
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM UndoChange WHERE Step NOT IN (SELECT Step FROM UndoStep)"),
            (Rows{{"0"}}));
  // A new change then drops every undone step.
  insertCompany(db, "ZZZ");
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM UndoStep"), (Rows{{"1"}}));
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM UndoChange"), (Rows{{"1"}}));
}

TEST_F(UndoJournalTest, ALedgerWithoutAJournalHasNoStepsAndGetsNoTableFromAsking) {
  Database db = openLedger(path);
  EXPECT_EQ(stepToUndo(db), std::nullopt);
  EXPECT_EQ(stepToRedo(db), std::nullopt);
  EXPECT_EQ(undoStep(db), std::nullopt);
  EXPECT_EQ(redoStep(db), std::nullopt);
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM sqlite_schema WHERE name LIKE 'Undo%'"), (Rows{{"0"}}));
}

TEST_F(UndoJournalTest, ANewLedgerFromATemplateWithStepsStartsWithout) {
  {
    Database db = openLedger(path);
    deleteTrade(db, 1, *readTrade(db, 1));
  }
  const std::string fresh = dir.file("new.mdb");
  writeEmptyLedger(path, fresh);
  Database db = openLedger(fresh);
  EXPECT_EQ(stepToUndo(db), std::nullopt);
  EXPECT_EQ(test::readAll(fresh, "SELECT count(*) FROM sqlite_schema WHERE name LIKE 'Undo%'"), (Rows{{"0"}}));
}

// Another copy of the program or another client changes a row of the step;
// the refused attempt writes nothing and keeps the step; once the row holds
// what the step left again, the same attempt goes through.
TEST_F(UndoJournalTest, ARowChangedElsewhereIsRefusedWithNothingWrittenAndTheStepKept) {
  struct Case {
    const char* name;
    std::vector<Action> setup;
    Op attempt;
    const char* elsewhere;
    const char* putBack;
    const char* reason;
  };
  const Case cases[] = {
      {"undo a new trade edited elsewhere", {newTrade(kMsft, "")}, Op::Undo,
       "UPDATE Trade SET Price = 390.26 WHERE rowid = 3", "UPDATE Trade SET Price = 390.25 WHERE rowid = 3",
       "The trade MSFT 2025-04-10 (150 shares) was changed or deleted elsewhere"},
      {"undo a new trade deleted elsewhere", {newTrade(kMsft, "")}, Op::Undo, "DELETE FROM Trade WHERE rowid = 3",
       "INSERT INTO Trade (rowid, CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, Commission) VALUES (3, "
       "2, 'MSFT', 150, 'B', '2025-04-10', 390.25, 9.95)",
       "was changed or deleted elsewhere"},
      {"undo an edit edited again elsewhere", {edit(0, kMsft, "")}, Op::Undo,
       "UPDATE Trade SET [Buy/Sell] = 'S' WHERE rowid = 1", "UPDATE Trade SET [Buy/Sell] = 'B' WHERE rowid = 1",
       "The trade MSFT 2025-04-10 (150 shares) was changed"},
      {"undo a delete whose row id was taken elsewhere", {erase(1, "")}, Op::Undo,
       "INSERT INTO Trade (rowid, CompanySymbol) VALUES (2, 'X')", "DELETE FROM Trade WHERE rowid = 2",
       "The trade INTC  (7 shares) cannot go back to its place in the ledger"},
      {"redo a delete of a row changed elsewhere", {erase(1, ""), undo()}, Op::Redo,
       "UPDATE Trade SET Commission = 0 WHERE rowid = 2", "UPDATE Trade SET Commission = NULL WHERE rowid = 2",
       "The trade INTC  (7 shares) was changed"},
      {"redo a new trade whose row id was taken elsewhere", {newTrade(kMsft, ""), undo()}, Op::Redo,
       "INSERT INTO Trade (rowid, CompanySymbol) VALUES (3, 'X')", "DELETE FROM Trade WHERE rowid = 3",
       "cannot go back to its place"},
      {"undo an added company a trade entered elsewhere uses", {company("ZZZ")}, Op::Undo,
       "INSERT INTO Trade VALUES (11, 'ZZZ', 1, 'B', '2025-01-01', 1, 0)", "DELETE FROM Trade WHERE CompanyID = 11",
       "The company ZZZ is used by trades entered elsewhere"},
      {"undo an added company renamed only in letter case", {company("ZZZ")}, Op::Undo,
       "UPDATE Companies SET CompanySymbol = 'zzz' WHERE rowid = 11",
       "UPDATE Companies SET CompanySymbol = 'ZZZ' WHERE rowid = 11", "The company ZZZ was changed"},
      // The trade of the step would go first; the company's refusal must
      // take that back too.
      {"undo a trade with its company, the company used elsewhere", {newWithCompany(kNewco, "")}, Op::Undo,
       "INSERT INTO Trade VALUES (11, 'NEWCO', 1, 'B', '2025-01-01', 1, 0)",
       "DELETE FROM Trade WHERE CompanyID = 11 AND Quantity = 1", "The company NEWCO is used"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    Database db = openLedger(path);
    Rows beforeStep, afterStep;  // the ledger on either side of the step attempted
    for (const Action& a : c.setup) {
      if (a.op != Op::Undo) beforeStep = ledgerRows(db);
      switch (a.op) {
        case Op::New: insertTrade(db, a.trade); break;
        case Op::NewWithCompany: insertTrade(db, a.trade, NewCompany::Add); break;
        case Op::Edit: updateTrade(db, rowidAt(db, a.target), *readTrade(db, rowidAt(db, a.target)), a.trade); break;
        case Op::Delete: deleteTrade(db, rowidAt(db, a.target), *readTrade(db, rowidAt(db, a.target))); break;
        case Op::Company: insertCompany(db, a.trade.symbol); break;
        case Op::Undo: ASSERT_TRUE(undoStep(db)); break;
        default: break;
      }
      if (a.op != Op::Undo) afterStep = ledgerRows(db);
    }
    const bool isUndo = c.attempt == Op::Undo;
    const std::optional<UndoStepInfo> offered = isUndo ? stepToUndo(db) : stepToRedo(db);
    ASSERT_TRUE(offered);
    {
      Database other = openLedger(path);
      other.executeScript(c.elsewhere);
    }
    const std::string bytes = test::readBytes(path);
    try {
      isUndo ? undoStep(db, offered) : redoStep(db, offered);
      ADD_FAILURE() << "not refused";
    } catch (const DbError& e) {
      EXPECT_EQ(e.number(), dberr::kChangedElsewhere);
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
    EXPECT_EQ(test::readBytes(path), bytes) << "the refused step wrote to the ledger";
    EXPECT_EQ(isUndo ? stepToUndo(db) : stepToRedo(db), offered) << "the step is still there";

    {
      Database other = openLedger(path);
      other.executeScript(c.putBack);
    }
    ASSERT_TRUE(isUndo ? undoStep(db, offered) : redoStep(db, offered));
    EXPECT_EQ(ledgerRows(db), isUndo ? beforeStep : afterStep);
  }
}

TEST_F(UndoJournalTest, AStepTakenMeanwhileByAnotherCopyIsNotTakenAgain) {
  Database db = openLedger(path);
  insertTrade(db, kMsft);
  insertTrade(db, kIbm);
  const std::optional<UndoStepInfo> offered = stepToUndo(db);
  ASSERT_TRUE(offered);
  {
    Database other = openLedger(path);
    ASSERT_TRUE(undoStep(other));  // the other copy takes back IBM
  }
  const std::string bytes = test::readBytes(path);
  try {
    undoStep(db, offered);
    ADD_FAILURE() << "not refused";
  } catch (const DbError& e) {
    EXPECT_EQ(e.number(), dberr::kChangedElsewhere);
    EXPECT_STREQ(e.what(),
                 "The steps that can be undone were changed elsewhere (by another copy of the program, say).");
  }
  EXPECT_EQ(test::readBytes(path), bytes);
  EXPECT_EQ(test::readAll(path, "SELECT CompanySymbol FROM Trade ORDER BY rowid"),
            (Rows{{"AAPL"}, {"INTC"}, {"MSFT"}}));
}

}  // namespace
}  // namespace ledger
