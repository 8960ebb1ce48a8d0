#pragma once
// What happens to a holding besides trades: a split changes how many shares
// there are, a cash dividend pays income. Both are recorded beside the
// trades, never by rewriting them, and belong to a symbol as the trades do.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "figures/decimal.h"

namespace ledger {

// newShares for every oldShares held: 2:1 doubles the shares, 1:10 is a
// reverse split. Both are whole numbers above zero.
struct StockSplit {
  std::string symbol;
  std::string date;  // YYYY-MM-DD; acts before every trade of that day
  std::int64_t newShares = 1;
  std::int64_t oldShares = 1;

  friend bool operator==(const StockSplit&, const StockSplit&) = default;
};

// A cash dividend as paid: gross before tax, the tax withheld from it, and
// optionally the shares bought with it (recorded as an ordinary purchase,
// which then lives on as a trade of its own).
struct CashDividend {
  std::string symbol;
  std::string date;  // pay date, YYYY-MM-DD
  Decimal gross;
  Decimal withholding;
  std::optional<Decimal> reinvestQuantity;
  std::optional<Decimal> reinvestPrice;

  Decimal net() const { return gross - withholding; }
  friend bool operator==(const CashDividend&, const CashDividend&) = default;
};

// A row of Split or Dividend that cannot be used (a ratio with a zero, a
// date that is not a date, ...): left out of the reports and listed.
struct SkippedEvent {
  enum class Kind { Split, Dividend };
  Kind kind = Kind::Split;
  std::int64_t rowid = 0;
  std::string symbol;
  std::string date;
  std::string reason;
};

// What a report must say about the events it left out, one line each:
// empty when there are none.
std::vector<std::string> skippedEventNotes(const std::vector<SkippedEvent>& skipped);

}  // namespace ledger
