#pragma once
// Translation of the old engine's statement dialect into SQLite.
//
// Statements in this program are written the way the ledger format has
// always written them: names in square brackets, dates between '#'
// characters (#2024-01-31# or #1/31/2024#) and "DELETE * FROM". Square
// brackets are valid SQLite as they stand; the other two are rewritten here.
// Text inside string literals ('...' or "...") and inside brackets is never
// touched.

#include <string>
#include <string_view>

namespace ledger {

// Returns the SQLite form of jetSql.
// Throws DbError(kSyntax) for a '#' literal that is not a valid date or is
// never closed.
std::string translateJetSql(std::string_view jetSql);

// Quotes text as an SQL string literal: 'it''s'. The one place where user
// text is put into SQL text itself (stored query definitions); everything
// else binds parameters.
std::string quoteSqlString(std::string_view text);

// Quotes a name as an SQL identifier: "Profit/Loss", with '"' doubled.
std::string quoteSqlIdentifier(std::string_view name);

// The bare object name of a record source as callers write it:
// "[Total Buy]" -> "Total Buy", "Trade" -> "Trade", "\"A\"\"B\"" -> "A\"B".
std::string unquoteSourceName(std::string_view source);

}  // namespace ledger
