// Getting trades in and out through the windows: File's Import Trades and
// Export Trades, Export to CSV on the grids' menu, the import window, and
// Open of a file in the older format. Each runs end to end with scripted
// dialogs and reads the files afterwards.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "transfer/csv_export.h"
#include "engine/database.h"
#include "ledger/ledger_writes.h"
#include "ui/transfer/import_window.h"
#include "window_fixture.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

std::string sourceFile(const std::string& relative) {
  return (fs::path(LEDGER_SOURCE_DIR) / relative).string();
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string exportText(const std::string& ledger, const std::string& source) {
  Database db = ledger::openLedger(ledger);
  std::ostringstream out;
  writeSourceCsv(db, source, out);
  return out.str();
}

class TransferWindowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // Remembered mappings go to this test's own folder.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(dir.file("settings")));
    test::makeLedger(ledger, {{1, "AAPL", 10, "B", "2024-03-14", 172.5, 4.95}});
    openLedger(ledger);
  }

  ImportWindow* startImport(const std::string& file) {
    // A window closed before is gone, so the new one is the one found.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    files.queueOpen(file);
    window.mnuFileItem_Click(9);
    return window.findChild<ImportWindow*>("frmImport");
  }
  template <class W>
  W* child(ImportWindow* w, const char* name) {
    W* found = w->findChild<W*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  std::string report(ImportWindow* w) {
    return child<QPlainTextEdit>(w, "txtReport")->toPlainText().toStdString();
  }
  Rows trades() {
    return test::readAll(ledger, "SELECT CompanySymbol, Quantity, [Buy/Sell], Date, Price, Commission FROM Trade "
                                 "ORDER BY rowid");
  }

  std::string ledger = dir.file("ledger.mdb");
};

TEST_F(TransferWindowTest, FileMenuGainsImportAndExportBeforeExitWithEveryIndexKept) {
  const std::pair<int, const char*> items[] = {
      {1, "&New Database..."}, {2, "&New Record"}, {3, "&Open..."},  {5, "&Save"},
      {6, "&Delete..."},       {8, "E&xit"},       {9, "&Import Trades\u2026"}, {12, "Import P&rices\u2026"},
      {10, "Ex&port Trades\u2026"}};
  for (const auto& [index, caption] : items) EXPECT_EQ(window.mnuFileItem(index)->text(), QString::fromUtf8(caption));
  const QList<QAction*> actions = window.mnuFile()->actions();
  EXPECT_EQ(actions.back(), window.mnuFileItem(8)) << "Exit stays the last item";
  EXPECT_EQ(actions.indexOf(window.mnuFileItem(9)), actions.indexOf(window.mnuFileItem(7)) + 1);
  EXPECT_EQ(actions.indexOf(window.mnuFileItem(12)), actions.indexOf(window.mnuFileItem(9)) + 1);
  EXPECT_TRUE(window.mnuFileItem(11)->isSeparator());

  emit window.mnuFile()->aboutToShow();
  EXPECT_TRUE(window.mnuFileItem(9)->isEnabled());
  EXPECT_TRUE(window.mnuFileItem(10)->isEnabled());
  EXPECT_TRUE(window.mnuFileItem(12)->isEnabled());
  window.mnuFileItem_Click(2);  // New Record: entering a trade
  emit window.mnuFile()->aboutToShow();
  EXPECT_FALSE(window.mnuFileItem(9)->isEnabled());
  EXPECT_FALSE(window.mnuFileItem(10)->isEnabled());
  EXPECT_FALSE(window.mnuFileItem(12)->isEnabled());
}

TEST_F(TransferWindowTest, ExportTradesWritesTheLedgerAsCsv) {
  files.queueSave(dir.file("out.csv"));
  window.mnuFileItem_Click(10);
  EXPECT_EQ(files.shown.back().filter, "CSV File (*.csv)|*.csv");
  EXPECT_EQ(test::readBytes(dir.file("out.csv")), exportText(ledger, "Trade"));

  files.queueSave(std::nullopt);  // Cancel writes nothing
  window.mnuFileItem_Click(10);
  EXPECT_FALSE(fs::exists(dir.file("cancelled.csv")));

  const std::string before = test::readBytes(ledger);
  files.queueSave(ledger);
  prompter.expect(MsgAnswer::Ok);
  window.mnuFileItem_Click(10);
  EXPECT_EQ(prompter.shown.back().text, "You can not save to this file.");
  EXPECT_EQ(test::readBytes(ledger), before);
}

TEST_F(TransferWindowTest, EveryDatasheetTabExportsItsRowsFromTheGridMenu) {
  window.mnuViewItem_Click(2);
  auto* grid = window.findChild<QTableView*>("DBGrid");
  ASSERT_NE(grid, nullptr);
  auto* tabs = window.findChild<QTabBar*>("TabStrip");
  const char* queries[] = {"TradeSorted", "BoughtSorted", "SoldSorted"};
  for (int tab = 0; tab < 3; ++tab) {
    tabs->setCurrentIndex(tab);
    QTest::mousePress(grid->viewport(), Qt::RightButton);
    EXPECT_TRUE(window.mnuRestoreItem(3)->isVisible());
    window.mnuRestore()->close();
    const std::string out = dir.file(std::string(queries[tab]) + ".csv");
    files.queueSave(out);
    window.mnuRestoreItem_Click(3);
    EXPECT_EQ(files.shown.back().fileName, std::string(queries[tab]) + ".csv");
    EXPECT_EQ(test::readBytes(out), exportText(ledger, queries[tab]));
  }
  // Raised over a view that is not a grid, the menu has no export.
  window.popupRestoreMenu(ViewTag::Chart);
  EXPECT_FALSE(window.mnuRestoreItem(3)->isVisible());
  window.mnuRestore()->close();
  window.mnuRestoreItem_Click(3);  // nothing to export: no dialog
}

TEST_F(TransferWindowTest, HistoryGridsExportTheirQueries) {
  window.mnuViewItem_Click(3);
  for (const char* name : {"DBGridBuy", "DBGridSell", "DBGridTotalBuy", "DBGridTotalSell", "DBGridPL"}) {
    auto* grid = window.findChild<QTableView*>(name);
    ASSERT_NE(grid, nullptr) << name;
    QTest::mousePress(grid->viewport(), Qt::RightButton);
    window.mnuRestore()->close();
    files.queueSave(dir.file(std::string(name) + ".csv"));
    window.mnuRestoreItem_Click(3);
    EXPECT_TRUE(fs::exists(dir.file(std::string(name) + ".csv"))) << name;
  }
  EXPECT_EQ(test::readBytes(dir.file("DBGridBuy.csv")), exportText(ledger, "VBQryBuy"));
}

TEST_F(TransferWindowTest, ImportWindowDetectsGuessesChecksAndWritesABrokerFile) {
  ImportWindow* w = startImport(sourceFile("tests/data/import/us_broker.csv"));
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(child<QComboBox>(w, "cboDelimiter")->currentText(), "Comma");
  EXPECT_TRUE(child<QCheckBox>(w, "chkHeader")->isChecked());
  EXPECT_EQ(child<QComboBox>(w, "cboDateFormat")->currentText(), "MM/DD/YYYY");
  EXPECT_EQ(child<QComboBox>(w, "cboSymbol")->currentText(), "3: Symbol");
  EXPECT_EQ(child<QComboBox>(w, "cboCommission")->currentText(), "7: Fees & Comm");
  const std::string text = report(w);
  EXPECT_NE(text.find("Row 4: skipped, not a trade: \"Qualified Dividend\" is not a buy or a sell"), std::string::npos)
      << text;
  EXPECT_NE(text.find("Row 8: skipped, not a trade: totals line"), std::string::npos) << text;
  EXPECT_NE(text.find("New companies: NVDA"), std::string::npos) << text;
  EXPECT_TRUE(child<QPushButton>(w, "cmdImport")->isEnabled());

  prompter.expect(MsgAnswer::Ok);
  child<QPushButton>(w, "cmdImport")->click();
  EXPECT_EQ(prompter.shown.back().text, "4 trades were imported.");
  EXPECT_EQ(trades().size(), 5u);
  EXPECT_EQ(test::readAll(ledger, "SELECT count(*) FROM Companies WHERE CompanySymbol = 'NVDA'"), (Rows{{"1"}}));
  EXPECT_EQ(test::readAll(ledger, "SELECT count(*) FROM Trade t JOIN Companies c USING (CompanyID) "
                                  "WHERE c.CompanySymbol = t.CompanySymbol"),
            (Rows{{"5"}}));

  // The import is one step: Undo takes its trades and its new company back,
  // Redo brings them again.
  EXPECT_EQ(window.mnuEditItem(3)->text(), "&Undo Import of 4 trades");
  window.mnuEditItem_Click(3);
  EXPECT_EQ(trades().size(), 1u);
  EXPECT_EQ(test::readAll(ledger, "SELECT count(*) FROM Companies WHERE CompanySymbol = 'NVDA'"), (Rows{{"0"}}));
  window.mnuEditItem_Click(4);
  EXPECT_EQ(trades().size(), 5u);

  // The same file again: every trade is already there.
  w = startImport(sourceFile("tests/data/import/us_broker.csv"));
  EXPECT_NE(report(w).find("0 trades to import"), std::string::npos) << report(w);
  EXPECT_FALSE(child<QPushButton>(w, "cmdImport")->isEnabled());
  child<QCheckBox>(w, "chkKeepDuplicates")->setChecked(true);
  EXPECT_TRUE(child<QPushButton>(w, "cmdImport")->isEnabled());
  child<QPushButton>(w, "cmdCancel")->click();
  EXPECT_EQ(trades().size(), 5u);
}

TEST_F(TransferWindowTest, ABadRowBlocksUntilLeftOutAndTheDelimiterCanBeChanged) {
  const std::string csv = dir.file("eu.csv");
  writeText(csv, "Symbol;Date;Side;Quantity;Price\nSAP;2024-01-02;B;15;1.259,59\nSAP;2024-02-30;S;1;2\n");
  ImportWindow* w = startImport(csv);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(child<QComboBox>(w, "cboDelimiter")->currentText(), "Semicolon");
  // Without the decimal comma, 1.259,59 is no number: row 2 is bad too.
  EXPECT_NE(report(w).find("Row 2: bad price: \"1.259,59\" is not a number"), std::string::npos) << report(w);
  EXPECT_FALSE(child<QPushButton>(w, "cmdImport")->isEnabled());
  child<QCheckBox>(w, "chkDecimalComma")->setChecked(true);
  EXPECT_EQ(report(w).find("Row 2:"), std::string::npos) << report(w);
  EXPECT_NE(report(w).find("Row 3: bad date"), std::string::npos) << report(w);
  EXPECT_FALSE(child<QPushButton>(w, "cmdImport")->isEnabled());
  child<QCheckBox>(w, "chkDropBad")->setChecked(true);
  ASSERT_TRUE(child<QPushButton>(w, "cmdImport")->isEnabled());

  // Read with commas, the file is one column: nothing can be mapped.
  child<QComboBox>(w, "cboDelimiter")->setCurrentIndex(0);
  EXPECT_FALSE(child<QPushButton>(w, "cmdImport")->isEnabled());
  child<QComboBox>(w, "cboDelimiter")->setCurrentIndex(1);
  child<QCheckBox>(w, "chkDecimalComma")->setChecked(true);
  child<QCheckBox>(w, "chkDropBad")->setChecked(true);
  prompter.expect(MsgAnswer::Ok);
  child<QPushButton>(w, "cmdImport")->click();
  EXPECT_EQ(trades().back(), (std::vector<std::string>{"SAP", "15", "B", "2024-01-02", "1259.59", "0"}));
}

TEST_F(TransferWindowTest, AWindowLeftOpenWhileAnotherCopyImportsShowsTheNewPreviewAndWritesNothing) {
  const std::string csv = dir.file("newco.csv");
  writeText(csv, "Symbol,Date,Side,Quantity,Price\nNEWCO,2024-01-02,B,10,5\nNEWCO,2024-01-03,B,15,6\n"
                 "NEWCO,2024-01-04,S,0.5,7\n");
  ImportWindow* w = startImport(csv);
  ASSERT_NE(w, nullptr);
  EXPECT_NE(report(w).find("New companies: NEWCO"), std::string::npos) << report(w);
  {
    // Another copy of the program imports the same file meanwhile.
    Database other = ledger::openLedger(ledger);
    importTrades(other, w->plan().trades, w->plan().newSymbols);
  }
  prompter.expect(MsgAnswer::Ok);
  child<QPushButton>(w, "cmdImport")->click();
  EXPECT_NE(prompter.shown.back().text.find("changed since the preview"), std::string::npos)
      << prompter.shown.back().text;
  EXPECT_NE(report(w).find("0 trades to import"), std::string::npos) << report(w);
  EXPECT_NE(report(w).find("3 duplicates skipped"), std::string::npos) << report(w);
  EXPECT_EQ(report(w).find("New companies"), std::string::npos) << report(w);
  EXPECT_FALSE(child<QPushButton>(w, "cmdImport")->isEnabled());
  EXPECT_EQ(trades().size(), 4u);
  EXPECT_EQ(test::readAll(ledger, "SELECT count(*) FROM Companies WHERE CompanySymbol = 'NEWCO'"), (Rows{{"1"}}));
}

TEST_F(TransferWindowTest, ANumberSuchAs1250IsSettledByTheFileOrAsked) {
  // The semicolon settles it: Decimal comma is ticked without a question.
  const std::string german = dir.file("de.csv");
  writeText(german, "Symbol;Date;Side;Quantity;Price\nSAP;2024-01-02;B;10;1,250\nSAP;2024-01-03;S;10;4,950\n");
  ImportWindow* w = startImport(german);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(child<QCheckBox>(w, "chkDecimalComma")->isChecked());
  ASSERT_EQ(w->plan().trades.size(), 2u);
  EXPECT_EQ(w->plan().trades[0].price, 1.25);
  child<QPushButton>(w, "cmdCancel")->click();

  // Tabs and nothing else to go on: the window asks.
  const std::string tabs = dir.file("tabs.csv");
  writeText(tabs, "Symbol\tDate\tSide\tQuantity\tPrice\nSAP\t2024-01-02\tB\t10\t1,250\n");
  prompter.expect(MsgAnswer::No);
  w = startImport(tabs);
  ASSERT_NE(w, nullptr);
  EXPECT_NE(prompter.shown.back().text.find("decimal comma (1.25) or a thousands separator (1250)"), std::string::npos)
      << prompter.shown.back().text;
  EXPECT_FALSE(child<QCheckBox>(w, "chkDecimalComma")->isChecked());
  ASSERT_EQ(w->plan().trades.size(), 1u);
  EXPECT_EQ(w->plan().trades[0].price, 1250);
  child<QPushButton>(w, "cmdCancel")->click();
}

TEST_F(TransferWindowTest, CancelDuringALongImportWritesNothing) {
  const std::string csv = dir.file("long.csv");
  std::string text = "Symbol,Date,Side,Quantity,Price\n";
  for (std::size_t i = 0; i < ImportWindow::kProgressThreshold + 2000; ++i)
    text += "NEW" + std::to_string(i % 7) + ",2024-01-02,B," + std::to_string(i + 1) + ",1.5\n";
  writeText(csv, text);
  ImportWindow* w = startImport(csv);
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(child<QPushButton>(w, "cmdImport")->isEnabled());
  const std::string before = test::readBytes(ledger);
  // Pressed while the rows are being written.
  QTimer::singleShot(0, w, [w] { w->findChild<QPushButton*>("cmdCancel")->click(); });
  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(w->runImport());
  EXPECT_EQ(prompter.shown.back().text, "The import was cancelled; nothing was written.");
  EXPECT_EQ(test::readBytes(ledger), before);
  EXPECT_TRUE(w->isVisible()) << "the window stays for another try";

  prompter.expect(MsgAnswer::Ok);
  EXPECT_TRUE(w->runImport());
  EXPECT_EQ(trades().size(), ImportWindow::kProgressThreshold + 2001);
}

TEST_F(TransferWindowTest, TheMappingIsRememberedForTheSameHeader) {
  const std::string csv = dir.file("odd.csv");
  writeText(csv, "A,B,C,D,E\nX,2024-01-02,B,1,2\n");
  ImportWindow* w = startImport(csv);
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(child<QPushButton>(w, "cmdImport")->isEnabled()) << "nothing guessed from these names";
  const char* combos[] = {"cboSymbol", "cboDate", "cboSide", "cboQuantity", "cboPrice"};
  for (int i = 0; i < 5; ++i) child<QComboBox>(w, combos[i])->setCurrentIndex(i + 1);
  prompter.expect(MsgAnswer::Ok);
  child<QPushButton>(w, "cmdImport")->click();

  writeText(csv, "A,B,C,D,E\nY,2024-01-03,S,1,2\n");
  w = startImport(csv);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(child<QComboBox>(w, combos[i])->currentIndex(), i + 1) << combos[i];
  EXPECT_TRUE(child<QPushButton>(w, "cmdImport")->isEnabled());
  child<QPushButton>(w, "cmdCancel")->click();
  // In the program's one settings file, beside the recent ledgers.
  const QSettings one(QSettings::IniFormat, QSettings::UserScope, "shareledger", "shareledger");
  EXPECT_FALSE(one.childGroups().filter("ImportMappings").isEmpty());
}

TEST_F(TransferWindowTest, AnAccessTableCanBeTheSourceOfAnImport) {
  const fs::path sample = fs::path(LEDGER_SOURCE_DIR) / ".." / "shared" / "testdata" / "access" / "ASampleDatabase.accdb";
  if (!fs::exists(sample)) GTEST_SKIP() << "the Access test files are not here (" << sample << ")";
  ImportWindow* w = startImport(sample.string());
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(child<QComboBox>(w, "cboTable")->currentText(), "Asset Items");
  EXPECT_EQ(w->table().records.size(), 66u);
  child<QPushButton>(w, "cmdCancel")->click();
}

TEST_F(TransferWindowTest, OpenOffersToConvertAnOlderLedgerAndRefusesOneWithoutTrade) {
  const fs::path nwind = fs::path(LEDGER_SOURCE_DIR) / ".." / "shared" / "testdata" / "access" / "nwind.mdb";
  if (!fs::exists(nwind)) GTEST_SKIP() << "the Access test files are not here (" << nwind << ")";
  files.queueOpen(nwind.string());
  prompter.expect(MsgAnswer::Yes);
  prompter.expect(MsgAnswer::Ok);
  window.mnuFileItem_Click(3);
  EXPECT_EQ(files.shown.back().filter,
            "Trade Database (*.mdb)|*.mdb|Access Database (*.mdb *.accdb)|*.mdb;*.accdb");
  ASSERT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Question);
  EXPECT_NE(prompter.shown[0].text.find("is a ledger in the older format"), std::string::npos);
  EXPECT_NE(prompter.shown[0].text.find("Make a copy of it in the program's format?"), std::string::npos);
  EXPECT_TRUE(prompter.shown[1].text.starts_with(
      "This file cannot be made into a ledger: it has no Trade table and no Companies table."));
  // Nothing was asked for a new file, and the open ledger stays open.
  EXPECT_EQ(app.session().LedgerPath, ledger);

  files.queueOpen(nwind.string());
  prompter.expect(MsgAnswer::No);
  window.mnuFileItem_Click(3);
  EXPECT_EQ(app.session().LedgerPath, ledger);
}

}  // namespace
}  // namespace ledger
