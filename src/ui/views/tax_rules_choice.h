#pragma once
// The tax rules' part of the Gains window's method row: UK share
// identification beside FIFO and average cost, a Wash sales box for FIFO
// and a UK tax years box for the gains by year; and which of the sales'
// columns they show. Kept apart from the window, which only asks it for the
// rules to read by.

#include <QBoxLayout>
#include <QCheckBox>
#include <QObject>
#include <QRadioButton>
#include <QTableView>

#include "app/gains_data.h"

namespace ledger {

class TaxRulesChoice : public QObject {
  Q_OBJECT
 public:
  // Adds the option and the boxes to row. The option's parent is view, as
  // the other methods' are, so that one method only is chosen.
  TaxRulesChoice(QWidget* view, QBoxLayout* row);

  QRadioButton* ukOption() const { return m_optUk; }
  // The rules of method with the boxes as they stand; wash sales with FIFO only.
  GainsRules rules(CostMethod method) const;
  // Follows the method chosen: the Wash sales box is for FIFO only.
  void showMethod(CostMethod method);
  // Lots for FIFO, Rule for UK, Disallowed for wash sales.
  void showColumns(QTableView* sales, CostMethod method) const;

 signals:
  // A box was ticked or cleared: the figures are to be read again.
  void changed();

 private:
  QRadioButton* m_optUk;
  QCheckBox* m_chkWashSales;
  QCheckBox* m_chkUkTaxYears;
};

}  // namespace ledger
