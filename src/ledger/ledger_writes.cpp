#include "ledger/ledger_writes.h"

#include <algorithm>
#include <limits>
#include <map>
#include <unordered_map>

#include "engine/db_error.h"
#include "engine/statement.h"
#include "ledger/event_writes.h"
#include "ledger/ledger_change.h"
#include "ledger/undo_journal.h"

namespace ledger {

namespace {

constexpr const char* kSelectTrade =
    "SELECT CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, Commission FROM Trade WHERE rowid = ?1";

double numberOf(const Value& v) {
  if (const auto* d = std::get_if<double>(&v)) return *d;
  if (const auto* i = std::get_if<std::int64_t>(&v)) return static_cast<double>(*i);
  return 0;
}

std::string textOf(const Value& v) {
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  return toDisplayText(v);
}

// Binds the trade to ?first..?first+6 straight from its fields: an import
// binds a hundred thousand of them, so no Value (and no copy of its texts)
// is made.
void bindTradeAt(Statement& stmt, int first, const Trade& t, std::int64_t companyId) {
  stmt.bind(first, companyId);
  stmt.bind(first + 1, std::string_view(t.symbol));
  stmt.bind(first + 2, t.quantity);
  stmt.bind(first + 3, sideCode(t.side));
  stmt.bind(first + 4, std::string_view(t.date));
  stmt.bind(first + 5, t.price);
  stmt.bind(first + 6, t.commission);
}

void bindTrade(Statement& stmt, const Trade& t) { bindTradeAt(stmt, 1, t, t.companyId); }

constexpr const char* kInsertTradeColumns =
    "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, Commission) VALUES ";

// Writes trades a batch at a time, each batch one INSERT of many rows: the
// Trade table's checks (IN lists) build a lookup table every time a
// statement runs, which row by row cost more than the rows themselves.
// Each added row is listed in changes, in order, as one statement per row
// would have listed it.
class TradeBatches {
 public:
  TradeBatches(Database& db, std::vector<RowChange>& changes) : m_db(db), m_changes(changes) {
    m_pending.reserve(kBatch);
  }

  void add(const Trade& t, std::int64_t companyId) {
    m_pending.emplace_back(&t, companyId);
    if (m_pending.size() == kBatch) flush();
  }

  void flush() {
    std::size_t done = 0;
    while (done < m_pending.size()) {
      // A new row's id is one past the largest; only next to the largest
      // possible id does SQLite pick others, and there rows go one by one.
      const std::int64_t largest = largestRowid();
      const bool roomy = largest <= std::numeric_limits<std::int64_t>::max() - static_cast<std::int64_t>(kBatch);
      const std::size_t rows = roomy ? m_pending.size() - done : 1;
      Statement& stmt = statementFor(rows);
      for (std::size_t i = 0; i < rows; ++i) {
        const auto& [trade, companyId] = m_pending[done + i];
        bindTradeAt(stmt, static_cast<int>(i * 7 + 1), *trade, companyId);
      }
      stmt.run();
      stmt.reset();
      const std::int64_t now = m_db.lastInsertRowid();
      if (rows > 1 && now != largest + static_cast<std::int64_t>(rows))
        throw DbError(dberr::kChangedElsewhere, "The new trades did not get the row ids expected.");
      // Counted, not compared with now: now may be the largest id there is.
      for (std::size_t i = rows; i > 0; --i)
        m_changes.push_back({JournalTable::Trade, now - static_cast<std::int64_t>(i - 1), std::nullopt});
      m_largest = std::max(largest, now);
      done += rows;
    }
    m_pending.clear();
  }

 private:
  static constexpr std::size_t kBatch = 64;

  // The largest row id of Trade; read once, then kept up to date.
  std::int64_t largestRowid() {
    if (!m_knownLargest) {
      const std::optional<Value> max = m_db.scalar("SELECT max(rowid) FROM Trade");
      const auto* n = max ? std::get_if<std::int64_t>(&*max) : nullptr;
      m_largest = n ? *n : 0;
      m_knownLargest = true;
    }
    return m_largest;
  }

  Statement& statementFor(std::size_t rows) {
    std::optional<Statement>& stmt = rows == kBatch ? m_full : m_rest[rows];
    if (!stmt) {
      std::string sql = kInsertTradeColumns;
      for (std::size_t i = 0; i < rows; ++i) {
        const int p = static_cast<int>(i * 7);
        sql += i ? ", (" : "(";
        for (int c = 1; c <= 7; ++c) sql += (c > 1 ? ", ?" : "?") + std::to_string(p + c);
        sql += ')';
      }
      stmt.emplace(m_db, sql);
    }
    return *stmt;
  }

  Database& m_db;
  std::vector<RowChange>& m_changes;
  std::vector<std::pair<const Trade*, std::int64_t>> m_pending;
  std::optional<Statement> m_full;
  std::map<std::size_t, std::optional<Statement>> m_rest;
  bool m_knownLargest = false;
  std::int64_t m_largest = 0;
};

// Throws kChangedElsewhere unless row rowid holds expected. Returns the
// row's values as the undo journal keeps them.
RowValues requireUnchanged(Database& db, std::int64_t rowid, const Trade& expected) {
  const std::optional<Trade> now = readTrade(db, rowid);
  if (!now)
    throw DbError(dberr::kChangedElsewhere, "The trade is no longer in the ledger; it was deleted elsewhere.");
  if (!(*now == expected))
    throw DbError(dberr::kChangedElsewhere, "The trade was changed elsewhere since it was shown.");
  return readJournalRow(db, JournalTable::Trade, rowid).value();
}

std::int64_t insertTradeRow(Database& db, const Trade& t) {
  Statement stmt(db,
                 "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, "
                 "Commission) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  bindTrade(stmt, t);
  stmt.run();
  return db.lastInsertRowid();
}

std::int64_t insertCompanyRow(Database& db, std::string_view symbol) {
  Statement stmt(db, "INSERT INTO Companies (CompanySymbol) VALUES (?1)");
  stmt.bind(1, symbol);
  stmt.run();
  return db.lastInsertRowid();
}

// The CompanyID of symbol, added now unless another writer added it since
// the caller looked; the new row goes into changes.
std::int64_t companyAddedOnce(Database& db, const std::string& symbol, std::vector<RowChange>& changes) {
  if (const std::optional<std::int64_t> id = findCompany(db, symbol)) return *id;
  const std::int64_t id = insertCompanyRow(db, symbol);
  changes.push_back({JournalTable::Companies, id, std::nullopt});
  return id;
}

// trade, with the CompanyID of its company when asked to add it.
Trade withCompany(Database& db, const Trade& trade, NewCompany company, std::vector<RowChange>& changes) {
  if (company == NewCompany::No) return trade;
  Trade t = trade;
  t.companyId = companyAddedOnce(db, trade.symbol, changes);
  return t;
}

}  // namespace

Trade tradeFromColumns(const Value (&columns)[kTradeColumnCount]) {
  Trade t;
  if (const auto* i = std::get_if<std::int64_t>(&columns[0])) t.companyId = *i;
  t.symbol = textOf(columns[1]);
  t.quantity = numberOf(columns[2]);
  t.side = sideFromCode(textOf(columns[3])).value_or(TradeSide::Sell);
  t.date = textOf(columns[4]);
  t.price = numberOf(columns[5]);
  t.commission = numberOf(columns[6]);
  return t;
}

std::optional<Trade> readTrade(Database& db, std::int64_t rowid) {
  Statement stmt(db, kSelectTrade);
  stmt.bind(1, rowid);
  if (!stmt.step()) return std::nullopt;
  Value columns[kTradeColumnCount];
  for (int i = 0; i < kTradeColumnCount; ++i) columns[i] = stmt.value(i);
  return tradeFromColumns(columns);
}

std::int64_t insertTrade(Database& db, const Trade& trade, NewCompany company) {
  LedgerChange change(db);
  std::vector<RowChange> changes;
  const Trade t = withCompany(db, trade, company, changes);
  const std::int64_t rowid = insertTradeRow(db, t);
  changes.push_back({JournalTable::Trade, rowid, std::nullopt});
  change.commitStep("New Record of " + describeTrade(t), changes);
  return rowid;
}

void updateTrade(Database& db, std::int64_t rowid, const Trade& expected, const Trade& trade, NewCompany company) {
  LedgerChange change(db);
  RowValues before = requireUnchanged(db, rowid, expected);
  std::vector<RowChange> changes;
  const Trade t = withCompany(db, trade, company, changes);
  Statement stmt(db,
                 "UPDATE Trade SET CompanyID = ?1, CompanySymbol = ?2, Quantity = ?3, [Buy/Sell] = ?4, "
                 "Date = ?5, Price = ?6, Commission = ?7 WHERE rowid = ?8");
  bindTrade(stmt, t);
  stmt.bind(8, rowid);
  stmt.run();
  changes.push_back({JournalTable::Trade, rowid, std::move(before)});
  change.commitStep("Edit of " + describeTrade(t), changes);
}

void deleteTrade(Database& db, std::int64_t rowid, const Trade& expected) {
  LedgerChange change(db);
  RowValues before = requireUnchanged(db, rowid, expected);
  const Value key[] = {rowid};
  db.execute("DELETE FROM Trade WHERE rowid = ?", key);
  const RowChange row[] = {{JournalTable::Trade, rowid, std::move(before)}};
  change.commitStep("Delete of " + describeTrade(expected), row);
}

std::int64_t writeTrade(LedgerChange& change, const Trade& trade) { return insertTradeRow(change.db(), trade); }

std::optional<std::int64_t> findCompany(Database& db, std::string_view symbol) {
  const Value key[] = {std::string(symbol)};
  const std::optional<Value> id =
      db.scalar("SELECT CompanyID FROM Companies WHERE CompanySymbol = ?1 ORDER BY rowid DESC LIMIT 1", key);
  if (!id) return std::nullopt;
  if (const auto* i = std::get_if<std::int64_t>(&*id)) return *i;
  return std::nullopt;
}

std::int64_t insertCompany(Database& db, std::string_view symbol) {
  LedgerChange change(db);
  const std::int64_t id = insertCompanyRow(db, symbol);
  const RowChange row[] = {{JournalTable::Companies, id, std::nullopt}};
  change.commitStep("Add Company " + std::string(symbol), row);
  return id;
}

bool importTrades(Database& db, const std::vector<Trade>& trades, const std::vector<std::string>& newSymbols,
                  const ImportProgress& progress) {
  LedgerChange change(db);
  return writeImportedTrades(change, trades, newSymbols, {}, progress);
}

bool writeImportedTrades(LedgerChange& change, const std::vector<Trade>& trades,
                         const std::vector<std::string>& newSymbols, const std::vector<CashDividend>& dividends,
                         const ImportProgress& progress) {
  Database& db = change.db();
  constexpr std::size_t kProgressStep = 500;
  std::unordered_map<std::string, std::int64_t> added;
  std::vector<RowChange> changes;
  changes.reserve(newSymbols.size() + trades.size());
  for (const std::string& symbol : newSymbols) added[symbol] = companyAddedOnce(db, symbol, changes);

  TradeBatches batches(db, changes);
  for (std::size_t i = 0; i < trades.size(); ++i) {
    if (progress && i % kProgressStep == 0 && !progress(i, trades.size())) return false;
    const Trade& t = trades[i];
    std::int64_t companyId = t.companyId;
    if (t.companyId == 0)
      if (const auto it = added.find(t.symbol); it != added.end()) companyId = it->second;
    batches.add(t, companyId);
  }
  batches.flush();
  for (const CashDividend& dividend : dividends) writeDividend(change, dividend, changes);
  if (progress && !progress(trades.size(), trades.size())) return false;
  std::string label = "Import of " + std::to_string(trades.size()) + (trades.size() == 1 ? " trade" : " trades");
  if (!dividends.empty())
    label += " and " + std::to_string(dividends.size()) + (dividends.size() == 1 ? " dividend" : " dividends");
  change.commitStep(label, changes);
  return true;
}

}  // namespace ledger
