#include "transfer/csv_writer.h"

namespace ledger {

std::string csvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted += '"';
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

void writeCsvRow(std::ostream& out, std::span<const std::string> fields) {
  // A row of one empty field would otherwise be a blank line, which readers
  // skip.
  if (fields.size() == 1 && fields[0].empty()) {
    out << "\"\"\r\n";
    return;
  }
  bool first = true;
  for (const std::string& field : fields) {
    if (!first) out << ',';
    first = false;
    out << csvField(field);
  }
  out << "\r\n";
}

}  // namespace ledger
