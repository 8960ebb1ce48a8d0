#pragma once
// Prepared statements a connection keeps between uses, by their SQL text.
// A save or an undo runs a few dozen statements, and preparing them again
// each time cost as much as running them. Not part of the engine's public
// interface: Statement takes from and gives back to it.

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "engine/sqlite_util.h"

namespace ledger::detail {

class StatementCache {
 public:
  StatementCache() = default;
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;
  ~StatementCache() { clear(); }

  // An idle statement for sql, or a new one. Throws DbError as prepare does.
  sqlite3_stmt* take(sqlite3* db, std::string_view sql);
  // Keeps stmt, reset and unbound, for the next take of sql; finalizes it
  // when one is kept already or the cache is full.
  void giveBack(std::string sql, sqlite3_stmt* stmt);
  // Finalizes every idle statement (before the connection closes).
  void clear();

 private:
  // Bounds the memory: the program's own statements are fewer than this;
  // texts made from data (an import's batch sizes) beyond it are dropped.
  static constexpr std::size_t kMaxIdle = 96;
  std::unordered_map<std::string, sqlite3_stmt*> m_idle;
};

// One of conn's kept statements for as long as it is held; given back to
// the cache when it goes. Read its columns only after a step: before one, a
// statement kept from before a change of the schema still describes the
// old one.
class KeptStatement {
 public:
  KeptStatement() = default;
  // Throws DbError as prepare does.
  KeptStatement(Connection conn, std::string sql);
  KeptStatement(KeptStatement&& other) noexcept
      : m_conn(std::move(other.m_conn)), m_sql(std::move(other.m_sql)), m_stmt(std::exchange(other.m_stmt, nullptr)) {}
  KeptStatement& operator=(KeptStatement&& other) noexcept;
  KeptStatement(const KeptStatement&) = delete;
  KeptStatement& operator=(const KeptStatement&) = delete;
  ~KeptStatement() { giveBack(); }

  sqlite3_stmt* get() const { return m_stmt; }
  explicit operator bool() const { return m_stmt != nullptr; }

 private:
  void giveBack();
  Connection m_conn;
  std::string m_sql;
  sqlite3_stmt* m_stmt = nullptr;
};

// Runs sql (a statement without rows: BEGIN, COMMIT) as one of conn's kept
// statements. Throws DbError.
void runKept(const Connection& conn, std::string_view sql);

// Makes raw a Connection that closes it, keeping a statement cache with it.
Connection ownConnection(sqlite3* raw);
// A number no other connection of this run has; 0 for a connection
// ownConnection did not make.
std::uint64_t connectionIdOf(const Connection& conn);
// conn's cache; nullptr for a connection ownConnection did not make.
StatementCache* statementCacheOf(const Connection& conn);

}  // namespace ledger::detail
