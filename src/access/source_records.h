#pragma once
// A table of an older ledger as the text cells an import reads: the
// column names as the header, then each value as a CSV export writes it.

#include <vector>

#include "access/table_source.h"
#include "transfer/csv_reader.h"

namespace ledger {

std::vector<CsvRecord> recordsFromTable(const SourceTable& table);

}  // namespace ledger
