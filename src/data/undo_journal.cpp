#include "undo_journal.h"

#include <map>

#include "db_error.h"
#include "ledger_writes.h"
#include "sqlite_util.h"

namespace ledger {

const char* const kUndoJournalSchema =
    "CREATE TABLE IF NOT EXISTS UndoStep (\n"
    "  Step   INTEGER PRIMARY KEY,\n"
    "  Label  TEXT NOT NULL,\n"
    "  Undone INTEGER NOT NULL DEFAULT 0 CHECK (Undone IN (0, 1))\n"
    ");\n"
    // The value columns have no type, so every value keeps the storage
    // class it had in the ledger (a REAL stays the same REAL, a Null a Null).
    "CREATE TABLE IF NOT EXISTS UndoChange (\n"
    "  Step      INTEGER NOT NULL,\n"
    "  Seq       INTEGER NOT NULL,\n"
    "  TableName TEXT NOT NULL CHECK (TableName IN ('Trade', 'Companies')),\n"
    "  RowKey    INTEGER NOT NULL,\n"
    "  Kind      TEXT NOT NULL CHECK (Kind IN ('Insert', 'Update', 'Delete')),\n"
    "  BeforeCompanyID, BeforeCompanySymbol, BeforeQuantity, BeforeBuySell,\n"
    "  BeforeDate, BeforePrice, BeforeCommission,\n"
    "  AfterCompanyID, AfterCompanySymbol, AfterQuantity, AfterBuySell,\n"
    "  AfterDate, AfterPrice, AfterCommission\n"
    ");\n"
    "CREATE INDEX IF NOT EXISTS UndoChangeByStep ON UndoChange (Step, Seq);\n";

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

std::span<const JournalColumn> columnsOf(JournalTable table) {
  if (table == JournalTable::Trade) return kTradeColumns;
  return kCompaniesColumns;
}

const char* nameOf(JournalTable table) { return table == JournalTable::Trade ? "Trade" : "Companies"; }

JournalTable tableNamed(std::string_view name) {
  if (name == "Trade") return JournalTable::Trade;
  if (name == "Companies") return JournalTable::Companies;
  throw DbError(dberr::kNotALedger, "The undo steps of this ledger name a table it does not have.");
}

enum class Kind { Insert, Update, Delete };

Kind kindNamed(std::string_view name) {
  if (name == "Insert") return Kind::Insert;
  if (name == "Update") return Kind::Update;
  if (name == "Delete") return Kind::Delete;
  throw DbError(dberr::kNotALedger, "The undo steps of this ledger hold a change of an unknown kind.");
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
  explicit Statements(sqlite3* db) : m_db(db) {}
  sqlite3_stmt* get(const std::string& sql) {
    auto it = m_cache.find(sql);
    if (it == m_cache.end()) it = m_cache.emplace(sql, detail::prepare(m_db, sql)).first;
    sqlite3_reset(it->second.get());
    sqlite3_clear_bindings(it->second.get());
    return it->second.get();
  }
  // Runs sql with the parameters; true when it gave a row whose first
  // column is not 0 (for EXISTS queries).
  bool ask(const std::string& sql, std::span<const Value> params) {
    sqlite3_stmt* stmt = get(sql);
    detail::bindAll(m_db, stmt, params);
    const bool row = detail::step(m_db, stmt) && sqlite3_column_int64(stmt, 0) != 0;
    sqlite3_reset(stmt);
    return row;
  }
  void run(const std::string& sql, std::span<const Value> params) {
    sqlite3_stmt* stmt = get(sql);
    detail::bindAll(m_db, stmt, params);
    while (detail::step(m_db, stmt)) {
    }
  }

 private:
  sqlite3* m_db;
  std::map<std::string, detail::StmtPtr> m_cache;
};

bool hasJournal(Database& db) {
  return db.scalar("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'UndoStep'").has_value();
}

std::optional<UndoStepInfo> firstStep(Database& db, const char* sql) {
  if (!hasJournal(db)) return std::nullopt;
  auto stmt = detail::prepare(db.handle(), sql);
  if (!detail::step(db.handle(), stmt.get())) return std::nullopt;
  const Value label = detail::columnValue(stmt.get(), 1);
  return UndoStepInfo{sqlite3_column_int64(stmt.get(), 0), toDisplayText(label)};
}

constexpr const char* kLastDone = "SELECT Step, Label FROM UndoStep WHERE Undone = 0 ORDER BY Step DESC LIMIT 1";
constexpr const char* kFirstUndone = "SELECT Step, Label FROM UndoStep WHERE Undone = 1 ORDER BY Step LIMIT 1";

// Drops the steps that were undone: a new change leaves nothing to redo.
void dropUndoneSteps(Database& db) {
  const std::optional<Value> first = db.scalar("SELECT min(Step) FROM UndoStep WHERE Undone = 1");
  if (!first || isNull(*first)) return;
  const Value from[] = {*first};
  db.execute("DELETE FROM UndoChange WHERE Step >= ?", from);
  db.execute("DELETE FROM UndoStep WHERE Step >= ?", from);
}

void dropOldestSteps(Database& db) {
  const Value keep[] = {std::int64_t{kMaxUndoSteps}};
  const std::optional<Value> last =
      db.scalar("SELECT Step FROM UndoStep ORDER BY Step DESC LIMIT 1 OFFSET ?1", keep);
  if (!last) return;
  const Value upTo[] = {*last};
  db.execute("DELETE FROM UndoChange WHERE Step <= ?", upTo);
  db.execute("DELETE FROM UndoStep WHERE Step <= ?", upTo);
}

// Records one change: before from the caller, after copied from the row as
// it is now (none when it is gone). A row added and removed again within
// the step has nothing to record.
std::string recordChangeSql(JournalTable table) {
  const auto columns = columnsOf(table);
  std::string before;
  for (size_t i = 0; i < columns.size(); ++i) before += ", ?" + std::to_string(5 + i);
  return std::string("INSERT INTO UndoChange (Step, Seq, TableName, RowKey, Kind, ") + joined(columns, "Before", false) +
         ", " + joined(columns, "After", false) + ") SELECT ?1, ?2, '" + nameOf(table) +
         "', ?3, CASE WHEN r.rowid IS NULL THEN 'Delete' WHEN ?4 THEN 'Update' ELSE 'Insert' END" + before + ", " +
         joined(columns, "r.", true) + " FROM (SELECT 1) LEFT JOIN " + nameOf(table) +
         " AS r ON r.rowid = ?3 WHERE r.rowid IS NOT NULL OR ?4";
}

// ---- undo and redo -------------------------------------------------------

struct Change {
  std::int64_t seq;
  JournalTable table;
  std::int64_t rowid;
  Kind kind;
};

std::vector<Change> changesOf(Database& db, std::int64_t step) {
  auto stmt = detail::prepare(db.handle(), "SELECT Seq, TableName, RowKey, Kind FROM UndoChange WHERE Step = ?1 ORDER BY Seq");
  sqlite3_bind_int64(stmt.get(), 1, step);
  std::vector<Change> changes;
  while (detail::step(db.handle(), stmt.get())) {
    changes.push_back({sqlite3_column_int64(stmt.get(), 0),
                       tableNamed(toDisplayText(detail::columnValue(stmt.get(), 1))),
                       sqlite3_column_int64(stmt.get(), 2), kindNamed(toDisplayText(detail::columnValue(stmt.get(), 3)))});
  }
  return changes;
}

enum class Direction { Undo, Redo };

// The row as one side of the change left it, for a message.
std::string describeRow(Statements& sql, std::int64_t step, const Change& c, const std::string& side) {
  const auto columns = columnsOf(c.table);
  sqlite3_stmt* stmt = sql.get("SELECT " + joined(columns, side, false) + " FROM UndoChange WHERE Step = ?1 AND Seq = ?2");
  sqlite3_bind_int64(stmt, 1, step);
  sqlite3_bind_int64(stmt, 2, c.seq);
  std::string text;
  if (sqlite3_step(stmt) == SQLITE_ROW) {
    if (c.table == JournalTable::Trade) {
      Value values[kTradeColumnCount];
      for (int i = 0; i < kTradeColumnCount; ++i) values[i] = detail::columnValue(stmt, i);
      text = "The trade " + describeTrade(tradeFromColumns(values));
    } else {
      text = "The company " + toDisplayText(detail::columnValue(stmt, 0));
    }
  }
  sqlite3_reset(stmt);
  return text.empty() ? std::string("A row of the ledger") : text;
}

[[noreturn]] void refuse(const std::string& why) { throw DbError(dberr::kChangedElsewhere, why); }

// Puts one row back the way the step found it (undo) or left it (redo),
// provided it still holds what the other side of the step says.
void apply(Statements& sql, std::int64_t step, const Change& c, Direction direction) {
  const bool undo = direction == Direction::Undo;
  const std::string from = undo ? "After" : "Before";
  const std::string to = undo ? "Before" : "After";
  const bool rowNow = undo ? c.kind != Kind::Delete : c.kind != Kind::Insert;
  const bool rowThen = undo ? c.kind != Kind::Insert : c.kind != Kind::Delete;
  const auto columns = columnsOf(c.table);
  const std::string table = nameOf(c.table);
  // ?1 and ?2 name the change in the journal, ?3 the row in its table.
  const Value key[] = {step, c.seq, c.rowid};
  const Value row[] = {c.rowid};

  if (rowNow) {
    std::string same;
    for (const JournalColumn& col : columns)
      same += std::string(" AND r.") + col.inTable + " IS u." + from + col.inJournal + " COLLATE BINARY";
    if (!sql.ask("SELECT EXISTS (SELECT 1 FROM " + table + " AS r, UndoChange AS u WHERE u.Step = ?1 AND u.Seq = ?2 "
                 "AND r.rowid = ?3" + same + ")",
                 key))
      refuse(describeRow(sql, step, c, from) +
             " was changed or deleted elsewhere (by another copy of the program, say) since.");
  } else if (sql.ask("SELECT EXISTS (SELECT 1 FROM " + table + " WHERE rowid = ?1)", row)) {
    refuse(describeRow(sql, step, c, to) +
           " cannot go back to its place in the ledger: something added elsewhere holds it now.");
  }

  if (rowNow && rowThen) {
    sql.run("UPDATE " + table + " SET (" + joined(columns, "", true) + ") = (SELECT " + joined(columns, to, false) +
                " FROM UndoChange WHERE Step = ?1 AND Seq = ?2) WHERE rowid = ?3",
            key);
  } else if (rowNow) {
    // A company may only go while no trade refers to it.
    if (c.table == JournalTable::Companies && sql.ask("SELECT EXISTS (SELECT 1 FROM Trade WHERE CompanyID = ?1)", row))
      refuse(describeRow(sql, step, c, from) + " is used by trades entered elsewhere since.");
    sql.run("DELETE FROM " + table + " WHERE rowid = ?1", row);
  } else {
    sql.run("INSERT INTO " + table + " (rowid, " + joined(columns, "", true) + ") SELECT ?3, " +
                joined(columns, to, false) + " FROM UndoChange WHERE Step = ?1 AND Seq = ?2",
            key);
  }
}

std::optional<UndoOutcome> move(Database& db, Direction direction, const std::optional<UndoStepInfo>& expected) {
  detail::Transaction tx(db.handle());
  const std::optional<UndoStepInfo> step =
      firstStep(db, direction == Direction::Undo ? kLastDone : kFirstUndone);
  if (expected && step != expected)
    refuse(direction == Direction::Undo
               ? "The steps that can be undone were changed elsewhere (by another copy of the program, say)."
               : "The steps that can be redone were changed elsewhere (by another copy of the program, say).");
  if (!step) return std::nullopt;

  std::vector<Change> changes = changesOf(db, step->number);
  Statements sql(db.handle());
  // Undo takes the changes back last first; redo makes them again in order.
  if (direction == Direction::Undo)
    for (auto it = changes.rbegin(); it != changes.rend(); ++it) apply(sql, step->number, *it, direction);
  else
    for (const Change& c : changes) apply(sql, step->number, c, direction);

  const Value mark[] = {std::int64_t{direction == Direction::Undo ? 1 : 0}, step->number};
  db.execute("UPDATE UndoStep SET Undone = ? WHERE Step = ?", mark);

  UndoOutcome outcome{*step, std::nullopt};
  for (const Change& c : changes) {
    if (c.table != JournalTable::Trade) continue;
    const Value row[] = {c.rowid};
    if (db.scalar("SELECT 1 FROM Trade WHERE rowid = ?1", row)) outcome.trade = c.rowid;
    break;
  }
  tx.commit();
  return outcome;
}

}  // namespace

std::optional<RowValues> readJournalRow(Database& db, JournalTable table, std::int64_t rowid) {
  const auto columns = columnsOf(table);
  auto stmt = detail::prepare(db.handle(), "SELECT " + joined(columns, "", true) + " FROM " + nameOf(table) +
                                               " WHERE rowid = ?1");
  sqlite3_bind_int64(stmt.get(), 1, rowid);
  if (!detail::step(db.handle(), stmt.get())) return std::nullopt;
  RowValues values;
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) values.push_back(detail::columnValue(stmt.get(), i));
  return values;
}

void recordUndoStep(Database& db, std::string_view label, std::span<const RowChange> changes) {
  detail::exec(db.handle(), kUndoJournalSchema);
  dropUndoneSteps(db);
  const Value name[] = {std::string(label)};
  db.execute("INSERT INTO UndoStep (Label) VALUES (?)", name);
  const std::int64_t step = sqlite3_last_insert_rowid(db.handle());

  Statements sql(db.handle());
  std::int64_t seq = 0;
  for (const RowChange& change : changes) {
    const auto columns = columnsOf(change.table);
    std::vector<Value> params = {step, ++seq, change.rowid, std::int64_t{change.before ? 1 : 0}};
    for (size_t i = 0; i < columns.size(); ++i)
      params.push_back(change.before && i < change.before->size() ? (*change.before)[i] : Value{});
    sql.run(recordChangeSql(change.table), params);
  }
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
  detail::exec(db.handle(), "DROP TABLE IF EXISTS UndoChange; DROP TABLE IF EXISTS UndoStep;");
}

}  // namespace ledger
