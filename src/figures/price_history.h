#pragma once
// A ledger's closing prices held for the reports: one compact array of
// (day, close as stored) per company, searched by date. The closes stay as
// the ledger stores them (a whole number or a double) and become exact
// decimals only when a report uses one, so that millions of prices cost
// 16 bytes each and no conversion they do not need.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "figures/calendar_days.h"
#include "figures/decimal.h"
#include "figures/gains.h"  // StoredNumber

namespace ledger {

struct PricePoint {
  CalendarDay day;
  bool whole;
  union {
    std::int64_t wholeClose;
    double realClose;
  };
  Decimal close() const { return whole ? Decimal::fromInt(wholeClose) : Decimal::fromDouble(realClose); }
};
static_assert(sizeof(PricePoint) == 16);

// A close and the day it is of.
struct DatedClose {
  CalendarDay day = 0;
  Decimal close;
};

// A split as the values need it: newShares for every oldShares from day on.
struct SplitStep {
  CalendarDay day = 0;
  std::int64_t newShares = 1;
  std::int64_t oldShares = 1;
};

class PriceHistory {
 public:
  // REQUIRES: prices come by symbol (byte order) and, within a symbol, by
  // day, one per day, as the ledger's index on (CompanySymbol, Date) gives
  // them; close is above zero.
  void add(std::string_view symbol, CalendarDay day, const StoredNumber& close);
  // The prices of symbol, by day; empty when it has none.
  std::span<const PricePoint> of(std::string_view symbol) const;
  std::size_t size() const { return m_points.size(); }
  // Room for this many prices (a hint).
  void expect(std::size_t prices) { m_points.reserve(prices); }

 private:
  struct Company {
    std::string symbol;
    std::size_t begin, end;
  };
  std::vector<Company> m_companies;  // by symbol
  std::vector<PricePoint> m_points;
};

// The index of the last price on or before day; nullopt when there is none.
std::optional<std::size_t> lastPriceOnOrBefore(std::span<const PricePoint> prices, CalendarDay day);

// What `shares`, held at the end of day, are worth at the last close on or
// before it. A close is per share of its own date: when splits come after
// it and on or before day, it is turned into a close per share of day
// (close x old / new for each) and the value rounded half-even to 4
// decimals; otherwise the value is shares x close, exact.
struct SharesValue {
  DatedClose price;  // as stored
  Decimal value;
  bool splitSincePrice = false;
};
// nullopt when there is no price on or before day. splits: the company's, by day.
std::optional<SharesValue> valueOfShares(const Decimal& shares, CalendarDay day, std::span<const PricePoint> prices,
                                         std::span<const SplitStep> splits);

}  // namespace ledger
