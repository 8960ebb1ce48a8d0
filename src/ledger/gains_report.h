#pragma once
// The gains report of a ledger's trades (figures/gains.h), read from Trade.

#include <optional>
#include <string_view>

#include "engine/database.h"
#include "figures/gains.h"
#include "ledger/event_reads.h"

namespace ledger {

// The report of the ledger's trades by the rules asked for, read as stored and put in the order
// the calculator needs, following the ledger's splits; the holdings carry
// the dividends' net income (ledger/event_reads.h). Rows that cannot be used are listed in `skipped`,
// in the order of their dates as the ledger sorts them.
// A missing commission counts as none. With onSale, the sales are handed
// to it rather than kept (see SaleSink). Throws DbError.
GainsReport readGainsReport(Database& db, const GainsRules& rules, const SaleSink& onSale = {});
// The same with the ledger's events already read (readLedgerEvents), for a
// caller that uses them for more than the gains.
GainsReport readGainsReport(Database& db, const LedgerEvents& events, const GainsRules& rules,
                            const SaleSink& onSale = {});

// The report as it stood at the end of lastDate (YYYY-MM-DD): the trades,
// splits and dividends dated after it left out, as if not yet made; the
// whole ledger when lastDate is none. Rows that cannot be used are listed
// whatever their date.
GainsReport readGainsReportThrough(Database& db, const LedgerEvents& events, const GainsRules& rules,
                                   std::optional<std::string_view> lastDate, const SaleSink& onSale = {});

// A statement that reads the trades in report order, sorted by SQLite: the
// plain way, against which the report's own reading is measured.
extern const char* const kGainsTradesSql;

}  // namespace ledger
