#pragma once
// Prepared statements a connection keeps between uses, by their SQL text.
// A save or an undo runs a few dozen statements, and preparing them again
// each time cost as much as running them. Not part of the engine's public
// interface: Statement takes from and gives back to it.

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <unordered_map>

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

// Makes raw a Connection that closes it, keeping a statement cache with it.
Connection ownConnection(sqlite3* raw);
// conn's cache; nullptr for a connection ownConnection did not make.
StatementCache* statementCacheOf(const Connection& conn);

}  // namespace ledger::detail
