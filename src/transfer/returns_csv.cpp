#include "transfer/returns_csv.h"

#include <array>
#include <string>

#include "transfer/csv_writer.h"

namespace ledger {

namespace {

std::string plain(const std::optional<Decimal>& d) { return d ? d->toPlainString() : std::string(); }

void returnsRow(std::ostream& out, const ReturnFigures& f) {
  writeCsvRow(out, std::array<std::string, 10>{f.symbol, isoDateOf(f.from), isoDateOf(f.to), plain(f.start.value),
                                                plain(f.end.value), f.invested.toPlainString(),
                                                f.returned.toPlainString(), f.income.toPlainString(),
                                                percentText(f.irr), percentText(f.twr)});
}

}  // namespace

void writeMarketValueCsv(std::ostream& out, const MarketValueReport& report) {
  writeCsvRow(out, std::array<std::string, 9>{"Symbol", "Shares", "Cost", "AverageCost", "RealizedGain", "Price",
                                               "PriceDate", "MarketValue", "UnrealizedGain"});
  for (const HoldingValue& line : report.holdings) {
    const Holding& h = line.holding;
    writeCsvRow(out, std::array<std::string, 9>{
                         h.symbol, h.shares.toPlainString(), h.cost.toPlainString(),
                         h.averageCost ? h.averageCost->toPlainString() : std::string(), h.realizedGain.toPlainString(),
                         line.price ? line.price->close.toPlainString() : std::string(),
                         line.price ? isoDateOf(line.price->day) : std::string(), plain(line.marketValue),
                         plain(line.unrealizedGain)});
  }
}

void writeReturnsCsv(std::ostream& out, const ReturnsReport& report) {
  writeCsvRow(out, std::array<std::string, 10>{"Symbol", "From", "To", "StartValue", "EndValue", "Invested",
                                                "Returned", "Income", "IRR", "TWR"});
  for (const ReturnFigures& company : report.companies) returnsRow(out, company);
  returnsRow(out, report.total);
}

}  // namespace ledger
