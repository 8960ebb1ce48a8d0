#include "ledger/empty_ledger.h"

#include "engine/database.h"
#include "engine/durable_file.h"
#include "ledger/undo_journal.h"

namespace ledger {

void writeEmptyLedger(const std::string& templateFile, const std::string& target) {
  TempFileBeside temp(target);
  temp.copyFrom(templateFile);
  {
    Database db = Database::open(temp.path());
    db.execute("DELETE * FROM Trade");
    // Steps of the trades just removed would undo into a ledger that never held them.
    dropUndoJournal(db);
  }
  removeLeftoverJournals(target);
  temp.commitOver(target);
}

}  // namespace ledger
