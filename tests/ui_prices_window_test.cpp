// The Prices window from the Edit menu: it lists the shown company's
// prices, adds one, follows an Undo, and is off while the ledger is
// read-only.
#include <gtest/gtest.h>

#include "ledger/price_writes.h"
#include "ui/views/prices_window.h"
#include "window_fixture.h"

namespace ledger {
namespace {

class PricesWindowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    test::makeLedger(dir.file("l.mdb"), {{2, "MSFT", 100, "B", "2024-01-10", 10, 1}});
    openLedger(dir.file("l.mdb"));
    Database db = app.session().ledgerConnection();
    addPrice(db, {"MSFT", "2024-03-01", *Decimal::parse("412.5")});
  }
  PricesWindow* prices() { return window.forms().find<PricesWindow>("frmPrices"); }
  QTableWidget* grid() { return prices()->findChild<QTableWidget*>("grdPrices"); }
  QLineEdit* box(const char* name) { return prices()->findChild<QLineEdit*>(name); }
  QPushButton* button(const char* name) { return prices()->findChild<QPushButton*>(name); }
  QStringList row(int r) { return {grid()->item(r, 0)->text(), grid()->item(r, 1)->text()}; }
};

TEST_F(PricesWindowTest, EditMenuListsTheShownCompanysPricesAndFollowsUndo) {
  window.mnuEditItem_Click(7);
  ASSERT_NE(prices(), nullptr);
  EXPECT_EQ(prices()->company(), "MSFT");
  ASSERT_EQ(grid()->rowCount(), 1);
  EXPECT_EQ(row(0), (QStringList{"2024-03-01", "412.5"}));

  // A row picked fills the boxes.
  grid()->selectRow(0);
  EXPECT_EQ(box("txtPriceDate")->text(), "2024-03-01");
  EXPECT_EQ(box("txtClose")->text(), "412.5");

  box("txtPriceDate")->setText("2024-02-29");
  box("txtClose")->setText("401.25");
  button("cmdAddPrice")->click();
  ASSERT_EQ(grid()->rowCount(), 2);
  EXPECT_EQ(row(0), (QStringList{"2024-02-29", "401.25"}));
  EXPECT_EQ(window.mnuEditItem(3)->text(), "&Undo New Price of MSFT 2024-02-29 (401.25)");

  window.mnuEditItem_Click(3);
  EXPECT_EQ(grid()->rowCount(), 1);
}

TEST_F(PricesWindowTest, ItsChangesAreOffWhileTheLedgerIsReadOnly) {
  // A table the program did not make opens a ledger read-only.
  const std::string foreign = dir.file("foreign.mdb");
  test::makeLedger(foreign, {{2, "MSFT", 100, "B", "2024-01-10", 10, 1}});
  Database::openFile(foreign, false).executeScript("CREATE TABLE notes(body TEXT);");
  window.mnuEditItem_Click(7);
  EXPECT_TRUE(button("cmdAddPrice")->isEnabled());

  prompter.expect(MsgAnswer::Ok);  // the notes table is named once
  openLedger(foreign);
  window.mnuEditItem_Click(7);
  for (const char* name : {"cmdAddPrice", "cmdChangePrice", "cmdDeletePrice"}) EXPECT_FALSE(button(name)->isEnabled());
  EXPECT_EQ(prices()->company(), "MSFT");
}

}  // namespace
}  // namespace ledger
