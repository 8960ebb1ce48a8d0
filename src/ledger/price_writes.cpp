#include "ledger/price_writes.h"

#include <cmath>
#include <optional>
#include <utility>

#include "engine/db_error.h"
#include "engine/statement.h"
#include "figures/number_limits.h"
#include "ledger/ledger_change.h"
#include "ledger/ledger_format.h"
#include "ledger/ledger_writes.h"
#include "ledger/price_table.h"
#include "ledger/undo_journal.h"

namespace ledger {

namespace {

[[noreturn]] void refuse(const std::string& why) { throw DbError(dberr::kConstraint, why); }

// The close as the ledger holds it: a REAL, as Trade's prices are.
double storedClose(const Decimal& close) { return close.toDouble(); }

// A close as the ledger holds it, exactly as its shortest text reads;
// nullopt for what is no price (another program's text, zero, an infinity).
std::optional<Decimal> closeOf(const Value& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v); i && *i > 0) return Decimal::fromInt(*i);
  if (const auto* d = std::get_if<double>(&v); d && std::isfinite(*d) && *d > 0) return Decimal::fromDouble(*d);
  return std::nullopt;
}

// The price a journal row holds; a close that is no price reads as 0, for
// a label.
ClosePrice priceOf(const RowValues& v) {
  return {toDisplayText(v[0]), toDisplayText(v[1]), closeOf(v[2]).value_or(Decimal())};
}

// The price as it will read back from the ledger, for the step's label.
ClosePrice asStored(ClosePrice price) {
  price.close = Decimal::fromDouble(storedClose(price.close));
  return price;
}

bool hasPriceTable(Database& db) {
  return db.scalar("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = 'Price' COLLATE NOCASE").has_value();
}

// What can be told without the ledger. A close is never made positive: a
// negative one is refused, as is one so small that it would be stored as 0.
void checkPrice(const ClosePrice& price) {
  if (!isIsoDate(price.date)) refuse("The date must be a real date, written YYYY-MM-DD.");
  const double stored = storedClose(price.close);
  if (price.close.sign() <= 0 || !(stored > 0) || stored > kMaxTradeNumber)
    refuse("The closing price must be a number above 0, up to " + formatNumber(kMaxTradeNumber) + ".");
}

std::string alreadyThere(std::string_view symbol, std::string_view date) {
  return "There is already a price of " + std::string(symbol) + " on " + std::string(date) + ".";
}

std::string label(const char* verb, const ClosePrice& price) {
  return std::string(verb) + "Price of " + describePrice(asStored(price));
}

}  // namespace

PriceBatch::PriceBatch(LedgerChange& change) : m_db(change.db()) {}

void PriceBatch::write(const ClosePrice& price, SameDate sameDate, std::vector<RowChange>& changes) {
  checkPrice(price);
  requireCompany(price.symbol);
  std::optional<RowValues> before;
  const std::optional<std::int64_t> row = rowOf(price.symbol, price.date);
  if (row) {
    if (sameDate == SameDate::Refuse) refuse(alreadyThere(price.symbol, price.date));
    before = readJournalRow(m_db, JournalTable::Price, *row).value();
  }
  put(price, row, std::move(before), changes);
}

void PriceBatch::edit(const ClosePrice& shown, const ClosePrice& price, std::vector<RowChange>& changes) {
  checkPrice(price);
  requireCompany(price.symbol);
  const std::optional<std::int64_t> row = rowOf(shown.symbol, shown.date);
  if (!row) throw DbError(dberr::kChangedElsewhere, "The price is no longer in the ledger; it was deleted elsewhere.");
  RowValues before = readJournalRow(m_db, JournalTable::Price, *row).value();
  if (!(priceOf(before) == shown))
    throw DbError(dberr::kChangedElsewhere, "The price was changed elsewhere since it was shown.");
  if (const auto held = rowOf(price.symbol, price.date); held && held != row)
    refuse(alreadyThere(price.symbol, price.date));
  put(price, row, std::move(before), changes);
}

std::optional<std::int64_t> PriceBatch::rowOf(std::string_view symbol, std::string_view date) {
  if (!hasTable()) return std::nullopt;
  if (!m_find) m_find.emplace(m_db, "SELECT rowid FROM Price WHERE CompanySymbol = ?1 AND Date = ?2");
  m_find->reset();
  m_find->bind(1, symbol);
  m_find->bind(2, date);
  std::optional<std::int64_t> row;
  if (m_find->step()) row = m_find->integer(0);
  m_find->reset();
  return row;
}

void PriceBatch::requireCompany(const std::string& symbol) {
  // Symbols are not unique in Companies: any row with it will do. The
  // column is TEXT, so a symbol matches only a text value equal to it.
  if (!m_companies) {
    m_companies.emplace();
    Statement stmt(m_db, "SELECT CompanySymbol FROM Companies WHERE typeof(CompanySymbol) = 'text'");
    while (stmt.step()) m_companies->emplace(stmt.text(0));
  }
  if (!m_companies->contains(symbol)) refuse("The symbol " + symbol + " is not in the list of companies.");
}

bool PriceBatch::hasTable() {
  if (!m_hasTable) m_hasTable = hasPriceTable(m_db);
  return *m_hasTable;
}

// Writes price in place of the row, or as a new one; lists the change.
void PriceBatch::put(const ClosePrice& price, std::optional<std::int64_t> row, std::optional<RowValues> before,
                     std::vector<RowChange>& changes) {
  // A ledger holding prices says so: programs that do not know them only
  // read it (ledger_format.h).
  if (!m_marked) {
    markLedgerFormat(m_db, kPricesFormat);
    m_marked = true;
  }
  if (!hasTable()) {
    m_db.executeScript(kPriceTableSchema);
    m_hasTable = true;
  }
  Statement* stmt;
  if (row) {
    if (!m_update)
      m_update.emplace(m_db, "UPDATE Price SET (CompanySymbol, Date, Close) = (?1, ?2, ?3) WHERE rowid = ?4");
    stmt = &*m_update;
  } else {
    if (!m_insert) m_insert.emplace(m_db, "INSERT INTO Price (CompanySymbol, Date, Close) VALUES (?1, ?2, ?3)");
    stmt = &*m_insert;
  }
  stmt->reset();
  stmt->bind(1, std::string_view(price.symbol));
  stmt->bind(2, std::string_view(price.date));
  stmt->bind(3, storedClose(price.close));
  if (row) stmt->bind(4, *row);
  stmt->run();
  if (!row) row = m_db.lastInsertRowid();
  changes.push_back({JournalTable::Price, *row, std::move(before)});
}

void addPrice(Database& db, const ClosePrice& price, SameDate sameDate) {
  checkPrice(price);
  LedgerChange change(db);
  std::vector<RowChange> changes;
  PriceBatch(change).write(price, sameDate, changes);
  change.commitStep(label(changes.front().before ? "Edit of " : "New ", price), changes);
}

void editPrice(Database& db, const ClosePrice& shown, const ClosePrice& price) {
  checkPrice(price);
  LedgerChange change(db);
  std::vector<RowChange> changes;
  PriceBatch(change).edit(shown, price, changes);
  change.commitStep(label("Edit of ", price), changes);
}

void deletePrice(Database& db, std::string_view symbol, std::string_view date) {
  LedgerChange change(db);
  const std::optional<std::int64_t> row = PriceBatch(change).rowOf(symbol, date);
  if (!row)
    throw DbError(dberr::kItemNotFound,
                  "There is no price of " + std::string(symbol) + " on " + std::string(date) + ".");
  RowValues before = readJournalRow(db, JournalTable::Price, *row).value();
  const std::string stepLabel = "Delete of Price of " + describePrice(priceOf(before));
  const Value key[] = {*row};
  db.execute("DELETE FROM Price WHERE rowid = ?", key);
  const RowChange changes[] = {{JournalTable::Price, *row, std::move(before)}};
  change.commitStep(stepLabel, changes);
}

std::vector<ClosePrice> readPrices(Database& db, std::string_view symbol) {
  std::vector<ClosePrice> prices;
  if (!hasPriceTable(db)) return prices;
  Statement stmt(db, "SELECT CompanySymbol, Date, Close FROM Price WHERE CompanySymbol = ?1 ORDER BY Date");
  stmt.bind(1, symbol);
  while (stmt.step())
    if (const std::optional<Decimal> close = closeOf(stmt.value(2)))
      prices.push_back({toDisplayText(stmt.value(0)), toDisplayText(stmt.value(1)), *close});
  return prices;
}

std::string describePrice(const ClosePrice& price) {
  return price.symbol + " " + price.date + " (" + price.close.toDisplayString() + ")";
}

}  // namespace ledger
