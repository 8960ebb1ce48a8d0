#pragma once
// Writing a new, empty ledger from the template file.

#include <string>

namespace ledger {

// Writes a copy of templateFile without its trades (its companies and
// queries stay) at target, replacing whatever target was. The copy is
// complete and on the disk before it takes target's name, so a crash or a
// failure leaves either the old target or the new ledger, never half a file.
// Throws DbError, or std::filesystem::filesystem_error.
void writeEmptyLedger(const std::string& templateFile, const std::string& target);

}  // namespace ledger
