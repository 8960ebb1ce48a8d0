#pragma once
// The symbols of Companies: adding one, and the entry form's symbol list.

#include <string>
#include <vector>

#include "app/form_port.h"
#include "ledger/ledger_session.h"

namespace ledger {

inline constexpr const char* kBlankSymbol = "Please type the company's symbol; it cannot be blank.";

// Stores symbol in Companies without its surrounding blanks (the engine
// numbers it) and adds it to the symbol list. Returns false, after telling
// the user, when the symbol is blank, holds a character no symbol may hold
// (symbol_text.h) or the ledger refuses the row.
bool AddCompany(LedgerSession& session, FormPort& form, const std::string& symbol);

// Brings every symbol of Companies that the list lacks into the symbol
// list, at its row position (at the end when that lies past the list's
// end). Symbols are compared exactly, letter case included; the list is
// never cleared. Leaves the shared recordset over Companies.
void FillCompanyList(LedgerSession& session, FormPort& form);

// The symbol check when the focus leaves the symbol list: finds the typed or
// picked symbol, without its surrounding blanks, in Companies (the last matching row wins; 0 when none
// matches) and fills the CompanySymbol and CompanyID boxes of the General
// tab. Leaves the shared recordset over Companies.
void LookUpCompanySymbol(LedgerSession& session, FormPort& form);

// The symbols of Companies, each once, in the list's order, for the windows
// that show one company's splits, dividends or prices. Throws DbError.
std::vector<std::string> listedCompanySymbols(Database& db);
// The company such a window opens on: shown when symbols has it, else the
// first of symbols, else shown as it is.
std::string pickCompanyToShow(const std::vector<std::string>& symbols, const std::string& shown);

}  // namespace ledger
