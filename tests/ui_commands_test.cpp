// The File, Edit and View commands end to end: scripted dialogs and
// messages in, the ledger file and the windows checked afterwards.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/app_context.h"
#include "app/startup.h"
#include "ledger/ledger_schema.h"
#include "fakes.h"
#include "window_fixture.h"
#include "test_ledger.h"
#include "ui/entry/add_company_dialog.h"
#include "ui/entry/entry_form.h"
#include "ui/hourglass.h"
#include "ui/main/mdi_main.h"

namespace ledger {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class CommandsTest : public test::WindowTest {
 protected:
  Rows trades(const std::string& path) { return test::readAll(path, "SELECT * FROM Trade ORDER BY rowid"); }
  void typeTrade(const char* date, const char* qty, const char* price, const char* commission, bool buy) {
    form()->box("Date", 0)->setText(date);
    form()->box("Quantity", 0)->setText(qty);
    form()->box("Price", 0)->setText(price);
    form()->box("Commission", 0)->setText(commission);
    (buy ? form()->optBuy() : form()->optSell())->setChecked(true);
  }
};

TEST_F(CommandsTest, NewDatabaseShowsTheNewLedgersEmptyGeneralTab) {
  files.queueSave(dir.file("mine.mdb"));
  window.mnuFileItem_Click(1);
  ASSERT_TRUE(form());
  EXPECT_EQ(window.windowTitle().toStdString(), "Torvik's Dozeza Dovezir - " + dir.file("mine.mdb"));
  EXPECT_EQ(box("CompanySymbol"), "");
  EXPECT_EQ(window.statusText(), "No records available");
  EXPECT_TRUE(window.mnuEdit()->menuAction()->isVisible());
  EXPECT_TRUE(window.mnuView()->menuAction()->isVisible());
  EXPECT_TRUE(window.tbMainButton(2)->isEnabled());   // New, as the entry form sets it
  EXPECT_FALSE(window.tbMainButton(4)->isEnabled());  // nothing to edit
  EXPECT_FALSE(window.mnuFileItem(2)->isEnabled());   // no state operation ran
  EXPECT_FALSE(hourglassShown());
}

TEST_F(CommandsTest, OpenRefusesTheTemplateInAnyCaseThenOpensALedger) {
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  std::string shouting = app.templatePath();
  shouting.replace(shouting.size() - 13, 13, "DATSOURCE.mdb");
  files.queueOpen(shouting);
  files.queueOpen(dir.file("l.mdb"));
  prompter.expect(MsgAnswer::Ok);
  window.mnuFileItem_Click(3);
  EXPECT_EQ(prompter.shown.at(0).text,
            "This file contains the source databases and it cannot\r\nbe opened or modified. Please select another file.");
  EXPECT_EQ(prompter.shown.at(0).icon, MsgIcon::Information);
  EXPECT_EQ(files.shown.at(0).initialDirectory, app.programDir());
  EXPECT_EQ(window.windowTitle().toStdString(), "Torvik's Dozeza Dovezir - " + dir.file("l.mdb"));
  EXPECT_EQ(box("CompanySymbol"), "AAPL");
  EXPECT_EQ(window.statusText(), "Ready");
  EXPECT_FALSE(window.mnuFileItem(5)->isEnabled());
  EXPECT_TRUE(window.mnuFileItem(2)->isEnabled());
}

TEST_F(CommandsTest, OpenRefusesFilesThatAreNotLedgersAndChangesNothing) {
  test::makeLedger(dir.file("good.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  openLedger(dir.file("good.mdb"));
  std::ofstream(dir.file("random.mdb"), std::ios::binary) << std::string(3000, '\x17') << "noise";
  std::ofstream(dir.file("empty.mdb"), std::ios::binary);
  Database::openFile(dir.file("other.mdb"), true).executeScript("CREATE TABLE t(x); INSERT INTO t VALUES (1);");
  const QString title = window.windowTitle();
  for (const char* name : {"random.mdb", "empty.mdb", "other.mdb"}) {
    const std::string before = test::readBytes(dir.file(name));
    prompter.expect(MsgAnswer::Ok);
    openLedger(dir.file(name));
    EXPECT_EQ(prompter.shown.back().icon, MsgIcon::Critical) << name;
    EXPECT_NE(prompter.shown.back().text.find("DB Path : " + dir.file(name) + "."), std::string::npos);
    EXPECT_EQ(test::readBytes(dir.file(name)), before) << name;
    EXPECT_EQ(window.windowTitle(), title);
    EXPECT_EQ(app.session().LedgerPath, dir.file("good.mdb"));
    ASSERT_TRUE(form());
    EXPECT_EQ(box("CompanySymbol"), "AAPL");
  }
  // Cancel changes nothing either.
  files.queueOpen(std::nullopt);
  window.mnuFileItem_Click(3);
  EXPECT_EQ(app.session().LedgerPath, dir.file("good.mdb"));
}

TEST_F(CommandsTest, AltFOpensTheFileMenuAndFindItIsReachedByEnterOrTabAndSpace) {
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}, {2, "MSFT", 20, "B", "2024-02-03", 200, 6}});
  openLedger(dir.file("l.mdb"));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QLineEdit* ticker = form()->txtTicker();
  QSignalSpy finds(form()->cmdFind(), &QPushButton::clicked);
  ticker->setFocus();
  QTest::keyClick(ticker, Qt::Key_F, Qt::AltModifier);
  EXPECT_EQ(QApplication::activePopupWidget(), window.mnuFile());
  EXPECT_EQ(finds.count(), 0);
  EXPECT_EQ(form()->cmdFind()->text(), "&Find it");
  window.mnuFile()->close();

  const std::pair<const char*, std::function<void()>> ways[] = {
      {"Enter", [&] { QTest::keyClick(ticker, Qt::Key_Return); }},
      {"Tab and Space",
       [&] {
         QTest::keyClick(ticker, Qt::Key_Tab);
         QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
       }},
  };
  // Each way finds the symbol the General tab does not show yet.
  for (const auto& [way, press] : ways) {
    const QString other = box("CompanySymbol") == "AAPL" ? "MSFT" : "AAPL";
    ticker->setFocus();
    ticker->setText(other);
    press();
    EXPECT_EQ(box("CompanySymbol"), other) << way;
  }
}

TEST_F(CommandsTest, NewRecordThenSaveAddsOneTradeAndShowsTheFirstAgain) {
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  openLedger(dir.file("l.mdb"));
  window.tbMain_ButtonClick(window.tbMainButton(2));  // New
  EXPECT_TRUE(form()->cboCompanySymbol()->isVisibleTo(form()));
  EXPECT_FALSE(form()->box("CompanySymbol", 0)->isVisibleTo(form()));
  EXPECT_GE(form()->cboCompanySymbol()->count(), 5);
  EXPECT_EQ(box("CompanySymbol"), "");
  EXPECT_EQ(window.tbMainButton(9)->property("Tag").toString(), "Cancel");

  // The symbol is picked and Save pressed without leaving the list.
  form()->cboCompanySymbol()->setEditText("MSFT");
  typeTrade("2024-06-01", "3", "410.5", "1.25", false);
  window.tbMain_ButtonClick(window.tbMainButton(6));  // Save
  const std::string msftId = test::readAll(dir.file("l.mdb"), "SELECT CompanyID FROM Companies WHERE CompanySymbol = 'MSFT'")[0][0];
  EXPECT_EQ(trades(dir.file("l.mdb")), (Rows{{"1", "AAPL", "10", "B", "2024-01-02", "100", "5"},
                                             {msftId, "MSFT", "3", "S", "2024-06-01", "410.5", "1.25"}}));
  EXPECT_EQ(box("CompanySymbol"), "AAPL");
  EXPECT_FALSE(form()->cboCompanySymbol()->isVisibleTo(form()));
  EXPECT_EQ(window.recordMode(), "Save");
  EXPECT_EQ(window.tbMainButton(9)->property("Tag").toString(), "Close");

  form()->SSTab()->setCurrentIndex(2);
  EXPECT_EQ(box("TotalSell", 2), "1230.25");
}

TEST_F(CommandsTest, BadInputKeepsTheEntryAndWritesNothing) {
  test::makeLedger(dir.file("l.mdb"));
  openLedger(dir.file("l.mdb"));
  window.mnuFileItem_Click(2);
  form()->cboCompanySymbol()->setEditText("IBM");
  typeTrade("2024-13-01", "3", "1", "1", true);
  prompter.expect(MsgAnswer::Ok);
  window.mnuFileItem_Click(5);
  EXPECT_NE(prompter.shown.back().text.find("date"), std::string::npos);
  EXPECT_TRUE(trades(dir.file("l.mdb")).empty());
  EXPECT_EQ(box("Date"), "2024-13-01");
  EXPECT_TRUE(window.mnuFileItem(5)->isEnabled());  // still entering
  EXPECT_FALSE(form()->box("Date", 0)->isReadOnly());

  form()->box("Date", 0)->setText("2024-12-01");
  window.mnuFileItem_Click(5);
  EXPECT_EQ(trades(dir.file("l.mdb")).size(), 1u);
}

TEST_F(CommandsTest, EditKeepsTheCompanyAndCancelThenNewRecordLeavesTheEarlierTrade) {
  test::makeLedger(dir.file("l.mdb"), {{7, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  openLedger(dir.file("l.mdb"));
  window.mnuEditItem_Click(1);
  EXPECT_EQ(window.recordMode(), "Edit");
  form()->box("CompanyID", 0)->setText("99");
  form()->box("Price", 0)->setText("101");
  window.mnuFileItem_Click(5);
  EXPECT_EQ(trades(dir.file("l.mdb")), (Rows{{"7", "AAPL", "10", "B", "2024-01-02", "101", "5"}}));

  window.mnuEditItem_Click(1);
  form()->box("Price", 0)->setText("555");
  window.cancelEntry();
  EXPECT_EQ(box("Price"), "101");
  window.mnuFileItem_Click(2);
  form()->cboCompanySymbol()->setEditText("IBM");
  typeTrade("2024-02-02", "1", "2", "3", true);
  window.mnuFileItem_Click(5);
  EXPECT_EQ(trades(dir.file("l.mdb")).at(0), (std::vector<std::string>{"7", "AAPL", "10", "B", "2024-01-02", "101", "5"}));
  EXPECT_EQ(trades(dir.file("l.mdb")).size(), 2u);
}

TEST_F(CommandsTest, DeleteAnsweredNoChangesNothingButReloadsTheTab) {
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}, {2, "MSFT", 1, "S", "2024-01-03", 1, 1}});
  openLedger(dir.file("l.mdb"));
  form()->tbNavigateG_ButtonClick(form()->navigationBar(0)->actions().at(2));
  EXPECT_EQ(box("CompanySymbol"), "MSFT");
  prompter.expect(MsgAnswer::No);
  window.mnuFileItem_Click(6);
  EXPECT_EQ(trades(dir.file("l.mdb")).size(), 2u);
  EXPECT_EQ(box("CompanySymbol"), "AAPL");  // the tab was read again

  form()->tbNavigateG_ButtonClick(form()->navigationBar(0)->actions().at(2));
  prompter.expect(MsgAnswer::Yes);
  window.tbMain_ButtonClick(window.tbMainButton(7));
  EXPECT_EQ(trades(dir.file("l.mdb")), (Rows{{"1", "AAPL", "10", "B", "2024-01-02", "100", "5"}}));
}

TEST_F(CommandsTest, AddCompanyWithARepeatedSymbol) {
  test::makeLedger(dir.file("l.mdb"));
  openLedger(dir.file("l.mdb"));
  for (int round = 0; round < 2; ++round) {
    window.mnuEditItem_Click(2);
    auto* dialog = window.forms().find<AddCompanyDialog>("frmAddCompany");
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->txtCompanySymbol()->text(), "");
    dialog->txtCompanySymbol()->setText("NEW'Co ");
    dialog->cmdAdd()->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window.forms().find("frmAddCompany"));
  }
  // Stored without the blank the user typed after it.
  EXPECT_EQ(test::readAll(dir.file("l.mdb"), "SELECT count(*) FROM Companies WHERE CompanySymbol = 'NEW''Co'")[0][0], "2");
  window.mnuFileItem_Click(2);
  EXPECT_EQ(form()->cboCompanySymbol()->findText("NEW'Co"), form()->cboCompanySymbol()->count() - 1);
}

TEST_F(CommandsTest, HistoryOnlyFromTheGeneralTab) {
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  openLedger(dir.file("l.mdb"));
  form()->SSTab()->setCurrentIndex(1);
  prompter.expect(MsgAnswer::Ok);
  window.mnuViewItem_Click(3);
  EXPECT_EQ(prompter.shown.back().text,
            "Please select the General tab and choose the \r\ncompany which you want to view it's history.");
  EXPECT_FALSE(window.forms().find("frmHistory"));
  form()->SSTab()->setCurrentIndex(0);
  window.mnuSHViewItem_Click(3);
  ASSERT_TRUE(window.forms().find("frmHistory"));
  EXPECT_EQ(window.forms().find("frmHistory")->windowTitle(), "History of AAPL");
}

TEST_F(CommandsTest, ViewsOpenAndRefreshByTag) {
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  openLedger(dir.file("l.mdb"));
  window.mnuViewItem_Click(1);
  window.mnuViewItem_Click(4);
  EXPECT_EQ(window.forms().loaded(), QStringList({"frmMain", "frmChart", "frmPL"}));
  EXPECT_EQ(app.session().CurrentRecordset->sourceName(), "Trade");  // the entry form's tab ran again

  // Refresh reloads exactly the view its tag names.
  window.mnuRestoreItem_Click(2);
  const std::pair<ViewTag, const char*> tags[] = {{ViewTag::Datasheet, "frmDatasheet"},
                                                   {ViewTag::History, "frmHistory"},
                                                   {ViewTag::Chart, "frmChart"},
                                                   {ViewTag::ProfitLoss, "frmPL"},
                                                   {ViewTag::Gains, "frmGains"}};
  for (const auto& [tag, reloaded] : tags) {
    std::map<QString, QWidget*> before;
    for (const QString& name : window.forms().loaded()) before[name] = window.forms().find(name);
    window.commands().setViewTag(tag);
    window.mnuRestoreItem_Click(1);
    for (const auto& [name, widget] : before)
      EXPECT_EQ(window.forms().find(name) != widget, name == reloaded) << reloaded << " " << name.toStdString();
  }

  window.commands().setViewTag(ViewTag::None);
  window.mnuRestoreItem_Click(1);
  EXPECT_EQ(window.forms().loaded().size(), 6);
  window.forms().unload("frmHistory");
  window.forms().unload("frmDatasheet");

  window.mnuRestoreItem_Click(2);
  EXPECT_EQ(window.forms().loaded(),
            QStringList({"frmMain", "frmDatasheet", "frmHistory", "frmChart", "frmPL", "frmGains"}));
}

TEST_F(CommandsTest, ChartOfAnEmptyLedgerSaysSoAndTheOthersStillOpen) {
  test::makeLedger(dir.file("l.mdb"));
  openLedger(dir.file("l.mdb"));
  prompter.expect(MsgAnswer::Ok);
  window.mnuRestoreItem_Click(2);
  EXPECT_EQ(prompter.shown.back().text, "There are no records in this database.");
  EXPECT_EQ(window.forms().loaded(), QStringList({"frmMain", "frmDatasheet", "frmHistory", "frmPL", "frmGains"}));
}

}  // namespace
}  // namespace ledger
