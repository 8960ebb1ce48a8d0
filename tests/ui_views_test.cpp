// The four report views against ledgers built here: what they bind, what
// they show, where they stand, and what a right-press or the chart's
// hint does.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QEnterEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <algorithm>

#include "app/app_context.h"
#include "engine/database.h"
#include "engine/db_error.h"
#include "ledger/view_queries.h"
#include "fakes.h"
#include "test_ledger.h"
#include "ui/twips.h"
#include "ui/views/chart_view.h"
#include "ui/views/datasheet_view.h"
#include "ui/views/history_view.h"
#include "ui/views/profit_loss_view.h"
#include "ui/views/recordset_model.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::TradeRow;

class FakeHost final : public ViewHost {
 public:
  int entryFormWidthTwips() override { return 6000; }
  int entryFormHeightTwips() override { return 5000; }
  int mainWindowWidthTwips() override { return 21000; }
  QString generalTabSymbol() override { return symbol; }
  void popupRestoreMenu(ViewTag t) override {
    ++popups;
    tag = t;
  }
  ViewTag tag = ViewTag::None;
  QString symbol = "AAPL";
  int popups = 0;
};

const std::vector<TradeRow> kTrades = {
    {3, "IBM", 10, "B", "2024-01-02", 100, 5},  {1, "AAPL", 20, "S", "2024-02-03", 200, 6},
    {2, "MSFT", 30, "B", "2024-03-04", 300, 7}, {1, "AAPL", 40, "B", "2024-04-05", 150.5, 2.25},
};

class ViewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::makeLedger(path, kTrades);
    app.session().LedgerPath = path;
  }
  void TearDown() override { EXPECT_EQ(prompter.pending(), 0u) << "a queued answer was never asked for"; }

  // Every cell of a model as text, fetching all rows first.
  static std::vector<std::vector<std::string>> cells(QAbstractItemModel& m) {
    while (m.canFetchMore({})) m.fetchMore({});
    std::vector<std::vector<std::string>> out;
    for (int r = 0; r < m.rowCount(); ++r) {
      out.emplace_back();
      for (int c = 0; c < m.columnCount(); ++c) out.back().push_back(m.index(r, c).data().toString().toStdString());
    }
    return out;
  }
  static QStringList headers(QAbstractItemModel& m) {
    QStringList out;
    for (int c = 0; c < m.columnCount(); ++c) out << m.headerData(c, Qt::Horizontal).toString();
    return out;
  }
  static void rightPress(QWidget* w) { QTest::mousePress(w, Qt::RightButton, {}, QPoint(5, 5)); }

  test::TempDir dir;
  std::string path = dir.file("ledger.mdb");
  test::ScriptedPrompter prompter;
  test::ScriptedFileChooser files;
  AppContext app{prompter, files, dir.path().string()};
  FakeHost host;
};

// ---- the grid model --------------------------------------------------------

TEST_F(ViewsTest, ModelReadsPagesOnDemandAndAgainAfterDroppingThem) {
  std::vector<TradeRow> many;
  for (int i = 0; i < 600; ++i) many.push_back({i, "S" + std::to_string(i), i + 0.5, "B", "2024-01-02", 1, 0});
  const std::string big = dir.file("big.mdb");
  test::makeLedger(big, many);
  Database ledger = openLedger(big);
  ledger.createQueryDef("All Trades", "SELECT * FROM Trade");
  for (const char* source : {"Trade", "All Trades"}) {
    RecordsetModel model(nullptr, 1);  // one page kept: every other page is read again
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setSource(ledger, source);
    // Every row is counted at once, and none is read before it is shown.
    EXPECT_EQ(model.rowCount(), 600) << source;
    EXPECT_FALSE(model.canFetchMore({}));
    // At most the first page, which the model tester looks at.
    const int opened = model.pageReads();
    EXPECT_LE(opened, 1) << source;
    EXPECT_EQ(model.index(599, 1).data().toString().toStdString(), "S599") << source;
    EXPECT_EQ(model.pageReads(), opened + 1) << source;
    const auto all = cells(model);
    ASSERT_EQ(all.size(), 600u) << source;
    for (int row = 0; row < 600; ++row) ASSERT_EQ(all[static_cast<size_t>(row)][1], "S" + std::to_string(row));
    const int reads = model.pageReads();
    for (int row : {0, 599, 300, 0}) {
      EXPECT_EQ(model.index(row, 1).data().toString().toStdString(), "S" + std::to_string(row));
      EXPECT_EQ(model.index(row, 2).data().toString().toStdString(), toDisplayText(Value(row + 0.5)));
    }
    EXPECT_EQ(model.pageReads(), reads + 4) << source;
  }
}

TEST_F(ViewsTest, ModelCountsASortedQueryByItsUnsortedRows) {
  Database db = openLedger(path);
  EnsureTradeSorted(db);
  EnsureBoughtSorted(db);
  EnsureSoldSorted(db);
  const std::pair<const char*, const char*> pairs[] = {
      {"TradeSorted", "Trade"}, {"BoughtSorted", "Bought"}, {"SoldSorted", "Sold"}};
  for (const auto& [sorted, plain] : pairs) {
    RecordsetModel counted;
    QAbstractItemModelTester tester(&counted, QAbstractItemModelTester::FailureReportingMode::Fatal);
    counted.setSource(db, sorted, plain);
    RecordsetModel direct;
    direct.setSource(db, sorted);
    EXPECT_EQ(counted.rowCount(), direct.rowCount()) << sorted;
    EXPECT_EQ(cells(counted), cells(direct)) << sorted;
  }
  RecordsetModel model;
  EXPECT_THROW(model.setSource(db, "TradeSorted", "NoSuchTable"), DbError);
  EXPECT_EQ(model.rowCount(), 0);
}

TEST_F(ViewsTest, ModelShowsFieldsByNameReadOnlyWithNumbersRight) {
  RecordsetModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  Database ledger = openLedger(path);
  model.setSource(ledger, "Bought");
  EXPECT_EQ(headers(model),
            (QStringList{"CompanySymbol", "Date", "Quantity", "Price", "Commission", "TotalPurchase"}));
  EXPECT_EQ(cells(model)[2], (std::vector<std::string>{"AAPL", "2024-04-05", "40", "150.5", "2.25", "6022.25"}));
  const QModelIndex price = model.index(0, 3);
  EXPECT_FALSE(model.flags(price) & Qt::ItemIsEditable);
  EXPECT_TRUE(price.data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
  EXPECT_TRUE(model.index(0, 0).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
}

TEST_F(ViewsTest, ModelOfAMissingSourceIsEmptyAndSaysSo) {
  RecordsetModel model;
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  Database ledger = openLedger(path);
  model.setSource(ledger, "Trade");
  EXPECT_THROW(model.setSource(ledger, "NoSuchQuery"), DbError);
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_EQ(model.columnCount(), 0);
}

// ---- datasheet -------------------------------------------------------------

TEST_F(ViewsTest, DatasheetShowsEachTabSortedAndWritesItsQuery) {
  DatasheetView view(app, host);
  QAbstractItemModelTester tester(view.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  EXPECT_EQ(view.objectName(), "frmDatasheet");
  EXPECT_EQ(view.windowTitle(), "Datasheet View");
  ASSERT_EQ(view.tabStrip()->count(), 3);
  EXPECT_EQ(view.tabStrip()->tabText(2), "Sold Shares");
  EXPECT_EQ(view.grid(), view.findChild<QTableView*>("DBGrid"));

  struct Case {
    int tab;
    const char* query;
    QString lastHeader;
    std::vector<std::string> firstColumn;
  } cases[] = {
      {0, "TradeSorted", "Commission", {"1", "1", "2", "3"}},
      {2, "SoldSorted", "TotalSell", {"AAPL"}},
      {1, "BoughtSorted", "TotalPurchase", {"AAPL", "IBM", "MSFT"}},
      {0, "TradeSorted", "Commission", {"1", "1", "2", "3"}},
  };
  for (const Case& c : cases) {
    view.tabStrip()->setCurrentIndex(c.tab);
    EXPECT_EQ(view.model()->source(), c.query);
    EXPECT_EQ(headers(*view.model()).last(), c.lastHeader) << c.query;
    std::vector<std::string> first;
    for (const auto& row : cells(*view.model())) first.push_back(row[0]);
    EXPECT_EQ(first, c.firstColumn) << c.query;
  }
  Database db = ledger::openLedger(path);
  for (const char* name : {"TradeSorted", "BoughtSorted", "SoldSorted"}) EXPECT_TRUE(db.hasQueryDef(name)) << name;
}

TEST_F(ViewsTest, DatasheetStandsBesideTheEntryFormAndSizesItsControls) {
  DatasheetView view(app, host);
  view.show();
  EXPECT_EQ(view.pos(), QPoint(twipsToPixelsX(6000), 0));
  EXPECT_EQ(view.frameWidthTwips(), pixelsToTwipsX(twipsToPixelsX(10545)));
  struct Size {
    int height;  // twips
    bool gridFollows;
  } sizes[] = {{5000, true}, {1000, false}, {7000, true}};
  for (const Size& s : sizes) {
    const int gridHeightBefore = view.grid()->height();
    view.resize(view.width(), twipsToPixelsY(s.height));
    QApplication::sendPostedEvents();
    const int h = view.frameHeightTwips();
    EXPECT_EQ(view.tabStrip()->height(), twipsToPixelsY(h - 430)) << s.height;
    EXPECT_EQ(view.grid()->height(), s.gridFollows ? twipsToPixelsY(h - 1485) : gridHeightBefore) << s.height;
    EXPECT_EQ(view.grid()->width(), twipsToPixelsX(pixelsToTwipsX(view.tabStrip()->width()) - 200));
  }
}

TEST_F(ViewsTest, DatasheetOnAnUnreadableLedgerSaysSoAndStaysOpen) {
  app.session().LedgerPath = dir.file("gone.mdb");
  prompter.expect(MsgAnswer::Ok);
  DatasheetView view(app, host);
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Critical);
  EXPECT_EQ(view.model()->rowCount(), 0);
}

// ---- history ---------------------------------------------------------------

TEST_F(ViewsTest, HistoryOfACompanyWithPurchasesOnly) {
  host.symbol = "IBM";
  HistoryView view(app, host);
  EXPECT_EQ(view.objectName(), "frmHistory");
  EXPECT_EQ(view.windowTitle(), "History of IBM");
  for (int g = 0; g < HistoryView::kGridCount; ++g) {
    QAbstractItemModelTester tester(view.model(HistoryView::Grid(g)),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
  }
  EXPECT_EQ(cells(*view.model(HistoryView::Buy)).size(), 1u);
  EXPECT_EQ(cells(*view.model(HistoryView::Sell)).size(), 0u);
  using Rows = std::vector<std::vector<std::string>>;
  EXPECT_EQ(cells(*view.model(HistoryView::TotalBuy)), (Rows{{"1005"}}));
  EXPECT_EQ(cells(*view.model(HistoryView::TotalSell)), (Rows{{""}}));
  EXPECT_EQ(cells(*view.model(HistoryView::ProfitLoss)), (Rows{{""}}));
  EXPECT_EQ(headers(*view.model(HistoryView::ProfitLoss)), QStringList{"Profit/Loss"});
}

TEST_F(ViewsTest, HistoryOfASymbolWithAQuote) {
  Database db = ledger::openLedger(path);
  test::addTrades(db, {{5, "O'Neil", 5, "B", "2024-05-06", 10, 1}, {5, "O'Neil", 2, "S", "2024-06-07", 12, 1}});
  host.symbol = "O'Neil";
  HistoryView view(app, host);
  EXPECT_EQ(view.windowTitle(), "History of O'Neil");
  EXPECT_EQ(cells(*view.model(HistoryView::Sell)).at(0).at(0), "O'Neil");
  EXPECT_EQ(cells(*view.model(HistoryView::ProfitLoss)), (std::vector<std::vector<std::string>>{{"-28"}}));
  // A figure stands to the right, as a number does.
  const QModelIndex figure = view.model(HistoryView::ProfitLoss)->index(0, 0);
  EXPECT_TRUE(figure.data(Qt::TextAlignmentRole).value<Qt::Alignment>().testFlag(Qt::AlignRight));
}

TEST_F(ViewsTest, HistoryStandsAtItsPlaceAndLaysOutItsGrids) {
  HistoryView view(app, host);
  EXPECT_EQ(view.pos(), QPoint(0, twipsToPixelsY(5485)));
  const int w = view.frameWidthTwips(), h = view.frameHeightTwips();
  EXPECT_EQ(w, pixelsToTwipsX(twipsToPixelsX(9000)));
  const auto box = [](QWidget* grid) { return grid->geometry(); };
  QTableView* buy = view.grid(HistoryView::Buy);
  QTableView* sell = view.grid(HistoryView::Sell);
  // The captions stand on top of the two big grids, inside their share.
  EXPECT_EQ(view.findChild<QLabel*>("lblBuyingHistory")->text(), "Buying History");
  EXPECT_EQ(view.findChild<QLabel*>("lblSellingHistory")->text(), "Selling History");
  EXPECT_EQ(box(buy).bottom() + 1, twipsToPixelsY(static_cast<int>(std::lround(0.39 * h))));
  EXPECT_EQ(box(sell).bottom() + 1, 2 * twipsToPixelsY(static_cast<int>(std::lround(0.39 * h))));
  EXPECT_EQ(box(buy).width(), twipsToPixelsX(w));
  const int top = twipsToPixelsY(static_cast<int>(std::lround(0.78 * h)));
  EXPECT_EQ(box(view.grid(HistoryView::TotalBuy)).topLeft(), QPoint(twipsToPixelsX(480), top));
  EXPECT_EQ(box(view.grid(HistoryView::ProfitLoss)).topLeft(), QPoint(twipsToPixelsX(w - 2775), top));
  EXPECT_EQ(box(view.grid(HistoryView::TotalSell)).size(), twipsSize(2295, 975));
}

// ---- profit / loss ---------------------------------------------------------

QString boxText(QWidget& view, const char* name) { return view.findChild<QLineEdit*>(name)->text(); }

TEST_F(ViewsTest, ProfitLossShowsTheFiguresAndLeavesTradeAtItsFirstRow) {
  ASSERT_TRUE(app.session().OpenLedgerTable("Sold"));
  ProfitLossView view(app, host);
  EXPECT_EQ(view.windowTitle(), "Profit/Loss");
  EXPECT_EQ(boxText(view, "TotalBought"), "16034.25");
  EXPECT_EQ(boxText(view, "TotalSold"), "3994");
  EXPECT_EQ(boxText(view, "PL"), "-12040.25");
  EXPECT_EQ(boxText(view, "Percentage"), "-75.09");
  auto& rs = *app.session().CurrentRecordset;
  EXPECT_EQ(rs.sourceName(), "Trade");
  EXPECT_EQ(toDisplayText(rs.value("CompanySymbol")), "IBM");
  // Read top to bottom: purchased, sold, profit/loss, percentage.
  const char* order[] = {"TotalBought", "TotalSold", "PL", "Percentage"};
  for (int i = 1; i < 4; ++i)
    EXPECT_LT(view.findChild<QLineEdit*>(order[i - 1])->y(), view.findChild<QLineEdit*>(order[i])->y());
  // Each box keeps its row and size; it moves right only as far as its
  // label's text needs.
  const QRect box = view.findChild<QLineEdit*>("TotalBought")->geometry();
  EXPECT_EQ(box.top(), twipsToPixelsY(240));
  EXPECT_EQ(box.size(), twipsSize(1815, 285));
  EXPECT_GE(box.left(), twipsToPixelsX(1560));
  EXPECT_GT(box.left(), view.findChild<QLabel*>("Label1")->geometry().right());
}

TEST_F(ViewsTest, ProfitLossOfAnEmptyLedgerLeavesTheBoxesEmpty) {
  const std::string empty = dir.file("empty.mdb");
  test::makeLedger(empty);
  app.session().LedgerPath = empty;
  ProfitLossView view(app, host);
  for (const char* name : {"TotalBought", "TotalSold", "PL", "Percentage"}) EXPECT_EQ(boxText(view, name), "") << name;
}

// ---- exact figures ---------------------------------------------------------

// Products and sums that floating point gets wrong, in every place a
// computed figure is shown: the datasheet's Bought and Sold grids, the
// history's grids and totals, and the profit/loss window.
TEST_F(ViewsTest, EveryComputedFigureIsShownExactly) {
  const std::string odd = dir.file("odd.mdb");
  test::makeLedger(odd, {{1, "KO", 3, "B", "2024-01-02", 0.1, 0},
                         {1, "KO", 1, "B", "2024-01-03", 0.2, 0},
                         {1, "KO", 3, "S", "2024-01-04", 0.1, 0.2},
                         {2, "GE", 1e300, "B", "2024-01-05", 1e300, 0}});
  app.session().LedgerPath = odd;
  host.symbol = "KO";
  using Rows = std::vector<std::vector<std::string>>;
  // One column's cells, in text order (rows of one symbol come in no set order).
  const auto column = [](QAbstractItemModel& m, int c) {
    std::vector<std::string> out;
    for (const auto& row : cells(m)) out.push_back(row.at(static_cast<size_t>(c)));
    std::sort(out.begin(), out.end());
    return out;
  };
  {
    DatasheetView sheet(app, host);
    sheet.tabStrip()->setCurrentIndex(1);
    EXPECT_EQ(column(*sheet.model(), 5), (std::vector<std::string>{"0.2", "0.3", "1E+600"}));
    sheet.tabStrip()->setCurrentIndex(2);
    EXPECT_EQ(column(*sheet.model(), 5), (std::vector<std::string>{"0.1"}));
  }
  {
    HistoryView history(app, host);
    EXPECT_EQ(column(*history.model(HistoryView::Buy), 5), (std::vector<std::string>{"0.2", "0.3"}));
    EXPECT_EQ(cells(*history.model(HistoryView::TotalBuy)), (Rows{{"0.5"}}));
    EXPECT_EQ(cells(*history.model(HistoryView::TotalSell)), (Rows{{"0.1"}}));
    EXPECT_EQ(cells(*history.model(HistoryView::ProfitLoss)), (Rows{{"-0.4"}}));
    EXPECT_EQ(headers(*history.model(HistoryView::TotalBuy)), QStringList{"Total Buy"});
  }
  ProfitLossView pl(app, host);
  // 1E+600 + 0.5 and 0.1 - (1E+600 + 0.5), every digit kept: not INF.
  EXPECT_EQ(boxText(pl, "TotalBought").toStdString(), "1." + std::string(600, '0') + "5E+600");
  EXPECT_EQ(boxText(pl, "TotalSold"), "0.1");
  EXPECT_EQ(boxText(pl, "PL").toStdString(), "-1." + std::string(600, '0') + "4E+600");
  EXPECT_EQ(boxText(pl, "Percentage"), "-100.00");
}

// ---- chart -----------------------------------------------------------------

TEST_F(ViewsTest, ChartOfOneTrade) {
  const std::string one = dir.file("one.mdb");
  test::makeLedger(one, {{1, "AAPL", 10, "B", "2024-01-02", 101.5, 4.75}});
  app.session().LedgerPath = one;
  ChartView view(app, host);
  EXPECT_FALSE(view.unloaded());
  EXPECT_EQ(view.windowTitle(), "History of trading");
  const ChartTable& table = view.chart()->table();
  ASSERT_EQ(table.rowCount(), 1);
  EXPECT_EQ(table.label(0, 0), "AAPL");
  EXPECT_EQ(table.label(0, 1), "B");
  EXPECT_EQ(table.label(0, 2), "'2024-01-02'");
  EXPECT_EQ(TradeChart::legendTexts(), (QStringList{"Price", "Commission"}));
  EXPECT_EQ(view.pos(), QPoint(twipsToPixelsX(9000), twipsToPixelsY(5000)));
  EXPECT_EQ(view.frameWidthTwips(), pixelsToTwipsX(twipsToPixelsX(21000 - 9200)));
  EXPECT_EQ(view.chart()->height(), twipsToPixelsY(view.frameHeightTwips() - 250));
  EXPECT_EQ(app.session().CurrentRecordset->sourceName(), "Trade");
  EXPECT_FALSE(app.session().CurrentRecordset->eof());
}

TEST_F(ViewsTest, ChartClickShowsTheColumnsValueAsTip) {
  ChartView view(app, host);
  view.show();
  QApplication::sendPostedEvents();
  struct Case {
    qint64 row;
    int series;
    const char* tip;
  } cases[] = {{0, 0, "100"}, {0, 1, "5"}, {3, 1, "2.25"}, {3, 0, "150.5"}};
  for (const Case& c : cases) {
    const QRect column = view.chart()->columnRect(c.row, c.series);
    ASSERT_FALSE(column.isEmpty()) << c.row << "/" << c.series;
    QTest::mouseClick(view.chart()->viewport(), Qt::LeftButton, {}, column.center());
    EXPECT_EQ(view.chart()->viewport()->toolTip(), c.tip);
  }
}

TEST_F(ViewsTest, ChartOfNoTradesSaysSoAndUnloads) {
  const std::string empty = dir.file("empty.mdb");
  test::makeLedger(empty);
  app.session().LedgerPath = empty;
  prompter.expect(MsgAnswer::Ok);
  QPointer<ChartView> view = new ChartView(app, host);
  EXPECT_TRUE(view->unloaded());
  EXPECT_FALSE(view->isVisible());
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, "There are no records in this database.");
  EXPECT_EQ(prompter.shown[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(prompter.shown[0].title, kAppTitle);
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(view.isNull());
}

void enter(QWidget* w) {
  QEnterEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), w->mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(w, &e);
}
void leave(QWidget* w) {
  QEvent e(QEvent::Leave);
  QApplication::sendEvent(w, &e);
}

TEST_F(ViewsTest, ChartHintAnsweredNoStaysAwayAfterReopening) {
  {
    ChartView view(app, host);
    prompter.expect(MsgAnswer::No);
    enter(view.chart());
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, "Click on a column to see its value.\r\nDisplay this message in future?");
    EXPECT_EQ(prompter.shown[0].title, "Chart View");
    EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(prompter.shown[0].buttons, MsgButtons::YesNo);
  }
  ChartView again(app, host);
  enter(again.chart());  // no second hint: an unexpected message fails the test
  EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(ViewsTest, ChartHintAnsweredYesComesAgain) {
  ChartView view(app, host);
  prompter.expect(MsgAnswer::Yes);
  prompter.expect(MsgAnswer::Yes);
  enter(view.chart());
  leave(view.chart());
  enter(view.chart());
  EXPECT_EQ(prompter.shown.size(), 2u);
  EXPECT_FALSE(app.HideChartHint);
}

// ---- right-press: each view raises the Restore menu with its own tag -------

TEST_F(ViewsTest, RightPressRecordsTheViewAndRaisesTheMenu) {
  app.HideChartHint = true;
  DatasheetView datasheet(app, host);
  HistoryView history(app, host);
  ProfitLossView pl(app, host);
  ChartView chart(app, host);
  struct Case {
    QWidget* target;
    ViewTag tag;
  } cases[] = {{datasheet.grid()->viewport(), ViewTag::Datasheet},
               {history.grid(HistoryView::Buy)->viewport(), ViewTag::History},
               {&pl, ViewTag::ProfitLoss},
               {chart.chart()->viewport(), ViewTag::Chart}};
  int popups = 0;
  for (const Case& c : cases) {
    host.tag = ViewTag::None;
    rightPress(c.target);
    EXPECT_EQ(host.tag, c.tag);
    EXPECT_EQ(host.popups, ++popups);
  }
  // Every grid raises the menu (it offers to export the grid's rows).
  QTest::mousePress(history.grid(HistoryView::Sell)->viewport(), Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(host.popups, ++popups);
  QTest::mousePress(&pl, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(host.popups, popups);  // the left button raises nothing
}

}  // namespace
}  // namespace ledger
