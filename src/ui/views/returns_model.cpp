#include "returns_model.h"

#include <QFont>

namespace ledger {

namespace {

const QStringList kReturnsHeaders = {"Symbol",  "Start Value", "End Value", "Invested", "Returned",
                                     "Income",  "IRR %",       "TWR %",     "Missing Price"};
const QStringList kInputsHeaders = {"Date", "What", "Amount", "Worked Out From"};

QString figure(const Decimal& d) { return QString::fromStdString(d.toDisplayString()); }
QString figure(const std::optional<Decimal>& d) { return d ? figure(*d) : QString(); }
QString dateText(CalendarDay day) { return QString::fromStdString(isoDateOf(day)); }

QString flowText(FlowKind kind) {
  switch (kind) {
    case FlowKind::Purchase: return QStringLiteral("Purchase (in)");
    case FlowKind::Sale: return QStringLiteral("Sale (out)");
    case FlowKind::Dividend: return QStringLiteral("Dividend (out)");
  }
  return {};
}

// How a start or end value was worked out: shares x close of its date.
QString valueDetail(const PeriodValue& value, bool company) {
  if (!company) return QStringLiteral("the sum of the companies' values");
  if (value.shares.isZero()) return QStringLiteral("no shares held");
  if (!value.price) return QStringLiteral("%1 shares, no price").arg(figure(value.shares));
  return QStringLiteral("%1 shares x %2 (close of %3)")
      .arg(figure(value.shares), figure(value.price->close), dateText(value.price->day));
}

QString valueText(const PeriodValue& value) {
  return value.value ? figure(*value.value) : QStringLiteral("no price");
}

}  // namespace

QString missingPricesText(const ReturnFigures& figures) {
  QStringList names;
  for (const MissingPrice& missing : figures.missingPrices)
    names << QStringLiteral("%1 on %2").arg(QString::fromStdString(missing.symbol), dateText(missing.day));
  return names.isEmpty() ? QString() : QStringLiteral("No price: ") + names.join(QStringLiteral("; "));
}

ReturnsModel::ReturnsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReturnsModel::setReport(std::shared_ptr<const ReturnsReport> report) {
  beginResetModel();
  m_report = std::move(report);
  endResetModel();
}

const ReturnFigures* ReturnsModel::figures(int row) const {
  if (!m_report || row < 0 || row >= rowCount()) return nullptr;
  const auto r = static_cast<std::size_t>(row);
  return r < m_report->companies.size() ? &m_report->companies[r] : &m_report->total;
}

int ReturnsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !m_report ? 0 : static_cast<int>(m_report->companies.size()) + 1;
}

int ReturnsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kReturnsHeaders.size());
}

QVariant ReturnsModel::data(const QModelIndex& index, int role) const {
  const ReturnFigures* f = index.isValid() ? figures(index.row()) : nullptr;
  if (!f) return {};
  const bool total = f == &m_report->total;
  switch (role) {
    case Qt::DisplayRole:
      switch (index.column()) {
        case 0: return total ? QStringLiteral("Whole ledger") : QString::fromStdString(f->symbol);
        case 1: return figure(f->start.value);
        case 2: return figure(f->end.value);
        case 3: return figure(f->invested);
        case 4: return figure(f->returned);
        case 5: return figure(f->income);
        case 6: return QString::fromStdString(percentText(f->irr));
        case 7: return QString::fromStdString(percentText(f->twr));
        default: return missingPricesText(*f);
      }
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(index.column() == 0 || index.column() == 8 ? (Qt::AlignLeft | Qt::AlignVCenter)
                                                                             : (Qt::AlignRight | Qt::AlignVCenter));
    case Qt::FontRole:
      if (total) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    default:
      return {};
  }
}

QVariant ReturnsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return role == Qt::DisplayRole ? QVariant() : QAbstractTableModel::headerData(section, orientation, role);
  if (role == Qt::ToolTipRole && section == 6) return QStringLiteral("Money-weighted return a year (internal rate of return)");
  if (role == Qt::ToolTipRole && section == 7) return QStringLiteral("Time-weighted return over the period, not a year's");
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  return section >= 0 && section < kReturnsHeaders.size() ? QVariant(kReturnsHeaders.at(section)) : QVariant();
}

ReturnInputsModel::ReturnInputsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ReturnInputsModel::setFigures(std::shared_ptr<const ReturnsReport> report, const ReturnFigures* figures) {
  beginResetModel();
  m_report = std::move(report);
  m_figures = m_report ? figures : nullptr;
  m_missing = m_figures ? missingPricesText(*m_figures) : QString();
  endResetModel();
}

// The start value, the flows, the end value, the TWR pieces, and the
// missing prices when there are any.
ReturnInputsModel::Line ReturnInputsModel::lineAt(std::size_t row) const {
  const ReturnFigures& f = *m_figures;
  const bool company = !f.symbol.empty();
  if (row == 0)
    return {dateText(f.start.day), QStringLiteral("Start value (in)"), valueText(f.start), valueDetail(f.start, company)};
  row -= 1;
  if (row < f.flows.size()) {
    const ReturnFlow& flow = f.flows[row];
    return {dateText(flow.day), flowText(flow.kind), figure(flow.amount), QString()};
  }
  row -= f.flows.size();
  if (row == 0)
    return {dateText(f.end.day), QStringLiteral("End value (out)"), valueText(f.end), valueDetail(f.end, company)};
  row -= 1;
  if (row < f.twrPieces.size()) {
    const TwrPiece& piece = f.twrPieces[row];
    return {dateText(piece.day), QStringLiteral("TWR piece"), figure(piece.before),
            piece.leftOut() ? QStringLiteral("left out: the value before it was 0")
                            : QStringLiteral("%1 / %2; %3 after the day's flows")
                                  .arg(figure(piece.before), figure(piece.previous), figure(piece.after))};
  }
  return {QString(), m_missing, QString(), QString()};
}

int ReturnInputsModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !m_figures) return 0;
  const std::size_t lines = 2 + m_figures->flows.size() + m_figures->twrPieces.size() + (m_missing.isEmpty() ? 0 : 1);
  return static_cast<int>(lines);
}

int ReturnInputsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kInputsHeaders.size());
}

QVariant ReturnInputsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(index.column() == 2 ? (Qt::AlignRight | Qt::AlignVCenter)
                                                   : (Qt::AlignLeft | Qt::AlignVCenter));
  if (role != Qt::DisplayRole) return {};
  const Line line = lineAt(static_cast<std::size_t>(index.row()));
  switch (index.column()) {
    case 0: return line.date;
    case 1: return line.what;
    case 2: return line.amount;
    default: return line.detail;
  }
}

QVariant ReturnInputsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation != Qt::Horizontal) return {};
  return section >= 0 && section < kInputsHeaders.size() ? QVariant(kInputsHeaders.at(section)) : QVariant();
}

}  // namespace ledger
