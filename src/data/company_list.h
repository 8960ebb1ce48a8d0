#pragma once
// The symbols of Companies: adding one, and the entry form's symbol list.

#include <string>

#include "form_port.h"
#include "ledger_session.h"

namespace ledger {

// Stores symbol in Companies exactly as given (the engine numbers it), adds
// it to the symbol list and shows Trade again on the entry form. Returns
// false, after telling the user, when the ledger refuses the row.
bool AddCompany(LedgerSession& session, FormPort& form, const std::string& symbol);

// Brings every symbol of Companies that the list lacks into the symbol
// list, at its row position (at the end when that lies past the list's
// end). Symbols are compared exactly, letter case included; the list is
// never cleared. Leaves the shared recordset over Companies.
void FillCompanyList(LedgerSession& session, FormPort& form);

// The symbol check when the focus leaves the symbol list: finds the typed or
// picked symbol in Companies (the last matching row wins; 0 when none
// matches) and fills the CompanySymbol and CompanyID boxes of the General
// tab. Leaves the shared recordset over Companies.
void LookUpCompanySymbol(LedgerSession& session, FormPort& form);

}  // namespace ledger
