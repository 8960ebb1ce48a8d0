#include "datasheet_view.h"

#include <QResizeEvent>

#include <algorithm>

#include "app/report_data.h"
#include "engine/db_error.h"
#include "ui/twips.h"
#include "ui/views/view_support.h"

namespace ledger {

namespace {

// Where the tab strip and the grid stand inside the window, in twips.
constexpr int kTabStripLeft = 60;
constexpr int kTabStripTop = 60;
constexpr int kGridInset = 100;  // the grid sits this far inside the strip on each side
constexpr int kGridGap = 60;     // between the tabs and the grid

}  // namespace

DatasheetView::DatasheetView(AppContext& app, ViewHost& host, QMdiArea* area)
    : MdiChild(area), m_app(app), m_host(host) {
  setObjectName("frmDatasheet");
  setWindowTitle("Datasheet View");

  m_tabStrip = new QTabBar(this);
  m_tabStrip->setObjectName("TabStrip");
  m_tabStrip->setExpanding(false);
  m_tabStrip->setDrawBase(false);
  for (const DatasheetTab& tab : kDatasheetTabs) m_tabStrip->addTab(tab.caption);
  m_tabStrip->setGeometry(twipsToPixelsX(kTabStripLeft), twipsToPixelsY(kTabStripTop), 0,
                          m_tabStrip->sizeHint().height());
  // The strip's page: the framed area under the tabs that holds the grid.
  m_tabPage = new QFrame(m_tabStrip);
  m_tabPage->setFrameShape(QFrame::StyledPanel);

  m_grid = makeGrid(this, "DBGrid");
  m_model = new RecordsetModel(m_grid);
  m_grid->setModel(m_model);
  m_grid->move(m_tabStrip->x() + twipsToPixelsX(kGridInset),
               m_tabStrip->y() + m_tabStrip->sizeHint().height() + twipsToPixelsY(kGridGap));
  connect(m_model, &RecordsetModel::readFailed, this,
          [this](const QString& reason) { reportFailure(reason.toStdString()); }, Qt::QueuedConnection);
  new RightPressFilter(m_grid->viewport(), [this] {
    const int tab = std::clamp(m_tabStrip->currentIndex(), 0, static_cast<int>(std::size(kDatasheetTabs)) - 1);
    const QString query = QString::fromLatin1(kDatasheetTabs[tab].query);
    m_host.popupGridMenu(ViewTag::Datasheet, GridExport{query, nullptr, query + ".csv"});
  });

  try {
    setFrameGeometryTwips(m_host.entryFormWidthTwips(), 0, 10545, m_host.entryFormHeightTwips());
    sizeControls();
    if (viewMayReadLedger(m_app.session())) bindTab(m_tabStrip->currentIndex());
  } catch (const std::exception& e) {
    reportFailure(e.what());
  }
  connect(m_tabStrip, &QTabBar::currentChanged, this, [this](int index) {
    try {
      bindTab(index);
    } catch (const std::exception& e) {
      reportFailure(e.what());
    }
  });
}

void DatasheetView::sizeControls() {
  // Each size is applied only when it can be: a very small window keeps
  // the sizes that no longer fit.
  const int h = frameHeightTwips();
  const int w = frameWidthTwips();
  if (h - 430 >= 0) m_tabStrip->resize(m_tabStrip->width(), twipsToPixelsY(h - 430));
  if (w - 100 >= 0) m_tabStrip->resize(twipsToPixelsX(w - 100), m_tabStrip->height());
  if (h - 1485 >= 0) m_grid->resize(m_grid->width(), twipsToPixelsY(h - 1485));
  const int gridWidth = pixelsToTwipsX(m_tabStrip->width()) - 2 * kGridInset;
  if (gridWidth >= 0) m_grid->resize(twipsToPixelsX(gridWidth), m_grid->height());
  const int tabsHeight = m_tabStrip->sizeHint().height();
  m_tabPage->setGeometry(0, tabsHeight - 1, m_tabStrip->width(), std::max(0, m_tabStrip->height() - tabsHeight + 1));
}

void DatasheetView::resizeEvent(QResizeEvent* event) {
  MdiChild::resizeEvent(event);
  sizeControls();
}

void DatasheetView::bindTab(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kDatasheetTabs))) return;
  const DatasheetTab& tab = kDatasheetTabs[index];
  try {
    Database ledger = openDatasheetTab(m_app.session(), index);
    m_model->setSource(ledger, tab.query, tab.countedAs);
  } catch (const DbError& e) {
    reportFailure(e.what());
  }
  m_grid->resizeColumnsToContents();
}

void DatasheetView::reportFailure(const std::string& reason) {
  reportReadFailure(m_app.prompter(), m_app.session().LedgerPath, reason);
}

}  // namespace ledger
