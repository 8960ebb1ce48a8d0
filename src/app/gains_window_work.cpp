#include "app/gains_window_work.h"

#include "app/own_connection.h"

namespace ledger {

// The reads of app/returns_data.h on the window's work connection. Only the
// holdings' gains, the longest part, are told as they go; the returns and
// the series are stopped, when asked, before they start.

MarketValueRead workOutHoldingValues(WorkConnection& connection, const std::string& path, const GainsRules& rules,
                                     const std::string& asOf, const WorkProgress& progress) {
  return readOnOwnConnection<MarketValueRead>(connection, path, [&](Database& db, MarketValueRead& result) {
    result = marketValueOf(db, rules, asOf, progress);
  });
}

ReturnsRead workOutPeriodReturns(WorkConnection& connection, const std::string& path, const ReturnsPeriod& period, const WorkProgress& progress) {
  return readOnOwnConnection<ReturnsRead>(connection, path, [&](Database& db, ReturnsRead& result) {
    if (progress) progress(0, 1);
    result = returnsOf(db, period);
  });
}

ValueSeriesRead workOutValueSeries(WorkConnection& connection, const std::string& path, const WorkProgress& progress) {
  return readOnOwnConnection<ValueSeriesRead>(connection, path, [&](Database& db, ValueSeriesRead& result) {
    if (progress) progress(0, 1);
    result = valueSeriesOf(db);
  });
}

}  // namespace ledger
