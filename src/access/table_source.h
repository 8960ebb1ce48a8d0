#pragma once
// A read-only source of named tables: what the conversion of an older
// ledger and an import from one read. The Access-format reader is one such
// source; tests pass a fake one.

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/value.h"

namespace ledger {

struct SourceTable {
  std::vector<std::string> columns;
  // Each row has one value per column: Null, a whole number, a real number
  // (Currency values are the nearest double to their exact four-decimal
  // value) or UTF-8 text (dates as YYYY-MM-DD, with " HH:MM:SS" when the
  // value has a time of day).
  std::vector<std::vector<Value>> rows;
};

// A source that cannot be read (damaged, encrypted, not what it claimed).
class SourceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TableSource {
 public:
  virtual ~TableSource() = default;
  // The user's tables, in the order the file lists them.
  virtual std::vector<std::string> tableNames() = 0;
  // Every column and row of the table called name. Throws SourceError.
  virtual SourceTable readTable(const std::string& name) = 0;
};

}  // namespace ledger
