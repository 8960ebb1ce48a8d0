#pragma once
// The market value and the returns as CSV (see csv_writer.h): ISO dates,
// exact figures with '.', percentages with 2 decimals, a header row first.

#include <ostream>

#include "figures/market_value.h"
#include "figures/returns.h"

namespace ledger {

// Symbol,Shares,Cost,AverageCost,RealizedGain (as writeHoldingsCsv), then
// Price,PriceDate,MarketValue,UnrealizedGain, empty where there is no price.
void writeMarketValueCsv(std::ostream& out, const MarketValueReport& report);

// Symbol,From,To,StartValue,EndValue,Invested,Returned,Income,IRR,TWR: one
// row per company, then the whole ledger's with an empty Symbol. A value
// or a return that cannot be worked out is empty.
void writeReturnsCsv(std::ostream& out, const ReturnsReport& report);

}  // namespace ledger
