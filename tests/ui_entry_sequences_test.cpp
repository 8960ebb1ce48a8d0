// Sequences of commands as a person clicks them during New Record and Edit,
// end to end through the window: its tabs, the views and Exit keep typed
// work. The other sequences run through the fake window
// (core_entry_sequences_test.cpp).
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <filesystem>
#include <functional>
#include <ostream>

#include "window_fixture.h"
#include "entry_sequence_rows.h"

namespace ledger {
namespace {

using test::kSequenceLedger;
using test::kSequenceLedgerRows;
using test::plus;
using test::Rows;
using test::with;

class EntrySequences;

using Sequence = test::EntrySequence<EntrySequences>;

class EntrySequences : public test::WindowTest, public ::testing::WithParamInterface<Sequence> {
 public:
  using test::WindowTest::box;
  using test::WindowTest::form;
  using test::WindowTest::window;
  std::string path() { return dir.file("l.mdb"); }
  void edit() { window.mnuEditItem_Click(1); }
  void save() { window.mnuFileItem_Click(5); }
  void newRecord() { window.mnuFileItem_Click(2); }
  void tab(int index) { form()->SSTab()->setCurrentIndex(index); }
  void set(const char* column, const char* text) { form()->box(column, kGeneralTab)->setText(text); }
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
};


const Sequence kSequences[] = {
    {"EditAnotherTabAndBackKeepsTheTypedValues",
     [](EntrySequences& t) {
       t.edit();
       t.set("Commission", "4");
       t.tab(kBoughtTab);
       t.tab(kGeneralTab);
       EXPECT_EQ(t.box("Commission").toStdString(), "4");
       t.save();
     },
     with(kSequenceLedgerRows, 0, {"1", "AAPL", "100", "B", "2024-01-15", "10", "4"}), "AAPL|2024-01-15|100|10|4|B"},
    {"EditThenProfitLossAndDataSheetKeepTheTypedValues",
     [](EntrySequences& t) {
       t.edit();
       t.set("Commission", "4");
       t.window.mnuViewItem_Click(4);
       t.window.mnuViewItem_Click(2);
       t.save();
     },
     with(kSequenceLedgerRows, 0, {"1", "AAPL", "100", "B", "2024-01-15", "10", "4"}), "AAPL|2024-01-15|100|10|4|B"},
    {"NewRecordFromTheSoldTabStartsOnTheGeneralTab",
     [](EntrySequences& t) {
       t.tab(kSoldTab);
       t.typeNew("IBM", "2024-04-02", "5", "31", "1");
       EXPECT_EQ(t.form()->currentTab(), kGeneralTab);
       t.form()->optSell()->setChecked(true);
       t.save();
     },
     plus(kSequenceLedgerRows, {"3", "IBM", "5", "S", "2024-04-02", "31", "1"}), "AAPL|2024-01-15|100|10|1|B"},
    {"ExitDuringAnEntryAnsweredYesSavesFirst",
     [](EntrySequences& t) {
       t.window.show();
       t.typeNew("IBM", "2024-05-01", "1", "2", "3");
       t.form()->optBuy()->setChecked(true);
       t.answer(MsgAnswer::Yes);
       t.window.mnuFileItem_Click(8);
       EXPECT_FALSE(t.window.isVisible());
     },
     plus(kSequenceLedgerRows, {"3", "IBM", "1", "B", "2024-05-01", "2", "3"}), "closed"},
};

TEST_P(EntrySequences, WriteTheTradeOnScreenAndLoseNothingTyped) {
  test::makeLedger(path(), kSequenceLedger);
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
  test::makeLedger(dir.file("l.mdb"), kSequenceLedger);
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
