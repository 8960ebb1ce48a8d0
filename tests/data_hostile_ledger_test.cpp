// Ledgers made by someone else: what they hold beyond what the program makes
// is named and never run, and a file that needs one of the engine's safety
// settings meets it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "case_names.h"
#include "app/company_list.h"
#include "engine/db_error.h"
#include "fake_form.h"
#include "fakes.h"
#include "ledger/ledger_objects.h"
#include "app/record_display.h"
#include "app/record_writes.h"
#include "test_ledger.h"
#include "ledger/view_queries.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::FakeForm;
using test::ScriptedPrompter;
using test::TempDir;

const std::vector<test::TradeRow> kTrades = {{1, "AAPL", 10, "B", "2024-01-02", 100, 5},
                                             {2, "MSFT", 20, "S", "2024-01-03", 200, 6},
                                             {3, "IBM", 30, "B", "2024-01-04", 300, 7}};

// Runs sql on path through a plain SQLite connection, without any of the
// engine's settings: the way another program would change the file.
void plainExec(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  const std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK) << message;
}

std::string repeated(const std::string& piece, int times, const std::string& separator) {
  std::string text;
  for (int i = 0; i < times; ++i) text += (i ? separator : "") + piece;
  return text;
}

// "c0, c1, ..." up to count names.
std::string numbered(const std::string& stem, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i ? ", " : "") + stem + std::to_string(i);
  return text;
}

// The middle trade's cell on Trade's page claims a payload that runs past
// the end of the page; its neighbours are sound.
void overrunACell(const std::string& path) {
  const auto root = test::readAll(path, "SELECT rootpage FROM sqlite_schema WHERE name = 'Trade'");
  const size_t page = std::stoul(root.at(0).at(0));
  constexpr size_t kPageSize = 4096;
  std::string bytes = test::readBytes(path);
  const size_t start = (page - 1) * kPageSize;
  ASSERT_EQ(bytes[start], 0x0D);  // a table leaf
  auto u16 = [&](size_t at) { return static_cast<size_t>(static_cast<unsigned char>(bytes[at])) << 8 |
                                     static_cast<unsigned char>(bytes[at + 1]); };
  ASSERT_EQ(u16(start + 3), 3u);
  const size_t cell = start + u16(start + 8 + 2);
  ASSERT_LT(static_cast<unsigned char>(bytes[cell]), 0x80);  // a one-byte payload size
  bytes[cell] = 0x70;
  ASSERT_GT(cell - start + 2 + 0x70, kPageSize);
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A ledger the program made and used: every stored query it writes, what
// SQLite's ANALYZE leaves, and some of the template missing.
void programObjects(const std::string& path, bool withMissing) {
  Database db = openLedger(path);
  EnsureTradeSorted(db);
  EnsureBoughtSorted(db);
  EnsureSoldSorted(db);
  BuildHistoryQueries(db, "AAPL");
  db.executeScript("ANALYZE");
  if (withMissing) plainExec(path, "DROP VIEW Sold; DROP INDEX TradeBySymbolAndSide; DROP VIEW [Profit/Loss];");
}

enum class Opens { AsOwn, ReadOnly, Refused };

struct HostileLedger {
  const char* label;
  std::function<void(const std::string& path)> make;  // applied to a ledger with kTrades
  Opens opens;
  // ReadOnly: the objects the message names. Refused: the engine's error.
  std::vector<std::string> named = {};
  int error = 0;
};

std::function<void(const std::string&)> bySql(std::string sql) {
  return [sql](const std::string& path) { plainExec(path, sql); };
}

std::string trigger(const std::string& name, const std::string& when) {
  return "CREATE TRIGGER " + name + " " + when + " BEGIN UPDATE Companies SET CompanySymbol = 'PWNED'; DELETE FROM Trade; END;";
}

const std::vector<HostileLedger>& hostileLedgers() {
  static const std::vector<HostileLedger> cases = {
      // ---- what the program makes opens as before
      {"every object the program makes", [](const std::string& p) { programObjects(p, false); }, Opens::AsOwn},
      {"the program's objects with some missing", [](const std::string& p) { programObjects(p, true); },
       Opens::AsOwn},
      // ---- triggers of each kind
      {"before insert on Trade", bySql(trigger("t1", "BEFORE INSERT ON Trade")), Opens::ReadOnly,
       {"trigger \"t1\""}},
      {"after insert on Trade", bySql(trigger("WipeTrades", "AFTER INSERT ON Trade")), Opens::ReadOnly,
       {"trigger \"WipeTrades\""}},
      {"before update on Trade", bySql(trigger("t3", "BEFORE UPDATE ON Trade")), Opens::ReadOnly,
       {"trigger \"t3\""}},
      {"after update of a column", bySql(trigger("t4", "AFTER UPDATE OF Quantity ON Trade")), Opens::ReadOnly,
       {"trigger \"t4\""}},
      {"before delete on Trade", bySql(trigger("t5", "BEFORE DELETE ON Trade")), Opens::ReadOnly,
       {"trigger \"t5\""}},
      {"after delete on Trade", bySql(trigger("t6", "AFTER DELETE ON Trade")), Opens::ReadOnly,
       {"trigger \"t6\""}},
      {"after insert on Companies", bySql(trigger("t7", "AFTER INSERT ON Companies")), Opens::ReadOnly,
       {"trigger \"t7\""}},
      {"instead of insert on a stored query", bySql(trigger("t8", "INSTEAD OF INSERT ON Bought")),
       Opens::ReadOnly, {"trigger \"t8\""}},
      // ---- stored queries and tables the program does not make
      {"a query calling a function with side effects",
       bySql("DROP VIEW [Profit/Loss]; DROP VIEW [Total Buy]; "
             "CREATE VIEW [Total Buy] AS SELECT load_extension('libz.so.1') AS [Total Buy];"),
       Opens::ReadOnly, {"view \"Total Buy\" (not as this program makes it)"}},
      {"a stored query of the program's name with other columns",
       bySql("DROP VIEW Sold; CREATE VIEW Sold AS SELECT CompanySymbol FROM Trade;"), Opens::ReadOnly,
       {"view \"Sold\" (not as this program makes it)"}},
      {"an extra table", bySql("CREATE TABLE Notes (Text TEXT);"), Opens::ReadOnly, {"table \"Notes\""}},
      {"an extra stored query", bySql("CREATE VIEW Mine AS SELECT 1 AS One;"), Opens::ReadOnly, {"view \"Mine\""}},
      {"an extra index", bySql("CREATE UNIQUE INDEX OneSymbol ON Companies (CompanySymbol);"), Opens::ReadOnly,
       {"unique index \"OneSymbol\""}},
      {"a generated column in Trade",
       bySql("ALTER TABLE Trade ADD COLUMN Twice REAL GENERATED ALWAYS AS (Quantity * 2);"), Opens::ReadOnly,
       {"table \"Trade\" (not as this program makes it)"}},
      {"a virtual table and its shadow tables", bySql("CREATE VIRTUAL TABLE Search USING fts5(Text);"),
       Opens::ReadOnly, {"virtual table \"Search\"", "table \"Search_data\""}},
      {"a name with control characters", bySql("CREATE TABLE [a\nb\x01] (x);"), Opens::ReadOnly,
       {"table \"a?b?\""}},
      // ---- files that need the engine's limits and checks
      {"a cell running past its page (cell_size_check)", overrunACell, Opens::Refused, {}, dberr::kNotADatabase},
      {"a query longer than any statement (SQL length)",
       bySql("CREATE VIEW Long AS SELECT '" + std::string(120000, 'x') + "' AS Text;"), Opens::Refused, {},
       dberr::kNotADatabase},
      {"a table of 150 columns (columns)",
       bySql("CREATE TABLE Wide (" + numbered("c", 150) + ");"),
       Opens::Refused, {}, dberr::kNotADatabase},
      {"a query nested 150 deep (expression depth)",
       bySql("CREATE VIEW Deep AS SELECT " + repeated("1", 150, " + ") + " AS x;"),
       Opens::Refused, {}, dberr::kNotADatabase},
      {"a query of 30 SELECTs (compound select)",
       bySql("CREATE VIEW Many AS " + repeated("SELECT 1 AS x", 30, " UNION ALL ") + ";"), Opens::Refused, {},
       dberr::kNotADatabase},
      {"a function of 40 arguments (function arguments)",
       bySql("CREATE VIEW Args AS SELECT coalesce(" + repeated("1", 40, ", ") + ") AS x;"), Opens::Refused, {},
       dberr::kNotADatabase},
  };
  return cases;
}

class HostileLedgerTest : public ::testing::TestWithParam<size_t> {
 protected:
  void SetUp() override {
    test::makeLedger(path, kTrades);
    hostileLedgers()[GetParam()].make(path);
  }
  const HostileLedger& ledger() const { return hostileLedgers()[GetParam()]; }
  TempDir dir;
  std::string path = dir.file("hostile.mdb");
};

TEST_P(HostileLedgerTest, OpenSaysWhatItHoldsOnceAndNeverRunsIt) {
  ScriptedPrompter prompter;
  LedgerSession session(prompter);
  FakeForm form;
  const std::string before = test::readBytes(path);

  if (ledger().opens == Opens::Refused) {
    EXPECT_EQ(passOver([&] { openLedger(path); }), ledger().error);
    prompter.expect(MsgAnswer::Ok);
    EXPECT_FALSE(session.OpenLedgerTable("Trade", path));
    EXPECT_NE(prompter.shown.at(0).text.find("There was an error in opening the database"), std::string::npos);
    EXPECT_EQ(test::readBytes(path), before);
    return;
  }

  if (ledger().opens == Opens::ReadOnly) prompter.expect(MsgAnswer::Ok);
  ASSERT_TRUE(session.OpenLedgerTable("Trade", path));
  session.LedgerPath = path;
  if (ledger().opens == Opens::AsOwn) {
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_FALSE(session.LedgerDatabase->isReadOnly());
    EXPECT_TRUE(session.LedgerDatabase->foreignObjects().empty());
    form.fillGeneral("2", "MSFT", "2024-06-01", "3", "4", "1", true);
    EXPECT_TRUE(SaveRecord(session, prompter, form));
    EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Trade")[0][0], "4");
    return;
  }

  ASSERT_EQ(prompter.shown.size(), 1u);
  const std::string& told = prompter.shown[0].text;
  EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Information);
  for (const std::string& name : ledger().named) EXPECT_NE(told.find(name), std::string::npos) << told;
  EXPECT_NE(told.find("open for reading only"), std::string::npos);
  EXPECT_TRUE(session.LedgerDatabase->isReadOnly());

  // Said once for the file, however often it is opened again.
  ASSERT_TRUE(OpenAndShow(session, form, "Trade"));
  EXPECT_EQ(form.general(), "1|AAPL|2024-01-02|10|100|5|B");
  MoveToNext(session, form);
  EXPECT_EQ(prompter.shown.size(), 1u);

  // Every change is refused, and nothing the file holds runs.
  for (MsgAnswer a : {MsgAnswer::Ok, MsgAnswer::Ok, MsgAnswer::Yes, MsgAnswer::Ok}) prompter.expect(a);
  form.fillGeneral("2", "MSFT", "2024-06-01", "3", "4", "1", true);
  EXPECT_FALSE(SaveRecord(session, prompter, form));
  EXPECT_FALSE(AddCompany(session, form, "NEW"));
  form.fillGeneral("1", "AAPL", "2024-01-02", "10", "100", "5", true);
  EXPECT_FALSE(DeleteRecord(session, prompter));
  EXPECT_EQ(prompter.pending(), 0u);
  EXPECT_EQ(test::readBytes(path), before);
}

INSTANTIATE_TEST_SUITE_P(Files, HostileLedgerTest, ::testing::Range<size_t>(0, hostileLedgers().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           std::string name;
                           for (char c : std::string(hostileLedgers()[info.param].label))
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

// Opening a ledger again does not describe an unchanged schema again; any
// change since the last open, in place or by another file taking the path,
// is found as if the ledger had never been opened.
TEST(HostileLedger, ObjectsAddedSinceTheLastOpenAreFound) {
  struct Change {
    const char* label;
    const char* sql;
    bool replacesFile;  // the change is made to a copy renamed over the ledger
    const char* foreign;
  };
  const Change changes[] = {
      {"a table added in place", "CREATE TABLE Elsewhere (x)", false, "Elsewhere"},
      {"an index on a ledger table added in place", "CREATE INDEX TradeByDate ON Trade (Date)", false, "TradeByDate"},
      {"another file with a view renamed over it", "CREATE VIEW Elsewhere AS SELECT 1 AS x", true, "Elsewhere"},
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(c.label);
    TempDir dir;
    const std::string path = dir.file("l.mdb");
    test::makeLedger(path, kTrades);
    ASSERT_TRUE(openLedger(path).foreignObjects().empty());
    if (c.replacesFile) {
      const std::string other = dir.file("other.mdb");
      test::makeLedger(other, kTrades);
      plainExec(other, c.sql);
      ASSERT_EQ(std::rename(other.c_str(), path.c_str()), 0);
    } else {
      plainExec(path, c.sql);
    }
    const Database db = openLedger(path);
    ASSERT_EQ(db.foreignObjects().size(), 1u) << describeForeignObjects(db.foreignObjects());
    EXPECT_EQ(db.foreignObjects()[0].name, c.foreign);
    EXPECT_TRUE(db.isReadOnly());
  }
}

// Each readable file opened by a connection that may write: the file's
// triggers still never fire, and no statement can rewrite its schema.
TEST(HostileLedger, ItsTriggersNeverFireOnAWritableConnection) {
  for (const HostileLedger& c : hostileLedgers()) {
    if (c.opens == Opens::Refused) continue;
    SCOPED_TRACE(c.label);
    TempDir dir;
    const std::string path = dir.file("hostile.mdb");
    test::makeLedger(path, kTrades);
    c.make(path);
    Database db = Database::openFile(path, false);
    for (const char* sql : {"INSERT INTO Trade (CompanyID, CompanySymbol) VALUES (9, 'X')",
                            "UPDATE Trade SET Quantity = 1", "DELETE FROM Trade WHERE rowid = 3",
                            "INSERT INTO Companies (CompanySymbol) VALUES ('Y')",
                            "INSERT INTO Bought (CompanySymbol) VALUES ('Z')"})
      passOver([&] { db.executeScript(sql); });
    EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Companies WHERE CompanySymbol = 'PWNED'")[0][0], "0");
    EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Trade")[0][0], "3");
    EXPECT_NE(passOver([&] {
                db.executeScript("PRAGMA writable_schema = ON; UPDATE sqlite_schema SET sql = 'x' WHERE name = 'Trade'");
              }),
              0);
  }
}

// ---- stored queries of the program's own names and shapes --------------------

// A stored query may keep the program's name and columns and still be
// hostile. It opens as the program's own; the engine's settings keep it
// from doing harm when it is read.
struct HostileQuery {
  const char* label;
  std::string sql;
  const char* source;   // what the program reads
  const char* message;  // part of the error reading it gives
};

const std::vector<HostileQuery>& hostileQueries() {
  static const std::vector<HostileQuery> cases = {
      {"a LIKE pattern past the limit (LIKE pattern length)",
       "DROP VIEW [Profit/Loss]; DROP VIEW [Total Sell]; CREATE VIEW [Total Sell] AS SELECT ('abc' LIKE '" +
           std::string(60, '%') + "') AS [Total Sell];",
       "[Total Sell]", "LIKE or GLOB pattern too complex"},
      {"a query compiling to too many instructions (statement size)",
       "DROP VIEW [Profit/Loss]; DROP VIEW [Total Buy]; DROP VIEW Bought; "
       "CREATE VIEW Bought AS SELECT CompanySymbol, Date, Quantity, Price, Commission, CASE Quantity " +
           [] {
             std::string whens;
             for (int i = 0; i < 1500; ++i) whens += " WHEN " + std::to_string(i) + " THEN " + std::to_string(i);
             return whens;
           }() +
           " END AS TotalPurchase FROM Trade; CREATE VIEW [Total Buy] AS SELECT " +
           repeated("(SELECT sum(TotalPurchase) FROM Bought)", 14, " + ") + " AS [Total Buy];",
       "[Total Buy]", "out of memory"},
      {"a text longer than the length limit (length)",
       "UPDATE Trade SET CompanySymbol = zeroblob(2000000) || 'x' WHERE rowid = 2;", "Trade", "too big"},
  };
  return cases;
}

class HostileQueryTest : public ::testing::TestWithParam<size_t> {};

TEST_P(HostileQueryTest, OpensAsTheProgramsOwnButCannotRunAway) {
  const HostileQuery& c = hostileQueries()[GetParam()];
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path, kTrades);
  plainExec(path, c.sql);
  Database db = openLedger(path);
  EXPECT_TRUE(db.foreignObjects().empty()) << describeForeignObjects(db.foreignObjects());
  std::string error;
  try {
    auto rs = db.openRecordset(c.source);
    while (!rs->eof()) {
      for (int i = 0; i < rs->fieldCount(); ++i) (void)rs->value(i);
      rs->moveNext();
    }
  } catch (const DbError& e) {
    error = e.what();
  }
  EXPECT_NE(error.find(c.message), std::string::npos) << "read gave: '" << error << "'";
}

INSTANTIATE_TEST_SUITE_P(Queries, HostileQueryTest, ::testing::Range<size_t>(0, hostileQueries().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           return test::caseName(hostileQueries()[info.param].label);
                         });

// ---- the settings each connection carries -----------------------------------

int g_sideEffects = 0;
void sideEffect(sqlite3_context* context, int, sqlite3_value**) {
  ++g_sideEffects;
  sqlite3_result_int(context, g_sideEffects);
}

TEST(UntrustedFile, StoredQueriesCannotCallFunctionsWithSideEffects) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path, kTrades);
  plainExec(path, "CREATE VIEW Effect AS SELECT bump() AS x;");
  Database db = Database::openFile(path, false);
  // A function of the program's own, without SQLITE_INNOCUOUS: allowed in
  // the program's statements, refused in what the file brings.
  ASSERT_EQ(sqlite3_create_function(detail::connectionOf(db), "bump", 0, SQLITE_UTF8, nullptr, sideEffect, nullptr, nullptr),
            SQLITE_OK);
  g_sideEffects = 0;
  std::string error;
  try {
    db.scalar("SELECT x FROM Effect");
  } catch (const DbError& e) {
    error = e.what();
  }
  EXPECT_NE(error.find("unsafe use of bump()"), std::string::npos) << error;
  EXPECT_EQ(g_sideEffects, 0);
  db.scalar("SELECT bump()");
  EXPECT_EQ(g_sideEffects, 1);
}

TEST(UntrustedFile, NoExtensionNoAttachNoStatementRewritesTheSchema) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path, kTrades);
  plainExec(path, "CREATE VIRTUAL TABLE Search USING fts5(Text);");
  Database db = Database::openFile(path, false);
  const struct {
    const char* sql;
    const char* message;
  } refused[] = {
      {"SELECT load_extension('libz.so.1')", "not authorized"},
      {"ATTACH ':memory:' AS other", "too many attached databases"},
      {"INSERT INTO Search_data VALUES (99, x'00')", "may not be modified"},
      {"PRAGMA writable_schema = ON; DELETE FROM sqlite_schema WHERE name = 'Trade'", "may not be modified"},
      {"SELECT ?1000", "variable number must be between"},
  };
  for (const auto& r : refused) {
    std::string error;
    try {
      db.executeScript(r.sql);
    } catch (const DbError& e) {
      error = e.what();
    }
    EXPECT_NE(error.find(r.message), std::string::npos) << r.sql << " gave '" << error << "'";
  }
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Trade")[0][0], "3");
  EXPECT_EQ(toDisplayText(*db.scalar("PRAGMA mmap_size")), "0");
}

// ---- the list of the program's objects ----------------------------------------

TEST(LedgerObjects, ListTheTemplateTheViewsQueriesAndWhatFeaturesAdd) {
  const KnownObjects& mine = programLedgerObjects();
  for (const char* name : {"Trade", "Companies", "TradeByCompanyID", "Profit/Loss", "TradeSorted", "vbqrypl"})
    EXPECT_NE(mine.find(name), nullptr) << name;
  EXPECT_EQ(mine.find("VBQryBuy")->columns, mine.find("Bought")->columns);
  EXPECT_EQ(templateLedgerObjects().find("TradeSorted"), nullptr);
  // A feature's object: the statement that makes it is the whole entry.
  KnownObjects list;
  list.addStatements("CREATE TABLE UndoStep (Id INTEGER PRIMARY KEY, Statement TEXT); "
                     "CREATE INDEX UndoByStatement ON UndoStep (Statement);");
  EXPECT_EQ(list.find("UndoStep")->columns, (std::vector<std::string>{"Id", "Statement"}));
  EXPECT_EQ(list.find("UndoByStatement")->table, "UndoStep");
}

}  // namespace
}  // namespace ledger
