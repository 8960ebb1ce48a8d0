#include "figures/price_history.h"

#include <algorithm>

namespace ledger {

namespace {

// Places kept by a value worked from a close before a split.
constexpr int kValueDecimals = 4;

}  // namespace

void PriceHistory::add(std::string_view symbol, CalendarDay day, const StoredNumber& close) {
  PricePoint point{};
  point.day = day;
  point.whole = close.isWhole;
  if (close.isWhole)
    point.wholeClose = close.whole;
  else
    point.realClose = close.real;
  if (m_inOrder) {
    if (m_companies.empty() || m_companies.back().symbol < symbol) {
      m_companies.push_back({std::string(symbol), m_points.size(), m_points.size()});
    } else if (m_companies.back().symbol != symbol || m_points.back().day >= day) {
      loosen();
    }
  }
  if (m_inOrder) {
    m_points.push_back(point);
    m_companies.back().end = m_points.size();
    return;
  }
  // The company's index, found by symbol, added when new.
  auto at = std::lower_bound(m_looseIndex.begin(), m_looseIndex.end(), symbol,
                             [](const auto& entry, std::string_view s) { return entry.first < s; });
  if (at == m_looseIndex.end() || at->first != symbol) {
    at = m_looseIndex.insert(at, {std::string(symbol), static_cast<std::uint32_t>(m_companies.size())});
    m_companies.push_back({std::string(symbol), 0, 0});
  }
  m_loose.push_back({at->second, static_cast<std::uint32_t>(m_loose.size()), point});
}

void PriceHistory::loosen() {
  m_inOrder = false;
  m_loose.reserve(m_points.size() * 2);
  for (std::uint32_t c = 0; c < m_companies.size(); ++c) {
    m_looseIndex.emplace_back(m_companies[c].symbol, c);
    for (std::size_t i = m_companies[c].begin; i < m_companies[c].end; ++i)
      m_loose.push_back({c, static_cast<std::uint32_t>(m_loose.size()), m_points[i]});
  }
  m_points = {};
}

void PriceHistory::finish() {
  if (m_inOrder) return;
  // Each company's rank by symbol, then the prices by rank, day and order added.
  std::vector<std::uint32_t> rank(m_companies.size());
  for (std::uint32_t r = 0; r < m_looseIndex.size(); ++r) rank[m_looseIndex[r].second] = r;
  std::sort(m_loose.begin(), m_loose.end(), [&](const Loose& a, const Loose& b) {
    if (rank[a.company] != rank[b.company]) return rank[a.company] < rank[b.company];
    if (a.point.day != b.point.day) return a.point.day < b.point.day;
    return a.order < b.order;
  });
  std::vector<Company> companies;
  companies.reserve(m_looseIndex.size());
  for (const auto& [symbol, company] : m_looseIndex) companies.push_back({symbol, 0, 0});
  m_points.clear();
  m_points.reserve(m_loose.size());
  std::size_t next = 0;
  for (std::uint32_t r = 0; r < companies.size(); ++r) {
    companies[r].begin = m_points.size();
    for (; next < m_loose.size() && rank[m_loose[next].company] == r; ++next)
      if (m_points.size() == companies[r].begin || m_points.back().day != m_loose[next].point.day)
        m_points.push_back(m_loose[next].point);
    companies[r].end = m_points.size();
  }
  m_companies = std::move(companies);
  m_loose = {};
  m_looseIndex = {};
  m_inOrder = true;
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
