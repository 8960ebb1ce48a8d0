#pragma once
// What the report views read from the open ledger, and telling the user
// when it cannot be read. The views only render what these give them; the
// figures and rows come as the ledger's own types (view_queries.h).

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/app_context.h"
#include "engine/database.h"
#include "ledger/view_queries.h"

namespace ledger {

class DbError;

// Tells the user that the ledger could not be read for a view, with the
// engine's reason. The program goes on.
void reportReadFailure(Prompter& prompter, const std::string& path, const std::string& reason);
void reportReadFailure(Prompter& prompter, const std::string& path, const DbError& error);

// Whether a view may read the ledger now: not when its file changed since
// the last command, the user has then been told, and the main window closes
// the ledger or reads it afresh.
bool viewMayReadLedger(LedgerSession& session);

// ---- datasheet -------------------------------------------------------------

struct DatasheetTab {
  const char* caption;
  const char* query;
  // The same rows unsorted: counting them needs no sort.
  const char* countedAs;
};

inline constexpr DatasheetTab kDatasheetTabs[] = {
    {"General", "TradeSorted", "Trade"},
    {"Bought Shares", "BoughtSorted", "Bought"},
    {"Sold Shares", "SoldSorted", "Sold"},
};

// The session's connection with the sorted query of kDatasheetTabs[tab]
// written into it; on a read-only ledger the query is defined for this
// connection alone, so the grid must read through it. Throws DbError.
// REQUIRES: 0 <= tab < size of kDatasheetTabs.
Database openDatasheetTab(LedgerSession& session, int tab);

// ---- company history -------------------------------------------------------

// What the history view binds its grids to: the connection the history
// queries were just written on (on a read-only ledger, defined for it
// alone), the company's exact totals, and the two lists' row counts when
// they are known without running the lists.
struct HistoryRead {
  Database ledger;
  HistoryFigures figures;
  std::optional<std::array<std::int64_t, 2>> listCounts;
};

// Writes the history queries of symbol and reads its figures. nullopt when
// the view may not read the ledger now (viewMayReadLedger) or it cannot be
// read; the user has been told why.
std::optional<HistoryRead> readHistory(AppContext& app, const std::string& symbol);

// ---- profit / loss ---------------------------------------------------------

// The figures of the whole ledger (readProfitLossFigures); when they cannot
// be read the user is told and they stay empty.
ProfitLossFigures readProfitLoss(AppContext& app);

// ---- chart -----------------------------------------------------------------

inline constexpr const char* kNoRecordsMessage = "There are no records in this database.";

// Every trade of the session's ledger for the chart, read through the
// session's Trade recordset, which is left at its first row. nullopt when
// there is nothing to draw: Trade cannot be opened (the session has told
// the user), it holds no trades or cannot be read (told here).
std::optional<ChartTable> readChart(AppContext& app);

}  // namespace ledger
