#pragma once
// A column chart of the trades: one category per trade, two columns per
// category (price and commission), three lines of labels under each
// category. Only the categories in view are painted, and the chart
// scrolls sideways, so a hundred thousand trades draw as fast as ten.

#include <QAbstractScrollArea>

#include <optional>

#include "app/report_data.h"

namespace ledger {

class TradeChart : public QAbstractScrollArea {
  Q_OBJECT
 public:
  explicit TradeChart(QWidget* parent = nullptr);

  void setTable(ChartTable table);
  const ChartTable& table() const { return m_table; }

  // The legend texts of the two series, in series order.
  static QStringList legendTexts();

  // The column under a point of the viewport.
  struct Column {
    std::int64_t row;
    int series;  // 0 price, 1 commission
  };
  std::optional<Column> columnAt(const QPoint& viewportPos) const;
  // Where a column is drawn now (viewport coordinates); empty when it is
  // out of view or has no value.
  QRect columnRect(std::int64_t row, int series) const;
  // Width of one category in pixels; wide enough for its labels.
  int categoryWidth() const { return m_categoryWidth; }

 signals:
  // A column was clicked.
  void pointSelected(int series, qint64 row, const QPoint& globalPos);
  void pointerEntered();
  void pointerLeft();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  struct Scale {
    double low, high, step;
  };
  QRect plotRect() const;
  int valueToY(double value, const QRect& plot) const;
  void updateScrollRange();
  void measure();

  ChartTable m_table;
  Scale m_scale{0, 1, 0.2};
  int m_categoryWidth = 40;
  int m_axisWidth = 40;
};

}  // namespace ledger
