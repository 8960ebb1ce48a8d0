#include "trade_chart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "app/axis_value.h"

namespace ledger {

namespace {

const QColor kSeriesColours[ChartTable::kSeries] = {QColor(54, 96, 171), QColor(205, 92, 62)};
constexpr int kMargin = 6;
constexpr int kMaxColumnWidth = 22;
constexpr int kTicks = 5;

QString tickText(double value, double step) { return QString::fromStdString(formatAxisValue(value, step)); }

}  // namespace

TradeChart::TradeChart(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName("MSChart");
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  measure();
}

QStringList TradeChart::legendTexts() { return {"Price", "Commission"}; }

void TradeChart::setTable(ChartTable table) {
  m_table = std::move(table);
  const double low = std::min(0.0, m_table.minNumber());
  double high = std::max(0.0, m_table.maxNumber());
  if (high <= low) high = low + 1;
  const double step = niceAxisStep(high - low, kTicks);
  m_scale = {std::floor(low / step) * step, std::ceil(high / step) * step, step};
  measure();
  updateScrollRange();
  viewport()->update();
}

void TradeChart::measure() {
  const QFontMetrics fm = fontMetrics();
  int widest = 0;
  for (const std::string& text : m_table.labelTexts())
    widest = std::max(widest, fm.horizontalAdvance(QString::fromStdString(text)));
  m_categoryWidth = std::max(widest, 2 * kMaxColumnWidth) + 2 * kMargin;
  m_axisWidth = 0;
  for (double v = m_scale.low; v <= m_scale.high + m_scale.step / 2; v += m_scale.step)
    m_axisWidth = std::max(m_axisWidth, fm.horizontalAdvance(tickText(v, m_scale.step)));
  m_axisWidth += 2 * kMargin;
}

QRect TradeChart::plotRect() const {
  const QFontMetrics fm = fontMetrics();
  const int legendHeight = fm.height() + 2 * kMargin;
  const int labelHeight = ChartTable::kLabelLevels * fm.height() + 2 * kMargin;
  const QRect area = viewport()->rect();
  return QRect(m_axisWidth, legendHeight, std::max(0, area.width() - m_axisWidth - kMargin),
               std::max(0, area.height() - legendHeight - labelHeight));
}

int TradeChart::valueToY(double value, const QRect& plot) const {
  const double share = (value - m_scale.low) / (m_scale.high - m_scale.low);
  return plot.bottom() - static_cast<int>(std::lround(share * plot.height()));
}

void TradeChart::updateScrollRange() {
  const QRect plot = plotRect();
  const qint64 content = m_table.rowCount() * m_categoryWidth;
  const qint64 hidden = std::max<qint64>(0, content - plot.width());
  horizontalScrollBar()->setRange(0, static_cast<int>(std::min<qint64>(hidden, INT_MAX)));
  horizontalScrollBar()->setPageStep(std::max(1, plot.width()));
  horizontalScrollBar()->setSingleStep(m_categoryWidth);
}

void TradeChart::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  updateScrollRange();
}

QRect TradeChart::columnRect(std::int64_t row, int series) const {
  if (row < 0 || row >= m_table.rowCount() || series < 0 || series >= ChartTable::kSeries) return {};
  const auto value = m_table.number(row, series);
  if (!value) return {};
  const QRect plot = plotRect();
  const int columnWidth = std::min(kMaxColumnWidth, (m_categoryWidth - 2 * kMargin) / 2);
  const qint64 categoryLeft = plot.left() + row * m_categoryWidth - horizontalScrollBar()->value();
  const qint64 left = categoryLeft + (m_categoryWidth - 2 * columnWidth) / 2 + series * columnWidth;
  if (left + columnWidth < plot.left() || left > plot.right()) return {};
  const int zero = valueToY(std::clamp(0.0, m_scale.low, m_scale.high), plot);
  const int top = valueToY(*value, plot);
  return QRect(QPoint(static_cast<int>(left), std::min(top, zero)),
               QPoint(static_cast<int>(left) + columnWidth - 1, std::max(top, zero)));
}

std::optional<TradeChart::Column> TradeChart::columnAt(const QPoint& pos) const {
  const QRect plot = plotRect();
  if (!plot.contains(pos) || m_table.rowCount() == 0) return std::nullopt;
  const qint64 row = (pos.x() - plot.left() + horizontalScrollBar()->value()) / m_categoryWidth;
  for (int series = 0; series < ChartTable::kSeries; ++series) {
    const QRect r = columnRect(row, series);
    // A short column is still hit anywhere above it in its lane.
    if (!r.isEmpty() && pos.x() >= r.left() && pos.x() <= r.right()) return Column{row, series};
  }
  return std::nullopt;
}

void TradeChart::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const QFontMetrics fm = fontMetrics();
  const QRect plot = plotRect();

  // Value axis with grid lines.
  p.setPen(palette().color(QPalette::Mid));
  for (double v = m_scale.low; v <= m_scale.high + m_scale.step / 2; v += m_scale.step) {
    const int y = valueToY(v, plot);
    p.drawLine(plot.left(), y, plot.right(), y);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(0, y - fm.height() / 2, m_axisWidth - kMargin, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
               tickText(v, m_scale.step));
    p.setPen(palette().color(QPalette::Mid));
  }

  // Legend, top right.
  int x = viewport()->width() - kMargin;
  for (int series = ChartTable::kSeries - 1; series >= 0; --series) {
    const QString text = legendTexts().at(series);
    x -= fm.horizontalAdvance(text);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(x, kMargin + fm.ascent(), text);
    x -= fm.height() + 4;
    p.fillRect(x, kMargin, fm.height(), fm.height(), kSeriesColours[series]);
    x -= 3 * kMargin;
  }

  // The categories in view: columns, then their three label lines.
  if (m_table.rowCount() == 0) return;
  const int scroll = horizontalScrollBar()->value();
  const std::int64_t first = scroll / m_categoryWidth;
  const std::int64_t last = std::min<std::int64_t>(m_table.rowCount() - 1, (scroll + plot.width()) / m_categoryWidth);
  p.setClipRect(QRect(plot.left(), 0, plot.width() + 1, viewport()->height()));
  for (std::int64_t row = first; row <= last; ++row) {
    for (int series = 0; series < ChartTable::kSeries; ++series) {
      const QRect r = columnRect(row, series);
      if (!r.isEmpty()) p.fillRect(r, kSeriesColours[series]);
    }
    const int left = plot.left() + static_cast<int>(row * m_categoryWidth - scroll);
    p.setPen(palette().color(QPalette::Text));
    for (int level = 0; level < ChartTable::kLabelLevels; ++level) {
      const QRect cell(left, plot.bottom() + kMargin + level * fm.height(), m_categoryWidth, fm.height());
      p.drawText(cell, Qt::AlignHCenter | Qt::AlignTop, QString::fromStdString(m_table.label(row, level)));
    }
  }
  p.setPen(palette().color(QPalette::Text));
  p.drawLine(plot.left(), plot.bottom(), plot.right(), plot.bottom());
}

void TradeChart::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    if (const auto column = columnAt(event->position().toPoint()))
      emit pointSelected(column->series, column->row, event->globalPosition().toPoint());
  }
  QAbstractScrollArea::mousePressEvent(event);
}

void TradeChart::enterEvent(QEnterEvent* event) {
  QAbstractScrollArea::enterEvent(event);
  emit pointerEntered();
}

void TradeChart::leaveEvent(QEvent* event) {
  QAbstractScrollArea::leaveEvent(event);
  emit pointerLeft();
}

}  // namespace ledger
