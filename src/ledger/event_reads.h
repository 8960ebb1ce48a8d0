#pragma once
// A ledger's splits and dividends (figures/corporate_events.h), read from
// the tables beside Trade (ledger/event_tables.h) for the reports.

#include <vector>

#include "engine/database.h"
#include "figures/corporate_events.h"

namespace ledger {

struct LedgerEvents {
  std::vector<StockSplit> splits;       // by date, then as entered
  std::vector<CashDividend> dividends;  // by date, then as entered
  // Rows another program wrote that cannot be used, in date order.
  std::vector<SkippedEvent> skipped;
};

// Every split and dividend of the ledger. A ledger without the tables has
// none; so has one whose table of that name is of another shape (not the
// program's: such a ledger opens read-only, the user told). Throws DbError.
LedgerEvents readLedgerEvents(Database& db);

}  // namespace ledger
