// OpenLedgerTable: what it opens, what it says on failure and what it keeps,
// and when the session's connection is used again.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <functional>

#include "engine/db_error.h"
#include "fakes.h"
#include "immutable_file.h"
#include "ledger/ledger_session.h"
#include "test_ledger.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::ScriptedPrompter;
using test::TempDir;

TEST(OpenLedgerTable, OpensTheNamedSourceOnTheLedgerPath) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  ScriptedPrompter prompter;
  LedgerSession session(prompter);
  session.LedgerPath = dir.file("l.mdb");
  ASSERT_TRUE(session.OpenLedgerTable("[Total Buy]"));
  EXPECT_EQ(toDisplayText(session.CurrentRecordset->value(0)), "1005");
  EXPECT_EQ(session.LedgerDatabase->path(), dir.file("l.mdb"));
}

TEST(OpenLedgerTable, FailedRecordsetKeepsThePreviousOneWithTheNewDatabase) {
  TempDir dir;
  test::makeLedger(dir.file("a.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  test::makeLedger(dir.file("b.mdb"));
  openLedger(dir.file("b.mdb")).executeScript("DROP VIEW Sold");
  ScriptedPrompter prompter;
  LedgerSession session(prompter);
  session.LedgerPath = dir.file("a.mdb");
  ASSERT_TRUE(session.OpenLedgerTable("Trade"));

  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(session.OpenLedgerTable("Sold", dir.file("b.mdb")));
  ASSERT_EQ(prompter.shown.size(), 1u);
  const test::ShownMessage& m = prompter.shown[0];
  const std::string expectedHead =
      "There was an error in opening the database or finding the recordset.\r\n"
      "Make sure that it and the recordset exist.\r\n\r\n"
      "DB Path : " + dir.file("b.mdb") + ".\r\n"
      "Recordset : Sold.";
  EXPECT_EQ(m.text.substr(0, expectedHead.size()), expectedHead);
  EXPECT_EQ(m.icon, MsgIcon::Critical);
  EXPECT_EQ(m.title, "Torvik's Dozeza Dovezir");
  EXPECT_EQ(session.LedgerDatabase->path(), dir.file("b.mdb"));
  EXPECT_EQ(toDisplayText(session.CurrentRecordset->value("CompanySymbol")), "AAPL");  // still over a.mdb's Trade
  EXPECT_EQ(session.LedgerPath, dir.file("a.mdb"));
}

TEST(OpenLedgerTable, FailedDatabaseKeepsEverything) {
  TempDir dir;
  test::makeLedger(dir.file("a.mdb"));
  ScriptedPrompter prompter;
  LedgerSession session(prompter);
  session.LedgerPath = dir.file("a.mdb");
  ASSERT_TRUE(session.OpenLedgerTable("Companies"));
  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(session.OpenLedgerTable("Trade", dir.file("gone.mdb")));
  EXPECT_NE(prompter.shown.at(0).text.find("DB Path : " + dir.file("gone.mdb") + "."), std::string::npos);
  EXPECT_EQ(session.LedgerDatabase->path(), dir.file("a.mdb"));
  EXPECT_EQ(session.CurrentRecordset->fieldCount(), 2);
}

TEST(LedgerConnection, IsUsedAgainUntilOpeningTheFileAgainWouldGiveAnotherOne) {
  struct Row {
    const char* what;
    // Changes the file after the session opened it; returns what must
    // stay alive until the session has looked again.
    std::function<std::shared_ptr<void>(const std::string& path)> change;
    bool reused;
    bool readOnly;
    bool toldForeign;
  };
  const Row rows[] = {
      {"nothing", [](const std::string&) { return nullptr; }, true, false, false},
      {"trades written by another program",
       [](const std::string& path) {
         openLedger(path).executeScript("INSERT INTO Companies (CompanySymbol) VALUES ('IBM')");
         return nullptr;
       },
       true, false, false},
      {"made read-only",
       [](const std::string& path) {
         ::chmod(path.c_str(), 0444);
         return std::make_shared<test::ImmutableFile>(path);  // for root, whom the mode does not stop
       },
       false, true, false},
      {"another program's table added",
       [](const std::string& path) {
         openLedger(path).executeScript("CREATE TABLE notes(body TEXT)");
         return nullptr;
       },
       false, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempDir dir;
    const std::string path = dir.file("l.mdb");
    test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
    ScriptedPrompter prompter;
    LedgerSession session(prompter);
    session.LedgerPath = path;
    ASSERT_TRUE(session.OpenLedgerTable("Trade"));
    const Database before = *session.LedgerDatabase;
    const std::shared_ptr<void> kept = row.change(path);

    // What the new connection finds is told once, as soon as it is found.
    if (row.toldForeign) prompter.expect(MsgAnswer::Ok);
    Database now = session.ledgerConnection();
    EXPECT_EQ(now.sharesConnectionWith(before), row.reused);
    EXPECT_EQ(now.isReadOnly(), row.readOnly);
    ASSERT_TRUE(session.OpenLedgerTable("Trade"));
    // A new connection became the session's: opening the table used it.
    EXPECT_TRUE(session.LedgerDatabase->sharesConnectionWith(now));
    EXPECT_EQ(prompter.shown.size(), row.toldForeign ? 1u : 0u);
  }
}

// The session tells the user in the middle of a command's read (here the
// file check finds the ledger's tables gone); the message must hold no lock
// on the file, or another program could not write while the user reads it.
TEST(SessionRead, EndsBeforeTheSessionTellsTheUser) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path);
  struct WriteWhileShown final : Notifier {
    std::string path;
    int written = -1;
    void notify(const std::string&, MsgIcon) override {
      sqlite3* raw = nullptr;
      sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
      written = sqlite3_exec(raw, "CREATE TABLE Elsewhere (x)", nullptr, nullptr, nullptr);
      sqlite3_close(raw);
    }
  } notifier;
  notifier.path = path;
  LedgerSession session(notifier);
  session.LedgerPath = path;
  ASSERT_TRUE(session.OpenLedgerTable("Trade"));
  {
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    ASSERT_EQ(sqlite3_exec(raw, "DROP TABLE Trade", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
  }
  const SessionRead read(session);
  EXPECT_EQ(session.checkLedgerFile(), LedgerFileState::Closed);
  EXPECT_EQ(notifier.written, SQLITE_OK);
}

}  // namespace
}  // namespace ledger
