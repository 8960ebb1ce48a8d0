// Killing the program in the middle of its writes, hundreds of times at
// random moments: every trade it reported saved is in the ledger exactly as
// saved, the file is never damaged, a new ledger written over a file
// leaves either the old file or the complete new one, and an undo or redo
// is either done or not done.
//
// LEDGER_CRASH_KILLS=n in the environment sets the number of kills per test
// (for a long run); the seed of each run is printed so a failure can be
// repeated.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <set>
#include <thread>

#include "child_process.h"
#include "engine/database.h"
#include "ledger/ledger_schema.h"
#include "serial_trades.h"
#include "engine/sqlite_util.h"
#include "test_ledger.h"
#include "ledger/undo_journal.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_change.h"

namespace ledger {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Rows = std::vector<std::vector<std::string>>;

int killsWanted(int fallback) {
  const char* n = std::getenv("LEDGER_CRASH_KILLS");
  return n ? std::atoi(n) : fallback;
}

std::string integrity(const std::string& path) {
  return test::readAll(path, "PRAGMA integrity_check").at(0).at(0);
}

// How long the helper takes, on this machine, from its start to its
// fourth line of output: kills are spread over that window, so that they
// land while it starts as well as in the middle of its writes.
std::chrono::microseconds killWindow(const std::vector<std::string>& args) {
  const auto start = std::chrono::steady_clock::now();
  test::ChildProcess helper(args);
  EXPECT_TRUE(helper.waitForLines(4, 60s)) << "the helper wrote no output";
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
}

class RandomKills {
 public:
  explicit RandomKills(std::chrono::microseconds window) : m_seed(std::random_device{}()), m_rng(m_seed), m_window(window) {}
  unsigned seed() const { return m_seed; }
  void sleepUntilNextKill() {
    std::uniform_int_distribution<std::int64_t> delay(0, m_window.count());
    std::this_thread::sleep_for(std::chrono::microseconds(delay(m_rng)));
  }

 private:
  unsigned m_seed;
  std::mt19937 m_rng;
  std::chrono::microseconds m_window;
};

TEST(CrashSafety, KilledWhileSavingKeepsEveryAcknowledgedTradeAsSaved) {
  test::TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path);
  test::addWriterCompanies(path);
  test::makeLedger(dir.file("calibration.mdb"));
  test::addWriterCompanies(dir.file("calibration.mdb"));
  RandomKills kills(killWindow({LEDGER_CRASH_SAVER, dir.file("calibration.mdb"), "1", "1"}));
  fs::remove(dir.file("calibration.mdb"));
  SCOPED_TRACE("seed " + std::to_string(kills.seed()));

  Rows saved;  // what the ledger must hold, in the order saved
  long next = 1;
  int landedUnacknowledged = 0;
  const int rounds = killsWanted(250);
  for (int round = 0; round < rounds; ++round) {
    test::ChildProcess saver({LEDGER_CRASH_SAVER, path, "1", std::to_string(next)});
    kills.sleepUntilNextKill();
    const int status = saver.killAndCollect();
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saver ended by itself, status " << status;
    for (const std::string& line : saver.lines()) {
      ASSERT_EQ(line, std::to_string(next)) << "acknowledgements out of order";
      saved.push_back(test::serialTrade(1, next++).row());
    }
    ASSERT_EQ(integrity(path), "ok") << "after kill " << round;
    const Rows rows = test::readAll(path, "SELECT * FROM Trade ORDER BY rowid");
    // The kill can come after a save's commit and before its
    // acknowledgement reaches the pipe: the trade in flight may then be in
    // the ledger although never acknowledged. It must be complete and be
    // exactly the next one.
    if (rows.size() == saved.size() + 1) {
      saved.push_back(test::serialTrade(1, next++).row());
      ++landedUnacknowledged;
    }
    ASSERT_EQ(rows, saved) << "after kill " << round;
  }
  EXPECT_GT(saved.size(), 0u) << "no kill came late enough for a save to finish";
  std::cout << "[ crash    ] " << rounds << " kills while saving, " << saved.size() - landedUnacknowledged
            << " trades acknowledged, " << landedUnacknowledged << " landed unacknowledged, none lost\n";
}

TEST(CrashSafety, KilledWhileWritingANewLedgerLeavesTheOldFileOrTheWholeNewOne) {
  test::TempDir dir;
  const std::string templateFile = dir.file("DatSource.mdb");
  const std::string oldFile = dir.file("old.mdb");
  const std::string target = dir.file("target.mdb");
  test::makeLedger(templateFile, {{1, "T", 1, "B", "2024-01-01", 1, 1}});
  test::makeLedger(oldFile, {{2, "OLD", 5, "S", "2023-05-05", 7, 1}, {3, "OLD2", 6, "B", "2023-05-06", 8, 2}});
  const std::string oldBytes = test::readBytes(oldFile);
  const Rows templateCompanies = test::readAll(templateFile, "SELECT * FROM Companies ORDER BY rowid");
  RandomKills kills(killWindow({LEDGER_CRASH_NEW_LEDGER, templateFile, dir.file("calibration.mdb")}));
  fs::remove(dir.file("calibration.mdb"));
  SCOPED_TRACE("seed " + std::to_string(kills.seed()));

  int keptOld = 0, wroteNew = 0;
  const int rounds = killsWanted(200);
  for (int round = 0; round < rounds; ++round) {
    fs::copy_file(oldFile, target, fs::copy_options::overwrite_existing);
    test::ChildProcess writer({LEDGER_CRASH_NEW_LEDGER, templateFile, target});
    kills.sleepUntilNextKill();
    ASSERT_TRUE(WIFSIGNALED(writer.killAndCollect())) << "the writer ended by itself";

    if (test::readBytes(target) == oldBytes) {
      ++keptOld;
    } else {
      ASSERT_NO_THROW(openLedger(target)) << "after kill " << round;
      EXPECT_EQ(integrity(target), "ok") << "after kill " << round;
      EXPECT_EQ(test::readAll(target, "SELECT count(*) FROM Trade")[0][0], "0") << "after kill " << round;
      EXPECT_EQ(test::readAll(target, "SELECT * FROM Companies ORDER BY rowid"), templateCompanies);
      ++wroteNew;
    }
    // A killed write may leave its own temporary file (and its journal);
    // those of earlier kills must not pile up.
    std::set<std::string> temporaries;
    for (const auto& entry : fs::directory_iterator(dir.path())) {
      std::string name = entry.path().filename().string();
      if (!name.starts_with(".target.mdb.tmp")) continue;
      if (name.ends_with("-journal")) name.resize(name.size() - 8);
      temporaries.insert(name);
    }
    ASSERT_LE(temporaries.size(), 1u) << "after kill " << round;
  }
  EXPECT_GT(keptOld, 0) << "no kill came before a new ledger was in place";
  EXPECT_GT(wroteNew, 0) << "no kill came after a new ledger was in place";
  std::cout << "[ crash    ] " << rounds << " kills while writing a new ledger: old file kept " << keptOld
            << " times, complete new ledger " << wroteNew << " times\n";
}

// A ledger whose one step is a batch: a company, hundreds of trades added,
// one trade changed and one deleted, all in one transaction as an import
// writes them.
void makeBatchStepLedger(const std::string& path) {
  test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}, {2, "MSFT", 3, "S", "2024-02-03", 410, 1}});
  Database db = openLedger(path);
  LedgerChange change(db);
  std::vector<RowChange> changes;
  changes.push_back({JournalTable::Trade, 1, readJournalRow(db, JournalTable::Trade, 1)});
  db.executeScript("UPDATE Trade SET Price = 101.5 WHERE rowid = 1");
  changes.push_back({JournalTable::Trade, 2, readJournalRow(db, JournalTable::Trade, 2)});
  db.executeScript("DELETE FROM Trade WHERE rowid = 2");
  db.executeScript("INSERT INTO Companies (CompanySymbol) VALUES ('BATCH')");
  changes.push_back({JournalTable::Companies, db.lastInsertRowid(), std::nullopt});
  for (int i = 0; i < 400; ++i) {
    const Value row[] = {std::int64_t{11}, std::int64_t{i + 1}, 1.0 / (i + 3)};
    db.execute("INSERT INTO Trade VALUES (?, 'BATCH', ?, 'B', '2025-03-04', ?, 0.5)", row);
    changes.push_back({JournalTable::Trade, db.lastInsertRowid(), std::nullopt});
  }
  change.commitStep("Import of 400 trades", changes);
}

TEST(CrashSafety, KilledWhileUndoingOrRedoingLeavesTheStepDoneOrNotDoneNeverHalf) {
  test::TempDir dir;
  const std::string path = dir.file("l.mdb");
  makeBatchStepLedger(path);
  const auto ledgerRows = [&] {
    Rows rows = test::readAll(path, "SELECT rowid, * FROM Trade ORDER BY rowid");
    for (auto& row : test::readAll(path, "SELECT rowid, * FROM Companies ORDER BY rowid")) rows.push_back(row);
    return rows;
  };
  const Rows done = ledgerRows();
  {
    Database db = openLedger(path);
    ASSERT_TRUE(undoStep(db));
  }
  const Rows undone = ledgerRows();
  ASSERT_NE(done, undone);
  makeBatchStepLedger(dir.file("calibration.mdb"));
  RandomKills kills(killWindow({LEDGER_CRASH_UNDOER, dir.file("calibration.mdb")}));
  fs::remove(dir.file("calibration.mdb"));
  SCOPED_TRACE("seed " + std::to_string(kills.seed()));

  int leftDone = 0, leftUndone = 0, steps = 0;
  const int rounds = killsWanted(60);
  for (int round = 0; round < rounds; ++round) {
    test::ChildProcess undoer({LEDGER_CRASH_UNDOER, path});
    kills.sleepUntilNextKill();
    ASSERT_TRUE(WIFSIGNALED(undoer.killAndCollect())) << "the undoer ended by itself";
    steps += static_cast<int>(undoer.lines().size());
    ASSERT_EQ(integrity(path), "ok") << "after kill " << round;
    const Rows flag = test::readAll(path, "SELECT Undone FROM UndoStep");
    ASSERT_EQ(flag.size(), 1u) << "after kill " << round;
    const bool isUndone = flag[0][0] == "1";
    ASSERT_EQ(ledgerRows(), isUndone ? undone : done) << "after kill " << round;
    ++(isUndone ? leftUndone : leftDone);
  }
  EXPECT_GT(leftDone, 0) << "no kill left the step done";
  EXPECT_GT(leftUndone, 0) << "no kill left the step undone";
  std::cout << "[ crash    ] " << rounds << " kills while undoing and redoing a step of 403 rows (" << steps
            << " finished): left done " << leftDone << " times, undone " << leftUndone << " times, never half\n";
}

}  // namespace
}  // namespace ledger
