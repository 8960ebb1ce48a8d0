#pragma once
// Saving the General tab of the entry form as a trade, and deleting the
// shown trade.

#include <optional>
#include <string>

#include "form_port.h"
#include "ledger_session.h"

namespace ledger {

inline constexpr const char* kDeleteQuestion = "Are you sure you want to permenantly delete this record?";

// Checks what the General tab holds before anything is written. Returns a
// message naming the first field that is wrong, or nullopt when all is well.
// In edit mode the company number is not checked: an edit never changes it.
std::optional<std::string> checkGeneralTab(const FormPort& form, bool adding);

// Writes the General tab to Trade. mode "Save" (exactly) adds a new trade
// with the company number of the CompanyID box; any other mode rewrites the
// trade with bookmark editRow, leaving its company number alone. Buy/Sell
// is "B" when Buy is selected, otherwise "S".
// Nothing is written when a field is wrong or the ledger refuses the row:
// the user is told why and false is returned; the form keeps its text.
bool SaveRecord(LedgerSession& session, const FormPort& form, const std::string& mode,
                std::optional<std::int64_t> editRow = std::nullopt);

// Asks whether to delete; on Yes removes one Trade row matching the trade
// shown on the General tab: its company number, date, quantity, price,
// commission and Buy/Sell code, the row shown first when several match.
// Returns true when a row was deleted. Tells the user when the trade is no
// longer in the ledger or the ledger refuses the change.
bool DeleteRecord(LedgerSession& session, const FormPort& form);

}  // namespace ledger
