#pragma once
// What the Gains window's value columns, Returns tab and chart read: the
// holdings' market value at a date, the returns over a period and the
// value series of the open ledger, each from one read of the file
// (figures/market_value.h, figures/returns.h).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "figures/market_value.h"
#include "figures/returns.h"
#include "figures/work_progress.h"

namespace ledger {

// Today's date as YYYY-MM-DD, by the computer's clock and time zone.
std::string todayIsoDate();

struct MarketValueRead {
  // Null when the ledger could not be opened or read.
  std::shared_ptr<const MarketValueReport> report;
  std::vector<std::string> notes;       // what the report could not work out
  std::optional<std::string> failure;   // the message for the user when report is null
};

// The holdings of the session's ledger at the end of asOf (today when
// none) by rules, valued at the last closes on or before it.
// REQUIRES: asOf, when given, isIsoDate.
MarketValueRead readMarketValue(LedgerSession& session, const GainsRules& rules,
                                const std::optional<std::string>& asOf = std::nullopt);

struct ReturnsRead {
  std::shared_ptr<const ReturnsReport> report;
  std::vector<std::string> notes;
  std::optional<std::string> failure;
};

// The period of the returns: From defaults to the day of the ledger's
// first trade (today in a ledger without one), To to today.
struct ReturnsPeriod {
  std::optional<std::string> from, to;  // YYYY-MM-DD
};

// The returns of the session's ledger over period. A From after To is
// given as a failure with the message for the user.
// REQUIRES: the dates given are isIsoDate.
ReturnsRead readReturns(LedgerSession& session, const ReturnsPeriod& period = {});

struct ValueSeriesRead {
  // Every company's series by symbol, then the whole ledger's (figures/returns.h).
  std::shared_ptr<const std::vector<ValueSeries>> series;
  std::optional<std::string> failure;
};

ValueSeriesRead readValueSeries(LedgerSession& session);

// The same reads on db, in whatever transaction the caller holds: for a
// caller with a connection of its own (the Gains window's work thread,
// app/gains_window_work.h). They throw as the ledger's reads do; progress
// is told and may stop the work as for readGainsReport.
// REQUIRES: asOf and the period's dates, when given, are isIsoDate.
MarketValueRead marketValueOf(Database& db, const GainsRules& rules, const std::string& asOf,
                              const WorkProgress& progress = {});
ReturnsRead returnsOf(Database& db, const ReturnsPeriod& period);
ValueSeriesRead valueSeriesOf(Database& db);

// The message for a From after To.
std::string periodOrderMessage(const std::string& from, const std::string& to);

}  // namespace ledger
