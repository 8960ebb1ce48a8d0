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
  m_lines.clear();
  if (m_report && figures) {
    const bool company = !figures->symbol.empty();
    m_lines.push_back({dateText(figures->start.day), QStringLiteral("Start value (in)"), valueText(figures->start),
                       valueDetail(figures->start, company)});
    for (const ReturnFlow& flow : figures->flows)
      m_lines.push_back({dateText(flow.day), flowText(flow.kind), figure(flow.amount), QString()});
    m_lines.push_back({dateText(figures->end.day), QStringLiteral("End value (out)"), valueText(figures->end),
                       valueDetail(figures->end, company)});
    for (const TwrPiece& piece : figures->twrPieces)
      m_lines.push_back({dateText(piece.day), QStringLiteral("TWR piece"), figure(piece.before),
                         piece.leftOut() ? QStringLiteral("left out: the value before it was 0")
                                         : QStringLiteral("%1 / %2; %3 after the day's flows")
                                               .arg(figure(piece.before), figure(piece.previous), figure(piece.after))});
    const QString missing = missingPricesText(*figures);
    if (!missing.isEmpty()) m_lines.push_back({QString(), missing, QString(), QString()});
  }
  endResetModel();
}

int ReturnInputsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

int ReturnInputsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kInputsHeaders.size());
}

QVariant ReturnInputsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const Line& line = m_lines[static_cast<std::size_t>(index.row())];
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(index.column() == 2 ? (Qt::AlignRight | Qt::AlignVCenter)
                                                   : (Qt::AlignLeft | Qt::AlignVCenter));
  if (role != Qt::DisplayRole) return {};
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
