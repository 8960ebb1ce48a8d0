#pragma once
// Small RAII and conversion helpers over the sqlite3 C API, shared by the
// engine's classes. Not part of the engine's public interface.

#include <sqlite3.h>

#include <memory>
#include <span>
#include <string_view>

#include "engine/value.h"

namespace ledger::detail {

struct StmtFinalizer {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

// One connection, shared by a Database and every Recordset and QueryDef
// made from it, so none of them can outlive the handle.
using Connection = std::shared_ptr<sqlite3>;

// Makes every statement run through step() and exec() on conn stop with
// kTooLong once it has run for longer than the engine's statement time
// limit (engine_settings.h): a damaged or hostile ledger (an endless
// recursive stored query, say) must not freeze the program.
void limitStatementTime(sqlite3* db);

// Maps an SQLite result code to the engine's error numbers and throws.
[[noreturn]] void throwSqlite(sqlite3* db, int rc, std::string_view context);

StmtPtr prepare(sqlite3* db, std::string_view sql);
void bindAll(sqlite3* db, sqlite3_stmt* stmt, std::span<const Value> params);
Value columnValue(sqlite3_stmt* stmt, int col);

// Steps once; true when a row is ready, false when done. Throws on error.
bool step(sqlite3* db, sqlite3_stmt* stmt);

// Runs SQL that returns no rows (one or more statements).
void exec(sqlite3* db, std::string_view sql);

}  // namespace ledger::detail
