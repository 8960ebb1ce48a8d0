#pragma once
// How the Gains window's work reads the ledger from a thread of its own
// (app/ledger_work.h): on a connection of the call, opened and closed on
// that thread, without one read transaction around the whole (it would
// keep the window's own saves from committing meanwhile); instead, read
// again while another connection committed a change during the read, so
// that what is read is one moment of the file.

#include <optional>
#include <string>

#include "engine/database.h"
#include "engine/db_error.h"
#include "figures/work_progress.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_session.h"

namespace ledger {

// Runs read(db, result) on a new connection to the ledger at path until
// no other connection committed during it. A ledger that cannot be opened
// or read gives the window's message in result.failure (Result has
// one), the rest of result empty. WorkStopped passes through.
template <typename Result, typename Read>
Result readOnOwnConnection(const std::string& path, Read read) {
  std::optional<Database> ledger;
  try {
    ledger = openLedger(path);
  } catch (const DbError& e) {
    Result failed;
    failed.failure = openFailureText(path, "Trade", e.what());
    return failed;
  }
  try {
    for (;;) {
      const std::int64_t before = ledger->dataVersion();
      Result result;
      read(*ledger, result);
      if (ledger->dataVersion() == before) return result;
    }
  } catch (const WorkStopped&) {
    throw;
  } catch (const std::exception& e) {
    Result failed;
    failed.failure = readFailureMessage(path, e.what());
    return failed;
  }
}

}  // namespace ledger
