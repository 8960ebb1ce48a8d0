#pragma once
// The Find button: the first row of the shared recordset whose symbol
// (column 1) equals the typed ticker.

#include <cstdint>
#include <optional>
#include <string>

#include "app/form_port.h"
#include "ledger/ledger_session.h"

namespace ledger {

inline constexpr const char* kTickerNotFound = "The ticker doesn't exist.";

// Shows the first matching row and makes it the current row, so the
// navigation buttons go on from there. When no row matches, says so and
// leaves the cursor past the last row; the boxes keep what they showed.
// Returns the found row's 0-based position, or nullopt.
std::optional<std::int64_t> FindTicker(LedgerSession& session, FormPort& form, const std::string& ticker);

}  // namespace ledger
