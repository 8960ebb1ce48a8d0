#pragma once
// What the import window is made over: the chosen file, read as CSV bytes
// or, for a ledger in the older format, opened as its tables.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "access/table_source.h"
#include "app/prompter.h"
#include "transfer/import_source.h"

namespace ledger {

struct ImportInput {
  // The chosen file's name without its folder, for the window's title.
  std::string fileName;
  std::string csvBytes;
  // Set for a ledger in the older format; csvBytes is then empty.
  std::unique_ptr<TableSource> source;
  // The source's tables, in the order the file lists them.
  std::vector<std::string> tableNames;

  bool fromTables() const { return source != nullptr; }
};

// Which reading of the input the window shows: a table of a ledger in the
// older format, or the CSV bytes with the user's delimiter and header (the
// first reading leaves both out, and they are guessed).
struct ImportReading {
  std::string table;
  std::optional<char> delimiter;
  std::optional<bool> hasHeader;
};

// The input as rows of text cells. A table that cannot be read is told
// through prompter and reads as no rows; a table's column names are its
// header.
ImportTable readImportTable(const ImportInput& input, const ImportReading& reading, Prompter& prompter);

}  // namespace ledger
