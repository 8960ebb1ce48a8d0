#include "gains_model.h"

#include <QBrush>
#include <QFont>

namespace ledger {

namespace {

// Net as on the Income tab: the dividends less the tax withheld from them.
const QStringList kHoldingsHeaders = {"Symbol", "Shares",     "Cost",         "Average Cost",    "Realized Gain",
                                      "Net Income", "Price", "Price Date", "Market Value", "Unrealized Gain",
                                      "Share of Whole %"};
constexpr int kNetIncomeColumn = 5;
constexpr int kPriceColumn = 6;
constexpr int kPriceDateColumn = 7;
constexpr int kMarketValueColumn = 8;
const QString kNoPrice = QStringLiteral("no price");
const QStringList kSalesHeaders = {"Date",  "Symbol",    "Shares", "Proceeds", "Cost",
                                   "Gain",  "Lots",      "Uncovered", "Rule",  "Disallowed"};
const QStringList kYearlyHeaders = {"Year", "Symbol", "Gain"};
const QStringList kDividendsHeaders = {"Date", "Symbol", "Gross", "Tax Withheld", "Net", "Shares Bought", "Price"};
const QStringList kIncomeHeaders = {"Year", "Symbol", "Gross", "Tax Withheld", "Net"};

const QStringList& headersOf(GainsModel::Table table) {
  switch (table) {
    case GainsModel::Table::Holdings: return kHoldingsHeaders;
    case GainsModel::Table::Sales: return kSalesHeaders;
    case GainsModel::Table::Yearly: return kYearlyHeaders;
    case GainsModel::Table::Dividends: return kDividendsHeaders;
    case GainsModel::Table::Income: return kIncomeHeaders;
  }
  return kHoldingsHeaders;
}

QString figure(const Decimal& d) { return QString::fromStdString(d.toDisplayString()); }
QString plain(const std::string& s) { return QString::fromStdString(s); }

// Dates, symbols, years and lots sit to the left; figures to the right.
bool isTextColumn(GainsModel::Table table, int column) {
  switch (table) {
    case GainsModel::Table::Holdings: return column == 0 || column == kPriceDateColumn;
    case GainsModel::Table::Sales: return column <= 1 || column == 6;
    case GainsModel::Table::Yearly:
    case GainsModel::Table::Dividends:
    case GainsModel::Table::Income: return column <= 1;
  }
  return false;
}

QString yearText(int year) { return QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0')); }

QString sumText(const IncomeSums& sums, int column) {
  switch (column) {
    case 0: return figure(sums.gross);
    case 1: return figure(sums.withholding);
    default: return figure(sums.net);
  }
}

}  // namespace

GainsModel::GainsModel(Table table, QObject* parent) : QAbstractTableModel(parent), m_table(table) {}

void GainsModel::setValues(std::shared_ptr<const MarketValueReport> values) {
  beginResetModel();
  m_values = std::move(values);
  endResetModel();
}

void GainsModel::setReport(std::shared_ptr<const GainsReport> report, std::shared_ptr<const IncomeReport> income) {
  beginResetModel();
  m_report = std::move(report);
  m_income = std::move(income);
  m_yearRows.clear();
  m_incomeLines = m_income ? incomeLines(*m_income) : std::vector<IncomeLine>();
  if (m_report && m_table == Table::Yearly) {
    for (int y = 0; y < static_cast<int>(m_report->years.size()); ++y) {
      const int companies = static_cast<int>(m_report->years[static_cast<size_t>(y)].companies.size());
      for (int c = 0; c < companies; ++c) m_yearRows.push_back({y, c});
      m_yearRows.push_back({y, -1});
    }
  }
  endResetModel();
}

int GainsModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  if (m_table == Table::Holdings) return m_values ? static_cast<int>(m_values->holdings.size()) : 0;
  if (!m_report || !m_income) return 0;
  switch (m_table) {
    case Table::Holdings: return static_cast<int>(m_report->holdings.size());
    case Table::Sales: return static_cast<int>(m_report->sales.size());
    case Table::Yearly: return static_cast<int>(m_yearRows.size());
    case Table::Dividends: return static_cast<int>(m_income->dividends.size());
    case Table::Income: return static_cast<int>(m_incomeLines.size());
  }
  return 0;
}

int GainsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headersOf(m_table).size());
}

bool GainsModel::isTotalRow(int row) const {
  const auto r = static_cast<size_t>(row);
  if (m_table == Table::Yearly) return m_yearRows[r].company < 0;
  if (m_table == Table::Income) return m_incomeLines[r].isTotal();
  return false;
}

QString GainsModel::text(int row, int column) const {
  const auto r = static_cast<size_t>(row);
  switch (m_table) {
    case Table::Holdings: return holdingText(m_values->holdings[r], column);
    case Table::Sales: {
      const SaleGain& s = m_report->sales[r];
      switch (column) {
        case 0: return plain(s.date);
        case 1: return plain(s.symbol);
        case 2: return figure(s.shares);
        case 3: return figure(s.proceeds);
        case 4: return figure(s.cost);
        case 5: return figure(s.gain);
        case 6: return plain(s.lots);
        case 7: return s.covered() ? QString() : figure(s.uncoveredShares);
        case 8: return plain(s.rule);
        default: return figure(s.disallowed);
      }
    }
    case Table::Yearly: {
      const YearRow& yr = m_yearRows[r];
      const YearGains& y = m_report->years[static_cast<size_t>(yr.year)];
      if (column == 0) return QString::fromStdString(taxYearLabel(y.year, m_report->taxYears));
      if (yr.company < 0) return column == 1 ? QString() : figure(y.total);
      const auto& [symbol, gain] = y.companies[static_cast<size_t>(yr.company)];
      return column == 1 ? plain(symbol) : figure(gain);
    }
    case Table::Dividends: {
      const CashDividend& d = m_income->dividends[r];
      switch (column) {
        case 0: return plain(d.date);
        case 1: return plain(d.symbol);
        case 2: return figure(d.gross);
        case 3: return figure(d.withholding);
        case 4: return figure(d.net());
        case 5: return d.reinvestQuantity ? figure(*d.reinvestQuantity) : QString();
        default: return d.reinvestPrice ? figure(*d.reinvestPrice) : QString();
      }
    }
    case Table::Income: {
      const IncomeLine& line = m_incomeLines[r];
      if (column == 0) return yearText(line.year);
      if (column == 1) return plain(line.symbol);
      return sumText(*line.sums, column - 2);
    }
  }
  return {};
}

QString GainsModel::holdingText(const HoldingValue& value, int column) const {
  const Holding& h = value.holding;
  // Held without a price: the value is not known, never taken as zero. A
  // company sold out with no price simply has no figures.
  const bool unpriced = !value.price && h.shares.sign() > 0;
  switch (column) {
    case 0: return plain(h.symbol);
    case 1: return figure(h.shares);
    case 2: return figure(h.cost);
    case 3: return h.averageCost ? figure(*h.averageCost) : QString();
    case 4: return figure(h.realizedGain);
    case kNetIncomeColumn: return figure(h.netIncome);
    case kPriceColumn: return value.price ? figure(value.price->close) : unpriced ? kNoPrice : QString();
    case kPriceDateColumn: return value.price ? plain(isoDateOf(value.price->day)) : QString();
    case kMarketValueColumn: return value.marketValue ? figure(*value.marketValue) : unpriced ? kNoPrice : QString();
    case 9: return value.unrealizedGain ? figure(*value.unrealizedGain) : QString();
    default: return value.sharePercent ? figure(*value.sharePercent) : QString();
  }
}

QVariant GainsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const bool textColumn = isTextColumn(m_table, index.column());
  switch (role) {
    case Qt::DisplayRole:
      return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(textColumn ? (Qt::AlignLeft | Qt::AlignVCenter) : (Qt::AlignRight | Qt::AlignVCenter));
    case Qt::FontRole:
      if (isTotalRow(index.row())) {
        QFont bold;
        bold.setBold(true);
        return bold;
      }
      return {};
    case Qt::ForegroundRole:
      // An uncovered sale stands out: its gain is in no total.
      if (m_table == Table::Sales && !m_report->sales[static_cast<size_t>(index.row())].covered())
        return QBrush(Qt::darkRed);
      if (m_table == Table::Holdings && text(index.row(), index.column()) == kNoPrice) return QBrush(Qt::darkRed);
      return {};
    default:
      return {};
  }
}

QVariant GainsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && m_table == Table::Holdings &&
      section == kNetIncomeColumn)
    return QStringLiteral("Dividends paid to date, less the tax withheld");
  if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && m_table == Table::Holdings && section == kPriceColumn)
    return QStringLiteral("The last close on or before the Values as of date");
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  // Row selectors without numbers, as in the other grids.
  if (orientation != Qt::Horizontal) return {};
  const QStringList& headers = headersOf(m_table);
  return section >= 0 && section < headers.size() ? QVariant(headers.at(section)) : QVariant();
}

}  // namespace ledger
