// Showing rows on the entry form and moving through them.
#include <gtest/gtest.h>

#include "fake_form.h"
#include "fakes.h"
#include "app/record_display.h"
#include "test_ledger.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::FakeForm;
using test::ScriptedPrompter;
using test::TempDir;

class RecordDisplayTest : public ::testing::Test {
 protected:
  void open(const std::vector<test::TradeRow>& trades, const char* source = "Trade") {
    test::makeLedger(dir.file("l.mdb"), trades);
    session.LedgerPath = dir.file("l.mdb");
    ASSERT_TRUE(OpenAndShow(session, form, source));
  }
  TempDir dir;
  ScriptedPrompter prompter;
  LedgerSession session{prompter};
  FakeForm form;
};

const std::vector<test::TradeRow> kThree = {
    {1, "AAPL", 10, "B", "2024-01-02", 100.5, 5},
    {2, "MSFT", 20, "S", "2024-02-03", 200, 6},
    {3, "IBM", 30, "B", "2024-03-04", 300, 7},
};

TEST_F(RecordDisplayTest, ShowsTheFirstRowByColumnNames) {
  open(kThree);
  EXPECT_EQ(form.general(), "1|AAPL|2024-01-02|10|100.5|5|B");
  EXPECT_EQ(form.status, "Ready");
  EXPECT_EQ(form.boxes.at({"CompanySymbol", 1}), "");  // other tabs untouched
}

TEST_F(RecordDisplayTest, WalkFirstPreviousTwiceNextTwice) {
  open(kThree);
  MoveToNext(session, form);
  MoveToNext(session, form);
  EXPECT_EQ(form.general(), "3|IBM|2024-03-04|30|300|7|B");
  // Next on the last row: the cursor runs past and is brought back, no message.
  MoveToNext(session, form);
  EXPECT_EQ(form.general(), "3|IBM|2024-03-04|30|300|7|B");
  EXPECT_TRUE(prompter.shown.empty());

  MoveToFirst(session, form);
  EXPECT_EQ(form.general(), "1|AAPL|2024-01-02|10|100.5|5|B");
  // Previous on the first row leaves the boxes; the second says so.
  MoveToPrevious(session, form);
  EXPECT_EQ(form.general(), "1|AAPL|2024-01-02|10|100.5|5|B");
  EXPECT_TRUE(prompter.shown.empty());
  prompter.expect(MsgAnswer::Ok);
  MoveToPrevious(session, form);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, "First record is currently in view.");
  EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Information);
  // The first Next after that shows the first row again; only the next one moves on.
  MoveToNext(session, form);
  EXPECT_EQ(form.general(), "1|AAPL|2024-01-02|10|100.5|5|B");
  MoveToNext(session, form);
  EXPECT_EQ(form.general(), "2|MSFT|2024-02-03|20|200|6|S");
  EXPECT_EQ(form.status, "Ready");
}

TEST_F(RecordDisplayTest, EmptyTableEmptiesTheBoxesAndBothEndsSaySo) {
  form.fillGeneral("9", "OLD", "2000-01-01", "1", "1", "1", true);
  open({});
  EXPECT_EQ(form.general(), "||||||B");
  EXPECT_EQ(form.status, "No records available");
  prompter.expect(MsgAnswer::Ok);
  MoveToNext(session, form);
  prompter.expect(MsgAnswer::Ok);
  MoveToPrevious(session, form);
  EXPECT_EQ(prompter.shown.at(0).text, "Last record is currently in view.");
  EXPECT_EQ(prompter.shown.at(1).text, "First record is currently in view.");
  MoveToFirst(session, form);  // nothing to move to, nothing said
  MoveToLast(session, form);
  EXPECT_EQ(form.status, "No records available");
}

TEST_F(RecordDisplayTest, BuySellShowsTheSideOfTheTradeInTheBoxesOnlyOnTheGeneralTab) {
  open({{1, "A", 1, "S", "2024-01-01", 1, 1}, {1, "A", 2, "B", "2024-01-01", 1, 1}, {1, "A", 3, "S", "2024-01-01", 1, 1}});
  EXPECT_TRUE(form.sell);
  MoveToNext(session, form);
  EXPECT_TRUE(form.buy);
  // Past the last row the last trade stays in the boxes, and so does its side.
  MoveToLast(session, form);
  form.buy = true, form.sell = false;
  MoveToNext(session, form);
  EXPECT_EQ(form.boxes.at({"Quantity", 0}), "3");
  EXPECT_TRUE(form.sell);
  // A row shown by its position (the ticker search) brings its own side.
  ShowRecord(session, form, 1);
  EXPECT_EQ(form.boxes.at({"Quantity", 0}), "2");
  EXPECT_TRUE(form.buy);
  ShowRecord(session, form, 0);
  EXPECT_TRUE(form.sell);

  form.tab = kBoughtTab;
  form.buy = false, form.sell = false;
  ASSERT_TRUE(OpenAndShow(session, form, "Bought"));
  EXPECT_FALSE(form.buy || form.sell);
  EXPECT_EQ(form.boxes.at({"TotalPurchase", 1}), "3");
  EXPECT_EQ(form.boxes.at({"CompanySymbol", 1}), "A");
}

TEST_F(RecordDisplayTest, ShowRecordAtAPosition) {
  open(kThree);
  ShowRecord(session, form, 0);
  EXPECT_EQ(form.boxes.at({"CompanySymbol", 0}), "AAPL");
  ShowRecord(session, form, 2);
  EXPECT_EQ(form.boxes.at({"CompanySymbol", 0}), "IBM");
  MoveToPrevious(session, form);
  EXPECT_EQ(form.boxes.at({"CompanySymbol", 0}), "MSFT");
}

TEST_F(RecordDisplayTest, NullValuesShowAsEmptyBoxes) {
  test::makeLedger(dir.file("l.mdb"));
  openLedger(dir.file("l.mdb")).execute("INSERT INTO Trade (CompanySymbol, [Buy/Sell]) VALUES ('X', 'B')");
  session.LedgerPath = dir.file("l.mdb");
  form.fillGeneral("9", "OLD", "2000-01-01", "1", "1", "1", false);
  ASSERT_TRUE(OpenAndShow(session, form, "Trade"));
  EXPECT_EQ(form.general(), "|X|||||B");
}

}  // namespace
}  // namespace ledger
