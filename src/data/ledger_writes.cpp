#include "ledger_writes.h"

#include <unordered_map>

#include "db_error.h"
#include "sqlite_util.h"
#include "undo_journal.h"

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

// Binds ?1..?7 straight from the trade: an import binds a hundred
// thousand of them, so no Value (and no copy of its texts) is made.
void bindTrade(sqlite3* db, sqlite3_stmt* stmt, const Trade& t) {
  const std::string_view side = sideCode(t.side);
  const int codes[] = {
      sqlite3_bind_int64(stmt, 1, t.companyId),
      sqlite3_bind_text64(stmt, 2, t.symbol.data(), t.symbol.size(), SQLITE_TRANSIENT, SQLITE_UTF8),
      sqlite3_bind_double(stmt, 3, t.quantity),
      sqlite3_bind_text64(stmt, 4, side.data(), side.size(), SQLITE_TRANSIENT, SQLITE_UTF8),
      sqlite3_bind_text64(stmt, 5, t.date.data(), t.date.size(), SQLITE_TRANSIENT, SQLITE_UTF8),
      sqlite3_bind_double(stmt, 6, t.price),
      sqlite3_bind_double(stmt, 7, t.commission),
  };
  for (const int rc : codes)
    if (rc != SQLITE_OK) detail::throwSqlite(db, rc, "");
}

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
  auto stmt = detail::prepare(db.handle(),
                              "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, "
                              "Commission) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  bindTrade(db.handle(), stmt.get(), t);
  detail::step(db.handle(), stmt.get());
  return sqlite3_last_insert_rowid(db.handle());
}

std::int64_t insertCompanyRow(Database& db, std::string_view symbol) {
  auto stmt = detail::prepare(db.handle(), "INSERT INTO Companies (CompanySymbol) VALUES (?1)");
  const Value values[] = {std::string(symbol)};
  detail::bindAll(db.handle(), stmt.get(), values);
  detail::step(db.handle(), stmt.get());
  return sqlite3_last_insert_rowid(db.handle());
}

// trade, with the CompanyID of a company added now when asked to.
Trade withCompany(Database& db, const Trade& trade, NewCompany company) {
  if (company == NewCompany::No) return trade;
  Trade t = trade;
  t.companyId = insertCompanyRow(db, trade.symbol);
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
  auto stmt = detail::prepare(db.handle(), kSelectTrade);
  const Value key[] = {rowid};
  detail::bindAll(db.handle(), stmt.get(), key);
  if (!detail::step(db.handle(), stmt.get())) return std::nullopt;
  Value columns[kTradeColumnCount];
  for (int i = 0; i < kTradeColumnCount; ++i) columns[i] = detail::columnValue(stmt.get(), i);
  return tradeFromColumns(columns);
}

std::int64_t insertTrade(Database& db, const Trade& trade, NewCompany company) {
  detail::Transaction tx(db.handle());
  const Trade t = withCompany(db, trade, company);
  const std::int64_t rowid = insertTradeRow(db, t);
  std::vector<RowChange> changes;
  if (company == NewCompany::Add) changes.push_back({JournalTable::Companies, t.companyId, std::nullopt});
  changes.push_back({JournalTable::Trade, rowid, std::nullopt});
  recordUndoStep(db, "New Record of " + describeTrade(t), changes);
  tx.commit();
  return rowid;
}

void updateTrade(Database& db, std::int64_t rowid, const Trade& expected, const Trade& trade, NewCompany company) {
  detail::Transaction tx(db.handle());
  RowValues before = requireUnchanged(db, rowid, expected);
  const Trade t = withCompany(db, trade, company);
  auto stmt = detail::prepare(db.handle(),
                              "UPDATE Trade SET CompanyID = ?1, CompanySymbol = ?2, Quantity = ?3, [Buy/Sell] = ?4, "
                              "Date = ?5, Price = ?6, Commission = ?7 WHERE rowid = ?8");
  bindTrade(db.handle(), stmt.get(), t);
  sqlite3_bind_int64(stmt.get(), 8, rowid);
  detail::step(db.handle(), stmt.get());
  std::vector<RowChange> changes;
  if (company == NewCompany::Add) changes.push_back({JournalTable::Companies, t.companyId, std::nullopt});
  changes.push_back({JournalTable::Trade, rowid, std::move(before)});
  recordUndoStep(db, "Edit of " + describeTrade(t), changes);
  tx.commit();
}

void deleteTrade(Database& db, std::int64_t rowid, const Trade& expected) {
  detail::Transaction tx(db.handle());
  RowValues before = requireUnchanged(db, rowid, expected);
  const Value key[] = {rowid};
  db.execute("DELETE FROM Trade WHERE rowid = ?", key);
  const RowChange change[] = {{JournalTable::Trade, rowid, std::move(before)}};
  recordUndoStep(db, "Delete of " + describeTrade(expected), change);
  tx.commit();
}

std::optional<std::int64_t> findCompany(Database& db, std::string_view symbol) {
  const Value key[] = {std::string(symbol)};
  const std::optional<Value> id =
      db.scalar("SELECT CompanyID FROM Companies WHERE CompanySymbol = ?1 ORDER BY rowid DESC LIMIT 1", key);
  if (!id) return std::nullopt;
  if (const auto* i = std::get_if<std::int64_t>(&*id)) return *i;
  return std::nullopt;
}

std::int64_t insertCompany(Database& db, std::string_view symbol) {
  detail::Transaction tx(db.handle());
  const std::int64_t id = insertCompanyRow(db, symbol);
  const RowChange change[] = {{JournalTable::Companies, id, std::nullopt}};
  recordUndoStep(db, "Add Company " + std::string(symbol), change);
  tx.commit();
  return id;
}

bool importTrades(Database& db, const std::vector<Trade>& trades, const std::vector<std::string>& newSymbols,
                  const ImportProgress& progress) {
  constexpr std::size_t kProgressStep = 500;
  detail::Transaction tx(db.handle());
  std::unordered_map<std::string, std::int64_t> added;
  std::vector<RowChange> changes;
  changes.reserve(newSymbols.size() + trades.size());
  for (const std::string& symbol : newSymbols) {
    added[symbol] = insertCompanyRow(db, symbol);
    changes.push_back({JournalTable::Companies, added[symbol], std::nullopt});
  }

  auto stmt = detail::prepare(db.handle(),
                              "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, "
                              "Commission) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  for (std::size_t i = 0; i < trades.size(); ++i) {
    if (progress && i % kProgressStep == 0 && !progress(i, trades.size())) return false;
    const Trade& t = trades[i];
    if (t.companyId == 0) {
      if (const auto it = added.find(t.symbol); it != added.end()) {
        Trade withCompany = t;
        withCompany.companyId = it->second;
        bindTrade(db.handle(), stmt.get(), withCompany);
      } else {
        bindTrade(db.handle(), stmt.get(), t);
      }
    } else {
      bindTrade(db.handle(), stmt.get(), t);
    }
    detail::step(db.handle(), stmt.get());
    sqlite3_reset(stmt.get());
    changes.push_back({JournalTable::Trade, sqlite3_last_insert_rowid(db.handle()), std::nullopt});
  }
  if (progress && !progress(trades.size(), trades.size())) return false;
  const char* noun = trades.size() == 1 ? " trade" : " trades";
  recordUndoStep(db, "Import of " + std::to_string(trades.size()) + noun, changes);
  tx.commit();
  return true;
}

}  // namespace ledger
