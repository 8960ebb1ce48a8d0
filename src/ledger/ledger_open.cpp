#include "ledger/ledger_open.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "engine/db_error.h"
#include "engine/statement.h"
#include "ledger/ledger_objects.h"

namespace ledger {

namespace {

const std::array<const char*, 7> kTradeColumns = {"CompanyID", "CompanySymbol", "Quantity", "Buy/Sell",
                                                  "Date",      "Price",         "Commission"};
const std::array<const char*, 2> kCompaniesColumns = {"CompanyID", "CompanySymbol"};

// Whether the file holds a table called name. Letters in names compare
// without case, as SQLite itself does; a temporary view of this connection
// comes first, as it does when a statement names it.
bool hasTable(Database& db, const char* name) {
  Statement stmt(db,
                 "SELECT type FROM sqlite_temp_schema WHERE name = ?1 COLLATE NOCASE "
                 "AND (type = 'table' OR type = 'view') UNION ALL "
                 "SELECT type FROM sqlite_schema WHERE name = ?1 COLLATE NOCASE "
                 "AND (type = 'table' OR type = 'view')");
  stmt.bind(1, name);
  return stmt.step() && stmt.text(0) == "table";
}

// Letters compared without case, ASCII only, as SQLite compares names.
bool sameName(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

template <size_t N>
void requireColumns(Database& db, const char* table, const std::array<const char*, N>& expected) {
  Statement stmt(db, "SELECT name FROM pragma_table_info(?1)");
  stmt.bind(1, table);
  size_t i = 0;
  for (; stmt.step() && i < N; ++i) {
    if (stmt.type(0) == ColumnType::Null || !sameName(stmt.text(0), expected[i])) break;
  }
  if (i == 0 && !hasTable(db, table))
    throw DbError(dberr::kNotALedger,
                  "The file is not a share ledger: it has no table '" + std::string(table) + "'.");
  if (i < N)
    throw DbError(dberr::kNotALedger, "The file is not a share ledger: its table '" + std::string(table) +
                                          "' lacks the column '" + expected[i] + "'.");
}

}  // namespace

Database openLedger(const std::string& path) {
  Database db = Database::open(path, programLedgerObjects());
  // Reading the schema is the first read of the file: a foreign or damaged
  // file fails in Database::open with kNotADatabase.
  requireColumns(db, "Trade", kTradeColumns);
  requireColumns(db, "Companies", kCompaniesColumns);
  // The schema is read from page 1 only. Reading each table's first row
  // (the row itself: a bare count could be answered from an index) also
  // finds a file damaged or cut short where the tables begin, before a
  // view writes its queries into it.
  db.scalar("SELECT * FROM Trade LIMIT 1");
  db.scalar("SELECT * FROM Companies LIMIT 1");
  return db;
}

Database openLedgerSource(const std::string& path) { return Database::open(path, programLedgerObjects()); }

}  // namespace ledger
