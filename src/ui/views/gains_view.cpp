#include "gains_view.h"

#include <QGridLayout>
#include <QLayout>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "app/gains_window_work.h"
#include "app/report_data.h"
#include "ui/hourglass.h"
#include "ui/views/tax_rules_choice.h"
#include "ui/views/view_support.h"

namespace ledger {

namespace {

const char* const kGridNames[] = {"DBGridHoldings", "DBGridSales", "DBGridYearly", "DBGridDividends",
                                  "DBGridIncome"};

int slot(GainsModel::Table table) { return static_cast<int>(table); }

}  // namespace

GainsView::GainsView(AppContext& app, ViewHost& host, QMdiArea* area)
    : MdiChild(area), m_app(app), m_host(host) {
  setObjectName("frmGains");
  setWindowTitle("Gains");

  auto* methodLabel = new QLabel(QStringLiteral("Cost of shares sold:"), this);
  m_optFifo = new QRadioButton(QStringLiteral("&FIFO (oldest lots first)"), this);
  m_optFifo->setObjectName("optFifo");
  m_optAverage = new QRadioButton(QStringLiteral("A&verage cost"), this);
  m_optAverage->setObjectName("optAverage");
  auto* methodRow = new QHBoxLayout;
  methodRow->addWidget(methodLabel);
  methodRow->addWidget(m_optFifo);
  methodRow->addWidget(m_optAverage);
  m_taxRules = new TaxRulesChoice(this, methodRow);
  methodRow->addSpacing(24);
  m_dtpValuesAsOf = new QDateEdit(QDate::currentDate(), this);
  m_dtpValuesAsOf->setObjectName("dtpValuesAsOf");
  m_dtpValuesAsOf->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  m_dtpValuesAsOf->setCalendarPopup(true);
  auto* asOfLabel = new QLabel(QStringLiteral("Values &as of:"), this);
  asOfLabel->setBuddy(m_dtpValuesAsOf);
  methodRow->addWidget(asOfLabel);
  methodRow->addWidget(m_dtpValuesAsOf);
  methodRow->addStretch();

  m_lblNote = new QLabel(this);
  m_lblNote->setObjectName("lblNote");
  m_lblNote->setWordWrap(true);
  m_lblNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_lblNote->setStyleSheet(QStringLiteral("QLabel { color: darkred; }"));
  m_lblNote->hide();

  m_work = new LedgerWork(this);
  m_valuesWork = new LedgerWork(this);
  m_returnsWork = new LedgerWork(this);
  m_seriesWork = new LedgerWork(this);
  for (LedgerWork* work : {m_work, m_valuesWork, m_returnsWork, m_seriesWork}) {
    connect(work, &LedgerWork::progressed, this, &GainsView::showProgress);
    connect(work, &LedgerWork::finished, this, &GainsView::workEnded);
  }
  m_watch = new LedgerChangeWatch(this);
  m_watch->watch(m_app.session().LedgerPath);
  connect(m_watch, &LedgerChangeWatch::changed, this, &GainsView::readAgain);

  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName("tabsGains");
  m_tabs->addTab(makeGainsPage(methodRow), QStringLiteral("&Gains"));
  m_tabs->addTab(makeIncomePage(), QStringLiteral("&Income"));
  m_returnsTab = new ReturnsTab(this);
  m_tabs->addTab(m_returnsTab, QStringLiteral("&Returns"));
  m_valueTab = new ValueTab(this);
  m_tabs->addTab(m_valueTab, QStringLiteral("Va&lue"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(makeProgressRow());
  layout->addWidget(m_lblNote);
  layout->addWidget(m_tabs, 1);

  try {
    // Beside the entry form, so that both stay in sight; wide enough for
    // the holdings with their values.
    setFrameGeometryTwips(m_host.entryFormWidthTwips(), 0, 15000, 7800);
    m_method = rememberedGainsMethod(m_app.settings(), m_app.session().LedgerPath).value_or(CostMethod::Fifo);
    (m_method == CostMethod::Fifo ? m_optFifo : m_method == CostMethod::Uk ? m_taxRules->ukOption() : m_optAverage)
        ->setChecked(true);
    m_taxRules->showMethod(m_method);
    load();
  } catch (const std::exception& e) {
    reportReadFailure(m_app.prompter(), m_app.session().LedgerPath, e.what());
  }
  // Connected after the first load, so that showing the remembered choice
  // does not read the ledger twice.
  connect(m_optFifo, &QRadioButton::toggled, this, [this](bool on) {
    if (on) setMethod(CostMethod::Fifo);
  });
  connect(m_optAverage, &QRadioButton::toggled, this, [this](bool on) {
    if (on) setMethod(CostMethod::Average);
  });
  connect(m_taxRules->ukOption(), &QRadioButton::toggled, this, [this](bool on) {
    if (on) setMethod(CostMethod::Uk);
  });
  connect(m_taxRules, &TaxRulesChoice::changed, this, [this] {
    // Other rules by the same method: the gains and the holdings' cost again.
    m_watch->markSeen();
    startGains();
    startValues();
  });
  // A date typed digit by digit asks once, when the typing pauses.
  m_valuesPause.setSingleShot(true);
  m_valuesPause.setInterval(400);
  connect(&m_valuesPause, &QTimer::timeout, this, &GainsView::startValues);
  connect(m_dtpValuesAsOf, &QDateEdit::dateChanged, this, [this] { m_valuesPause.start(); });
  connect(m_returnsTab, &ReturnsTab::periodChanged, this, &GainsView::startReturns);
}

QLayout* GainsView::makeProgressRow() {
  m_lblWorking = new QLabel(this);
  m_lblWorking->setObjectName("lblWorking");
  m_prgWork = new QProgressBar(this);
  m_prgWork->setObjectName("prgWork");
  m_prgWork->setRange(0, 100);
  m_cmdStop = new QPushButton(QStringLiteral("&Stop"), this);
  m_cmdStop->setObjectName("cmdStop");
  m_cmdWorkOut = new QPushButton(QStringLiteral("&Work Out"), this);
  m_cmdWorkOut->setObjectName("cmdWorkOut");
  connect(m_cmdStop, &QPushButton::clicked, this, &GainsView::stopWork);
  connect(m_cmdWorkOut, &QPushButton::clicked, this, &GainsView::readAgain);
  auto* row = new QHBoxLayout;
  row->addWidget(m_lblWorking);
  row->addWidget(m_prgWork, 1);
  row->addWidget(m_cmdStop);
  row->addWidget(m_cmdWorkOut);
  showProgress();
  return row;
}

QWidget* GainsView::makeGainsPage(QLayout* methodRow) {
  auto* page = new QWidget(this);
  page->setObjectName("tabGains");
  auto* grids = new QGridLayout;
  grids->addWidget(makeCaption(page, "Holdings at the Values Date", "lblHoldings"), 0, 0);
  grids->addWidget(addGrid(GainsModel::Table::Holdings, kGridNames[0]), 1, 0);
  grids->addWidget(makeCaption(page, "Gains by Year", "lblYearly"), 0, 1);
  grids->addWidget(addGrid(GainsModel::Table::Yearly, kGridNames[2]), 1, 1);
  grids->addWidget(makeCaption(page, "Realized Gains by Sale", "lblSales"), 2, 0, 1, 2);
  grids->addWidget(addGrid(GainsModel::Table::Sales, kGridNames[1]), 3, 0, 1, 2);
  // The holdings have twice the columns of the yearly gains.
  grids->setColumnStretch(0, 5);
  grids->setColumnStretch(1, 2);
  grids->setRowStretch(1, 2);
  grids->setRowStretch(3, 3);
  grids->setSpacing(0);

  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addLayout(methodRow);
  layout->addLayout(grids, 1);
  return page;
}

QWidget* GainsView::makeIncomePage() {
  auto* page = new QWidget(this);
  page->setObjectName("tabIncome");
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(0);
  layout->addWidget(makeCaption(page, "Dividends", "lblDividends"));
  layout->addWidget(addGrid(GainsModel::Table::Dividends, kGridNames[3]), 3);
  layout->addWidget(makeCaption(page, "Income by Year", "lblIncome"));
  layout->addWidget(addGrid(GainsModel::Table::Income, kGridNames[4]), 2);
  return page;
}

QTableView* GainsView::addGrid(GainsModel::Table table, const char* name) {
  QTableView* grid = makeGrid(this, QString::fromLatin1(name));
  auto* model = new GainsModel(table, grid);
  grid->setModel(model);
  new RightPressFilter(grid->viewport(), [this, model, name] {
    m_host.popupGridMenu(ViewTag::Gains, GridExport{QString(), model, QString::fromLatin1(name) + ".csv"});
  });
  m_grids[slot(table)] = grid;
  m_models[slot(table)] = model;
  return grid;
}

GainsModel* GainsView::model(GainsModel::Table table) const { return m_models[slot(table)]; }
QTableView* GainsView::grid(GainsModel::Table table) const { return m_grids[slot(table)]; }

void GainsView::setMethod(CostMethod method) {
  // Radio buttons follow a call from elsewhere without running this again.
  QRadioButton* chosen = method == CostMethod::Fifo ? m_optFifo : method == CostMethod::Uk ? m_taxRules->ukOption() : m_optAverage;
  for (QRadioButton* option : {m_optFifo, m_optAverage, m_taxRules->ukOption()}) {
    const QSignalBlocker quiet(option);
    option->setChecked(option == chosen);
  }
  m_taxRules->showMethod(method);
  if (method == m_method && (m_report || working())) return;
  m_method = method;
  rememberGainsMethod(m_app.settings(), m_app.session().LedgerPath, method);
  try {
    // The cost of the holdings follows the method; the returns do not.
    m_watch->markSeen();
    startGains();
    startValues();
  } catch (const std::exception& e) {
    reportReadFailure(m_app.prompter(), m_app.session().LedgerPath, e.what());
  }
}

void GainsView::readAgain() { load(); }

bool GainsView::working() const {
  return m_work->working() || m_valuesWork->working() || m_returnsWork->working() || m_seriesWork->working();
}

void GainsView::load() {
  // The figures to come are of the file as it stands now or later.
  m_watch->markSeen();
  startGains();
  startValues();
  startReturns();
  startSeries();
}

template <typename Read, typename Show>
void GainsView::startWork(LedgerWork* work, Read read, Show show) {
  work->start([this, read = std::move(read), show = std::move(show)](const WorkProgress& progress) {
    auto result = read(progress);
    return [this, show, result = std::move(result)] {
      // Changed since the work began: what it read may be older than the file.
      if (m_watch->changedSinceSeen())
        load();
      else
        show(result);
    };
  });
  showProgress();
}

void GainsView::startGains() {
  // What is in sight belongs to another method or an older ledger.
  m_report.reset();
  for (GainsModel* model : m_models)
    if (model->table() != GainsModel::Table::Holdings) model->setReport(nullptr, nullptr);
  m_gainsNotes.clear();
  showNotes();
  startWork(
      m_work,
      [connection = m_connection, request = GainsRequest{m_app.session().LedgerPath, m_taxRules->rules(m_method)}](
          const WorkProgress& progress) { return workOutGains(*connection, request, progress); },
      [this](const GainsRead& read) { showRead(read); });
}

void GainsView::startValues() {
  model(GainsModel::Table::Holdings)->setValues(nullptr);
  m_valuesNotes.clear();
  showNotes();
  const std::string asOf = m_dtpValuesAsOf->date().toString(Qt::ISODate).toStdString();
  startWork(
      m_valuesWork,
      [connection = m_connection, path = m_app.session().LedgerPath, rules = m_taxRules->rules(m_method),
       asOf](const WorkProgress& progress) { return workOutHoldingValues(*connection, path, rules, asOf, progress);
      },
      [this](const MarketValueRead& read) {
        model(GainsModel::Table::Holdings)->setValues(read.report);
        grid(GainsModel::Table::Holdings)->resizeColumnsToContents();
        // A failure to read the ledger is told once, by the gains.
        m_valuesNotes = read.notes;
        showNotes();
      });
}

void GainsView::startReturns() {
  m_returnsTab->clear();
  startWork(
      m_returnsWork,
      [connection = m_connection, path = m_app.session().LedgerPath,
       period = m_returnsTab->period()](const WorkProgress& progress) {
        return workOutPeriodReturns(*connection, path, period, progress);
      },
      [this](const ReturnsRead& read) { m_returnsTab->showRead(read); });
}

void GainsView::startSeries() {
  m_valueTab->clear();
  startWork(
      m_seriesWork,
      [connection = m_connection, path = m_app.session().LedgerPath](const WorkProgress& progress) {
        return workOutValueSeries(*connection, path, progress);
      },
      [this](const ValueSeriesRead& read) { m_valueTab->showRead(read); });
}

void GainsView::stopWork() {
  for (LedgerWork* work : {m_work, m_valuesWork, m_returnsWork, m_seriesWork}) work->stop();
  showProgress();
  m_lblWorking->setText(QStringLiteral("The figures were not worked out."));
  m_lblWorking->show();
  m_cmdWorkOut->show();
}

void GainsView::showProgress() {
  const bool busy = working();
  m_lblWorking->setText(QStringLiteral("Working out the figures..."));
  m_lblWorking->setVisible(busy);
  // The parts under way, each as far as it has come; those done count whole.
  int sum = 0;
  for (const LedgerWork* work : {m_work, m_valuesWork, m_returnsWork, m_seriesWork})
    sum += work->working() ? work->percent() : 100;
  m_prgWork->setValue(sum / 4);
  m_prgWork->setVisible(busy);
  m_cmdStop->setVisible(busy);
  m_cmdWorkOut->hide();
}

void GainsView::workEnded() {
  showProgress();
  if (!working()) emit figuresShown();
}

void GainsView::showRead(const GainsRead& read) {
  if (read.failure) m_app.prompter().show(*read.failure, MsgIcon::Critical);
  m_report = read.report;
  for (GainsModel* model : m_models) model->setReport(m_report, read.income);
  m_gainsNotes = read.notes;
  // Lots belong to FIFO, Rule to UK, Disallowed to wash sales.
  m_taxRules->showColumns(grid(GainsModel::Table::Sales), m_method);
  for (QTableView* grid : m_grids) grid->resizeColumnsToContents();
  showNotes();
}

void GainsView::hideEvent(QHideEvent* event) {
  // A frame hidden for good is an unloaded window waiting to be deleted:
  // what its work finds would be told of a ledger no longer in sight.
  if (frame() != this && frame()->isHidden()) {
    for (LedgerWork* work : {m_work, m_valuesWork, m_returnsWork, m_seriesWork}) work->stop();
    m_watch->blockSignals(true);
  }
  MdiChild::hideEvent(event);
}

void GainsView::showNotes() {
  // The values' notes repeat what the gains say; each line once.
  QStringList lines;
  for (const auto* notes : {&m_gainsNotes, &m_valuesNotes})
    for (const std::string& note : *notes)
      if (!lines.contains(QString::fromStdString(note))) lines << QString::fromStdString(note);
  m_lblNote->setText(lines.join(QLatin1Char('\n')));
  m_lblNote->setVisible(!lines.isEmpty());
}

void GainsView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    m_host.popupRestoreMenu(ViewTag::Gains);
    return;
  }
  MdiChild::mousePressEvent(event);
}

}  // namespace ledger
