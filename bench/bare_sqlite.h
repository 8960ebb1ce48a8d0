#pragma once
// The "bare" side of the benchmark pairs: the sqlite3 C API with nothing of
// the engine in between.

#include <sqlite3.h>

#include <memory>
#include <string>

namespace ledger::bench {

struct CloseConnection {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using BareConnection = std::unique_ptr<sqlite3, CloseConnection>;
using BareStatement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// Throw std::runtime_error on failure.
BareConnection bareOpen(const std::string& path);
BareStatement barePrepare(sqlite3* db, const char* sql);
// Steps a statement that returns no rows, then resets it.
void bareRun(sqlite3* db, sqlite3_stmt* stmt);

// Reads every column of the current row the way a caller would use it.
void readRow(sqlite3_stmt* stmt);

}  // namespace ledger::bench
