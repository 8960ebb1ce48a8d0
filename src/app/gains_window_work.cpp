#include "app/gains_window_work.h"

#include "app/own_connection.h"

namespace ledger {

// The reads of app/returns_data.h on the work's own connection. Only the
// holdings' gains, the longest part, are told as they go; the returns and
// the series are stopped, when asked, before they start.

MarketValueRead workOutHoldingValues(const std::string& path, const GainsRules& rules, const std::string& asOf,
                                     const WorkProgress& progress) {
  return readOnOwnConnection<MarketValueRead>(path, [&](Database& db, MarketValueRead& result) {
    result = marketValueOf(db, rules, asOf, progress);
  });
}

ReturnsRead workOutPeriodReturns(const std::string& path, const ReturnsPeriod& period, const WorkProgress& progress) {
  return readOnOwnConnection<ReturnsRead>(path, [&](Database& db, ReturnsRead& result) {
    if (progress) progress(0, 1);
    result = returnsOf(db, period);
  });
}

ValueSeriesRead workOutValueSeries(const std::string& path, const WorkProgress& progress) {
  return readOnOwnConnection<ValueSeriesRead>(path, [&](Database& db, ValueSeriesRead& result) {
    if (progress) progress(0, 1);
    result = valueSeriesOf(db);
  });
}

}  // namespace ledger
