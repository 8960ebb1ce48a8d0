#include "bare_sqlite.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

namespace ledger::bench {

BareConnection bareOpen(const std::string& path) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
  BareConnection db(raw);
  if (rc != SQLITE_OK) throw std::runtime_error("cannot open " + path);
  return db;
}

BareStatement barePrepare(sqlite3* db, const char* sql) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &raw, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
  return BareStatement(raw);
}

void bareRun(sqlite3* db, sqlite3_stmt* stmt) {
  const int rc = sqlite3_step(stmt);
  sqlite3_reset(stmt);
  if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
}

void readRow(sqlite3_stmt* stmt) {
  const int columns = sqlite3_column_count(stmt);
  for (int i = 0; i < columns; ++i) {
    switch (sqlite3_column_type(stmt, i)) {
      case SQLITE_INTEGER:
        benchmark::DoNotOptimize(sqlite3_column_int64(stmt, i));
        break;
      case SQLITE_FLOAT:
        benchmark::DoNotOptimize(sqlite3_column_double(stmt, i));
        break;
      case SQLITE_TEXT:
        benchmark::DoNotOptimize(sqlite3_column_text(stmt, i));
        benchmark::DoNotOptimize(sqlite3_column_bytes(stmt, i));
        break;
      default:
        break;
    }
  }
}

}  // namespace ledger::bench
