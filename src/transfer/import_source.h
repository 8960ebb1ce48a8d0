#pragma once
// A file to import from, read into a table of text cells with its
// delimiter and header guessed (or as the user says).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "transfer/csv_reader.h"
#include "transfer/import_values.h"

namespace ledger {

struct ImportTable {
  std::vector<CsvRecord> records;
  char delimiter = ',';
  bool hasHeader = true;
  // The file was not UTF-8 and was read as Windows-1252 text.
  bool readAsWindows1252 = false;
  // Why the file's text cannot be read (then there are no records).
  std::string unreadable;
  // The file ends inside a quoted field.
  bool endsInsideQuotes = false;
  // The most fields any record has.
  std::size_t columnCount = 0;

  const CsvRecord* header() const { return hasHeader && !records.empty() ? &records[0] : nullptr; }
};

// Reads CSV bytes. delimiter and hasHeader are detected when not given.
ImportTable readImportCsv(const std::string& bytes, std::optional<char> delimiter = std::nullopt,
                          std::optional<bool> hasHeader = std::nullopt);

// The date format the cells of column suggest (see guessDateFormat).
std::optional<DateFormat> guessColumnDateFormat(const ImportTable& table, std::size_t column);
// The formats that fit the cells of column best (see likeliestDateFormats).
std::vector<DateFormat> likeliestColumnDateFormats(const ImportTable& table, std::size_t column);

// The whole file at path. Throws std::filesystem::filesystem_error.
std::string readWholeFile(const std::string& path);

}  // namespace ledger
