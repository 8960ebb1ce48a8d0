#include "ledger/event_writes.h"

#include <cmath>
#include <optional>

#include "engine/db_error.h"
#include "engine/statement.h"
#include "figures/number_limits.h"
#include "ledger/event_tables.h"
#include "ledger/ledger_change.h"
#include "ledger/ledger_writes.h"
#include "ledger/undo_journal.h"

namespace ledger {

namespace {

[[noreturn]] void refuse(const std::string& why) { throw DbError(dberr::kConstraint, why); }

Value valueOf(const Decimal& d) { return d.toDouble(); }
Value valueOf(const std::optional<Decimal>& d) { return d ? valueOf(*d) : Value{}; }

// A number as the ledger holds it, exactly as its shortest text reads;
// anything else (another program's text, an infinity) is 0.
Decimal decimalOf(const Value& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return Decimal::fromInt(*i);
  if (const auto* d = std::get_if<double>(&v); d && std::isfinite(*d)) return Decimal::fromDouble(*d);
  return Decimal();
}

std::int64_t integerOf(const Value& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return *i;
  return 0;
}

// What each kind of event is in the ledger and in the step's label.
struct SplitKind {
  using Event = StockSplit;
  static constexpr JournalTable kTable = JournalTable::Split;
  static constexpr const char* kName = "Split";
  static constexpr const char* kNoun = "split";
  static constexpr const char* kColumns = "CompanySymbol, Date, NewShares, OldShares";

  static RowValues values(const StockSplit& s) { return {s.symbol, s.date, s.newShares, s.oldShares}; }
  static StockSplit from(const RowValues& v) {
    return {toDisplayText(v[0]), toDisplayText(v[1]), integerOf(v[2]), integerOf(v[3])};
  }
  static std::string describe(const StockSplit& s) { return describeSplit(s); }
  static void check(const StockSplit& s) {
    if (s.newShares <= 0 || s.oldShares <= 0)
      refuse(kSplitRatioRule);
  }
};

struct DividendKind {
  using Event = CashDividend;
  static constexpr JournalTable kTable = JournalTable::Dividend;
  static constexpr const char* kName = "Dividend";
  static constexpr const char* kNoun = "dividend";
  static constexpr const char* kColumns =
      "CompanySymbol, Date, Gross, Withholding, ReinvestQuantity, ReinvestPrice";

  static RowValues values(const CashDividend& d) {
    return {d.symbol, d.date, valueOf(d.gross), valueOf(d.withholding), valueOf(d.reinvestQuantity),
            valueOf(d.reinvestPrice)};
  }
  static CashDividend from(const RowValues& v) {
    CashDividend d{toDisplayText(v[0]), toDisplayText(v[1]), decimalOf(v[2]), decimalOf(v[3]), {}, {}};
    if (!isNull(v[4])) d.reinvestQuantity = decimalOf(v[4]);
    if (!isNull(v[5])) d.reinvestPrice = decimalOf(v[5]);
    return d;
  }
  static std::string describe(const CashDividend& d) { return describeDividend(d); }

  // An amount as trades' numbers are bounded, so the figures stay finite.
  static void checkAmount(const Decimal& amount, const char* what) {
    if (amount.sign() < 0 || amount.toDouble() > kMaxTradeNumber)
      refuse(std::string("The ") + what + " must be a number from 0 to " + formatNumber(kMaxTradeNumber) + ".");
  }
  static void check(const CashDividend& d) {
    checkAmount(d.gross, "gross amount");
    checkAmount(d.withholding, "tax withheld");
    if (d.withholding > d.gross) refuse("The tax withheld must not be more than the gross amount.");
    if (d.reinvestQuantity.has_value() != d.reinvestPrice.has_value())
      refuse("Shares bought with the dividend need both their quantity and their price.");
    if (!d.reinvestQuantity) return;
    checkAmount(*d.reinvestQuantity, "quantity of shares bought");
    checkAmount(*d.reinvestPrice, "price of the shares bought");
    if (d.reinvestQuantity->isZero()) refuse("The quantity of shares bought must be above zero.");
  }
};

bool hasTable(Database& db, const char* name) {
  const Value key[] = {std::string(name)};
  return db.scalar("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?1 COLLATE NOCASE", key)
      .has_value();
}

template <class Kind>
std::optional<std::int64_t> rowOf(Database& db, std::string_view symbol, std::string_view date) {
  if (!hasTable(db, Kind::kName)) return std::nullopt;
  const Value key[] = {std::string(symbol), std::string(date)};
  const auto row = db.scalar(std::string("SELECT rowid FROM ") + Kind::kName +
                                 " WHERE CompanySymbol = ?1 AND Date = ?2",
                             key);
  if (!row) return std::nullopt;
  return integerOf(*row);
}

template <class Kind>
void checkEvent(const typename Kind::Event& event) {
  if (!isIsoDate(event.date)) refuse("The date must be a real date, written YYYY-MM-DD.");
  Kind::check(event);
}

void requireCompany(Database& db, const std::string& symbol) {
  // Symbols are not unique in Companies: any row with it will do.
  if (!findCompany(db, symbol)) refuse("The symbol " + symbol + " is not in the list of companies.");
}

std::string alreadyThere(const char* noun, std::string_view symbol, std::string_view date) {
  return std::string("There is already a ") + noun + " of " + std::string(symbol) + " on " + std::string(date) +
         ".";
}

// The row that holds shown, with its values; throws when it no longer does.
template <class Kind>
std::pair<std::int64_t, RowValues> requireShown(Database& db, const typename Kind::Event& shown) {
  const auto row = rowOf<Kind>(db, shown.symbol, shown.date);
  if (!row)
    throw DbError(dberr::kChangedElsewhere, std::string("The ") + Kind::kNoun +
                                                " is no longer in the ledger; it was deleted elsewhere.");
  RowValues values = readJournalRow(db, Kind::kTable, *row).value();
  if (!(Kind::from(values) == shown))
    throw DbError(dberr::kChangedElsewhere, std::string("The ") + Kind::kNoun +
                                                " was changed elsewhere since it was shown.");
  return {*row, std::move(values)};
}

// The purchase made with a dividend, when it is new with this save.
void addReinvestment(LedgerChange& change, const std::optional<RowValues>& before, const CashDividend& dividend,
                     std::vector<RowChange>& changes) {
  if (!dividend.reinvestQuantity) return;
  if (before && DividendKind::from(*before).reinvestQuantity) return;
  Trade purchase;
  purchase.companyId = findCompany(change.db(), dividend.symbol).value_or(0);
  purchase.symbol = dividend.symbol;
  purchase.date = dividend.date;
  purchase.side = TradeSide::Buy;
  purchase.quantity = dividend.reinvestQuantity->toDouble();
  purchase.price = dividend.reinvestPrice->toDouble();
  changes.push_back({JournalTable::Trade, writeTrade(change, purchase), std::nullopt});
}
void addReinvestment(LedgerChange&, const std::optional<RowValues>&, const StockSplit&, std::vector<RowChange>&) {}

// Writes event in place of the row, or as a new one; returns its row.
template <class Kind>
std::int64_t writeRow(Database& db, const typename Kind::Event& event, std::optional<std::int64_t> row) {
  db.executeScript(kEventTablesSchema);
  const RowValues values = Kind::values(event);
  std::string sql;
  if (row) {
    sql = std::string("UPDATE ") + Kind::kName + " SET (" + Kind::kColumns + ") = (";
  } else {
    sql = std::string("INSERT INTO ") + Kind::kName + " (" + Kind::kColumns + ") VALUES (";
  }
  for (std::size_t i = 0; i < values.size(); ++i) sql += (i ? ", ?" : "?") + std::to_string(i + 1);
  sql += ")";
  if (row) sql += " WHERE rowid = ?" + std::to_string(values.size() + 1);
  Statement stmt(db, sql);
  stmt.bindAll(values);
  if (row) stmt.bind(static_cast<int>(values.size()) + 1, *row);
  stmt.run();
  return row ? *row : db.lastInsertRowid();
}

// Adds event, or puts it in place of shown (or with Replace of the one of
// its symbol and date), as one step.
template <class Kind>
void saveEvent(Database& db, const typename Kind::Event* shown, const typename Kind::Event& event,
               SameDate sameDate) {
  checkEvent<Kind>(event);
  LedgerChange change(db);
  requireCompany(db, event.symbol);
  std::optional<std::int64_t> row;
  std::optional<RowValues> before;
  if (shown) std::tie(row, before) = requireShown<Kind>(db, *shown);
  if (const auto held = rowOf<Kind>(db, event.symbol, event.date); held && held != row) {
    if (shown || sameDate == SameDate::Refuse) refuse(alreadyThere(Kind::kNoun, event.symbol, event.date));
    row = held;
    before = readJournalRow(db, Kind::kTable, *held).value();
  }
  std::vector<RowChange> changes = {{Kind::kTable, writeRow<Kind>(db, event, row), before}};
  addReinvestment(change, before, event, changes);
  const char* verb = before ? "Edit of " : "New ";
  change.commitStep(verb + std::string(Kind::kName) + " of " + Kind::describe(event), changes);
}

template <class Kind>
void deleteEvent(Database& db, std::string_view symbol, std::string_view date) {
  LedgerChange change(db);
  const auto row = rowOf<Kind>(db, symbol, date);
  if (!row)
    throw DbError(dberr::kItemNotFound, std::string("There is no ") + Kind::kNoun + " of " + std::string(symbol) +
                                            " on " + std::string(date) + ".");
  RowValues before = readJournalRow(db, Kind::kTable, *row).value();
  const std::string label = std::string("Delete of ") + Kind::kName + " of " + Kind::describe(Kind::from(before));
  const Value key[] = {*row};
  db.execute(std::string("DELETE FROM ") + Kind::kName + " WHERE rowid = ?", key);
  const RowChange changes[] = {{Kind::kTable, *row, std::move(before)}};
  change.commitStep(label, changes);
}

template <class Kind>
std::vector<typename Kind::Event> readEvents(Database& db, const std::optional<std::string_view>& symbol) {
  std::vector<typename Kind::Event> events;
  if (!hasTable(db, Kind::kName)) return events;
  Statement stmt(db, std::string("SELECT ") + Kind::kColumns + " FROM " + Kind::kName +
                         (symbol ? " WHERE CompanySymbol = ?1 ORDER BY Date" : " ORDER BY CompanySymbol, Date"));
  if (symbol) stmt.bind(1, *symbol);
  while (stmt.step()) {
    RowValues values;
    for (int i = 0; i < stmt.columnCount(); ++i) values.push_back(stmt.value(i));
    events.push_back(Kind::from(values));
  }
  return events;
}

}  // namespace

void addSplit(Database& db, const StockSplit& split, SameDate sameDate) {
  saveEvent<SplitKind>(db, nullptr, split, sameDate);
}
void editSplit(Database& db, const StockSplit& shown, const StockSplit& split) {
  saveEvent<SplitKind>(db, &shown, split, SameDate::Refuse);
}
void deleteSplit(Database& db, std::string_view symbol, std::string_view date) {
  deleteEvent<SplitKind>(db, symbol, date);
}

void addDividend(Database& db, const CashDividend& dividend, SameDate sameDate) {
  saveEvent<DividendKind>(db, nullptr, dividend, sameDate);
}
void editDividend(Database& db, const CashDividend& shown, const CashDividend& dividend) {
  saveEvent<DividendKind>(db, &shown, dividend, SameDate::Refuse);
}
void deleteDividend(Database& db, std::string_view symbol, std::string_view date) {
  deleteEvent<DividendKind>(db, symbol, date);
}

void writeDividend(LedgerChange& change, const CashDividend& dividend, std::vector<RowChange>& changes) {
  Database& db = change.db();
  checkEvent<DividendKind>(dividend);
  requireCompany(db, dividend.symbol);
  if (rowOf<DividendKind>(db, dividend.symbol, dividend.date))
    refuse(alreadyThere(DividendKind::kNoun, dividend.symbol, dividend.date));
  changes.push_back({JournalTable::Dividend, writeRow<DividendKind>(db, dividend, std::nullopt), std::nullopt});
  addReinvestment(change, std::nullopt, dividend, changes);
}

std::vector<StockSplit> readSplits(Database& db, std::string_view symbol) { return readEvents<SplitKind>(db, symbol); }
std::vector<CashDividend> readDividends(Database& db, std::string_view symbol) {
  return readEvents<DividendKind>(db, symbol);
}
std::vector<StockSplit> readAllSplits(Database& db) { return readEvents<SplitKind>(db, std::nullopt); }
std::vector<CashDividend> readAllDividends(Database& db) { return readEvents<DividendKind>(db, std::nullopt); }

std::string describeSplit(const StockSplit& split) {
  return split.symbol + " " + split.date + " (" + std::to_string(split.newShares) + ":" +
         std::to_string(split.oldShares) + ")";
}

std::string describeDividend(const CashDividend& dividend) {
  return dividend.symbol + " " + dividend.date + " (" + dividend.gross.toDisplayString() + " gross)";
}

}  // namespace ledger
