// Two copies of the program on one ledger: saves from both land, a ledger
// locked by the other copy is reported after a short wait instead of
// freezing the program, and an open recordset never keeps the other copy
// from writing.
#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "child_process.h"
#include "engine/db_error.h"
#include "engine_settings_scope.h"
#include "fake_form.h"
#include "fakes.h"
#include "ledger/ledger_session.h"
#include "app/record_writes.h"
#include "serial_trades.h"
#include "test_ledger.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using namespace std::chrono_literals;
using Rows = std::vector<std::vector<std::string>>;

constexpr const char* kLockedText = "The ledger is locked by another program; try again in a moment.";

Rows serialRows(int writer, long first, long count) {
  Rows rows;
  for (long s = first; s < first + count; ++s) rows.push_back(test::serialTrade(writer, s).row());
  return rows;
}

Rows tradesOf(const std::string& path, int writer) {
  return test::readAll(path, "SELECT * FROM Trade WHERE CompanySymbol = 'W" + std::to_string(writer) + "' ORDER BY rowid");
}

TEST(TwoWriters, SavesFromTwoProgramsAtOnceAllLand) {
  test::TempDir dir;
  const std::string path = dir.file("shared.mdb");
  test::makeLedger(path);
  test::addWriterCompanies(path);
  constexpr long kEach = 300;
  test::ChildProcess first({LEDGER_CRASH_SAVER, path, "1", "1", std::to_string(kEach)});
  test::ChildProcess second({LEDGER_CRASH_SAVER, path, "2", "1", std::to_string(kEach)});
  const int firstStatus = first.collect();
  const int secondStatus = second.collect();
  // A message (a lock held too long, say) would end a saver with status 3.
  ASSERT_TRUE(WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 0) << "status " << firstStatus;
  ASSERT_TRUE(WIFEXITED(secondStatus) && WEXITSTATUS(secondStatus) == 0) << "status " << secondStatus;
  EXPECT_EQ(first.lines().size(), static_cast<size_t>(kEach));
  EXPECT_EQ(second.lines().size(), static_cast<size_t>(kEach));
  EXPECT_EQ(test::readAll(path, "PRAGMA integrity_check")[0][0], "ok");
  EXPECT_EQ(tradesOf(path, 1), serialRows(1, 1, kEach));
  EXPECT_EQ(tradesOf(path, 2), serialRows(2, 1, kEach));
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Trade")[0][0], std::to_string(2 * kEach));
}

TEST(TwoWriters, SaveIntoALockedLedgerReportsTheLockAndSucceedsOnceItIsFreed) {
  constexpr auto kLockWait = 250ms;
  test::ScopedEngineSettings settings({.lockWait = kLockWait});
  // IMMEDIATE: the other program is writing; EXCLUSIVE: it is committing,
  // so not even reading is possible.
  for (const char* lock : {"BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"}) {
    SCOPED_TRACE(lock);
    test::TempDir dir;
    const std::string path = dir.file("l.mdb");
    test::makeLedger(path, {{1, "W1", 1, "B", "2024-01-01", 1, 1}});
    test::addWriterCompanies(path);
    test::ScriptedPrompter prompter;
    LedgerSession session(prompter);
    session.LedgerPath = path;
    test::FakeForm form;
    const auto t = test::serialTrade(1, 2);
    form.fillGeneral(t.companyId, t.symbol, t.date, t.quantity, t.price, t.commission, t.buy);
    const std::string typed = form.general();
    const std::string before = test::readBytes(path);

    Database other = Database::openFile(path, false);
    other.executeScript(lock);
    prompter.expect(MsgAnswer::Ok);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(SaveRecord(session, prompter, form));
    // The save waited for the lock, and not much longer: far below the
    // program's own wait of seconds.
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, kLockWait) << "the save gave up without waiting for the lock";
    EXPECT_LT(took, 2500ms) << "the save waited on past the lock wait";
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].text.find(kLockedText), std::string::npos) << prompter.shown[0].text;
    EXPECT_EQ(form.general(), typed);
    other.executeScript("ROLLBACK");
    EXPECT_EQ(test::readBytes(path), before);

    EXPECT_TRUE(SaveRecord(session, prompter, form));
    EXPECT_EQ(tradesOf(path, 1), (Rows{{"1", "W1", "1", "B", "2024-01-01", "1", "1"}, t.row()}));
  }
}

TEST(TwoWriters, OpenRecordsetsDoNotKeepAnotherProgramFromWriting) {
  test::TempDir dir;
  const std::string path = dir.file("l.mdb");
  std::vector<test::TradeRow> trades;
  for (int i = 0; i < 300; ++i) trades.push_back({1, "AAPL", 1.0 + i, "B", "2024-01-01", 10, 1});
  test::makeLedger(path, trades);
  test::addWriterCompanies(path);
  Database db = openLedger(path);
  auto bought = db.openRecordset("Bought");
  auto trade = db.openRecordset("Trade");
  for (int i = 0; i < 100; ++i) bought->moveNext();  // past the first chunk read
  trade->moveNext();

  test::ChildProcess saver({LEDGER_CRASH_SAVER, path, "2", "1", "5"});
  const int status = saver.collect();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other program could not save";
  EXPECT_EQ(tradesOf(path, 2), serialRows(2, 1, 5));
  // Both recordsets go on reading.
  bought->moveNext();
  trade->moveLast();
  EXPECT_FALSE(bought->eof());
  EXPECT_EQ(toDisplayText(trade->value("CompanySymbol")), "W2");
}

}  // namespace
}  // namespace ledger
