#include "ledger/trade_rows.h"

#include <cmath>

namespace ledger {

namespace {

int signOf(const StoredNumber& n) {
  if (n.isWhole) return n.whole > 0 ? 1 : (n.whole < 0 ? -1 : 0);
  return n.real > 0 ? 1 : (n.real < 0 ? -1 : 0);
}

}  // namespace

std::optional<StoredNumber> columnNumber(const Statement& row, int col) {
  StoredNumber n{};
  switch (row.type(col)) {
    case ColumnType::Integer:
      n.whole = row.integer(col);
      n.isWhole = true;
      return n;
    case ColumnType::Real:
      n.real = row.real(col);
      if (!std::isfinite(n.real)) return std::nullopt;
      n.isWhole = false;
      return n;
    default:
      return std::nullopt;
  }
}

std::optional<std::string> readTradeRowFigures(const Statement& row, TradeRowFigures& figures) {
  if (row.type(kTradeSide) != ColumnType::Text) return "neither a purchase nor a sale";
  const std::optional<TradeSide> side = sideFromCode(row.text(kTradeSide));
  if (!side) return "neither a purchase nor a sale";
  figures.side = *side;

  const std::optional<StoredNumber> quantity = columnNumber(row, kTradeQuantity);
  if (!quantity || signOf(*quantity) <= 0) return "no quantity above zero";
  const std::optional<StoredNumber> price = columnNumber(row, kTradePrice);
  if (!price || signOf(*price) < 0) return "no price of zero or more";
  StoredNumber commission{};
  if (row.type(kTradeCommission) == ColumnType::Null) {
    commission.whole = 0;
    commission.isWhole = true;
  } else {
    const std::optional<StoredNumber> stored = columnNumber(row, kTradeCommission);
    if (!stored) return "a commission that is not a number";
    commission = *stored;
  }
  figures.quantity = *quantity;
  figures.price = *price;
  figures.commission = commission;
  return std::nullopt;
}

}  // namespace ledger
