#pragma once
// What the holdings are worth at a date: each held company's last close on
// or before it (figures/price_history.h), the market value of the shares
// held then, the unrealized gain (market value − the cost of those shares
// by the method chosen, figures/gains.h) and its share of the whole.
//
// A company held without a price on or before the date has no market
// value, no unrealized gain and no share: it is listed as unpriced, never
// shown as worth zero, and the whole is the sum of the priced ones. A
// company whose shares are all sold is not unpriced: with a close its value
// is zero, without one it has no figures.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "figures/gains.h"
#include "figures/price_history.h"

namespace ledger {

struct HoldingValue {
  Holding holding;  // as of the date
  // The last close on or before the date, as stored, and its date; none
  // when the company has no price by then.
  std::optional<DatedClose> price;
  // A split came after the close and on or before the date: the value is
  // worked from the close per share after it (price_history.h).
  bool splitSincePrice = false;
  std::optional<Decimal> marketValue;
  std::optional<Decimal> unrealizedGain;
  // Percent of the whole's market value, 2 decimals; none when the whole
  // is zero or this one has no value.
  std::optional<Decimal> sharePercent;
};

struct MarketValueReport {
  CostMethod method = CostMethod::Fifo;
  std::string asOf;  // YYYY-MM-DD
  std::vector<HoldingValue> holdings;  // every company with a trade by then, by symbol
  // The sums over the companies with a value.
  Decimal totalValue;
  Decimal totalCost;
  Decimal totalUnrealizedGain;
  // The companies held without a price, by symbol.
  std::vector<std::string> unpriced;
  // From the gains worked out: what they left out or could not cover.
  std::vector<SkippedTrade> skipped;
  std::vector<SkippedEvent> skippedEvents;
  std::size_t uncoveredSales = 0;
};

// Values report's holdings (worked out from the trades and splits dated on
// or before asOf) at asOf, following the ledger's splits.
// REQUIRES: isIsoDate(asOf).
MarketValueReport valueHoldings(const GainsReport& report, const PriceHistory& prices,
                                const std::vector<StockSplit>& splits, std::string_view asOf);

// What the report must say besides its rows: the companies without a
// price, and what the gains say (gainsNotes).
std::vector<std::string> marketValueNotes(const MarketValueReport& report);

}  // namespace ledger
