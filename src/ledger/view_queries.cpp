#include "ledger/view_queries.h"

#include <cmath>
#include <limits>

#include "engine/db_error.h"
#include "engine/sql_translate.h"
#include "engine/statement.h"
#include "engine/transaction.h"
#include "figures/exact_figures.h"
#include "ledger/kept_figures.h"
#include "ledger/ledger_change.h"
#include "ledger/ledger_schema.h"

namespace ledger {

namespace {

// A ledger that can only be read cannot keep the views' queries. They are
// defined for this connection alone instead: a temporary view of the same
// name stands in front of whatever the ledger holds under that name.
void defineForThisConnection(Database& db, std::string_view name, std::string_view jetSql) {
  db.executeScript("DROP VIEW IF EXISTS temp." + quoteSqlIdentifier(name));
  QueryDef::create(db, name, jetSql, QueryDef::Lifetime::ThisConnection);
}

// Sets the text of the stored query name, creating it when the ledger lacks
// it; any other failure is passed over.
void ensureQueryDef(Database& db, const char* name, const char* sql) {
  if (db.isReadOnly()) {
    passOver([&] { defineForThisConnection(db, name, sql); });
    return;
  }
  // A query's text is a change like any other: the kept figures stay current.
  const int error = passOver([&] {
    QueryDef query = db.queryDef(name);
    LedgerChange change(db);
    query.setSql(sql);
    change.commit();
  });
  if (error == dberr::kItemNotFound) passOver([&] {
      LedgerChange change(db);
      db.createQueryDef(name, sql);
      change.commit();
    });
}

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

namespace {

// The CREATE text SQLite keeps for a view, or nullopt without such a view.
std::optional<std::string> storedViewSql(Database& db, std::string_view name) {
  Statement stmt(db, "SELECT sql FROM sqlite_schema WHERE type = 'view' AND name = ?1");
  stmt.bind(1, name);
  if (!stmt.step()) return std::nullopt;
  return toText(stmt.value(0));
}

// Bought and Sold as a new ledger holds them.
const std::array<std::string, 2>& templateListViews() {
  static const std::array<std::string, 2> texts = [] {
    Database db = Database::openFile(":memory:", /*create=*/true);
    db.executeScript(ledgerSchemaSql());
    return std::array<std::string, 2>{storedViewSql(db, "Bought").value_or(""), storedViewSql(db, "Sold").value_or("")};
  }();
  return texts;
}

}  // namespace

std::optional<std::array<std::int64_t, 2>> historyListCounts(Database& db, std::string_view symbol) {
  const auto& views = templateListViews();
  const auto texts = historyQueryTexts(symbol);
  if (storedViewSql(db, "Bought") != views[0] || storedViewSql(db, "Sold") != views[1]) return std::nullopt;
  for (size_t i = 0; i < 2; ++i)
    if (storedViewSql(db, kHistoryQueryNames[i]) != QueryDef::createStatement(kHistoryQueryNames[i], texts[i]))
      return std::nullopt;
  std::array<std::int64_t, 2> counts{};
  const char* sides[] = {"B", "S"};
  for (size_t i = 0; i < 2; ++i) {
    const Value keys[] = {std::string(symbol), std::string(sides[i])};
    const std::optional<Value> n =
        db.scalar("SELECT count(*) FROM Trade WHERE CompanySymbol = ?1 AND [Buy/Sell] = ?2", keys);
    const auto* count = n ? std::get_if<std::int64_t>(&*n) : nullptr;
    if (!count) return std::nullopt;
    counts[i] = *count;
  }
  return counts;
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
    // Showing the same company again writes nothing: each write is a commit
    // the disk waits for.
    bool same = true;
    for (size_t i = 0; i < kHistoryQueryNames.size() && same; ++i)
      same = storedViewSql(db, kHistoryQueryNames[i]) ==
             QueryDef::createStatement(kHistoryQueryNames[i], texts[i]);
    if (same) return;
    LedgerChange change(db);
    for (size_t i = 0; i < kHistoryQueryNames.size(); ++i) {
      db.executeScript("DROP VIEW IF EXISTS " + quoteSqlIdentifier(kHistoryQueryNames[i]));
      QueryDef::create(db, kHistoryQueryNames[i], texts[i]);
    }
    change.commit();
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
    session.notifier().notify(openFailureMessage(path, name) + kNewLine + kNewLine + e.what(), MsgIcon::Critical);
  };
  // Each figure is shown where the ledger has the stored query that names
  // it (checked without running it); its value is computed exactly from
  // the trades instead of read in floating point.
  const auto hasQuery = [&](std::string_view name) {
    try {
      Statement(db, "SELECT * FROM " + std::string(name));
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
  // Dates are most of the labels; a ledger has far fewer days than trades.
  m_textIndex.reserve(rows / 4);
}

std::uint32_t ChartTable::intern(std::string_view text) {
  if (const auto it = m_textIndex.find(text); it != m_textIndex.end()) return it->second;
  const auto index = static_cast<std::uint32_t>(m_texts.size());
  m_texts.emplace_back(text);
  m_textIndex.emplace(m_texts.back(), index);
  return index;
}

void ChartTable::appendRow(std::string_view symbol, std::string_view side, std::string_view quotedDate,
                           std::optional<double> price, std::optional<double> commission) {
  // Neighbouring trades often share a label (a day's trades, one side):
  // the row before is compared first, before any lookup.
  const std::string_view texts[kLabelLevels] = {symbol, side, quotedDate};
  std::array<std::uint32_t, kLabelLevels> ids{};
  for (int level = 0; level < kLabelLevels; ++level) {
    const auto l = static_cast<std::size_t>(level);
    ids[l] = !m_labels.empty() && m_texts[m_labels.back()[l]] == texts[l] ? m_labels.back()[l] : intern(texts[l]);
  }
  m_labels.push_back(ids);
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
  const ReadSnapshot snapshot(ledger);
  trades.moveFirst();
  ChartTable table;
  table.reserve(static_cast<size_t>(trades.recordCount()));
  // The rows in the recordset's order (by row id), read in one pass of one
  // statement rather than a cursor step per row: the same values, without
  // a statement run for each trade.
  Statement row(ledger, "SELECT * FROM Trade ORDER BY rowid");
  // A label as it shows; text (nearly every label) is read in place.
  std::string shown[ChartTable::kLabelLevels];
  const auto label = [&row, &shown](int level, int column) -> std::string_view {
    if (row.type(column) == ColumnType::Text) return row.text(column);
    shown[level] = toDisplayText(row.value(column));
    return shown[level];
  };
  std::string quotedDate;
  while (row.step()) {
    const std::string_view symbol = label(0, kTradeSymbolPos);
    const std::string_view side = label(1, kTradeSidePos);
    quotedDate.assign(1, '\'');
    quotedDate.append(label(2, kTradeDatePos));
    quotedDate.push_back('\'');
    table.appendRow(symbol, side, quotedDate, numberOf(row.value(kTradePricePos)),
                    numberOf(row.value(kTradeCommissionPos)));
  }
  return table;
}

}  // namespace ledger
