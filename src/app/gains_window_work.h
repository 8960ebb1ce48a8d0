#pragma once
// The Gains window's figures besides the gains themselves, as its work
// thread reads them (app/ledger_work.h): the holdings valued at a date,
// the returns over a period and the value series for the chart, each on
// the window's work connection (app/own_connection.h), the same figures as the
// reads of app/returns_data.h. progress may stop the work (WorkStopped
// passes through).

#include <string>

#include "app/own_connection.h"
#include "app/returns_data.h"
#include "figures/work_progress.h"

namespace ledger {

// The holdings of the ledger at path at the end of asOf by rules.
// REQUIRES: isIsoDate(asOf).
MarketValueRead workOutHoldingValues(WorkConnection& connection, const std::string& path, const GainsRules& rules,
                                     const std::string& asOf, const WorkProgress& progress);
ReturnsRead workOutPeriodReturns(WorkConnection& connection, const std::string& path, const ReturnsPeriod& period, const WorkProgress& progress);
ValueSeriesRead workOutValueSeries(WorkConnection& connection, const std::string& path, const WorkProgress& progress);

}  // namespace ledger
