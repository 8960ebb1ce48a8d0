#pragma once
// The gains report as CSV (see csv_writer.h): ISO dates, exact figures with
// '.' and no thousands separators, a header row first.

#include <optional>
#include <ostream>

#include "figures/gains.h"

namespace ledger {

// Date,Symbol,Shares,Proceeds,Cost,Gain,Lots,Uncovered,Rule,Disallowed: one
// row per sale, or per sale of that year only (by the report's kind of
// year). Lots holds the FIFO purchase dates taken from, separated by
// spaces; Uncovered the shares missing, 0 when covered; Rule the UK rules
// that matched the sale; Disallowed the loss a wash sale disallowed, or 0.
void writeGainsCsv(std::ostream& out, const GainsReport& report, std::optional<int> year = std::nullopt);
// The same, a row at a time: the header, whether a sale is of the year
// asked for (any year when none is), and a sale's row.
void writeGainsCsvHeader(std::ostream& out);
bool saleOfYear(const SaleGain& sale, std::optional<int> year, TaxYears years = TaxYears::Calendar);
void writeGainsCsvRow(std::ostream& out, const SaleGain& sale);

// Symbol,Shares,Cost,AverageCost,RealizedGain: one row per company.
// AverageCost is empty when no shares are held.
void writeHoldingsCsv(std::ostream& out, const GainsReport& report);

// Year,Symbol,Gain: the companies of each year, then the year's total in a
// row whose Symbol is empty. A UK tax year is written 2024-25.
void writeYearlyCsv(std::ostream& out, const GainsReport& report);

}  // namespace ledger
