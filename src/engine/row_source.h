#pragma once
// Where a Recordset's rows come from. A table is read by row id, so every
// move is one index seek; a stored query is read forward by one statement,
// with a small cache of recent rows for moving back.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/recordset.h"
#include "engine/sqlite_util.h"
#include "engine/statement_cache.h"

namespace ledger::detail {

class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual std::optional<SourceRow> first() = 0;
  virtual std::optional<SourceRow> last() = 0;
  virtual std::optional<SourceRow> after(std::int64_t key) = 0;
  virtual std::optional<SourceRow> before(std::int64_t key) = 0;
  virtual std::optional<SourceRow> at(std::int64_t key) = 0;
  // The row at 0-based position in the source's order.
  virtual std::optional<SourceRow> nth(std::int64_t position) = 0;
  // Position of the first row whose field equals text exactly.
  virtual std::optional<std::int64_t> findFirst(int field, const std::string& text) = 0;
  virtual std::int64_t count() = 0;
  // The count, known from elsewhere for the snapshot the rows are read in,
  // so that count() need not read them all. Only a table takes it.
  virtual void knowCount(std::int64_t) {}

  const std::vector<std::string>& names() const { return m_names; }
  const std::vector<FieldKind>& kinds() const { return m_kinds; }

 protected:
  // Reads the field names and kinds from a prepared SELECT; skip leading
  // columns that are not fields (the row id).
  void describe(sqlite3_stmt* stmt, int skip);
  std::vector<std::string> m_names;
  std::vector<FieldKind> m_kinds;
};

class TableRows final : public RowSource {
 public:
  TableRows(Connection conn, std::string table);
  std::optional<SourceRow> first() override;
  std::optional<SourceRow> last() override;
  std::optional<SourceRow> after(std::int64_t key) override;
  std::optional<SourceRow> before(std::int64_t key) override;
  std::optional<SourceRow> at(std::int64_t key) override;
  std::optional<SourceRow> nth(std::int64_t position) override;
  std::optional<std::int64_t> findFirst(int field, const std::string& text) override;
  std::int64_t count() override;
  void knowCount(std::int64_t n) override { m_count = n; }

 private:
  std::optional<SourceRow> fetch(sqlite3_stmt* stmt, const std::int64_t* key);
  // The statement in slot, from m_select + tail, taken on first use. The
  // first row's is prepared afresh, as the columns are read from it before
  // its first step; the others are the connection's kept statements.
  sqlite3_stmt* statement(KeptStatement& slot, const char* tail);

  Connection m_conn;
  std::string m_quotedTable;
  std::string m_select;  // SELECT rowid, * FROM the table
  StmtPtr m_first;
  KeptStatement m_last, m_after, m_before, m_at, m_nth;
  std::optional<std::int64_t> m_count;
};

class QueryRows final : public RowSource {
 public:
  QueryRows(Connection conn, std::string query);
  std::optional<SourceRow> first() override { return seek(0); }
  std::optional<SourceRow> last() override;
  std::optional<SourceRow> after(std::int64_t key) override { return seek(key + 1); }
  std::optional<SourceRow> before(std::int64_t key) override;
  std::optional<SourceRow> at(std::int64_t key) override { return seek(key); }
  std::optional<SourceRow> nth(std::int64_t position) override { return seek(position); }
  std::optional<std::int64_t> findFirst(int field, const std::string& text) override;
  std::int64_t count() override;

 private:
  std::optional<SourceRow> seek(std::int64_t position);
  void loadChunk(std::int64_t position);

  // Rows are read in chunks and the statement is reset after each chunk,
  // so an open recordset never holds a read lock that would keep another
  // program from writing the ledger.
  static constexpr std::int64_t kFirstChunkRows = 64;
  static constexpr std::int64_t kChunkRows = 512;
  static constexpr size_t kCacheRows = 4096;
  Connection m_conn;
  std::string m_quotedQuery;
  StmtPtr m_scan;  // SELECT * ... LIMIT ?2 OFFSET ?1
  std::map<std::int64_t, std::vector<Value>> m_cache;
  std::optional<std::int64_t> m_count;
};

}  // namespace ledger::detail
