#pragma once
// The gains report of a ledger's trades (figures/gains.h), read from Trade.

#include <optional>
#include <string_view>

#include "engine/database.h"
#include "figures/gains.h"
#include "figures/work_progress.h"
#include "ledger/event_reads.h"

namespace ledger {

// The report of the ledger's trades by the rules asked for, read as stored and put in the order
// the calculator needs, following the ledger's splits; the holdings carry
// the dividends' net income (ledger/event_reads.h). Rows that cannot be used are listed in `skipped`,
// in the order of their dates as the ledger sorts them.
// A missing commission counts as none. With onSale, the sales are handed
// to it rather than kept (see SaleSink). With progress, the reading of the
// trades and then their working out are told as they go, as one whole of
// twice the trades; it may stop the work (figures/work_progress.h). The
// file is read by one statement, ended before the trades are worked out,
// so no lock on it is held while they are. Throws DbError.
GainsReport readGainsReport(Database& db, const GainsRules& rules, const SaleSink& onSale = {},
                            const WorkProgress& progress = {});
// The same with the ledger's events already read (readLedgerEvents), for a
// caller that uses them for more than the gains.
GainsReport readGainsReport(Database& db, const LedgerEvents& events, const GainsRules& rules,
                            const SaleSink& onSale = {}, const WorkProgress& progress = {});

// The report as it stood at the end of lastDate (YYYY-MM-DD): the trades,
// splits and dividends dated after it left out, as if not yet made; the
// whole ledger when lastDate is none. Rows that cannot be used are listed
// whatever their date. progress as for readGainsReport.
GainsReport readGainsReportThrough(Database& db, const LedgerEvents& events, const GainsRules& rules,
                                   std::optional<std::string_view> lastDate, const SaleSink& onSale = {},
                                   const WorkProgress& progress = {});

// A statement that reads the trades in report order, sorted by SQLite: the
// plain way, against which the report's own reading is measured.
extern const char* const kGainsTradesSql;

}  // namespace ledger
