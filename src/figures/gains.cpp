#include "figures/gains.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <string_view>
#include <stdexcept>

#include "engine/large_pages.h"
#include "engine/value.h"

namespace ledger {

namespace {

// Places kept by a cost that is a share of a lot or of the pool.
constexpr int kCostDecimals = 4;
// Places kept by shares a split changed.
constexpr int kShareDecimals = 6;

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

// "00" to "99", two characters each.
constexpr std::array<char, 200> kTwoDigits = [] {
  std::array<char, 200> digits{};
  for (int i = 0; i < 100; ++i) {
    digits[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i / 10);
    digits[static_cast<std::size_t>(2 * i + 1)] = static_cast<char>('0' + i % 10);
  }
  return digits;
}();

void writeTwoDigits(std::uint32_t n, char* out) { std::memcpy(out, &kTwoDigits[2 * n], 2); }

// The ISO text of YYYYMMDD, written into out[0..10). A report writes one
// for every lot a sale takes.
void writeDay(std::uint32_t day, char* out) {
  const std::uint32_t year = day / 10000;
  writeTwoDigits(year / 100, out);
  writeTwoDigits(year % 100, out + 2);
  out[4] = '-';
  writeTwoDigits(day / 100 % 100, out + 5);
  out[7] = '-';
  writeTwoDigits(day % 100, out + 8);
}

constexpr std::size_t kDateLength = 10;

}  // namespace

std::string_view costMethodName(CostMethod method) {
  switch (method) {
    case CostMethod::Fifo: return "fifo";
    case CostMethod::Average: return "average";
    case CostMethod::Uk: return "uk";
  }
  return "fifo";
}

std::optional<CostMethod> costMethodFromName(std::string_view name) {
  if (name == "fifo") return CostMethod::Fifo;
  if (name == "average") return CostMethod::Average;
  if (name == "uk") return CostMethod::Uk;
  return std::nullopt;
}

GainsCalculator::GainsCalculator(GainsRules rules, SaleSink onSale)
    : m_onSale(std::move(onSale)), m_washSales(rules.washSales && rules.method == CostMethod::Fifo) {
  m_report.method = rules.method;
  m_report.washSales = m_washSales;
  m_report.taxYears = rules.taxYears;
}

void GainsCalculator::add(const GainsTrade& trade) {
  if (!isIsoDate(trade.date)) throw std::invalid_argument("not a date written YYYY-MM-DD: " + trade.date);
  const Day day = dayOf(trade.date);
  if (m_report.method != CostMethod::Uk && !m_washSales) {
    addTrade(companyIndex(trade.symbol), day, trade.side, trade.quantity, trade.price, trade.commission);
    return;
  }
  // Kept exact, in entry order, for finish().
  if (day < m_lastDay) throw std::invalid_argument("trades out of date order: " + trade.date);
  m_lastDay = day;
  StoredTrade kept{};
  kept.rowid = static_cast<std::int64_t>(m_stored.size());
  kept.day = day;
  kept.company = static_cast<std::uint32_t>(companyIndex(trade.symbol));
  kept.side = trade.side;
  kept.whole = 0;
  const Decimal* numbers[] = {&trade.quantity, &trade.price, &trade.commission};
  for (int which = 0; which < 3; ++which) {
    kept.numbers[which] = m_exact.size();
    kept.whole = static_cast<std::uint8_t>(kept.whole | (8u << which));
    m_exact.push_back(*numbers[which]);
  }
  m_stored.push_back(kept);
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
  if (m_nextSplit < m_splits.size() && m_splits[m_nextSplit].day <= day) applySplitsThrough(day);

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

void GainsCalculator::addSplit(const StockSplit& split) {
  if (!isIsoDate(split.date)) throw std::invalid_argument("not a date written YYYY-MM-DD: " + split.date);
  if (split.newShares <= 0 || split.oldShares <= 0)
    throw std::invalid_argument("a split ratio with a zero or a negative number: " + split.date);
  const Day day = dayOf(split.date);
  // m_lastDay is 0 until a trade is worked out: addStored() trades wait for finish().
  if (day <= m_lastDay) throw std::invalid_argument("a split after the trades of its date: " + split.date);
  // Mostly in date order already: then this appends.
  const auto at = std::upper_bound(m_splits.begin() + static_cast<std::ptrdiff_t>(m_nextSplit), m_splits.end(), day,
                                   [](Day d, const PendingSplit& pending) { return d < pending.day; });
  m_splits.insert(at, {day, split.symbol, Decimal::fromInt(split.newShares), Decimal::fromInt(split.oldShares)});
}

void GainsCalculator::applySplitsThrough(Day day) {
  for (; m_nextSplit < m_splits.size() && m_splits[m_nextSplit].day <= day; ++m_nextSplit) {
    const PendingSplit& pending = m_splits[m_nextSplit];
    // A company with no trade yet holds nothing a split could change.
    const auto known = m_companyIndex.find(pending.symbol);
    if (known != m_companyIndex.end())
      split(m_companies[known->second], pending.newShares, pending.oldShares);
  }
}

void GainsCalculator::split(Company& company, const Decimal& newShares, const Decimal& oldShares) {
  const auto scaled = [&](const Decimal& shares) { return (shares * newShares).dividedBy(oldShares, kShareDecimals); };
  if (m_report.method == CostMethod::Fifo) {
    // Each lot rounds on its own, so the holding is what the lots hold.
    Decimal held;
    for (Lot& lot : company.lots) {
      lot.shares = scaled(lot.shares);
      held += lot.shares;
    }
    for (Lot& piece : company.pieces) {
      piece.shares = scaled(piece.shares);
      held += piece.shares;
    }
    company.heldShares = held;
  } else {
    company.heldShares = scaled(company.heldShares);
  }
  for (OpenSale& sale : company.openSales) {
    sale.missing = scaled(sale.missing);
    sale.splitNew = sale.splitNew * newShares;
    sale.splitOld = sale.splitOld * oldShares;
  }
}

void GainsCalculator::StoredTrade::set(Number which, const StoredNumber& n) {
  if (n.isWhole) {
    std::memcpy(&numbers[which], &n.whole, sizeof n.whole);
    whole = static_cast<std::uint8_t>(whole | (1u << which));
  } else {
    std::memcpy(&numbers[which], &n.real, sizeof n.real);
  }
}

Decimal GainsCalculator::StoredTrade::value(Number which, const std::vector<Decimal>& exact) const {
  if (whole & (8u << which)) return exact[numbers[which]];
  if (whole & (1u << which)) {
    std::int64_t v;
    std::memcpy(&v, &numbers[which], sizeof v);
    return Decimal::fromInt(v);
  }
  double d;
  std::memcpy(&d, &numbers[which], sizeof d);
  return Decimal::fromDouble(d);
}

namespace {

template <typename T>
bool inReportOrder(const T& a, const T& b) {
  return a.day != b.day ? a.day < b.day : a.rowid < b.rowid;
}

}  // namespace

void GainsCalculator::expectStoredTrades(std::size_t trades) {
  expectTrades(trades);
  m_stored.reserve(trades);
  adviseLargePages(m_stored.data(), m_stored.capacity() * sizeof(StoredTrade));
}

std::uint32_t GainsCalculator::dayNumber(std::string_view date) { return dayOf(date); }

void GainsCalculator::addStored(std::int64_t rowid, std::string_view symbol, std::uint32_t day, TradeSide side,
                                const StoredNumber& quantity, const StoredNumber& price,
                                const StoredNumber& commission) {
  StoredTrade trade;
  trade.rowid = rowid;
  trade.day = day;
  trade.company = static_cast<std::uint32_t>(companyIndex(symbol));
  trade.side = side;
  trade.whole = 0;
  trade.set(StoredTrade::kQuantity, quantity);
  trade.set(StoredTrade::kPrice, price);
  trade.set(StoredTrade::kCommission, commission);
  if (m_storedInOrder && !m_stored.empty() && !inReportOrder(m_stored.back(), trade)) m_storedInOrder = false;
  m_stored.push_back(trade);
}

void GainsCalculator::addStoredTrades() {
  // A ledger's trades are mostly entered in date order already, so this
  // is usually a check and no more.
  if (!m_storedInOrder) std::sort(m_stored.begin(), m_stored.end(), inReportOrder<StoredTrade>);
  // A short sale is final once its company buys no more.
  for (Company& company : m_companies) company.purchasesLeft = 0;
  for (const StoredTrade& t : m_stored)
    if (t.side == TradeSide::Buy) ++m_companies[t.company].purchasesLeft;
  // add() kept these trades only to look ahead.
  m_lastDay = 0;
  if (m_report.method == CostMethod::Uk) {
    workOutUk();
  } else {
    if (m_washSales) indexPurchases();
    const std::uint64_t whole = m_stored.size();
    std::uint64_t done = 0;
    for (const StoredTrade& t : m_stored) {
      if (m_progress && done % kProgressStride == 0) m_progress(done, whole);
      ++done;
      addTrade(t.company, t.day, t.side, t.value(StoredTrade::kQuantity, m_exact), t.value(StoredTrade::kPrice, m_exact),
               t.value(StoredTrade::kCommission, m_exact));
    }
  }
  m_stored = {};
  m_exact = {};
  m_storedInOrder = true;
}

void GainsCalculator::buy(Company& company, Day day, const Decimal& quantity, const Decimal& cost,
                          std::size_t purchases) {
  Decimal shares = quantity, left = cost;
  // Wash sales: a loss carried by a purchase that first covers short sales
  // goes with all its shares, so the sales it covers take their part.
  if (m_washSales && !company.openSales.empty() && !company.claims.empty() &&
      company.claims.front().position == company.nextPosition) {
    left += company.claims.front().cost;
    company.claims.front().cost = Decimal();
  }
  // The company's short sales first, oldest first.
  while (shares.sign() > 0 && !company.openSales.empty()) {
    OpenSale& open = company.openSales.front();
    SaleGain& sale = saleNumbered(open.number);
    const bool allLeft = open.missing >= shares;
    const Decimal given = allLeft ? shares : open.missing;
    const Decimal part = allLeft ? left : (left * given).dividedBy(shares, kCostDecimals);
    sale.cost += part;
    sale.gain = sale.proceeds - sale.cost;
    open.missing -= given;
    // Shown in the shares the sale sold.
    sale.uncoveredShares = open.missing.isZero() || open.splitNew == open.splitOld
                               ? open.missing
                               : (open.missing * open.splitOld).dividedBy(open.splitNew, kShareDecimals);
    shares -= given;
    left -= part;
    if (m_report.method == CostMethod::Fifo) {
      char lotDate[kDateLength];
      writeDay(day, lotDate);
      if (!sale.lots.empty()) sale.lots += ' ';
      sale.lots.append(lotDate, kDateLength);
    } else if (m_report.method == CostMethod::Uk && !sale.rule.ends_with("later")) {
      sale.rule += sale.rule.empty() ? "later" : " later";
    }
    if (open.missing.isZero()) {
      --m_report.uncoveredSales;
      realize(company, sale, m_report.taxYears);
      if (m_onSale) m_held[open.number - (m_saleCount - m_held.size())].open = false;
      company.openSales.pop_front();
    }
  }
  if (company.purchasesLeft != kUnknown && (company.purchasesLeft -= purchases) == 0) closeOpenSales(company);
  handOnFinalSales();
  if (!m_washSales) {
    if (shares.sign() > 0) hold(company, day, shares, left);
    return;
  }
  // The purchase's place among the company's, for the wash-sale rule.
  const bool claimed = !company.claims.empty() && company.claims.front().position == company.nextPosition;
  if (shares.sign() > 0) {
    if (claimed)
      holdClaimed(company, day, shares, left);
    else
      hold(company, day, shares, left);
  } else if (claimed) {
    company.claims.pop_front();  // all went to short sales, and the loss with them
  }
  ++company.nextPosition;
}

void GainsCalculator::hold(Company& company, Day day, const Decimal& shares, const Decimal& cost) {
  if (m_report.method == CostMethod::Fifo) company.lots.push_back({.day = day, .shares = shares, .cost = cost});
  company.heldShares += shares;
  company.heldCost += cost;
}

std::pair<Decimal, Decimal> GainsCalculator::splitsBetween(const std::string& symbol, Day after, Day through) const {
  Decimal newShares = Decimal::fromInt(1), oldShares = Decimal::fromInt(1);
  // Those not applied yet are the ones after the day being worked out.
  for (std::size_t i = m_nextSplit; i < m_splits.size() && m_splits[i].day <= through; ++i) {
    const PendingSplit& split = m_splits[i];
    if (split.day > after && split.symbol == symbol) {
      newShares = newShares * split.newShares;
      oldShares = oldShares * split.oldShares;
    }
  }
  return {newShares, oldShares};
}

void GainsCalculator::realize(Company& company, const SaleGain& sale, TaxYears years) {
  // A disallowed loss is no loss for the year.
  const Decimal counted = sale.disallowed.isZero() ? sale.gain : sale.gain + sale.disallowed;
  company.realized += counted;
  const int year = years == TaxYears::Calendar ? static_cast<int>(digitsValue(sale.date.data(), 4))
                                               : taxYearOfDate(sale.date, years);
  auto at = std::find_if(company.realizedByYear.begin(), company.realizedByYear.end(),
                         [year](const auto& y) { return y.first >= year; });
  // Mostly the last year; a short sale covered later may fall in an earlier one.
  if (at == company.realizedByYear.end() || at->first != year) at = company.realizedByYear.emplace(at, year, Decimal());
  at->second += counted;
}

SaleGain& GainsCalculator::saleNumbered(std::size_t n) {
  return m_onSale ? m_held[n - (m_saleCount - m_held.size())].sale : m_report.sales[n];
}

void GainsCalculator::closeOpenSales(Company& company) {
  if (m_onSale)
    for (const OpenSale& sale : company.openSales) m_held[sale.number - (m_saleCount - m_held.size())].open = false;
  company.openSales.clear();
}

void GainsCalculator::handOnFinalSales() {
  while (!m_held.empty() && !m_held.front().open) {
    m_onSale(m_held.front().sale);
    m_held.pop_front();
  }
}

SaleGain& GainsCalculator::startSale(Company& company, Day day, const Decimal& quantity, const Decimal& proceeds) {
  ++m_saleCount;
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
  sale.rule.clear();
  sale.disallowed = Decimal();
  return sale;
}

void GainsCalculator::sell(Company& company, Day day, const Decimal& quantity, const Decimal& proceeds) {
  SaleGain& sale = startSale(company, day, quantity, proceeds);
  if (m_report.method == CostMethod::Fifo) {
    Decimal wanted = quantity;
    m_taken.clear();
    while (wanted.sign() > 0 && !company.lots.empty()) {
      Lot& first = company.lots.front();
      // The replacing parts split off a lot go before its own shares.
      Lot& lot = first.pieces > 0 ? company.pieces.front() : first;
      if (!sale.lots.empty()) sale.lots += ' ';
      char lotDate[kDateLength];
      writeDay(lot.day, lotDate);
      sale.lots.append(lotDate, kDateLength);
      if (lot.shares <= wanted) {
        // The whole rest of the lot, with whatever its rounding left.
        sale.cost += lot.cost;
        wanted -= lot.shares;
        if (m_washSales) m_taken.push_back(lot);
        if (&lot == &first) {
          company.lots.pop_front();
          ++company.lotsTaken;
        } else {
          company.pieces.pop_front();
          --first.pieces;
        }
      } else {
        const Decimal part = (lot.cost * wanted).dividedBy(lot.shares, kCostDecimals);
        sale.cost += part;
        lot.cost -= part;
        lot.shares -= wanted;
        if (m_washSales) m_taken.push_back({.day = lot.day, .replacement = lot.replacement, .shares = wanted, .cost = part});
        wanted = Decimal();
      }
    }
    sale.uncoveredShares = wanted;
    company.heldShares -= quantity - wanted;
    company.heldCost -= sale.cost;
    if (m_washSales && !m_taken.empty()) disallowLosses(company, day, sale);
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
  endSale(company, sale);
}

void GainsCalculator::endSale(Company& company, SaleGain& sale) {
  // The sale last begun (startSale).
  const std::size_t number = m_saleCount - 1;
  sale.gain = sale.proceeds - sale.cost;
  bool open = false;
  if (sale.covered()) {
    realize(company, sale, m_report.taxYears);
  } else {
    ++m_report.uncoveredSales;
    open = company.purchasesLeft != 0;
    if (open) company.openSales.push_back({number, sale.uncoveredShares});
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
  if (!m_stored.empty()) addStoredTrades();
  // Splits after the last trade still change what is held.
  applySplitsThrough(std::numeric_limits<Day>::max());
  m_splits.clear();
  m_nextSplit = 0;
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
  m_report.washSales = done.washSales;
  m_report.taxYears = done.taxYears;
  return done;
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
  for (std::string& note : skippedEventNotes(report.skippedEvents)) notes.push_back(std::move(note));
  return notes;
}

}  // namespace ledger
