#pragma once
// Grid models over a worked-out gains report and the dividends' income: the
// holdings at a date with their net income and market value (the price,
// its date, the value, the unrealized gain and the share of the whole; a
// company held without a price says "no price", never a value of zero),
// the sales, the yearly gains, each dividend, and the income by year (in both summaries each year's
// companies, then its total in a bold row with no symbol). Figures are
// exact, in the program's display form. Cells are read-only; new reports
// replace the rows at once.

#include <QAbstractTableModel>

#include <memory>
#include <vector>

#include "app/gains_data.h"
#include "app/returns_data.h"

namespace ledger {

class GainsModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum class Table { Holdings, Sales, Yearly, Dividends, Income };

  explicit GainsModel(Table table, QObject* parent = nullptr);

  void setReport(std::shared_ptr<const GainsReport> report, std::shared_ptr<const IncomeReport> income);
  // The holdings' rows: those of values, at its date.
  void setValues(std::shared_ptr<const MarketValueReport> values);
  Table table() const { return m_table; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  QString text(int row, int column) const;
  QString holdingText(const HoldingValue& value, int column) const;
  bool isTotalRow(int row) const;

  // A row of the yearly table: the year, and the company within it or -1
  // for the year's total.
  struct YearRow {
    int year;
    int company;
  };

  Table m_table;
  std::shared_ptr<const GainsReport> m_report;
  std::shared_ptr<const IncomeReport> m_income;
  std::shared_ptr<const MarketValueReport> m_values;
  std::vector<YearRow> m_yearRows;
  std::vector<IncomeLine> m_incomeLines;
};

}  // namespace ledger
