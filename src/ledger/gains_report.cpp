#include "ledger/gains_report.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/statement.h"
#include "engine/value.h"
#include "figures/income.h"
#include "ledger/event_reads.h"

namespace ledger {

const char* const kGainsTradesSql =
    "SELECT rowid, CompanySymbol, Date, [Buy/Sell], Quantity, Price, Commission FROM Trade "
    "ORDER BY Date, rowid";

namespace {

// The trades are read as the table stores them (a plain scan, no sorter)
// and put in report order by the calculator.
const char* const kTradesAsStoredSql =
    "SELECT rowid, CompanySymbol, Date, [Buy/Sell], Quantity, Price, Commission FROM Trade";

enum Column { kRowid, kSymbol, kDate, kSide, kQuantity, kPrice, kCommission };

// A number column; nullopt when it holds no finite number.
std::optional<StoredNumber> columnNumber(const Statement& row, int col) {
  StoredNumber n{};
  switch (row.type(col)) {
    case ColumnType::Integer:
      n.whole = row.integer(col);
      n.isWhole = true;
      return n;
    case ColumnType::Real:
      n.real = row.real(col);
      if (!std::isfinite(n.real)) return std::nullopt;
      n.isWhole = false;
      return n;
    default:
      return std::nullopt;
  }
}

int signOf(const StoredNumber& n) {
  if (n.isWhole) return n.whole > 0 ? 1 : (n.whole < 0 ? -1 : 0);
  return n.real > 0 ? 1 : (n.real < 0 ? -1 : 0);
}

// A row's side and numbers, as the calculator takes them.
struct RowFigures {
  TradeSide side;
  StoredNumber quantity, price, commission;
};

// Reads the row's side and numbers into figures; the reason it cannot be
// used otherwise. The symbol and date are checked by the caller.
std::optional<std::string> readRow(const Statement& row, RowFigures& figures) {
  if (row.type(kSide) != ColumnType::Text) return "neither a purchase nor a sale";
  const std::optional<TradeSide> side = sideFromCode(row.text(kSide));
  if (!side) return "neither a purchase nor a sale";
  figures.side = *side;

  const std::optional<StoredNumber> quantity = columnNumber(row, kQuantity);
  if (!quantity || signOf(*quantity) <= 0) return "no quantity above zero";
  const std::optional<StoredNumber> price = columnNumber(row, kPrice);
  if (!price || signOf(*price) < 0) return "no price of zero or more";
  StoredNumber commission{};
  if (row.type(kCommission) == ColumnType::Null) {
    commission.whole = 0;
    commission.isWhole = true;
  } else {
    const std::optional<StoredNumber> stored = columnNumber(row, kCommission);
    if (!stored) return "a commission that is not a number";
    commission = *stored;
  }
  figures.quantity = *quantity;
  figures.price = *price;
  figures.commission = commission;
  return std::nullopt;
}

// A row left out, with its date as stored, so that the rows left out are
// listed in the order the ledger sorts them by date: Null, then numbers,
// then texts, then anything else; the same dates by row id.
struct LeftOut {
  SkippedTrade trade;
  int storage = 0;  // 0 Null, 1 number, 2 text, 3 blob
  bool wholeDate = false;
  std::int64_t wholeValue = 0;
  double realValue = 0;
};

int storageRank(ColumnType type) {
  switch (type) {
    case ColumnType::Null: return 0;
    case ColumnType::Integer:
    case ColumnType::Real: return 1;
    case ColumnType::Text: return 2;
    default: return 3;
  }
}

bool leftOutBefore(const LeftOut& a, const LeftOut& b) {
  if (a.storage != b.storage) return a.storage < b.storage;
  if (a.storage == 1) {
    if (a.wholeDate && b.wholeDate) {
      if (a.wholeValue != b.wholeValue) return a.wholeValue < b.wholeValue;
    } else {
      const long double x = a.wholeDate ? static_cast<long double>(a.wholeValue) : a.realValue;
      const long double y = b.wholeDate ? static_cast<long double>(b.wholeValue) : b.realValue;
      if (x != y) return x < y;
    }
  } else if (a.storage >= 2 && a.trade.date != b.trade.date) {
    // Byte by byte, as the ledger compares texts.
    return a.trade.date < b.trade.date;
  }
  return a.trade.rowid < b.trade.rowid;
}

}  // namespace

GainsReport readGainsReport(Database& db, CostMethod method, const SaleSink& onSale, const WorkProgress& progress) {
  return readGainsReport(db, readLedgerEvents(db), method, onSale, progress);
}

GainsReport readGainsReport(Database& db, const LedgerEvents& events, CostMethod method, const SaleSink& onSale,
                            const WorkProgress& progress) {
  GainsCalculator calculator(method, onSale);
  std::uint64_t expected = 0;
  if (const std::optional<Value> count = db.scalar("SELECT count(*) FROM Trade"))
    if (const auto* n = std::get_if<std::int64_t>(&*count)) {
      expected = static_cast<std::uint64_t>(*n);
      calculator.expectStoredTrades(static_cast<std::size_t>(*n));
    }
  if (progress) {
    // Reading is the first half of the whole, working out the second.
    calculator.setProgress([&progress, expected](std::uint64_t done, std::uint64_t whole) {
      progress(expected + done, expected + whole);
    });
  }
  std::uint64_t rowsRead = 0;

  std::vector<LeftOut> leftOut;
  {
    Statement row(db, kTradesAsStoredSql);
    std::string lastDateText;  // the last valid date, and its day
    std::uint32_t lastDay = 0;
    while (row.step()) {
      if (progress && rowsRead % kProgressStride == 0) progress(rowsRead, 2 * std::max(expected, rowsRead));
      ++rowsRead;
      const std::int64_t rowid = row.integer(kRowid);
      std::optional<std::string> reason;
      // Types first: reading a column as text may change what it says.
      const ColumnType symbolType = row.type(kSymbol);
      const ColumnType dateType = row.type(kDate);
      const std::string_view symbol = row.text(kSymbol);
      const std::string_view date = row.text(kDate);
      if (symbolType != ColumnType::Text || symbol.empty()) {
        reason = "no symbol";
      } else if (dateType != ColumnType::Text) {
        reason = "no valid date";
      } else if (date != lastDateText) {
        // Rows come mostly by date, so most share the date checked a row before.
        if (!isIsoDate(date)) {
          reason = "no valid date";
        } else {
          lastDateText.assign(date);
          lastDay = GainsCalculator::dayNumber(date);
        }
      }
      RowFigures figures{};
      if (!reason) reason = readRow(row, figures);
      if (reason) {
        LeftOut& out = leftOut.emplace_back();
        out.trade = {rowid, std::string(symbol), std::string(date), std::move(*reason)};
        out.storage = storageRank(dateType);
        if (dateType == ColumnType::Integer) {
          out.wholeDate = true;
          out.wholeValue = row.integer(kDate);
        } else if (dateType == ColumnType::Real) {
          out.realValue = row.real(kDate);
        }
        continue;
      }
      calculator.addStored(rowid, symbol, lastDay, figures.side, figures.quantity, figures.price, figures.commission);
    }
  }  // the statement ends here, before the work

  std::sort(leftOut.begin(), leftOut.end(), leftOutBefore);
  for (LeftOut& out : leftOut) calculator.skip(std::move(out.trade));
  for (const StockSplit& split : events.splits) calculator.addSplit(split);
  GainsReport report = calculator.finish();
  creditNetIncome(report.holdings, events.dividends);
  report.skippedEvents = events.skipped;
  return report;
}

}  // namespace ledger
