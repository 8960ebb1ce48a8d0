#pragma once
// `report gains|holdings|yearly [--method fifo|average] [--year YYYY] LEDGER`:
// the gains report of a ledger as CSV on standard output; `report income
// [--year YYYY] LEDGER`: its dividends.

#include "app/command_line.h"

namespace ledger {

extern const char* const kReportUsage;

int runReportCommand(CommandCall& call);

}  // namespace ledger
