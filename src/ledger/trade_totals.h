#pragma once
// The totals of a ledger's trades, read from Trade.

#include <optional>
#include <string_view>

#include "engine/database.h"
#include "figures/exact_figures.h"

namespace ledger {

// Reads every trade of the ledger, or only the company's when symbol is
// given (its text compared exactly), in one pass and one read snapshot,
// and totals them. Throws DbError.
TradeTotals readTradeTotals(Database& db, std::optional<std::string_view> symbol = std::nullopt);

}  // namespace ledger
