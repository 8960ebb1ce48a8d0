#include "app/grid_csv.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "transfer/csv_writer.h"
#include "engine/durable_file.h"

namespace ledger {

void writeModelCsv(const QAbstractItemModel& model, std::ostream& out) {
  const int columns = model.columnCount();
  std::vector<std::string> fields(static_cast<std::size_t>(columns));
  for (int c = 0; c < columns; ++c)
    fields[static_cast<std::size_t>(c)] = model.headerData(c, Qt::Horizontal).toString().toStdString();
  writeCsvRow(out, fields);
  for (int r = 0; r < model.rowCount(); ++r) {
    for (int c = 0; c < columns; ++c)
      fields[static_cast<std::size_t>(c)] = model.index(r, c).data().toString().toStdString();
    writeCsvRow(out, fields);
  }
}

void exportModelCsvFile(const QAbstractItemModel& model, const std::string& path) {
  TempFileBeside temp(path);
  {
    std::ofstream out(temp.path(), std::ios::binary | std::ios::trunc);
    if (!out)
      throw std::filesystem::filesystem_error("cannot write", temp.path(),
                                              std::error_code(errno, std::generic_category()));
    writeModelCsv(model, out);
    out.flush();
    if (!out)
      throw std::filesystem::filesystem_error("cannot write", path, std::make_error_code(std::errc::io_error));
  }
  temp.commitOver(path);
}

}  // namespace ledger
