#pragma once
// The command that imports closing prices without a window:
//
//   shareledger import-prices LEDGER FILE.csv [--symbol S]
//       [--map date=COL,close=COL[,symbol=COL]] [--date-format FMT]
//       [--delimiter C] [--decimal-comma | --thousands-comma] [--replace]
//       [--dry-run]
//
// What is not given is guessed as the import window guesses it; what the
// window would ask (a date column that fits several formats, a comma the
// file leaves open) refuses the import instead. Returns the exit status
// (0 done, 1 refused, 2 written wrong).

#include <ostream>
#include <span>
#include <string>

namespace ledger {

extern const char* const kImportPricesUsage;

int importPricesCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace ledger
