#pragma once
// A grid model over the rows of one table or stored query of a ledger,
// the way a data-bound grid shows them: columns are the fields in order,
// headed by their names; numbers and dates as the ledger shows them. The
// columns the ledger computes from a row's numbers (TotalPurchase,
// TotalSell) are shown exactly, as decimals (see computedColumnText).
//
// Rows are read on demand. The model knows its number of rows from the
// start (the engine counts them), so the grid's scroll bar covers every
// row at once; a page of rows is read when a row of it is shown, and only
// a bounded number of pages is kept in memory, a dropped page being read
// again by its position. So a million rows open at once, and the last rows
// are reached without reading the ones before them. Cells are read-only: the bound queries cannot be
// updated.

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <span>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/grid_cells.h"
#include "engine/database.h"

namespace ledger {

class RecordsetModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kPageRows = 64;
  static constexpr int kDefaultCachedPages = 128;

  explicit RecordsetModel(QObject* parent = nullptr, int cachedPages = kDefaultCachedPages);
  ~RecordsetModel() override;

  // Binds the rows of source (a table or stored query name) of ledger,
  // replacing what was shown; pages are read through ledger's connection
  // as they are shown. countedAs, when given, names a table or stored
  // query holding the same rows without their order, counted instead of
  // source (a sorted query is counted only by sorting it). knownCount, when
  // given, is the number of rows, and nothing is counted. Throws DbError
  // when either cannot be opened; the model is then empty.
  void setSource(Database& ledger, const std::string& source, const std::string& countedAs = {},
                 std::optional<std::int64_t> knownCount = std::nullopt);
  // Binds source's columns with rows the caller already knows (values
  // holds whole rows, in column order), so that source is never run: for a
  // grid of figures the view computes itself.
  // Throws DbError like setSource.
  void setKnownRows(Database& ledger, const std::string& source, std::vector<Value> values);
  void clear();

  // Text for a cell from its row's values and its column, or nullopt to
  // show the cell as read. Kept across setSource and refresh; a view sets it
  // where it shows figures it computes itself.
  void setCellText(CellText rule) { m_cellText = std::move(rule); }
  const std::string& source() const { return m_source; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // How many times a page was read from the ledger (for tests of the cache).
  int pageReads() const { return m_pageReads; }

 signals:
  // The ledger could not be read while scrolling; the grid shows what it
  // has. Emitted once per binding.
  void readFailed(const QString& reason);

 private:
  // Values as read; they are turned into text only when a cell is shown.
  struct Page {
    int rows = 0;
    std::vector<Value> values;  // rows x columns
  };

  void resetState();
  void finishReset();
  const Page* page(int pageIndex) const;
  Page readPage(int pageIndex) const;
  void fail(const QString& reason) const;

  int m_cachedPages;
  std::unique_ptr<Recordset> m_rows;
  std::string m_source;
  CellText m_cellText;
  CellText m_computed;
  QStringList m_headers;
  int m_rowCount = 0;
  mutable std::unordered_map<int, Page> m_pages;
  mutable std::list<int> m_pageUse;  // most recently used first
  mutable int m_pageReads = 0;
  mutable bool m_failed = false;
};

}  // namespace ledger
