#include "view_queries.h"

#include <cmath>
#include <limits>

#include "db_error.h"
#include "exact_figures.h"
#include "kept_figures.h"
#include "sql_translate.h"
#include "sqlite_util.h"

namespace ledger {

namespace {

// A ledger that can only be read cannot keep the views' queries. They are
// defined for this connection alone instead: a temporary view of the same
// name stands in front of whatever the ledger holds under that name.
void defineForThisConnection(Database& db, std::string_view name, std::string_view jetSql) {
  db.executeScript("DROP VIEW IF EXISTS temp." + quoteSqlIdentifier(name));
  QueryDef::create(db.handle(), name, jetSql, QueryDef::Lifetime::ThisConnection);
}

// Sets the text of the stored query name, creating it when the ledger lacks
// it; any other failure is passed over.
void ensureQueryDef(Database& db, const char* name, const char* sql) {
  if (db.isReadOnly()) {
    passOver([&] { defineForThisConnection(db, name, sql); });
    return;
  }
  const int error = passOver([&] { db.queryDef(name).setSql(sql); });
  if (error == dberr::kItemNotFound) passOver([&] { db.createQueryDef(name, sql); });
}

// Holds one read transaction for a scope, when none is open yet.
class ReadTransaction {
 public:
  explicit ReadTransaction(Database& db) : m_db(db) {
    m_open = passOver([&] { m_db.executeScript("BEGIN"); }) == 0;
  }
  ~ReadTransaction() {
    if (m_open) passOver([&] { m_db.executeScript("COMMIT"); });
  }
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;

 private:
  Database& m_db;
  bool m_open = false;
};

std::optional<double> numberOf(const Value& v) {
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* n = std::get_if<std::int64_t>(&v)) return static_cast<double>(*n);
  return std::nullopt;
}

}  // namespace

void EnsureTradeSorted(Database& db) { ensureQueryDef(db, "TradeSorted", kTradeSortedSql); }
void EnsureBoughtSorted(Database& db) { ensureQueryDef(db, "BoughtSorted", kBoughtSortedSql); }
void EnsureSoldSorted(Database& db) { ensureQueryDef(db, "SoldSorted", kSoldSortedSql); }

std::array<std::string, 5> historyQueryTexts(std::string_view symbol) {
  const std::string quoted = quoteSqlString(symbol);
  return {
      "SELECT * FROM [Bought] WHERE CompanySymbol = " + quoted,
      "SELECT * FROM [Sold] WHERE CompanySymbol = " + quoted,
      std::string("SELECT SUM([Bought].[TotalPurchase]) AS [Total Buy]") +
          " FROM [Bought] WHERE CompanySymbol = " + quoted,
      std::string("SELECT SUM([Sold].[TotalSell]) AS [Total Sell]") + " FROM [Sold] WHERE CompanySymbol = " +
          quoted,
      std::string("SELECT [Total Sell]-[Total Buy] AS [Profit/Loss] FROM ") + "VBQryTotalSell, VBQryTotalBuy",
  };
}

void BuildHistoryQueries(Database& db, const std::string& symbol) {
  const auto texts = historyQueryTexts(symbol);
  if (db.isReadOnly()) {
    passOver([&] {
      for (size_t i = 0; i < kHistoryQueryNames.size(); ++i)
        defineForThisConnection(db, kHistoryQueryNames[i], texts[i]);
    });
    return;
  }
  passOver([&] {
    for (size_t i = 0; i < kHistoryQueryNames.size(); ++i) {
      if (!db.hasQueryDef(kHistoryQueryNames[i])) db.createQueryDef(kHistoryQueryNames[i], texts[i]);
    }
    for (size_t i = 0; i < kHistoryQueryNames.size(); ++i) db.queryDef(kHistoryQueryNames[i]).setSql(texts[i]);
  });
}

ProfitLossFigures readProfitLossFigures(LedgerSession& session) {
  ProfitLossFigures figures;
  // The session ends on Trade at its first row; opening it also opens the
  // ledger the figures are read from.
  if (!session.OpenLedgerTable("Trade")) return figures;
  Database& db = *session.LedgerDatabase;
  const std::string& path = db.path();
  const auto report = [&](std::string_view name, const DbError& e) {
    session.prompter().show(openFailureMessage(path, name) + kNewLine + kNewLine + e.what(), MsgIcon::Critical);
  };
  // Each figure is shown where the ledger has the stored query that names
  // it (checked without running it); its value is computed exactly from
  // the trades instead of read in floating point.
  const auto hasQuery = [&](std::string_view name) {
    try {
      detail::prepare(db.handle(), "SELECT * FROM " + std::string(name));
      return true;
    } catch (const DbError& e) {
      report(name, e);
      return false;
    }
  };
  const bool buy = hasQuery("[Total Buy]");
  const bool sell = hasQuery("[Total Sell]");
  const bool profitLoss = hasQuery("[Profit/Loss]");
  TradeTotals totals;
  try {
    totals = readLedgerTotals(db);
  } catch (const DbError& e) {
    report("Trade", e);
    return figures;
  }
  if (buy) figures.totalBought = figureText(totals.totalBuy);
  if (sell) figures.totalSold = figureText(totals.totalSell);
  if (profitLoss) {
    figures.profitLoss = figureText(totals.profitLoss());
    figures.percentage = percentageText(totals.percentage());
  }
  return figures;
}

HistoryFigures readHistoryFigures(Database& db, std::string_view symbol) {
  const TradeTotals totals = readLedgerTotals(db, symbol);
  return {figureText(totals.totalBuy), figureText(totals.totalSell), figureText(totals.profitLoss())};
}

// ---- chart table -----------------------------------------------------------

void ChartTable::reserve(std::size_t rows) {
  m_labels.reserve(rows);
  m_values.reserve(rows);
}

std::uint32_t ChartTable::intern(const std::string& text) {
  const auto [it, added] = m_textIndex.try_emplace(text, static_cast<std::uint32_t>(m_texts.size()));
  if (added) m_texts.push_back(text);
  return it->second;
}

void ChartTable::appendRow(const std::string& symbol, const std::string& side, const std::string& quotedDate,
                           std::optional<double> price, std::optional<double> commission) {
  m_labels.push_back({intern(symbol), intern(side), intern(quotedDate)});
  constexpr double kNull = std::numeric_limits<double>::quiet_NaN();
  m_values.push_back({price.value_or(kNull), commission.value_or(kNull)});
  for (const auto& n : {price, commission}) {
    if (!n) continue;
    m_min = std::min(m_min, *n);
    m_max = std::max(m_max, *n);
  }
}

const std::string& ChartTable::label(std::int64_t row, int level) const {
  return m_texts[m_labels[static_cast<size_t>(row)][static_cast<size_t>(level)]];
}

std::optional<double> ChartTable::number(std::int64_t row, int series) const {
  const double v = m_values[static_cast<size_t>(row)][static_cast<size_t>(series)];
  if (std::isnan(v)) return std::nullopt;
  return v;
}

Value ChartTable::cell(std::int64_t row, int column) const {
  if (column < kLabelLevels) return label(row, column);
  const auto n = number(row, column - kLabelLevels);
  return n ? Value(*n) : Value();
}

ChartTable readChartTable(Database& ledger, Recordset& trades) {
  ReadTransaction snapshot(ledger);
  trades.moveFirst();
  ChartTable table;
  table.reserve(static_cast<size_t>(trades.recordCount()));
  // The rows in the recordset's order (by row id), read in one pass of one
  // statement rather than a cursor step per row: the same values, without
  // a statement run for each trade.
  using detail::columnValue;
  sqlite3* db = ledger.handle();
  detail::StmtPtr rows = detail::prepare(db, "SELECT * FROM Trade ORDER BY rowid");
  while (detail::step(db, rows.get())) {
    table.appendRow(toDisplayText(columnValue(rows.get(), kTradeSymbolPos)),
                    toDisplayText(columnValue(rows.get(), kTradeSidePos)),
                    "'" + toDisplayText(columnValue(rows.get(), kTradeDatePos)) + "'",
                    numberOf(columnValue(rows.get(), kTradePricePos)),
                    numberOf(columnValue(rows.get(), kTradeCommissionPos)));
  }
  return table;
}

}  // namespace ledger
