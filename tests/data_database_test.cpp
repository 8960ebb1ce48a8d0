// Opening ledger files, the schema, stored queries and action statements.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/db_error.h"
#include "engine/statement.h"
#include "engine/transaction.h"
#include "test_ledger.h"
#include "tmpfs_mount.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::TempDir;

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(DatabaseOpen, RefusesWhatIsNotALedgerWithoutChangingIt) {
  TempDir dir;
  writeFile(dir.file("empty.mdb"), "");
  writeFile(dir.file("random.mdb"), std::string(5000, '\x5a') + "random bytes");
  writeFile(dir.file("access.mdb"), std::string("\x00\x01\x00\x00Standard Jet DB\x00", 20) + std::string(4000, '\0'));
  Database::openFile(dir.file("other.db"), true).executeScript("CREATE TABLE notes(x); INSERT INTO notes VALUES(1);");
  test::makeLedger(dir.file("no-companies.mdb"));
  openLedger(dir.file("no-companies.mdb")).executeScript("DROP TABLE Companies");
  Database::openFile(dir.file("short-trade.db"), true)
      .executeScript("CREATE TABLE Trade(CompanyID, CompanySymbol, Quantity); CREATE TABLE Companies(CompanyID, CompanySymbol);");
  std::filesystem::create_directory(dir.file("folder.mdb"));

  const struct {
    const char* file;
    int error;
  } cases[] = {
      {"missing.mdb", dberr::kFileNotFound}, {"folder.mdb", dberr::kCannotOpen},
      {"empty.mdb", dberr::kNotALedger},     {"random.mdb", dberr::kNotADatabase},
      {"access.mdb", dberr::kNotADatabase},  {"other.db", dberr::kNotALedger},
      {"no-companies.mdb", dberr::kNotALedger}, {"short-trade.db", dberr::kNotALedger},
  };
  for (const auto& c : cases) {
    const std::string path = dir.file(c.file);
    const std::string before = std::filesystem::is_regular_file(path) ? test::readBytes(path) : "";
    EXPECT_EQ(passOver([&] { openLedger(path); }), c.error) << c.file;
    if (std::filesystem::is_regular_file(path)) {
      EXPECT_EQ(test::readBytes(path), before) << c.file;
    }
    EXPECT_FALSE(std::filesystem::exists(path + "-journal")) << c.file;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing.mdb")));
}

TEST(DatabaseOpen, ReadOnlyFileOpensForReading) {
  // Permission bits do not stop root, so the ledger lies on a read-only disk.
  test::TmpfsMount disk(256 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << disk.why();
  test::makeLedger(disk.file("l.mdb"), {{1, "AAPL", 1, "B", "2024-01-01", 1, 1}});
  if (!disk.remountReadOnly()) GTEST_SKIP() << disk.why();
  Database db = openLedger(disk.file("l.mdb"));
  EXPECT_TRUE(db.isReadOnly());
  EXPECT_EQ(db.openRecordset("Trade")->recordCount(), 1);
  EXPECT_EQ(passOver([&] { db.execute("DELETE * FROM Trade"); }), dberr::kReadOnly);
  EXPECT_EQ(db.openRecordset("Trade")->recordCount(), 1);
}

TEST(LedgerSchema, TablesAndQueriesHaveTheirColumnsInOrder) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"));
  Database db = openLedger(dir.file("l.mdb"));
  const struct {
    const char* source;
    std::vector<std::string> columns;
  } cases[] = {
      {"Trade", {"CompanyID", "CompanySymbol", "Quantity", "Buy/Sell", "Date", "Price", "Commission"}},
      {"Companies", {"CompanyID", "CompanySymbol"}},
      {"Bought", {"CompanySymbol", "Date", "Quantity", "Price", "Commission", "TotalPurchase"}},
      {"Sold", {"CompanySymbol", "Date", "Quantity", "Price", "Commission", "TotalSell"}},
      {"[Total Buy]", {"Total Buy"}},
      {"[Total Sell]", {"Total Sell"}},
      {"[Profit/Loss]", {"Profit/Loss", "Percentage"}},
  };
  for (const auto& c : cases) {
    auto rs = db.openRecordset(c.source);
    std::vector<std::string> names;
    for (int i = 0; i < rs->fieldCount(); ++i) names.push_back(rs->fieldName(i));
    EXPECT_EQ(names, c.columns) << c.source;
  }
  EXPECT_GE(db.openRecordset("Companies")->recordCount(), 5);
}

TEST(LedgerSchema, QueriesComputeTotalsAndProfit) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5},
                                       {1, "AAPL", 4, "S", "2024-02-03", 150, 10},
                                       {2, "MSFT", 2, "B", "2024-03-04", 50, 0}});
  EXPECT_EQ(test::readAll(dir.file("l.mdb"), "SELECT TotalPurchase FROM Bought"),
            (std::vector<std::vector<std::string>>{{"1005"}, {"100"}}));
  EXPECT_EQ(test::readAll(dir.file("l.mdb"), "SELECT TotalSell FROM Sold"), (std::vector<std::vector<std::string>>{{"590"}}));
  // 590 - 1105 = -515; -515 * 100 / 1105
  EXPECT_EQ(test::readAll(dir.file("l.mdb"), "SELECT * FROM [Profit/Loss]"),
            (std::vector<std::vector<std::string>>{{"-515", "-46.60633484162896"}}));

  TempDir empty;
  test::makeLedger(empty.file("l.mdb"));
  EXPECT_EQ(test::readAll(empty.file("l.mdb"), "SELECT * FROM [Total Buy], [Total Sell], [Profit/Loss]"),
            (std::vector<std::vector<std::string>>{{"", "", "", ""}}));
}

TEST(LedgerSchema, RefusesMalformedRowsAtTheEngine) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"));
  Database db = openLedger(dir.file("l.mdb"));
  for (const char* bad : {"INSERT INTO Trade VALUES (1, 'A', 'ten', 'B', '2024-01-01', 1, 1)",
                          "INSERT INTO Trade VALUES (1, 'A', 1, 'X', '2024-01-01', 1, 1)",
                          "INSERT INTO Trade VALUES (1, 'A', 1, 'B', '2024-02-30', 1, 1)",
                          "INSERT INTO Trade VALUES (1, 'A', 1, 'B', '1/5/2024', 1, 1)"}) {
    EXPECT_EQ(passOver([&] { db.execute(bad); }), dberr::kConstraint) << bad;
  }
  EXPECT_EQ(db.openRecordset("Trade")->recordCount(), 0);
}

TEST(QueryDefs, LookUpCreateAndSet) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  Database db = openLedger(dir.file("l.mdb"));
  EXPECT_EQ(passOver([&] { db.queryDef("TradeSorted"); }), dberr::kItemNotFound);
  db.createQueryDef("TradeSorted", "SELECT * From Trade ORDER BY CompanyID;");
  EXPECT_EQ(db.queryDef("TradeSorted").sql(), "SELECT * From Trade ORDER BY CompanyID");
  EXPECT_EQ(passOver([&] { db.createQueryDef("TradeSorted", "SELECT 1"); }), dberr::kObjectExists);

  db.queryDef("TradeSorted").setSql("SELECT * FROM [Bought] WHERE Date = #1/2/2024#");
  EXPECT_EQ(db.queryDef("TradeSorted").sql(), "SELECT * FROM [Bought] WHERE Date = '2024-01-02'");
  EXPECT_EQ(db.openRecordset("TradeSorted")->recordCount(), 1);

  // A text the engine refuses leaves the query as it was.
  EXPECT_NE(passOver([&] { db.queryDef("TradeSorted").setSql("SELECT FROM WHERE"); }), 0);
  EXPECT_EQ(db.queryDef("TradeSorted").sql(), "SELECT * FROM [Bought] WHERE Date = '2024-01-02'");

  // The queries that come with the ledger are query definitions too.
  EXPECT_TRUE(db.hasQueryDef("Profit/Loss"));
  EXPECT_FALSE(db.hasQueryDef("Trade"));
  // Another connection sees the stored query.
  EXPECT_EQ(openLedger(dir.file("l.mdb")).openRecordset("[TradeSorted]")->recordCount(), 1);
}

TEST(ActionStatements, BindParametersAndCountChanges) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), {{1, "O'Neil; DROP TABLE Trade", 10, "B", "2024-01-02", 100, 5},
                                       {1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  Database db = openLedger(dir.file("l.mdb"));
  const Value params[] = {std::string("O'Neil; DROP TABLE Trade")};
  EXPECT_EQ(db.execute("DELETE * FROM Trade WHERE CompanySymbol = ? AND Date = #2024-01-02#", params), 1);
  EXPECT_EQ(db.openRecordset("Trade")->recordCount(), 1);
}

// A write the caller leaves uncommitted is taken back; a snapshot joins a
// transaction already open, or holds one of its own for its scope.
TEST(Transactions, UncommittedWritesGoAndSnapshotsHold) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  Database db = openLedger(dir.file("l.mdb"));
  {
    WriteTransaction tx(db);
    db.executeScript("DELETE FROM Trade");
    const ReadSnapshot inside(db);
    EXPECT_TRUE(inside.held());
  }
  EXPECT_FALSE(db.inTransaction());
  EXPECT_EQ(test::readAll(dir.file("l.mdb"), "SELECT count(*) FROM Trade")[0][0], "1");
  {
    const ReadSnapshot snapshot(db);
    EXPECT_TRUE(snapshot.held());
    EXPECT_TRUE(db.inTransaction());
  }
  EXPECT_FALSE(db.inTransaction());
}

// A value bound from another statement's column keeps its storage class.
TEST(Statements, BindAColumnAsStoredAndRefuseWhatCannotBePrepared) {
  Database db = Database::openFile(":memory:", true);
  db.executeScript("CREATE TABLE t(x); INSERT INTO t VALUES (1), (1.0), ('1'), (x'31'), (NULL);");
  Statement from(db, "SELECT x FROM t ORDER BY rowid");
  Statement type(db, "SELECT typeof(?1)");
  std::vector<std::string> types;
  while (from.step()) {
    type.bindColumn(1, from, 0);
    ASSERT_TRUE(type.step());
    types.emplace_back(type.text(0));
    type.reset();
  }
  EXPECT_EQ(types, (std::vector<std::string>{"integer", "real", "text", "blob", "null"}));
  EXPECT_FALSE(Statement::tryPrepare(db, "SELECT * FROM missing").has_value());
  EXPECT_THROW(Statement(db, "SELECT * FROM missing"), DbError);
}

// A connection keeps its statements between uses; one kept from before a
// table changed elsewhere still names the table's columns as they are now,
// and a table dropped since is still refused.
TEST(Statements, KeptFromAnEarlierUseTheyFollowTheSchema) {
  TempDir dir;
  const std::string path = dir.file("s.db");
  Database db = Database::openFile(path, true);
  db.executeScript("CREATE TABLE t(x); CREATE TABLE u(y);");
  const auto columnsNow = [&] {
    Statement stmt(db, "SELECT * FROM t");
    std::vector<std::string> names;
    for (int i = 0; i < stmt.columnCount(); ++i) names.push_back(stmt.columnName(i));
    return names;
  };
  EXPECT_EQ(columnsNow(), (std::vector<std::string>{"x"}));
  Database other = Database::openFile(path, false);
  other.executeScript("ALTER TABLE t ADD COLUMN z");
  db.scalar("SELECT count(*) FROM u");  // the change is seen by this connection
  EXPECT_EQ(columnsNow(), (std::vector<std::string>{"x", "z"}));
  other.executeScript("DROP TABLE t");
  EXPECT_THROW(Statement(db, "SELECT * FROM t").step(), DbError);
}

}  // namespace
}  // namespace ledger
