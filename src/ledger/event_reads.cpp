#include "ledger/event_reads.h"

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "engine/statement.h"
#include "engine/value.h"

namespace ledger {

namespace {

// How many of a table's columns the reads below use: all of them when the
// table is the program's, none when there is no such table.
const char* const kSplitColumnsSql =
    "SELECT count(*) FROM pragma_table_xinfo('Split') "
    "WHERE lower(name) IN ('companysymbol', 'date', 'newshares', 'oldshares')";
const char* const kDividendColumnsSql =
    "SELECT count(*) FROM pragma_table_xinfo('Dividend') WHERE lower(name) IN "
    "('companysymbol', 'date', 'gross', 'withholding', 'reinvestquantity', 'reinvestprice')";
constexpr std::int64_t kSplitColumns = 4, kDividendColumns = 6;

const char* const kSplitsSql =
    "SELECT rowid, CompanySymbol, Date, NewShares, OldShares FROM Split ORDER BY Date, rowid";
const char* const kDividendsSql =
    "SELECT rowid, CompanySymbol, Date, Gross, Withholding, ReinvestQuantity, ReinvestPrice FROM Dividend "
    "ORDER BY Date, rowid";

enum Column { kRowid, kSymbol, kDate, kFirstFigure };

// A number column as an exact decimal; nullopt when it holds no finite number.
std::optional<Decimal> columnDecimal(const Statement& row, int col) {
  switch (row.type(col)) {
    case ColumnType::Integer: return Decimal::fromInt(row.integer(col));
    case ColumnType::Real:
      if (!std::isfinite(row.real(col))) return std::nullopt;
      return Decimal::fromDouble(row.real(col));
    default: return std::nullopt;
  }
}

// A whole number above zero, as a ratio's sides are.
std::optional<std::int64_t> ratioSide(const Statement& row, int col) {
  if (row.type(col) != ColumnType::Integer || row.integer(col) <= 0) return std::nullopt;
  return row.integer(col);
}

// The symbol and date every event has; the reason the row cannot be used otherwise.
std::optional<std::string> readSymbolAndDate(const Statement& row, std::string& symbol, std::string& date) {
  // Types first: reading a column as text may change what it says.
  const ColumnType symbolType = row.type(kSymbol);
  const ColumnType dateType = row.type(kDate);
  symbol.assign(row.text(kSymbol));
  date.assign(row.text(kDate));
  if (symbolType != ColumnType::Text || symbol.empty()) return "no symbol";
  if (dateType != ColumnType::Text || !isIsoDate(date)) return "no valid date";
  return std::nullopt;
}

std::optional<std::string> readSplit(const Statement& row, StockSplit& split) {
  if (auto reason = readSymbolAndDate(row, split.symbol, split.date)) return reason;
  const std::optional<std::int64_t> newShares = ratioSide(row, kFirstFigure);
  const std::optional<std::int64_t> oldShares = ratioSide(row, kFirstFigure + 1);
  if (!newShares || !oldShares) return "a ratio that is not two whole numbers above zero";
  split.newShares = *newShares;
  split.oldShares = *oldShares;
  return std::nullopt;
}

std::optional<std::string> readDividend(const Statement& row, CashDividend& dividend) {
  if (auto reason = readSymbolAndDate(row, dividend.symbol, dividend.date)) return reason;
  const int gross = kFirstFigure, withholding = kFirstFigure + 1, quantity = kFirstFigure + 2,
            price = kFirstFigure + 3;
  const std::optional<Decimal> grossAmount = columnDecimal(row, gross);
  if (!grossAmount || grossAmount->sign() < 0) return "no gross amount of zero or more";
  dividend.gross = *grossAmount;
  // A missing tax withheld counts as none, as a missing commission does.
  std::optional<Decimal> withheld = Decimal();
  if (row.type(withholding) != ColumnType::Null) withheld = columnDecimal(row, withholding);
  if (!withheld || withheld->sign() < 0 || *withheld > dividend.gross)
    return "tax withheld that is not between zero and the gross amount";
  dividend.withholding = *withheld;
  dividend.reinvestQuantity.reset();
  dividend.reinvestPrice.reset();
  if (row.type(quantity) != ColumnType::Null) {
    dividend.reinvestQuantity = columnDecimal(row, quantity);
    if (!dividend.reinvestQuantity || dividend.reinvestQuantity->sign() <= 0)
      return "shares bought with it that are not a quantity above zero";
  }
  if (row.type(price) != ColumnType::Null) {
    dividend.reinvestPrice = columnDecimal(row, price);
    if (!dividend.reinvestPrice || dividend.reinvestPrice->sign() < 0)
      return "shares bought with it at no price of zero or more";
  }
  return std::nullopt;
}

bool hasColumns(Database& db, const char* countSql, std::int64_t columns) {
  const std::optional<Value> count = db.scalar(countSql);
  const auto* n = count ? std::get_if<std::int64_t>(&*count) : nullptr;
  return n && *n == columns;
}

// Reads every row of sql into events of the kind given, the rows that
// cannot be used into skipped.
template <typename Event>
void readRows(Database& db, const char* sql, SkippedEvent::Kind kind,
              std::optional<std::string> (*read)(const Statement&, Event&), std::vector<Event>& events,
              std::vector<SkippedEvent>& skipped) {
  Statement row(db, sql);
  Event event;
  while (row.step()) {
    if (std::optional<std::string> reason = read(row, event))
      skipped.push_back({kind, row.integer(kRowid), event.symbol, event.date, std::move(*reason)});
    else
      events.push_back(event);
  }
}

}  // namespace

LedgerEvents readLedgerEvents(Database& db) {
  LedgerEvents events;
  if (hasColumns(db, kSplitColumnsSql, kSplitColumns))
    readRows(db, kSplitsSql, SkippedEvent::Kind::Split, readSplit, events.splits, events.skipped);
  if (hasColumns(db, kDividendColumnsSql, kDividendColumns))
    readRows(db, kDividendsSql, SkippedEvent::Kind::Dividend, readDividend, events.dividends, events.skipped);
  return events;
}

}  // namespace ledger
