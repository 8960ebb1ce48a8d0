#include "engine/row_source.h"

#include <cstdlib>
#include <string_view>

#include "engine/db_error.h"
#include "engine/sql_translate.h"

namespace ledger::detail {

namespace {

FieldKind kindOfDeclaredType(const char* declared) {
  std::string t;
  for (const char* p = declared ? declared : ""; *p; ++p)
    t += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
  if (t.find("INT") != std::string::npos) return FieldKind::Integer;
  if (t.find("DATE") != std::string::npos) return FieldKind::Date;
  if (t.find("REAL") != std::string::npos || t.find("DOUB") != std::string::npos ||
      t.find("FLOA") != std::string::npos || t.find("NUM") != std::string::npos)
    return FieldKind::Real;
  return FieldKind::Text;
}

std::vector<Value> readValues(sqlite3_stmt* stmt, int from) {
  std::vector<Value> values;
  const int n = sqlite3_column_count(stmt);
  values.reserve(static_cast<size_t>(n - from));
  for (int i = from; i < n; ++i) values.push_back(columnValue(stmt, i));
  return values;
}

}  // namespace

void RowSource::describe(sqlite3_stmt* stmt, int skip) {
  const int n = sqlite3_column_count(stmt);
  for (int i = skip; i < n; ++i) {
    const char* name = sqlite3_column_name(stmt, i);
    m_names.emplace_back(name ? name : "");
    m_kinds.push_back(kindOfDeclaredType(sqlite3_column_decltype(stmt, i)));
  }
}

// ---- tables -------------------------------------------------------------

namespace {
// What follows "SELECT rowid, * FROM <table>" in each move's statement.
constexpr const char* kFirstTail = " ORDER BY rowid LIMIT 1";
constexpr const char* kLastTail = " ORDER BY rowid DESC LIMIT 1";
constexpr const char* kAfterTail = " WHERE rowid > ?1 ORDER BY rowid LIMIT 1";
constexpr const char* kBeforeTail = " WHERE rowid < ?1 ORDER BY rowid DESC LIMIT 1";
constexpr const char* kAtTail = " WHERE rowid = ?1";
constexpr const char* kNthTail = " ORDER BY rowid LIMIT 1 OFFSET ?1";
}  // namespace

TableRows::TableRows(Connection conn, std::string table)
    : m_conn(std::move(conn)),
      m_quotedTable(quoteSqlIdentifier(table)),
      m_select("SELECT rowid, * FROM " + m_quotedTable) {
  m_first = prepare(m_conn.get(), m_select + kFirstTail);
  describe(m_first.get(), 1);
}

// Opening a recordset needs only the first row's statement; each of the
// others is prepared by the first move that uses it, since preparing all
// of them at once was most of the cost of opening a small table.
sqlite3_stmt* TableRows::statement(KeptStatement& slot, const char* tail) {
  if (!slot) slot = KeptStatement(m_conn, m_select + tail);
  return slot.get();
}

std::optional<SourceRow> TableRows::fetch(sqlite3_stmt* stmt, const std::int64_t* key) {
  sqlite3_reset(stmt);
  if (key) sqlite3_bind_int64(stmt, 1, *key);
  std::optional<SourceRow> row;
  if (step(m_conn.get(), stmt)) row = SourceRow{sqlite3_column_int64(stmt, 0), readValues(stmt, 1)};
  sqlite3_reset(stmt);  // release the read lock between moves
  return row;
}

std::optional<SourceRow> TableRows::first() { return fetch(m_first.get(), nullptr); }
std::optional<SourceRow> TableRows::last() { return fetch(statement(m_last, kLastTail), nullptr); }
namespace {
// A damaged table can answer "the row after k" with k itself or a row
// before it; moving on would then go round for ever.
void requireOrder(bool inOrder) {
  if (!inOrder)
    throw DbError(dberr::kNotADatabase, "The file is not a ledger database or it is damaged (rows out of order).");
}
}  // namespace

std::optional<SourceRow> TableRows::after(std::int64_t key) {
  auto row = fetch(statement(m_after, kAfterTail), &key);
  requireOrder(!row || row->key > key);
  return row;
}
std::optional<SourceRow> TableRows::before(std::int64_t key) {
  auto row = fetch(statement(m_before, kBeforeTail), &key);
  requireOrder(!row || row->key < key);
  return row;
}
std::optional<SourceRow> TableRows::at(std::int64_t key) { return fetch(statement(m_at, kAtTail), &key); }
std::optional<SourceRow> TableRows::nth(std::int64_t position) {
  if (position < 0) return std::nullopt;
  return fetch(statement(m_nth, kNthTail), &position);
}

std::optional<std::int64_t> TableRows::findFirst(int field, const std::string& text) {
  sqlite3* db = m_conn.get();
  const std::string column = quoteSqlIdentifier(m_names.at(static_cast<size_t>(field)));
  StmtPtr find = prepare(db, "SELECT rowid FROM " + m_quotedTable + " WHERE " + column + " = ?1 ORDER BY rowid LIMIT 1");
  const Value param = text;
  bindAll(db, find.get(), {&param, 1});
  if (!step(db, find.get())) return std::nullopt;
  const std::int64_t rowid = sqlite3_column_int64(find.get(), 0);
  StmtPtr before = prepare(db, "SELECT count(*) FROM " + m_quotedTable + " WHERE rowid < ?1");
  sqlite3_bind_int64(before.get(), 1, rowid);
  step(db, before.get());
  return sqlite3_column_int64(before.get(), 0);
}

std::int64_t TableRows::count() {
  if (!m_count) {
    const KeptStatement stmt(m_conn, "SELECT count(*) FROM " + m_quotedTable);
    step(m_conn.get(), stmt.get());
    m_count = sqlite3_column_int64(stmt.get(), 0);
  }
  return *m_count;
}

// ---- stored queries -----------------------------------------------------

QueryRows::QueryRows(Connection conn, std::string query)
    : m_conn(std::move(conn)), m_quotedQuery(quoteSqlIdentifier(query)) {
  m_scan = prepare(m_conn.get(), "SELECT * FROM " + m_quotedQuery + " LIMIT ?2 OFFSET ?1");
  describe(m_scan.get(), 0);
}

void QueryRows::loadChunk(std::int64_t position) {
  sqlite3_stmt* stmt = m_scan.get();
  sqlite3_reset(stmt);
  // Opening a query reads only a screenful; later chunks are larger.
  const std::int64_t want = position == 0 ? kFirstChunkRows : kChunkRows;
  sqlite3_bind_int64(stmt, 1, position);
  sqlite3_bind_int64(stmt, 2, want);
  std::int64_t got = 0;
  try {
    while (step(m_conn.get(), stmt)) m_cache[position + got++] = readValues(stmt, 0);
  } catch (...) {
    sqlite3_reset(stmt);
    throw;
  }
  sqlite3_reset(stmt);
  if (got < want && (got > 0 || position == 0)) m_count = position + got;
  // Keep the cache bounded: drop rows from whichever end lies farther away.
  while (m_cache.size() > kCacheRows) {
    auto lo = m_cache.begin();
    auto hi = std::prev(m_cache.end());
    m_cache.erase(position - lo->first > hi->first - position ? lo : hi);
  }
}

std::optional<SourceRow> QueryRows::seek(std::int64_t position) {
  if (position < 0 || (m_count && position >= *m_count)) return std::nullopt;
  auto it = m_cache.find(position);
  if (it == m_cache.end()) {
    loadChunk(position);
    it = m_cache.find(position);
    if (it == m_cache.end()) return std::nullopt;
  }
  return SourceRow{position, it->second};
}

std::optional<std::int64_t> QueryRows::findFirst(int field, const std::string& text) {
  sqlite3* db = m_conn.get();
  StmtPtr scan = prepare(db, "SELECT * FROM " + m_quotedQuery);
  for (std::int64_t position = 0; step(db, scan.get()); ++position) {
    if (toText(columnValue(scan.get(), field)) == text) return position;
  }
  return std::nullopt;
}

std::optional<SourceRow> QueryRows::before(std::int64_t key) { return seek(key - 1); }

std::optional<SourceRow> QueryRows::last() {
  const std::int64_t n = count();
  return n == 0 ? std::nullopt : seek(n - 1);
}

std::int64_t QueryRows::count() {
  if (!m_count) {
    StmtPtr stmt = prepare(m_conn.get(), "SELECT count(*) FROM " + m_quotedQuery);
    step(m_conn.get(), stmt.get());
    m_count = sqlite3_column_int64(stmt.get(), 0);
  }
  return *m_count;
}

}  // namespace ledger::detail
