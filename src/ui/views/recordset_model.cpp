#include "recordset_model.h"

#include <algorithm>
#include <limits>

#include "engine/db_error.h"

namespace ledger {

RecordsetModel::RecordsetModel(QObject* parent, int cachedPages)
    : QAbstractTableModel(parent), m_cachedPages(std::max(1, cachedPages)) {}

RecordsetModel::~RecordsetModel() = default;

void RecordsetModel::resetState() {
  m_rows.reset();
  m_headers.clear();
  m_computed = nullptr;
  m_pages.clear();
  m_pageUse.clear();
  m_rowCount = 0;
  m_failed = false;
}

void RecordsetModel::clear() {
  beginResetModel();
  resetState();
  finishReset();
}

void RecordsetModel::finishReset() { endResetModel(); }

void RecordsetModel::setSource(Database& ledger, const std::string& source, const std::string& countedAs,
                               std::optional<std::int64_t> knownCount) {
  beginResetModel();
  resetState();
  m_source = source;
  try {
    m_rows = ledger.openRecordset(source);
    std::vector<std::string> names;
    for (int i = 0; i < m_rows->fieldCount(); ++i) names.push_back(m_rows->fieldName(i));
    for (const std::string& name : names) m_headers.append(QString::fromStdString(name));
    m_computed = computedColumnText(names);
    const std::int64_t count = knownCount         ? *knownCount
                               : countedAs.empty() ? m_rows->recordCount()
                                                   : ledger.openRecordset(countedAs)->recordCount();
    // A grid counts its rows in int.
    m_rowCount = static_cast<int>(std::min<std::int64_t>(count, std::numeric_limits<int>::max()));
  } catch (const DbError&) {
    resetState();
    finishReset();
    throw;
  }
  finishReset();
}

void RecordsetModel::setKnownRows(Database& ledger, const std::string& source, std::vector<Value> values) {
  beginResetModel();
  resetState();
  m_source = source;
  try {
    const std::vector<std::string> names = ledger.sourceColumns(source);
    for (const std::string& name : names) m_headers.append(QString::fromStdString(name));
    m_computed = computedColumnText(names);
    if (!names.empty()) {
      // The rows stand as the first page; with no recordset behind them,
      // no other page is ever read.
      Page known;
      known.rows = static_cast<int>(std::min<std::size_t>(values.size() / names.size(), kPageRows));
      values.resize(static_cast<std::size_t>(known.rows) * names.size());
      known.values = std::move(values);
      m_rowCount = known.rows;
      m_pages.emplace(0, std::move(known));
      m_pageUse.push_front(0);
    }
  } catch (const DbError&) {
    resetState();
    finishReset();
    throw;
  }
  finishReset();
}

int RecordsetModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rowCount; }

int RecordsetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_headers.size());
}

RecordsetModel::Page RecordsetModel::readPage(int pageIndex) const {
  Page p;
  if (!m_rows->moveToPosition(static_cast<std::int64_t>(pageIndex) * kPageRows)) return p;
  const int columns = m_rows->fieldCount();
  p.values.reserve(static_cast<size_t>(kPageRows * columns));
  for (;;) {
    for (int c = 0; c < columns; ++c) p.values.push_back(m_rows->value(c));
    if (++p.rows == kPageRows) break;
    m_rows->moveNext();
    if (m_rows->eof()) break;
  }
  ++m_pageReads;
  return p;
}

void RecordsetModel::fail(const QString& reason) const {
  if (m_failed) return;
  m_failed = true;
  emit const_cast<RecordsetModel*>(this)->readFailed(reason);
}

const RecordsetModel::Page* RecordsetModel::page(int pageIndex) const {
  if (auto it = m_pages.find(pageIndex); it != m_pages.end()) {
    m_pageUse.remove(pageIndex);
    m_pageUse.push_front(pageIndex);
    return &it->second;
  }
  if (!m_rows) return nullptr;
  try {
    Page p = readPage(pageIndex);
    while (static_cast<int>(m_pages.size()) >= m_cachedPages) {
      m_pages.erase(m_pageUse.back());
      m_pageUse.pop_back();
    }
    m_pageUse.push_front(pageIndex);
    return &m_pages.emplace(pageIndex, std::move(p)).first->second;
  } catch (const DbError& e) {
    fail(QString::fromStdString(e.what()));
    return nullptr;
  }
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  if (role != Qt::DisplayRole && role != Qt::TextAlignmentRole) return {};
  const Page* p = page(index.row() / kPageRows);
  const int row = index.row() % kPageRows;
  if (!p || row >= p->rows) return {};
  const size_t first = static_cast<size_t>(row * columnCount());
  const Value& v = p->values[first + static_cast<size_t>(index.column())];
  if (role == Qt::DisplayRole) {
    const std::span<const Value> values(p->values.data() + first, static_cast<size_t>(columnCount()));
    if (m_cellText)
      if (auto text = m_cellText(values, index.column())) return QString::fromStdString(*text);
    if (m_computed)
      if (auto text = m_computed(values, index.column())) return QString::fromStdString(*text);
    return QString::fromStdString(toDisplayText(v));
  }
  const bool number = std::holds_alternative<double>(v) || std::holds_alternative<std::int64_t>(v);
  return QVariant::fromValue(Qt::Alignment(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft)));
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return QString();  // plain row selectors
  if (section < 0 || section >= m_headers.size()) return {};
  return m_headers.at(section);
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

}  // namespace ledger
