#pragma once
// frmGains: what is held of each company, what it cost and the income it
// paid, the realized gain of every sale, and the gains of each year, by
// FIFO lots or by average cost; on a second tab each dividend and the
// income of each year; the holdings valued at the "Values as of" date
// (today unless another is chosen); a Returns tab (returns_tab.h) and a
// Value tab (value_tab.h). The choice of method is remembered for each
// ledger.
// The window opens at once; the figures are worked out away from its
// thread (app/ledger_work.h), with their progress in sight and a Stop, and
// fill the grids when they are ready. They are worked out again when the
// method changes and when the ledger file changes, by this program or
// another (app/ledger_change_watch.h, and readAgain); until the new
// figures come the grids stay empty, so no figure of an older state of the
// ledger is ever in sight.

#include <QDateEdit>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include <memory>
#include <optional>

#include "app/app_context.h"
#include "app/gains_data.h"
#include "app/ledger_change_watch.h"
#include "app/ledger_work.h"
#include "app/own_connection.h"
#include "ui/mdi_child.h"
#include "ui/views/gains_model.h"
#include "ui/views/returns_tab.h"
#include "ui/views/value_tab.h"
#include "ui/views/view_host.h"

namespace ledger {

class TaxRulesChoice;

class GainsView : public MdiChild {
  Q_OBJECT
 public:
  // Makes the view over the session's ledger with the method remembered
  // for it (FIFO when none is) and starts working its figures out. A
  // ledger that cannot be opened or read is reported once, when the work
  // finds it; the grids then stay empty.
  GainsView(AppContext& app, ViewHost& host, QMdiArea* area = nullptr);

  CostMethod method() const { return m_method; }
  // Works the report out again by method and remembers the choice.
  void setMethod(CostMethod method);
  // The ledger changed: the figures are worked out afresh, the work under
  // way (if any) stopped.
  void readAgain();
  // Stops the work under way; the window says the figures were not worked
  // out and offers to work them out.
  void stopWork();
  // Whether figures are being worked out.
  bool working() const;

  // The report shown; null when the ledger could not be read.
  std::shared_ptr<const GainsReport> report() const { return m_report; }
  GainsModel* model(GainsModel::Table table) const;
  QTableView* grid(GainsModel::Table table) const;
  QTabWidget* tabs() const { return m_tabs; }
  QDateEdit* valuesAsOfBox() const { return m_dtpValuesAsOf; }
  ReturnsTab* returnsTab() const { return m_returnsTab; }
  ValueTab* valueTab() const { return m_valueTab; }

 signals:
  // Every figure asked for is in the grids (or its failure was told).
  void figuresShown();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void load();
  // Each part of the figures, worked out again on its own.
  void startGains();
  void startValues();
  void startReturns();
  void startSeries();
  // Runs job on work, and shows its result unless the file changed since
  // the work began, in which case everything is worked out again.
  template <typename Read, typename Show>
  void startWork(LedgerWork* work, Read read, Show show);
  void showRead(const GainsRead& read);
  void showProgress();
  void workEnded();
  QLayout* makeProgressRow();
  void showNotes();
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
  QLabel* m_lblWorking;
  QProgressBar* m_prgWork;
  QPushButton* m_cmdStop;
  QPushButton* m_cmdWorkOut;
  LedgerWork* m_work;
  LedgerWork* m_valuesWork;
  LedgerWork* m_returnsWork;
  LedgerWork* m_seriesWork;
  // The parts take turns on one connection, so the window opens the file
  // once; a job still running keeps it after the window has gone.
  std::shared_ptr<WorkConnection> m_connection = std::make_shared<WorkConnection>();
  QDateEdit* m_dtpValuesAsOf;
  QTimer m_valuesPause;
  ReturnsTab* m_returnsTab;
  ValueTab* m_valueTab;
  std::vector<std::string> m_gainsNotes, m_valuesNotes;
  LedgerChangeWatch* m_watch;
  QTabWidget* m_tabs;
  QTableView* m_grids[5] = {};
  GainsModel* m_models[5] = {};
};

}  // namespace ledger
