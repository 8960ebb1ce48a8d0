#pragma once
// The commands that move trades in and out of a ledger without a window:
//
//   shareledger export trades|splits|dividends LEDGER [--out FILE]
//   shareledger import LEDGER FILE.csv --map symbol=COL,date=COL,side=COL,
//       quantity=COL,price=COL[,commission=COL] --date-format FMT
//       [--delimiter C] [--decimal-comma] [--side-from-sign] [--no-header]
//       [--keep-duplicates] [--dry-run]
//   shareledger convert OLD NEW
//
// Each receives the arguments after its word and returns the exit status
// (0 done, 1 failed or refused, 2 written wrong). No application object is
// needed.

#include <ostream>
#include <span>
#include <string>

namespace ledger {

extern const char* const kExportUsage;
extern const char* const kImportUsage;
extern const char* const kConvertUsage;

int exportCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int importCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);
int convertCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace ledger
