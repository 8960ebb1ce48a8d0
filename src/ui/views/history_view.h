#pragma once
// frmHistory: the trading history of the company shown on the entry
// form's General tab: its purchases, its sales, the two totals and the
// profit or loss, each in a grid bound to a query the view writes into the
// ledger for that company. The totals and the profit or loss are shown
// exactly, from the figures the ledger keeps (or computed from the
// company's trades), rather than read from their queries in floating point.

#include <QLabel>
#include <QTableView>

#include <array>

#include "app/app_context.h"
#include "app/report_data.h"
#include "ui/mdi_child.h"
#include "ui/views/recordset_model.h"
#include "ui/views/view_host.h"

namespace ledger {

class HistoryView : public MdiChild {
  Q_OBJECT
 public:
  // The grids in the order of kHistoryQueryNames.
  enum Grid { Buy, Sell, TotalBuy, TotalSell, ProfitLoss, kGridCount };

  // Loads the view for the symbol the host's General tab shows. A ledger
  // that cannot be read is reported once; the grids then stay empty.
  HistoryView(AppContext& app, ViewHost& host, QMdiArea* area = nullptr);

  QTableView* grid(Grid g) const { return m_grids[g]; }
  RecordsetModel* model(Grid g) const { return m_models[g]; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void layoutGrids();
  // Binds the grids to what was read: the figures fill the three small
  // grids, whose queries are not run.
  void bindGrids(HistoryRead& read);

  AppContext& m_app;
  ViewHost& m_host;
  std::array<QTableView*, kGridCount> m_grids{};
  std::array<RecordsetModel*, kGridCount> m_models{};
  QLabel* m_buyCaption;
  QLabel* m_sellCaption;
};

}  // namespace ledger
