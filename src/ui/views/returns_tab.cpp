#include "returns_tab.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QVBoxLayout>

#include "ui/views/view_support.h"

namespace ledger {

namespace {

// The From box's lowest date stands for the ledger's first trade.
const QDate kFirstTrade(1900, 1, 1);

QDateEdit* makeDateBox(QWidget* parent, const QString& name) {
  auto* box = new QDateEdit(parent);
  box->setObjectName(name);
  box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  box->setCalendarPopup(true);
  box->setMinimumDate(kFirstTrade);
  return box;
}

std::optional<std::string> isoText(const QDate& date) { return date.toString(Qt::ISODate).toStdString(); }

}  // namespace

ReturnsTab::ReturnsTab(QWidget* parent) : QWidget(parent) {
  setObjectName("tabReturns");
  m_dtpFrom = makeDateBox(this, "dtpFrom");
  m_dtpFrom->setSpecialValueText(QStringLiteral("First trade"));
  m_dtpFrom->setDate(kFirstTrade);
  m_dtpTo = makeDateBox(this, "dtpTo");
  m_dtpTo->setDate(QDate::currentDate());
  auto* fromLabel = new QLabel(QStringLiteral("Fro&m:"), this);
  fromLabel->setBuddy(m_dtpFrom);
  auto* toLabel = new QLabel(QStringLiteral("&To:"), this);
  toLabel->setBuddy(m_dtpTo);
  auto* periodRow = new QHBoxLayout;
  periodRow->addWidget(fromLabel);
  periodRow->addWidget(m_dtpFrom);
  periodRow->addSpacing(12);
  periodRow->addWidget(toLabel);
  periodRow->addWidget(m_dtpTo);
  periodRow->addStretch();

  m_lblNote = new QLabel(this);
  m_lblNote->setObjectName("lblReturnsNote");
  m_lblNote->setWordWrap(true);
  m_lblNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_lblNote->setStyleSheet(QStringLiteral("QLabel { color: darkred; }"));
  m_lblNote->hide();

  m_grid = makeGrid(this, QStringLiteral("DBGridReturns"));
  m_model = new ReturnsModel(m_grid);
  m_grid->setModel(m_model);
  m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
  m_inputsGrid = makeGrid(this, QStringLiteral("DBGridReturnInputs"));
  m_inputs = new ReturnInputsModel(m_inputsGrid);
  m_inputsGrid->setModel(m_inputs);
  m_inputsGrid->horizontalHeader()->setStretchLastSection(true);
  connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { showInputsOf(current.row()); });

  auto* returnsPane = new QWidget(this);
  auto* returnsLayout = new QVBoxLayout(returnsPane);
  returnsLayout->setContentsMargins(0, 0, 0, 0);
  returnsLayout->setSpacing(0);
  returnsLayout->addWidget(makeCaption(returnsPane, "Returns over the Period", "lblReturns"));
  returnsLayout->addWidget(m_grid, 1);
  auto* inputsPane = new QWidget(this);
  auto* inputsLayout = new QVBoxLayout(inputsPane);
  inputsLayout->setContentsMargins(0, 0, 0, 0);
  inputsLayout->setSpacing(0);
  inputsLayout->addWidget(makeCaption(inputsPane, "What the Chosen Row Is Worked From", "lblReturnInputs"));
  inputsLayout->addWidget(m_inputsGrid, 1);
  auto* panes = new QSplitter(Qt::Horizontal, this);
  panes->addWidget(returnsPane);
  panes->addWidget(inputsPane);
  panes->setStretchFactor(0, 3);
  panes->setStretchFactor(1, 2);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(periodRow);
  layout->addWidget(m_lblNote);
  layout->addWidget(panes, 1);

  // A date typed digit by digit asks once, when the typing pauses.
  m_pause.setSingleShot(true);
  m_pause.setInterval(400);
  connect(&m_pause, &QTimer::timeout, this, &ReturnsTab::periodChanged);
  for (QDateEdit* box : {m_dtpFrom, m_dtpTo}) connect(box, &QDateEdit::dateChanged, this, [this] { m_pause.start(); });
}

ReturnsPeriod ReturnsTab::period() const {
  ReturnsPeriod period;
  if (m_dtpFrom->date() != kFirstTrade) period.from = isoText(m_dtpFrom->date());
  period.to = isoText(m_dtpTo->date());
  return period;
}

void ReturnsTab::clear() {
  m_report.reset();
  m_model->setReport(nullptr);
  m_inputs->setFigures(nullptr, nullptr);
  m_lblNote->hide();
}

void ReturnsTab::showRead(const ReturnsRead& read) {
  m_report = read.report;
  m_model->setReport(m_report);
  QStringList lines;
  if (read.failure) lines << QString::fromStdString(*read.failure);
  for (const std::string& note : read.notes) lines << QString::fromStdString(note);
  m_lblNote->setText(lines.join(QLatin1Char('\n')));
  m_lblNote->setVisible(!lines.isEmpty());
  m_grid->resizeColumnsToContents();
  // The whole ledger's inputs until another row is chosen.
  if (m_model->rowCount() > 0) m_grid->selectRow(m_model->rowCount() - 1);
  else showInputsOf(-1);
}

void ReturnsTab::showInputsOf(int row) {
  m_inputs->setFigures(m_report, m_model->figures(row));
  m_inputsGrid->resizeColumnsToContents();
}

}  // namespace ledger
