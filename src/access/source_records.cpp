#include "access/source_records.h"

#include "transfer/csv_export.h"

namespace ledger {

std::vector<CsvRecord> recordsFromTable(const SourceTable& table) {
  std::vector<CsvRecord> records;
  records.reserve(table.rows.size() + 1);
  records.push_back(table.columns);
  for (const auto& row : table.rows) {
    CsvRecord cells;
    cells.reserve(row.size());
    for (const Value& v : row) cells.push_back(csvValueText(v));
    records.push_back(std::move(cells));
  }
  return records;
}

}  // namespace ledger
