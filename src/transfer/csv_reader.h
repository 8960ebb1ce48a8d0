#pragma once
// Reading comma-separated text as brokers and spreadsheets write it
// (RFC 4180 and its everyday variants): fields in double quotes may hold the
// delimiter, doubled quotes and line breaks; lines end in CRLF, LF or CR; a
// UTF-8 byte-order mark is dropped. Also guesses the delimiter and whether
// the first record is a header, so a file can be previewed before the user
// says anything.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/text_encoding.h"

namespace ledger {

using CsvRecord = std::vector<std::string>;

struct CsvText {
  // Every record of the file in order. A blank line is a record of one
  // empty field, so record numbers match the rows a spreadsheet shows; the
  // line break at the end of the file starts no record.
  std::vector<CsvRecord> records;
  // The file ends inside a quoted field (a quote never closed): the last
  // field runs to the end of the file.
  bool endsInsideQuotes = false;
};

// The delimiters a file may use, in the order they are offered.
inline constexpr char kCsvDelimiters[] = {',', ';', '\t'};

// Reads text with the given delimiter. Never fails: text that breaks the
// rules is read leniently (a quote inside an unquoted field is kept as a
// character; characters after a closing quote join the field).
// maxRecords > 0 stops after that many records (a preview).
CsvText readCsv(std::string_view text, char delimiter, std::size_t maxRecords = 0);

// The delimiter (',', ';' or '\t') that splits the first lines of text into
// the same number of fields, more than one; when several do, the one giving
// the most fields. ',' when nothing fits.
char detectCsvDelimiter(std::string_view text);

// True when the first record reads as column names: none of its fields
// looks like a number or a date, and the next record has one that does (or
// there is no next record).
bool detectCsvHeader(const std::vector<CsvRecord>& records);

// text without a leading UTF-8 byte-order mark.
std::string_view withoutByteOrderMark(std::string_view text);

}  // namespace ledger
