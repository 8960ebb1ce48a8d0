#include "value_tab.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace ledger {

namespace {

const QString kWholeLedger = QStringLiteral("Whole ledger");

std::vector<ValueChartPoint> chartPoints(const ValueSeries& series) {
  std::vector<ValueChartPoint> points;
  points.reserve(series.points.size());
  for (const ValuePoint& p : series.points) {
    ValueChartPoint& point = points.emplace_back();
    point.day = p.day;
    point.date = QString::fromStdString(isoDateOf(p.day));
    if (p.marketValue) {
      point.marketValue = p.marketValue->toDouble();
      point.marketValueText = QString::fromStdString(p.marketValue->toDisplayString());
    }
    point.netInvested = p.netInvested.toDouble();
    point.netInvestedText = QString::fromStdString(p.netInvested.toDisplayString());
  }
  return points;
}

}  // namespace

ValueTab::ValueTab(QWidget* parent) : QWidget(parent) {
  setObjectName("tabValue");
  m_cboValueOf = new QComboBox(this);
  m_cboValueOf->setObjectName("cboValueOf");
  m_cboValueOf->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  auto* label = new QLabel(QStringLiteral("Value &of:"), this);
  label->setBuddy(m_cboValueOf);
  auto* row = new QHBoxLayout;
  row->addWidget(label);
  row->addWidget(m_cboValueOf);
  row->addStretch();

  m_chart = new ValueChart(this);
  m_lblPoint = new QLabel(QStringLiteral("Click the chart to see a day's figures."), this);
  m_lblPoint->setObjectName("lblValuePoint");
  m_lblPoint->setTextInteractionFlags(Qt::TextSelectableByMouse);
  connect(m_chart, &ValueChart::pointSelected, this,
          [this](const QString& date, const QString& value, const QString& invested) {
            m_lblPoint->setText(QStringLiteral("%1: market value %2, net invested %3")
                                    .arg(date, value.isEmpty() ? QStringLiteral("not known (no price)") : value,
                                         invested));
          });
  connect(m_cboValueOf, &QComboBox::currentIndexChanged, this, [this] { showChosen(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(row);
  layout->addWidget(m_chart, 1);
  layout->addWidget(m_lblPoint);
}

void ValueTab::clear() {
  m_series.reset();
  const QSignalBlocker quiet(m_cboValueOf);
  m_cboValueOf->clear();
  m_chart->setPoints({});
}

void ValueTab::showRead(const ValueSeriesRead& read) {
  const QString chosen = m_cboValueOf->currentText();
  m_series = read.series;
  {
    const QSignalBlocker quiet(m_cboValueOf);
    m_cboValueOf->clear();
    if (m_series) {
      // The whole ledger first, then the companies; the series list has it last.
      m_cboValueOf->addItem(kWholeLedger, static_cast<int>(m_series->size()) - 1);
      for (std::size_t i = 0; i + 1 < m_series->size(); ++i)
        m_cboValueOf->addItem(QString::fromStdString((*m_series)[i].symbol), static_cast<int>(i));
    }
    const int again = m_cboValueOf->findText(chosen);
    m_cboValueOf->setCurrentIndex(again >= 0 ? again : 0);
  }
  if (read.failure) m_lblPoint->setText(QString::fromStdString(*read.failure));
  showChosen();
}

void ValueTab::showChosen() {
  const int index = m_cboValueOf->currentData().isValid() ? m_cboValueOf->currentData().toInt() : -1;
  if (!m_series || index < 0 || index >= static_cast<int>(m_series->size())) {
    m_chart->setPoints({});
    return;
  }
  m_chart->setPoints(chartPoints((*m_series)[static_cast<std::size_t>(index)]));
}

}  // namespace ledger
