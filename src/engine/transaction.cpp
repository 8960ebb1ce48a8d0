#include "engine/transaction.h"

#include "engine/database.h"
#include "engine/db_error.h"
#include "engine/sqlite_util.h"

namespace ledger {

WriteTransaction::WriteTransaction(Database& db) : WriteTransaction(detail::connectionOf(db)) {}

WriteTransaction::WriteTransaction(sqlite3* db) : m_db(db) { detail::exec(db, "BEGIN IMMEDIATE"); }

WriteTransaction::~WriteTransaction() {
  if (!m_done) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void WriteTransaction::commit() {
  detail::exec(m_db, "COMMIT");
  m_done = true;
}

ReadSnapshot::ReadSnapshot(Database& db) : m_db(db) {
  if (db.inTransaction()) {
    m_held = true;
    return;
  }
  m_own = m_held = passOver([&] { m_db.executeScript("BEGIN"); }) == 0;
}

ReadSnapshot::~ReadSnapshot() {
  if (m_own) passOver([&] { m_db.executeScript("COMMIT"); });
}

}  // namespace ledger
