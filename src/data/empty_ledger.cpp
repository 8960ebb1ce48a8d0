#include "empty_ledger.h"

#include "database.h"
#include "durable_file.h"

namespace ledger {

void writeEmptyLedger(const std::string& templateFile, const std::string& target) {
  TempFileBeside temp(target);
  temp.copyFrom(templateFile);
  {
    Database db = Database::open(temp.path());
    db.execute("DELETE * FROM Trade");
  }
  removeLeftoverJournals(target);
  temp.commitOver(target);
}

}  // namespace ledger
