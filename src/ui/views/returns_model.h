#pragma once
// The Returns tab's grids: the returns over the period of each company and
// of the whole ledger (its row last, bold, named "Whole ledger"), and the
// inputs of one of those rows, so that its figures can be checked by hand:
// the start value, every flow, the end value and the pieces of the
// time-weighted return. A figure that cannot be worked out is empty; a
// missing price is named, company and date.

#include <QAbstractTableModel>

#include <memory>

#include "app/returns_data.h"

namespace ledger {

class ReturnsModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ReturnsModel(QObject* parent = nullptr);

  void setReport(std::shared_ptr<const ReturnsReport> report);
  // The figures of row; null for a row that is not there.
  const ReturnFigures* figures(int row) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  std::shared_ptr<const ReturnsReport> m_report;
};

class ReturnInputsModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit ReturnInputsModel(QObject* parent = nullptr);

  // The inputs of figures, which the report held keeps alive; none for null.
  void setFigures(std::shared_ptr<const ReturnsReport> report, const ReturnFigures* figures);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  // Date, what it is, the amount or value, and how it was worked out.
  struct Line {
    QString date, what, amount, detail;
  };
  // Made when the grid asks for it: the whole ledger of a large file has a
  // million flows, and the grid shows a screenful of them.
  Line lineAt(std::size_t row) const;

  std::shared_ptr<const ReturnsReport> m_report;
  const ReturnFigures* m_figures = nullptr;
  QString m_missing;  // the last line, when prices are missing
};

// "No price: AAA on 2024-03-01; BBB on 2024-02-01", or empty.
QString missingPricesText(const ReturnFigures& figures);

}  // namespace ledger
