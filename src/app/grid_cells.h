#pragma once
// The text a grid shows in a cell that it does not show as read.

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/value.h"

namespace ledger {

// Text for a cell from its row's values (in column order) and its column,
// or nullopt to show the cell as read.
using CellText = std::function<std::optional<std::string>(std::span<const Value> row, int column)>;

// The columns a ledger computes from a row's numbers (TotalPurchase,
// TotalSell) among columnNames, as exact decimals; empty when there are
// none, so that a grid without them pays nothing per cell.
CellText computedColumnText(const std::vector<std::string>& columnNames);

}  // namespace ledger
