#include "app/grid_cells.h"

#include "figures/exact_figures.h"

namespace ledger {

CellText computedColumnText(const std::vector<std::string>& columnNames) {
  const ComputedColumns columns(columnNames);
  if (!columns.any()) return {};
  return [columns](std::span<const Value> row, int column) { return columns.text(row, column); };
}

}  // namespace ledger
