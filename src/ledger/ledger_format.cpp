#include "ledger/ledger_format.h"

#include <string>

#include "engine/db_error.h"

namespace ledger {

namespace {

std::int64_t headerNumber(Database& db, const char* pragma) {
  const std::optional<Value> value = db.scalar(std::string("PRAGMA ") + pragma);
  const auto* number = value ? std::get_if<std::int64_t>(&*value) : nullptr;
  return number ? *number : 0;
}

}  // namespace

void markLedgerFormat(Database& db, std::int64_t format) {
  // A newer program may have written the file since this connection
  // opened it; what it keeps there is not this program's to change.
  const std::int64_t marked = headerNumber(db, "user_version");
  if (marked > kLedgerFormat)
    throw DbError(dberr::kReadOnly, "The ledger was written by a newer version of this program since it was "
                                    "opened; it can only be read. Nothing was saved.");
  if (marked < format) db.executeScript("PRAGMA user_version = " + std::to_string(format));
  // Another program's mark is left alone.
  if (headerNumber(db, "application_id") == 0)
    db.executeScript("PRAGMA application_id = " + std::to_string(kLedgerApplicationId));
}

}  // namespace ledger
