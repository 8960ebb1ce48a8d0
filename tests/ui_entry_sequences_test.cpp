// Sequences of commands as a person clicks them during New Record and Edit:
// whatever the order, the trade written is the trade on screen, and typed
// work is never dropped without a question.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>

#include <filesystem>
#include <functional>
#include <ostream>

#include "ledger/ledger_writes.h"
#include "window_fixture.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

const std::vector<test::TradeRow> kLedger = {{1, "AAPL", 100, "B", "2024-01-15", 10, 1},
                                             {2, "MSFT", 50, "S", "2024-02-01", 20, 2},
                                             {3, "IBM", 10, "S", "2024-03-01", 30, 3}};
const Rows kLedgerRows = {{"1", "AAPL", "100", "B", "2024-01-15", "10", "1"},
                          {"2", "MSFT", "50", "S", "2024-02-01", "20", "2"},
                          {"3", "IBM", "10", "S", "2024-03-01", "30", "3"}};

class EntrySequences;

struct Sequence {
  const char* name;
  std::function<void(EntrySequences&)> steps;
  Rows rows;           // Trade afterwards, in row order
  const char* boxes;   // the General tab afterwards: symbol|date|quantity|price|commission|side
};

void PrintTo(const Sequence& s, std::ostream* os) { *os << s.name; }

class EntrySequences : public test::WindowTest, public ::testing::WithParamInterface<Sequence> {
 public:
  using test::WindowTest::box;
  using test::WindowTest::form;
  using test::WindowTest::window;
  std::string path() { return dir.file("l.mdb"); }
  // The close box of the entry window's frame.
  void closeEntryWindow() {
    FormRegistry::frameOf(form())->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void navigate(int button) { form()->tbNavigateG_ButtonClick(form()->navigationBar(0)->actions().at(button)); }
  void next() { navigate(2); }
  void edit() { window.mnuEditItem_Click(1); }
  void save() { window.mnuFileItem_Click(5); }
  void remove() { window.mnuFileItem_Click(6); }
  void newRecord() { window.mnuFileItem_Click(2); }
  void tab(int index) { form()->SSTab()->setCurrentIndex(index); }
  void set(const char* column, const char* text) { form()->box(column, kGeneralTab)->setText(text); }
  void find(const char* ticker) {
    form()->txtTicker()->setText(ticker);
    form()->cmdFind()->click();
  }
  void answer(MsgAnswer a) { prompter.expect(a); }
  void typeNew(const char* symbol, const char* date, const char* qty, const char* price, const char* commission) {
    newRecord();
    form()->cboCompanySymbol()->setEditText(symbol);
    set("Date", date);
    set("Quantity", qty);
    set("Price", price);
    set("Commission", commission);
  }
  std::string boxes() {
    if (!form()) return "closed";
    std::string s;
    for (const char* c : {"CompanySymbol", "Date", "Quantity", "Price", "Commission"})
      s += box(c).toStdString() + "|";
    return s + (form()->optBuy()->isChecked() ? "B" : form()->optSell()->isChecked() ? "S" : "-");
  }
  const std::string& lastMessage() { return prompter.shown.back().text; }
};

Rows with(Rows rows, size_t index, std::vector<std::string> row) {
  rows.at(index) = std::move(row);
  return rows;
}
Rows without(Rows rows, size_t index) {
  rows.erase(rows.begin() + static_cast<long>(index));
  return rows;
}
Rows plus(Rows rows, std::vector<std::string> row) {
  rows.push_back(std::move(row));
  return rows;
}

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
     with(kLedgerRows, 0, {"1", "AAPL", "150", "B", "2024-01-15", "10", "1"}), "AAPL|2024-01-15|150|10|1|B"},
    {"EditNextAnsweredNoDropsTheEditAndMoves",
     [](EntrySequences& t) {
       t.edit();
       t.set("Quantity", "150");
       t.answer(MsgAnswer::No);
       t.next();
       t.save();  // nothing being entered: Save does nothing
     },
     kLedgerRows, "MSFT|2024-02-01|50|20|2|S"},
    {"EditNextAnsweredYesSavesThenMoves",
     [](EntrySequences& t) {
       t.edit();
       t.set("Quantity", "150");
       t.answer(MsgAnswer::Yes);
       t.next();
     },
     with(kLedgerRows, 0, {"1", "AAPL", "150", "B", "2024-01-15", "10", "1"}), "MSFT|2024-02-01|50|20|2|S"},
    {"EditFindAnsweredCancelThenSaveWritesTheEditedTrade",
     [](EntrySequences& t) {
       t.edit();
       t.set("Price", "11");
       t.answer(MsgAnswer::Cancel);
       t.find("IBM");
       t.save();
     },
     with(kLedgerRows, 0, {"1", "AAPL", "100", "B", "2024-01-15", "11", "1"}), "AAPL|2024-01-15|100|11|1|B"},
    {"EditAnotherTabAndBackKeepsTheTypedValues",
     [](EntrySequences& t) {
       t.edit();
       t.set("Commission", "4");
       t.tab(kBoughtTab);
       t.tab(kGeneralTab);
       EXPECT_EQ(t.box("Commission").toStdString(), "4");
       t.save();
     },
     with(kLedgerRows, 0, {"1", "AAPL", "100", "B", "2024-01-15", "10", "4"}), "AAPL|2024-01-15|100|10|4|B"},
    {"EditThenProfitLossAndDataSheetKeepTheTypedValues",
     [](EntrySequences& t) {
       t.edit();
       t.set("Commission", "4");
       t.window.mnuViewItem_Click(4);
       t.window.mnuViewItem_Click(2);
       t.save();
     },
     with(kLedgerRows, 0, {"1", "AAPL", "100", "B", "2024-01-15", "10", "4"}), "AAPL|2024-01-15|100|10|4|B"},
    {"NewRecordAnotherTabAndBackSavesWhatWasTyped",
     [](EntrySequences& t) {
       t.typeNew("MSFT", "2024-04-01", "15", "300", "0");
       t.form()->optSell()->setChecked(true);
       t.tab(kBoughtTab);
       t.tab(kGeneralTab);
       t.save();
     },
     plus(kLedgerRows, {"2", "MSFT", "15", "S", "2024-04-01", "300", "0"}), "AAPL|2024-01-15|100|10|1|B"},
    {"NewRecordFromTheSoldTabStartsOnTheGeneralTab",
     [](EntrySequences& t) {
       t.tab(kSoldTab);
       t.typeNew("IBM", "2024-04-02", "5", "31", "1");
       EXPECT_EQ(t.form()->currentTab(), kGeneralTab);
       t.form()->optSell()->setChecked(true);
       t.save();
     },
     plus(kLedgerRows, {"3", "IBM", "5", "S", "2024-04-02", "31", "1"}), "AAPL|2024-01-15|100|10|1|B"},
    {"FindShowsTheSideOfTheFoundTradeAndDeleteRemovesIt",
     [](EntrySequences& t) {
       t.find("IBM");
       EXPECT_TRUE(t.form()->optSell()->isChecked());
       t.answer(MsgAnswer::Yes);
       t.remove();
     },
     without(kLedgerRows, 2), "AAPL|2024-01-15|100|10|1|B"},
    {"FindThenEditKeepsTheSaleASale",
     [](EntrySequences& t) {
       t.find("IBM");
       t.edit();
       t.set("Commission", "9");
       t.save();
     },
     with(kLedgerRows, 2, {"3", "IBM", "10", "S", "2024-03-01", "30", "9"}), "AAPL|2024-01-15|100|10|1|B"},
    {"AFindWithoutMatchThenNextShowsTheSideOfTheTradeShown",
     [](EntrySequences& t) {
       t.next();  // MSFT, a sale
       t.answer(MsgAnswer::Ok);
       t.find("NONE");
       t.answer(MsgAnswer::Ok);  // past the end: the last trade is said to be in view
       t.next();
     },
     kLedgerRows, "IBM|2024-03-01|10|30|3|S"},
    {"DeleteAndEditDoNothingOnTheBoughtTab",
     [](EntrySequences& t) {
       t.next();
       t.tab(kBoughtTab);
       EXPECT_FALSE(t.window.mnuFileItem(6)->isEnabled());
       EXPECT_FALSE(t.window.mnuEditItem(1)->isEnabled());
       t.remove();
       t.edit();
       EXPECT_FALSE(t.window.commands().entering());
       t.tab(kGeneralTab);
     },
     kLedgerRows, "AAPL|2024-01-15|100|10|1|B"},
    {"WithTheEntryWindowClosedDeleteDoesNothingAndNewRecordOpensIt",
     [](EntrySequences& t) {
       t.closeEntryWindow();
       ASSERT_FALSE(t.form());
       EXPECT_FALSE(t.window.tbMainButton(7)->isEnabled());
       t.remove();
       t.edit();
       t.newRecord();
       ASSERT_TRUE(t.form());
       EXPECT_TRUE(t.window.commands().entering());
       t.window.cancelEntry();
     },
     kLedgerRows, "AAPL|2024-01-15|100|10|1|B"},
    {"ClosingTheEntryWindowDuringAnEntryAnsweredCancelKeepsIt",
     [](EntrySequences& t) {
       t.typeNew("IBM", "2024-05-01", "1", "2", "3");
       t.form()->optBuy()->setChecked(true);
       t.answer(MsgAnswer::Cancel);
       t.closeEntryWindow();
       ASSERT_TRUE(t.form());
       t.save();
     },
     plus(kLedgerRows, {"3", "IBM", "1", "B", "2024-05-01", "2", "3"}), "AAPL|2024-01-15|100|10|1|B"},
    {"ExitDuringAnEntryAnsweredYesSavesFirst",
     [](EntrySequences& t) {
       t.window.show();
       t.typeNew("IBM", "2024-05-01", "1", "2", "3");
       t.form()->optBuy()->setChecked(true);
       t.answer(MsgAnswer::Yes);
       t.window.mnuFileItem_Click(8);
       EXPECT_FALSE(t.window.isVisible());
     },
     plus(kLedgerRows, {"3", "IBM", "1", "B", "2024-05-01", "2", "3"}), "closed"},
    {"ExitDuringAnEntryAnsweredNoDropsIt",
     [](EntrySequences& t) {
       t.window.show();
       t.typeNew("IBM", "2024-05-01", "1", "2", "3");
       t.answer(MsgAnswer::No);
       t.window.mnuFileItem_Click(8);
       EXPECT_FALSE(t.window.isVisible());
     },
     kLedgerRows, "closed"},
    {"ExitDuringAnEntryAnsweredCancelKeepsEverything",
     [](EntrySequences& t) {
       t.window.show();
       t.typeNew("IBM", "2024-05-01", "1", "2", "3");
       t.answer(MsgAnswer::Cancel);
       t.window.mnuFileItem_Click(8);
       EXPECT_TRUE(t.window.isVisible());
       EXPECT_TRUE(t.window.commands().entering());
       t.window.cancelEntry();
     },
     kLedgerRows, "AAPL|2024-01-15|100|10|1|B"},
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
       EXPECT_EQ(t.box("Price").toStdString(), "12");
       t.window.cancelEntry();
     },
     with(kLedgerRows, 0, {"1", "AAPL", "101", "B", "2024-01-15", "10", "1"}), "AAPL|2024-01-15|101|10|1|B"},
    {"NeitherSideChosenIsRefusedAndNewRecordStartsWithNeither",
     [](EntrySequences& t) {
       t.next();  // a sale is shown
       t.typeNew("IBM", "2024-05-01", "1", "2", "3");
       EXPECT_FALSE(t.form()->optBuy()->isChecked() || t.form()->optSell()->isChecked());
       t.answer(MsgAnswer::Ok);
       t.save();
       EXPECT_EQ(t.lastMessage(), "Please choose Buy or Sell.");
       t.window.cancelEntry();
     },
     kLedgerRows, "AAPL|2024-01-15|100|10|1|B"},
    {"ASymbolOutsideTheListIsAddedWithTheTradeWhenTheUserSaysSo",
     [](EntrySequences& t) {
       t.typeNew(" ZZZZ ", "2024-05-01", "1", "2", "3");
       t.form()->optBuy()->setChecked(true);
       t.answer(MsgAnswer::No);
       t.save();
       EXPECT_EQ(t.lastMessage(), newSymbolQuestion("ZZZZ"));
       EXPECT_TRUE(t.window.commands().entering());
       t.answer(MsgAnswer::Yes);
       t.save();
     },
     plus(kLedgerRows, {"11", "ZZZZ", "1", "B", "2024-05-01", "2", "3"}), "AAPL|2024-01-15|100|10|1|B"},
    {"AnEditToAnotherSymbolTakesThatCompanysNumber",
     [](EntrySequences& t) {
       t.edit();
       t.set("CompanySymbol", "KO");
       t.save();
     },
     with(kLedgerRows, 0, {"6", "KO", "100", "B", "2024-01-15", "10", "1"}), "KO|2024-01-15|100|10|1|B"},
};

TEST_P(EntrySequences, WriteTheTradeOnScreenAndLoseNothingTyped) {
  test::makeLedger(path(), kLedger);
  openLedger(path());
  GetParam().steps(*this);
  EXPECT_EQ(test::readAll(path(), "SELECT * FROM Trade ORDER BY rowid"), GetParam().rows);
  EXPECT_EQ(boxes(), GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(Clicks, EntrySequences, ::testing::ValuesIn(kSequences),
                         [](const ::testing::TestParamInfo<Sequence>& info) { return std::string(info.param.name); });

class ProgramLedgers : public test::WindowTest {};

TEST_F(ProgramLedgers, TheTemplateAndTheMasterAreRefusedUnderAnySpellingOfTheirPath) {
  namespace fs = std::filesystem;
  test::makeLedger(dir.file("l.mdb"), kLedger);
  fs::create_directory_symlink(dir.path(), dir.file("linked"));
  const std::string spellings[] = {dir.file("linked/DatSource.mdb"), dir.path().string() + "/./DatSource.mdb",
                                   dir.file("linked/Zuvivev.mdb"), dir.path().string() + "/sub/../Zuvivev.mdb"};
  fs::create_directory(dir.file("sub"));
  for (const std::string& spelling : spellings) {
    SCOPED_TRACE(spelling);
    EXPECT_TRUE(app.isProgramLedger(spelling));
    files.queueOpen(spelling);
    files.queueOpen(std::nullopt);
    prompter.expect(MsgAnswer::Ok);
    window.mnuFileItem_Click(3);
    EXPECT_EQ(prompter.shown.back().icon, MsgIcon::Information);
    EXPECT_TRUE(app.session().LedgerPath.empty());
  }
  EXPECT_FALSE(app.isProgramLedger(dir.file("l.mdb")));
  EXPECT_FALSE(app.isProgramLedger(dir.file("linked/l.mdb")));
}

}  // namespace
}  // namespace ledger
