// The figures the program keeps for Profit/Loss and the history: after
// every kind of write they are what a pass over the trades gives, exactly;
// a write by another client is noticed; a ledger without them, a read-only
// one and one in WAL mode are read as before.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "access/access_conversion.h"
#include "ledger/empty_ledger.h"
#include "ledger/event_writes.h"
#include "ledger/figures_seal.h"
#include "ledger/kept_figures.h"
#include "ledger/ledger_objects.h"
#include "ledger/ledger_writes.h"
#include "ledger/price_writes.h"
#include "engine/sqlite_util.h"
#include "test_ledger.h"
#include "tmpfs_mount.h"
#include "ledger/undo_journal.h"
#include "ledger/view_queries.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_change.h"

namespace ledger {
namespace {

using test::TempDir;
using test::TradeRow;

constexpr double kInf = std::numeric_limits<double>::infinity();
const std::vector<std::string> kSymbols = {"AAPL", "IBM", "KO", "O'NEIL", "NEW", "ZZZ"};

// Totals as the user sees them; Null and "not a number" told apart.
std::string describe(const TradeTotals& t) {
  const auto show = [](const std::optional<Amount>& a) {
    if (!a) return std::string("Null");
    return a->text().value_or("NaN");
  };
  return show(t.totalBuy) + " / " + show(t.totalSell) + " / " + show(t.profitLoss()) + " / " +
         percentageText(t.percentage()).value_or("Null");
}

// The kept figures are current and equal the pass over the trades, for the
// ledger and for each company; the kept count of trades is Trade's.
void expectKeptEqualScan(Database& db, const std::string& context) {
  const auto trades = db.scalar("SELECT count(*) FROM Trade");
  ASSERT_TRUE(trades.has_value());
  EXPECT_EQ(readKeptTradeCount(db), std::get<std::int64_t>(*trades)) << context;
  std::vector<std::optional<std::string_view>> symbols = {std::nullopt};
  for (const std::string& s : kSymbols) symbols.emplace_back(s);
  for (const auto& symbol : symbols) {
    const auto kept = readKeptTotals(db, symbol);
    ASSERT_TRUE(kept.has_value()) << context << ": not current for " << symbol.value_or("the ledger");
    EXPECT_EQ(describe(*kept), describe(readTradeTotals(db, symbol)))
        << context << ", " << symbol.value_or("the ledger");
  }
}

void runOutside(const std::string& path, const std::string& sql) {
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  char* error = nullptr;
  const int rc = sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, &error);
  EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(raw);
}

bool hasKeptTable(const std::string& path) {
  return !test::readAll(path, "SELECT name FROM sqlite_schema WHERE name = 'KeptTotals'").empty();
}

Trade trade(const std::string& symbol, TradeSide side, double quantity, double price, double commission) {
  Trade t;
  t.companyId = 1;
  t.symbol = symbol;
  t.date = "2024-03-04";
  t.side = side;
  t.quantity = quantity;
  t.price = price;
  t.commission = commission;
  return t;
}

// Sets the key that seals the figures for one test and takes it away
// when the test ends, also when it fails.
class ScopedKey {
 public:
  explicit ScopedKey(const std::optional<KeptFiguresKey>& key) { setKeptFiguresKey(key); }
  ~ScopedKey() { setKeptFiguresKey(std::nullopt); }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
};

KeptFiguresKey keyOf(unsigned char fill) {
  KeptFiguresKey key;
  key.fill(fill);
  return key;
}

class KeptFiguresTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100.1, 4.95},
                            {1, "AAPL", 4, "S", "2024-01-03", 150.3, 0.1},
                            {2, "IBM", 3, "B", "2024-01-04", 0.1, 0},
                            {2, "IBM", 1e300, "S", "2024-01-05", 1e300, 0},
                            {3, "KO", kInf, "B", "2024-01-06", 1, 0},  // another program's infinity
                            {4, "O'NEIL", 7, "S", "2024-01-07", 3.3, 1}});
    // A Null in a trade: the sum passes over it.
    runOutside(path,
               "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, Commission) "
               "VALUES (1, 'AAPL', NULL, 'B', '2024-01-08', 5, 1)");
  }

  ScopedKey key{keyOf(7)};
  TempDir dir;
  std::string path = dir.file("l.mdb");
};

// ---- every write of the program ---------------------------------------------

struct WriteCase {
  const char* name;
  std::function<void(Database&)> write;
};
void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

std::int64_t firstRowOf(Database& db, const std::string& symbol) {
  const Value key[] = {symbol};
  return std::get<std::int64_t>(*db.scalar("SELECT rowid FROM Trade WHERE CompanySymbol = ? ORDER BY rowid", key));
}

Trade shown(Database& db, std::int64_t rowid) { return readTrade(db, rowid).value(); }

void editFirst(Database& db, const std::string& symbol, const std::function<void(Trade&)>& change) {
  const std::int64_t rowid = firstRowOf(db, symbol);
  const Trade before = shown(db, rowid);
  Trade after = before;
  change(after);
  updateTrade(db, rowid, before, after);
}

const WriteCase kWrites[] = {
    {"new trade", [](Database& db) { insertTrade(db, trade("AAPL", TradeSide::Buy, 5, 99.99, 1.5)); }},
    {"new trade of a new company",
     [](Database& db) { insertTrade(db, trade("NEW", TradeSide::Sell, 2, 0.3, 0), NewCompany::Add); }},
    {"edit of the numbers", [](Database& db) { editFirst(db, "AAPL", [](Trade& t) { t.price = 0.07; }); }},
    {"edit moving a trade to another company",
     [](Database& db) { editFirst(db, "AAPL", [](Trade& t) { t.symbol = "IBM"; }); }},
    {"edit of the side", [](Database& db) { editFirst(db, "IBM", [](Trade& t) { t.side = TradeSide::Sell; }); }},
    {"edit of symbol and side at once",
     [](Database& db) {
       editFirst(db, "O'NEIL", [](Trade& t) {
         t.symbol = "ZZZ";
         t.side = TradeSide::Buy;
       });
     }},
    {"edit making a price infinite", [](Database& db) { editFirst(db, "IBM", [](Trade& t) { t.price = -kInf; }); }},
    {"edit of the infinite trade to a finite one",
     [](Database& db) { editFirst(db, "KO", [](Trade& t) { t.quantity = 2; }); }},
    {"delete", [](Database& db) { const auto r = firstRowOf(db, "AAPL"); deleteTrade(db, r, shown(db, r)); }},
    {"delete of a company's last trade",
     [](Database& db) { const auto r = firstRowOf(db, "O'NEIL"); deleteTrade(db, r, shown(db, r)); }},
    {"delete of the infinite trade",
     [](Database& db) { const auto r = firstRowOf(db, "KO"); deleteTrade(db, r, shown(db, r)); }},
    {"import",
     [](Database& db) {
       std::vector<Trade> trades;
       for (int i = 0; i < 300; ++i)
         trades.push_back(trade(i % 3 ? "NEW" : "KO", i % 2 ? TradeSide::Buy : TradeSide::Sell, i + 1,
                                0.01 * (i + 1), 0.1));
       ASSERT_TRUE(importTrades(db, trades, {"NEW"}));
     }},
    {"add company", [](Database& db) { insertCompany(db, "ZZZ"); }},
    {"undo of a new trade",
     [](Database& db) {
       insertTrade(db, trade("AAPL", TradeSide::Sell, 1, 1, 1));
       ASSERT_TRUE(undoStep(db));
     }},
    {"undo of an edit of symbol and side",
     [](Database& db) {
       editFirst(db, "AAPL", [](Trade& t) {
         t.symbol = "KO";
         t.side = TradeSide::Sell;
       });
       ASSERT_TRUE(undoStep(db));
     }},
    {"undo of a delete",
     [](Database& db) {
       const auto r = firstRowOf(db, "IBM");
       deleteTrade(db, r, shown(db, r));
       ASSERT_TRUE(undoStep(db));
     }},
    {"undo and redo of an import",
     [](Database& db) {
       ASSERT_TRUE(importTrades(db, {trade("NEW", TradeSide::Buy, 3, 0.1, 0), trade("IBM", TradeSide::Sell, 1, 2, 0)},
                                {"NEW"}));
       ASSERT_TRUE(undoStep(db));
       ASSERT_TRUE(redoStep(db));
     }},
    {"redo of an edit",
     [](Database& db) {
       editFirst(db, "KO", [](Trade& t) { t.symbol = "AAPL"; });
       ASSERT_TRUE(undoStep(db));
       ASSERT_TRUE(redoStep(db));
     }},
    {"the history view's queries", [](Database& db) { BuildHistoryQueries(db, "IBM"); }},
    {"the history view's queries in a ledger that lacked them",
     [](Database& db) {
       for (const char* name : kHistoryQueryNames) db.executeScript(std::string("DROP VIEW IF EXISTS ") + name);
       keepLedgerTotals(db);
       BuildHistoryQueries(db, "O'NEIL");
     }},
    {"the datasheet's query", [](Database& db) { EnsureTradeSorted(db); }},
    // An event's step carries no trade; a dividend's shares bought are one.
    {"a split, undone and redone",
     [](Database& db) {
       addSplit(db, {"AAPL", "2024-06-03", 2, 1});
       ASSERT_TRUE(undoStep(db));
       ASSERT_TRUE(redoStep(db));
     }},
    {"a dividend with shares bought, and its undo",
     [](Database& db) {
       const CashDividend dividend{"AAPL", "2024-07-01", *Decimal::parse("20"), {}, *Decimal::parse("2"),
                                   *Decimal::parse("9.5")};
       addDividend(db, dividend);
       ASSERT_TRUE(undoStep(db));
     }},
    // A price's step carries no trade either.
    {"a price added, replaced, deleted, the delete undone and redone",
     [](Database& db) {
       addPrice(db, {"AAPL", "2024-07-01", *Decimal::parse("190.25")});
       addPrice(db, {"AAPL", "2024-07-01", *Decimal::parse("191")}, SameDate::Replace);
       deletePrice(db, "AAPL", "2024-07-01");
       ASSERT_TRUE(undoStep(db));
       ASSERT_TRUE(redoStep(db));
     }},
};

class KeptAfterWriteTest : public KeptFiguresTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(KeptAfterWriteTest, EqualTheTradesExactly) {
  Database db = openLedger(path);
  ASSERT_TRUE(keepLedgerTotals(db));
  expectKeptEqualScan(db, "kept");
  GetParam().write(db);
  expectKeptEqualScan(db, GetParam().name);
  // So does another connection, as the next view opened finds them.
  Database again = openLedger(path);
  expectKeptEqualScan(again, std::string(GetParam().name) + ", opened again");
}

INSTANTIATE_TEST_SUITE_P(EveryWrite, KeptAfterWriteTest, ::testing::ValuesIn(kWrites),
                         [](const auto& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c; ++c)
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           return name;
                         });

// ---- ledgers made afresh -------------------------------------------------------

// Trade and Companies of an older ledger, for the conversion.
class TwoTables final : public TableSource {
 public:
  std::vector<std::string> tableNames() override { return {"Companies", "Trade"}; }
  SourceTable readTable(const std::string& name) override {
    if (name == "Companies") return {{"CompanyID", "CompanySymbol"}, {{std::int64_t{5}, std::string("IBM")}}};
    return {{"CompanyID", "CompanySymbol", "Quantity", "Buy/Sell", "Date", "Price", "Commission"},
            {{std::int64_t{5}, std::string("IBM"), 2.0, std::string("B"), std::string("2024-05-06"), 0.1, 0.2}}};
  }
};

struct MadeLedgerCase {
  const char* name;
  std::function<void(const std::string& templateFile, const std::string& target)> make;
};

// A ledger made from a template whose kept figures are current gets the
// trades it is made with, and figures that never show the template's.
TEST_F(KeptFiguresTest, ALedgerMadeFromATemplateShowsItsOwnTrades) {
  const MadeLedgerCase cases[] = {
      {"a new ledger", [](const std::string& from, const std::string& to) { writeEmptyLedger(from, to); }},
      {"a converted ledger",
       [](const std::string& from, const std::string& to) {
         TwoTables source;
         ASSERT_TRUE(convertAccessLedger(source, to, from, {}).made);
       }},
  };
  for (const MadeLedgerCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    {
      Database templateLedger = openLedger(path);
      ASSERT_TRUE(keepLedgerTotals(templateLedger));
    }
    const std::string made = dir.file("made.mdb");
    c.make(path, made);
    Database db = openLedger(made);
    if (const auto kept = readKeptTotals(db)) {
      EXPECT_EQ(describe(*kept), describe(readTradeTotals(db)));
    }
    EXPECT_EQ(describe(readLedgerTotals(db)), describe(readTradeTotals(db)));
    EXPECT_EQ(describe(readLedgerTotals(db, "AAPL")), describe(readTradeTotals(db, "AAPL")));
  }
}

// ---- writes by others --------------------------------------------------------

TEST_F(KeptFiguresTest, AWriteFromOutsideIsNoticedAndTheFiguresReadAfresh) {
  const struct {
    const char* name;
    const char* sql;
  } cases[] = {
      {"a new trade", "INSERT INTO Trade (CompanySymbol, Quantity, [Buy/Sell], Price, Commission) "
                      "VALUES ('AAPL', 1, 'B', 1, 0.5)"},
      {"an edit", "UPDATE Trade SET Price = Price * 2 WHERE CompanySymbol = 'IBM'"},
      {"a delete", "DELETE FROM Trade WHERE CompanySymbol = 'KO'"},
      {"every trade deleted", "DELETE FROM Trade"},
      {"the kept figures themselves", "UPDATE KeptTotals SET ExactSum = '1' WHERE Side = 'B'"},
      {"an infinity", "UPDATE Trade SET Commission = 1e999 WHERE CompanySymbol = 'AAPL'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100.1, 4.95},
                            {2, "IBM", 3, "S", "2024-01-04", 0.1, 0},
                            {3, "KO", 1, "B", "2024-01-06", 1, 0}});
    Database db = openLedger(path);
    ASSERT_TRUE(keepLedgerTotals(db));
    const std::string before = describe(*readKeptTotals(db));
    runOutside(path, c.sql);
    EXPECT_FALSE(readKeptTotals(db).has_value());
    EXPECT_FALSE(readKeptTradeCount(db).has_value());
    const TradeTotals scan = readTradeTotals(db);
    EXPECT_EQ(describe(readLedgerTotals(db)), describe(scan));
    if (std::string(c.name) != "the kept figures themselves") {
      EXPECT_NE(describe(scan), before);
    }
    // Read afresh, they are kept again: the next open is quick.
    expectKeptEqualScan(db, c.name);
  }
}

TEST_F(KeptFiguresTest, AnOutsideWriteBetweenTwoOfTheProgramsIsNotTakenForTheProgramsOwn) {
  Database db = openLedger(path);
  ASSERT_TRUE(keepLedgerTotals(db));
  runOutside(path, "DELETE FROM Trade WHERE CompanySymbol = 'AAPL'");
  insertTrade(db, trade("IBM", TradeSide::Buy, 1, 1, 0));
  EXPECT_FALSE(readKeptTotals(db).has_value());
  EXPECT_EQ(describe(readLedgerTotals(db)), describe(readTradeTotals(db)));
  expectKeptEqualScan(db, "read afresh");
}

// ---- figures the program did not write --------------------------------------------

// The file's change counter, header bytes 24 to 27.
std::uint32_t changeCounterOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  unsigned char header[28] = {};
  file.read(reinterpret_cast<char*>(header), sizeof header);
  return static_cast<std::uint32_t>(header[24]) << 24 | static_cast<std::uint32_t>(header[25]) << 16 |
         static_cast<std::uint32_t>(header[26]) << 8 | header[27];
}

// Another program writes figures in one commit and stamps them with the
// counter that commit gives the file (the counter + 1), as the program
// stamps its own. `rows` changes KeptTotals (made when missing).
void forgeFigures(const std::string& path, const std::string& rows) {
  const std::string stamp = std::to_string(changeCounterOf(path) + 1);
  runOutside(path, std::string("BEGIN; ") + kKeptTotalsSchema + rows +
                       "; UPDATE KeptTotals SET Summed = " + stamp + " WHERE Side = 'Stamp'" +
                       "; INSERT INTO KeptTotals SELECT NULL, 'Stamp', '0', " + stamp +
                       ", 0, 0, 0 WHERE NOT EXISTS (SELECT 1 FROM KeptTotals WHERE Side = 'Stamp'); COMMIT");
}

// AAPL's purchases are 10 x 100.1 + 4.95 = 1005.95 (the trade without a
// quantity is passed over); the forged rows claim 1.
TEST_F(KeptFiguresTest, FiguresTheProgramDidNotSealAreSummedFromTheTrades) {
  const char* forgedAapl =
      "; DELETE FROM KeptTotals WHERE CompanySymbol = 'AAPL' AND Side = 'B'"
      "; INSERT INTO KeptTotals VALUES ('AAPL', 'B', '1', 1, 0, 0, 0)";
  const struct {
    const char* name;
    std::optional<unsigned char> keptUnder;  // the key of an earlier keep, if any
    std::string rows;
  } cases[] = {
      // A ledger of the previous version, its stamp a plain counter.
      {"written by hand into a ledger that kept none", std::nullopt, forgedAapl},
      {"a row changed after the program kept them", 7, forgedAapl},
      {"the program's rows, a trade changed and the stamp moved on", 7,
       "; UPDATE Trade SET Price = 1 WHERE CompanySymbol = 'AAPL'"},
      {"kept under another user's key", 8, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    if (c.keptUnder) {
      ScopedKey other(keyOf(*c.keptUnder));
      Database db = openLedger(path);
      ASSERT_TRUE(keepLedgerTotals(db));
    }
    setKeptFiguresKey(keyOf(7));
    if (!c.rows.empty()) forgeFigures(path, c.rows);
    Database db = openLedger(path);
    EXPECT_FALSE(readKeptTotals(db).has_value());
    EXPECT_EQ(describe(readLedgerTotals(db)), describe(readTradeTotals(db)));
    EXPECT_EQ(describe(readLedgerTotals(db, "AAPL")), describe(readTradeTotals(db, "AAPL")));
    if (std::string(c.name) != "the program's rows, a trade changed and the stamp moved on") {
      EXPECT_EQ(readLedgerTotals(db, "AAPL").totalBuy->text(), "1005.95");
    }
    // Summed once, they are kept under this user's key.
    expectKeptEqualScan(db, c.name);
  }
}

TEST_F(KeptFiguresTest, WithoutAKeyNoFiguresAreKeptOrTrusted) {
  {
    Database db = openLedger(path);
    ASSERT_TRUE(keepLedgerTotals(db));
  }
  setKeptFiguresKey(std::nullopt);
  Database db = openLedger(path);
  EXPECT_FALSE(readKeptTotals(db).has_value());
  EXPECT_FALSE(keepLedgerTotals(db));
  insertTrade(db, trade("AAPL", TradeSide::Buy, 1, 1, 0));
  EXPECT_EQ(describe(readLedgerTotals(db, "AAPL")), describe(readTradeTotals(db, "AAPL")));

  test::makeLedger(path, {{1, "AAPL", 1, "B", "2024-01-02", 1, 0}});
  Database fresh = openLedger(path);
  EXPECT_EQ(describe(readLedgerTotals(fresh)), describe(readTradeTotals(fresh)));
  EXPECT_FALSE(hasKeptTable(path));
}

// ---- kept figures not as the program writes them --------------------------------

TEST_F(KeptFiguresTest, RowsNotAsTheProgramWritesThemAreNotTrusted) {
  const char* cases[] = {
      "UPDATE KeptTotals SET ExactSum = 'abc' WHERE Side = 'B'",
      "UPDATE KeptTotals SET Summed = -1 WHERE Side = 'S'",
      "UPDATE KeptTotals SET Summed = 'two' WHERE Side = 'B'",
      "UPDATE KeptTotals SET Side = 'X' WHERE Side = 'S'",
      "INSERT INTO KeptTotals VALUES (NULL, 'Stamp', '0', 1, 0, 0, 0)",
      "UPDATE KeptTotals SET PlusInfinite = 5 WHERE Side = 'B'",  // more infinities than trades summed
      "DELETE FROM KeptTotals WHERE Side = 'Stamp'",
  };
  for (const char* sql : cases) {
    SCOPED_TRACE(sql);
    SetUp();
    Database db = openLedger(path);
    ASSERT_TRUE(keepLedgerTotals(db));
    {
      // Written by the program itself, so the stamp says current.
      LedgerChange change(db);
      db.executeScript(sql);
      change.commit();
    }
    EXPECT_FALSE(readKeptTotals(db).has_value());
    EXPECT_EQ(describe(readLedgerTotals(db)), describe(readTradeTotals(db)));
    expectKeptEqualScan(db, sql);
  }
}

// A table of the program's shape made by another program may refuse a
// kept row; the save goes through and the figures are read afresh.
TEST_F(KeptFiguresTest, AKeptRowTheTableRefusesLeavesTheFiguresOutOfDate) {
  runOutside(path,
             "CREATE TABLE KeptTotals (CompanySymbol TEXT, Side TEXT NOT NULL, ExactSum TEXT NOT NULL, "
             "Summed INTEGER NOT NULL CHECK (Summed < 3 OR Side IN ('Stamp', 'Rows')), PlusInfinite INTEGER NOT NULL, "
             "MinusInfinite INTEGER NOT NULL, NotANumber INTEGER NOT NULL)");
  Database db = openLedger(path);
  ASSERT_TRUE(db.foreignObjects().empty());
  ASSERT_TRUE(keepLedgerTotals(db));
  insertTrade(db, trade("AAPL", TradeSide::Buy, 1, 1, 0));
  expectKeptEqualScan(db, "two purchases of AAPL");
  insertTrade(db, trade("AAPL", TradeSide::Buy, 2, 2, 0));  // a third: refused by the table
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Trade WHERE CompanySymbol = 'AAPL' AND Price = 2"),
            (std::vector<std::vector<std::string>>{{"1"}}));
  EXPECT_FALSE(readKeptTotals(db).has_value());
  EXPECT_EQ(describe(readLedgerTotals(db)), describe(readTradeTotals(db)));
  EXPECT_EQ(describe(readLedgerTotals(db, "AAPL")), describe(readTradeTotals(db, "AAPL")));
}

// ---- ledgers that keep no figures -------------------------------------------

TEST_F(KeptFiguresTest, ALedgerWithoutTheTableWorksAsBeforeAndGetsItFromTheFirstRead) {
  Database db = openLedger(path);
  insertTrade(db, trade("AAPL", TradeSide::Buy, 1, 2, 3));
  ASSERT_TRUE(undoStep(db));
  BuildHistoryQueries(db, "AAPL");
  EXPECT_FALSE(hasKeptTable(path)) << "saves alone make no table";
  EXPECT_FALSE(readKeptTotals(db).has_value());
  EXPECT_EQ(describe(readLedgerTotals(db, "AAPL")), describe(readTradeTotals(db, "AAPL")));
  EXPECT_TRUE(hasKeptTable(path));
  expectKeptEqualScan(db, "after the first read");
}

void expectReadByAPass(Database& db) {
  ASSERT_TRUE(db.isReadOnly());
  for (const std::optional<std::string_view> symbol : {std::optional<std::string_view>(),
                                                       std::optional<std::string_view>("AAPL")})
    EXPECT_EQ(describe(readLedgerTotals(db, symbol)), describe(readTradeTotals(db, symbol)));
  EXPECT_FALSE(keepLedgerTotals(db));
}

TEST_F(KeptFiguresTest, ALedgerWithAnotherProgramsObjectsIsReadByAPassAndNeverWritten) {
  runOutside(path, "CREATE TABLE Other (x)");
  {
    Database db = openLedger(path);
    expectReadByAPass(db);
  }
  EXPECT_FALSE(hasKeptTable(path));
}

TEST(KeptFiguresReadOnly, AReadOnlyFileIsReadByAPass) {
  // Permission bits do not stop root, so the ledger lies on a read-only disk.
  test::TmpfsMount disk(256 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << disk.why();
  test::makeLedger(disk.file("l.mdb"), {{1, "AAPL", 1, "B", "2024-01-01", 1, 1},
                                        {1, "AAPL", kInf, "S", "2024-01-01", 1, 1}});
  if (!disk.remountReadOnly()) GTEST_SKIP() << disk.why();
  Database db = openLedger(disk.file("l.mdb"));
  expectReadByAPass(db);
  EXPECT_EQ(describe(readLedgerTotals(db)), "2 / INF / INF / INF");
}

TEST_F(KeptFiguresTest, AFileInWalModeIsNeverTrusted) {
  {
    Database db = openLedger(path);
    ASSERT_TRUE(keepLedgerTotals(db));
  }
  runOutside(path, "PRAGMA journal_mode = WAL");
  Database db = openLedger(path);
  // Commits in WAL mode leave the file's counter alone.
  runOutside(path, "DELETE FROM Trade WHERE CompanySymbol = 'AAPL'");
  EXPECT_FALSE(readKeptTotals(db).has_value());
  EXPECT_EQ(describe(readLedgerTotals(db)), describe(readTradeTotals(db)));
  EXPECT_EQ(describe(readLedgerTotals(db, "AAPL")), "Null / Null / Null / Null");
  insertTrade(db, trade("IBM", TradeSide::Buy, 1, 1, 0));
  EXPECT_FALSE(readKeptTotals(db).has_value());
  EXPECT_FALSE(keepLedgerTotals(db));
}

// ---- the list of the program's objects ------------------------------------------

TEST_F(KeptFiguresTest, ALedgerKeepingFiguresIsTheProgramsOwnAndTheTemplateHasNone) {
  EXPECT_EQ(templateLedgerObjects().find("KeptTotals"), nullptr);
  EXPECT_NE(programLedgerObjects().find("KeptTotals"), nullptr);
  EXPECT_FALSE(hasKeptTable(path)) << "a new ledger starts without";
  {
    Database db = openLedger(path);
    ASSERT_TRUE(keepLedgerTotals(db));
  }
  ASSERT_TRUE(hasKeptTable(path));
  Database db = openLedger(path);
  EXPECT_TRUE(db.foreignObjects().empty());
  EXPECT_FALSE(db.isReadOnly());
}

// The figures the views show come from the kept ones while they are
// current: a kept row changed by the program (so still stamped current)
// shows through.
TEST_F(KeptFiguresTest, TheViewsReadTheKeptFiguresWhileTheyAreCurrent) {
  Database db = openLedger(path);
  ASSERT_TRUE(keepLedgerTotals(db));
  {
    LedgerChange change(db);
    db.executeScript("UPDATE KeptTotals SET ExactSum = '12.5' WHERE CompanySymbol = 'O''NEIL' AND Side = 'S'");
    change.commit();
  }
  EXPECT_EQ(readHistoryFigures(db, "O'NEIL").totalSell, "12.5");
  // Commits that change nothing leave the file as it was.
  runOutside(path, "UPDATE Trade SET Date = '2024-02-02' WHERE 0");
  runOutside(path, "UPDATE Trade SET Date = Date WHERE CompanySymbol = 'KO'");
  EXPECT_EQ(readHistoryFigures(db, "O'NEIL").totalSell, "12.5");
  runOutside(path, "UPDATE Trade SET Date = '2024-02-02' WHERE CompanySymbol = 'KO'");
  EXPECT_EQ(readHistoryFigures(db, "O'NEIL").totalSell, "22.1");  // read afresh: 7 x 3.3 - 1
}

// The seal is HMAC-SHA256: a ledger sealed by an earlier build must still
// check. RFC 4231's first case (a 20-byte key, padded with zeros as HMAC
// pads every key, so the same under our 32-byte one).
TEST(FiguresSeal, IsHmacSha256) {
  KeptFiguresKey key{};
  for (int i = 0; i < 20; ++i) key[static_cast<size_t>(i)] = 0x0b;
  EXPECT_EQ(sealText(key, "Hi There"), "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
}

}  // namespace
}  // namespace ledger
