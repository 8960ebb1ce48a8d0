// Cursor rules and row writes of Recordset, over a table and a stored query.
#include <gtest/gtest.h>

#include <functional>

#include "case_names.h"
#include "engine/db_error.h"
#include "test_ledger.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::TempDir;
using test::TradeRow;

const std::vector<TradeRow> kThree = {
    {1, "AAPL", 10, "B", "2024-01-02", 100, 5},
    {2, "MSFT", 20, "S", "2024-02-03", 200, 6},
    {1, "AAPL", 30, "B", "2024-03-04", 300, 7},
};

int errorOf(const std::function<void()>& f) { return passOver(f); }

// What the cursor shows: "BOF", "EOF", "BOF+EOF" or the current row's
// symbol and quantity.
std::string where(Recordset& rs) {
  std::string s;
  if (rs.bof()) s += "BOF";
  if (rs.eof()) s += s.empty() ? "EOF" : "+EOF";
  if (!s.empty()) return s;
  return std::get<std::string>(rs.value("CompanySymbol")) + "/" + toDisplayText(rs.value("Quantity"));
}

struct Step {
  const char* move;  // "next", "prev", "first", "last"
  int error;         // expected DbError number, 0 for none
  const char* after;
};

void apply(Recordset& rs, const Step& step) {
  const std::string m = step.move;
  const int err = errorOf([&] {
    if (m == "next") rs.moveNext();
    if (m == "prev") rs.movePrevious();
    if (m == "first") rs.moveFirst();
    if (m == "last") rs.moveLast();
  });
  EXPECT_EQ(err, step.error) << "move " << m;
  EXPECT_EQ(where(rs), step.after) << "after move " << m;
}

class CursorTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    test::makeLedger(dir.file("l.mdb"), kThree);
    openLedger(dir.file("l.mdb")).createQueryDef("All Trades", "SELECT * FROM Trade");
  }
  TempDir dir;
};

// The same walks hold for a table (read by row id) and a stored query
// (read by position).
TEST_P(CursorTest, WalksFollowTheCursorRules) {
  const std::vector<std::vector<Step>> walks = {
      {{"next", 0, "MSFT/20"}, {"next", 0, "AAPL/30"}, {"next", 0, "EOF"}, {"next", 3021, "EOF"},
       {"prev", 0, "AAPL/30"}},
      {{"prev", 0, "BOF"}, {"prev", 3021, "BOF"}, {"next", 0, "AAPL/10"}, {"next", 0, "MSFT/20"}},
      {{"last", 0, "AAPL/30"}, {"first", 0, "AAPL/10"}, {"last", 0, "AAPL/30"}, {"next", 0, "EOF"},
       {"first", 0, "AAPL/10"}},
      {{"next", 0, "MSFT/20"}, {"prev", 0, "AAPL/10"}, {"prev", 0, "BOF"}, {"last", 0, "AAPL/30"}},
  };
  for (const auto& walk : walks) {
    Database db = openLedger(dir.file("l.mdb"));
    auto rs = db.openRecordset(GetParam());
    ASSERT_EQ(where(*rs), "AAPL/10");
    EXPECT_EQ(rs->recordCount(), 3);
    for (const Step& s : walk) apply(*rs, s);
  }
}

TEST_P(CursorTest, EmptyRecordsetIsBofAndEofAndEveryMoveFails) {
  // "All Trades" is not a query the program makes, so open() gives the
  // ledger for reading only; the trades go through a plain connection.
  Database::openFile(dir.file("l.mdb"), false).execute("DELETE * FROM Trade");
  Database db = openLedger(dir.file("l.mdb"));
  auto rs = db.openRecordset(GetParam());
  EXPECT_EQ(where(*rs), "BOF+EOF");
  EXPECT_EQ(rs->recordCount(), 0);
  for (const char* m : {"next", "prev", "first", "last"}) apply(*rs, {m, 3021, "BOF+EOF"});
  EXPECT_EQ(errorOf([&] { rs->value(0); }), 3021);
}

TEST_P(CursorTest, ReadingWithoutCurrentRowFails) {
  Database db = openLedger(dir.file("l.mdb"));
  auto rs = db.openRecordset(GetParam());
  rs->movePrevious();
  EXPECT_EQ(errorOf([&] { rs->value("CompanySymbol"); }), 3021);
  EXPECT_EQ(errorOf([&] { rs->value(1); }), 3021);
}

INSTANTIATE_TEST_SUITE_P(TableAndQuery, CursorTest, ::testing::Values("Trade", "[All Trades]"), test::byText);

TEST(RecordsetFields, ByPositionAndByName) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), kThree);
  Database db = openLedger(dir.file("l.mdb"));
  auto rs = db.openRecordset("Trade");
  ASSERT_EQ(rs->fieldCount(), 7);
  EXPECT_EQ(rs->fieldName(3), "Buy/Sell");
  EXPECT_EQ(std::get<std::string>(rs->value(3)), "B");
  EXPECT_EQ(std::get<std::string>(rs->value("buy/sell")), "B");  // names ignore case
  EXPECT_EQ(toDisplayText(rs->value("Date")), "2024-01-02");
  EXPECT_EQ(errorOf([&] { rs->value("NoSuchField"); }), 3265);
  EXPECT_EQ(errorOf([&] { rs->value(7); }), 3265);
}

TEST(RecordsetBookmarks, GoBackToTheSameRow) {
  TempDir dir;
  test::makeLedger(dir.file("l.mdb"), kThree);
  Database db = openLedger(dir.file("l.mdb"));
  for (const char* source : {"Trade", "Sold"}) {
    auto rs = db.openRecordset(source);
    rs->moveLast();
    const auto mark = rs->bookmark();
    const std::string there = where(*rs);
    rs->moveFirst();
    rs->moveToBookmark(mark);
    EXPECT_EQ(where(*rs), there) << source;
  }
}

TEST(RecordsetLargeQuery, MovesAcrossChunkBoundaries) {
  TempDir dir;
  std::vector<TradeRow> many;
  for (int i = 0; i < 1500; ++i) many.push_back({1, "S" + std::to_string(i), double(i), "B", "2024-01-01", 1, 0});
  test::makeLedger(dir.file("l.mdb"), many);
  Database db = openLedger(dir.file("l.mdb"));
  auto rs = db.openRecordset("Bought");
  EXPECT_EQ(rs->recordCount(), 1500);
  int seen = 0;
  while (!rs->eof()) {
    EXPECT_EQ(toDisplayText(rs->value("Quantity")), std::to_string(seen));
    rs->moveNext();
    ++seen;
  }
  EXPECT_EQ(seen, 1500);
  for (int i = 1499; i >= 0; --i) {
    rs->movePrevious();
    ASSERT_EQ(toDisplayText(rs->value("Quantity")), std::to_string(i));
  }
  rs->movePrevious();
  EXPECT_TRUE(rs->bof());
}

}  // namespace
}  // namespace ledger
