#include "transfer/gains_csv.h"

#include <array>
#include <string>

#include "transfer/csv_writer.h"

namespace ledger {

namespace {

template <std::size_t N>
void row(std::ostream& out, const std::array<std::string, N>& fields) {
  writeCsvRow(out, fields);
}

}  // namespace

void writeGainsCsvHeader(std::ostream& out) {
  row<10>(out, {"Date", "Symbol", "Shares", "Proceeds", "Cost", "Gain", "Lots", "Uncovered", "Rule", "Disallowed"});
}

bool saleOfYear(const SaleGain& sale, std::optional<int> year, TaxYears years) {
  return !year || taxYearOfDate(sale.date, years) == *year;
}

void writeGainsCsvRow(std::ostream& out, const SaleGain& sale) {
  row<10>(out, {sale.date, sale.symbol, sale.shares.toPlainString(), sale.proceeds.toPlainString(),
                sale.cost.toPlainString(), sale.gain.toPlainString(), sale.lots, sale.uncoveredShares.toPlainString(),
                sale.rule, sale.disallowed.toPlainString()});
}

void writeGainsCsv(std::ostream& out, const GainsReport& report, std::optional<int> year) {
  writeGainsCsvHeader(out);
  for (const SaleGain& sale : report.sales)
    if (saleOfYear(sale, year, report.taxYears)) writeGainsCsvRow(out, sale);
}

void writeHoldingsCsv(std::ostream& out, const GainsReport& report) {
  row<5>(out, {"Symbol", "Shares", "Cost", "AverageCost", "RealizedGain"});
  for (const Holding& h : report.holdings)
    row<5>(out, {h.symbol, h.shares.toPlainString(), h.cost.toPlainString(),
                 h.averageCost ? h.averageCost->toPlainString() : std::string(), h.realizedGain.toPlainString()});
}

void writeYearlyCsv(std::ostream& out, const GainsReport& report) {
  row<3>(out, {"Year", "Symbol", "Gain"});
  for (const YearGains& y : report.years) {
    const std::string year = taxYearLabel(y.year, report.taxYears);
    for (const auto& [symbol, gain] : y.companies) row<3>(out, {year, symbol, gain.toPlainString()});
    row<3>(out, {year, std::string(), y.total.toPlainString()});
  }
}

}  // namespace ledger
