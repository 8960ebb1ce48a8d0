#pragma once
// What an import keeps per file layout: a file whose header was imported
// before opens with the columns, date format and number options used then.
// Kept in the program's settings file, under a key made from the header.

#include <optional>

class QSettings;

#include "transfer/csv_reader.h"
#include "transfer/import_plan.h"

namespace ledger {

struct RememberedImport {
  ImportMapping mapping;
  std::optional<DateFormat> dateFormat;
  bool decimalComma = false;
  bool sideFromSign = false;
};

// What was kept for header; nullopt when nothing (readable) was.
std::optional<RememberedImport> recallImport(const QSettings& settings, const CsvRecord& header);

// Keeps options for the next file with header.
void rememberImport(QSettings& settings, const CsvRecord& header, const ImportOptions& options);

}  // namespace ledger
