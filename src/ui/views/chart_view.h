#pragma once
// frmChart: every trade of the ledger as one category of a column chart of
// prices and commissions. Clicking a column shows its value as the tip;
// a hint about that comes when the pointer enters the chart, until the
// user declines it for the rest of the run.

#include "app/app_context.h"
#include "ui/mdi_child.h"
#include "ui/views/trade_chart.h"
#include "ui/views/view_host.h"

namespace ledger {

class ChartView : public MdiChild {
  Q_OBJECT
 public:
  static constexpr const char* kHintTitle = "Chart View";
  static const std::string& hintText();

  // Loads the view from the session's recordset, reopened on Trade, and
  // leaves that recordset at its first row. A ledger without trades is
  // told so, and a ledger that cannot be read is reported; in both cases
  // the view closes itself again (see unloaded()).
  ChartView(AppContext& app, ViewHost& host, QMdiArea* area = nullptr);

  // True when the load closed the view: its frame is hidden and scheduled
  // for deletion, and must not be shown.
  bool unloaded() const { return m_unloaded; }
  TradeChart* chart() const { return m_chart; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void load();
  void unload();
  void sizeChart();
  void showValue(int series, qint64 row, const QPoint& globalPos);
  void offerHint();

  AppContext& m_app;
  ViewHost& m_host;
  TradeChart* m_chart;
  bool m_unloaded = false;
  // The pointer stood on the chart when the hint closed: the enter that
  // follows is the box going away, not the user coming back.
  bool m_ignoreNextEnter = false;
};

}  // namespace ledger
