// The Gains window: opened from the View menu it shows the same figures as
// the command line for both methods, remembers the method per ledger, says
// when a sale was uncovered, raises the Restore menu from its grids, and
// reports a ledger it cannot open. Its figures are worked out away from the
// window's thread: it answers meanwhile, shows only the latest request's
// figures, and can be closed at any moment.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QRadioButton>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QSettings>
#include <QTest>
#include <QThreadPool>
#include <QTimer>
#include <QToolBar>

#include <set>
#include <sstream>

#include "app/command_line.h"
#include "figures/decimal.h"
#include "ledger/ledger_session.h"
#include "gains_ledger.h"
#include "ledger/price_table.h"
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

// Lets the window's thread run until the view's figures are in (or a
// generous while has passed); whether they are.
bool figuresIn(GainsView* view) {
  QDeadlineTimer deadline(30000);
  while (view && view->working() && !deadline.hasExpired()) QTest::qWait(5);
  return view && !view->working();
}

// Ends the work threads a test left stopped, and the events they posted, so
// that nothing of one test runs into the next.
void settleWork() {
  LedgerWork::waitForAll();
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
  void TearDown() override {
    WindowTest::TearDown();
    settleWork();
  }
  GainsView* gains() { return window.forms().find<GainsView>("frmGains"); }
  // The Gains window from the View menu, its figures in.
  GainsView* showGains() {
    window.mnuViewItem_Click(5);
    EXPECT_TRUE(figuresIn(gains()));
    return gains();
  }
  std::string ledger = dir.file("gains.mdb");
};

TEST_F(GainsWindowTest, ShowsTheCommandLinesFiguresForBothMethods) {
  openLedger(ledger);
  ASSERT_NE(showGains(), nullptr);
  EXPECT_EQ(gains()->windowTitle(), "Gains");
  for (Table t : {Table::Holdings, Table::Sales, Table::Yearly, Table::Dividends, Table::Income})
    QAbstractItemModelTester tester(gains()->model(t));

  for (const char* method : {"fifo", "average"}) {
    (std::string(method) == "fifo" ? gains()->findChild<QRadioButton*>("optFifo")
                                   : gains()->findChild<QRadioButton*>("optAverage"))
        ->click();
    ASSERT_TRUE(figuresIn(gains()));
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
    ASSERT_TRUE(figuresIn(gains()));
    for (const auto& [table, report] : reports) {
      std::vector<std::string> args = {"report", report};
      for (const std::string& option : options)
        if (std::string(report) != "holdings" || option.rfind("--tax-year", 0) != 0) args.push_back(option);
      args.push_back(ledger);
      Rows csv = commandLineRows(args);
      Rows window = gridRows(*gains()->model(table));
      // The holdings' costs; their values and income are checked elsewhere.
      const std::size_t columns = table == Table::Holdings ? 5 : csv.empty() ? 0 : csv[0].size();
      for (Rows* rows : {&window, &csv})
        for (auto& row : *rows) row.resize(columns == 0 ? row.size() : columns);
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
  showGains();
  EXPECT_EQ(gains()->method(), CostMethod::Fifo);  // nothing remembered yet
  gains()->findChild<QRadioButton*>("optAverage")->click();
  window.commands().setViewTag(ViewTag::Gains);
  window.mnuRestoreItem_Click(1);  // loaded afresh
  ASSERT_TRUE(figuresIn(gains()));
  EXPECT_EQ(gains()->method(), CostMethod::Average);
  EXPECT_TRUE(gains()->findChild<QRadioButton*>("optAverage")->isChecked());
  EXPECT_EQ(gains()->model(Table::Holdings)->index(0, 2).data().toString(), "163.75");

  openLedger(other);
  showGains();
  EXPECT_EQ(gains()->method(), CostMethod::Fifo);
  openLedger(ledger);
  showGains();
  EXPECT_EQ(gains()->method(), CostMethod::Average);
}

TEST_F(GainsWindowTest, SaysSoWhenASaleWasUncovered) {
  const std::string covered = dir.file("covered.mdb");
  test::makeLedger(covered, {{1, "IBM", 10, "B", "2024-01-02", 100, 5}, {1, "IBM", 10, "S", "2024-01-03", 90, 5}});
  const std::pair<std::string, QString> rows[] = {{ledger, test::kUncoveredNote}, {covered, ""}};
  for (const auto& [path, note] : rows) {
    openLedger(path);
    showGains();
    auto* label = gains()->findChild<QLabel*>("lblNote");
    // First; the holdings without a price are named after it.
    EXPECT_EQ(label->text().section(QLatin1Char('\n'), 0, 0), note) << path;
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

// The old ledger's figures are never delivered once another ledger is
// open: the window goes with the old ledger before the event loop could
// bring them, and nothing of its work is told or shown after.
TEST_F(GainsWindowTest, OpeningAnotherLedgerWhileTheFiguresAreWorkedOutIsSafe) {
  const std::string other = dir.file("other.mdb");
  test::makeLedger(other, {{1, "IBM", 10, "B", "2024-01-02", 100, 5}});
  openLedger(ledger);
  window.mnuViewItem_Click(5);
  ASSERT_NE(gains(), nullptr);
  openLedger(other);
  settleWork();
  EXPECT_EQ(gains(), nullptr);
  EXPECT_TRUE(prompter.shown.empty());
}

// A trade saved while the window works: the window works its figures out
// again where it stands, and the figures it shows hold the trade.
TEST_F(GainsWindowTest, ASaveWhileWorkingStartsTheWorkAgain) {
  openLedger(ledger);
  window.mnuViewItem_Click(5);
  GainsView* view = gains();
  window.mnuFileItem_Click(2);
  form()->cboCompanySymbol()->setEditText("AAA");
  form()->box("Date", kGeneralTab)->setText("2025-06-01");
  form()->box("Quantity", kGeneralTab)->setText("4");
  form()->box("Price", kGeneralTab)->setText("10");
  form()->box("Commission", kGeneralTab)->setText("1");
  form()->optBuy()->setChecked(true);
  prompter.expect(MsgAnswer::Yes);  // AAA joins the company list
  window.mnuFileItem_Click(5);
  // Figures can only come through the event loop, which has not run since
  // the save: whatever is shown from here on must hold it.
  std::vector<std::string> aaaShares;
  QObject::connect(view, &GainsView::figuresShown, view, [&] {
    aaaShares.push_back(view->model(Table::Holdings)->index(0, 1).data().toString().toStdString());
  });
  ASSERT_TRUE(figuresIn(view));
  EXPECT_EQ(gains(), view);  // the same window, read again
  // AAA held 15 (gains_ledger.h); 4 more bought.
  EXPECT_EQ(aaaShares, std::vector<std::string>{"19"});
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
  void TearDown() override {
    settleWork();
    EXPECT_EQ(prompter.pending(), 0u);
  }
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
  ASSERT_TRUE(figuresIn(&view));
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
  ASSERT_TRUE(figuresIn(&view));
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
  ASSERT_TRUE(figuresIn(&view));
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
  EXPECT_EQ(holdings[0][5], "46");  // Net Income
  EXPECT_EQ(holdings[1][5], "6.16");
}

// ---- while the figures are worked out ----------------------------------------

// Another connection's exclusive lock keeps the work waiting for the file
// (the engine waits up to three seconds for a lock), so that a test can act
// while the work is under way; the lock goes with the object.
class FileHeld {
 public:
  explicit FileHeld(const std::string& path) : m_db(Database::openFile(path, false)) {
    m_db.executeScript("BEGIN EXCLUSIVE");
  }
  ~FileHeld() { release(); }
  void release() {
    if (m_held) m_db.executeScript("COMMIT");
    m_held = false;
  }
  Database& db() { return m_db; }

 private:
  Database m_db;
  bool m_held = true;
};

class GainsWorkingTest : public GainsViewTest {
 protected:
  void SetUp() override {
    GainsViewTest::SetUp();
    app.session().LedgerPath = dir.file("l.mdb");
    test::makeLedger(app.session().LedgerPath, test::kGainsTrades);
  }
  static bool shown(QWidget* w) { return !w->isHidden(); }
};

TEST_F(GainsWorkingTest, TheWindowAnswersWhileTheFiguresAreWorkedOutAndFillsInAfter) {
  FileHeld held(app.session().LedgerPath);
  GainsView view(app, host);
  EXPECT_TRUE(view.working());
  auto* working = view.findChild<QLabel*>("lblWorking");
  EXPECT_TRUE(shown(working));
  EXPECT_EQ(working->text(), "Working out the figures...");
  EXPECT_TRUE(shown(view.findChild<QProgressBar*>("prgWork")));
  EXPECT_TRUE(shown(view.findChild<QPushButton*>("cmdStop")));
  EXPECT_EQ(view.model(Table::Holdings)->rowCount(), 0);

  // The window's thread goes on with its events meanwhile, and paints:
  // the work leaves Qt's global pool free, which the raster engine takes
  // pieces of a paint to (a paint once waited there for the figures).
  bool timerRan = false;
  QTimer::singleShot(0, &view, [&] { timerRan = true; });
  QTest::qWait(50);
  EXPECT_TRUE(timerRan);
  EXPECT_TRUE(view.working());
  EXPECT_EQ(QThreadPool::globalInstance()->activeThreadCount(), 0);
  view.show();
  EXPECT_FALSE(view.grab().isNull());

  held.release();
  ASSERT_TRUE(figuresIn(&view));
  EXPECT_EQ(view.model(Table::Holdings)->rowCount(), 5);
  EXPECT_FALSE(shown(working));
  EXPECT_FALSE(shown(view.findChild<QProgressBar*>("prgWork")));
}

// A change while the work waits: the work is started again, and only the
// figures that hold the change are ever shown.
TEST_F(GainsWorkingTest, AChangeWhileWorkingShowsOnlyTheNewFigures) {
  FileHeld held(app.session().LedgerPath);
  GainsView view(app, host);
  int shownTimes = 0;
  QObject::connect(&view, &GainsView::figuresShown, &view, [&] { ++shownTimes; });
  held.db().execute("INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, Commission) "
                    "VALUES (9, 'NEW', 4, 'B', '2024-07-01', 10, 1)");
  view.readAgain();
  held.release();
  ASSERT_TRUE(figuresIn(&view));
  settleWork();
  EXPECT_EQ(shownTimes, 1);
  EXPECT_EQ(view.model(Table::Holdings)->rowCount(), 6);
}

// Another program's change to the file, once the figures are in: the
// window sees the file's change counter move and works them out again.
TEST_F(GainsWorkingTest, AChangeByAnotherProgramIsSeenAndWorkedIn) {
  GainsView view(app, host);
  ASSERT_TRUE(figuresIn(&view));
  Database other = Database::openFile(app.session().LedgerPath, false);
  other.execute("INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, Price, Commission) "
                "VALUES (9, 'NEW', 4, 'B', '2024-07-01', 10, 1)");
  QDeadlineTimer deadline(30000);
  while (!view.working() && !deadline.hasExpired()) QTest::qWait(10);
  ASSERT_TRUE(figuresIn(&view));
  EXPECT_EQ(view.model(Table::Holdings)->rowCount(), 6);
}

TEST_F(GainsWorkingTest, TheWorkCanBeStoppedAndStartedAgain) {
  FileHeld held(app.session().LedgerPath);
  GainsView view(app, host);
  view.findChild<QPushButton*>("cmdStop")->click();
  EXPECT_FALSE(view.working());
  EXPECT_EQ(view.findChild<QLabel*>("lblWorking")->text(), "The figures were not worked out.");
  held.release();
  settleWork();
  EXPECT_EQ(view.model(Table::Holdings)->rowCount(), 0);  // what the stopped work found never came

  auto* workOut = view.findChild<QPushButton*>("cmdWorkOut");
  ASSERT_TRUE(shown(workOut));
  workOut->click();
  ASSERT_TRUE(figuresIn(&view));
  EXPECT_EQ(view.model(Table::Holdings)->rowCount(), 5);
  EXPECT_FALSE(shown(workOut));
}

// Deleted while its work waits for the file, the window stops the work;
// the thread ends by itself once the file is free and hands on nothing.
TEST_F(GainsWorkingTest, ClosingTheWindowWhileWorkingIsSafe) {
  FileHeld held(app.session().LedgerPath);
  auto* view = new GainsView(app, host);
  view->show();
  QTest::qWait(20);
  view->close();
  delete view;
  held.release();
  settleWork();
  EXPECT_TRUE(prompter.shown.empty());
}

// ---- market value, returns and the value chart -----------------------------

// XYZ, the worked example of the help: bought 50 at 20 + 10 commission on
// 2024-01-02 (1010 in), a dividend of 15 on 2024-04-01, 20 sold at 25 - 10
// on 2024-07-01 (490 out); closes 20, 22, 25 and 24 on those days and
// 2024-12-31. ABC: 10 bought at 5 on 2024-02-01 and no price at all.
class GainsValuesTest : public GainsViewTest {
 protected:
  void SetUp() override {
    GainsViewTest::SetUp();
    app.session().LedgerPath = dir.file("values.mdb");
    test::makeLedger(app.session().LedgerPath, {{1, "XYZ", 50, "B", "2024-01-02", 20, 10},
                                                {1, "XYZ", 20, "S", "2024-07-01", 25, 10},
                                                {2, "ABC", 10, "B", "2024-02-01", 5, 0}});
    test::addEvents(app.session().LedgerPath,
                    "INSERT INTO Dividend (CompanySymbol, Date, Gross, Withholding) VALUES ('XYZ', '2024-04-01', 15, 0);");
    Database db = openLedger(app.session().LedgerPath);
    db.executeScript(kPriceTableSchema);
    db.executeScript("INSERT INTO Price (CompanySymbol, Date, Close) VALUES ('XYZ', '2024-01-02', 20), "
                     "('XYZ', '2024-04-01', 22), ('XYZ', '2024-07-01', 25), ('XYZ', '2024-12-31', 24);");
  }
  // A date box set as a user would, and the figures it asks for waited for.
  static void setDate(QDateEdit* box, const char* iso) { box->setDate(QDate::fromString(iso, Qt::ISODate)); }
  static bool figuresAfterPause(GainsView& view) {
    QTest::qWait(600);  // the boxes ask once the typing has paused
    return figuresIn(&view);
  }
};

// At the end of 2024 XYZ holds 30, costing 1010 x 30 / 50 = 606 (FIFO,
// 20.2 a share; the 20 sold cost 404 and brought 490: realized 86), worth
// 30 x 24 = 720: unrealized 114, all of the whole (ABC has no price and no
// value, and is left out of the whole).
TEST_F(GainsValuesTest, TheHoldingsShowTheirValueAtTheDateAndSayNoPrice) {
  GainsView view(app, host);
  setDate(view.valuesAsOfBox(), "2024-12-31");
  ASSERT_TRUE(figuresAfterPause(view));
  EXPECT_EQ(gridRows(*view.model(Table::Holdings)),
            (Rows{{"ABC", "10", "50", "5", "0", "0", "no price", "", "no price", "", ""},
                  {"XYZ", "30", "606", "20.2", "86", "15", "24", "2024-12-31", "720", "114", "100"}}));
  // On 2024-05-01 the last close is 2024-04-01's: 50 x 22 = 1100.
  setDate(view.valuesAsOfBox(), "2024-05-01");
  ASSERT_TRUE(figuresAfterPause(view));
  const Rows rows = gridRows(*view.model(Table::Holdings));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(rows[1].begin() + 6, rows[1].begin() + 9),
            (std::vector<std::string>{"22", "2024-04-01", "1100"}));
}

// The help's figures for XYZ over 2024-01-02 to 2024-12-31: S 0, E 720,
// invested 1010, returned 490, income 15, IRR 28.09 %, TWR 21.64 %; ABC has
// no price, which is named; the inputs of XYZ show how E was worked out.
TEST_F(GainsValuesTest, TheReturnsTabShowsEachCompanysReturnsAndTheirInputs) {
  GainsView view(app, host);
  ReturnsTab* tab = view.returnsTab();
  setDate(tab->fromBox(), "2024-01-02");
  setDate(tab->toBox(), "2024-12-31");
  ASSERT_TRUE(figuresAfterPause(view));
  const Rows rows = gridRows(*tab->model());
  ASSERT_EQ(rows.size(), 3u);  // ABC, XYZ, the whole ledger
  EXPECT_EQ(rows[1], (std::vector<std::string>{"XYZ", "0", "720", "1010", "490", "15", "28.09", "21.64", ""}));
  EXPECT_EQ(rows[0][0], "ABC");
  EXPECT_EQ(rows[0][7], "");  // no TWR without prices
  EXPECT_EQ(rows[0][8].rfind("No price: ABC on ", 0), 0u) << rows[0][8];
  EXPECT_EQ(rows[2][0], "Whole ledger");

  tab->grid()->selectRow(1);
  const Rows inputs = gridRows(*tab->inputs());
  ASSERT_GE(inputs.size(), 5u);
  EXPECT_EQ(inputs[1], (std::vector<std::string>{"2024-01-02", "Purchase (in)", "1010", ""}));
  EXPECT_EQ(inputs[4], (std::vector<std::string>{"2024-12-31", "End value (out)", "720",
                                                 "30 shares x 24 (close of 2024-12-31)"}));
}

// XYZ's last point, 2024-12-31: worth 30 x 24 = 720, money in net
// 1010 - 15 - 490 = 505. A click on it tells both.
TEST_F(GainsValuesTest, AClickOnTheValueChartTellsTheDateAndBothValues) {
  GainsView view(app, host);
  view.resize(900, 600);
  view.show();
  ASSERT_TRUE(figuresIn(&view));
  view.tabs()->setCurrentWidget(view.valueTab());
  ValueTab* tab = view.valueTab();
  tab->choice()->setCurrentText("XYZ");
  QTest::qWait(50);  // the tab laid out
  ValueChart* chart = tab->chart();
  ASSERT_FALSE(chart->points().empty());
  const std::size_t last = chart->points().size() - 1;
  const std::optional<QPoint> at = chart->pointPosition(last, 1);
  ASSERT_TRUE(at.has_value());
  QTest::mouseClick(chart, Qt::LeftButton, {}, *at);
  EXPECT_EQ(tab->pointText()->text(), "2024-12-31: market value 720, net invested 505");
}

}  // namespace
}  // namespace ledger
