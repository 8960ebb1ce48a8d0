#include "engine/transaction.h"

#include "engine/database.h"
#include "engine/db_error.h"
#include "engine/sqlite_util.h"
#include "engine/statement_cache.h"

namespace ledger {

// BEGIN, COMMIT and ROLLBACK run as the connection's kept statements: a
// save begins and ends two or three transactions, and parsing these texts
// each time cost more than running them.

WriteTransaction::WriteTransaction(Database& db) : WriteTransaction(detail::sharedConnectionOf(db)) {}

WriteTransaction::WriteTransaction(detail::Connection conn) : m_conn(std::move(conn)) {
  detail::runKept(m_conn, "BEGIN IMMEDIATE");
}

WriteTransaction::~WriteTransaction() {
  if (!m_done) passOver([&] { detail::runKept(m_conn, "ROLLBACK"); });
}

void WriteTransaction::commit() {
  detail::runKept(m_conn, "COMMIT");
  m_done = true;
}

ReadSnapshot::ReadSnapshot(Database& db) : m_conn(detail::sharedConnectionOf(db)) {
  if (db.inTransaction()) {
    m_held = true;
    return;
  }
  m_own = m_held = passOver([&] { detail::runKept(m_conn, "BEGIN"); }) == 0;
}

ReadSnapshot::~ReadSnapshot() {
  if (m_own) passOver([&] { detail::runKept(m_conn, "COMMIT"); });
}

}  // namespace ledger
