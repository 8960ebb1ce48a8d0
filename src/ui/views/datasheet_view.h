#pragma once
// frmDatasheet: the ledger as a table. Three tabs (all trades, purchases,
// sales), each shown sorted in one grid through a stored query the view
// writes before binding to it.

#include <QFrame>
#include <QTabBar>
#include <QTableView>

#include "app/app_context.h"
#include "ui/mdi_child.h"
#include "ui/views/recordset_model.h"
#include "ui/views/view_host.h"

namespace ledger {

class DatasheetView : public MdiChild {
  Q_OBJECT
 public:
  // Loads the view: places it beside the entry form, as tall as it, and
  // shows the General tab. A ledger that cannot be read is reported.
  DatasheetView(AppContext& app, ViewHost& host, QMdiArea* area = nullptr);

  QTabBar* tabStrip() const { return m_tabStrip; }
  QTableView* grid() const { return m_grid; }
  RecordsetModel* model() const { return m_model; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void sizeControls();
  void bindTab(int index);
  void reportFailure(const std::string& reason);

  AppContext& m_app;
  ViewHost& m_host;
  QTabBar* m_tabStrip;
  QFrame* m_tabPage;
  QTableView* m_grid;
  RecordsetModel* m_model;
};

}  // namespace ledger
