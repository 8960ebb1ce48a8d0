#include "gains.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "sqlite_util.h"
#include "value.h"

namespace ledger {

namespace {

// Places kept by a cost that is a share of a lot or of the pool.
constexpr int kCostDecimals = 4;

int yearOf(const std::string& date) { return std::stoi(date.substr(0, 4)); }

}  // namespace

std::string_view costMethodName(CostMethod method) { return method == CostMethod::Fifo ? "fifo" : "average"; }

std::optional<CostMethod> costMethodFromName(std::string_view name) {
  if (name == "fifo") return CostMethod::Fifo;
  if (name == "average") return CostMethod::Average;
  return std::nullopt;
}

GainsCalculator::GainsCalculator(CostMethod method) { m_report.method = method; }

void GainsCalculator::add(const GainsTrade& trade) {
  if (!m_open || trade.symbol != m_symbol) {
    if (m_open && trade.symbol < m_symbol) throw std::invalid_argument("trades out of order: symbol " + trade.symbol);
    closeCompany();
    m_symbol = trade.symbol;
    m_lastDate.clear();
    m_open = true;
  }
  if (trade.date < m_lastDate) throw std::invalid_argument("trades out of order: " + trade.symbol + " " + trade.date);
  m_lastDate = trade.date;

  const Decimal amount = trade.quantity * trade.price;
  if (trade.side == TradeSide::Buy)
    buy(trade, amount + trade.commission);
  else
    sell(trade, amount - trade.commission);
}

void GainsCalculator::skip(SkippedTrade trade) { m_report.skipped.push_back(std::move(trade)); }

void GainsCalculator::buy(const GainsTrade& trade, const Decimal& cost) {
  if (m_report.method == CostMethod::Fifo) m_lots.push_back({trade.date, trade.quantity, cost});
  m_heldShares += trade.quantity;
  m_heldCost += cost;
}

void GainsCalculator::sell(const GainsTrade& trade, const Decimal& proceeds) {
  SaleGain sale;
  sale.date = trade.date;
  sale.symbol = trade.symbol;
  sale.shares = trade.quantity;
  sale.proceeds = proceeds;

  if (m_report.method == CostMethod::Fifo) {
    Decimal wanted = trade.quantity;
    while (wanted.sign() > 0 && !m_lots.empty()) {
      Lot& lot = m_lots.front();
      sale.lotDates.push_back(lot.date);
      if (lot.shares <= wanted) {
        // The whole rest of the lot, with whatever its rounding left.
        sale.cost += lot.cost;
        wanted -= lot.shares;
        m_lots.pop_front();
      } else {
        const Decimal part = (lot.cost * wanted).dividedBy(lot.shares, kCostDecimals);
        sale.cost += part;
        lot.cost -= part;
        lot.shares -= wanted;
        wanted = Decimal();
      }
    }
    sale.uncoveredShares = wanted;
    m_heldShares -= trade.quantity - wanted;
    m_heldCost -= sale.cost;
  } else if (trade.quantity >= m_heldShares) {
    // Everything held goes; the pool starts again from nothing.
    sale.cost = m_heldCost;
    sale.uncoveredShares = trade.quantity - m_heldShares;
    m_heldShares = Decimal();
    m_heldCost = Decimal();
  } else {
    sale.cost = (m_heldCost * trade.quantity).dividedBy(m_heldShares, kCostDecimals);
    m_heldShares -= trade.quantity;
    m_heldCost -= sale.cost;
  }
  sale.gain = sale.proceeds - sale.cost;

  if (sale.covered()) {
    m_realized += sale.gain;
    m_years[yearOf(sale.date)][sale.symbol] += sale.gain;
  } else {
    ++m_report.uncoveredSales;
  }
  m_report.sales.push_back(std::move(sale));
}

void GainsCalculator::closeCompany() {
  if (!m_open) return;
  Holding holding;
  holding.symbol = m_symbol;
  holding.shares = m_heldShares;
  holding.cost = m_heldCost;
  if (m_heldShares.sign() > 0) holding.averageCost = m_heldCost.dividedBy(m_heldShares, kCostDecimals);
  holding.realizedGain = m_realized;
  m_report.holdings.push_back(std::move(holding));

  m_lots.clear();
  m_heldShares = Decimal();
  m_heldCost = Decimal();
  m_realized = Decimal();
  m_open = false;
}

GainsReport GainsCalculator::finish() {
  closeCompany();
  for (auto& [year, companies] : m_years) {
    YearGains summary;
    summary.year = year;
    for (auto& [symbol, gain] : companies) {
      summary.total += gain;
      summary.companies.emplace_back(symbol, gain);
    }
    m_report.years.push_back(std::move(summary));
  }
  m_years.clear();

  // The sales came company by company; a reader wants them by date. A
  // stable order keeps the symbols and the entry order within a day.
  std::vector<SaleGain>& sales = m_report.sales;
  std::vector<std::size_t> order(sales.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&sales](std::size_t a, std::size_t b) { return sales[a].date < sales[b].date; });
  std::vector<SaleGain> byDate;
  byDate.reserve(sales.size());
  for (std::size_t i : order) byDate.push_back(std::move(sales[i]));
  sales = std::move(byDate);

  GainsReport done = std::move(m_report);
  m_report = GainsReport{};
  m_report.method = done.method;
  return done;
}

// ---- reading the ledger --------------------------------------------------

const char* const kGainsTradesSql =
    "SELECT rowid, CompanySymbol, Date, [Buy/Sell], Quantity, Price, Commission FROM Trade "
    "ORDER BY CompanySymbol, Date, rowid";

namespace {

enum Column { kRowid, kSymbol, kDate, kSide, kQuantity, kPrice, kCommission };

std::string columnText(sqlite3_stmt* stmt, int col) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
  return std::string(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, col)));
}

// A number column as a Decimal; nullopt when it holds no finite number.
std::optional<Decimal> columnNumber(sqlite3_stmt* stmt, int col) {
  switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER:
      return Decimal::fromInt(sqlite3_column_int64(stmt, col));
    case SQLITE_FLOAT: {
      const double d = sqlite3_column_double(stmt, col);
      if (!std::isfinite(d)) return std::nullopt;
      return Decimal::fromDouble(d);
    }
    default:
      return std::nullopt;
  }
}

// Reads the row into trade; the reason it cannot be used otherwise.
std::optional<std::string> readRow(sqlite3_stmt* stmt, GainsTrade& trade) {
  if (sqlite3_column_type(stmt, kSymbol) != SQLITE_TEXT || trade.symbol.empty()) return "no symbol";
  if (sqlite3_column_type(stmt, kDate) != SQLITE_TEXT || !isIsoDate(trade.date)) return "no valid date";
  if (sqlite3_column_type(stmt, kSide) != SQLITE_TEXT) return "neither a purchase nor a sale";
  const std::optional<TradeSide> side = sideFromCode(columnText(stmt, kSide));
  if (!side) return "neither a purchase nor a sale";
  trade.side = *side;

  std::optional<Decimal> quantity = columnNumber(stmt, kQuantity);
  if (!quantity || quantity->sign() <= 0) return "no quantity above zero";
  std::optional<Decimal> price = columnNumber(stmt, kPrice);
  if (!price || price->sign() < 0) return "no price of zero or more";
  std::optional<Decimal> commission;
  if (sqlite3_column_type(stmt, kCommission) == SQLITE_NULL) {
    commission = Decimal();
  } else {
    commission = columnNumber(stmt, kCommission);
    if (!commission) return "a commission that is not a number";
  }
  trade.quantity = std::move(*quantity);
  trade.price = std::move(*price);
  trade.commission = std::move(*commission);
  return std::nullopt;
}

}  // namespace

GainsReport readGainsReport(Database& db, CostMethod method) {
  sqlite3* handle = db.handle();
  detail::StmtPtr stmt = detail::prepare(handle, kGainsTradesSql);
  GainsCalculator calculator(method);
  GainsTrade trade;
  while (detail::step(handle, stmt.get())) {
    trade.symbol = columnText(stmt.get(), kSymbol);
    trade.date = columnText(stmt.get(), kDate);
    if (std::optional<std::string> reason = readRow(stmt.get(), trade))
      calculator.skip({sqlite3_column_int64(stmt.get(), kRowid), trade.symbol, trade.date, std::move(*reason)});
    else
      calculator.add(trade);
  }
  return calculator.finish();
}

std::vector<std::string> gainsNotes(const GainsReport& report) {
  std::vector<std::string> notes;
  if (report.uncoveredSales > 0) {
    notes.push_back(report.uncoveredSales == 1
                        ? std::string("1 sale sold more shares than were held at its date; its gain is left out "
                                      "of the totals.")
                        : std::to_string(report.uncoveredSales) +
                              " sales sold more shares than were held at their dates; their gains are left out "
                              "of the totals.");
  }
  if (!report.skipped.empty()) {
    notes.push_back(report.skipped.size() == 1
                        ? std::string("1 trade is left out because it is incomplete:")
                        : std::to_string(report.skipped.size()) + " trades are left out because they are incomplete:");
    // Name a few so they can be found; the rest are counted.
    constexpr std::size_t kNamed = 5;
    for (std::size_t i = 0; i < report.skipped.size() && i < kNamed; ++i) {
      const SkippedTrade& t = report.skipped[i];
      notes.push_back("  " + (t.symbol.empty() ? std::string("(no symbol)") : t.symbol) + " " +
                      (t.date.empty() ? std::string("(no date)") : t.date) + ": " + t.reason + ".");
    }
    if (report.skipped.size() > kNamed) notes.push_back("  and " + std::to_string(report.skipped.size() - kNamed) + " more.");
  }
  return notes;
}

std::string joinLotDates(const std::vector<std::string>& dates) {
  std::string text;
  for (const std::string& date : dates) {
    if (!text.empty()) text += ' ';
    text += date;
  }
  return text;
}

}  // namespace ledger
