// Sequences of commands as a person clicks them during New Record and Edit,
// through the fake window: whatever the order, the trade written is the
// trade on screen, and typed work is never dropped without a question.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>

#include "app/record_display.h"
#include "app/record_writes.h"
#include "app/ticker_search.h"
#include "core_fixture.h"
#include "entry_sequence_rows.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_writes.h"

namespace ledger {
namespace {

using test::kSequenceLedger;
using test::kSequenceLedgerRows;
using test::plus;
using test::Rows;
using test::with;
using test::without;

class EntrySequences;

using Sequence = test::EntrySequence<EntrySequences>;

class EntrySequences : public test::CoreTest, public ::testing::WithParamInterface<Sequence> {
 public:
  void SetUp() override {
    CoreTest::SetUp();
    // The tab's rows as the entry form reads them: the General tab keeps a
    // trade being typed.
    window.onReloadTab = [this] {
      const char* sources[] = {"Trade", "Bought", "Sold"};
      if (!commands.entering() || window.form.tab != kGeneralTab)
        OpenAndShow(app.session(), window.form, sources[window.form.tab]);
    };
  }
  using test::CoreTest::commands;
  using test::CoreTest::window;

  std::string path() { return dir.file("l.mdb"); }
  test::FakeForm& form() { return window.form; }
  void edit() { commands.editRecords(); }
  void save() { commands.save(); }
  void remove() { commands.deleteRecord(); }
  void cancel() { commands.cancelEntry(); }
  void tab(int index) {
    form().tab = index;
    window.reloadEntryTab();
  }
  // The navigation buttons and Find ask about a typed trade on the General tab first.
  void next() {
    if (form().tab != kGeneralTab || commands.settleEntry()) MoveToNext(app.session(), form());
  }
  void find(const char* ticker) {
    if (form().tab != kGeneralTab || commands.settleEntry()) FindTicker(app.session(), form(), ticker);
  }
  // The close box of the entry window, which asks about a typed trade.
  void closeEntryWindow() {
    if (!commands.settleEntry()) return;
    window.entryFormOpen = false;
    commands.entryWindowClosed();
  }
  // Exit; whether the program ended.
  bool exit() {
    if (!commands.settleEntry()) return false;
    commands.forgetEntry();
    window.entryFormOpen = false;
    return true;
  }
  void set(const char* column, const char* text) { form().boxes[{column, kGeneralTab}] = text; }
  void answer(MsgAnswer a) { answers.expect(a); }
  void typeNew(const char* symbol, const char* date, const char* qty, const char* price, const char* commission) {
    commands.newRecord();
    form().comboText = symbol;
    set("Date", date);
    set("Quantity", qty);
    set("Price", price);
    set("Commission", commission);
  }
  std::string boxes() {
    if (!window.entryFormOpen) return "closed";
    std::string s;
    for (const char* c : {"CompanySymbol", "Date", "Quantity", "Price", "Commission"})
      s += form().boxes.at({c, kGeneralTab}) + "|";
    return s + (form().buy ? "B" : form().sell ? "S" : "-");
  }
  const std::string& lastMessage() { return answers.shown.back().text; }
  // Whether what was set over the mode's look turned the toolbar button off.
  bool buttonOff(int position) {
    const auto& set = window.states.back().since.commands;
    return std::find(set.begin(), set.end(), CommandSwitch{CommandPlace::Toolbar, position, false}) != set.end();
  }
};


const Sequence kSequences[] = {
    {"EditNextAnsweredCancelThenSaveWritesTheEditedTrade",
     [](EntrySequences& t) {
       t.edit();
       t.set("Quantity", "150");
       t.answer(MsgAnswer::Cancel);
       t.next();
       EXPECT_EQ(t.lastMessage(), kSaveEntryQuestion);
       t.save();
     },
     with(kSequenceLedgerRows, 0, {"1", "AAPL", "150", "B", "2024-01-15", "10", "1"}), "AAPL|2024-01-15|150|10|1|B"},
    {"EditNextAnsweredNoDropsTheEditAndMoves",
     [](EntrySequences& t) {
       t.edit();
       t.set("Quantity", "150");
       t.answer(MsgAnswer::No);
       t.next();
       t.save();  // nothing being entered: Save does nothing
     },
     kSequenceLedgerRows, "MSFT|2024-02-01|50|20|2|S"},
    {"EditNextAnsweredYesSavesThenMoves",
     [](EntrySequences& t) {
       t.edit();
       t.set("Quantity", "150");
       t.answer(MsgAnswer::Yes);
       t.next();
     },
     with(kSequenceLedgerRows, 0, {"1", "AAPL", "150", "B", "2024-01-15", "10", "1"}), "MSFT|2024-02-01|50|20|2|S"},
    {"EditFindAnsweredCancelThenSaveWritesTheEditedTrade",
     [](EntrySequences& t) {
       t.edit();
       t.set("Price", "11");
       t.answer(MsgAnswer::Cancel);
       t.find("IBM");
       t.save();
     },
     with(kSequenceLedgerRows, 0, {"1", "AAPL", "100", "B", "2024-01-15", "11", "1"}), "AAPL|2024-01-15|100|11|1|B"},
    {"NewRecordAnotherTabAndBackSavesWhatWasTyped",
     [](EntrySequences& t) {
       t.typeNew("MSFT", "2024-04-01", "15", "300", "0");
       t.form().selectBuy(false);
       t.tab(kBoughtTab);
       t.tab(kGeneralTab);
       t.save();
     },
     plus(kSequenceLedgerRows, {"2", "MSFT", "15", "S", "2024-04-01", "300", "0"}), "AAPL|2024-01-15|100|10|1|B"},
    {"FindShowsTheSideOfTheFoundTradeAndDeleteRemovesIt",
     [](EntrySequences& t) {
       t.find("IBM");
       EXPECT_TRUE(t.form().sell);
       t.answer(MsgAnswer::Yes);
       t.remove();
     },
     without(kSequenceLedgerRows, 2), "AAPL|2024-01-15|100|10|1|B"},
    {"FindThenEditKeepsTheSaleASale",
     [](EntrySequences& t) {
       t.find("IBM");
       t.edit();
       t.set("Commission", "9");
       t.save();
     },
     with(kSequenceLedgerRows, 2, {"3", "IBM", "10", "S", "2024-03-01", "30", "9"}), "AAPL|2024-01-15|100|10|1|B"},
    {"AFindWithoutMatchThenNextShowsTheSideOfTheTradeShown",
     [](EntrySequences& t) {
       t.next();  // MSFT, a sale
       t.answer(MsgAnswer::Ok);
       t.find("NONE");
       t.answer(MsgAnswer::Ok);  // past the end: the last trade is said to be in view
       t.next();
     },
     kSequenceLedgerRows, "IBM|2024-03-01|10|30|3|S"},
    {"DeleteAndEditDoNothingOnTheBoughtTab",
     [](EntrySequences& t) {
       t.next();
       t.tab(kBoughtTab);
       EXPECT_FALSE(t.commands.tradeVisible());
       t.remove();
       t.edit();
       EXPECT_FALSE(t.commands.entering());
       t.tab(kGeneralTab);
     },
     kSequenceLedgerRows, "AAPL|2024-01-15|100|10|1|B"},
    {"WithTheEntryWindowClosedDeleteDoesNothingAndNewRecordOpensIt",
     [](EntrySequences& t) {
       t.closeEntryWindow();
       EXPECT_TRUE(t.buttonOff(7));
       EXPECT_FALSE(t.window.states.back().tradeShown);
       t.remove();
       t.edit();
       t.commands.newRecord();
       EXPECT_TRUE(t.window.entryFormOpen);
       EXPECT_TRUE(t.commands.entering());
       t.cancel();
     },
     kSequenceLedgerRows, "AAPL|2024-01-15|100|10|1|B"},
    {"ClosingTheEntryWindowDuringAnEntryAnsweredCancelKeepsIt",
     [](EntrySequences& t) {
       t.typeNew("IBM", "2024-05-01", "1", "2", "3");
       t.form().selectBuy(true);
       t.answer(MsgAnswer::Cancel);
       t.closeEntryWindow();
       ASSERT_TRUE(t.window.entryFormOpen);
       t.save();
     },
     plus(kSequenceLedgerRows, {"3", "IBM", "1", "B", "2024-05-01", "2", "3"}), "AAPL|2024-01-15|100|10|1|B"},
    {"ExitDuringAnEntryAnsweredNoDropsIt",
     [](EntrySequences& t) {
       t.typeNew("IBM", "2024-05-01", "1", "2", "3");
       t.answer(MsgAnswer::No);
       EXPECT_TRUE(t.exit());
     },
     kSequenceLedgerRows, "closed"},
    {"ExitDuringAnEntryAnsweredCancelKeepsEverything",
     [](EntrySequences& t) {
       t.typeNew("IBM", "2024-05-01", "1", "2", "3");
       t.answer(MsgAnswer::Cancel);
       EXPECT_FALSE(t.exit());
       EXPECT_TRUE(t.commands.entering());
       t.cancel();
     },
     kSequenceLedgerRows, "AAPL|2024-01-15|100|10|1|B"},
    {"AnEditOfATradeChangedElsewhereWritesNothingAndKeepsTheTypedValues",
     [](EntrySequences& t) {
       t.edit();
       t.set("Price", "12");
       // Another copy of the program changes the same trade meanwhile.
       Database other = ledger::openLedger(t.path());
       const Trade shown = *readTrade(other, 1);
       Trade theirs = shown;
       theirs.quantity = 101;
       updateTrade(other, 1, shown, theirs);
       t.answer(MsgAnswer::Ok);
       t.save();
       EXPECT_NE(t.lastMessage().find("changed or deleted elsewhere"), std::string::npos);
       EXPECT_EQ(t.form().boxes.at({"Price", kGeneralTab}), "12");
       t.cancel();
     },
     with(kSequenceLedgerRows, 0, {"1", "AAPL", "101", "B", "2024-01-15", "10", "1"}), "AAPL|2024-01-15|101|10|1|B"},
    {"NeitherSideChosenIsRefusedAndNewRecordStartsWithNeither",
     [](EntrySequences& t) {
       t.next();  // a sale is shown
       t.typeNew("IBM", "2024-05-01", "1", "2", "3");
       EXPECT_FALSE(t.form().buy || t.form().sell);
       t.answer(MsgAnswer::Ok);
       t.save();
       EXPECT_EQ(t.lastMessage(), "Please choose Buy or Sell.");
       t.cancel();
     },
     kSequenceLedgerRows, "AAPL|2024-01-15|100|10|1|B"},
    {"ASymbolOutsideTheListIsAddedWithTheTradeWhenTheUserSaysSo",
     [](EntrySequences& t) {
       t.typeNew(" ZZZZ ", "2024-05-01", "1", "2", "3");
       t.form().selectBuy(true);
       t.answer(MsgAnswer::No);
       t.save();
       EXPECT_EQ(t.lastMessage(), newSymbolQuestion("ZZZZ"));
       EXPECT_TRUE(t.commands.entering());
       t.answer(MsgAnswer::Yes);
       t.save();
     },
     plus(kSequenceLedgerRows, {"11", "ZZZZ", "1", "B", "2024-05-01", "2", "3"}), "AAPL|2024-01-15|100|10|1|B"},
    {"AnEditToAnotherSymbolTakesThatCompanysNumber",
     [](EntrySequences& t) {
       t.edit();
       t.set("CompanySymbol", "KO");
       t.save();
     },
     with(kSequenceLedgerRows, 0, {"6", "KO", "100", "B", "2024-01-15", "10", "1"}), "KO|2024-01-15|100|10|1|B"},
};

TEST_P(EntrySequences, WriteTheTradeOnScreenAndLoseNothingTyped) {
  test::makeLedger(path(), kSequenceLedger);
  ASSERT_EQ(flows.open(path()), OpenOutcome::Opened);
  GetParam().steps(*this);
  EXPECT_EQ(test::readAll(path(), "SELECT * FROM Trade ORDER BY rowid"), GetParam().rows);
  EXPECT_EQ(boxes(), GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(Clicks, EntrySequences, ::testing::ValuesIn(kSequences),
                         [](const ::testing::TestParamInfo<Sequence>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledger
