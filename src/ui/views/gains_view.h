#pragma once
// frmGains: what is held of each company, what it cost and the income it
// paid, the realized gain of every sale, and the gains of each year, by
// FIFO lots or by average cost; on a second tab each dividend and the
// income of each year. The choice of method is remembered for each ledger.
// The figures are read once, at load, and again when the method changes.

#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include <memory>
#include <optional>

#include "app/app_context.h"
#include "app/gains_data.h"
#include "ui/mdi_child.h"
#include "ui/views/gains_model.h"
#include "ui/views/view_host.h"

namespace ledger {

class TaxRulesChoice;

class GainsView : public MdiChild {
  Q_OBJECT
 public:
  // Loads the view over the session's ledger with the method remembered
  // for it (FIFO when none is). A ledger that cannot be opened or read is
  // reported once; the grids then stay empty.
  GainsView(AppContext& app, ViewHost& host, QMdiArea* area = nullptr);

  CostMethod method() const { return m_method; }
  // Works the report out again by method and remembers the choice.
  void setMethod(CostMethod method);

  // The report shown; null when the ledger could not be read.
  std::shared_ptr<const GainsReport> report() const { return m_report; }
  GainsModel* model(GainsModel::Table table) const;
  QTableView* grid(GainsModel::Table table) const;
  QTabWidget* tabs() const { return m_tabs; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void load();
  void showNotes(const std::vector<std::string>& notes);
  QTableView* addGrid(GainsModel::Table table, const char* name);
  QWidget* makeGainsPage(QLayout* methodRow);
  QWidget* makeIncomePage();

  AppContext& m_app;
  ViewHost& m_host;
  CostMethod m_method = CostMethod::Fifo;
  std::shared_ptr<const GainsReport> m_report;
  QRadioButton* m_optFifo;
  QRadioButton* m_optAverage;
  TaxRulesChoice* m_taxRules;  // UK, wash sales, tax years
  QLabel* m_lblNote;
  QTabWidget* m_tabs;
  QTableView* m_grids[5] = {};
  GainsModel* m_models[5] = {};
};

}  // namespace ledger
