#pragma once
// The Find button: the first row of the shared recordset whose symbol
// (column 1) equals the typed ticker.

#include <string>

#include "form_port.h"
#include "ledger_session.h"

namespace ledger {

inline constexpr const char* kTickerNotFound = "The ticker doesn't exist.";

// Shows the first matching row and makes it the current row (FoundPosition
// holds its position), so the navigation buttons go on from there. When no
// row matches, says so and leaves the cursor past the last row; the boxes
// keep what they showed. Returns whether a row was found.
bool FindTicker(LedgerSession& session, FormPort& form, const std::string& ticker);

}  // namespace ledger
