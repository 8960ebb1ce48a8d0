#include "ledger/gains_report.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/statement.h"
#include "engine/value.h"
#include "figures/income.h"
#include "ledger/event_reads.h"
#include "ledger/trade_rows.h"

namespace ledger {

const char* const kGainsTradesSql =
    "SELECT rowid, CompanySymbol, Date, [Buy/Sell], Quantity, Price, Commission FROM Trade "
    "ORDER BY Date, rowid";

namespace {

// The trades are read as the table stores them (a plain scan, no sorter)
// and put in report order by the calculator.
const char* const kTradesAsStoredSql = "SELECT " LEDGER_TRADE_REPORT_COLUMNS " FROM Trade";

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

GainsReport readGainsReport(Database& db, const GainsRules& rules, const SaleSink& onSale, const WorkProgress& progress) {
  return readGainsReport(db, readLedgerEvents(db), rules, onSale, progress);
}

GainsReport readGainsReport(Database& db, const LedgerEvents& events, const GainsRules& rules, const SaleSink& onSale,
                            const WorkProgress& progress) {
  return readGainsReportThrough(db, events, rules, std::nullopt, onSale, progress);
}

GainsReport readGainsReportThrough(Database& db, const LedgerEvents& events, const GainsRules& rules,
                                   std::optional<std::string_view> lastDate, const SaleSink& onSale,
                                   const WorkProgress& progress) {
  const std::uint32_t lastDay =
      lastDate ? GainsCalculator::dayNumber(*lastDate) : std::numeric_limits<std::uint32_t>::max();
  GainsCalculator calculator(rules, onSale);
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
    std::uint32_t day = 0;
    while (row.step()) {
      if (progress && rowsRead % kProgressStride == 0) progress(rowsRead, 2 * std::max(expected, rowsRead));
      ++rowsRead;
      const std::int64_t rowid = row.integer(kTradeRowid);
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
        // Rows come mostly by date, so most share the date checked a row before.
        if (!isIsoDate(date)) {
          reason = "no valid date";
        } else {
          lastDateText.assign(date);
          day = GainsCalculator::dayNumber(date);
        }
      }
      TradeRowFigures figures{};
      if (!reason) reason = readTradeRowFigures(row, figures);
      if (reason) {
        LeftOut& out = leftOut.emplace_back();
        out.trade = {rowid, std::string(symbol), std::string(date), std::move(*reason)};
        out.storage = storageRank(dateType);
        if (dateType == ColumnType::Integer) {
          out.wholeDate = true;
          out.wholeValue = row.integer(kTradeDate);
        } else if (dateType == ColumnType::Real) {
          out.realValue = row.real(kTradeDate);
        }
        continue;
      }
      if (day > lastDay) continue;
      calculator.addStored(rowid, symbol, day, figures.side, figures.quantity, figures.price, figures.commission);
    }
  }  // the statement ends here, before the work

  std::sort(leftOut.begin(), leftOut.end(), leftOutBefore);
  for (LeftOut& out : leftOut) calculator.skip(std::move(out.trade));
  for (const StockSplit& split : events.splits)
    if (!lastDate || split.date <= *lastDate) calculator.addSplit(split);
  GainsReport report = calculator.finish();
  if (!lastDate) {
    creditNetIncome(report.holdings, events.dividends);
  } else {
    std::vector<CashDividend> paid;
    for (const CashDividend& dividend : events.dividends)
      if (dividend.date <= *lastDate) paid.push_back(dividend);
    creditNetIncome(report.holdings, paid);
  }
  report.skippedEvents = events.skipped;
  return report;
}

}  // namespace ledger
