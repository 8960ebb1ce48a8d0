#include "ledger/ledger_objects.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>

#include "engine/db_error.h"
#include "ledger/kept_figures.h"
#include "ledger/ledger_schema.h"
#include "ledger/notifier.h"
#include "engine/query_def.h"
#include "engine/sqlite_util.h"
#include "ledger/undo_journal.h"
#include "engine/untrusted_file.h"
#include "ledger/view_queries.h"

namespace ledger {

namespace {

// ---- the program's objects ------------------------------------------------

LedgerObjects makeTemplateObjects() {
  LedgerObjects objects;
  objects.addStatements(ledgerSchemaSql());
  return objects;
}

LedgerObjects makeProgramObjects() {
  // The template: its tables, indexes and stored queries.
  LedgerObjects objects = makeTemplateObjects();
  // The datasheet's sorted queries.
  objects.addQuery("TradeSorted", kTradeSortedSql);
  objects.addQuery("BoughtSorted", kBoughtSortedSql);
  objects.addQuery("SoldSorted", kSoldSortedSql);
  // The history's per-company queries: the symbol changes their text,
  // never their columns.
  const auto history = historyQueryTexts("");
  for (size_t i = 0; i < kHistoryQueryNames.size(); ++i) objects.addQuery(kHistoryQueryNames[i], history[i]);
  // Features that add tables, indexes or views to ledgers add the statement
  // that makes each one here.
  // The undo journal, made by the first change.
  objects.addStatements(kUndoJournalSchema);
  // The figures kept for Profit/Loss and the history, made by the first
  // figures read from a writable ledger.
  objects.addStatements(kKeptTotalsSchema);
  return objects;
}

// ---- describing a schema --------------------------------------------------

// Past this many objects a file is plainly not a ledger of this program;
// the rest are listed by name and kind only, without asking for columns.
constexpr size_t kObjectsDescribedInFull = 1000;

std::string textAt(sqlite3_stmt* stmt, int col) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
  return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt, col))) : std::string();
}

// Runs sql with the text parameters and collects column 0 of every row.
std::vector<std::string> firstColumn(sqlite3* db, const char* sql, std::vector<Value> params) {
  auto stmt = detail::prepare(db, sql);
  detail::bindAll(db, stmt.get(), params);
  std::vector<std::string> out;
  while (detail::step(db, stmt.get())) out.push_back(textAt(stmt.get(), 0));
  return out;
}

void describeTable(sqlite3* db, SchemaObject& object, bool virtualTable) {
  if (virtualTable) {
    object.kind = "virtual table";
    return;
  }
  object.columns = firstColumn(db, "SELECT name FROM pragma_table_xinfo(?1, 'main')", {object.name});
}

void describeView(sqlite3* db, SchemaObject& object) {
  // A view that cannot be read (a missing table, a function refused as
  // unsafe) has no columns, and so matches none of the program's views.
  object.table.clear();
  try {
    object.columns = firstColumn(db, "SELECT name FROM pragma_table_xinfo(?1, 'main')", {object.name});
  } catch (const DbError& e) {
    object.readsMissingObject = std::string_view(e.what()).find("no such table") != std::string_view::npos;
  }
}

void describeIndex(sqlite3* db, SchemaObject& object) {
  object.columns = firstColumn(db, "SELECT name FROM pragma_index_info(?1, 'main') ORDER BY seqno", {object.name});
  auto stmt = detail::prepare(db, "SELECT \"unique\", partial FROM pragma_index_list(?2, 'main') WHERE name = ?1");
  const Value params[] = {object.name, object.table};
  detail::bindAll(db, stmt.get(), params);
  if (detail::step(db, stmt.get())) {
    object.kind = std::string(sqlite3_column_int(stmt.get(), 0) ? "unique " : "") +
                  (sqlite3_column_int(stmt.get(), 1) ? "partial " : "") + "index";
  }
}

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && sqlite3_strnicmp(a.data(), b.data(), static_cast<int>(a.size())) == 0;
}

// Tables SQLite itself keeps in a file: AUTOINCREMENT's counters and the
// statistics ANALYZE leaves for the query planner.
bool isEngineBookkeeping(const SchemaObject& object) {
  if (object.kind != "table") return false;
  for (const char* name : {"sqlite_sequence", "sqlite_stat1", "sqlite_stat4"})
    if (sameName(object.name, name)) return true;
  return false;
}

// A name as a message shows it: printable, and not a page long.
std::string printableName(const std::string& name) {
  constexpr size_t kLongest = 60;
  std::string shown;
  for (size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    // Stop before a UTF-8 sequence that would not fit.
    if (shown.size() >= kLongest && (c & 0xC0) != 0x80) {
      shown += "...";
      break;
    }
    shown += (c < 0x20 || c == 0x7f) ? '?' : static_cast<char>(c);
  }
  return shown;
}

}  // namespace

// ---- SchemaObject / ForeignObject -------------------------------------------

bool SchemaObject::sameShapeAs(const SchemaObject& other) const {
  if (kind != other.kind || !sameName(table, other.table) || columns.size() != other.columns.size()) return false;
  for (size_t i = 0; i < columns.size(); ++i)
    if (!sameName(columns[i], other.columns[i])) return false;
  return true;
}

std::string ForeignObject::describe() const {
  return kind + " \"" + printableName(name) + "\"" + (differs ? " (not as this program makes it)" : "");
}

// ---- LedgerObjects ----------------------------------------------------------

LedgerObjects::LedgerObjects() {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  m_db.reset(raw, [](sqlite3* db) { sqlite3_close_v2(db); });
  if (rc != SQLITE_OK) detail::throwSqlite(raw, rc, "the list of ledger objects");
  // The same settings as every ledger, so the same statements give the
  // same objects.
  guardAgainstUntrustedFile(raw);
}

void LedgerObjects::addStatements(std::string_view sql) {
  detail::exec(m_db.get(), sql);
  m_objects = describeSchema(m_db.get());
}

void LedgerObjects::addQuery(std::string_view name, std::string_view jetSql) {
  QueryDef::create(m_db.get(), name, jetSql);
  m_objects = describeSchema(m_db.get());
}

const SchemaObject* LedgerObjects::find(std::string_view name) const {
  const auto it = std::find_if(m_objects.begin(), m_objects.end(),
                               [&](const SchemaObject& o) { return sameName(o.name, name); });
  return it == m_objects.end() ? nullptr : &*it;
}

const LedgerObjects& programLedgerObjects() {
  static const LedgerObjects objects = makeProgramObjects();
  return objects;
}

const LedgerObjects& templateLedgerObjects() {
  static const LedgerObjects objects = makeTemplateObjects();
  return objects;
}

// ---- comparing --------------------------------------------------------------

std::vector<SchemaObject> describeSchema(sqlite3* db) {
  std::vector<SchemaObject> objects;
  std::vector<bool> virtualTables;
  {
    // A virtual table has no pages of its own: its root page is 0. Asking
    // for its columns would run its module's code, so it is never asked.
    auto stmt = detail::prepare(
        db, "SELECT type, name, tbl_name, type = 'table' AND coalesce(rootpage, 0) = 0 FROM main.sqlite_schema ORDER BY rowid");
    while (detail::step(db, stmt.get())) {
      objects.push_back({textAt(stmt.get(), 0), textAt(stmt.get(), 1), textAt(stmt.get(), 2), {}});
      virtualTables.push_back(sqlite3_column_int(stmt.get(), 3) != 0);
    }
  }
  const size_t inFull = std::min(objects.size(), kObjectsDescribedInFull);
  for (size_t i = 0; i < inFull; ++i) {
    SchemaObject& object = objects[i];
    if (object.kind == "table") {
      object.table.clear();
      describeTable(db, object, virtualTables[i]);
    } else if (object.kind == "view") {
      describeView(db, object);
    } else if (object.kind == "index") {
      describeIndex(db, object);
    }
  }
  return objects;
}

std::vector<ForeignObject> findForeignObjects(sqlite3* db, const LedgerObjects& known) {
  std::vector<ForeignObject> foreign;
  for (const SchemaObject& object : describeSchema(db)) {
    if (isEngineBookkeeping(object)) continue;
    const SchemaObject* mine = known.find(object.name);
    if (!mine)
      foreign.push_back({object.kind, object.name, false});
    else if (object.readsMissingObject && mine->kind == "view")
      continue;
    else if (!object.sameShapeAs(*mine))
      foreign.push_back({object.kind, object.name, true});
  }
  return foreign;
}

std::vector<std::string> findMissingObjects(sqlite3* db, const LedgerObjects& known) {
  const std::vector<SchemaObject> present = describeSchema(db);
  std::vector<std::string> missing;
  for (const SchemaObject& mine : known.objects()) {
    const bool held = std::any_of(present.begin(), present.end(),
                                  [&](const SchemaObject& o) { return sameName(o.name, mine.name); });
    if (!held) missing.push_back(mine.name);
  }
  return missing;
}

std::string describeForeignObjects(const std::vector<ForeignObject>& objects) {
  constexpr size_t kLinesShown = 8;
  std::string text;
  for (size_t i = 0; i < objects.size() && i < kLinesShown; ++i) {
    if (i > 0) text += kNewLine;
    text += "    " + objects[i].describe();
  }
  if (objects.size() > kLinesShown)
    text += std::string(kNewLine) + "    and " + std::to_string(objects.size() - kLinesShown) + " more";
  return text;
}

}  // namespace ledger
