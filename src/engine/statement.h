#pragma once
// One prepared SQLite statement on a Database, for the code above the
// engine that runs its own SQL: prepare once, bind, step, read the columns,
// reset and step again. Column reads are inline and copy nothing, so a
// loop over a million rows costs what the C API alone would.
//
// Positions: parameters count from 1 (as ?1 does), columns from 0.

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/value.h"

namespace ledger {

class Database;

// A column's storage class in the current row, numbered as SQLite numbers
// them (a seal over stored values depends on these numbers).
enum class ColumnType {
  Integer = SQLITE_INTEGER,
  Real = SQLITE_FLOAT,
  Text = SQLITE_TEXT,
  Blob = SQLITE_BLOB,
  Null = SQLITE_NULL
};

class Statement {
 public:
  // Prepares sql (SQLite's dialect, one statement). Throws DbError.
  Statement(Database& db, std::string_view sql);
  // nullopt when SQLite refuses sql (a table that is not there, say).
  static std::optional<Statement> tryPrepare(Database& db, std::string_view sql);

  Statement(Statement&&) noexcept = default;
  Statement& operator=(Statement&&) noexcept = default;
  // Gives the statement back to its connection's cache for the next use
  // of the same SQL.
  ~Statement();

  // Each bind throws DbError when SQLite refuses it.
  void bind(int at, std::int64_t value);
  void bind(int at, double value);
  void bind(int at, std::string_view text);
  void bind(int at, const char* text) { bind(at, std::string_view(text)); }
  void bind(int at, const Value& value);
  void bindBlob(int at, std::string_view bytes);
  void bindNull(int at);
  // Binds params to ?1, ?2, ...
  void bindAll(std::span<const Value> params);
  // Binds column col of from's current row as it is, storage class and all.
  void bindColumn(int at, const Statement& from, int col);
  void clearBindings();

  // Runs to the next row: true when one is ready, false when done. Stops
  // with kTooLong past the engine's statement time limit. Throws DbError.
  bool step();
  // Runs to the end, for statements that give no rows.
  void run();
  // Ready to run again with the same bindings; never throws.
  void reset() { sqlite3_reset(m_stmt.get()); }

  int columnCount() const { return sqlite3_column_count(columnSource()); }
  std::string columnName(int col) const;

  ColumnType type(int col) const { return static_cast<ColumnType>(sqlite3_column_type(m_stmt.get(), col)); }
  std::int64_t integer(int col) const { return sqlite3_column_int64(m_stmt.get(), col); }
  double real(int col) const { return sqlite3_column_double(m_stmt.get(), col); }
  // The column as text, valid until the next step or reset; empty for Null.
  // Read the type first: reading a number as text changes what it holds.
  std::string_view text(int col) const {
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), col));
    return t ? std::string_view(t, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt.get(), col)))
             : std::string_view();
  }
  // The column's bytes as a blob, valid as text() is.
  std::string_view blob(int col) const {
    const auto* b = static_cast<const char*>(sqlite3_column_blob(m_stmt.get(), col));
    return b ? std::string_view(b, static_cast<std::size_t>(sqlite3_column_bytes(m_stmt.get(), col)))
             : std::string_view();
  }
  // The column as a Value (a blob reads as text).
  Value value(int col) const;

 private:
  struct Finalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
  };
  Statement(std::shared_ptr<sqlite3> conn, std::string sql, sqlite3_stmt* stmt)
      : m_conn(std::move(conn)), m_sql(std::move(sql)), m_stmt(stmt) {}
  void check(int rc) const;
  // A statement kept from an earlier use learns of a schema change (another
  // program adding a column, say) only at its next step: until then its
  // columns are read from one prepared afresh.
  sqlite3_stmt* columnSource() const;

  std::shared_ptr<sqlite3> m_conn;
  std::string m_sql;
  std::unique_ptr<sqlite3_stmt, Finalizer> m_stmt;
  bool m_keptUnstepped = false;
  mutable std::unique_ptr<sqlite3_stmt, Finalizer> m_freshColumns;
};

}  // namespace ledger
