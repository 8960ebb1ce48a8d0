#include "app/split_holding.h"

#include <vector>

#include "engine/statement.h"
#include "engine/value.h"
#include "figures/gains.h"
#include "ledger/event_writes.h"

namespace ledger {

namespace {

// A stored quantity above zero; nullopt for anything else.
std::optional<Decimal> quantityOf(const Statement& row, int col) {
  std::optional<Decimal> q;
  if (row.type(col) == ColumnType::Integer) q = Decimal::fromInt(row.integer(col));
  if (row.type(col) == ColumnType::Real) q = Decimal::fromDouble(row.real(col));
  if (q && q->sign() > 0) return q;
  return std::nullopt;
}

Decimal sharesHeld(GainsCalculator& calculator, const std::string& symbol) {
  const GainsReport report = calculator.finish();
  for (const Holding& h : report.holdings)
    if (h.symbol == symbol) return h.shares;
  return Decimal::fromInt(0);
}

}  // namespace

SplitHolding splitHolding(Database& db, const StockSplit& split) {
  // Only the shares matter, so the trades are fed without price or commission.
  std::vector<GainsTrade> trades;
  Statement row(db,
                "SELECT [Buy/Sell], Quantity, Date FROM Trade WHERE CompanySymbol = ?1 AND Date < ?2 "
                "ORDER BY Date, rowid");
  row.bind(1, std::string_view(split.symbol));
  row.bind(2, std::string_view(split.date));
  while (row.step()) {
    const std::optional<TradeSide> side = row.type(0) == ColumnType::Text ? sideFromCode(row.text(0)) : std::nullopt;
    const std::optional<Decimal> quantity = quantityOf(row, 1);
    if (!side || !quantity || row.type(2) != ColumnType::Text || !isIsoDate(row.text(2))) continue;
    trades.push_back({split.symbol, std::string(row.text(2)), *side, *quantity, {}, {}});
  }
  std::vector<StockSplit> earlier;
  for (StockSplit& s : readSplits(db, split.symbol))
    if (s.date < split.date && isIsoDate(s.date) && s.newShares > 0 && s.oldShares > 0) earlier.push_back(std::move(s));

  const auto held = [&](bool withSplit) {
    GainsCalculator calculator(CostMethod::Fifo);
    std::size_t next = 0;
    for (const GainsTrade& trade : trades) {
      // A split acts before the trades of its date.
      for (; next < earlier.size() && earlier[next].date <= trade.date; ++next) calculator.addSplit(earlier[next]);
      calculator.add(trade);
    }
    for (; next < earlier.size(); ++next) calculator.addSplit(earlier[next]);
    if (withSplit) calculator.addSplit(split);
    return sharesHeld(calculator, split.symbol);
  };
  return {held(false), held(true)};
}

std::string splitHoldingText(const StockSplit& split, const SplitHolding& holding) {
  const std::string shares = holding.before == Decimal::fromInt(1) ? " share" : " shares";
  return "You hold " + holding.before.toDisplayString() + shares + "; after a " + std::to_string(split.newShares) +
         ":" + std::to_string(split.oldShares) + " split you will hold " + holding.after.toDisplayString() + ".";
}

}  // namespace ledger
