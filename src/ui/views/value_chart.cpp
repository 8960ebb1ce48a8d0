#include "value_chart.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "app/axis_value.h"

namespace ledger {

namespace {

const QColor kSeriesColours[2] = {QColor(54, 96, 171), QColor(205, 92, 62)};
constexpr int kMargin = 6;
constexpr int kTicks = 5;

QString tickText(double value, double step) { return QString::fromStdString(formatAxisValue(value, step)); }

}  // namespace

ValueChart::ValueChart(QWidget* parent) : QWidget(parent) {
  setObjectName("chtValue");
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setMinimumSize(200, 150);
}

QStringList ValueChart::legendTexts() { return {"Market Value", "Net Invested"}; }

void ValueChart::setPoints(std::vector<ValueChartPoint> points) {
  m_points = std::move(points);
  m_selected.reset();
  double low = 0, high = 0;
  for (const ValueChartPoint& point : m_points) {
    low = std::min({low, point.netInvested, point.marketValue.value_or(0)});
    high = std::max({high, point.netInvested, point.marketValue.value_or(0)});
  }
  if (high <= low) high = low + 1;
  m_step = niceAxisStep(high - low, kTicks);
  m_low = std::floor(low / m_step) * m_step;
  m_high = std::ceil(high / m_step) * m_step;
  const QFontMetrics fm = fontMetrics();
  m_axisWidth = 0;
  for (double v = m_low; v <= m_high + m_step / 2; v += m_step)
    m_axisWidth = std::max(m_axisWidth, fm.horizontalAdvance(tickText(v, m_step)));
  m_axisWidth += 2 * kMargin;
  update();
}

QRect ValueChart::plotRect() const {
  const QFontMetrics fm = fontMetrics();
  const int legendHeight = fm.height() + 2 * kMargin;
  const int labelHeight = fm.height() + 2 * kMargin;
  return QRect(m_axisWidth, legendHeight, std::max(0, width() - m_axisWidth - 3 * kMargin),
               std::max(0, height() - legendHeight - labelHeight));
}

int ValueChart::dayToX(int day, const QRect& plot) const {
  if (m_points.size() < 2) return plot.left() + plot.width() / 2;
  const double first = m_points.front().day, last = m_points.back().day;
  const double share = last > first ? (day - first) / (last - first) : 0.5;
  return plot.left() + static_cast<int>(std::lround(share * (plot.width() - 1)));
}

int ValueChart::valueToY(double value, const QRect& plot) const {
  const double share = (value - m_low) / (m_high - m_low);
  return plot.bottom() - static_cast<int>(std::lround(share * (plot.height() - 1)));
}

std::optional<QPoint> ValueChart::pointPosition(std::size_t index, int series) const {
  if (index >= m_points.size()) return std::nullopt;
  const ValueChartPoint& point = m_points[index];
  const std::optional<double> value = series == 0 ? point.marketValue : std::optional<double>(point.netInvested);
  if (!value) return std::nullopt;
  const QRect plot = plotRect();
  return QPoint(dayToX(point.day, plot), valueToY(*value, plot));
}

std::optional<std::size_t> ValueChart::pointAt(int x) const {
  if (m_points.empty()) return std::nullopt;
  const QRect plot = plotRect();
  // The points are by day, so by x: the nearest is beside the first at or
  // after x.
  const auto after = std::partition_point(m_points.begin(), m_points.end(),
                                          [&](const ValueChartPoint& p) { return dayToX(p.day, plot) < x; });
  std::size_t best = static_cast<std::size_t>(after - m_points.begin());
  if (best == m_points.size()) return m_points.size() - 1;
  if (best > 0 && x - dayToX(m_points[best - 1].day, plot) <= dayToX(m_points[best].day, plot) - x) --best;
  return best;
}

void ValueChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QFontMetrics fm = fontMetrics();
  const QRect plot = plotRect();

  p.setPen(palette().color(QPalette::Mid));
  for (double v = m_low; v <= m_high + m_step / 2; v += m_step) {
    const int y = valueToY(v, plot);
    p.drawLine(plot.left(), y, plot.right(), y);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(QRect(0, y - fm.height() / 2, m_axisWidth - kMargin, fm.height()), Qt::AlignRight | Qt::AlignVCenter,
               tickText(v, m_step));
    p.setPen(palette().color(QPalette::Mid));
  }

  int x = width() - kMargin;
  for (int series = 1; series >= 0; --series) {
    const QString text = legendTexts().at(series);
    x -= fm.horizontalAdvance(text);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(x, kMargin + fm.ascent(), text);
    x -= fm.height() + 4;
    p.fillRect(x, kMargin, fm.height(), fm.height(), kSeriesColours[series]);
    x -= 3 * kMargin;
  }

  p.setPen(palette().color(QPalette::Text));
  p.drawLine(plot.left(), plot.bottom(), plot.right(), plot.bottom());
  if (m_points.empty()) {
    p.drawText(plot, Qt::AlignCenter, QStringLiteral("No prices to chart"));
    return;
  }
  // The first and last dates under the axis.
  p.drawText(QRect(plot.left(), plot.bottom() + kMargin, plot.width(), fm.height()), Qt::AlignLeft,
             m_points.front().date);
  p.drawText(QRect(plot.left(), plot.bottom() + kMargin, plot.width(), fm.height()), Qt::AlignRight,
             m_points.back().date);

  p.setRenderHint(QPainter::Antialiasing);
  for (int series = 0; series < 2; ++series) {
    QPainterPath path;
    bool drawing = false;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
      const std::optional<QPoint> at = pointPosition(i, series);
      if (!at) {
        drawing = false;  // a gap where there is no value
        continue;
      }
      if (drawing)
        path.lineTo(*at);
      else
        path.moveTo(*at);
      drawing = true;
    }
    p.setPen(QPen(kSeriesColours[series], 2));
    p.drawPath(path);
    if (m_points.size() == 1)
      if (const auto at = pointPosition(0, series)) p.drawEllipse(*at, 3, 3);
  }
  if (m_selected) {
    const int sx = dayToX(m_points[*m_selected].day, plot);
    p.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DashLine));
    p.drawLine(sx, plot.top(), sx, plot.bottom());
  }
}

void ValueChart::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && plotRect().contains(event->position().toPoint())) {
    if (const auto index = pointAt(event->position().toPoint().x())) {
      m_selected = index;
      update();
      const ValueChartPoint& point = m_points[*index];
      emit pointSelected(point.date, point.marketValueText, point.netInvestedText);
    }
  }
  QWidget::mousePressEvent(event);
}

}  // namespace ledger
