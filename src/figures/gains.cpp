#include "figures/gains.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <string_view>
#include <stdexcept>

#include "engine/large_pages.h"
#include "engine/sqlite_util.h"
#include "engine/value.h"

namespace ledger {

namespace {

// Places kept by a cost that is a share of a lot or of the pool.
constexpr int kCostDecimals = 4;

constexpr std::uint32_t digitsValue(const char* p, int n) {
  std::uint32_t v = 0;
  for (int i = 0; i < n; ++i) v = v * 10 + static_cast<std::uint32_t>(p[i] - '0');
  return v;
}

// YYYYMMDD of an ISO date text. REQUIRES: isIsoDate(date).
std::uint32_t dayOf(std::string_view date) {
  return digitsValue(date.data(), 4) * 10000 + digitsValue(date.data() + 5, 2) * 100 +
         digitsValue(date.data() + 8, 2);
}

// The ISO text of YYYYMMDD, written into out[0..10).
void writeDay(std::uint32_t day, char* out) {
  const std::uint32_t year = day / 10000, month = day / 100 % 100, dayOfMonth = day % 100;
  out[0] = static_cast<char>('0' + year / 1000);
  out[1] = static_cast<char>('0' + year / 100 % 10);
  out[2] = static_cast<char>('0' + year / 10 % 10);
  out[3] = static_cast<char>('0' + year % 10);
  out[4] = '-';
  out[5] = static_cast<char>('0' + month / 10);
  out[6] = static_cast<char>('0' + month % 10);
  out[7] = '-';
  out[8] = static_cast<char>('0' + dayOfMonth / 10);
  out[9] = static_cast<char>('0' + dayOfMonth % 10);
}

constexpr std::size_t kDateLength = 10;

}  // namespace

std::string_view costMethodName(CostMethod method) { return method == CostMethod::Fifo ? "fifo" : "average"; }

std::optional<CostMethod> costMethodFromName(std::string_view name) {
  if (name == "fifo") return CostMethod::Fifo;
  if (name == "average") return CostMethod::Average;
  return std::nullopt;
}

GainsCalculator::GainsCalculator(CostMethod method, SaleSink onSale) : m_onSale(std::move(onSale)) {
  m_report.method = method;
}

void GainsCalculator::add(const GainsTrade& trade) {
  if (!isIsoDate(trade.date)) throw std::invalid_argument("not a date written YYYY-MM-DD: " + trade.date);
  addTrade(companyIndex(trade.symbol), dayOf(trade.date), trade.side, trade.quantity, trade.price,
           trade.commission);
}

std::size_t GainsCalculator::companyIndex(std::string_view symbol) {
  // A ledger's trades run in streaks of few companies; most lookups hit the
  // company looked up just before.
  if (m_lastCompany < m_companies.size() && m_companies[m_lastCompany].symbol == symbol) return m_lastCompany;
  std::string key(symbol);
  const auto [it, added] = m_companyIndex.try_emplace(key, m_companies.size());
  if (added) m_companies.emplace_back().symbol = std::move(key);
  m_lastCompany = it->second;
  return it->second;
}

void GainsCalculator::addTrade(std::size_t companyIndex, Day day, TradeSide side, const Decimal& quantity,
                               const Decimal& price, const Decimal& commission) {
  if (day < m_lastDay) {
    char date[kDateLength];
    writeDay(day, date);
    throw std::invalid_argument("trades out of date order: " + std::string(date, kDateLength));
  }
  m_lastDay = day;

  Company& company = m_companies[companyIndex];
  const Decimal amount = quantity * price;
  if (side == TradeSide::Buy)
    buy(company, day, quantity, amount + commission);
  else
    sell(company, day, quantity, amount - commission);
}

void GainsCalculator::expectTrades(std::size_t trades) {
  if (m_onSale) return;
  try {
    m_report.sales.reserve(trades);
    adviseLargePages(m_report.sales.data(), m_report.sales.capacity() * sizeof(SaleGain));
  } catch (const std::bad_alloc&) {
    // Only a hint: the sales grow as they come.
  } catch (const std::length_error&) {
  }
}

void GainsCalculator::skip(SkippedTrade trade) { m_report.skipped.push_back(std::move(trade)); }

void GainsCalculator::buy(Company& company, Day day, const Decimal& quantity, const Decimal& cost) {
  Decimal shares = quantity, left = cost;
  // The company's short sales first, oldest first.
  while (shares.sign() > 0 && !company.openSales.empty()) {
    SaleGain& sale = saleNumbered(company.openSales.front());
    const bool allLeft = sale.uncoveredShares >= shares;
    const Decimal given = allLeft ? shares : sale.uncoveredShares;
    const Decimal part = allLeft ? left : (left * given).dividedBy(shares, kCostDecimals);
    sale.cost += part;
    sale.gain = sale.proceeds - sale.cost;
    sale.uncoveredShares -= given;
    shares -= given;
    left -= part;
    if (m_report.method == CostMethod::Fifo) {
      char lotDate[kDateLength];
      writeDay(day, lotDate);
      if (!sale.lots.empty()) sale.lots += ' ';
      sale.lots.append(lotDate, kDateLength);
    }
    if (sale.covered()) {
      --m_report.uncoveredSales;
      realize(company, sale);
      if (m_onSale) m_held[company.openSales.front() - (m_saleCount - m_held.size())].open = false;
      company.openSales.pop_front();
    }
  }
  if (company.purchasesLeft != kUnknown && --company.purchasesLeft == 0) closeOpenSales(company);
  handOnFinalSales();
  if (shares.sign() <= 0) return;
  if (m_report.method == CostMethod::Fifo) company.lots.push_back({day, shares, left});
  company.heldShares += shares;
  company.heldCost += left;
}

void GainsCalculator::realize(Company& company, const SaleGain& sale) {
  company.realized += sale.gain;
  const int year = static_cast<int>(digitsValue(sale.date.data(), 4));
  auto at = std::find_if(company.realizedByYear.begin(), company.realizedByYear.end(),
                         [year](const auto& y) { return y.first >= year; });
  // Mostly the last year; a short sale covered later may fall in an earlier one.
  if (at == company.realizedByYear.end() || at->first != year) at = company.realizedByYear.emplace(at, year, Decimal());
  at->second += sale.gain;
}

SaleGain& GainsCalculator::saleNumbered(std::size_t n) {
  return m_onSale ? m_held[n - (m_saleCount - m_held.size())].sale : m_report.sales[n];
}

void GainsCalculator::closeOpenSales(Company& company) {
  if (m_onSale)
    for (const std::size_t n : company.openSales) m_held[n - (m_saleCount - m_held.size())].open = false;
  company.openSales.clear();
}

void GainsCalculator::handOnFinalSales() {
  while (!m_held.empty() && !m_held.front().open) {
    m_onSale(m_held.front().sale);
    m_held.pop_front();
  }
}

void GainsCalculator::sell(Company& company, Day day, const Decimal& quantity, const Decimal& proceeds) {
  const std::size_t number = m_saleCount++;
  // Behind a sale held back, this one waits too.
  SaleGain& sale = !m_onSale ? m_report.sales.emplace_back() : m_held.empty() ? m_sale : m_held.emplace_back().sale;
  char date[kDateLength];
  writeDay(day, date);
  sale.date.assign(date, kDateLength);
  sale.symbol = company.symbol;
  sale.shares = quantity;
  sale.proceeds = proceeds;
  sale.cost = Decimal();
  sale.lots.clear();
  sale.uncoveredShares = Decimal();

  if (m_report.method == CostMethod::Fifo) {
    Decimal wanted = quantity;
    while (wanted.sign() > 0 && !company.lots.empty()) {
      Lot& lot = company.lots.front();
      if (!sale.lots.empty()) sale.lots += ' ';
      char lotDate[kDateLength];
      writeDay(lot.day, lotDate);
      sale.lots.append(lotDate, kDateLength);
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
    company.heldShares -= quantity - wanted;
    company.heldCost -= sale.cost;
  } else if (quantity >= company.heldShares) {
    // Everything held goes; the pool starts again from nothing.
    sale.cost = company.heldCost;
    sale.uncoveredShares = quantity - company.heldShares;
    company.heldShares = Decimal();
    company.heldCost = Decimal();
  } else {
    sale.cost = (company.heldCost * quantity).dividedBy(company.heldShares, kCostDecimals);
    company.heldShares -= quantity;
    company.heldCost -= sale.cost;
  }
  sale.gain = sale.proceeds - sale.cost;

  bool open = false;
  if (sale.covered()) {
    realize(company, sale);
  } else {
    ++m_report.uncoveredSales;
    open = company.purchasesLeft != 0;
    if (open) company.openSales.push_back(number);
  }
  if (!m_onSale) return;
  if (&sale != &m_sale)
    m_held.back().open = open;
  else if (open)
    m_held.push_back({m_sale, true});
  else
    m_onSale(sale);
}

GainsReport GainsCalculator::finish() {
  for (Company& company : m_companies) closeOpenSales(company);
  if (m_onSale) handOnFinalSales();
  m_saleCount = 0;
  std::vector<const Company*> companies;
  for (const Company& company : m_companies) companies.push_back(&company);
  std::sort(companies.begin(), companies.end(),
            [](const Company* a, const Company* b) { return a->symbol < b->symbol; });

  std::map<int, std::map<std::string, Decimal>> years;
  for (const Company* company : companies) {
    for (const auto& [year, gain] : company->realizedByYear) years[year][company->symbol] = gain;
    Holding& holding = m_report.holdings.emplace_back();
    holding.symbol = company->symbol;
    holding.shares = company->heldShares;
    holding.cost = company->heldCost;
    if (company->heldShares.sign() > 0)
      holding.averageCost = company->heldCost.dividedBy(company->heldShares, kCostDecimals);
    holding.realizedGain = company->realized;
  }
  for (auto& [year, byCompany] : years) {
    YearGains& summary = m_report.years.emplace_back();
    summary.year = year;
    for (auto& [symbol, gain] : byCompany) {
      summary.total += gain;
      summary.companies.emplace_back(symbol, gain);
    }
  }
  m_companies.clear();
  m_companyIndex.clear();
  m_lastCompany = 0;
  m_lastDay = 0;

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

// The trades are read as the table stores them (a plain scan, no sorter)
// and put in report order here: a ledger's trades are mostly entered in
// date order already, so that is usually a check and no more.
const char* const kTradesAsStoredSql =
    "SELECT rowid, CompanySymbol, Date, [Buy/Sell], Quantity, Price, Commission FROM Trade";

enum Column { kRowid, kSymbol, kDate, kSide, kQuantity, kPrice, kCommission };

std::string_view columnView(sqlite3_stmt* stmt, int col) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, col));
  return std::string_view(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt, col)));
}

// A number column as stored: a whole number or a double.
struct StoredNumber {
  union {
    std::int64_t whole;
    double real;
  };
  bool isWhole;
};

// A number column; nullopt when it holds no finite number.
std::optional<StoredNumber> columnNumber(sqlite3_stmt* stmt, int col) {
  StoredNumber n{};
  switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER:
      n.whole = sqlite3_column_int64(stmt, col);
      n.isWhole = true;
      return n;
    case SQLITE_FLOAT:
      n.real = sqlite3_column_double(stmt, col);
      if (!std::isfinite(n.real)) return std::nullopt;
      n.isWhole = false;
      return n;
    default:
      return std::nullopt;
  }
}

int signOf(const StoredNumber& n) {
  if (n.isWhole) return n.whole > 0 ? 1 : (n.whole < 0 ? -1 : 0);
  return n.real > 0 ? 1 : (n.real < 0 ? -1 : 0);
}

// A usable trade as read: 48 bytes, so that a million of them are quickly
// written and sorted. The numbers are kept as stored, each a whole number
// or a double as its bit in `whole` says.
struct ReadTrade {
  enum Number { kQuantity, kPrice, kCommission };
  std::int64_t rowid;
  std::uint32_t day;
  std::uint32_t company;
  std::uint64_t numbers[3];
  TradeSide side;
  std::uint8_t whole;

  void set(Number which, const StoredNumber& n) {
    if (n.isWhole) {
      std::memcpy(&numbers[which], &n.whole, sizeof n.whole);
      whole = static_cast<std::uint8_t>(whole | (1u << which));
    } else {
      std::memcpy(&numbers[which], &n.real, sizeof n.real);
    }
  }
  Decimal value(Number which) const {
    if (whole & (1u << which)) {
      std::int64_t v;
      std::memcpy(&v, &numbers[which], sizeof v);
      return Decimal::fromInt(v);
    }
    double d;
    std::memcpy(&d, &numbers[which], sizeof d);
    return Decimal::fromDouble(d);
  }
};

static_assert(sizeof(ReadTrade) == 48);

bool inReportOrder(const ReadTrade& a, const ReadTrade& b) {
  return a.day != b.day ? a.day < b.day : a.rowid < b.rowid;
}

// Reads the row's side and numbers into trade; the reason it cannot be
// used otherwise. The symbol and date are checked by the caller.
std::optional<std::string> readRow(sqlite3_stmt* stmt, ReadTrade& trade) {
  if (sqlite3_column_type(stmt, kSide) != SQLITE_TEXT) return "neither a purchase nor a sale";
  const std::optional<TradeSide> side = sideFromCode(columnView(stmt, kSide));
  if (!side) return "neither a purchase nor a sale";
  trade.side = *side;

  const std::optional<StoredNumber> quantity = columnNumber(stmt, kQuantity);
  if (!quantity || signOf(*quantity) <= 0) return "no quantity above zero";
  const std::optional<StoredNumber> price = columnNumber(stmt, kPrice);
  if (!price || signOf(*price) < 0) return "no price of zero or more";
  std::optional<StoredNumber> commission;
  if (sqlite3_column_type(stmt, kCommission) == SQLITE_NULL) {
    commission = StoredNumber{};
    commission->whole = 0;
    commission->isWhole = true;
  } else {
    commission = columnNumber(stmt, kCommission);
    if (!commission) return "a commission that is not a number";
  }
  trade.whole = 0;
  trade.set(ReadTrade::kQuantity, *quantity);
  trade.set(ReadTrade::kPrice, *price);
  trade.set(ReadTrade::kCommission, *commission);
  return std::nullopt;
}

// A row left out, with its date as stored, so that the rows left out are
// listed in the order the ledger sorts them by date: Null, then numbers,
// then texts, then anything else; the same dates by row id.
struct LeftOut {
  SkippedTrade trade;
  int storage = 0;  // 0 Null, 1 number, 2 text, 3 blob
  bool wholeDate = false;
  std::int64_t wholeValue = 0;
  double realValue = 0;
};

int storageRank(int type) {
  switch (type) {
    case SQLITE_NULL: return 0;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: return 1;
    case SQLITE_TEXT: return 2;
    default: return 3;
  }
}

bool leftOutBefore(const LeftOut& a, const LeftOut& b) {
  if (a.storage != b.storage) return a.storage < b.storage;
  if (a.storage == 1) {
    if (a.wholeDate && b.wholeDate) {
      if (a.wholeValue != b.wholeValue) return a.wholeValue < b.wholeValue;
    } else {
      const long double x = a.wholeDate ? static_cast<long double>(a.wholeValue) : a.realValue;
      const long double y = b.wholeDate ? static_cast<long double>(b.wholeValue) : b.realValue;
      if (x != y) return x < y;
    }
  } else if (a.storage >= 2 && a.trade.date != b.trade.date) {
    // Byte by byte, as the ledger compares texts.
    return a.trade.date < b.trade.date;
  }
  return a.trade.rowid < b.trade.rowid;
}

}  // namespace

GainsReport readGainsReport(Database& db, CostMethod method, const SaleSink& onSale) {
  sqlite3* handle = db.handle();
  GainsCalculator calculator(method, onSale);
  std::vector<ReadTrade> trades;
  if (const std::optional<Value> count = db.scalar("SELECT count(*) FROM Trade")) {
    if (const auto* n = std::get_if<std::int64_t>(&*count)) {
      calculator.expectTrades(static_cast<std::size_t>(*n));
      trades.reserve(static_cast<std::size_t>(*n));
      adviseLargePages(trades.data(), trades.capacity() * sizeof(ReadTrade));
    }
  }

  std::vector<LeftOut> leftOut;
  bool ordered = true;
  detail::StmtPtr stmt = detail::prepare(handle, kTradesAsStoredSql);
  std::string lastDateText;  // the last valid date, and its day
  std::uint32_t lastDay = 0;
  while (detail::step(handle, stmt.get())) {
    sqlite3_stmt* row = stmt.get();
    ReadTrade trade;
    trade.rowid = sqlite3_column_int64(row, kRowid);
    std::optional<std::string> reason;
    // Types first: reading a column as text may change what it says.
    const int symbolType = sqlite3_column_type(row, kSymbol);
    const int dateType = sqlite3_column_type(row, kDate);
    const std::string_view symbol = columnView(row, kSymbol);
    const std::string_view date = columnView(row, kDate);
    if (symbolType != SQLITE_TEXT || symbol.empty()) {
      reason = "no symbol";
    } else if (dateType != SQLITE_TEXT) {
      reason = "no valid date";
    } else if (date != lastDateText) {
      // Rows come mostly by date, so most share the date checked a row before.
      if (!isIsoDate(date)) {
        reason = "no valid date";
      } else {
        lastDateText.assign(date);
        lastDay = dayOf(date);
      }
    }
    if (!reason) reason = readRow(row, trade);
    if (reason) {
      LeftOut& out = leftOut.emplace_back();
      out.trade = {trade.rowid, std::string(symbol), std::string(date), std::move(*reason)};
      out.storage = storageRank(dateType);
      if (dateType == SQLITE_INTEGER) {
        out.wholeDate = true;
        out.wholeValue = sqlite3_column_int64(row, kDate);
      } else if (dateType == SQLITE_FLOAT) {
        out.realValue = sqlite3_column_double(row, kDate);
      }
      continue;
    }
    trade.day = lastDay;
    trade.company = static_cast<std::uint32_t>(calculator.companyIndex(symbol));
    if (ordered && !trades.empty() && !inReportOrder(trades.back(), trade)) ordered = false;
    trades.push_back(trade);
  }
  stmt.reset();

  if (!ordered) std::sort(trades.begin(), trades.end(), inReportOrder);
  // A short sale is final once its company buys no more.
  for (GainsCalculator::Company& company : calculator.m_companies) company.purchasesLeft = 0;
  for (const ReadTrade& t : trades)
    if (t.side == TradeSide::Buy) ++calculator.m_companies[t.company].purchasesLeft;
  for (const ReadTrade& t : trades)
    calculator.addTrade(t.company, t.day, t.side, t.value(ReadTrade::kQuantity), t.value(ReadTrade::kPrice),
                        t.value(ReadTrade::kCommission));
  std::sort(leftOut.begin(), leftOut.end(), leftOutBefore);
  for (LeftOut& out : leftOut) calculator.skip(std::move(out.trade));
  return calculator.finish();
}

std::vector<std::string> gainsNotes(const GainsReport& report) {
  std::vector<std::string> notes;
  if (report.uncoveredSales > 0) {
    notes.push_back(report.uncoveredSales == 1
                        ? std::string("1 sale sold more shares than were held at its date or bought after it; "
                                      "its gain is left out of the totals.")
                        : std::to_string(report.uncoveredSales) +
                              " sales sold more shares than were held at their dates or bought after them; "
                              "their gains are left out of the totals.");
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
