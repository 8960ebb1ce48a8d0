#include "transfer/csv_export.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "transfer/csv_writer.h"
#include "engine/database.h"
#include "engine/db_error.h"
#include "figures/decimal.h"
#include "engine/durable_file.h"
#include "engine/sql_translate.h"
#include "engine/statement.h"

namespace ledger {

namespace {

std::string numberText(double d) {
  if (!std::isfinite(d)) return d != d ? "NaN" : (d > 0 ? "Infinity" : "-Infinity");
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
  const std::string_view shortest(buffer, static_cast<std::size_t>(end - buffer));
  // The shortest text is the stored value's text; only its exponent form
  // needs spelling out.
  if (ec == std::errc() && shortest.find('e') == std::string_view::npos) return std::string(shortest);
  return Decimal::fromDouble(d).toPlainString();
}

std::string columnText(const Statement& stmt, int col) {
  switch (stmt.type(col)) {
    case ColumnType::Null: return {};
    case ColumnType::Integer: return std::to_string(stmt.integer(col));
    case ColumnType::Real: return numberText(stmt.real(col));
    default: return std::string(stmt.text(col));
  }
}

}  // namespace

std::string csvValueText(const Value& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  if (const auto* d = std::get_if<double>(&v)) return numberText(*d);
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  return {};
}

std::size_t writeSourceCsv(Database& db, std::string_view source, std::ostream& out) {
  const std::string name = unquoteSourceName(source);
  const Value key[] = {name};
  if (!db.scalar("SELECT 1 FROM sqlite_master WHERE name = ?1 AND type IN ('table', 'view')", key))
    throw DbError(dberr::kNotALedger, "The ledger has no table or query named '" + name + "'.");
  Statement stmt(db, "SELECT * FROM " + quoteSqlIdentifier(name));
  const int columns = stmt.columnCount();
  std::vector<std::string> fields(static_cast<std::size_t>(columns));
  for (int c = 0; c < columns; ++c) fields[static_cast<std::size_t>(c)] = stmt.columnName(c);
  writeCsvRow(out, fields);
  std::size_t rows = 0;
  while (stmt.step()) {
    for (int c = 0; c < columns; ++c) fields[static_cast<std::size_t>(c)] = columnText(stmt, c);
    writeCsvRow(out, fields);
    ++rows;
  }
  return rows;
}

std::size_t exportSourceCsvFile(Database& db, std::string_view source, const std::string& path) {
  return writeCsvFile(path, [&](std::ostream& out) { return writeSourceCsv(db, source, out); });
}

std::size_t writeCsvFile(const std::string& path, const std::function<std::size_t(std::ostream&)>& write) {
  TempFileBeside temp(path);
  std::size_t rows = 0;
  {
    std::ofstream out(temp.path(), std::ios::binary | std::ios::trunc);
    if (!out)
      throw std::filesystem::filesystem_error("cannot write", temp.path(),
                                              std::error_code(errno, std::generic_category()));
    rows = write(out);
    out.flush();
    if (!out)
      throw std::filesystem::filesystem_error("cannot write", path,
                                              std::make_error_code(std::errc::io_error));
  }
  temp.commitOver(path);
  return rows;
}

}  // namespace ledger
