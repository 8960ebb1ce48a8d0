// The Gains window: opened from the View menu it shows the same figures as
// the command line for both methods, remembers the method per ledger, says
// when a sale was uncovered, raises the Restore menu from its grids, and
// reports a ledger it cannot open.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QToolBar>

#include <set>
#include <sstream>

#include "app/command_line.h"
#include "figures/decimal.h"
#include "ledger/ledger_session.h"
#include "gains_ledger.h"
#include "ui/views/gains_view.h"
#include "window_fixture.h"

namespace ledger {
namespace {

using Table = GainsModel::Table;
using Rows = std::vector<std::vector<std::string>>;

// The settings file of this test run, away from the user's own.
void useTestSettings(const test::TempDir& dir) {
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(dir.file("settings")));
}

Rows gridRows(const QAbstractItemModel& model) {
  Rows rows;
  for (int r = 0; r < model.rowCount(); ++r) {
    rows.emplace_back();
    for (int c = 0; c < model.columnCount(); ++c)
      rows.back().push_back(model.index(r, c).data().toString().toStdString());
  }
  return rows;
}

// The CSV the command line prints for the ledger, header row dropped. The
// worked ledger's fields hold no commas or quotes.
Rows commandLineRows(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  EXPECT_EQ(runCommandLine(args, out, err), exitcode::kOk) << err.str();
  Rows rows;
  std::istringstream lines(out.str());
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    rows.emplace_back();
    std::istringstream fields(line);
    std::string field;
    while (std::getline(fields, field, ',')) rows.back().push_back(field);
    if (line.back() == ',') rows.back().push_back("");
  }
  return rows;
}

// The same figure, whichever way it is written; a blank Uncovered cell of
// the window is the command line's 0.
bool sameCell(const std::string& window, const std::string& csv) {
  const std::optional<Decimal> a = Decimal::parse(window.empty() && csv == "0" ? "0" : window);
  const std::optional<Decimal> b = Decimal::parse(csv);
  if (a && b) return *a == *b;
  return window == csv;
}

void expectSameFigures(const Rows& window, const Rows& csv, const std::string& what) {
  ASSERT_EQ(window.size(), csv.size()) << what;
  for (size_t r = 0; r < csv.size(); ++r) {
    ASSERT_EQ(window[r].size(), csv[r].size()) << what << " row " << r;
    for (size_t c = 0; c < csv[r].size(); ++c)
      EXPECT_TRUE(sameCell(window[r][c], csv[r][c]))
          << what << " row " << r << " column " << c << ": window " << window[r][c] << ", csv " << csv[r][c];
  }
}

class GainsWindowTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    useTestSettings(dir);
    test::makeLedger(ledger, test::kGainsTrades);
  }
  GainsView* gains() { return window.forms().find<GainsView>("frmGains"); }
  std::string ledger = dir.file("gains.mdb");
};

TEST_F(GainsWindowTest, ShowsTheCommandLinesFiguresForBothMethods) {
  openLedger(ledger);
  window.mnuViewItem_Click(5);
  ASSERT_NE(gains(), nullptr);
  EXPECT_EQ(gains()->windowTitle(), "Gains");
  for (Table t : {Table::Holdings, Table::Sales, Table::Yearly, Table::Dividends, Table::Income})
    QAbstractItemModelTester tester(gains()->model(t));

  for (const char* method : {"fifo", "average"}) {
    (std::string(method) == "fifo" ? gains()->findChild<QRadioButton*>("optFifo")
                                   : gains()->findChild<QRadioButton*>("optAverage"))
        ->click();
    EXPECT_EQ(costMethodName(gains()->method()), method);
    const std::pair<Table, const char*> reports[] = {
        {Table::Holdings, "holdings"}, {Table::Sales, "gains"}, {Table::Yearly, "yearly"}};
    for (const auto& [table, report] : reports) {
      Rows csv = commandLineRows({"report", report, "--method", method, ledger});
      // The holdings' income is a column the command's report does not
      // have, and its prices columns the window's holdings do not.
      constexpr std::size_t kHoldingColumns = 5;  // Symbol to RealizedGain
      const std::size_t shared = csv.empty() ? 0 : table == Table::Holdings ? kHoldingColumns : csv[0].size();
      Rows window = gridRows(*gains()->model(table));
      for (auto& row : window) row.resize(csv.empty() ? row.size() : shared);
      for (auto& row : csv) row.resize(shared);
      expectSameFigures(window, csv, std::string(method) + " " + report);
    }
  }
}

// UK beside FIFO and average; Wash sales only with FIFO; UK tax years for
// the yearly figures: the window shows what the command line prints.
TEST_F(GainsWindowTest, TheTaxRulesShowTheCommandLinesFigures) {
  openLedger(ledger);
  window.mnuViewItem_Click(5);
  ASSERT_NE(gains(), nullptr);
  auto* wash = gains()->findChild<QCheckBox*>("chkWashSales");
  auto* ukYears = gains()->findChild<QCheckBox*>("chkUkTaxYears");
  ASSERT_TRUE(wash && ukYears);
  const auto expectCommandLines = [&](const std::vector<std::string>& options) {
    const std::pair<Table, const char*> reports[] = {
        {Table::Holdings, "holdings"}, {Table::Sales, "gains"}, {Table::Yearly, "yearly"}};
    for (const auto& [table, report] : reports) {
      std::vector<std::string> args = {"report", report};
      for (const std::string& option : options)
        if (std::string(report) != "holdings" || option.rfind("--tax-year", 0) != 0) args.push_back(option);
      args.push_back(ledger);
      const Rows csv = commandLineRows(args);
      Rows window = gridRows(*gains()->model(table));
      for (auto& row : window) row.resize(csv.empty() ? row.size() : csv[0].size());
      expectSameFigures(window, csv, report);
    }
  };
  gains()->findChild<QRadioButton*>("optUk")->click();
  EXPECT_EQ(gains()->method(), CostMethod::Uk);
  EXPECT_FALSE(wash->isEnabled());
  ukYears->click();
  expectCommandLines({"--method", "uk", "--tax-year=uk"});
  EXPECT_FALSE(gains()->grid(Table::Sales)->isColumnHidden(8));

  gains()->findChild<QRadioButton*>("optFifo")->click();
  EXPECT_TRUE(wash->isEnabled());
  wash->click();
  expectCommandLines({"--wash-sales", "--tax-year=uk"});
  EXPECT_FALSE(gains()->grid(Table::Sales)->isColumnHidden(9));
  EXPECT_TRUE(gains()->grid(Table::Sales)->isColumnHidden(8));
}

TEST_F(GainsWindowTest, TheMethodIsRememberedForEachLedger) {
  const std::string other = dir.file("other.mdb");
  test::makeLedger(other, {{1, "IBM", 10, "B", "2024-01-02", 100, 5}});
  openLedger(ledger);
  window.mnuViewItem_Click(5);
  EXPECT_EQ(gains()->method(), CostMethod::Fifo);  // nothing remembered yet
  gains()->findChild<QRadioButton*>("optAverage")->click();
  window.commands().setViewTag(ViewTag::Gains);
  window.mnuRestoreItem_Click(1);  // loaded afresh
  EXPECT_EQ(gains()->method(), CostMethod::Average);
  EXPECT_TRUE(gains()->findChild<QRadioButton*>("optAverage")->isChecked());
  EXPECT_EQ(gains()->model(Table::Holdings)->index(0, 2).data().toString(), "163.75");

  openLedger(other);
  window.mnuViewItem_Click(5);
  EXPECT_EQ(gains()->method(), CostMethod::Fifo);
  openLedger(ledger);
  window.mnuViewItem_Click(5);
  EXPECT_EQ(gains()->method(), CostMethod::Average);
}

TEST_F(GainsWindowTest, SaysSoWhenASaleWasUncovered) {
  const std::string covered = dir.file("covered.mdb");
  test::makeLedger(covered, {{1, "IBM", 10, "B", "2024-01-02", 100, 5}, {1, "IBM", 10, "S", "2024-01-03", 90, 5}});
  const std::pair<std::string, QString> rows[] = {{ledger, test::kUncoveredNote}, {covered, ""}};
  for (const auto& [path, note] : rows) {
    openLedger(path);
    window.mnuViewItem_Click(5);
    auto* label = gains()->findChild<QLabel*>("lblNote");
    EXPECT_EQ(label->text(), note) << path;
    EXPECT_EQ(label->isHidden(), note.isEmpty()) << path;
  }
}

TEST_F(GainsWindowTest, OpensWithoutMovingTheEntryForm) {
  openLedger(ledger);
  form()->tbNavigateG_ButtonClick(form()->navigationBar(0)->actions().at(2));  // next trade
  const QString shown = box("Date");
  window.mnuSHViewItem_Click(5);
  ASSERT_NE(gains(), nullptr);
  EXPECT_EQ(box("Date"), shown);
}

TEST_F(GainsWindowTest, NoTwoCommandsShareAShortcut) {
  std::map<QString, QString> owners;
  for (QAction* action : window.findChildren<QAction*>()) {
    if (action->shortcut().isEmpty()) continue;
    const QString key = action->shortcut().toString();
    EXPECT_FALSE(owners.count(key)) << key.toStdString() << ": " << owners[key].toStdString() << " and "
                                    << action->objectName().toStdString();
    owners[key] = action->objectName();
  }
  EXPECT_EQ(owners[QStringLiteral("Ctrl+G")], "mnuViewItem(5)");
}

// ---- the view alone ---------------------------------------------------------

class FakeHost final : public ViewHost {
 public:
  int entryFormWidthTwips() override { return 6000; }
  int entryFormHeightTwips() override { return 5000; }
  int mainWindowWidthTwips() override { return 21000; }
  QString generalTabSymbol() override { return {}; }
  void popupRestoreMenu(ViewTag t) override {
    tag = t;
    ++popups;
  }
  ViewTag tag = ViewTag::None;
  int popups = 0;
};

class GainsViewTest : public ::testing::Test {
 protected:
  void SetUp() override { useTestSettings(dir); }
  void TearDown() override { EXPECT_EQ(prompter.pending(), 0u); }
  test::TempDir dir;
  test::ScriptedPrompter prompter;
  test::ScriptedFileChooser files;
  AppContext app{prompter, files, dir.path().string()};
  FakeHost host;
};

TEST_F(GainsViewTest, EveryGridRaisesTheRestoreMenuTaggedGains) {
  app.session().LedgerPath = dir.file("l.mdb");
  test::makeLedger(app.session().LedgerPath, test::kGainsTrades);
  GainsView view(app, host);
  int popups = 0;
  for (Table t : {Table::Holdings, Table::Sales, Table::Yearly, Table::Dividends, Table::Income}) {
    host.tag = ViewTag::None;
    QTest::mousePress(view.grid(t)->viewport(), Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(host.tag, ViewTag::Gains);
    EXPECT_EQ(host.popups, ++popups);
  }
  QTest::mousePress(view.grid(Table::Sales)->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(host.popups, popups);
}

TEST_F(GainsViewTest, ALedgerThatCannotBeOpenedIsToldOnceAndTheGridsStayEmpty) {
  app.session().LedgerPath = dir.file("missing.mdb");
  prompter.expect(MsgAnswer::Ok);
  GainsView view(app, host);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text.rfind(openFailureMessage(dir.file("missing.mdb"), "Trade"), 0), 0u)
      << prompter.shown[0].text;
  EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(view.report(), nullptr);
  for (Table t : {Table::Holdings, Table::Sales, Table::Yearly, Table::Dividends, Table::Income})
    EXPECT_EQ(view.model(t)->rowCount(), 0);
}

TEST_F(GainsViewTest, YearTotalsAreBoldRowsWithoutASymbol) {
  app.session().LedgerPath = dir.file("l.mdb");
  test::makeLedger(app.session().LedgerPath, test::kGainsTrades);
  GainsView view(app, host);
  const GainsModel& yearly = *view.model(Table::Yearly);
  std::vector<std::string> totals;
  for (int r = 0; r < yearly.rowCount(); ++r) {
    const bool bold = yearly.index(r, 0).data(Qt::FontRole).value<QFont>().bold();
    EXPECT_EQ(bold, yearly.index(r, 1).data().toString().isEmpty()) << r;
    if (bold) totals.push_back(yearly.index(r, 2).data().toString().toStdString());
  }
  // As `report yearly` gives them (kFifoYearlyCsv).
  EXPECT_EQ(totals, (std::vector<std::string>{"11.5", "379", "96"}));
}

// The ledger of gains_ledger.h with its four dividends: the Income tab
// lists them by date and their sums as `report income` prints them, the
// year totals bold; the holdings carry the net to date (AAA 8.5 + 17 +
// 20.5 = 46, BBB 7.25 - 1.09 = 6.16).
TEST_F(GainsViewTest, TheIncomeTabShowsEachDividendAndTheSumsOfEachYear) {
  const std::string path = dir.file("income.mdb");
  test::makeLedger(path, test::kIncomeTrades);
  test::addEvents(path, test::kIncomeDividendsSql);
  app.session().LedgerPath = path;
  GainsView view(app, host);
  view.show();
  view.tabs()->setCurrentWidget(view.findChild<QWidget*>("tabIncome"));
  EXPECT_TRUE(view.grid(Table::Dividends)->isVisible());
  EXPECT_FALSE(view.grid(Table::Holdings)->isVisible());

  EXPECT_EQ(gridRows(*view.model(Table::Dividends)),
            (Rows{{"2023-06-01", "AAA", "10", "1.5", "8.5", "", ""},
                  {"2024-03-01", "AAA", "20", "3", "17", "", ""},
                  {"2024-05-01", "BBB", "7.25", "1.09", "6.16", "", ""},
                  {"2024-09-01", "AAA", "20.5", "0", "20.5", "2", "10.25"}}));
  const GainsModel& income = *view.model(Table::Income);
  expectSameFigures(gridRows(income), commandLineRows({"report", "income", path}), "income");
  for (int r = 0; r < income.rowCount(); ++r)
    EXPECT_EQ(income.index(r, 0).data(Qt::FontRole).value<QFont>().bold(), income.index(r, 1).data().toString().isEmpty())
        << r;
  const Rows holdings = gridRows(*view.model(Table::Holdings));
  ASSERT_EQ(holdings.size(), 2u);
  EXPECT_EQ(holdings[0].back(), "46");
  EXPECT_EQ(holdings[1].back(), "6.16");
}

}  // namespace
}  // namespace ledger
