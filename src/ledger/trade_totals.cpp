#include "ledger/trade_totals.h"

#include <cmath>
#include <string>

#include "engine/statement.h"

namespace ledger {

TradeTotals readTradeTotals(Database& db, std::optional<std::string_view> symbol) {
  std::string sql = "SELECT [Buy/Sell], Quantity, Price, Commission FROM Trade";
  if (symbol) sql += " WHERE CompanySymbol = ?";
  // One statement is one snapshot of the file.
  Statement row(db, sql);
  if (symbol) row.bind(1, *symbol);
  TradeTotals totals;
  const auto finite = [&row](int column, double& out) {
    if (row.type(column) != ColumnType::Real) return false;
    out = row.real(column);
    return std::isfinite(out);
  };
  const auto side = [&row]() -> char {
    if (row.type(0) != ColumnType::Text) return 0;
    const std::string_view code = row.text(0);
    return code == "B" || code == "S" ? code[0] : 0;
  };
  while (row.step()) {
    // The usual trade, read without making values: a side of "B" or "S"
    // and three finite numbers. Anything else takes the general way.
    double q, p, c;
    if (const char code = side(); code && finite(1, q) && finite(2, p) && finite(3, c)) {
      totals.add(code == 'B', q, p, c);
      continue;
    }
    totals.add(row.value(0), row.value(1), row.value(2), row.value(3));
  }
  return totals;
}

}  // namespace ledger
