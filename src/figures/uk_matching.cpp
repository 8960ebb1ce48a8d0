// UK share identification (see gains.h). The trades are taken a day at a
// time and, on a day, a company at a time by symbol; a company's trades of
// the day make one acquisition and one disposal. The acquisition gives
// first to the day's disposal, then to the claims earlier disposals made
// on it under the 30-day rule, then covers short sales and joins the pool.
// A disposal's 30-day rule looks at the company's next 30 days of trades
// through its positions, leaving to each of those days what its own
// disposal takes, and claims what it matches until that day comes.

#include <algorithm>

#include "figures/gains.h"

namespace ledger {

namespace {

constexpr int kCostDecimals = 4;
constexpr int kShareDecimals = 6;
constexpr int kWindowDays = 30;

// Adds a rule's name to the sale's, which come in the order the rules do.
void addRule(SaleGain& sale, const char* rule) {
  if (!sale.rule.empty()) sale.rule += ' ';
  sale.rule += rule;
}

const Decimal& lesser(const Decimal& a, const Decimal& b) { return b < a ? b : a; }

}  // namespace

std::size_t GainsCalculator::ukDayTrades(const Company& company, std::size_t position, DayTrades& trades) const {
  const Day day = m_stored[company.positions[position]].day;
  for (; position < company.positions.size(); ++position) {
    const StoredTrade& t = m_stored[company.positions[position]];
    if (t.day != day) break;
    const Decimal quantity = t.value(StoredTrade::kQuantity, m_exact);
    const Decimal amount = quantity * t.value(StoredTrade::kPrice, m_exact);
    const Decimal commission = t.value(StoredTrade::kCommission, m_exact);
    if (t.side == TradeSide::Buy) {
      ++trades.purchases;
      trades.bought += quantity;
      trades.boughtCost += amount + commission;
    } else {
      trades.sold += quantity;
      trades.proceeds += amount - commission;
    }
  }
  return position;
}

namespace {

// The cost of the shares of a day's acquisition that its own disposal takes.
Decimal sameDayCost(const Decimal& bought, const Decimal& boughtCost, const Decimal& same) {
  if (same.isZero()) return Decimal();
  return same == bought ? boughtCost : (boughtCost * same).dividedBy(bought, kCostDecimals);
}

}  // namespace

void GainsCalculator::workOutUk() {
  // A day's rows by symbol.
  std::vector<std::uint32_t> rank(m_companies.size());
  {
    std::vector<std::uint32_t> bySymbol(m_companies.size());
    for (std::uint32_t i = 0; i < bySymbol.size(); ++i) bySymbol[i] = i;
    std::sort(bySymbol.begin(), bySymbol.end(),
              [this](std::uint32_t a, std::uint32_t b) { return m_companies[a].symbol < m_companies[b].symbol; });
    for (std::uint32_t i = 0; i < bySymbol.size(); ++i) rank[bySymbol[i]] = i;
  }
  for (std::size_t i = 0; i < m_stored.size(); ++i)
    m_companies[m_stored[i].company].positions.push_back(static_cast<std::uint32_t>(i));

  std::vector<std::uint32_t> today;  // the companies trading on the day
  for (std::size_t i = 0; i < m_stored.size();) {
    const Day day = m_stored[i].day;
    today.clear();
    std::size_t end = i;
    for (; end < m_stored.size() && m_stored[end].day == day; ++end) today.push_back(m_stored[end].company);
    std::sort(today.begin(), today.end(), [&rank](std::uint32_t a, std::uint32_t b) { return rank[a] < rank[b]; });
    today.erase(std::unique(today.begin(), today.end()), today.end());
    m_lastDay = day;
    if (m_nextSplit < m_splits.size() && m_splits[m_nextSplit].day <= day) applySplitsThrough(day);
    for (std::uint32_t index : today) {
      Company& company = m_companies[index];
      DayTrades trades;
      company.nextPosition = ukDayTrades(company, company.nextPosition, trades);
      ukDay(company, day, trades);
    }
    i = end;
  }
}

void GainsCalculator::ukDay(Company& company, Day day, const DayTrades& trades) {
  const Decimal same = lesser(trades.bought, trades.sold);
  const Decimal sameCost = sameDayCost(trades.bought, trades.boughtCost, same);
  if (trades.purchases > 0) {
    // What earlier disposals' 30-day rule claimed of it is theirs already.
    Decimal claimed, claimedCost;
    if (!company.claims.empty() && company.claims.front().day == day) {
      claimed = company.claims.front().shares;
      claimedCost = company.claims.front().cost;
      company.claims.pop_front();
    }
    buy(company, day, trades.bought - same - claimed, trades.boughtCost - sameCost - claimedCost, trades.purchases);
  }
  if (trades.sold.sign() <= 0) return;

  SaleGain& sale = startSale(company, day, trades.sold, trades.proceeds);
  sale.cost = sameCost;
  if (same.sign() > 0) addRule(sale, "same-day");
  Decimal wanted = trades.sold - same;
  if (wanted.sign() > 0) wanted = ukThirtyDays(company, day, wanted, sale);
  if (wanted.sign() > 0 && company.heldShares.sign() > 0) {
    addRule(sale, "pool");
    if (wanted >= company.heldShares) {
      sale.cost += company.heldCost;
      wanted -= company.heldShares;
      company.heldShares = Decimal();
      company.heldCost = Decimal();
    } else {
      const Decimal part = (company.heldCost * wanted).dividedBy(company.heldShares, kCostDecimals);
      sale.cost += part;
      company.heldShares -= wanted;
      company.heldCost -= part;
      wanted = Decimal();
    }
  }
  // What is still missing waits for later acquisitions (buy()).
  sale.uncoveredShares = wanted;
  endSale(company, sale);
}

Decimal GainsCalculator::ukThirtyDays(Company& company, Day day, Decimal wanted, SaleGain& sale) {
  const Day through = dayNumberPlus(day, kWindowDays);
  std::size_t position = std::max(company.nextPosition, company.firstUnclaimed);
  std::size_t claim = 0;
  bool used = false, allClaimedSoFar = true;
  while (wanted.sign() > 0 && position < company.positions.size()) {
    const Day on = m_stored[company.positions[position]].day;
    if (on > through) break;
    DayTrades trades;
    const std::size_t after = ukDayTrades(company, position, trades);
    while (claim < company.claims.size() && company.claims[claim].day < on) ++claim;
    const bool claimed = claim < company.claims.size() && company.claims[claim].day == on;
    // The day's own disposal comes first.
    const Decimal same = lesser(trades.bought, trades.sold);
    const Decimal sameCost = sameDayCost(trades.bought, trades.boughtCost, same);
    const Decimal free = trades.bought - same - (claimed ? company.claims[claim].shares : Decimal());
    bool exhausted = true;
    if (free.sign() > 0) {
      // Compared in the shares of the acquisition's day.
      const auto [newShares, oldShares] = splitsBetween(company.symbol, day, on);
      const bool split = newShares != oldShares;
      const Decimal need = split ? (wanted * newShares).dividedBy(oldShares, kShareDecimals) : wanted;
      const Decimal chunk = lesser(need, free);
      // The rest of the day's cost goes with its last free shares.
      const Decimal cost = chunk == free ? trades.boughtCost - sameCost - (claimed ? company.claims[claim].cost : Decimal())
                                         : (trades.boughtCost * chunk).dividedBy(trades.bought, kCostDecimals);
      Decimal sold = chunk == need ? wanted : split ? (chunk * oldShares).dividedBy(newShares, kShareDecimals) : chunk;
      if (sold > wanted) sold = wanted;  // rounding back through a split
      if (claimed) {
        company.claims[claim].shares += chunk;
        company.claims[claim].cost += cost;
      } else {
        company.claims.insert(company.claims.begin() + static_cast<std::ptrdiff_t>(claim), Claim{on, position, chunk, cost});
      }
      sale.cost += cost;
      wanted -= sold;
      used = true;
      exhausted = chunk == free;
    }
    // Later disposals need not look again at the days with nothing left.
    if (allClaimedSoFar && exhausted)
      company.firstUnclaimed = after;
    else
      allClaimedSoFar = false;
    if (!exhausted) break;
    position = after;
  }
  if (used) addRule(sale, "30-day");
  return wanted;
}

}  // namespace ledger
