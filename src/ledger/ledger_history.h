#pragma once
// What the market value and the returns read from a ledger: its closing
// prices (ledger/price_table.h) in one plain scan of the table, and every
// company's trades, splits and dividends (figures/returns.h).

#include <optional>
#include <string_view>

#include "engine/database.h"
#include "figures/market_value.h"
#include "figures/returns.h"
#include "ledger/event_reads.h"

namespace ledger {

// Every price of the ledger; none in a ledger without the table (or with a
// table of that name of another shape). A row that is not a price (a date
// that is not a date, a close not above zero) is passed over: the table's
// checks keep them out of a ledger the program wrote. Throws DbError.
PriceHistory readPriceHistory(Database& db);

// The trades (checked as the gains report checks them), events and prices
// of the whole ledger. Throws DbError.
LedgerHistory readLedgerHistory(Database& db);

// The holdings at the end of asOf (YYYY-MM-DD) by method, valued at the
// last closes on or before it. REQUIRES: isIsoDate(asOf). Throws DbError.
// progress as for readGainsReport (ledger/gains_report.h).
MarketValueReport readMarketValue(Database& db, const GainsRules& rules, std::string_view asOf,
                                  const WorkProgress& progress = {});

}  // namespace ledger
