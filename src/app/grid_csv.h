#pragma once
// Writing the rows a grid's model holds as CSV: its column headers, then
// each cell's text as shown.

#include <QAbstractItemModel>

#include <ostream>
#include <string>

namespace ledger {

void writeModelCsv(const QAbstractItemModel& model, std::ostream& out);

// The same into the file at path, replaced only once the whole text is on
// the disk. Throws std::filesystem::filesystem_error.
void exportModelCsvFile(const QAbstractItemModel& model, const std::string& path);

}  // namespace ledger
