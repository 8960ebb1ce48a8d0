#include "engine/statement_cache.h"

#include <atomic>
#include <memory>

namespace ledger::detail {

namespace {

std::uint64_t nextConnectionId() {
  static std::atomic<std::uint64_t> last{0};
  return ++last;
}

// The cache lives in the connection's deleter, so every copy of the
// Connection reaches it and it goes exactly when the connection closes.
struct CloseConnection {
  std::shared_ptr<StatementCache> statements = std::make_shared<StatementCache>();
  std::uint64_t id = nextConnectionId();
  void operator()(sqlite3* db) const {
    statements->clear();
    sqlite3_close_v2(db);
  }
};

}  // namespace

sqlite3_stmt* StatementCache::take(sqlite3* db, std::string_view sql) {
  if (const auto it = m_idle.find(std::string(sql)); it != m_idle.end()) {
    sqlite3_stmt* stmt = it->second;
    m_idle.erase(it);
    return stmt;
  }
  sqlite3_stmt* raw = nullptr;
  const int rc =
      sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(raw);
    throwSqlite(db, rc, "");
  }
  return raw;
}

void StatementCache::giveBack(std::string sql, sqlite3_stmt* stmt) {
  // Reset, it holds no read transaction open while idle.
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  if (m_idle.size() >= kMaxIdle || !m_idle.emplace(std::move(sql), stmt).second) sqlite3_finalize(stmt);
}

void StatementCache::clear() {
  for (const auto& [sql, stmt] : m_idle) sqlite3_finalize(stmt);
  m_idle.clear();
}

KeptStatement::KeptStatement(Connection conn, std::string sql) : m_conn(std::move(conn)), m_sql(std::move(sql)) {
  if (StatementCache* cache = statementCacheOf(m_conn))
    m_stmt = cache->take(m_conn.get(), m_sql);
  else
    m_stmt = prepare(m_conn.get(), m_sql).release();
}

KeptStatement& KeptStatement::operator=(KeptStatement&& other) noexcept {
  if (this != &other) {
    giveBack();
    m_conn = std::move(other.m_conn);
    m_sql = std::move(other.m_sql);
    m_stmt = std::exchange(other.m_stmt, nullptr);
  }
  return *this;
}

void KeptStatement::giveBack() {
  if (!m_stmt) return;
  if (StatementCache* cache = statementCacheOf(m_conn))
    cache->giveBack(std::move(m_sql), m_stmt);
  else
    sqlite3_finalize(m_stmt);
  m_stmt = nullptr;
}

void runKept(const Connection& conn, std::string_view sql) {
  const KeptStatement stmt(conn, std::string(sql));
  step(conn.get(), stmt.get());
}

Connection ownConnection(sqlite3* raw) { return Connection(raw, CloseConnection{}); }

std::uint64_t connectionIdOf(const Connection& conn) {
  const auto* closer = std::get_deleter<CloseConnection>(conn);
  return closer ? closer->id : 0;
}

StatementCache* statementCacheOf(const Connection& conn) {
  const auto* closer = std::get_deleter<CloseConnection>(conn);
  return closer ? closer->statements.get() : nullptr;
}

}  // namespace ledger::detail
