#include "ledger/undo_journal.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>

#include "engine/db_error.h"
#include "ledger/change_hooks.h"
#include "engine/statement.h"
#include "ledger/kept_figures.h"
#include "ledger/ledger_change.h"
#include "ledger/ledger_writes.h"

namespace ledger {

const char* const kUndoJournalSchema =
    "CREATE TABLE IF NOT EXISTS UndoStep (\n"
    "  Step   INTEGER PRIMARY KEY,\n"
    "  Label  TEXT NOT NULL,\n"
    "  Undone INTEGER NOT NULL DEFAULT 0 CHECK (Undone = 0 OR Undone = 1)\n"
    ");\n"
    // The value columns have no type, so every value keeps the storage
    // class it had in the ledger (a REAL stays the same REAL, a Null a Null).
    // The checks compare with OR: an IN list of three or more builds a
    // temporary table for every row written.
    "CREATE TABLE IF NOT EXISTS UndoChange (\n"
    "  Step      INTEGER NOT NULL,\n"
    "  Seq       INTEGER NOT NULL,\n"
    "  TableName TEXT NOT NULL CHECK (TableName = 'Trade' OR TableName = 'Companies'),\n"
    "  RowKey    INTEGER NOT NULL,\n"
    "  Kind      TEXT NOT NULL CHECK (Kind = 'Insert' OR Kind = 'Update' OR Kind = 'Delete'),\n"
    "  BeforeCompanyID, BeforeCompanySymbol, BeforeQuantity, BeforeBuySell,\n"
    "  BeforeDate, BeforePrice, BeforeCommission,\n"
    "  AfterCompanyID, AfterCompanySymbol, AfterQuantity, AfterBuySell,\n"
    "  AfterDate, AfterPrice, AfterCommission\n"
    ");\n"
    "CREATE INDEX IF NOT EXISTS UndoChangeByRow ON UndoChange (Step, TableName, RowKey);\n";

// UndoChange's check names its two tables and stands in existing ledgers,
// so the rows of splits and dividends have a table of their own: symbol,
// date, then the event's figures in order (a split's new and old shares; a
// dividend's gross, withholding, shares bought and their price).
const char* const kUndoEventJournalSchema =
    "CREATE TABLE IF NOT EXISTS UndoEventChange (\n"
    "  Step      INTEGER NOT NULL,\n"
    "  Seq       INTEGER NOT NULL,\n"
    "  TableName TEXT NOT NULL CHECK (TableName = 'Split' OR TableName = 'Dividend'),\n"
    "  RowKey    INTEGER NOT NULL,\n"
    "  Kind      TEXT NOT NULL CHECK (Kind = 'Insert' OR Kind = 'Update' OR Kind = 'Delete'),\n"
    "  BeforeCompanySymbol, BeforeDate, BeforeValue1, BeforeValue2, BeforeValue3, BeforeValue4,\n"
    "  AfterCompanySymbol, AfterDate, AfterValue1, AfterValue2, AfterValue3, AfterValue4\n"
    ");\n"
    "CREATE INDEX IF NOT EXISTS UndoEventChangeByRow ON UndoEventChange (Step, TableName, RowKey);\n";

// UndoEventChange's check names its two tables and stands in ledgers that
// hold events, so the rows of closing prices have a table of their own too.
const char* const kUndoPriceJournalSchema =
    "CREATE TABLE IF NOT EXISTS UndoPriceChange (\n"
    "  Step      INTEGER NOT NULL,\n"
    "  Seq       INTEGER NOT NULL,\n"
    "  TableName TEXT NOT NULL CHECK (TableName = 'Price'),\n"
    "  RowKey    INTEGER NOT NULL,\n"
    "  Kind      TEXT NOT NULL CHECK (Kind = 'Insert' OR Kind = 'Update' OR Kind = 'Delete'),\n"
    "  BeforeCompanySymbol, BeforeDate, BeforeClose,\n"
    "  AfterCompanySymbol, AfterDate, AfterClose\n"
    ");\n"
    "CREATE INDEX IF NOT EXISTS UndoPriceChangeByRow ON UndoPriceChange (Step, TableName, RowKey);\n";

namespace {

// A table's columns that a step keeps, as the table names them and as the
// journal does after "Before" or "After".
struct JournalColumn {
  const char* inTable;
  const char* inJournal;
};
constexpr JournalColumn kTradeColumns[] = {
    {"CompanyID", "CompanyID"}, {"CompanySymbol", "CompanySymbol"}, {"Quantity", "Quantity"},
    {"[Buy/Sell]", "BuySell"},  {"Date", "Date"},                   {"Price", "Price"},
    {"Commission", "Commission"}};
// A company's number is its row id, so only the symbol is kept.
constexpr JournalColumn kCompaniesColumns[] = {{"CompanySymbol", "CompanySymbol"}};
constexpr JournalColumn kSplitColumns[] = {
    {"CompanySymbol", "CompanySymbol"}, {"Date", "Date"}, {"NewShares", "Value1"}, {"OldShares", "Value2"}};
constexpr JournalColumn kDividendColumns[] = {{"CompanySymbol", "CompanySymbol"}, {"Date", "Date"},
                                              {"Gross", "Value1"},                {"Withholding", "Value2"},
                                              {"ReinvestQuantity", "Value3"},     {"ReinvestPrice", "Value4"}};
constexpr JournalColumn kPriceColumns[] = {{"CompanySymbol", "CompanySymbol"}, {"Date", "Date"}, {"Close", "Close"}};

constexpr JournalTable kJournalTables[] = {JournalTable::Trade, JournalTable::Companies, JournalTable::Split,
                                           JournalTable::Dividend, JournalTable::Price};

// The journal tables beside UndoChange, each made by the first step that
// changes a row of its tables.
constexpr const char* kSideJournals[] = {"UndoEventChange", "UndoPriceChange"};

std::span<const JournalColumn> columnsOf(JournalTable table) {
  switch (table) {
    case JournalTable::Trade: return kTradeColumns;
    case JournalTable::Companies: return kCompaniesColumns;
    case JournalTable::Split: return kSplitColumns;
    case JournalTable::Dividend: return kDividendColumns;
    case JournalTable::Price: return kPriceColumns;
  }
  return kCompaniesColumns;
}

const char* nameOf(JournalTable table) {
  switch (table) {
    case JournalTable::Trade: return "Trade";
    case JournalTable::Companies: return "Companies";
    case JournalTable::Split: return "Split";
    case JournalTable::Dividend: return "Dividend";
    case JournalTable::Price: return "Price";
  }
  return "Companies";
}

bool isEvent(JournalTable table) { return table == JournalTable::Split || table == JournalTable::Dividend; }

// Tables that hold one row per symbol and date.
bool oneADay(JournalTable table) { return isEvent(table) || table == JournalTable::Price; }

// The journal table that keeps the table's rows.
std::string journalOf(JournalTable table) {
  if (table == JournalTable::Price) return "UndoPriceChange";
  return isEvent(table) ? "UndoEventChange" : "UndoChange";
}

bool hasTable(Database& db, const char* name) {
  const Value key[] = {std::string(name)};
  return db.scalar("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE", key)
      .has_value();
}

std::string joined(std::span<const JournalColumn> columns, const std::string& prefix, bool table) {
  std::string s;
  for (const JournalColumn& c : columns) {
    if (!s.empty()) s += ", ";
    s += prefix + (table ? c.inTable : c.inJournal);
  }
  return s;
}

// Prepared statements by their text, reset and unbound for each use, so a
// step of thousands of rows prepares each statement once.
class Statements {
 public:
  explicit Statements(Database& db) : m_db(db) {}
  Database& db() const { return m_db; }
  Statement& get(const std::string& sql) {
    auto it = m_cache.find(sql);
    if (it == m_cache.end()) it = m_cache.emplace(sql, Statement(m_db, sql)).first;
    it->second.reset();
    it->second.clearBindings();
    return it->second;
  }
  // Runs sql with the parameters; true when it gave a row whose first
  // column is not 0 (for EXISTS queries).
  bool ask(const std::string& sql, std::span<const Value> params) {
    Statement& stmt = get(sql);
    stmt.bindAll(params);
    const bool row = stmt.step() && stmt.integer(0) != 0;
    stmt.reset();
    return row;
  }
  void run(const std::string& sql, std::span<const Value> params) {
    Statement& stmt = get(sql);
    stmt.bindAll(params);
    stmt.run();
  }
  // Runs the insert with params, then the columns of the row the query
  // gives (Null without a row) bound after them as they are, storage class
  // and all. A single-row insert with VALUES needs no statement journal,
  // which an INSERT ... SELECT would allocate and free at every row.
  // Returns whether the query gave a row.
  bool insertRow(const std::string& insert, std::span<const Value> params, const std::string& query,
                 std::span<const Value> queryParams) {
    Statement& from = get(query);
    from.bindAll(queryParams);
    const bool found = from.step();
    Statement& to = get(insert);
    to.bindAll(params);
    if (found)
      for (int i = 0; i < from.columnCount(); ++i) to.bindColumn(static_cast<int>(params.size()) + 1 + i, from, i);
    to.run();
    from.reset();
    return found;
  }

 private:
  Database& m_db;
  std::map<std::string, Statement> m_cache;
};

bool hasJournal(Database& db) {
  return db.scalar("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'UndoStep' COLLATE NOCASE")
      .has_value();
}

std::optional<UndoStepInfo> firstStep(Database& db, const char* sql) {
  if (!hasJournal(db)) return std::nullopt;
  Statement stmt(db, sql);
  if (!stmt.step()) return std::nullopt;
  const Value label = stmt.value(1);
  return UndoStepInfo{stmt.integer(0), toDisplayText(label)};
}

constexpr const char* kLastDone = "SELECT Step, Label FROM UndoStep WHERE Undone = 0 ORDER BY Step DESC LIMIT 1";
constexpr const char* kFirstUndone = "SELECT Step, Label FROM UndoStep WHERE Undone = 1 ORDER BY Step LIMIT 1";

// Drops the steps that were undone: a new change leaves nothing to redo.
void dropUndoneSteps(Database& db) {
  // Undo and redo keep the undone steps the newest ones, so a newest step
  // not undone (the usual case) means there are none, found without
  // reading the whole journal.
  const std::optional<Value> newest = db.scalar("SELECT Undone FROM UndoStep ORDER BY Step DESC LIMIT 1");
  if (!newest || *newest == Value(std::int64_t{0})) return;
  const std::optional<Value> first = db.scalar("SELECT min(Step) FROM UndoStep WHERE Undone = 1");
  if (!first || isNull(*first)) return;
  const Value from[] = {*first};
  db.execute("DELETE FROM UndoChange WHERE Step >= ?", from);
  for (const char* journal : kSideJournals)
    if (hasTable(db, journal)) db.execute(std::string("DELETE FROM ") + journal + " WHERE Step >= ?", from);
  db.execute("DELETE FROM UndoStep WHERE Step >= ?", from);
}

void dropOldestSteps(Database& db) {
  // No more steps than numbers from the oldest to the newest: while those
  // are few enough, nothing is read further.
  const std::optional<Value> span =
      db.scalar("SELECT (SELECT max(Step) FROM UndoStep) - (SELECT min(Step) FROM UndoStep)");
  if (const auto* numbers = span ? std::get_if<std::int64_t>(&*span) : nullptr; numbers && *numbers < kMaxUndoSteps)
    return;
  const Value keep[] = {std::int64_t{kMaxUndoSteps}};
  const std::optional<Value> last =
      db.scalar("SELECT Step FROM UndoStep ORDER BY Step DESC LIMIT 1 OFFSET ?1", keep);
  if (!last) return;
  const Value upTo[] = {*last};
  db.execute("DELETE FROM UndoChange WHERE Step <= ?", upTo);
  for (const char* journal : kSideJournals)
    if (hasTable(db, journal)) db.execute(std::string("DELETE FROM ") + journal + " WHERE Step <= ?", upTo);
  db.execute("DELETE FROM UndoStep WHERE Step <= ?", upTo);
}

// "?first, ?first+1, ..." for count parameters.
std::string marks(int first, size_t count) {
  std::string s;
  for (size_t i = 0; i < count; ++i) s += (i ? ", ?" : "?") + std::to_string(first + static_cast<int>(i));
  return s;
}

std::string selectRowSql(JournalTable table) {
  return "SELECT " + joined(columnsOf(table), "", true) + " FROM " + nameOf(table) + " WHERE rowid = ?1";
}

// One change: where it is, its kind, the values before, then the values
// after (bound from the row itself).
std::string recordChangeSql(JournalTable table) {
  const auto columns = columnsOf(table);
  return "INSERT INTO " + journalOf(table) + " (Step, Seq, TableName, RowKey, Kind, " +
         joined(columns, "Before", false) +
         ", " + joined(columns, "After", false) + ") VALUES (?1, ?2, '" + nameOf(table) + "', ?3, ?4, " +
         marks(5, columns.size()) + ", " + marks(5 + static_cast<int>(columns.size()), columns.size()) + ")";
}

// Records the rows first..last of table, every one added by the step, as
// added: one statement for any number of rows, numbered on from seq in
// row order. A row added and removed again within the step is not there
// and gets no number. Returns how many were recorded.
std::int64_t recordAddedRows(Statements& sql, std::int64_t step, std::int64_t seq, JournalTable table,
                             std::int64_t first, std::int64_t last) {
  const auto columns = columnsOf(table);
  // With every row of the run still there, a row's number is where it
  // stands in the run; row_number() (a pass through a window's buffer, a
  // third of the cost for an import's 250,000 rows) only when one is gone.
  const Value range[] = {first, last};
  const bool whole = sql.ask(
      std::string("SELECT count(*) = ?2 - ?1 + 1 FROM ") + nameOf(table) + " WHERE rowid BETWEEN ?1 AND ?2", range);
  const char* number = whole ? "?2 + (rowid - ?3) + 1" : "?2 + row_number() OVER (ORDER BY rowid)";
  const std::string insert = "INSERT INTO " + journalOf(table) + " (Step, Seq, TableName, RowKey, Kind, " +
                             joined(columns, "After", false) + ") SELECT ?1, " + number + ", '" +
                             nameOf(table) + "', rowid, 'Insert', " + joined(columns, "", true) + " FROM " +
                             nameOf(table) + " WHERE rowid BETWEEN ?3 AND ?4 ORDER BY rowid";
  const Value params[] = {step, seq, first, last};
  sql.run(insert, params);
  return sql.db().changes();
}

// ---- undo and redo -------------------------------------------------------
//
// A step holds each row it changed once, so its changes do not depend on
// one another's order and are taken back (or made again) a table at a time
// with one statement per kind of change: an undo of an import of thousands
// of trades runs a handful of statements, not thousands.

enum class Direction { Undo, Redo };

// The row as one side of the step leaves it, for a message.
std::string describeRow(Statements& sql, std::int64_t step, JournalTable table, std::int64_t rowid,
                        const std::string& side) {
  const auto columns = columnsOf(table);
  Statement& stmt = sql.get("SELECT " + joined(columns, side, false) + " FROM " + journalOf(table) +
                            " WHERE Step = ?1 AND TableName = ?2 AND RowKey = ?3");
  const Value key[] = {step, std::string(nameOf(table)), rowid};
  stmt.bindAll(key);
  std::string text = "A row of the ledger";
  // Only for a message: a row that cannot be read is named in general.
  bool found = false;
  passOver([&] { found = stmt.step(); });
  if (found) {
    if (table == JournalTable::Trade) {
      Value values[kTradeColumnCount];
      for (int i = 0; i < kTradeColumnCount; ++i) values[i] = stmt.value(i);
      text = "The trade " + describeTrade(tradeFromColumns(values));
    } else if (oneADay(table)) {
      const char* what = table == JournalTable::Split      ? "The split of "
                         : table == JournalTable::Dividend ? "The dividend of "
                                                           : "The price of ";
      text = what + toDisplayText(stmt.value(0)) + " " + toDisplayText(stmt.value(1));
    } else {
      text = "The company " + toDisplayText(stmt.value(0));
    }
  }
  stmt.reset();
  return text;
}

[[noreturn]] void refuse(const std::string& why) { throw DbError(dberr::kChangedElsewhere, why); }

// The first row id the query gives for the step, if any.
std::optional<std::int64_t> firstRow(Statements& sql, const std::string& query, std::int64_t step) {
  Statement& stmt = sql.get(query);
  stmt.bind(1, step);
  std::optional<std::int64_t> row;
  if (stmt.step()) row = stmt.integer(0);
  stmt.reset();
  return row;
}

// Takes back (undo) or makes again (redo) the step's changes to one table,
// provided every row still holds what the step left (undo) or found
// (redo), and no row the step would add back has been taken meanwhile.
// The kinds of change ("Insert", "Update", "Delete") a step made to each
// table, so that only the statements those need are run.
using StepKinds = std::set<std::pair<std::string, std::string>>;

StepKinds kindsOf(Statements& sql, std::int64_t step) {
  StepKinds kinds;
  const auto read = [&](const std::string& journal) {
    Statement& stmt = sql.get("SELECT DISTINCT TableName, Kind FROM " + journal + " WHERE Step = ?1");
    stmt.bind(1, step);
    while (stmt.step()) kinds.emplace(toDisplayText(stmt.value(0)), toDisplayText(stmt.value(1)));
  };
  read("UndoChange");
  for (const char* journal : kSideJournals)
    if (hasTable(sql.db(), journal)) read(journal);
  return kinds;
}

void takeTable(Statements& sql, std::int64_t step, const StepKinds& kinds, JournalTable t, Direction direction) {
  const bool undo = direction == Direction::Undo;
  const std::string from = undo ? "After" : "Before";
  const std::string to = undo ? "Before" : "After";
  const std::string table = nameOf(t);
  const std::string journal = journalOf(t);
  const auto columns = columnsOf(t);
  const std::string ofStep = "Step = ?1 AND TableName = '" + table + "'";
  // Rows that are not in the ledger now and come back, and rows that go.
  const std::string comesBack = undo ? "Delete" : "Insert";
  const std::string goes = undo ? "Insert" : "Delete";
  const auto has = [&](const std::string& kind) { return kinds.count({table, kind}) > 0; };

  if (has(goes) || has("Update")) {
    std::string same;
    for (const JournalColumn& col : columns)
      same += std::string(" AND r.") + col.inTable + " IS u." + from + col.inJournal + " COLLATE BINARY";
    const std::string changedSql = "SELECT u.RowKey FROM " + journal + " AS u WHERE u." + ofStep + " AND u.Kind <> '" +
                                   comesBack + "' AND NOT EXISTS (SELECT 1 FROM " + table +
                                   " AS r WHERE r.rowid = u.RowKey" + same + ") ORDER BY u.Seq LIMIT 1";
    if (const auto changed = firstRow(sql, changedSql, step))
      refuse(describeRow(sql, step, t, *changed, from) +
             " was changed or deleted elsewhere (by another copy of the program, say) since.");
  }
  if (has(comesBack)) {
    const std::string takenSql = "SELECT u.RowKey FROM " + journal + " AS u WHERE u." + ofStep + " AND u.Kind = '" +
                                 comesBack + "' AND EXISTS (SELECT 1 FROM " + table +
                                 " WHERE rowid = u.RowKey) ORDER BY u.Seq LIMIT 1";
    if (const auto taken = firstRow(sql, takenSql, step))
      refuse(describeRow(sql, step, t, *taken, to) +
             " cannot go back to its place in the ledger: something added elsewhere holds it now.");
  }
  // One event (or price) per symbol and date: one entered elsewhere since
  // for the symbol and date a row goes back to stops the step.
  if (oneADay(t) && (has(comesBack) || has("Update"))) {
    const std::string heldSql = "SELECT u.RowKey FROM " + journal + " AS u WHERE u." + ofStep + " AND u.Kind <> '" +
                                goes + "' AND EXISTS (SELECT 1 FROM " + table + " AS r WHERE r.CompanySymbol = u." +
                                to + "CompanySymbol AND r.Date = u." + to + "Date AND r.rowid <> u.RowKey AND " +
                                "r.rowid NOT IN (SELECT RowKey FROM " + journal + " WHERE " + ofStep + " AND Kind = '" +
                                goes + "')) ORDER BY u.Seq LIMIT 1";
    if (const auto held = firstRow(sql, heldSql, step))
      refuse(describeRow(sql, step, t, *held, to) +
             " cannot go back: another one of that symbol and date was entered elsewhere since.");
  }

  const Value key[] = {step};
  if (has(goes))
    sql.run("DELETE FROM " + table + " WHERE rowid IN (SELECT RowKey FROM " + journal + " WHERE " + ofStep +
                " AND Kind = '" + goes + "')",
            key);
  if (has("Update"))
    sql.run("UPDATE " + table + " SET (" + joined(columns, "", true) + ") = (SELECT " + joined(columns, to, false) +
                " FROM " + journal + " WHERE " + ofStep + " AND RowKey = " + table +
                ".rowid) WHERE rowid IN (SELECT RowKey FROM " + journal + " WHERE " + ofStep + " AND Kind = 'Update')",
            key);
  if (has(comesBack))
    sql.run("INSERT INTO " + table + " (rowid, " + joined(columns, "", true) + ") SELECT RowKey, " +
                joined(columns, to, false) + " FROM " + journal + " WHERE " + ofStep + " AND Kind = '" + comesBack +
                "' ORDER BY RowKey",
            key);
}

std::optional<UndoOutcome> move(Database& db, Direction direction, const std::optional<UndoStepInfo>& expected) {
  LedgerChange change(db);
  const bool undo = direction == Direction::Undo;
  const std::optional<UndoStepInfo> step = firstStep(db, undo ? kLastDone : kFirstUndone);
  if (expected && step != expected)
    refuse(undo ? "The steps that can be undone were changed elsewhere (by another copy of the program, say)."
                : "The steps that can be redone were changed elsewhere (by another copy of the program, say).");
  if (!step) return std::nullopt;

  Statements sql(db);
  const StepKinds kinds = kindsOf(sql, step->number);
  for (const JournalTable table : kJournalTables) takeTable(sql, step->number, kinds, table, direction);
  // A company may only go while no trade refers to it.
  const std::string companyGoes = undo ? "Insert" : "Delete";
  if (kinds.count({"Companies", companyGoes})) {
    const std::string usedSql = "SELECT u.RowKey FROM UndoChange AS u WHERE u.Step = ?1 AND u.TableName = 'Companies' "
                                "AND u.Kind = '" + companyGoes +
                                "' AND EXISTS (SELECT 1 FROM Trade WHERE CompanyID = u.RowKey) LIMIT 1";
    if (const auto used = firstRow(sql, usedSql, step->number))
      refuse(describeRow(sql, step->number, JournalTable::Companies, *used, undo ? "After" : "Before") +
             " is used by trades entered elsewhere since.");
  }

  const Value mark[] = {std::int64_t{undo ? 1 : 0}, step->number};
  db.execute("UPDATE UndoStep SET Undone = ? WHERE Step = ?", mark);
  followUndoStep(db, step->number, undo);

  UndoOutcome outcome{*step, std::nullopt};
  if (const auto first = firstRow(sql, "SELECT RowKey FROM UndoChange WHERE Step = ?1 AND TableName = 'Trade' "
                                       "ORDER BY Seq LIMIT 1",
                                  step->number)) {
    const Value row[] = {*first};
    if (db.scalar("SELECT 1 FROM Trade WHERE rowid = ?1", row)) outcome.trade = *first;
  }
  change.commit();
  return outcome;
}

}  // namespace

std::optional<RowValues> readJournalRow(Database& db, JournalTable table, std::int64_t rowid) {
  const auto columns = columnsOf(table);
  Statement stmt(db, "SELECT " + joined(columns, "", true) + " FROM " + nameOf(table) + " WHERE rowid = ?1");
  stmt.bind(1, rowid);
  if (!stmt.step()) return std::nullopt;
  RowValues values;
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) values.push_back(stmt.value(i));
  return values;
}

namespace {

// Whether the journal's three objects are there; parsing their script at
// every save cost more than the save's own rows. (ORs, not an IN list: an
// IN list is built as a temporary table at every run.)
bool journalComplete(Database& db) {
  const auto found = db.scalar(
      "SELECT count(*) FROM sqlite_schema WHERE name = 'UndoStep' COLLATE NOCASE OR "
      "name = 'UndoChange' COLLATE NOCASE OR name = 'UndoChangeByRow' COLLATE NOCASE");
  return found && *found == Value(std::int64_t{3});
}

}  // namespace

void recordUndoStep(Database& db, std::string_view label, std::span<const RowChange> changes) {
  if (!journalComplete(db)) db.executeScript(kUndoJournalSchema);
  if (std::any_of(changes.begin(), changes.end(), [](const RowChange& c) { return isEvent(c.table); }))
    db.executeScript(kUndoEventJournalSchema);
  if (std::any_of(changes.begin(), changes.end(), [](const RowChange& c) { return c.table == JournalTable::Price; }))
    db.executeScript(kUndoPriceJournalSchema);
  dropUndoneSteps(db);
  const Value name[] = {std::string(label)};
  db.execute("INSERT INTO UndoStep (Label) VALUES (?)", name);
  const std::int64_t step = db.lastInsertRowid();

  // A row changed twice in one step (deleted, then its row id given to a
  // new row) is one change: from what it held first to what it holds now.
  std::vector<const RowChange*> rows;
  std::map<std::pair<JournalTable, std::int64_t>, size_t> seen;
  for (const RowChange& change : changes)
    if (seen.emplace(std::pair(change.table, change.rowid), rows.size()).second) rows.push_back(&change);

  Statements sql(db);
  std::int64_t seq = 0;
  for (std::size_t i = 0; i < rows.size();) {
    const RowChange& change = *rows[i];
    // Rows added one after another (an import's) are recorded together.
    std::size_t run = i + 1;
    while (run < rows.size() && !change.before && !rows[run]->before && rows[run]->table == change.table &&
           rows[run - 1]->rowid < std::numeric_limits<std::int64_t>::max() &&
           rows[run]->rowid == rows[run - 1]->rowid + 1)
      ++run;
    if (run - i > 1) {
      seq += recordAddedRows(sql, step, seq, change.table, change.rowid, rows[run - 1]->rowid);
      i = run;
      continue;
    }
    ++i;
    const Value key[] = {change.rowid};
    const bool after = sql.ask("SELECT EXISTS (" + selectRowSql(change.table) + ")", key);
    // A row added and removed again within the step has nothing to record.
    if (!change.before && !after) continue;
    const char* kind = !after ? "Delete" : change.before ? "Update" : "Insert";
    const auto columns = columnsOf(change.table);
    std::vector<Value> params = {step, ++seq, change.rowid, std::string(kind)};
    for (size_t c = 0; c < columns.size(); ++c)
      params.push_back(change.before && c < change.before->size() ? (*change.before)[c] : Value{});
    sql.insertRow(recordChangeSql(change.table), params, selectRowSql(change.table), key);
  }
  followUndoStep(db, step, /*undone=*/false);
  dropOldestSteps(db);
}

std::string describeTrade(const Trade& trade) {
  const std::string shares = trade.quantity == 1 ? " share)" : " shares)";
  return trade.symbol + " " + trade.date + " (" + formatNumber(trade.quantity) + shares;
}

std::optional<UndoStepInfo> stepToUndo(Database& db) { return firstStep(db, kLastDone); }

std::optional<UndoStepInfo> stepToRedo(Database& db) { return firstStep(db, kFirstUndone); }

std::optional<UndoOutcome> undoStep(Database& db, const std::optional<UndoStepInfo>& expected) {
  return move(db, Direction::Undo, expected);
}

std::optional<UndoOutcome> redoStep(Database& db, const std::optional<UndoStepInfo>& expected) {
  return move(db, Direction::Redo, expected);
}

void dropUndoJournal(Database& db) {
  db.executeScript(
      "DROP TABLE IF EXISTS UndoPriceChange; DROP TABLE IF EXISTS UndoEventChange; DROP TABLE IF EXISTS UndoChange; "
      "DROP TABLE IF EXISTS UndoStep;");
}

}  // namespace ledger
