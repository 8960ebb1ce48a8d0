#pragma once
// What a split about to be entered does to the holding: the shares held
// just before it acts and just after, as the gains engine works them out.

#include <string>

#include "engine/database.h"
#include "figures/corporate_events.h"
#include "figures/decimal.h"

namespace ledger {

struct SplitHolding {
  Decimal before;
  Decimal after;
};

// The shares of split.symbol held just before split acts (every trade dated
// before its date, following the symbol's earlier splits) and after it
// (by FIFO lots, each rounded as the gains report rounds it). A split of
// that symbol and date already in the ledger is left out: the new one
// takes its place. Rows the gains report leaves out are left out here.
// REQUIRES: split as readSplit gives it, with a date written YYYY-MM-DD.
// Throws DbError.
SplitHolding splitHolding(Database& db, const StockSplit& split);

// "You hold 100 shares; after a 2:1 split you will hold 200."
std::string splitHoldingText(const StockSplit& split, const SplitHolding& holding);

}  // namespace ledger
