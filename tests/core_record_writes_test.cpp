// Saving and deleting trades, the company list, the symbol lookup and the
// ticker search.
#include <gtest/gtest.h>

#include "app/company_list.h"
#include "fake_form.h"
#include "fakes.h"
#include "app/record_display.h"
#include "app/record_writes.h"
#include "test_ledger.h"
#include "app/ticker_search.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::FakeForm;
using test::ScriptedPrompter;
using test::TempDir;
using Rows = std::vector<std::vector<std::string>>;

class RecordWritesTest : public ::testing::Test {
 protected:
  void make(const std::vector<test::TradeRow>& trades) {
    test::makeLedger(dir.file("l.mdb"), trades);
    session.LedgerPath = dir.file("l.mdb");
    ASSERT_TRUE(OpenAndShow(session, form, "Trade"));
  }
  Rows trades() { return test::readAll(dir.file("l.mdb"), "SELECT * FROM Trade ORDER BY rowid"); }
  TempDir dir;
  ScriptedPrompter prompter;
  LedgerSession session{prompter};
  FakeForm form;
};

TEST_F(RecordWritesTest, SaveAddsExactlyOneTradeWithItsCompanyAndSide) {
  make({{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  form.fillGeneral("2", "MSFT", "2024-05-06", "7.5", "12.25", "1", false);
  EXPECT_TRUE(SaveRecord(session, prompter, form));
  form.fillGeneral("1", "AAPL", "2024-05-07", "1", "2", "0", true);
  EXPECT_TRUE(SaveRecord(session, prompter, form));
  EXPECT_EQ(trades(), (Rows{{"1", "AAPL", "10", "B", "2024-01-02", "100", "5"},
                            {"2", "MSFT", "7.5", "S", "2024-05-06", "12.25", "1"},
                            {"1", "AAPL", "1", "B", "2024-05-07", "2", "0"}}));
}

TEST_F(RecordWritesTest, SaveAddsToTradeWhateverRecordsetIsCurrent) {
  make({});
  ASSERT_TRUE(session.OpenLedgerTable("Companies"));
  form.fillGeneral("3", "IBM", "2024-05-06", "1", "1", "1", true);
  EXPECT_TRUE(SaveRecord(session, prompter, form));
  EXPECT_EQ(trades().size(), 1u);
}

TEST_F(RecordWritesTest, EditRewritesTheBookmarkedTradeAndItsCompanyFollowsTheSymbol) {
  make({{1, "AAPL", 10, "B", "2024-01-02", 100, 5}, {2, "MSFT", 20, "S", "2024-02-03", 200, 6}});
  MoveToNext(session, form);
  ASSERT_TRUE(session.ShownTrade && session.ShownTradeValues);
  const EditBookmark edit{*session.ShownTrade, *session.ShownTradeValues};
  // The cursor moves on after Edit began; the edit still writes its trade.
  session.CurrentRecordset->moveFirst();
  form.fillGeneral("99", " GE ", "2024-02-04", "21", "201", "7", true);
  EXPECT_TRUE(SaveRecord(session, prompter, form, edit));
  EXPECT_EQ(trades(), (Rows{{"1", "AAPL", "10", "B", "2024-01-02", "100", "5"},
                            {"7", "GE", "21", "B", "2024-02-04", "201", "7"}}));
}

TEST_F(RecordWritesTest, BadInputIsRefusedNamingTheFieldAndNothingIsWritten) {
  make({});
  const struct {
    const char* id;
    const char* symbol;
    const char* date;
    const char* qty;
    const char* price;
    const char* commission;
    const char* says;
  } cases[] = {
      {"1", "", "2024-01-01", "1", "1", "1", "symbol"},
      {"1", "AAPL", "2024-01-01", "1", "1", "1", "Buy or Sell"},
      {"1", "  ", "2024-01-01", "1", "1", "1", "symbol"},
      {"1", "AAPL", "2024-02-30", "1", "1", "1", "date"},
      {"1", "AAPL", "1/2/2024", "1", "1", "1", "date"},
      {"1", "AAPL", "", "1", "1", "1", "date"},
      {"1", "AAPL", "2024-01-01", "ten", "1", "1", "quantity"},
      {"1", "AAPL", "2024-01-01", "-1", "1", "1", "quantity"},
      {"1", "AAPL", "2024-01-01", "1", "1,5", "1", "price"},
      {"1", "AAPL", "2024-01-01", "1", "1", "", "commission"},
  };
  for (const auto& c : cases) {
    form.fillGeneral(c.id, c.symbol, c.date, c.qty, c.price, c.commission, true);
    if (std::string(c.says) == "Buy or Sell") form.clearSide();
    const std::string before = form.general();
    prompter.expect(MsgAnswer::Ok);
    EXPECT_FALSE(SaveRecord(session, prompter, form)) << c.says;
    EXPECT_NE(prompter.shown.back().text.find(c.says), std::string::npos) << prompter.shown.back().text;
    EXPECT_EQ(form.general(), before);
  }
  EXPECT_TRUE(trades().empty());
}

TEST_F(RecordWritesTest, RefusedWriteIsReported) {
  make({});
  // The trigger never runs: a ledger holding one opens for reading only,
  // which is what refuses the write.
  openLedger(dir.file("l.mdb")).executeScript(
      "CREATE TRIGGER no_more BEFORE INSERT ON Trade BEGIN SELECT RAISE(ABORT, 'the ledger is closed'); END;");
  form.fillGeneral("1", "AAPL", "2024-01-01", "1", "1", "1", true);
  prompter.expect(MsgAnswer::Ok);  // what the ledger holds
  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(SaveRecord(session, prompter, form));
  EXPECT_NE(prompter.shown.front().text.find("trigger \"no_more\""), std::string::npos);
  EXPECT_EQ(prompter.shown.back().icon, MsgIcon::Critical);
  EXPECT_NE(prompter.shown.back().text.find("The trade could not be saved."), std::string::npos);
  EXPECT_EQ(form.general(), "1|AAPL|2024-01-01|1|1|1|B");
}

TEST_F(RecordWritesTest, DeleteAnsweredNoChangesNothing) {
  make({{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  prompter.expect(MsgAnswer::No);
  EXPECT_FALSE(DeleteRecord(session, prompter));
  EXPECT_EQ(prompter.shown.at(0).text, "Are you sure you want to permenantly delete this record?");
  EXPECT_EQ(prompter.shown.at(0).icon, MsgIcon::Question);
  EXPECT_EQ(prompter.shown.at(0).buttons, MsgButtons::YesNo);
  EXPECT_EQ(trades().size(), 1u);
}

TEST_F(RecordWritesTest, DeleteRemovesOneMatchingTradeOnly) {
  make({{1, "AAPL", 10, "S", "2024-01-02", 0.1 + 0.2, 5},
        {1, "AAPL", 10, "B", "2024-01-02", 0.1 + 0.2, 5},
        {1, "AAPL", 10, "B", "2024-01-02", 0.1 + 0.2, 5}});
  MoveToNext(session, form);  // the first purchase; its twin and the sale stay
  ASSERT_EQ(form.general(), "1|AAPL|2024-01-02|10|0.30000000000000004|5|B");
  prompter.expect(MsgAnswer::Yes);
  EXPECT_TRUE(DeleteRecord(session, prompter));
  EXPECT_EQ(test::readAll(dir.file("l.mdb"), "SELECT rowid, [Buy/Sell] FROM Trade ORDER BY rowid"), (Rows{{"1", "S"}, {"3", "B"}}));

  // A trade no longer in the ledger is said to be gone.
  openLedger(dir.file("l.mdb")).execute("DELETE * FROM Trade");
  prompter.expect(MsgAnswer::Yes);
  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(DeleteRecord(session, prompter));
  EXPECT_NE(prompter.shown.back().text.find("nothing was deleted"), std::string::npos);
}

TEST_F(RecordWritesTest, CompanyListFillsOnceInTableOrder) {
  make({});
  Database db = openLedger(dir.file("l.mdb"));
  db.execute("DELETE * FROM Companies");
  for (const char* s : {"A", "B", "a", "B", "C"}) {
    const Value v[] = {std::string(s)};
    db.execute("INSERT INTO Companies (CompanySymbol) VALUES (?)", v);
  }
  db.execute("INSERT INTO Companies (CompanySymbol) VALUES (NULL)");
  FillCompanyList(session, form);
  EXPECT_EQ(form.list, (std::vector<std::string>{"A", "B", "a", "C"}));
  FillCompanyList(session, form);
  EXPECT_EQ(form.list.size(), 4u);

  prompter.shown.clear();
  EXPECT_TRUE(AddCompany(session, form, "D"));
  EXPECT_TRUE(AddCompany(session, form, "D"));
  EXPECT_EQ(form.list, (std::vector<std::string>{"A", "B", "a", "C", "D"}));
  EXPECT_EQ(test::readAll(dir.file("l.mdb"), "SELECT count(*) FROM Companies WHERE CompanySymbol = 'D'")[0][0], "2");

  // Blanks around a symbol go, no-break spaces too (an imported symbol
  // loses them); a blank symbol is refused and nothing is added.
  for (const auto& [typed, kept] : {std::pair{"  E\t", "E"}, std::pair{"\xC2\xA0" "F\xE2\x80\xAF", "F"}}) {
    EXPECT_TRUE(AddCompany(session, form, typed));
    EXPECT_EQ(form.list.back(), kept);
  }
  for (const char* blank : {"", "   "}) {
    prompter.expect(MsgAnswer::Ok);
    EXPECT_FALSE(AddCompany(session, form, blank));
    EXPECT_EQ(prompter.shown.back().text, kBlankSymbol);
  }
  EXPECT_EQ(test::readAll(dir.file("l.mdb"), "SELECT count(*) FROM Companies WHERE trim(CompanySymbol) = ''")[0][0], "0");
}

TEST_F(RecordWritesTest, SymbolLookup) {
  make({});
  Database db = openLedger(dir.file("l.mdb"));
  db.execute("DELETE * FROM Companies");
  db.execute("INSERT INTO Companies VALUES (40000, 'BIG'), (7, 'IBM'), (8, 'X''Y'), (9, 'IBM')");
  const struct {
    const char* typed;
    const char* id;
  } cases[] = {{"BIG", "40000"}, {"IBM", "9"}, {"ibm", "0"}, {"X'Y", "8"}, {"NEW", "0"}, {"", "0"}};
  for (const auto& c : cases) {
    form.comboText = c.typed;
    LookUpCompanySymbol(session, form);
    EXPECT_EQ(form.boxes.at({"CompanySymbol", 0}), c.typed);
    EXPECT_EQ(form.boxes.at({"CompanyID", 0}), c.id) << c.typed;
  }
  EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(RecordWritesTest, TickerSearch) {
  make({{1, "AAPL", 1, "B", "2024-01-02", 1, 1},
        {2, "MSFT", 2, "B", "2024-01-03", 1, 1},
        {2, "MSFT", 3, "S", "2024-01-04", 1, 1},
        {3, "IBM", 4, "B", "2024-01-05", 1, 1}});
  EXPECT_EQ(FindTicker(session, form, "MSFT"), 1);
  EXPECT_EQ(form.boxes.at({"Quantity", 0}), "2");  // the earlier of the two
  MoveToNext(session, form);
  EXPECT_EQ(form.boxes.at({"Quantity", 0}), "3");  // navigation goes on from the found row

  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(FindTicker(session, form, "msft"));
  EXPECT_EQ(prompter.shown.back().text, "The ticker doesn't exist.");
  EXPECT_EQ(form.boxes.at({"Quantity", 0}), "3");  // the shown row stays
  EXPECT_TRUE(session.CurrentRecordset->eof());
}

TEST_F(RecordWritesTest, TickerSearchOnAnEmptyLedger) {
  make({});
  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(FindTicker(session, form, "AAPL"));
  EXPECT_EQ(prompter.shown.back().text, "The ticker doesn't exist.");
}

}  // namespace
}  // namespace ledger
