#include "ui/views/events_window.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "app/command_guard.h"
#include "ui/hourglass.h"

namespace ledger {

namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }
QString text(const Decimal& d) { return text(d.toDisplayString()); }
QString text(const std::optional<Decimal>& d) { return d ? text(*d) : QString(); }
std::string typed(const QLineEdit* box) { return box->text().toStdString(); }

QLineEdit* addBox(QFormLayout* form, const char* caption, const char* name, const char* hint = "") {
  auto* box = new QLineEdit;
  box->setObjectName(QLatin1String(name));
  box->setPlaceholderText(QLatin1String(hint));
  form->addRow(QString::fromUtf8(caption), box);
  return box;
}

QTableWidget* makeList(const char* name, const QStringList& headers) {
  auto* grid = new QTableWidget(0, static_cast<int>(headers.size()));
  grid->setObjectName(QLatin1String(name));
  grid->setHorizontalHeaderLabels(headers);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->verticalHeader()->hide();
  grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
  grid->horizontalHeader()->setStretchLastSection(true);
  return grid;
}

// Puts the cells into row; numbers right-aligned as the other grids show them.
void setRow(QTableWidget* grid, int row, const QStringList& cells) {
  for (int col = 0; col < cells.size(); ++col) {
    auto* item = new QTableWidgetItem(cells[col]);
    if (col > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->setItem(row, col, item);
  }
}

int pickedRow(const QTableWidget* grid) {
  const QModelIndexList rows = grid->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

}  // namespace

EventsWindow::EventsWindow(AppContext& app, EventFlows& flows, ViewHost& host, QMdiArea* area)
    : MdiChild(area), m_app(app), m_flows(flows) {
  setObjectName("frmEvents");
  setWindowTitle("Splits and Dividends");

  m_cboSymbol = new QComboBox(this);
  m_cboSymbol->setObjectName("cboEventSymbol");
  m_cboSymbol->setMinimumContentsLength(12);
  auto* companyRow = new QHBoxLayout;
  auto* companyLabel = new QLabel(QStringLiteral("&Company:"), this);
  companyLabel->setBuddy(m_cboSymbol);
  companyRow->addWidget(companyLabel);
  companyRow->addWidget(m_cboSymbol);
  companyRow->addStretch();

  auto* groups = new QHBoxLayout;
  groups->addWidget(buildSplits(), 2);
  groups->addWidget(buildDividends(), 5);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(companyRow);
  layout->addLayout(groups, 1);

  setFrameGeometryTwips(host.entryFormWidthTwips(), 0, 13500, 6600);
  m_txtSplitDate->setFocus();
  connect(m_cboSymbol, &QComboBox::currentTextChanged, this, [this] { guarded(m_app.prompter(), [&] { list(); }); });
}

QWidget* EventsWindow::buildSplits() {
  auto* group = new QGroupBox(QStringLiteral("Splits"), this);
  m_grdSplits = makeList("grdSplits", {QStringLiteral("Date"), QStringLiteral("Ratio (new:old)")});
  auto* form = new QFormLayout;
  m_txtSplitDate = addBox(form, "&Date:", "txtSplitDate", "YYYY-MM-DD");
  m_txtRatio = addBox(form, "&Ratio (new:old):", "txtRatio", "2:1");
  m_lblHolding = new QLabel(group);
  m_lblHolding->setObjectName("lblHolding");
  m_lblHolding->setWordWrap(true);
  auto* buttons = new QHBoxLayout;
  addButton(buttons, "&Add Split", "cmdAddSplit", &EventsWindow::addSplit);
  addButton(buttons, "C&hange Split", "cmdChangeSplit", &EventsWindow::changeSplit);
  addButton(buttons, "De&lete Split", "cmdDeleteSplit", &EventsWindow::deleteSplit);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(m_grdSplits, 1);
  layout->addLayout(form);
  layout->addWidget(m_lblHolding);
  layout->addLayout(buttons);

  connect(m_grdSplits, &QTableWidget::itemSelectionChanged, this, &EventsWindow::splitPicked);
  for (QLineEdit* box : {m_txtSplitDate, m_txtRatio})
    connect(box, &QLineEdit::textChanged, this, &EventsWindow::showSplitHolding);
  return group;
}

QWidget* EventsWindow::buildDividends() {
  auto* group = new QGroupBox(QStringLiteral("Dividends"), this);
  m_grdDividends =
      makeList("grdDividends", {QStringLiteral("Date"), QStringLiteral("Gross"), QStringLiteral("Withheld"),
                                QStringLiteral("Net"), QStringLiteral("Shares Bought"), QStringLiteral("Price")});
  auto* left = new QFormLayout;
  m_txtDividendDate = addBox(left, "Dat&e:", "txtDividendDate", "YYYY-MM-DD");
  m_txtGross = addBox(left, "&Gross:", "txtGross");
  m_txtWithheld = addBox(left, "&Withheld:", "txtWithheld", "0");
  auto* right = new QFormLayout;
  m_txtSharesBought = addBox(right, "&Shares bought:", "txtSharesBought", "none");
  m_txtPrice = addBox(right, "&Price:", "txtPrice");
  auto* boxes = new QHBoxLayout;
  boxes->addLayout(left);
  boxes->addLayout(right);
  auto* buttons = new QHBoxLayout;
  addButton(buttons, "Add Di&vidend", "cmdAddDividend", &EventsWindow::addDividend);
  addButton(buttons, "Cha&nge Dividend", "cmdChangeDividend", &EventsWindow::changeDividend);
  addButton(buttons, "Delete Div&idend", "cmdDeleteDividend", &EventsWindow::deleteDividend);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(m_grdDividends, 1);
  layout->addLayout(boxes);
  layout->addLayout(buttons);

  connect(m_grdDividends, &QTableWidget::itemSelectionChanged, this, &EventsWindow::dividendPicked);
  return group;
}

QPushButton* EventsWindow::addButton(QLayout* row, const char* caption, const char* name,
                                     void (EventsWindow::*click)()) {
  auto* button = new QPushButton(QString::fromUtf8(caption), this);
  button->setObjectName(QLatin1String(name));
  row->addWidget(button);
  m_changeButtons.append(button);
  connect(button, &QPushButton::clicked, this, [this, click] { guarded(m_app.prompter(), [&] { (this->*click)(); }); });
  return button;
}

void EventsWindow::allowChanges(bool allowed) {
  for (QPushButton* button : m_changeButtons) button->setEnabled(allowed);
}

void EventsWindow::showCompany(const std::string& symbol) {
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

void EventsWindow::reload() {
  const int split = pickedRow(m_grdSplits);
  const int dividend = pickedRow(m_grdDividends);
  list();
  if (split >= 0 && split < m_grdSplits->rowCount()) m_grdSplits->selectRow(split);
  if (dividend >= 0 && dividend < m_grdDividends->rowCount()) m_grdDividends->selectRow(dividend);
}

void EventsWindow::list() {
  Hourglass busy;
  m_events = {};
  m_grdSplits->setRowCount(0);
  m_grdDividends->setRowCount(0);
  m_events = m_flows.read(company().toStdString());
  m_grdSplits->setRowCount(static_cast<int>(m_events.splits.size()));
  for (int row = 0; row < m_grdSplits->rowCount(); ++row) {
    const StockSplit& s = m_events.splits[static_cast<std::size_t>(row)];
    setRow(m_grdSplits, row, {text(s.date), QStringLiteral("%1:%2").arg(s.newShares).arg(s.oldShares)});
  }
  m_grdDividends->setRowCount(static_cast<int>(m_events.dividends.size()));
  for (int row = 0; row < m_grdDividends->rowCount(); ++row) {
    const CashDividend& d = m_events.dividends[static_cast<std::size_t>(row)];
    setRow(m_grdDividends, row,
           {text(d.date), text(d.gross), text(d.withholding), text(d.net()), text(d.reinvestQuantity),
            text(d.reinvestPrice)});
  }
  for (QTableWidget* grid : {m_grdSplits, m_grdDividends}) grid->resizeColumnsToContents();
  showSplitHolding();
}

void EventsWindow::showSplitHolding() {
  try {
    const auto holding = m_flows.splitPreview(company().toStdString(), typed(m_txtSplitDate), typed(m_txtRatio));
    m_lblHolding->setText(holding ? text(*holding) : QString());
  } catch (const std::exception&) {
    // The holding is a help while typing; the save says what is wrong.
    m_lblHolding->clear();
  }
}

const StockSplit* EventsWindow::pickedSplit() const {
  const int row = pickedRow(m_grdSplits);
  return row < 0 || row >= static_cast<int>(m_events.splits.size()) ? nullptr
                                                                    : &m_events.splits[static_cast<std::size_t>(row)];
}

const CashDividend* EventsWindow::pickedDividend() const {
  const int row = pickedRow(m_grdDividends);
  return row < 0 || row >= static_cast<int>(m_events.dividends.size())
             ? nullptr
             : &m_events.dividends[static_cast<std::size_t>(row)];
}

void EventsWindow::splitPicked() {
  if (const StockSplit* s = pickedSplit()) {
    m_txtSplitDate->setText(text(s->date));
    m_txtRatio->setText(QStringLiteral("%1:%2").arg(s->newShares).arg(s->oldShares));
  }
}

void EventsWindow::dividendPicked() {
  if (const CashDividend* d = pickedDividend()) {
    m_txtDividendDate->setText(text(d->date));
    m_txtGross->setText(text(d->gross.toPlainString()));
    m_txtWithheld->setText(text(d->withholding.toPlainString()));
    m_txtSharesBought->setText(d->reinvestQuantity ? text(d->reinvestQuantity->toPlainString()) : QString());
    m_txtPrice->setText(d->reinvestPrice ? text(d->reinvestPrice->toPlainString()) : QString());
  }
}

void EventsWindow::addSplit() { m_flows.addSplit(company().toStdString(), typed(m_txtSplitDate), typed(m_txtRatio)); }

// The picked event is copied: a change lists the events again.
void EventsWindow::changeSplit() {
  if (const StockSplit* s = pickedSplit())
    m_flows.changeSplit(StockSplit(*s), typed(m_txtSplitDate), typed(m_txtRatio));
}

void EventsWindow::deleteSplit() {
  if (const StockSplit* s = pickedSplit()) m_flows.deleteSplit(StockSplit(*s));
}

DividendText EventsWindow::typedDividend() const {
  return {company().toStdString(), typed(m_txtDividendDate), typed(m_txtGross),
          typed(m_txtWithheld),    typed(m_txtSharesBought), typed(m_txtPrice)};
}

void EventsWindow::addDividend() { m_flows.addDividend(typedDividend()); }

void EventsWindow::changeDividend() {
  if (const CashDividend* d = pickedDividend()) m_flows.changeDividend(CashDividend(*d), typedDividend());
}

void EventsWindow::deleteDividend() {
  if (const CashDividend* d = pickedDividend()) m_flows.deleteDividend(CashDividend(*d));
}

}  // namespace ledger
