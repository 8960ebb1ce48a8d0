#include "figures/market_value.h"

#include <algorithm>

namespace ledger {

namespace {

constexpr int kPercentDecimals = 2;

std::vector<SplitStep> splitsOf(const std::vector<StockSplit>& splits, std::string_view symbol) {
  std::vector<SplitStep> steps;
  for (const StockSplit& split : splits)
    if (split.symbol == symbol) steps.push_back({calendarDayOf(split.date), split.newShares, split.oldShares});
  std::stable_sort(steps.begin(), steps.end(), [](const SplitStep& a, const SplitStep& b) { return a.day < b.day; });
  return steps;
}

}  // namespace

MarketValueReport valueHoldings(const GainsReport& report, const PriceHistory& prices,
                                const std::vector<StockSplit>& splits, std::string_view asOf) {
  MarketValueReport result;
  result.method = report.method;
  result.asOf = std::string(asOf);
  result.skipped = report.skipped;
  result.skippedEvents = report.skippedEvents;
  result.uncoveredSales = report.uncoveredSales;
  const CalendarDay day = calendarDayOf(asOf);
  result.holdings.reserve(report.holdings.size());
  for (const Holding& holding : report.holdings) {
    HoldingValue& line = result.holdings.emplace_back();
    line.holding = holding;
    const std::span<const PricePoint> own = prices.of(holding.symbol);
    const std::optional<SharesValue> value = valueOfShares(holding.shares, day, own, splitsOf(splits, holding.symbol));
    if (value) {
      line.price = value->price;
      line.splitSincePrice = value->splitSincePrice;
      line.marketValue = value->value;
    } else {
      // Sold out, it needs no price and is worth nothing; still, with no
      // close there is nothing to show.
      if (!holding.shares.isZero()) result.unpriced.push_back(holding.symbol);
      continue;
    }
    line.unrealizedGain = *line.marketValue - holding.cost;
    result.totalValue += *line.marketValue;
    result.totalCost += holding.cost;
    result.totalUnrealizedGain += *line.unrealizedGain;
  }
  if (result.totalValue.sign() != 0)
    for (HoldingValue& line : result.holdings)
      if (line.marketValue)
        line.sharePercent = (*line.marketValue * Decimal::fromInt(100)).dividedBy(result.totalValue, kPercentDecimals);
  return result;
}

std::vector<std::string> marketValueNotes(const MarketValueReport& report) {
  GainsReport gains;
  gains.skipped = report.skipped;
  gains.skippedEvents = report.skippedEvents;
  gains.uncoveredSales = report.uncoveredSales;
  std::vector<std::string> notes = gainsNotes(gains);
  if (report.unpriced.empty()) return notes;
  std::string line = std::to_string(report.unpriced.size()) +
                     (report.unpriced.size() == 1 ? " company is" : " companies are") +
                     " held with no price on or before " + report.asOf + ", so without a market value:";
  // Name a few so they can be found; the rest are counted.
  constexpr std::size_t kNamed = 10;
  for (std::size_t i = 0; i < report.unpriced.size() && i < kNamed; ++i) line += " " + report.unpriced[i];
  if (report.unpriced.size() > kNamed) line += " and " + std::to_string(report.unpriced.size() - kNamed) + " more";
  notes.push_back(line + ".");
  return notes;
}

}  // namespace ledger
