#include "ui/views/prices_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "app/command_guard.h"
#include "ui/hourglass.h"

namespace ledger {

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }
std::string typed(const QLineEdit* box) { return box->text().toStdString(); }

QLineEdit* addBox(QFormLayout* form, const char* caption, const char* name, const char* hint = "") {
  auto* box = new QLineEdit;
  box->setObjectName(QLatin1String(name));
  box->setPlaceholderText(QLatin1String(hint));
  form->addRow(QString::fromUtf8(caption), box);
  return box;
}

}  // namespace

PricesWindow::PricesWindow(AppContext& app, PriceFlows& flows, ViewHost& host, QMdiArea* area)
    : MdiChild(area), m_app(app), m_flows(flows) {
  setObjectName("frmPrices");
  setWindowTitle("Prices");

  m_cboSymbol = new QComboBox(this);
  m_cboSymbol->setObjectName("cboPriceSymbol");
  m_cboSymbol->setMinimumContentsLength(12);
  auto* companyRow = new QHBoxLayout;
  auto* companyLabel = new QLabel(QStringLiteral("&Company:"), this);
  companyLabel->setBuddy(m_cboSymbol);
  companyRow->addWidget(companyLabel);
  companyRow->addWidget(m_cboSymbol);
  companyRow->addStretch();

  m_grdPrices = new QTableWidget(0, 2, this);
  m_grdPrices->setObjectName("grdPrices");
  m_grdPrices->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Close")});
  m_grdPrices->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_grdPrices->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_grdPrices->setSelectionMode(QAbstractItemView::SingleSelection);
  m_grdPrices->verticalHeader()->hide();
  m_grdPrices->verticalHeader()->setDefaultSectionSize(m_grdPrices->fontMetrics().height() + 6);
  m_grdPrices->horizontalHeader()->setStretchLastSection(true);

  auto* form = new QFormLayout;
  m_txtDate = addBox(form, "&Date:", "txtPriceDate", "YYYY-MM-DD");
  m_txtClose = addBox(form, "C&lose:", "txtClose", "412.50");
  auto* buttons = new QHBoxLayout;
  addButton(buttons, "&Add Price", "cmdAddPrice", &PricesWindow::addPrice);
  addButton(buttons, "C&hange Price", "cmdChangePrice", &PricesWindow::changePrice);
  addButton(buttons, "D&elete Price", "cmdDeletePrice", &PricesWindow::deletePrice);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(companyRow);
  layout->addWidget(m_grdPrices, 1);
  layout->addLayout(form);
  layout->addLayout(buttons);

  setFrameGeometryTwips(host.entryFormWidthTwips(), 0, 5400, 6600);
  m_txtDate->setFocus();
  connect(m_cboSymbol, &QComboBox::currentTextChanged, this, [this] { guarded(m_app.prompter(), [&] { list(); }); });
  connect(m_grdPrices, &QTableWidget::itemSelectionChanged, this, &PricesWindow::pricePicked);
}

QPushButton* PricesWindow::addButton(QLayout* row, const char* caption, const char* name,
                                     void (PricesWindow::*click)()) {
  auto* button = new QPushButton(QString::fromUtf8(caption), this);
  button->setObjectName(QLatin1String(name));
  row->addWidget(button);
  m_changeButtons.append(button);
  connect(button, &QPushButton::clicked, this, [this, click] { guarded(m_app.prompter(), [&] { (this->*click)(); }); });
  return button;
}

void PricesWindow::allowChanges(bool allowed) {
  for (QPushButton* button : m_changeButtons) button->setEnabled(allowed);
}

void PricesWindow::showCompany(const std::string& symbol) {
  try {
    const std::vector<std::string> symbols = m_flows.companySymbols();
    const QSignalBlocker quiet(m_cboSymbol);
    m_cboSymbol->clear();
    for (const std::string& s : symbols) m_cboSymbol->addItem(text(s));
    m_cboSymbol->setCurrentText(text(m_flows.companyToShow(symbol)));
    list();
  } catch (const std::exception& e) {
    m_app.prompter().show(commandFailureMessage(e.what()), MsgIcon::Critical);
  }
}

void PricesWindow::reload() {
  const QModelIndexList rows = m_grdPrices->selectionModel()->selectedRows();
  const int picked = rows.isEmpty() ? -1 : rows.first().row();
  list();
  if (picked >= 0 && picked < m_grdPrices->rowCount()) m_grdPrices->selectRow(picked);
}

void PricesWindow::list() {
  Hourglass busy;
  m_prices.clear();
  m_grdPrices->setRowCount(0);
  m_prices = m_flows.read(company().toStdString());
  m_grdPrices->setRowCount(static_cast<int>(m_prices.size()));
  for (int row = 0; row < m_grdPrices->rowCount(); ++row) {
    const ClosePrice& p = m_prices[static_cast<std::size_t>(row)];
    m_grdPrices->setItem(row, 0, new QTableWidgetItem(text(p.date)));
    // Numbers right-aligned as the other grids show them.
    auto* close = new QTableWidgetItem(text(p.close.toDisplayString()));
    close->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_grdPrices->setItem(row, 1, close);
  }
  m_grdPrices->resizeColumnsToContents();
}

const ClosePrice* PricesWindow::pickedPrice() const {
  const QModelIndexList rows = m_grdPrices->selectionModel()->selectedRows();
  const int row = rows.isEmpty() ? -1 : rows.first().row();
  return row < 0 || row >= static_cast<int>(m_prices.size()) ? nullptr : &m_prices[static_cast<std::size_t>(row)];
}

void PricesWindow::pricePicked() {
  if (const ClosePrice* p = pickedPrice()) {
    m_txtDate->setText(text(p->date));
    m_txtClose->setText(text(p->close.toPlainString()));
  }
}

void PricesWindow::addPrice() { m_flows.addPrice(company().toStdString(), typed(m_txtDate), typed(m_txtClose)); }

// The picked price is copied: a change lists the prices again.
void PricesWindow::changePrice() {
  if (const ClosePrice* p = pickedPrice()) m_flows.changePrice(ClosePrice(*p), typed(m_txtDate), typed(m_txtClose));
}

void PricesWindow::deletePrice() {
  if (const ClosePrice* p = pickedPrice()) m_flows.deletePrice(ClosePrice(*p));
}

}  // namespace ledger
