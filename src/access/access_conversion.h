#pragma once
// Making a ledger of this program from an older ledger in the Access
// format: its Trade and Companies tables are copied, value for value, into
// a new ledger made from the template.

#include <string>
#include <vector>

#include "access/table_source.h"

namespace ledger {

struct ConversionOutcome {
  bool made = false;
  // For the user: why nothing was made, or what was.
  std::string message;
  std::size_t trades = 0;
  std::size_t companies = 0;
};

// "" when source has the Trade and Companies tables (names in any letter
// case), else the message that lists the tables it has.
std::string checkLedgerTables(TableSource& source);

// Writes a new ledger at newPath from templateFile: its Companies holds
// exactly the source's Companies rows with their CompanyIDs (none of the
// template's starting symbols), its Trade the source's Trade rows, values
// unchanged (DateTime values become their date). Nothing is written unless
// every row fits, and newPath is replaced only by the finished file, so a
// refused or failed conversion leaves no file behind. forbidden lists the
// files newPath may not be (the source, the template, the master); they
// are compared as the file system sees them and in any letter case.
ConversionOutcome convertAccessLedger(TableSource& source, const std::string& newPath,
                                      const std::string& templateFile,
                                      const std::vector<std::string>& forbidden);

}  // namespace ledger
