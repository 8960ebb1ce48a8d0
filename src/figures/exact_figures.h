#pragma once
// The figures the program shows that are computed from trades: each
// trade's total, the totals of purchases and sales, the profit or loss and
// its percentage. All exact: every stored number counts as the decimal the
// user typed (the shortest text that reads back to the stored double), and
// the arithmetic is decimal, so 3 × 0.1 is 0.3 and a million trades add up
// to the cent. The ledger's stored queries compute the same figures in
// binary floating point for other programs that read the file; the program
// shows these instead.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "figures/decimal.h"
#include "engine/value.h"

namespace ledger {

// A figure computed from stored numbers. Exact while every number in it is
// finite; another program can store an infinity, and then the figure is
// what floating point gives (shown "INF", "-INF"), never a crash.
class Amount {
 public:
  Amount() = default;
  explicit Amount(Decimal exact) : m_exact(std::move(exact)) {}
  // nullopt for Null and text.
  static std::optional<Amount> fromValue(const Value& v);

  bool isFinite() const { return m_finite; }
  // REQUIRES: isFinite().
  const Decimal& exact() const { return m_exact; }
  // The infinity when not finite; otherwise -1, 0 or 1 by sign, which is
  // all floating point needs of a finite number next to an infinity.
  double signOrSpecial() const;

  friend Amount operator+(const Amount& a, const Amount& b);
  friend Amount operator-(const Amount& a, const Amount& b);
  friend Amount operator*(const Amount& a, const Amount& b);
  Amount& operator+=(const Amount& b);

  // The display form (Decimal::toDisplayString); nullopt when the figure is
  // not a number at all (infinity less infinity), which the ledger's own
  // queries give as Null.
  std::optional<std::string> text() const;

 private:
  static Amount special(double d);

  Decimal m_exact;
  double m_special = 0;
  bool m_finite = true;
};

// Quantity × Price + Commission (purchase) or − Commission (sale); Null
// (nullopt) when any of the three is Null, as in the ledger's queries.
std::optional<Amount> tradeTotal(const Value& quantity, const Value& price, const Value& commission, bool purchase);

// ---- figures of a set of trades -------------------------------------------

// Totals as the ledger's Total Buy / Total Sell / Profit/Loss queries define
// them: a sum over no trades (or only trades with a Null in them) is Null,
// and so is everything computed from a Null.
struct TradeTotals {
  std::optional<Amount> totalBuy;
  std::optional<Amount> totalSell;

  // Adds one trade (side "B" a purchase, "S" a sale, anything else
  // neither).
  void add(const Value& side, const Value& quantity, const Value& price, const Value& commission);
  // The same for a trade whose three numbers are all finite.
  void add(bool purchase, double quantity, double price, double commission);

  std::optional<Amount> profitLoss() const;
  // (sell − buy) × 100 / buy, rounded half-even to two decimals; Null when
  // either total is Null or the purchases total 0.
  std::optional<Amount> percentage() const;
};

// Figure texts: the display form, or for a percentage exactly two
// decimals ("-75.03"). nullopt for Null.
std::optional<std::string> figureText(const std::optional<Amount>& a);
std::optional<std::string> percentageText(const std::optional<Amount>& p);

// ---- computed columns of a row ---------------------------------------------

// The columns of Bought and Sold (and the queries over them) that the
// ledger computes from the row's own numbers: TotalPurchase and TotalSell.
// Given a source's column names, shows those columns exactly. A computed
// cell is shown exactly only when its stored value is what the ledger's
// formula gives in floating point, so a ledger whose queries compute
// something else is shown as it is.
class ComputedColumns {
 public:
  ComputedColumns() = default;
  explicit ComputedColumns(std::span<const std::string> columnNames);

  bool any() const { return m_purchase >= 0 || m_sale >= 0; }
  // The text for the cell at column of a row (values in column order), or
  // nullopt when the cell is not a computed one and shows as stored.
  std::optional<std::string> text(std::span<const Value> row, int column) const;

 private:
  int m_quantity = -1, m_price = -1, m_commission = -1;
  int m_purchase = -1, m_sale = -1;
};

}  // namespace ledger
