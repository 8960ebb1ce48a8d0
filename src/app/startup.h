#pragma once
// Start-up work on the program's files.

#include <optional>
#include <string>

#include "app/app_context.h"

namespace ledger {

// Copies the master ledger over the template, so that every start begins
// from the master. A missing master is made again from the schema compiled
// into the program. When the program folder cannot be written, new ledgers
// are made from the master (or from a template in the temporary folder)
// instead. Returns a message for the user when no template could be had at
// all; start-up goes on either way.
std::optional<std::string> refreshTemplate(AppContext& app);

}  // namespace ledger
