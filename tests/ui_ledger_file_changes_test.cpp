// The open ledger's file changed from outside, as a person meets it in the
// windows: the next command says so once, and no window goes on showing
// the old file's trades as if they were current.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QMenu>
#include <QToolBar>

#include <filesystem>
#include <fstream>

#include "window_fixture.h"

namespace ledger {
namespace {

namespace fs = std::filesystem;

class LedgerFileChangesTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}, {2, "MSFT", 20, "S", "2024-01-03", 200, 6}});
    openLedger(path);
    ASSERT_EQ(box("CompanySymbol"), "AAPL");
  }
  void clickNext() { form()->tbNavigateG_ButtonClick(form()->navigationBar(0)->actions().at(2)); }
  // Lets the main window follow, as the event loop does after a command.
  void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  std::string title() { return window.windowTitle().toStdString(); }

  std::string path = dir.file("l.mdb");
};

TEST_F(LedgerFileChangesTest, ADeletedLedgerIsSaidOnceAndClosed) {
  window.mnuViewItem_Click(2);  // the datasheet
  ASSERT_TRUE(window.forms().find("frmDatasheet"));
  fs::remove(path);
  prompter.expect(MsgAnswer::Ok);
  clickNext();
  settle();
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text.rfind("The ledger file has been deleted or moved since it was opened:", 0), 0u);
  // The no-ledger state: no window with the old trades, no ledger in the title.
  EXPECT_EQ(form(), nullptr);
  EXPECT_EQ(window.forms().find("frmDatasheet"), nullptr);
  EXPECT_EQ(title(), "Torvik's Dozeza Dovezir - ");
  EXPECT_FALSE(window.mnuEdit()->menuAction()->isVisible());
  EXPECT_FALSE(window.mnuFileItem(6)->isEnabled());
  EXPECT_TRUE(window.mnuFileItem(3)->isEnabled());
  EXPECT_TRUE(window.mnuFileItem(1)->isEnabled());

  // Another ledger opens as usual afterwards.
  test::makeLedger(dir.file("other.mdb"), {{3, "IBM", 1, "B", "2024-03-03", 3, 1}});
  openLedger(dir.file("other.mdb"));
  EXPECT_EQ(box("CompanySymbol"), "IBM");
  EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(LedgerFileChangesTest, AReplacedLedgerIsSaidOnceAndShownFromTheNewFile) {
  window.mnuViewItem_Click(4);  // profit/loss, read when it opens
  ASSERT_TRUE(window.forms().find("frmPL"));
  test::makeLedger(dir.file("new.mdb"), {{9, "NEW", 1, "B", "2024-09-09", 9, 1}});
  fs::rename(dir.file("new.mdb"), path);
  prompter.expect(MsgAnswer::Ok);
  clickNext();
  settle();
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text.rfind("The ledger file has been replaced by another file", 0), 0u);
  EXPECT_EQ(box("CompanySymbol"), "NEW");
  EXPECT_EQ(title(), "Torvik's Dozeza Dovezir - " + path);
  // Later commands read the new file without a word.
  clickNext();
  settle();
  EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(LedgerFileChangesTest, ATradeBeingTypedIsKeptWhenTheFileIsReplaced) {
  window.mnuFileItem_Click(2);  // New Record
  form()->cboCompanySymbol()->setEditText("MSFT");
  form()->box("Date", 0)->setText("2024-06-01");
  form()->box("Quantity", 0)->setText("3");
  form()->box("Price", 0)->setText("4");
  form()->box("Commission", 0)->setText("1");
  form()->optBuy()->setChecked(true);
  test::makeLedger(dir.file("new.mdb"), {{9, "NEW", 1, "B", "2024-09-09", 9, 1}});
  fs::rename(dir.file("new.mdb"), path);
  prompter.expect(MsgAnswer::Ok);
  window.mnuFileItem_Click(5);  // Save: refused with the one message
  settle();
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text.rfind("The ledger file has been replaced by another file", 0), 0u);
  EXPECT_EQ(box("Date"), "2024-06-01");
  EXPECT_EQ(box("Quantity"), "3");
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Trade")[0][0], "1");

  // Save again: the trade goes into the file that stands there now.
  window.mnuFileItem_Click(5);
  settle();
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(test::readAll(path, "SELECT CompanySymbol, Quantity FROM Trade ORDER BY rowid"),
            (std::vector<std::vector<std::string>>{{"NEW", "1"}, {"MSFT", "3"}}));
}

}  // namespace
}  // namespace ledger
