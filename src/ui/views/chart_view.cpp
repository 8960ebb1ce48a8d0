#include "chart_view.h"

#include <QCursor>
#include <QToolTip>

#include "app/report_data.h"
#include "ui/twips.h"
#include "ui/views/view_support.h"

namespace ledger {

const std::string& ChartView::hintText() {
  static const std::string text =
      std::string("Click on a column to see its value.") + kNewLine + "Display this message in future?";
  return text;
}

ChartView::ChartView(AppContext& app, ViewHost& host, QMdiArea* area)
    : MdiChild(area), m_app(app), m_host(host), m_chart(new TradeChart(this)) {
  setObjectName("frmChart");
  setWindowTitle("History of trading");
  connect(m_chart, &TradeChart::pointSelected, this, &ChartView::showValue);
  connect(m_chart, &TradeChart::pointerEntered, this, &ChartView::offerHint);
  connect(m_chart, &TradeChart::pointerLeft, this, [this] { m_ignoreNextEnter = false; });
  new RightPressFilter(m_chart->viewport(), [this] { m_host.popupRestoreMenu(ViewTag::Chart); });
  try {
    load();
  } catch (const std::exception& e) {
    reportReadFailure(m_app.prompter(), m_app.session().LedgerPath, e.what());
    unload();
  }
}

void ChartView::load() {
  std::optional<ChartTable> table = readChart(m_app);
  if (!table) {  // the user has been told why
    unload();
    return;
  }
  setFrameGeometryTwips(9000, m_host.entryFormHeightTwips(), std::max(0, m_host.mainWindowWidthTwips() - 9200), 7725);
  sizeChart();
  m_chart->setTable(std::move(*table));
}

void ChartView::unload() {
  m_unloaded = true;
  frame()->hide();
  frame()->deleteLater();
}

void ChartView::sizeChart() {
  // The chart takes the window's outer width and its height less a strip,
  // but never more than the window shows, so its scroll bar stays in view.
  const int width = twipsToPixelsX(frameWidthTwips());
  const int height = twipsToPixelsY(std::max(0, frameHeightTwips() - 250));
  const bool framed = frame() != this;
  m_chart->setGeometry(0, 0, framed ? std::min(width, this->width()) : width,
                       framed ? std::min(height, this->height()) : height);
}

void ChartView::resizeEvent(QResizeEvent* event) {
  MdiChild::resizeEvent(event);
  sizeChart();
}

void ChartView::showValue(int series, qint64 row, const QPoint& globalPos) {
  const QString text =
      QString::fromStdString(toDisplayText(m_chart->table().cell(row, ChartTable::kLabelLevels + series)));
  m_chart->viewport()->setToolTip(text);
  QToolTip::showText(globalPos, text, m_chart->viewport());
}

void ChartView::offerHint() {
  if (m_app.HideChartHint) return;
  if (m_ignoreNextEnter) {
    m_ignoreNextEnter = false;
    return;
  }
  const MsgAnswer answer = m_app.prompter().show(hintText(), MsgIcon::Information, MsgButtons::YesNo, kHintTitle);
  if (answer == MsgAnswer::No) m_app.HideChartHint = true;
  m_ignoreNextEnter = m_chart->rect().contains(m_chart->mapFromGlobal(QCursor::pos()));
}

}  // namespace ledger
