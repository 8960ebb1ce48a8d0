#include "ledger/empty_ledger.h"

#include "engine/database.h"
#include "engine/durable_file.h"
#include "ledger/ledger_change.h"
#include "ledger/ledger_open.h"
#include "ledger/undo_journal.h"

namespace ledger {

void writeEmptyLedger(const std::string& templateFile, const std::string& target) {
  TempFileBeside temp(target);
  temp.copyFrom(templateFile);
  {
    Database db = openLedger(temp.path());
    LedgerChange change(db);
    db.execute("DELETE * FROM Trade");
    // Steps of the trades just removed would undo into a ledger that never held them.
    dropUndoJournal(db);
    change.commitRewrite();
  }
  removeLeftoverJournals(target);
  temp.commitOver(target);
}

}  // namespace ledger
