#pragma once
// The Gains window's Value tab: for the whole ledger or one company
// (chosen in a box), its market value against the money put in net
// (purchases − sales − dividends to date), day by day from the prices the
// ledger holds, as a chart; a click on the chart tells the day's date and
// both values below it.

#include <QComboBox>
#include <QLabel>
#include <QWidget>

#include <memory>
#include <vector>

#include "app/returns_data.h"
#include "ui/views/value_chart.h"

namespace ledger {

class ValueTab : public QWidget {
  Q_OBJECT
 public:
  explicit ValueTab(QWidget* parent = nullptr);

  // Shows a read; the choice stays on the same company when it is there.
  void showRead(const ValueSeriesRead& read);
  void clear();

  QComboBox* choice() const { return m_cboValueOf; }
  ValueChart* chart() const { return m_chart; }
  QLabel* pointText() const { return m_lblPoint; }

 private:
  void showChosen();

  QComboBox* m_cboValueOf;
  ValueChart* m_chart;
  QLabel* m_lblPoint;
  std::shared_ptr<const std::vector<ValueSeries>> m_series;
};

}  // namespace ledger
