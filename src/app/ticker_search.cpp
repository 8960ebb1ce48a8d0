#include "app/ticker_search.h"

#include "engine/db_error.h"
#include "app/record_display.h"

namespace ledger {

std::optional<std::int64_t> FindTicker(LedgerSession& session, FormPort& form, const std::string& ticker) {
  if (!ledgerFileUnchanged(session, form)) return std::nullopt;
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
    session.notifier().notify(kTickerNotFound, MsgIcon::Information);
    return std::nullopt;
  }
  ShowRecord(session, form, *found);
  return found;
}

}  // namespace ledger
