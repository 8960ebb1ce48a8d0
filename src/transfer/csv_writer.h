#pragma once
// Comma-separated text as RFC 4180 writes it: a field is put in double
// quotes when it holds a comma, a double quote, a carriage return or a line
// feed, with each double quote inside doubled; every row ends with CR LF.
// Text is passed through byte for byte (the program's text is UTF-8).

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace ledger {

// The field as it goes into a row: quoted only when it has to be.
std::string csvField(std::string_view text);

// Writes the fields, separated by commas, and the row's CR LF.
void writeCsvRow(std::ostream& out, std::span<const std::string> fields);

}  // namespace ledger
