#include "transfer/import_source.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace ledger {

ImportTable readImportCsv(const std::string& bytes, std::optional<char> delimiter, std::optional<bool> hasHeader) {
  ImportTable table;
  DecodedText decoded = decodeTextFile(bytes);
  table.unreadable = std::move(decoded.unreadable);
  table.readAsWindows1252 = decoded.encoding == TextEncoding::Windows1252;
  const std::string& utf8 = decoded.utf8;
  table.delimiter = delimiter.value_or(detectCsvDelimiter(utf8));
  CsvText read = readCsv(utf8, table.delimiter);
  table.records = std::move(read.records);
  table.endsInsideQuotes = read.endsInsideQuotes;
  table.hasHeader = hasHeader.value_or(detectCsvHeader(table.records));
  for (const CsvRecord& r : table.records) table.columnCount = std::max(table.columnCount, r.size());
  return table;
}

namespace {

std::vector<std::string> columnCells(const ImportTable& table, std::size_t column) {
  std::vector<std::string> cells;
  for (std::size_t r = table.hasHeader ? 1 : 0; r < table.records.size(); ++r)
    if (column < table.records[r].size()) cells.push_back(table.records[r][column]);
  return cells;
}

}  // namespace

std::optional<DateFormat> guessColumnDateFormat(const ImportTable& table, std::size_t column) {
  return guessDateFormat(columnCells(table, column));
}

std::vector<DateFormat> likeliestColumnDateFormats(const ImportTable& table, std::size_t column) {
  return likeliestDateFormats(columnCells(table, column));
}

std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in || std::filesystem::is_directory(path))
    throw std::filesystem::filesystem_error("cannot read", path, std::error_code(errno ? errno : EISDIR, std::generic_category()));
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace ledger
