// Hostile text through every record operation that takes text from the
// user: adding a company, the symbol lookup, Save, the ticker search and the
// history queries. The ledger must hold exactly that text afterwards and
// nothing else may change.
#include <gtest/gtest.h>

#include "app/company_list.h"
#include "engine/db_error.h"
#include "fake_form.h"
#include "fakes.h"
#include "hostile_texts.h"
#include "app/record_display.h"
#include "app/record_writes.h"
#include "engine/sql_translate.h"
#include "ledger/symbol_text.h"
#include "test_ledger.h"
#include "app/ticker_search.h"
#include "ledger/view_queries.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// The schema apart from the queries the views write for themselves and the
// undo journal that the first change adds.
constexpr const char* kSchemaSql =
    "SELECT type, name, tbl_name, sql FROM sqlite_schema WHERE name NOT LIKE 'VBQry%' "
    "AND name NOT IN ('UndoStep', 'UndoChange', 'UndoChangeByRow') ORDER BY name";

class HostileTextTest : public ::testing::TestWithParam<size_t> {
 protected:
  void SetUp() override {
    test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}, {2, "MSFT", 3, "S", "2024-06-01", 410.5, 1.25}});
    session.LedgerPath = path;
    ASSERT_TRUE(OpenAndShow(session, form, "Trade"));
  }
  void TearDown() override { EXPECT_EQ(prompter.pending(), 0u); }
  const std::string& text() const { return test::hostileTexts()[GetParam()].text; }
  Rows rows(const std::string& sql) { return test::readAll(path, sql); }

  test::TempDir dir;
  std::string path = dir.file("l.mdb");
  test::ScriptedPrompter prompter;
  LedgerSession session{prompter};
  test::FakeForm form;
};

TEST_P(HostileTextTest, QuotedItReadsBackAsItself) {
  EXPECT_EQ(rows("SELECT " + quoteSqlString(text())), (Rows{{text()}}));
  // The dialect's translation leaves a quoted text alone, '#' included.
  EXPECT_EQ(translateJetSql("SELECT " + quoteSqlString(text())), "SELECT " + quoteSqlString(text()));
}

TEST_P(HostileTextTest, ReachesTheLedgerExactlyThroughEveryOperation) {
  const Rows schema = rows(kSchemaSql);
  Rows companies = rows("SELECT CompanyID, CompanySymbol FROM Companies ORDER BY rowid");
  Rows trades = rows("SELECT * FROM Trade ORDER BY rowid");

  if (const auto unseen = unseenSymbolCharacter(text())) {
    // No symbol may hold it: Add Company and Save refuse, and nothing changes.
    prompter.expect(MsgAnswer::Ok);
    EXPECT_FALSE(AddCompany(session, form, text()));
    EXPECT_EQ(prompter.shown.back().text, unseenCharacterMessage(*unseen));
    form.boxes[{"CompanySymbol", kGeneralTab}] = text();
    form.boxes[{"Date", kGeneralTab}] = "2024-07-01";
    form.boxes[{"Quantity", kGeneralTab}] = "2";
    form.boxes[{"Price", kGeneralTab}] = "3";
    form.boxes[{"Commission", kGeneralTab}] = "1";
    form.buy = true;
    prompter.expect(MsgAnswer::Ok);
    EXPECT_FALSE(SaveRecord(session, prompter, form));
    EXPECT_EQ(prompter.shown.back().text, unseenCharacterMessage(*unseen));
    EXPECT_EQ(rows("SELECT CompanyID, CompanySymbol FROM Companies ORDER BY rowid"), companies);
    EXPECT_EQ(rows("SELECT * FROM Trade ORDER BY rowid"), trades);
    return;
  }

  // Add Company: one new row holding the text.
  ASSERT_TRUE(AddCompany(session, form, text()));
  const std::string id = std::to_string(companies.size() + 1);
  companies.push_back({id, text()});
  EXPECT_EQ(rows("SELECT CompanyID, CompanySymbol FROM Companies ORDER BY rowid"), companies);

  // The symbol list's lookup finds that row, and Save writes the trade.
  form.comboText = text();
  LookUpCompanySymbol(session, form);
  EXPECT_EQ(form.boxText("CompanySymbol", kGeneralTab), text());
  EXPECT_EQ(form.boxText("CompanyID", kGeneralTab), id);
  form.boxes[{"Date", kGeneralTab}] = "2024-07-01";
  form.boxes[{"Quantity", kGeneralTab}] = "2";
  form.boxes[{"Price", kGeneralTab}] = "3";
  form.boxes[{"Commission", kGeneralTab}] = "1";
  form.buy = true;
  ASSERT_TRUE(SaveRecord(session, prompter, form));
  trades.push_back({id, text(), "2", "B", "2024-07-01", "3", "1"});
  EXPECT_EQ(rows("SELECT * FROM Trade ORDER BY rowid"), trades);

  // The ticker search finds that trade and no other: wildcards are text.
  ASSERT_TRUE(OpenAndShow(session, form, "Trade"));
  EXPECT_EQ(FindTicker(session, form, text()), 2);
  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(FindTicker(session, form, text() + "?"));

  // The history queries hold the symbol quoted and select its trade only.
  Database db = openLedger(path);
  BuildHistoryQueries(db, text());
  EXPECT_NE(db.queryDef("VBQryBuy").sql().find("= " + quoteSqlString(text())), std::string::npos);
  EXPECT_EQ(rows("SELECT CompanySymbol, Date, Quantity, Price, Commission, TotalPurchase FROM VBQryBuy"),
            (Rows{{text(), "2024-07-01", "2", "3", "1", "7"}}));
  EXPECT_EQ(rows("SELECT * FROM VBQrySell"), Rows{});
  EXPECT_EQ(rows("SELECT * FROM VBQryTotalBuy"), (Rows{{"7"}}));

  EXPECT_EQ(rows(kSchemaSql), schema);
  EXPECT_EQ(rows("SELECT CompanyID, CompanySymbol FROM Companies ORDER BY rowid"), companies);
  EXPECT_EQ(rows("SELECT * FROM Trade ORDER BY rowid"), trades);
  // The undo steps name the text exactly.
  EXPECT_EQ(rows("SELECT Label FROM UndoStep ORDER BY Step"),
            (Rows{{"Add Company " + text()}, {"New Record of " + text() + " 2024-07-01 (2 shares)"}}));
}

// A stored query's text is one statement: whatever rides along after it
// is refused before anything runs, so no text set as a query can change
// the ledger.
TEST(StoredQueryText, ASecondStatementIsRefusedAndNothingRuns) {
  test::TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  Database db = openLedger(path);
  db.createQueryDef("Q", "SELECT 1 AS One");
  const Rows schema = test::readAll(path, kSchemaSql);
  for (const char* text : {"SELECT 2; DROP TABLE Trade", "SELECT 2;; DELETE FROM Trade", "SELECT 2 /* c */; DROP VIEW Q",
                           "SELECT 2; CREATE TABLE Extra(x)"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(passOver([&] { db.queryDef("Q").setSql(text); }), dberr::kSyntax);
    EXPECT_EQ(passOver([&] { db.createQueryDef("R", text); }), dberr::kSyntax);
    EXPECT_EQ(test::readAll(path, kSchemaSql), schema);
    EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Trade"), (Rows{{"1"}}));
  }
  // Blanks, a closing ';' and comments are no second statement.
  for (const char* text : {"SELECT 3 AS One;  ", "SELECT 3 AS One -- note", "SELECT 3 AS One; -- note"}) {
    SCOPED_TRACE(text);
    db.queryDef("Q").setSql(text);
    EXPECT_EQ(test::readAll(path, "SELECT * FROM Q"), (Rows{{"3"}}));
  }
}

INSTANTIATE_TEST_SUITE_P(EachText, HostileTextTest, ::testing::Range<size_t>(0, test::hostileTexts().size()),
                         test::hostileTextName);

}  // namespace
}  // namespace ledger
