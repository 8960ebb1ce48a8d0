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

std::optional<std::int64_t> rowOf(Database& db, std::string_view symbol, std::string_view date) {
  if (!hasPriceTable(db)) return std::nullopt;
  const Value key[] = {std::string(symbol), std::string(date)};
  const auto row = db.scalar("SELECT rowid FROM Price WHERE CompanySymbol = ?1 AND Date = ?2", key);
  if (!row) return std::nullopt;
  return std::get<std::int64_t>(*row);
}

// What can be told without the ledger. A close is never made positive: a
// negative one is refused, as is one so small that it would be stored as 0.
void checkPrice(const ClosePrice& price) {
  if (!isIsoDate(price.date)) refuse("The date must be a real date, written YYYY-MM-DD.");
  const double stored = storedClose(price.close);
  if (price.close.sign() <= 0 || !(stored > 0) || stored > kMaxTradeNumber)
    refuse("The closing price must be a number above 0, up to " + formatNumber(kMaxTradeNumber) + ".");
}

void requireCompany(Database& db, const std::string& symbol) {
  // Symbols are not unique in Companies: any row with it will do.
  if (!findCompany(db, symbol)) refuse("The symbol " + symbol + " is not in the list of companies.");
}

std::string alreadyThere(std::string_view symbol, std::string_view date) {
  return "There is already a price of " + std::string(symbol) + " on " + std::string(date) + ".";
}

// Writes price in place of the row, or as a new one; lists the change.
void putRow(Database& db, const ClosePrice& price, std::optional<std::int64_t> row, std::optional<RowValues> before,
            std::vector<RowChange>& changes) {
  // A ledger holding prices says so: programs that do not know them only
  // read it (ledger_format.h).
  markLedgerFormat(db, kPricesFormat);
  if (!hasPriceTable(db)) db.executeScript(kPriceTableSchema);
  const Value values[] = {price.symbol, price.date, storedClose(price.close)};
  if (row) {
    Statement stmt(db, "UPDATE Price SET (CompanySymbol, Date, Close) = (?1, ?2, ?3) WHERE rowid = ?4");
    stmt.bindAll(values);
    stmt.bind(4, *row);
    stmt.run();
  } else {
    Statement stmt(db, "INSERT INTO Price (CompanySymbol, Date, Close) VALUES (?1, ?2, ?3)");
    stmt.bindAll(values);
    stmt.run();
    row = db.lastInsertRowid();
  }
  changes.push_back({JournalTable::Price, *row, std::move(before)});
}

std::string label(const char* verb, const ClosePrice& price) {
  return std::string(verb) + "Price of " + describePrice(asStored(price));
}

}  // namespace

void writePrice(LedgerChange& change, const ClosePrice& price, SameDate sameDate, std::vector<RowChange>& changes) {
  Database& db = change.db();
  checkPrice(price);
  requireCompany(db, price.symbol);
  std::optional<RowValues> before;
  const std::optional<std::int64_t> row = rowOf(db, price.symbol, price.date);
  if (row) {
    if (sameDate == SameDate::Refuse) refuse(alreadyThere(price.symbol, price.date));
    before = readJournalRow(db, JournalTable::Price, *row).value();
  }
  putRow(db, price, row, std::move(before), changes);
}

void addPrice(Database& db, const ClosePrice& price, SameDate sameDate) {
  checkPrice(price);
  LedgerChange change(db);
  std::vector<RowChange> changes;
  writePrice(change, price, sameDate, changes);
  change.commitStep(label(changes.front().before ? "Edit of " : "New ", price), changes);
}

void editPrice(Database& db, const ClosePrice& shown, const ClosePrice& price) {
  checkPrice(price);
  LedgerChange change(db);
  requireCompany(db, price.symbol);
  const std::optional<std::int64_t> row = rowOf(db, shown.symbol, shown.date);
  if (!row) throw DbError(dberr::kChangedElsewhere, "The price is no longer in the ledger; it was deleted elsewhere.");
  RowValues before = readJournalRow(db, JournalTable::Price, *row).value();
  if (!(priceOf(before) == shown))
    throw DbError(dberr::kChangedElsewhere, "The price was changed elsewhere since it was shown.");
  if (const auto held = rowOf(db, price.symbol, price.date); held && held != row)
    refuse(alreadyThere(price.symbol, price.date));
  std::vector<RowChange> changes;
  putRow(db, price, row, std::move(before), changes);
  change.commitStep(label("Edit of ", price), changes);
}

void deletePrice(Database& db, std::string_view symbol, std::string_view date) {
  LedgerChange change(db);
  const std::optional<std::int64_t> row = rowOf(db, symbol, date);
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
