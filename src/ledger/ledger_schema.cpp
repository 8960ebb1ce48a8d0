#include "ledger/ledger_schema.h"

#include <filesystem>

#include "engine/database.h"
#include "engine/durable_file.h"
#include "ledger/ledger_change.h"

namespace ledger {

void writeLedgerFromSchema(const std::string& path) {
  TempFileBeside temp(path);
  {
    Database db = Database::openFile(temp.path(), /*create=*/true);
    db.executeScript("PRAGMA journal_mode = DELETE");
    LedgerChange change(db);
    db.executeScript(ledgerSchemaSql());
    change.commitRewrite();
  }
  removeLeftoverJournals(path);
  temp.commitOver(path);
}

}  // namespace ledger
