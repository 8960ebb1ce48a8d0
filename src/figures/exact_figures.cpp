#include "figures/exact_figures.h"

#include <cmath>
#include <limits>


namespace ledger {

namespace {

// A stored number as a double; nullopt for Null and text.
std::optional<double> storedNumber(const Value& v) {
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* n = std::get_if<std::int64_t>(&v)) return static_cast<double>(*n);
  return std::nullopt;
}

constexpr int kPercentDecimals = 2;

}  // namespace

// ---- Amount ------------------------------------------------------------------

Amount Amount::special(double d) {
  Amount a;
  a.m_finite = false;
  a.m_special = d;
  return a;
}

std::optional<Amount> Amount::fromValue(const Value& v) {
  if (const auto* n = std::get_if<std::int64_t>(&v)) return Amount(Decimal::fromInt(*n));
  if (const auto* d = std::get_if<double>(&v)) {
    if (std::isfinite(*d)) return Amount(Decimal::fromDouble(*d));
    return special(*d);
  }
  return std::nullopt;
}

// With an infinity in it, a figure is what floating point gives; a finite
// operand counts by its sign only, so a total beyond a double's range
// (1E+600) still leaves INF - 1E+600 = INF.
double Amount::signOrSpecial() const {
  if (!m_finite) return m_special;
  return static_cast<double>(m_exact.sign());
}

Amount& Amount::operator+=(const Amount& b) {
  if (m_finite && b.m_finite)
    m_exact += b.m_exact;  // in place: the totals add a million of these
  else
    *this = *this + b;
  return *this;
}

Amount operator+(const Amount& a, const Amount& b) {
  if (a.m_finite && b.m_finite) return Amount(a.m_exact + b.m_exact);
  return Amount::special((a.m_finite ? 0.0 : a.m_special) + (b.m_finite ? 0.0 : b.m_special));
}

Amount operator-(const Amount& a, const Amount& b) {
  if (a.m_finite && b.m_finite) return Amount(a.m_exact - b.m_exact);
  return Amount::special((a.m_finite ? 0.0 : a.m_special) - (b.m_finite ? 0.0 : b.m_special));
}

Amount operator*(const Amount& a, const Amount& b) {
  if (a.m_finite && b.m_finite) return Amount(a.m_exact * b.m_exact);
  return Amount::special(a.signOrSpecial() * b.signOrSpecial());
}

std::optional<std::string> Amount::text() const {
  if (m_finite) return m_exact.toDisplayString();
  if (std::isnan(m_special)) return std::nullopt;
  return formatNumber(m_special);
}

std::optional<Amount> tradeTotal(const Value& quantity, const Value& price, const Value& commission, bool purchase) {
  const auto q = Amount::fromValue(quantity), p = Amount::fromValue(price), c = Amount::fromValue(commission);
  if (!q || !p || !c) return std::nullopt;
  return purchase ? *q * *p + *c : *q * *p - *c;
}

// ---- totals ------------------------------------------------------------------

void TradeTotals::add(const Value& side, const Value& quantity, const Value& price, const Value& commission) {
  const auto* code = std::get_if<std::string>(&side);
  if (!code || (*code != "B" && *code != "S")) return;
  const bool purchase = *code == "B";
  const auto total = tradeTotal(quantity, price, commission, purchase);
  if (!total) return;  // SUM passes over Null
  std::optional<Amount>& sum = purchase ? totalBuy : totalSell;
  if (sum)
    *sum += *total;
  else
    sum = *total;
}

void TradeTotals::add(bool purchase, double quantity, double price, double commission) {
  Decimal total = Decimal::fromDouble(quantity) * Decimal::fromDouble(price);
  if (purchase)
    total += Decimal::fromDouble(commission);
  else
    total -= Decimal::fromDouble(commission);
  std::optional<Amount>& sum = purchase ? totalBuy : totalSell;
  if (sum)
    *sum += Amount(std::move(total));
  else
    sum = Amount(std::move(total));
}

std::optional<Amount> TradeTotals::profitLoss() const {
  if (!totalBuy || !totalSell) return std::nullopt;
  return *totalSell - *totalBuy;
}

std::optional<Amount> TradeTotals::percentage() const {
  const auto pl = profitLoss();
  if (!pl) return std::nullopt;
  if (pl->isFinite() && totalBuy->isFinite()) {
    if (totalBuy->exact().isZero()) return std::nullopt;  // the ledger's query divides by 0: Null
    return Amount((pl->exact() * Decimal::fromInt(100)).dividedBy(totalBuy->exact(), kPercentDecimals));
  }
  const double buy = totalBuy->signOrSpecial();
  if (buy == 0) return std::nullopt;
  const double percent = pl->signOrSpecial() / buy;
  if (std::isnan(percent)) return std::nullopt;
  return Amount::fromValue(percent);
}

std::optional<std::string> figureText(const std::optional<Amount>& a) {
  if (!a) return std::nullopt;
  return a->text();
}

std::optional<std::string> percentageText(const std::optional<Amount>& p) {
  if (!p) return std::nullopt;
  if (p->isFinite()) return p->exact().toFixedString(kPercentDecimals);
  return p->text();
}

// ---- computed columns --------------------------------------------------------

ComputedColumns::ComputedColumns(std::span<const std::string> columnNames) {
  for (int i = 0; i < static_cast<int>(columnNames.size()); ++i) {
    const std::string& name = columnNames[static_cast<size_t>(i)];
    if (name == "Quantity") m_quantity = i;
    else if (name == "Price") m_price = i;
    else if (name == "Commission") m_commission = i;
    else if (name == "TotalPurchase") m_purchase = i;
    else if (name == "TotalSell") m_sale = i;
  }
  if (m_quantity < 0 || m_price < 0 || m_commission < 0) m_purchase = m_sale = -1;
}

std::optional<std::string> ComputedColumns::text(std::span<const Value> row, int column) const {
  if (column < 0 || (column != m_purchase && column != m_sale)) return std::nullopt;
  const auto size = static_cast<int>(row.size());
  if (m_quantity >= size || m_price >= size || m_commission >= size || column >= size) return std::nullopt;
  const bool purchase = column == m_purchase;
  const Value& q = row[static_cast<size_t>(m_quantity)];
  const Value& p = row[static_cast<size_t>(m_price)];
  const Value& c = row[static_cast<size_t>(m_commission)];
  // Only where the stored figure is this row's own total in floating point.
  const auto stored = storedNumber(row[static_cast<size_t>(column)]);
  const auto dq = storedNumber(q), dp = storedNumber(p), dc = storedNumber(c);
  if (!stored || !dq || !dp || !dc) return std::nullopt;
  const double binary = purchase ? *dq * *dp + *dc : *dq * *dp - *dc;
  if (binary != *stored) return std::nullopt;
  return figureText(tradeTotal(q, p, c, purchase));
}

}  // namespace ledger
