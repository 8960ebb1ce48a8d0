// Opening and making ledgers through a fake window: what the window is told
// to show, in which order, and which ledger is open afterwards.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>

#include "core_fixture.h"

namespace ledger {
namespace {

using test::Log;

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
  return s;
}

class LedgerFileFlowsTest : public test::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    test::makeLedger(dir.file("a.mdb"), {{1, "MSFT", 10, "B", "2024-01-02", 100, 5}});
    test::makeLedger(dir.file("b.mdb"));
  }
  // Opens a.mdb and forgets what the window was told.
  void openA() {
    ASSERT_EQ(flows.open(dir.file("a.mdb")), OpenOutcome::Opened);
    window.log.clear();
  }
};

TEST_F(LedgerFileFlowsTest, EachWayOfOpeningEndsInTheOneShownLedger) {
  const std::string a = dir.file("a.mdb");
  const std::string b = dir.file("b.mdb");
  const std::string refused = "message This file contains the source databases and it cannot";
  const std::string notALedger = dir.file("notes.txt");
  {
    std::FILE* f = std::fopen(notALedger.c_str(), "w");
    std::fputs("not a ledger", f);
    std::fclose(f);
  }
  struct Row {
    const char* name;
    std::function<void()> run;
    Log log;
    std::string openAfter;
  };
  const Row rows[] = {
      {"File, Open",
       [&] {
         files.queueOpen(b);
         flows.openChosen();
       },
       {"busy", "title " + b, "show " + b, "idle"},
       b},
      {"the template refused brings the dialog again",
       [&] {
         files.queueOpen(app.templatePath());
         files.queueOpen(b);
         answers.expect(MsgAnswer::Ok);
         flows.openChosen();
       },
       {"busy", "idle", refused, "busy", "title " + b, "show " + b, "idle"},
       b},
      {"the master under another spelling is refused",
       [&] {
         answers.expect(MsgAnswer::Ok);
         EXPECT_EQ(flows.open(upper(app.masterPath())), OpenOutcome::Refused);
       },
       {"busy", "idle", refused},
       a},
      {"a file that is not a ledger leaves the open one",
       [&] {
         answers.expect(MsgAnswer::Ok);
         EXPECT_EQ(flows.open(notALedger), OpenOutcome::Failed);
       },
       {"busy", "message There was an error in opening the database or finding the recordset.", "idle"},
       a},
      {"a recent ledger",
       [&] { flows.openRecent(b); },
       {"busy", "title " + b, "show " + b, "idle"},
       b},
      {"a recent ledger that has gone leaves the list",
       [&] {
         answers.expect(MsgAnswer::Ok);
         flows.openRecent(dir.file("gone.mdb"));
       },
       {"forget " + dir.file("gone.mdb"), "message The ledger " + dir.file("gone.mdb") + " could not be found."},
       a},
      {"Cancel in the dialog changes nothing",
       [&] {
         files.queueOpen(std::nullopt);
         flows.openChosen();
       },
       {},
       a},
      {"a trade being typed, Cancel to saving it: no dialog",
       [&] {
         commands.newRecord();
         window.log.clear();
         answers.expect(MsgAnswer::Cancel);
         flows.openChosen();
         EXPECT_TRUE(commands.entering());
       },
       {"message Save the trade you are entering?"},
       a},
      {"a trade being typed, No to saving it: dropped, then opened",
       [&] {
         commands.newRecord();
         window.log.clear();
         answers.expect(MsgAnswer::No);
         files.queueOpen(b);
         flows.openChosen();
         EXPECT_FALSE(commands.entering());
       },
       {"message Save the trade you are entering?", "view state", "reload tab", "busy",
        "title " + b, "show " + b, "idle"},
       b},
      {"File, New Database leaves the commands' state as it was",
       [&] {
         files.queueSave(dir.file("new.mdb"));
         flows.create();
       },
       {"busy", "idle", "show " + dir.file("new.mdb"), "title " + dir.file("new.mdb")},
       dir.file("new.mdb")},
      {"File, New Database cancelled shows the open ledger still",
       [&] {
         files.queueSave(std::nullopt);
         flows.create();
       },
       {"busy", "idle"},
       a},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    openA();
    row.run();
    EXPECT_EQ(window.log, row.log);
    EXPECT_EQ(app.session().LedgerPath, row.openAfter);
    EXPECT_EQ(ledgerStateOf(app.session()), (LedgerState{row.openAfter, false}));
  }
}

TEST_F(LedgerFileFlowsTest, ALedgerHoldingForeignObjectsIsShownReadOnly) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(dir.file("b.mdb").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE Notes (Text TEXT);", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  answers.expect(MsgAnswer::Ok);  // what the ledger holds, told once
  ASSERT_EQ(flows.open(dir.file("b.mdb")), OpenOutcome::Opened);
  ASSERT_FALSE(window.states.empty());
  EXPECT_EQ(window.states.back().ledger, (LedgerState{dir.file("b.mdb"), true}));
}

TEST_F(LedgerFileFlowsTest, AnOlderLedgerIsOfferedACopyAndTheOpenOneStays) {
  const std::string older = (std::filesystem::path(LEDGER_SOURCE_DIR) / ".." / "shared" / "testdata" / "access" /
                             "nwind.mdb").string();
  if (!std::filesystem::exists(older)) GTEST_SKIP() << "the Access test files are not here (" << older << ")";
  const std::string offer = "message " + older;  // the path, then the question
  const struct {
    const char* name;
    std::vector<MsgAnswer> answers;
    Log log;
  } rows[] = {
      {"No: nothing made", {MsgAnswer::No}, {"busy", "idle", offer}},
      {"Yes, but it holds no trades: refused before a file is asked for",
       {MsgAnswer::Yes, MsgAnswer::Ok},
       {"busy", "idle", offer,
        "message This file cannot be made into a ledger: it has no Trade table and no Companies table."}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    openA();
    for (MsgAnswer answer : row.answers) answers.expect(answer);
    EXPECT_EQ(flows.open(older), OpenOutcome::Failed);
    EXPECT_EQ(window.log, row.log);
    EXPECT_EQ(app.session().LedgerPath, dir.file("a.mdb"));
  }
}

TEST_F(LedgerFileFlowsTest, AChangedFileIsFollowed) {
  const std::string a = dir.file("a.mdb");
  struct Row {
    const char* name;
    bool typing;
    std::function<void()> change;
    LedgerFileState state;
    Log log;
  };
  const Row rows[] = {
      {"gone: closed, the trade being typed with it", true, [&] { std::filesystem::remove(a); },
       LedgerFileState::Closed, {"closed", "view state", "title ", "no-ledger state"}},
      {"replaced: every view and the entry tab read again", false,
       [&] { std::filesystem::rename(dir.file("b.mdb"), a); }, LedgerFileState::Replaced,
       {"refresh views", "reload tab"}},
      {"replaced while typing: the typed trade stays", true,
       [&] { std::filesystem::rename(dir.file("b.mdb"), a); }, LedgerFileState::Replaced,
       {"refresh views"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    test::makeLedger(a, {{1, "MSFT", 10, "B", "2024-01-02", 100, 5}});
    test::makeLedger(dir.file("b.mdb"));
    openA();
    if (row.typing) commands.newRecord();
    row.change();
    answers.expect(MsgAnswer::Ok);  // the session tells what happened to the file
    ASSERT_EQ(app.session().checkLedgerFile(), row.state);
    window.log.clear();
    flows.follow(row.state);
    EXPECT_EQ(window.log, row.log);
    EXPECT_EQ(commands.entering(), row.typing && row.state == LedgerFileState::Replaced);
  }
}

}  // namespace
}  // namespace ledger
