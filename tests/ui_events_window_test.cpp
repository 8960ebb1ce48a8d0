// The Splits and Dividends window from the Edit menu and from the symbol
// box: it lists the company's events, adds one and follows an Undo.
#include <gtest/gtest.h>

#include <QMenu>

#include "ledger/event_writes.h"
#include "ui/views/events_window.h"
#include "window_fixture.h"

namespace ledger {
namespace {

class EventsWindowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    test::makeLedger(dir.file("l.mdb"), {{2, "MSFT", 100, "B", "2024-01-10", 10, 1}});
    openLedger(dir.file("l.mdb"));
    Database db = app.session().ledgerConnection();
    addSplit(db, {"MSFT", "2024-03-01", 2, 1});
    addDividend(db,
                {"MSFT", "2024-05-15", *Decimal::parse("12.5"), *Decimal::parse("2.5"), std::nullopt, std::nullopt});
  }
  EventsWindow* events() { return window.forms().find<EventsWindow>("frmEvents"); }
  QTableWidget* grid(const char* name) { return events()->findChild<QTableWidget*>(name); }
  QLineEdit* box(const char* name) { return events()->findChild<QLineEdit*>(name); }
  QStringList row(const char* name, int r) {
    QStringList cells;
    for (int c = 0; c < grid(name)->columnCount(); ++c) cells << grid(name)->item(r, c)->text();
    return cells;
  }
};

TEST_F(EventsWindowTest, EditMenuListsTheShownCompanysEventsAndFollowsUndo) {
  window.mnuEditItem_Click(6);
  ASSERT_NE(events(), nullptr);
  EXPECT_EQ(events()->company(), "MSFT");
  EXPECT_EQ(row("grdSplits", 0), (QStringList{"2024-03-01", "2:1"}));
  EXPECT_EQ(row("grdDividends", 0), (QStringList{"2024-05-15", "12.5", "2.5", "10", "", ""}));

  // 100 bought, 2:1 before: 200 held; 200 × 1 ÷ 4 = 50.
  box("txtSplitDate")->setText("2024-06-03");
  box("txtRatio")->setText("1:4");
  EXPECT_EQ(events()->findChild<QLabel*>("lblHolding")->text(),
            "You hold 200 shares; after a 1:4 split you will hold 50.");
  events()->findChild<QPushButton*>("cmdAddSplit")->click();
  EXPECT_EQ(grid("grdSplits")->rowCount(), 2);
  EXPECT_EQ(window.mnuEditItem(3)->text(), "&Undo New Split of MSFT 2024-06-03 (1:4)");

  window.mnuEditItem_Click(3);
  EXPECT_EQ(grid("grdSplits")->rowCount(), 1);
}

TEST_F(EventsWindowTest, TheSymbolBoxsMenuOpensTheWindowOnItsCompany) {
  QMenu* menu = form()->popupSymbolMenu(QPoint(1, 1));
  auto* item = menu->findChild<QAction*>("mnuCompanyEvents");
  ASSERT_NE(item, nullptr);
  item->trigger();
  menu->close();
  ASSERT_NE(events(), nullptr);
  EXPECT_EQ(events()->company(), "MSFT");
  EXPECT_EQ(grid("grdDividends")->rowCount(), 1);
}

TEST_F(EventsWindowTest, ItsChangesAreOffWhileTheLedgerIsReadOnly) {
  // A table the program did not make opens a ledger read-only.
  const std::string foreign = dir.file("foreign.mdb");
  test::makeLedger(foreign, {{2, "MSFT", 100, "B", "2024-01-10", 10, 1}});
  Database::openFile(foreign, false).executeScript("CREATE TABLE notes(body TEXT);");
  const auto addOn = [&] { return events()->findChild<QPushButton*>("cmdAddSplit")->isEnabled(); };
  window.mnuEditItem_Click(6);
  EXPECT_TRUE(addOn());

  prompter.expect(MsgAnswer::Ok);  // the notes table is named once
  openLedger(foreign);
  window.mnuEditItem_Click(6);
  EXPECT_FALSE(addOn());
  EXPECT_EQ(events()->company(), "MSFT");
}

}  // namespace
}  // namespace ledger
