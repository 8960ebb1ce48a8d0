#pragma once
// Writing a table or stored query of a ledger as CSV: a header row of the
// column names, then every row, each value exactly as stored (numbers in
// plain decimal text with '.', never an exponent or thousands separators;
// dates as their YYYY-MM-DD text; Null as an empty field). RFC 4180,
// UTF-8, rows ending in CR LF.

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>

#include "engine/value.h"

namespace ledger {

class Database;

// The field text of one stored value.
std::string csvValueText(const Value& v);

// Writes the rows of source (a table or query name, bracketed or not) to
// out. Returns the number of rows written. Throws DbError: kNotALedger
// when the ledger has no such table or query, and the engine's numbers.
std::size_t writeSourceCsv(Database& db, std::string_view source, std::ostream& out);

// The same into the file at path, which is replaced only once the whole
// text is on the disk: a failure leaves whatever was there before.
// Throws DbError, or std::filesystem::filesystem_error when the file
// cannot be written.
std::size_t exportSourceCsvFile(Database& db, std::string_view source, const std::string& path);

// Runs write on the file at path, replaced in the same way; returns what
// write returns (the rows written).
std::size_t writeCsvFile(const std::string& path, const std::function<std::size_t(std::ostream&)>& write);

}  // namespace ledger
