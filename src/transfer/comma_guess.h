#pragma once
// Whether a comma in a file's numbers is a decimal comma or a thousands
// separator, where a number alone cannot say: "1,250" is 1.25 to a German
// broker and 1250 to an American one.

#include <optional>
#include <string>
#include <vector>

#include "transfer/csv_reader.h"
#include "transfer/import_plan.h"

namespace ledger {

struct CommaGuess {
  // Some number of the mapped quantity, price and commission columns has
  // one comma and exactly three digits after it, and no point.
  bool ambiguous = false;
  // What the file settles for those numbers: true for a decimal comma;
  // nullopt when it does not settle it (or nothing is ambiguous).
  std::optional<bool> decimalComma;
  // The first such number and its column (the header's name, else
  // "column N"), for the user.
  std::string example;
  std::string column;
};

// The rules, over every number of the mapped numeric columns (rows after
// the header):
//   a number holding both ',' and '.': the last of them is the decimal
//     mark ("1.259,59" says decimal comma, "1,250.50" thousands comma);
//   two or more commas ("1,250,000"): thousands comma;
//   one comma with other than three digits after it ("12,5", "4,95",
//     "0,125" with its leading zero): decimal comma;
//   two or more points ("1.250.000"): decimal comma;
//   one point with other than three digits after it ("12.50"): thousands;
//   anything else says nothing.
// When the numbers say one thing only, that settles it; when they say
// nothing, a semicolon delimiter (the habit where the comma is the decimal
// mark) says decimal comma; when they say both, nothing is settled.
CommaGuess guessDecimalComma(const std::vector<CsvRecord>& records, const ImportOptions& options, char delimiter);

}  // namespace ledger
