#include "app/import_input.h"

#include <algorithm>

#include "access/source_records.h"

namespace ledger {

ImportTable readImportTable(const ImportInput& input, const ImportReading& reading, Prompter& prompter) {
  if (!input.fromTables()) return readImportCsv(input.csvBytes, reading.delimiter, reading.hasHeader);
  ImportTable table;
  if (!reading.table.empty()) {
    try {
      table.records = recordsFromTable(input.source->readTable(reading.table));
    } catch (const SourceError& e) {
      prompter.show("The table " + reading.table + " cannot be read." + kNewLine + kNewLine + e.what(),
                    MsgIcon::Critical);
    }
  }
  table.hasHeader = true;
  for (const CsvRecord& r : table.records) table.columnCount = std::max(table.columnCount, r.size());
  return table;
}

}  // namespace ledger
