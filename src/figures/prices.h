#pragma once
// A company's closing price on a day, as the ledger keeps it: one per
// symbol and date, always above zero. A price dated on or after a split's
// date is per share after the split.

#include <string>

#include "figures/decimal.h"

namespace ledger {

struct ClosePrice {
  std::string symbol;
  std::string date;  // YYYY-MM-DD
  Decimal close;

  friend bool operator==(const ClosePrice&, const ClosePrice&) = default;
};

}  // namespace ledger
