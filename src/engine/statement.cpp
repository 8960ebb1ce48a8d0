#include "engine/statement.h"

#include "engine/database.h"
#include "engine/db_error.h"
#include "engine/sqlite_util.h"
#include "engine/statement_cache.h"

namespace ledger {

Statement::Statement(Database& db, std::string_view sql) : m_conn(db.m_conn), m_sql(sql) {
  if (detail::StatementCache* cache = detail::statementCacheOf(m_conn)) {
    m_stmt.reset(cache->take(db.handle(), sql));
    m_keptUnstepped = true;
  } else {
    m_stmt.reset(detail::prepare(db.handle(), sql).release());
  }
}

sqlite3_stmt* Statement::columnSource() const {
  if (!m_keptUnstepped) return m_stmt.get();
  if (!m_freshColumns) m_freshColumns.reset(detail::prepare(m_conn.get(), m_sql).release());
  return m_freshColumns.get();
}

std::optional<Statement> Statement::tryPrepare(Database& db, std::string_view sql) {
  // Prepared afresh, never taken from the cache: a statement kept from
  // before would not find out until its first step that its table is gone.
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db.handle(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr) != SQLITE_OK) {
    sqlite3_finalize(raw);
    return std::nullopt;
  }
  return Statement(db.m_conn, std::string(sql), raw);
}

Statement::~Statement() {
  if (!m_stmt) return;
  if (detail::StatementCache* cache = detail::statementCacheOf(m_conn)) cache->giveBack(std::move(m_sql), m_stmt.release());
}

void Statement::check(int rc) const {
  if (rc != SQLITE_OK) detail::throwSqlite(m_conn.get(), rc, "");
}

void Statement::bind(int at, std::int64_t value) { check(sqlite3_bind_int64(m_stmt.get(), at, value)); }

void Statement::bind(int at, double value) { check(sqlite3_bind_double(m_stmt.get(), at, value)); }

void Statement::bind(int at, std::string_view text) {
  check(sqlite3_bind_text64(m_stmt.get(), at, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8));
}

void Statement::bind(int at, const Value& value) {
  if (const auto* n = std::get_if<std::int64_t>(&value))
    bind(at, *n);
  else if (const auto* d = std::get_if<double>(&value))
    bind(at, *d);
  else if (const auto* s = std::get_if<std::string>(&value))
    bind(at, std::string_view(*s));
  else
    bindNull(at);
}

void Statement::bindBlob(int at, std::string_view bytes) {
  check(sqlite3_bind_blob64(m_stmt.get(), at, bytes.data(), bytes.size(), SQLITE_TRANSIENT));
}

void Statement::bindNull(int at) { check(sqlite3_bind_null(m_stmt.get(), at)); }

void Statement::bindAll(std::span<const Value> params) {
  int at = 1;
  for (const Value& v : params) bind(at++, v);
}

void Statement::bindColumn(int at, const Statement& from, int col) {
  check(sqlite3_bind_value(m_stmt.get(), at, sqlite3_column_value(from.m_stmt.get(), col)));
}

void Statement::clearBindings() { sqlite3_clear_bindings(m_stmt.get()); }

bool Statement::step() {
  m_keptUnstepped = false;
  m_freshColumns.reset();
  return detail::step(m_conn.get(), m_stmt.get());
}

void Statement::run() {
  while (step()) {
  }
}

std::string Statement::columnName(int col) const {
  const char* name = sqlite3_column_name(columnSource(), col);
  return name ? name : "";
}

Value Statement::value(int col) const { return detail::columnValue(m_stmt.get(), col); }

}  // namespace ledger
