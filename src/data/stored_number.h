#pragma once
// The exact value of a stored double, quickly.
//
// Gives the same value as Decimal::fromDouble (the shortest text that reads
// back to d), without going through text for the usual case of a figure
// with at most a few decimals: d is tried as r / 10^k for k = 0 .. 8, and
// r × 10^-k is taken when it reads back to d and |r| < 2^51. Below 2^51 a
// double's rounding interval is narrower than half of 10^-k, so it holds no
// other number of k decimals, and no shorter text at all: r × 10^-k is then
// the shortest text's value. Anything else goes to Decimal::fromDouble.

#include "decimal.h"

namespace ledger {

// REQUIRES: d is finite.
Decimal decimalFromStored(double d);

}  // namespace ledger
