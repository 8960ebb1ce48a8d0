// File, Import Prices through the window: the guesses it shows, a bad row
// and dates that fit two formats holding the import back, keep or replace
// for a date already priced, and the import as one step of Undo.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <fstream>

#include "ledger/ledger_open.h"
#include "ledger/price_writes.h"
#include "ui/transfer/price_import_window.h"
#include "window_fixture.h"

namespace ledger {
namespace {

class PriceImportWindowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    test::makeLedger(ledger, {{2, "MSFT", 10, "B", "2025-03-14", 380, 4.95}});
    {
      Database db = ledger::openLedger(ledger);
      addPrice(db, {"MSFT", "2025-04-10", *Decimal::parse("412.5")});
    }
    openLedger(ledger);
  }

  PriceImportWindow* startImport(const std::string& name, const std::string& text) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const std::string file = dir.file(name);
    std::ofstream(file, std::ios::binary) << text;
    files.queueOpen(file);
    window.mnuFileItem_Click(12);
    return window.findChild<PriceImportWindow*>("frmImportPrices");
  }
  template <class W>
  W* child(QWidget* w, const char* name) {
    W* found = w->findChild<W*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  std::string report(QWidget* w) { return child<QPlainTextEdit>(w, "txtReport")->toPlainText().toStdString(); }
  std::vector<std::string> prices() {
    Database db = ledger::openLedger(ledger);
    std::vector<std::string> out;
    for (const ClosePrice& p : readPrices(db, "MSFT")) out.push_back(p.date + " " + p.close.toPlainString());
    return out;
  }

  std::string ledger = dir.file("ledger.mdb");
};

TEST_F(PriceImportWindowTest, DatesThatFitTwoFormatsAndABadRowHoldTheImportBack) {
  // Saved under the company's symbol: the company is chosen for the file.
  PriceImportWindow* w = startImport("MSFT.csv", "Date,Close,Adj Close\n04/10/2025,415,414\n04/11/2025,0,1\n");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(child<QComboBox>(w, "cboClose")->currentText(), "2: Close");
  EXPECT_EQ(child<QComboBox>(w, "cboSymbol")->currentText(), "(none)");
  EXPECT_EQ(child<QComboBox>(w, "cboCompany")->currentText(), "MSFT");
  const std::string text = report(w);
  EXPECT_NE(text.find("can be read as MM/DD/YYYY and DD/MM/YYYY alike"), std::string::npos) << text;
  EXPECT_NE(text.find("The close is read from \"Close\", not \"Adj Close\""), std::string::npos) << text;
  EXPECT_FALSE(child<QPushButton>(w, "cmdImport")->isEnabled());

  auto* format = child<QComboBox>(w, "cboDateFormat");
  format->setCurrentIndex(format->findText("MM/DD/YYYY"));
  emit format->activated(format->currentIndex());
  EXPECT_EQ(report(w).find("alike"), std::string::npos) << report(w);
  // The preview names the problem of its row, and nothing can be written.
  auto* grid = child<QTableWidget>(w, "grdPreview");
  ASSERT_EQ(grid->rowCount(), 2);
  ASSERT_NE(grid->item(1, 3), nullptr);
  EXPECT_EQ(grid->item(1, 3)->text(), "bad close: the close 0 is not above zero");
  EXPECT_EQ(grid->item(0, 3)->text(), "kept: the ledger's close 412.5 of MSFT on 2025-04-10 is kept");
  EXPECT_FALSE(child<QPushButton>(w, "cmdImport")->isEnabled());
  child<QPushButton>(w, "cmdCancel")->click();
  EXPECT_EQ(prices(), (std::vector<std::string>{"2025-04-10 412.5"}));
}

TEST_F(PriceImportWindowTest, KeepOrReplaceThenOneUndoTakesTheImportBack) {
  PriceImportWindow* w = startImport("history.csv", "Symbol,Date,Close\nMSFT,2025-04-10,415\nMSFT,2025-04-14,420\n");
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(child<QRadioButton>(w, "optKeep")->isChecked());
  EXPECT_FALSE(child<QComboBox>(w, "cboCompany")->isEnabled());
  EXPECT_NE(report(w).find("1 price to import; 1 kept"), std::string::npos) << report(w);
  child<QRadioButton>(w, "optReplace")->setChecked(true);
  EXPECT_NE(report(w).find("2 prices to import (1 in place of closes the ledger holds); 0 kept"), std::string::npos)
      << report(w);

  prompter.expect(MsgAnswer::Ok);
  child<QPushButton>(w, "cmdImport")->click();
  EXPECT_EQ(prompter.shown.back().text, "2 prices were imported.");
  EXPECT_EQ(prices(), (std::vector<std::string>{"2025-04-10 415", "2025-04-14 420"}));
  EXPECT_EQ(window.mnuEditItem(3)->text(), "&Undo Import of 2 Prices");
  window.mnuEditItem_Click(3);
  EXPECT_EQ(prices(), (std::vector<std::string>{"2025-04-10 412.5"}));
  window.mnuEditItem_Click(4);
  EXPECT_EQ(prices(), (std::vector<std::string>{"2025-04-10 415", "2025-04-14 420"}));
}

}  // namespace
}  // namespace ledger
