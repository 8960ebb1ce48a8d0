#include "gains.h"

#include <algorithm>
#include <cmath>
#include <new>
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
  if (trade.date < m_lastDate) throw std::invalid_argument("trades out of date order: " + trade.date);
  if (trade.date != m_lastDate) m_lastDate = trade.date;

  Company& company = m_companies[trade.symbol];
  const Decimal amount = trade.quantity * trade.price;
  if (trade.side == TradeSide::Buy)
    buy(company, trade, amount + trade.commission);
  else
    sell(company, trade, amount - trade.commission);
}

void GainsCalculator::expectTrades(std::size_t trades) {
  try {
    m_report.sales.reserve(trades);
  } catch (const std::bad_alloc&) {
    // Only a hint: the sales grow as they come.
  } catch (const std::length_error&) {
  }
}

void GainsCalculator::skip(SkippedTrade trade) { m_report.skipped.push_back(std::move(trade)); }

void GainsCalculator::buy(Company& company, const GainsTrade& trade, const Decimal& cost) {
  if (m_report.method == CostMethod::Fifo) company.lots.push_back({trade.date, trade.quantity, cost});
  company.heldShares += trade.quantity;
  company.heldCost += cost;
}

void GainsCalculator::sell(Company& company, const GainsTrade& trade, const Decimal& proceeds) {
  SaleGain& sale = m_report.sales.emplace_back();
  sale.date = trade.date;
  sale.symbol = trade.symbol;
  sale.shares = trade.quantity;
  sale.proceeds = proceeds;

  if (m_report.method == CostMethod::Fifo) {
    Decimal wanted = trade.quantity;
    while (wanted.sign() > 0 && !company.lots.empty()) {
      Lot& lot = company.lots.front();
      if (!sale.lots.empty()) sale.lots += ' ';
      sale.lots += lot.date;
      if (lot.shares <= wanted) {
        // The whole rest of the lot, with whatever its rounding left.
        sale.cost += lot.cost;
        wanted -= lot.shares;
        company.lots.pop_front();
      } else {
        const Decimal part = (lot.cost * wanted).dividedBy(lot.shares, kCostDecimals);
        sale.cost += part;
        lot.cost -= part;
        lot.shares -= wanted;
        wanted = Decimal();
      }
    }
    sale.uncoveredShares = wanted;
    company.heldShares -= trade.quantity - wanted;
    company.heldCost -= sale.cost;
  } else if (trade.quantity >= company.heldShares) {
    // Everything held goes; the pool starts again from nothing.
    sale.cost = company.heldCost;
    sale.uncoveredShares = trade.quantity - company.heldShares;
    company.heldShares = Decimal();
    company.heldCost = Decimal();
  } else {
    sale.cost = (company.heldCost * trade.quantity).dividedBy(company.heldShares, kCostDecimals);
    company.heldShares -= trade.quantity;
    company.heldCost -= sale.cost;
  }
  sale.gain = sale.proceeds - sale.cost;

  if (sale.covered()) {
    company.realized += sale.gain;
    company.realizedByYear[yearOf(sale.date)] += sale.gain;
  } else {
    ++m_report.uncoveredSales;
  }
}

GainsReport GainsCalculator::finish() {
  std::vector<const std::string*> symbols;
  for (const auto& entry : m_companies) symbols.push_back(&entry.first);
  std::sort(symbols.begin(), symbols.end(), [](const std::string* a, const std::string* b) { return *a < *b; });

  std::map<int, std::map<std::string, Decimal>> years;
  for (const std::string* symbol : symbols) {
    const Company& company = m_companies.at(*symbol);
    for (const auto& [year, gain] : company.realizedByYear) years[year][*symbol] = gain;
    Holding& holding = m_report.holdings.emplace_back();
    holding.symbol = *symbol;
    holding.shares = company.heldShares;
    holding.cost = company.heldCost;
    if (company.heldShares.sign() > 0)
      holding.averageCost = company.heldCost.dividedBy(company.heldShares, kCostDecimals);
    holding.realizedGain = company.realized;
  }
  for (auto& [year, companies] : years) {
    YearGains& summary = m_report.years.emplace_back();
    summary.year = year;
    for (auto& [symbol, gain] : companies) {
      summary.total += gain;
      summary.companies.emplace_back(symbol, gain);
    }
  }
  m_companies.clear();
  m_lastDate.clear();

  GainsReport done = std::move(m_report);
  m_report = GainsReport{};
  m_report.method = done.method;
  return done;
}

// ---- reading the ledger --------------------------------------------------

const char* const kGainsTradesSql =
    "SELECT rowid, CompanySymbol, Date, [Buy/Sell], Quantity, Price, Commission FROM Trade "
    "ORDER BY Date, rowid";

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
// lastDate is the date of the row read before, already found valid.
std::optional<std::string> readRow(sqlite3_stmt* stmt, GainsTrade& trade, const std::string& lastDate) {
  if (sqlite3_column_type(stmt, kSymbol) != SQLITE_TEXT || trade.symbol.empty()) return "no symbol";
  if (sqlite3_column_type(stmt, kDate) != SQLITE_TEXT) return "no valid date";
  // Rows come by date, so most share the date checked a row before.
  const bool checkedBefore = !lastDate.empty() && trade.date == lastDate;
  if (!checkedBefore && !isIsoDate(trade.date)) return "no valid date";
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
  GainsCalculator calculator(method);
  if (const std::optional<Value> count = db.scalar("SELECT count(*) FROM Trade"))
    if (const auto* n = std::get_if<std::int64_t>(&*count)) calculator.expectTrades(static_cast<std::size_t>(*n));
  detail::StmtPtr stmt = detail::prepare(handle, kGainsTradesSql);
  GainsTrade trade;
  std::string validDate;
  while (detail::step(handle, stmt.get())) {
    trade.symbol = columnText(stmt.get(), kSymbol);
    trade.date = columnText(stmt.get(), kDate);
    if (std::optional<std::string> reason = readRow(stmt.get(), trade, validDate)) {
      calculator.skip({sqlite3_column_int64(stmt.get(), kRowid), trade.symbol, trade.date, std::move(*reason)});
    } else {
      calculator.add(trade);
      validDate = trade.date;
    }
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
                        ? std::string("1 trade is left out of the report:")
                        : std::to_string(report.skipped.size()) + " trades are left out of the report:");
    // Name a few so they can be found; the rest are counted.
    constexpr std::size_t kNamed = 5;
    for (std::size_t i = 0; i < report.skipped.size() && i < kNamed; ++i) {
      const SkippedTrade& t = report.skipped[i];
      notes.push_back("  " + (t.symbol.empty() ? std::string("(no symbol)") : t.symbol) + " " +
                      (t.date.empty() ? std::string("(no date)") : t.date) + ": " + t.reason + ".");
    }
    if (report.skipped.size() > kNamed)
      notes.push_back("  and " + std::to_string(report.skipped.size() - kNamed) + " more.");
  }
  return notes;
}

}  // namespace ledger
