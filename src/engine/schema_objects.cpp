#include "engine/schema_objects.h"

#include <algorithm>

#include "engine/db_error.h"
#include "engine/query_def.h"
#include "engine/sqlite_util.h"
#include "engine/statement.h"

namespace ledger {

namespace {

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

// ---- KnownObjects ----------------------------------------------------------

// The same settings as every ledger (an in-memory file is opened as every
// file is), so the same statements give the same objects.
KnownObjects::KnownObjects() : m_db(Database::openFile(":memory:", /*create=*/true)) {}

void KnownObjects::addStatements(std::string_view sql) {
  m_db.executeScript(sql);
  m_objects = describeSchema(m_db);
  m_checked = std::make_shared<Checked>();
}

void KnownObjects::addQuery(std::string_view name, std::string_view jetSql) {
  QueryDef::create(m_db, name, jetSql);
  m_objects = describeSchema(m_db);
  m_checked = std::make_shared<Checked>();
}

const SchemaObject* KnownObjects::find(std::string_view name) const {
  const auto it = std::find_if(m_objects.begin(), m_objects.end(),
                               [&](const SchemaObject& o) { return sameName(o.name, name); });
  return it == m_objects.end() ? nullptr : &*it;
}

// ---- comparing --------------------------------------------------------------

std::vector<SchemaObject> describeSchema(Database& database) {
  sqlite3* db = detail::connectionOf(database);
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

std::vector<ForeignObject> findForeignObjects(Database& db, const KnownObjects& known) {
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

namespace {

// The main schema whole, each field led by its length, so that no two
// schemas read alike.
std::string schemaText(Database& db) {
  Statement stmt(db,
                 "SELECT type, name, tbl_name, coalesce(rootpage, 0) = 0, coalesce(sql, '') "
                 "FROM main.sqlite_schema ORDER BY rowid");
  std::string text;
  while (stmt.step()) {
    for (int col = 0; col < 5; ++col) {
      const std::string_view field = stmt.text(col);
      text += std::to_string(field.size()) + ':';
      text += field;
    }
  }
  return text;
}

}  // namespace

std::vector<ForeignObject> findForeignObjectsOnce(Database& db, const KnownObjects& known) {
  KnownObjects::Checked& checked = *known.m_checked;
  const std::string before = schemaText(db);
  {
    std::lock_guard lock(checked.mutex);
    if (const auto it = checked.bySchema.find(before); it != checked.bySchema.end()) return it->second;
  }
  std::vector<ForeignObject> foreign = findForeignObjects(db, known);
  // Kept only when the schema stood still during the check.
  if (schemaText(db) == before) {
    std::lock_guard lock(checked.mutex);
    // A session opens a few ledgers; bound it all the same.
    if (checked.bySchema.size() >= 16) checked.bySchema.clear();
    checked.bySchema.insert_or_assign(before, foreign);
  }
  return foreign;
}

std::vector<std::string> findMissingObjects(Database& db, const KnownObjects& known) {
  const std::vector<SchemaObject> present = describeSchema(db);
  std::vector<std::string> missing;
  for (const SchemaObject& mine : known.objects()) {
    const bool held = std::any_of(present.begin(), present.end(),
                                  [&](const SchemaObject& o) { return sameName(o.name, mine.name); });
    if (!held) missing.push_back(mine.name);
  }
  return missing;
}

}  // namespace ledger
