#include "figures/price_history.h"

#include <algorithm>

namespace ledger {

namespace {

// Places kept by a value worked from a close before a split.
constexpr int kValueDecimals = 4;

}  // namespace

void PriceHistory::add(std::string_view symbol, CalendarDay day, const StoredNumber& close) {
  if (m_companies.empty() || m_companies.back().symbol != symbol)
    m_companies.push_back({std::string(symbol), m_points.size(), m_points.size()});
  PricePoint point{};
  point.day = day;
  point.whole = close.isWhole;
  if (close.isWhole)
    point.wholeClose = close.whole;
  else
    point.realClose = close.real;
  m_points.push_back(point);
  m_companies.back().end = m_points.size();
}

std::span<const PricePoint> PriceHistory::of(std::string_view symbol) const {
  const auto at = std::lower_bound(m_companies.begin(), m_companies.end(), symbol,
                                   [](const Company& c, std::string_view s) { return c.symbol < s; });
  if (at == m_companies.end() || at->symbol != symbol) return {};
  return std::span<const PricePoint>(m_points).subspan(at->begin, at->end - at->begin);
}

std::optional<std::size_t> lastPriceOnOrBefore(std::span<const PricePoint> prices, CalendarDay day) {
  const auto after = std::upper_bound(prices.begin(), prices.end(), day,
                                      [](CalendarDay d, const PricePoint& p) { return d < p.day; });
  if (after == prices.begin()) return std::nullopt;
  return static_cast<std::size_t>(after - prices.begin()) - 1;
}

std::optional<SharesValue> valueOfShares(const Decimal& shares, CalendarDay day, std::span<const PricePoint> prices,
                                         std::span<const SplitStep> splits) {
  const std::optional<std::size_t> at = lastPriceOnOrBefore(prices, day);
  if (!at) return std::nullopt;
  SharesValue result;
  result.price = {prices[*at].day, prices[*at].close()};
  Decimal newShares = Decimal::fromInt(1), oldShares = Decimal::fromInt(1);
  for (const SplitStep& split : splits) {
    if (split.day <= result.price.day) continue;
    if (split.day > day) break;
    newShares = newShares * Decimal::fromInt(split.newShares);
    oldShares = oldShares * Decimal::fromInt(split.oldShares);
    result.splitSincePrice = true;
  }
  if (!result.splitSincePrice) {
    result.value = shares * result.price.close;
  } else {
    result.value = (shares * result.price.close * oldShares).dividedBy(newShares, kValueDecimals);
  }
  return result;
}

}  // namespace ledger
