// Edit, Undo and Redo end to end: the menu items and buttons name the step,
// the ledger file gets its rows back, the entry window shows the trade
// concerned, and the commands stand aside during an entry, on a conflict
// and after a restart as the user would expect.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>

#include <functional>

#include "ledger/ledger_writes.h"
#include "ui/views/datasheet_view.h"
#include "ui/views/recordset_model.h"
#include "window_fixture.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

const Rows kThreeTrades = {{"1", "1", "AAPL", "10", "B", "2024-01-02", "100", "5"},
                           {"2", "2", "MSFT", "150", "B", "2025-04-10", "390.25", "9.95"},
                           {"3", "3", "IBM", "20", "S", "2025-05-06", "131.5", "4"}};

class UndoTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100, 5},
                            {2, "MSFT", 150, "B", "2025-04-10", 390.25, 9.95},
                            {3, "IBM", 20, "S", "2025-05-06", 131.5, 4}});
    openLedger(path);
    ASSERT_TRUE(form());
  }
  Rows trades() { return test::readAll(path, "SELECT rowid, * FROM Trade ORDER BY rowid"); }
  void next() { form()->tbNavigateG_ButtonClick(form()->navigationBar(kGeneralTab)->actions().at(2)); }
  void deleteShown() {
    prompter.expect(MsgAnswer::Yes);
    window.mnuFileItem_Click(6);
  }
  // What the Edit menu and the toolbar offer, as one line for comparisons.
  std::string offered() {
    std::string s;
    for (auto [item, button] : {std::pair{window.mnuEditItem(3), window.tbMainButton(12)},
                                std::pair{window.mnuEditItem(4), window.tbMainButton(13)}}) {
      EXPECT_EQ(item->isEnabled(), button->isEnabled()) << item->text().toStdString();
      QString plain = item->text();
      plain.remove(QLatin1Char('&'));
      EXPECT_EQ(plain, button->toolTip());
      s += item->text().toStdString() + (item->isEnabled() ? "" : " (off)") + " | ";
    }
    return s;
  }

  std::string path = dir.file("l.mdb");
};

TEST_F(UndoTest, EachStepIsNamedTakenBackAndMadeAgainWithTheTradeConcernedShown) {
  struct Row {
    const char* what;
    std::function<void()> act;
    std::string offered;  // Undo | Redo, "(off)" when disabled
    Rows trades;
    const char* shownDate;  // the General tab afterwards
    std::optional<std::int64_t> shownRow;
  };
  Rows withoutMsft = {kThreeTrades[0], kThreeTrades[2]};
  Rows ibmEdited = kThreeTrades;
  ibmEdited[2][6] = "131.75";
  const std::string deleteMsft = "Delete of MSFT 2025-04-10 (150 shares)";
  const std::string editIbm = "Edit of IBM 2025-05-06 (20 shares)";
  const Row rows[] = {
      {"opened", [] {}, "&Undo (off) | Re&do (off) | ", kThreeTrades, "2024-01-02", 1},
      {"delete MSFT", [&] { next(); deleteShown(); }, "&Undo " + deleteMsft + " | Re&do (off) | ", withoutMsft,
       "2024-01-02", 1},
      {"toolbar Undo", [&] { window.tbMain_ButtonClick(window.tbMainButton(12)); },
       "&Undo (off) | Re&do " + deleteMsft + " | ", kThreeTrades, "2025-04-10", 2},
      {"menu Redo", [&] { window.mnuEditItem(4)->trigger(); }, "&Undo " + deleteMsft + " | Re&do (off) | ", withoutMsft,
       "2024-01-02", 1},
      {"menu Undo", [&] { window.mnuEditItem(3)->trigger(); }, "&Undo (off) | Re&do " + deleteMsft + " | ",
       kThreeTrades, "2025-04-10", 2},
      // A new change ends the redo.
      {"edit IBM", [&] { next(); window.mnuEditItem_Click(1);
                         form()->box("Price", kGeneralTab)->setText("131.75");
                         window.mnuFileItem_Click(5); },
       "&Undo " + editIbm + " | Re&do (off) | ", ibmEdited, "2024-01-02", 1},
      {"undo the edit", [&] { window.mnuEditItem_Click(3); }, "&Undo (off) | Re&do " + editIbm + " | ",
       kThreeTrades, "2025-05-06", 3},
      {"toolbar Redo", [&] { window.tbMain_ButtonClick(window.tbMainButton(13)); },
       "&Undo " + editIbm + " | Re&do (off) | ", ibmEdited, "2025-05-06", 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    row.act();
    EXPECT_EQ(offered(), row.offered);
    EXPECT_EQ(trades(), row.trades);
    EXPECT_EQ(box("Date"), row.shownDate);
    EXPECT_EQ(app.session().ShownTrade, row.shownRow);
    EXPECT_EQ(form()->SSTab()->currentIndex(), kGeneralTab);
  }
}

TEST_F(UndoTest, UndoOfANewTradeShowsTheFirstTradeEvenFromAnotherTab) {
  window.mnuFileItem_Click(2);
  form()->cboCompanySymbol()->setEditText("MSFT");
  form()->box("Date", kGeneralTab)->setText("2025-06-01");
  form()->box("Quantity", kGeneralTab)->setText("1");
  form()->box("Price", kGeneralTab)->setText("400");
  form()->box("Commission", kGeneralTab)->setText("0");
  form()->optBuy()->setChecked(true);
  window.mnuFileItem_Click(5);
  EXPECT_EQ(offered(), "&Undo New Record of MSFT 2025-06-01 (1 share) | Re&do (off) | ");
  form()->SSTab()->setCurrentIndex(kSoldTab);
  window.mnuEditItem_Click(3);
  EXPECT_EQ(trades(), kThreeTrades);
  EXPECT_EQ(form()->SSTab()->currentIndex(), kGeneralTab);
  EXPECT_EQ(box("CompanySymbol"), "AAPL");
}

TEST_F(UndoTest, UnavailableWhileATradeIsTypedAndBackOnceTheEntryEnds) {
  next();
  deleteShown();
  const std::string available = "&Undo Delete of MSFT 2025-04-10 (150 shares) | Re&do (off) | ";
  ASSERT_EQ(offered(), available);
  for (const auto& [what, start] : std::initializer_list<std::pair<const char*, std::function<void()>>>{
           {"New Record", [&] { window.mnuFileItem_Click(2); }}, {"Edit", [&] { window.mnuEditItem_Click(1); }}}) {
    SCOPED_TRACE(what);
    start();
    EXPECT_EQ(offered(), "&Undo (off) | Re&do (off) | ");
    // Even when called regardless, nothing changes under the typed trade.
    window.mnuEditItem_Click(3);
    EXPECT_EQ(trades().size(), 2u);
    window.cancelEntry();
    EXPECT_EQ(offered(), available);
  }
}

TEST_F(UndoTest, AStepWhoseTradeChangedElsewhereIsRefusedWithAMessageAndStaysOffered) {
  next();
  deleteShown();
  const std::string available = offered();
  {
    // Another program adds a trade in the deleted trade's place.
    Database other = ledger::openLedger(path);
    other.executeScript("INSERT INTO Trade (rowid, CompanyID, CompanySymbol) VALUES (2, 5, 'ORCL')");
  }
  const std::string bytes = test::readBytes(path);
  prompter.expect(MsgAnswer::Ok);
  window.mnuEditItem_Click(3);
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[1].text,
            "Undo Delete of MSFT 2025-04-10 (150 shares) cannot be done.\r\n\r\nThe trade MSFT 2025-04-10 (150 "
            "shares) cannot go back to its place in the ledger: something added elsewhere holds it now.\r\n"
            "Nothing was changed.");
  EXPECT_EQ(prompter.shown[1].icon, MsgIcon::Information);
  EXPECT_EQ(test::readBytes(path), bytes);
  EXPECT_EQ(offered(), available);
}

TEST_F(UndoTest, OpenViewsAreReadAgainAndClosedOnesStayClosed) {
  window.mnuViewItem_Click(2);  // the datasheet
  ASSERT_TRUE(window.forms().find<DatasheetView>("frmDatasheet"));
  next();
  deleteShown();
  window.mnuEditItem_Click(3);
  auto* datasheet = window.forms().find<DatasheetView>("frmDatasheet");
  ASSERT_TRUE(datasheet);
  while (datasheet->model()->canFetchMore({})) datasheet->model()->fetchMore({});
  EXPECT_EQ(datasheet->model()->rowCount(), 3);
  EXPECT_EQ(window.forms().find("frmHistory"), nullptr);
  EXPECT_EQ(window.forms().find("frmChart"), nullptr);
}

TEST_F(UndoTest, StepsOutliveTheProgramAndAreOfferedAfterTheLedgerIsOpenedAgain) {
  next();
  deleteShown();
  window.forms().unloadAll();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  test::ScriptedPrompter prompter2;
  test::ScriptedFileChooser files2;
  AppContext app2{prompter2, files2, dir.path().string()};
  MDIMain window2{app2};
  EXPECT_FALSE(window2.mnuEditItem(3)->isEnabled()) << "no ledger open yet";
  files2.queueOpen(path);
  window2.mnuFileItem_Click(3);
  EXPECT_EQ(window2.mnuEditItem(3)->text(), "&Undo Delete of MSFT 2025-04-10 (150 shares)");
  EXPECT_TRUE(window2.tbMainButton(12)->isEnabled());
  window2.mnuEditItem_Click(3);
  EXPECT_EQ(trades(), kThreeTrades);
  window2.forms().unloadAll();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(prompter2.shown.empty());
}

}  // namespace
}  // namespace ledger
