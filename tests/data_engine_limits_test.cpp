// The engine's two waits: a statement that runs too long is stopped, and a
// statement that meets another program's lock waits for it, then gives up.
// Both are lowered here and measured, so that each test shows the wait
// really happens, and ends, at the value set.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "case_names.h"
#include "engine/db_error.h"
#include "engine_settings_scope.h"
#include "test_ledger.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// What a waiting statement may take beyond its wait on a busy machine or in
// the sanitizer build; far less than the program's own defaults, so that a
// setting that is not used shows.
constexpr auto kSlack = 1500ms;

std::string printed(Clock::duration d) {
  return std::to_string(std::chrono::duration_cast<milliseconds>(d).count()) + " ms";
}

// Stops the statement running on db from another thread once `after` has
// passed, in case the engine's own limit does not: the test then fails
// within seconds instead of at ctest's timeout.
class Watchdog {
 public:
  Watchdog(sqlite3* db, Clock::duration after)
      : m_thread([this, db, after] {
          std::unique_lock lock(m_mutex);
          if (!m_stop.wait_for(lock, after, [this] { return m_done; })) {
            m_fired = true;
            sqlite3_interrupt(db);
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(m_mutex);
      m_done = true;
    }
    m_stop.notify_all();
    m_thread.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;
  bool fired() const { return m_fired; }

 private:
  std::mutex m_mutex;
  std::condition_variable m_stop;
  bool m_done = false;
  std::atomic<bool> m_fired = false;
  std::thread m_thread;  // last: starts once the members above exist
};

// ---- the statement time limit ---------------------------------------------

struct LimitCase {
  const char* name;
  milliseconds limit;
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.name << " (" << c.limit.count() << " ms)"; }

class StatementTimeLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(StatementTimeLimit, AnEndlessStoredQueryIsStoppedAndReported) {
  // A hostile or damaged ledger can hold a query that never ends; it must
  // come back as an error, not freeze the program.
  const milliseconds limit = GetParam().limit;
  test::ScopedEngineSettings settings({.statementTimeLimit = limit});
  test::TempDir dir;
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  Database::openFile(dir.file("l.mdb"), false)
      .executeScript(
          "DROP VIEW [Total Buy]; CREATE VIEW [Total Buy] AS WITH RECURSIVE r(x) AS "
          "(SELECT 1 UNION ALL SELECT x + 1 FROM r) SELECT max(x) AS [Total Buy] FROM r;");
  Database db = openLedger(dir.file("l.mdb"));

  const auto start = Clock::now();
  int error = 0;
  {
    Watchdog watchdog(detail::connectionOf(db), limit + 10s);
    error = passOver([&] { db.openRecordset("[Total Buy]"); });
    EXPECT_FALSE(watchdog.fired()) << "the statement ran on until the test stopped it";
  }
  const auto took = Clock::now() - start;
  EXPECT_EQ(error, dberr::kTooLong);
  EXPECT_GE(took, limit) << "stopped before its time limit: " << printed(took);
  EXPECT_LT(took, limit + kSlack) << "ran on past its time limit: " << printed(took);
  // The connection is still usable afterwards.
  EXPECT_EQ(db.openRecordset("Trade")->recordCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(Limits, StatementTimeLimit,
                         ::testing::Values(LimitCase{"Short", 150ms}, LimitCase{"Longer", 600ms}),
                         test::ByCaseName());

// ---- the wait for another program's lock ----------------------------------

constexpr auto kLockWait = 300ms;

struct LockCase {
  const char* name;
  const char* otherBegins;  // the other program's transaction, holding its lock
  const char* statement;    // what this program runs meanwhile
  std::optional<milliseconds> freedAfter;  // when the other program lets go; none: not within the wait
};

void PrintTo(const LockCase& c, std::ostream* os) {
  *os << c.name << ": " << test::quoted(c.statement) << " while another program holds "
      << test::quoted(c.otherBegins) << (c.freedAfter ? " for " + std::to_string(c.freedAfter->count()) + " ms" : "");
}

class LockWait : public ::testing::TestWithParam<LockCase> {};

TEST_P(LockWait, WaitsForTheLockThenGoesOnOrGivesUp) {
  const LockCase& c = GetParam();
  test::ScopedEngineSettings settings({.lockWait = kLockWait});
  test::TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  Database db = openLedger(path);
  Database other = Database::openFile(path, false);
  other.executeScript(c.otherBegins);

  std::thread release;
  if (c.freedAfter)
    release = std::thread([&other, after = *c.freedAfter] {
      std::this_thread::sleep_for(after);
      other.executeScript("ROLLBACK");
    });
  const auto start = Clock::now();
  const int error = passOver([&] { db.execute(c.statement); });
  const auto took = Clock::now() - start;
  if (release.joinable()) release.join();
  else other.executeScript("ROLLBACK");

  if (c.freedAfter) {
    EXPECT_EQ(error, 0) << "the statement did not wait for the lock to go";
    EXPECT_GE(took, *c.freedAfter);
  } else {
    EXPECT_EQ(error, dberr::kLocked);
    EXPECT_GE(took, kLockWait) << "gave up without waiting: " << printed(took);
    EXPECT_LT(took, kLockWait + kSlack) << "waited on past the lock wait: " << printed(took);
  }
  // Nothing is left locked: this program can write now.
  EXPECT_EQ(db.execute("UPDATE Trade SET Quantity = 11"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Locks, LockWait,
    ::testing::Values(
        // Another program is writing: reading goes on, writing waits.
        LockCase{"WriteWhileAnotherWritesGivesUp", "BEGIN IMMEDIATE", "UPDATE Trade SET Price = 1", std::nullopt},
        LockCase{"WriteGoesOnOnceTheOtherWriterEnds", "BEGIN IMMEDIATE", "UPDATE Trade SET Price = 1", 100ms},
        // Another program is committing: not even reading is possible.
        LockCase{"ReadWhileAnotherCommitsGivesUp", "BEGIN EXCLUSIVE", "SELECT count(*) FROM Trade", std::nullopt},
        LockCase{"ReadGoesOnOnceTheCommitEnds", "BEGIN EXCLUSIVE", "SELECT count(*) FROM Trade", 100ms}),
    test::ByCaseName());

}  // namespace
}  // namespace ledger
