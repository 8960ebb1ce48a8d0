#pragma once
// What the import window is made over: the chosen file, read as CSV bytes
// or, for a ledger in the older format, opened as its tables.

#include <memory>
#include <string>

#include "access/table_source.h"

namespace ledger {

struct ImportInput {
  // The chosen file's name without its folder, for the window's title.
  std::string fileName;
  std::string csvBytes;
  // Set for a ledger in the older format; csvBytes is then empty.
  std::unique_ptr<TableSource> source;
};

}  // namespace ledger
