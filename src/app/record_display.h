#pragma once
// Showing the current row of the shared recordset on the entry form, and
// moving through the rows.

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/form_port.h"
#include "ledger/ledger_session.h"

namespace ledger {

inline constexpr const char* kStatusReady = "Ready";
inline constexpr const char* kStatusNoRecords = "No records available";
inline constexpr const char* kFirstRecordInView = "First record is currently in view.";
inline constexpr const char* kLastRecordInView = "Last record is currently in view.";

// Copies the current row (or the row at 0-based position) into the boxes
// of the selected tab, matching columns to boxes by name; empties them when
// there are no rows; sets the status text. On the General tab it also sets
// Buy or Sell from the row that was current on entry. Never throws: a step
// that fails is passed over and leaves the boxes as they were.
void ShowRecord(LedgerSession& session, FormPort& form, std::optional<std::int64_t> position = std::nullopt);

// The open ledger's file check (LedgerSession::checkLedgerFile) for a
// command that shows rows on form. When the file changed, the boxes of
// every tab are emptied, since what they show came from the old file, and
// false is returned: the command stops there.
bool ledgerFileUnchanged(LedgerSession& session, FormPort& form);

// Empties the boxes of every tab that show a column of Trade, Bought or
// Sold.
void clearShownRows(FormPort& form);

// OpenLedgerTable of name on LedgerPath, then ShowRecord. Returns what
// OpenLedgerTable returned; false, with the boxes emptied, when the ledger's
// file changed since the last command.
bool OpenAndShow(LedgerSession& session, FormPort& form, std::string_view name);

// The General tab's tab change: Trade opened and its first row shown, the
// cursor moved on and back as the tab has always moved it, and the trades
// counted, all in one read of the file. Returns the count; 0 when the
// ledger could not be opened.
std::int64_t OpenGeneralTab(LedgerSession& session, FormPort& form);

// The navigation buttons; none moves when the ledger's file changed since
// the last command (see ledgerFileUnchanged). Previous at the start and Next at the end show
// their message (information icon) instead of moving. First and Last on a
// recordset without rows show the emptied form and nothing else.
void MoveToFirst(LedgerSession& session, FormPort& form);
void MoveToPrevious(LedgerSession& session, FormPort& form);
void MoveToNext(LedgerSession& session, FormPort& form);
void MoveToLast(LedgerSession& session, FormPort& form);

}  // namespace ledger
