#include "ledger/ledger_history.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "engine/statement.h"
#include "engine/value.h"
#include "ledger/gains_report.h"
#include "ledger/trade_rows.h"

namespace ledger {

namespace {

const char* const kPriceColumnsSql =
    "SELECT count(*) FROM pragma_table_xinfo('Price') WHERE lower(name) IN ('companysymbol', 'date', 'close')";
constexpr std::int64_t kPriceColumns = 3;
// Read as the table stores them, a plain scan: prices written by symbol and
// date (an import of a company's history, a download) come in that order
// and need no sort; PriceHistory sorts any others.
const char* const kPricesSql = "SELECT CompanySymbol, Date, Close FROM Price";
const char* const kTradesAsStoredSql = "SELECT " LEDGER_TRADE_REPORT_COLUMNS " FROM Trade";

bool hasPriceTable(Database& db) {
  const std::optional<Value> count = db.scalar(kPriceColumnsSql);
  const auto* n = count ? std::get_if<std::int64_t>(&*count) : nullptr;
  return n && *n == kPriceColumns;
}

bool aboveZero(const StoredNumber& n) { return n.isWhole ? n.whole > 0 : n.real > 0; }

// The companies of a history as they are met, found again by symbol.
class CompanyIndex {
 public:
  explicit CompanyIndex(std::vector<CompanyHistory>& companies) : m_companies(companies) {}
  CompanyHistory& operator[](std::string_view symbol) {
    // A ledger's trades run in streaks of few companies.
    if (m_last < m_companies.size() && m_companies[m_last].symbol == symbol) return m_companies[m_last];
    const auto [it, added] = m_index.try_emplace(std::string(symbol), m_companies.size());
    if (added) m_companies.emplace_back().symbol = std::string(symbol);
    m_last = it->second;
    return m_companies[m_last];
  }
  CompanyHistory* find(const std::string& symbol) {
    const auto it = m_index.find(symbol);
    return it == m_index.end() ? nullptr : &m_companies[it->second];
  }

 private:
  std::vector<CompanyHistory>& m_companies;
  std::unordered_map<std::string, std::size_t> m_index;
  std::size_t m_last = 0;
};

void readTrades(Database& db, CompanyIndex& companies, LedgerHistory& history) {
  Statement row(db, kTradesAsStoredSql);
  std::string lastDateText;  // the last valid date, and its day
  CalendarDay day = 0;
  while (row.step()) {
    std::optional<std::string> reason;
    // Types first: reading a column as text may change what it says.
    const ColumnType symbolType = row.type(kTradeSymbol);
    const ColumnType dateType = row.type(kTradeDate);
    const std::string_view symbol = row.text(kTradeSymbol);
    const std::string_view date = row.text(kTradeDate);
    if (symbolType != ColumnType::Text || symbol.empty()) {
      reason = "no symbol";
    } else if (dateType != ColumnType::Text) {
      reason = "no valid date";
    } else if (date != lastDateText) {
      if (!isIsoDate(date)) {
        reason = "no valid date";
      } else {
        lastDateText.assign(date);
        day = calendarDayOf(date);
      }
    }
    TradeRowFigures figures{};
    if (!reason) reason = readTradeRowFigures(row, figures);
    if (reason) {
      history.skipped.push_back({row.integer(kTradeRowid), std::string(symbol), std::string(date), std::move(*reason)});
      continue;
    }
    companies[symbol].trades.push_back({day, figures.side, figures.quantity, figures.price, figures.commission});
    if (!history.firstTradeDay || day < *history.firstTradeDay) history.firstTradeDay = day;
  }
}

}  // namespace

PriceHistory readPriceHistory(Database& db) {
  PriceHistory prices;
  if (!hasPriceTable(db)) return prices;
  if (const std::optional<Value> count = db.scalar("SELECT count(*) FROM Price"))
    if (const auto* n = std::get_if<std::int64_t>(&*count)) prices.expect(static_cast<std::size_t>(*n));
  Statement row(db, kPricesSql);
  while (row.step()) {
    if (row.type(0) != ColumnType::Text || row.type(1) != ColumnType::Text) continue;
    const std::optional<StoredNumber> close = columnNumber(row, 2);
    if (!close || !aboveZero(*close)) continue;
    const std::string_view symbol = row.text(0);
    const std::string_view date = row.text(1);
    if (symbol.empty() || !isIsoDate(date)) continue;
    prices.add(symbol, calendarDayOf(date), *close);
  }
  prices.finish();
  return prices;
}

namespace {

// The one close of each holding that its value needs: the last on or before
// asOf that readPriceHistory would take, found through the index on
// (CompanySymbol, Date) instead of reading every price of the ledger. Of
// two closes of one day (a file without that index) the first stored
// counts, as there.
PriceHistory readLastPrices(Database& db, const std::vector<Holding>& holdings, std::string_view asOf) {
  PriceHistory prices;
  if (!hasPriceTable(db)) return prices;
  Statement row(db,
                "SELECT Date, Close FROM Price WHERE CompanySymbol = ?1 AND Date <= ?2 "
                "ORDER BY Date DESC, rowid DESC");
  for (const Holding& holding : holdings) {
    row.reset();
    row.bind(1, std::string_view(holding.symbol));
    row.bind(2, asOf);
    std::optional<std::pair<CalendarDay, StoredNumber>> last;
    std::string lastDate;
    while (row.step()) {
      if (row.type(0) != ColumnType::Text) continue;
      const std::string_view date = row.text(0);
      if (last && date != lastDate) break;  // a valid close of a later day was found
      const std::optional<StoredNumber> close = columnNumber(row, 1);
      if (!close || !aboveZero(*close) || !isIsoDate(date)) continue;
      lastDate.assign(date);
      last.emplace(calendarDayOf(date), *close);  // rows of one day come newest first
    }
    if (last) prices.add(holding.symbol, last->first, last->second);
  }
  prices.finish();
  return prices;
}

}  // namespace

LedgerHistory readLedgerHistory(Database& db) {
  LedgerHistory history;
  CompanyIndex companies(history.companies);
  readTrades(db, companies, history);
  const LedgerEvents events = readLedgerEvents(db);
  for (const CashDividend& dividend : events.dividends)
    companies[dividend.symbol].dividends.push_back({calendarDayOf(dividend.date), dividend.gross});
  for (const StockSplit& split : events.splits)
    if (CompanyHistory* company = companies.find(split.symbol))
      company->splits.push_back({calendarDayOf(split.date), split.newShares, split.oldShares});
  history.skippedEvents = events.skipped;
  history.prices = readPriceHistory(db);

  std::sort(history.companies.begin(), history.companies.end(),
            [](const CompanyHistory& a, const CompanyHistory& b) { return a.symbol < b.symbol; });
  for (CompanyHistory& company : history.companies) {
    // Read in row order, so a day's trades are in entry order; most come by date already.
    const auto byDay = [](const HistoryTrade& a, const HistoryTrade& b) { return a.day < b.day; };
    if (!std::is_sorted(company.trades.begin(), company.trades.end(), byDay))
      std::stable_sort(company.trades.begin(), company.trades.end(), byDay);
    company.prices = history.prices.of(company.symbol);
  }
  return history;
}

MarketValueReport readMarketValue(Database& db, const GainsRules& rules, std::string_view asOf,
                                  const WorkProgress& progress) {
  const LedgerEvents events = readLedgerEvents(db);
  // Only the holdings are wanted: the sales are passed over, never kept.
  const GainsReport report = readGainsReportThrough(db, events, rules, asOf, [](const SaleGain&) {}, progress);
  const PriceHistory prices = readLastPrices(db, report.holdings, asOf);
  MarketValueReport result = valueHoldings(report, prices, events.splits, asOf);
  return result;
}

}  // namespace ledger
