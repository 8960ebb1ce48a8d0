// The entry form on its own: its boxes, its tab change and its buttons.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>

#include "app/app_context.h"
#include "fakes.h"
#include "test_ledger.h"
#include "ui/entry/entry_form.h"
#include "ui/entry/entry_host.h"

namespace ledger {
namespace {

using test::ScriptedFileChooser;
using test::ScriptedPrompter;
using test::TempDir;

class RecordingHost final : public EntryHost {
 public:
  void setToolbarButtonEnabled(int position, bool enabled) override { buttons[position] = enabled; }
  void setStatusText(const QString& text) override { status = text; }
  bool entryInProgress() override { return entering; }
  bool settleEntry() override { return !entering; }
  bool entering = false;
  std::map<int, bool> buttons;
  QString status;
};

class EntryFormTest : public ::testing::Test {
 protected:
  void open(const std::vector<test::TradeRow>& trades) {
    test::makeLedger(dir.file("l.mdb"), trades);
    app.session().LedgerPath = dir.file("l.mdb");
    form = new EntryForm(app, host);
  }
  void TearDown() override { delete form.data(); }
  QString text(const char* column, int tab) { return form->box(QString::fromLatin1(column), tab)->text(); }

  TempDir dir;
  ScriptedPrompter prompter;
  ScriptedFileChooser files;
  AppContext app{prompter, files, dir.path().string()};
  RecordingHost host;
  QPointer<EntryForm> form;
};

const std::vector<test::TradeRow> kTrades = {
    {1, "AAPL", 10, "B", "2024-01-02", 100, 5},
    {2, "MSFT", 20, "S", "2024-02-03", 200, 6},
    {1, "AAPL", 30, "B", "2024-03-04", 300, 7},
};

TEST_F(EntryFormTest, BoxesAreNamedAfterTheirColumnsOnEachTab) {
  open({});
  EXPECT_EQ(form->objectName(), "frmMain");
  EXPECT_EQ(form->windowTitle(), "Your Shares");
  EXPECT_EQ(form->SSTab()->tabText(0), "&General");
  EXPECT_EQ(form->SSTab()->tabText(1), "&Bought Shares");
  EXPECT_EQ(form->SSTab()->tabText(2), "&Sold Shares");
  const struct {
    const char* column;
    std::vector<int> tabs;
  } arrays[] = {{"CompanyID", {0}},        {"CompanySymbol", {0, 1, 2}}, {"Date", {0, 1, 2}},
                {"Quantity", {0, 1, 2}},   {"Price", {0, 1, 2}},         {"Commission", {0, 1, 2}},
                {"TotalPurchase", {1}},    {"TotalSell", {2}}};
  int count = 0;
  for (const auto& a : arrays) {
    for (int tab = 0; tab < 3; ++tab) {
      QLineEdit* box = form->box(QString::fromLatin1(a.column), tab);
      const bool expected = std::find(a.tabs.begin(), a.tabs.end(), tab) != a.tabs.end();
      EXPECT_EQ(box != nullptr, expected) << a.column << " on tab " << tab;
      if (!box) continue;
      ++count;
      EXPECT_EQ(box->objectName(), a.column);
      EXPECT_TRUE(box->isReadOnly());
    }
  }
  EXPECT_EQ(count, 18);
  EXPECT_EQ(form->textBoxes().size(), 19);  // and txtTicker
  EXPECT_FALSE(form->txtTicker()->isReadOnly());
  EXPECT_TRUE(form->cboCompanySymbol()->isHidden());
  EXPECT_EQ(form->cboCompanySymbol()->geometry().topLeft(), form->box("CompanySymbol", 0)->geometry().topLeft());
  EXPECT_EQ(form->cmdFind()->text(), "&Find it");
  EXPECT_EQ(form->optBuy()->text(), "&Buy");
  EXPECT_EQ(form->optSell()->text(), "&Sell");
  for (int tab = 0; tab < 3; ++tab) {
    QStringList keys;
    for (QAction* a : form->navigationBar(tab)->actions()) keys << a->objectName() + "=" + a->toolTip();
    EXPECT_EQ(keys, QStringList({"First=First", "Previous=Previous", "Next=Next", "Last=Last"}));
  }
}

TEST_F(EntryFormTest, LoadShowsTheFirstTradeAndSetsTheButtonsByTab) {
  open(kTrades);
  EXPECT_EQ(text("CompanySymbol", 0), "AAPL");
  EXPECT_TRUE(form->optBuy()->isChecked());
  EXPECT_EQ(host.status, "Ready");
  EXPECT_EQ(host.buttons, (std::map<int, bool>{{2, true}, {4, true}, {7, true}}));

  form->SSTab()->setCurrentIndex(1);
  EXPECT_EQ(text("TotalPurchase", 1), "1005");
  EXPECT_EQ(host.buttons, (std::map<int, bool>{{2, false}, {4, false}, {7, false}}));
  // Move to the second purchase, then re-run the tab change: the first again.
  form->tbNavigateB_ButtonClick(form->navigationBar(1)->actions().at(2));
  EXPECT_EQ(text("Quantity", 1), "30");
  form->SSTab_Click(1);
  EXPECT_EQ(text("Quantity", 1), "10");

  form->SSTab()->setCurrentIndex(2);
  EXPECT_EQ(text("TotalSell", 2), "3994");
}

TEST_F(EntryFormTest, GeneralTabOfAnEmptyLedger) {
  open({});
  EXPECT_EQ(text("CompanySymbol", 0), "");
  EXPECT_EQ(host.status, "No records available");
  EXPECT_EQ(host.buttons, (std::map<int, bool>{{2, true}, {4, false}, {7, false}}));
}

TEST_F(EntryFormTest, NavigationByKey) {
  open(kTrades);
  QAction unknown(QStringLiteral("Bogus"));
  unknown.setObjectName(QStringLiteral("next"));  // keys are compared exactly
  form->tbNavigateG_ButtonClick(&unknown);
  EXPECT_EQ(text("Quantity", 0), "10");
  const auto click = [&](int i) { form->tbNavigateG_ButtonClick(form->navigationBar(0)->actions().at(i)); };
  click(3);
  EXPECT_EQ(text("Quantity", 0), "30");
  click(1);
  EXPECT_EQ(text("Quantity", 0), "20");
  click(0);
  EXPECT_EQ(text("Quantity", 0), "10");
  click(2);
  EXPECT_EQ(text("Quantity", 0), "20");
}

TEST_F(EntryFormTest, ResetButtonsWithOneOrTwoArguments) {
  open({});
  form->ResetButtons(false, true);
  EXPECT_EQ(host.buttons, (std::map<int, bool>{{2, false}, {4, true}, {7, true}}));
  form->ResetButtons(true);
  EXPECT_EQ(host.buttons, (std::map<int, bool>{{2, true}, {4, true}, {7, true}}));
}

TEST_F(EntryFormTest, SymbolLookupAndSearchThroughTheForm) {
  open(kTrades);
  form->showSymbolList(true);
  form->cboCompanySymbol()->setEditText(QStringLiteral("MSFT"));
  form->cboCompanySymbol_Validate();
  EXPECT_EQ(text("CompanySymbol", 0), "MSFT");
  EXPECT_EQ(text("CompanyID", 0), "2");

  form->showSymbolList(false);
  form->SSTab_Click(0);
  form->txtTicker()->setText(QStringLiteral("MSFT"));
  form->cmdFind()->click();
  EXPECT_EQ(text("Quantity", 0), "20");
  prompter.expect(MsgAnswer::Ok);
  form->txtTicker()->setText(QStringLiteral("NONE"));
  form->cmdFind()->click();
  EXPECT_EQ(prompter.shown.back().text, "The ticker doesn't exist.");
  EXPECT_EQ(form->txtTicker()->text(), "NONE");
}

}  // namespace
}  // namespace ledger
