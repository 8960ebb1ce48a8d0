#pragma once
// How the Gains window's work reads the ledger from a thread of its own
// (app/ledger_work.h): on the window's one work connection, used by one
// job at a time, without one read transaction around the whole (it would
// keep the window's own saves from committing meanwhile); instead, read
// again while another connection committed a change during the read, so
// that what is read is one moment of the file.

#include <sys/stat.h>

#include <mutex>
#include <optional>
#include <string>

#include "engine/database.h"
#include "engine/db_error.h"
#include "figures/work_progress.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_session.h"

namespace ledger {

// The connection a window's parts read the ledger on, away from the
// window's thread: opened by the first job that needs it and kept, so a
// window opens the file once however many parts it works out. Jobs take
// turns (a connection is never used by two threads at once); the last
// owner closes it.
class WorkConnection {
 public:
  // Runs use(connection) holding the turn; the connection is the ledger at
  // path, opened first when there is none, when it is of another path or
  // when the file at path is no longer the one opened (replaced since).
  // Throws DbError when the file cannot be opened, and what use throws.
  template <typename Use>
  auto withTurn(const std::string& path, Use use) {
    std::lock_guard turn(m_turn);
    return use(connectionTo(path), [this] { m_ledger.reset(); });
  }

 private:
  Database& connectionTo(const std::string& path) {
    struct stat st {};
    const bool found = ::stat(path.c_str(), &st) == 0;
    if (m_ledger && (path != m_path || !found || st.st_dev != m_device || st.st_ino != m_inode)) m_ledger.reset();
    if (!m_ledger) {
      m_ledger = openLedger(path);
      m_path = path;
      m_device = found ? st.st_dev : 0;
      m_inode = found ? st.st_ino : 0;
    }
    return *m_ledger;
  }

  std::mutex m_turn;
  std::optional<Database> m_ledger;
  std::string m_path;
  dev_t m_device = 0;
  ino_t m_inode = 0;
};

// Runs read(db, result) on connection's ledger at path until no other
// connection committed during it. A ledger that cannot be opened or read
// gives the window's message in result.failure (Result has one), the rest
// of result empty; a failed read drops the connection, so the next job
// opens the file afresh. WorkStopped passes through.
template <typename Result, typename Read>
Result readOnOwnConnection(WorkConnection& connection, const std::string& path, Read read) {
  try {
    return connection.withTurn(path, [&](Database& ledger, auto drop) {
      try {
        for (;;) {
          const std::int64_t before = ledger.dataVersion();
          Result result;
          read(ledger, result);
          if (ledger.dataVersion() == before) return result;
        }
      } catch (const WorkStopped&) {
        throw;
      } catch (const std::exception& e) {
        drop();
        Result failed;
        failed.failure = readFailureMessage(path, e.what());
        return failed;
      }
    });
  } catch (const DbError& e) {
    Result failed;
    failed.failure = openFailureText(path, "Trade", e.what());
    return failed;
  }
}

}  // namespace ledger
