#pragma once
// frmPL: four figures of the whole ledger (total purchased, total sold,
// profit or loss, percentage), read once when the view loads.

#include <QLineEdit>

#include "app/app_context.h"
#include "ui/mdi_child.h"
#include "ui/views/view_host.h"

namespace ledger {

class ProfitLossView : public MdiChild {
  Q_OBJECT
 public:
  // Loads the view: reads the figures through the session's recordset and
  // leaves that recordset on Trade, at its first row.
  ProfitLossView(AppContext& app, ViewHost& host, QMdiArea* area = nullptr);

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  QLineEdit* addFigure(const char* caption, const char* labelName, const char* boxName, int top);

  AppContext& m_app;
  ViewHost& m_host;
};

}  // namespace ledger
