#include "ticker_search.h"

#include "db_error.h"
#include "record_display.h"

namespace ledger {

bool FindTicker(LedgerSession& session, FormPort& form, const std::string& ticker) {
  if (!ledgerFileUnchanged(session, form)) return false;
  Recordset* rs = session.CurrentRecordset.get();
  std::optional<std::int64_t> found;
  // No ledger, no rows, or a source without a second column: nothing found.
  passOver([&] {
    if (rs && rs->fieldCount() > 1) found = rs->findFirst(1, ticker);
  });
  if (rs && !found) {
    passOver([&] {
      rs->moveLast();
      rs->moveNext();
    });
  }
  if (!found) {
    session.prompter().show(kTickerNotFound, MsgIcon::Information);
    return false;
  }
  session.FoundPosition = *found;
  ShowRecord(session, form, session.FoundPosition);
  return true;
}

}  // namespace ledger
