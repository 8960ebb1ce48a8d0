#pragma once
// Returns before tax over a period From–To, per company and for the whole
// ledger, worked from the trades, splits, dividends and closing prices.
//
// Flows are those dated From to To: a purchase is money in (quantity ×
// price + commission), a sale money out (quantity × price − commission), a
// dividend money out (gross). Invested, Returned and Income sum them.
//
// Start value S: the shares held at the end of the day before From × the
// last close before From; end value E: the shares held at the end of To ×
// the last close on or before To (price_history.h: valueOfShares, so a
// close from before a split is turned into the shares after it). A zero
// holding needs no price. Shares follow the splits, each rounded half-even
// to 6 decimals as the gains round them; a sale of more than is held
// leaves nothing held, and later purchases first make up what it missed.
//
// Money-weighted return (IRR): figures/irr.h, with S as money in on the day
// before From and E as money out on To.
//
// Time-weighted return: for each day t with a flow, and for To,
// V_before(t) = shares held before t's flows × the last close on or before
// t, plus t's gross dividends; V_after(t) = shares held after t's flows ×
// that close. Each piece is V_before(t) ÷ the V_after before it (S for the
// first); a piece whose previous value is zero is left out. TWR is the
// product of the pieces − 1, not annualised. The whole ledger's values are
// the sums of its companies'.
//
// Where a price that a value needs is missing, the figures that need it are
// not given and missingPrices says which company lacks one on which day.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "figures/calendar_days.h"
#include "figures/corporate_events.h"
#include "figures/gains.h"
#include "figures/irr.h"
#include "figures/price_history.h"

namespace ledger {

// A company's trades, splits, dividends and prices, as the returns take them.
struct HistoryTrade {
  CalendarDay day = 0;
  TradeSide side = TradeSide::Buy;
  StoredNumber quantity{}, price{}, commission{};
};
struct HistoryDividend {
  CalendarDay day = 0;
  Decimal gross;
};
struct CompanyHistory {
  std::string symbol;
  std::vector<HistoryTrade> trades;        // by day; a day's in entry order
  std::vector<SplitStep> splits;           // by day
  std::vector<HistoryDividend> dividends;  // by day
  std::span<const PricePoint> prices;      // by day; points into LedgerHistory::prices
};

// Moved, never copied: the companies' prices point into it.
struct LedgerHistory {
  LedgerHistory() = default;
  LedgerHistory(LedgerHistory&&) = default;
  LedgerHistory& operator=(LedgerHistory&&) = default;
  LedgerHistory(const LedgerHistory&) = delete;
  LedgerHistory& operator=(const LedgerHistory&) = delete;

  // Every company with a trade or a dividend, by symbol.
  std::vector<CompanyHistory> companies;
  PriceHistory prices;
  std::optional<CalendarDay> firstTradeDay;
  std::vector<SkippedTrade> skipped;
  std::vector<SkippedEvent> skippedEvents;
};

enum class FlowKind { Purchase, Sale, Dividend };

struct ReturnFlow {
  CalendarDay day = 0;
  FlowKind kind = FlowKind::Purchase;
  Decimal amount;  // above zero: purchases in, sales and dividends out
};

// S or E, with what it was worked from.
struct PeriodValue {
  CalendarDay day = 0;  // the shares are those held at the end of this day
  Decimal shares;       // a company's; zero for the whole ledger
  std::optional<DatedClose> price;  // a company's close used, as stored
  std::optional<Decimal> value;     // none where a price is missing
};

struct MissingPrice {
  std::string symbol;
  CalendarDay day = 0;  // no close on or before it
  friend bool operator==(const MissingPrice&, const MissingPrice&) = default;
};

// One piece of the time-weighted return.
struct TwrPiece {
  CalendarDay day = 0;
  Decimal before;  // V_before(day)
  Decimal after;   // V_after(day)
  // The value the piece is taken over (S or the V_after before it); the
  // piece is left out when it is zero.
  Decimal previous;
  bool leftOut() const { return previous.isZero(); }
};

struct ReturnFigures {
  std::string symbol;  // empty for the whole ledger
  CalendarDay from = 0, to = 0;
  PeriodValue start, end;
  Decimal invested, returned, income;
  // A company's flows by day, in the order they happened; the whole
  // ledger's summed by day and kind.
  std::vector<ReturnFlow> flows;
  RateOutcome irrOutcome = RateOutcome::NoRate;
  std::optional<double> irr;  // a fraction: 0.255 is 25.5 %
  std::vector<TwrPiece> twrPieces;
  std::optional<double> twr;  // a fraction; none when every piece is left out
  // The prices the figures needed and the ledger lacks: for each company
  // the first day it lacks one, by symbol. When not empty, the TWR is not
  // given, nor the IRR when S or E lacks its price.
  std::vector<MissingPrice> missingPrices;
};

struct ReturnsReport {
  CalendarDay from = 0, to = 0;
  std::vector<ReturnFigures> companies;  // by symbol
  ReturnFigures total;
  // The ledger's rows that could not be used, left out.
  std::vector<SkippedTrade> skipped;
  std::vector<SkippedEvent> skippedEvents;
};

// The returns of every company of history and of the whole ledger over
// from..to. REQUIRES: from <= to.
ReturnsReport workOutReturns(const LedgerHistory& history, CalendarDay from, CalendarDay to);

// A fraction as percent with 2 decimals, rounded half-even: "25.50".
std::string percentText(double fraction);
// The text for a rate or return that is not given: "".
std::string percentText(const std::optional<double>& fraction);

// What the report must say besides its rows: the missing prices, named
// (a few) and counted, and the rows left out.
std::vector<std::string> returnsNotes(const ReturnsReport& report);

// For the chart: a company's, or the whole ledger's, market value and the
// money put in net (purchases − sales − dividends to date) on each day
// with a price, from its first trade on. A day on which a held company has
// no close yet has no value.
struct ValuePoint {
  CalendarDay day = 0;
  std::optional<Decimal> marketValue;
  Decimal netInvested;
};
struct ValueSeries {
  std::string symbol;  // empty for the whole ledger
  std::vector<ValuePoint> points;  // by day
};
// Every company's series by symbol, then the whole ledger's.
std::vector<ValueSeries> valueSeries(const LedgerHistory& history);

}  // namespace ledger
