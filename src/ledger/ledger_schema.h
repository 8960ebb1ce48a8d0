#pragma once
// The ledger schema, compiled in from resources/ledger_schema.sql.

#include <string>
#include <string_view>

namespace ledger {

std::string_view ledgerSchemaSql();

// Makes a fresh ledger file at path from the schema. The file is built under
// a temporary name in the same folder and renamed over path only when
// complete, so a failure never leaves half a file and never destroys a file
// that was there. Throws DbError, or std::filesystem::filesystem_error.
void writeLedgerFromSchema(const std::string& path);

}  // namespace ledger
