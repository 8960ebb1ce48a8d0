#pragma once
// A line chart of what a holding is worth against the money put into it:
// market value and net money invested, day by day, time running left to
// right over the whole width. A day without a market value (a company
// held with no close yet) leaves a gap in its line. A click picks the
// nearest day and tells its date and both values.

#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

namespace ledger {

struct ValueChartPoint {
  int day = 0;  // days from any fixed day, to place the point in time
  QString date;  // YYYY-MM-DD
  std::optional<double> marketValue;
  QString marketValueText;  // exact, as the grids show it; empty without a value
  double netInvested = 0;
  QString netInvestedText;
};

class ValueChart : public QWidget {
  Q_OBJECT
 public:
  explicit ValueChart(QWidget* parent = nullptr);

  // The points, by day.
  void setPoints(std::vector<ValueChartPoint> points);
  const std::vector<ValueChartPoint>& points() const { return m_points; }

  static QStringList legendTexts();
  // The point nearest to x in the plot, if any.
  std::optional<std::size_t> pointAt(int x) const;
  // Where a point's value of series (0 market value, 1 net invested) is
  // drawn; none when it has no value.
  std::optional<QPoint> pointPosition(std::size_t index, int series) const;

 signals:
  // A point was clicked: its date and both values.
  void pointSelected(const QString& date, const QString& marketValue, const QString& netInvested);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QRect plotRect() const;
  int dayToX(int day, const QRect& plot) const;
  int valueToY(double value, const QRect& plot) const;

  std::vector<ValueChartPoint> m_points;
  double m_low = 0, m_high = 1, m_step = 0.2;
  int m_axisWidth = 40;
  std::optional<std::size_t> m_selected;
};

}  // namespace ledger
