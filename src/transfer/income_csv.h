#pragma once
// The income report as CSV (see csv_writer.h), as the gains report is
// written: exact figures with '.', a header row first.

#include <optional>
#include <ostream>

#include "figures/income.h"

namespace ledger {

// Year,Symbol,Gross,Withholding,Net: the companies of each year, then the
// year's total in a row whose Symbol is empty; of one year only when asked.
void writeIncomeCsv(std::ostream& out, const IncomeReport& report, std::optional<int> year = std::nullopt);

}  // namespace ledger
