#include "transfer/gains_csv.h"

#include <array>
#include <cstdio>
#include <string>

#include "transfer/csv_writer.h"

namespace ledger {

namespace {

template <std::size_t N>
void row(std::ostream& out, const std::array<std::string, N>& fields) {
  writeCsvRow(out, fields);
}

// Four digits, as the year of an ISO date.
std::string yearText(int year) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", year);
  return text;
}

}  // namespace

void writeGainsCsvHeader(std::ostream& out) {
  row<8>(out, {"Date", "Symbol", "Shares", "Proceeds", "Cost", "Gain", "Lots", "Uncovered"});
}

bool saleOfYear(const SaleGain& sale, std::optional<int> year) {
  return !year || sale.date.compare(0, 5, yearText(*year) + "-") == 0;
}

void writeGainsCsvRow(std::ostream& out, const SaleGain& sale) {
  row<8>(out, {sale.date, sale.symbol, sale.shares.toPlainString(), sale.proceeds.toPlainString(),
               sale.cost.toPlainString(), sale.gain.toPlainString(), sale.lots, sale.uncoveredShares.toPlainString()});
}

void writeGainsCsv(std::ostream& out, const GainsReport& report, std::optional<int> year) {
  writeGainsCsvHeader(out);
  for (const SaleGain& sale : report.sales)
    if (saleOfYear(sale, year)) writeGainsCsvRow(out, sale);
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
    const std::string year = yearText(y.year);
    for (const auto& [symbol, gain] : y.companies) row<3>(out, {year, symbol, gain.toPlainString()});
    row<3>(out, {year, std::string(), y.total.toPlainString()});
  }
}

}  // namespace ledger
