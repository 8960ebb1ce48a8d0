#pragma once
// The Gains window's Returns tab: the period (From, To; From "First trade"
// until another date is chosen, To today), the returns of each company and
// of the whole ledger over it, and beside them the inputs of the row
// chosen (its start value, flows, end value and time-weighted pieces), so
// that a figure can be checked by hand. A changed date asks for the
// figures again (periodChanged), once the typing has paused.

#include <QDateEdit>
#include <QLabel>
#include <QTableView>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "app/returns_data.h"
#include "ui/views/returns_model.h"

namespace ledger {

class ReturnsTab : public QWidget {
  Q_OBJECT
 public:
  explicit ReturnsTab(QWidget* parent = nullptr);

  // The period the boxes say.
  ReturnsPeriod period() const;
  // Shows the figures of a read; its failure, or what the figures could
  // not work out, in the note above the grid.
  void showRead(const ReturnsRead& read);
  // Empties the grids while new figures are worked out.
  void clear();

  ReturnsModel* model() const { return m_model; }
  ReturnInputsModel* inputs() const { return m_inputs; }
  QTableView* grid() const { return m_grid; }
  QTableView* inputsGrid() const { return m_inputsGrid; }
  QDateEdit* fromBox() const { return m_dtpFrom; }
  QDateEdit* toBox() const { return m_dtpTo; }

 signals:
  void periodChanged();

 private:
  void showInputsOf(int row);

  QDateEdit* m_dtpFrom;
  QDateEdit* m_dtpTo;
  QLabel* m_lblNote;
  QTableView* m_grid;
  QTableView* m_inputsGrid;
  ReturnsModel* m_model;
  ReturnInputsModel* m_inputs;
  QTimer m_pause;
  std::shared_ptr<const ReturnsReport> m_report;
};

}  // namespace ledger
