#pragma once
// Making a new ledger file from the template.

#include "app/app_context.h"

namespace ledger {

// Asks for a file name with the save dialog, makes a copy of the template
// there without its trades, and makes it the current ledger (LedgerPath,
// LedgerDatabase and CurrentRecordset over Trade). Returns whether it made one.
// Refuses the template and the master, under any spelling of their path. A cancelled dialog makes
// nothing. The new file is complete before it replaces what was there, so a
// failure never leaves half a file nor destroys the old one; a failure is
// reported to the user.
bool NewLedger(AppContext& app);

}  // namespace ledger
