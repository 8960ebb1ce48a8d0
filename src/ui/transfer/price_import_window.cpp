#include "ui/transfer/price_import_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

#include "engine/db_error.h"

namespace ledger {

namespace {

constexpr int kPreviewRows = 20;

struct DelimiterChoice {
  const char* caption;
  char delimiter;
};
constexpr DelimiterChoice kDelimiters[] = {{"Comma", ','}, {"Semicolon", ';'}, {"Tab", '\t'}};

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

namespace text = price_import_text;

}  // namespace

PriceImportWindow::PriceImportWindow(AppContext& app, ImportInput input, QWidget* parent)
    : QDialog(parent), m_app(app), m_input(std::move(input)), m_flow(app) {
  setObjectName("frmImportPrices");
  setWindowTitle("Import Prices - " + fromStd(m_input.fileName));
  buildWidgets();
  m_loading = true;
  for (const std::string& symbol : m_flow.companies()) m_cboCompany->addItem(fromStd(symbol));
  // A price history is often saved under the company's symbol ("MSFT.csv").
  const QString stem = QFileInfo(fromStd(m_input.fileName)).completeBaseName();
  m_cboCompany->setCurrentIndex(m_cboCompany->findText(stem, Qt::MatchFixedString | Qt::MatchCaseSensitive));
  loadTable();
  applyGuess();
  settleComma();
  m_loading = false;
  replan();
}

void PriceImportWindow::buildWidgets() {
  auto* layout = new QVBoxLayout(this);

  auto* sourceRow = new QHBoxLayout;
  auto* delimiterLabel = new QLabel("D&elimiter:", this);
  sourceRow->addWidget(delimiterLabel);
  m_cboDelimiter = new QComboBox(this);
  m_cboDelimiter->setObjectName("cboDelimiter");
  for (const DelimiterChoice& d : kDelimiters) m_cboDelimiter->addItem(d.caption, QChar::fromLatin1(d.delimiter));
  delimiterLabel->setBuddy(m_cboDelimiter);
  sourceRow->addWidget(m_cboDelimiter);
  m_chkHeader = new QCheckBox("First row holds column &names", this);
  m_chkHeader->setObjectName("chkHeader");
  sourceRow->addWidget(m_chkHeader);
  sourceRow->addStretch(1);
  layout->addLayout(sourceRow);

  m_grdPreview = new QTableWidget(this);
  m_grdPreview->setObjectName("grdPreview");
  m_grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_grdPreview->setMinimumHeight(160);
  layout->addWidget(m_grdPreview, 2);

  auto* columns = new QGroupBox("Columns", this);
  auto* grid = new QGridLayout(columns);
  auto addCombo = [&](const char* caption, const char* name, int row, int col) {
    auto* combo = new QComboBox(columns);
    combo->setObjectName(name);
    auto* label = new QLabel(caption, columns);
    label->setBuddy(combo);
    grid->addWidget(label, row, col);
    grid->addWidget(combo, row, col + 1);
    return combo;
  };
  m_cboDate = addCombo("&Date:", "cboDate", 0, 0);
  m_cboClose = addCombo("C&lose:", "cboClose", 1, 0);
  m_cboSymbol = addCombo("&Symbol:", "cboSymbol", 0, 2);
  m_cboCompany = addCombo("Com&pany of every row:", "cboCompany", 1, 2);
  layout->addWidget(columns);
  for (QComboBox* combo : {m_cboDate, m_cboClose, m_cboSymbol})
    connect(combo, &QComboBox::currentIndexChanged, this, [this, combo] {
      if (m_loading) return;
      if (combo == m_cboDate) m_openDateFormats = m_flow.dateFormatsOf(options().mapping);
      settleComma();
      replan();
    });
  connect(m_cboCompany, &QComboBox::currentIndexChanged, this, [this] {
    if (!m_loading) replan();
  });

  auto* optionRow = new QHBoxLayout;
  auto* dateLabel = new QLabel("Date &format:", this);
  optionRow->addWidget(dateLabel);
  m_cboDateFormat = new QComboBox(this);
  m_cboDateFormat->setObjectName("cboDateFormat");
  for (const DateFormat f : kDateFormats) m_cboDateFormat->addItem(dateFormatName(f), static_cast<int>(f));
  dateLabel->setBuddy(m_cboDateFormat);
  optionRow->addWidget(m_cboDateFormat);
  m_chkDecimalComma = new QCheckBox("Decimal &comma", this);
  m_chkDecimalComma->setObjectName("chkDecimalComma");
  optionRow->addWidget(m_chkDecimalComma);
  optionRow->addStretch(1);
  layout->addLayout(optionRow);

  auto* held = new QGroupBox("A date the ledger has already priced", this);
  auto* heldRow = new QHBoxLayout(held);
  m_optKeep = new QRadioButton("&Keep the ledger's close", held);
  m_optKeep->setObjectName("optKeep");
  m_optReplace = new QRadioButton("&Replace it with the file's", held);
  m_optReplace->setObjectName("optReplace");
  m_optKeep->setChecked(true);
  heldRow->addWidget(m_optKeep);
  heldRow->addWidget(m_optReplace);
  heldRow->addStretch(1);
  layout->addWidget(held);

  m_txtReport = new QPlainTextEdit(this);
  m_txtReport->setObjectName("txtReport");
  m_txtReport->setReadOnly(true);
  m_txtReport->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  layout->addWidget(m_txtReport, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  m_cmdImport = new QPushButton("&Import", this);
  m_cmdImport->setObjectName("cmdImport");
  m_cmdImport->setDefault(true);
  m_cmdCancel = new QPushButton("Cancel", this);
  m_cmdCancel->setObjectName("cmdCancel");
  buttons->addWidget(m_cmdImport);
  buttons->addWidget(m_cmdCancel);
  layout->addLayout(buttons);

  connect(m_cmdImport, &QPushButton::clicked, this, [this] { runImport(); });
  connect(m_cmdCancel, &QPushButton::clicked, this, &PriceImportWindow::reject);
  auto reload = [this] {
    if (m_loading) return;
    m_loading = true;
    loadTable();
    applyGuess();
    settleComma();
    m_loading = false;
    replan();
  };
  connect(m_cboDelimiter, &QComboBox::currentIndexChanged, this, reload);
  connect(m_chkHeader, &QCheckBox::toggled, this, reload);
  connect(m_chkDecimalComma, &QCheckBox::toggled, this, [this] {
    if (!m_loading) replan();
  });
  connect(m_chkDecimalComma, &QCheckBox::clicked, this, [this] { m_commaDecided = true; });
  connect(m_optReplace, &QRadioButton::toggled, this, [this] {
    if (!m_loading) replan();
  });
  // A format the user picks settles dates that fit several alike.
  connect(m_cboDateFormat, &QComboBox::activated, this, [this] {
    m_openDateFormats.clear();
    replan();
  });
  connect(m_cboDateFormat, &QComboBox::currentIndexChanged, this, [this] {
    if (!m_loading) replan();
  });
  resize(720, 640);
}

void PriceImportWindow::loadTable() {
  ImportReading how;
  if (!m_firstRead) {
    // The first reading guesses; later ones follow the user's choices.
    how.delimiter = m_cboDelimiter->currentData().toChar().toLatin1();
    how.hasHeader = m_chkHeader->isChecked();
  }
  ImportTable reading = readImportTable(m_input, how, m_app.prompter());
  if (m_firstRead) {
    for (int i = 0; i < m_cboDelimiter->count(); ++i)
      if (m_cboDelimiter->itemData(i).toChar() == QChar::fromLatin1(reading.delimiter))
        m_cboDelimiter->setCurrentIndex(i);
    m_chkHeader->setChecked(reading.hasHeader);
    m_firstRead = false;
  }
  m_flow.useTable(std::move(reading));
  fillColumnChoices();
}

void PriceImportWindow::fillColumnChoices() {
  const CsvRecord* header = table().header();
  for (QComboBox* combo : {m_cboDate, m_cboClose, m_cboSymbol}) {
    combo->clear();
    combo->addItem("(none)", -1);
    for (std::size_t c = 0; c < table().columnCount; ++c) {
      QString caption = QString::number(c + 1);
      if (header && c < header->size()) caption += ": " + fromStd((*header)[c]);
      combo->addItem(caption, static_cast<int>(c));
    }
  }
}

void PriceImportWindow::selectDateFormat(DateFormat format) {
  m_cboDateFormat->setCurrentIndex(m_cboDateFormat->findData(static_cast<int>(format)));
}

void PriceImportWindow::applyGuess() {
  const PriceGuess guess = m_flow.guess();
  auto select = [](QComboBox* combo, const std::optional<std::size_t>& column) {
    combo->setCurrentIndex(column ? std::max(0, combo->findData(static_cast<int>(*column))) : 0);
  };
  select(m_cboDate, guess.mapping.date);
  select(m_cboClose, guess.mapping.close);
  select(m_cboSymbol, guess.mapping.symbol);
  m_openDateFormats = guess.dateFormats;
  if (!guess.dateFormats.empty()) selectDateFormat(guess.dateFormats.front());
}

void PriceImportWindow::settleComma() {
  if (m_commaDecided) return;
  PriceImportOptions opts = options();
  const CommaSettling comma = m_flow.settleComma(opts, [this](const CommaGuess& guess) {
    return m_app.prompter().show(text::commaQuestion(guess), MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
  });
  if (comma.how == CommaSettled::Unasked) return;
  if (comma.how == CommaSettled::ByAnswer) m_commaDecided = true;
  const bool loading = m_loading;
  m_loading = true;
  m_chkDecimalComma->setChecked(opts.decimalComma);
  m_loading = loading;
}

void PriceImportWindow::fillPreview() {
  const std::size_t first = table().hasHeader ? 1 : 0;
  const std::size_t count = table().records.size();
  const std::size_t rows = std::min<std::size_t>(kPreviewRows, count > first ? count - first : 0);
  // The problem of each row shown, by its row number.
  std::map<std::size_t, std::string> problems;
  for (const RowNote& n : plan().bad) problems[n.row] = "bad " + n.field + ": " + n.reason;
  for (const RowNote& n : plan().kept) problems[n.row] = "kept: " + n.reason;
  for (const RowNote& n : plan().same) problems[n.row] = "already in the ledger";
  const int problemColumn = static_cast<int>(table().columnCount);
  m_grdPreview->clear();
  m_grdPreview->setColumnCount(problemColumn + 1);
  m_grdPreview->setRowCount(static_cast<int>(rows));
  QStringList headers, rowNumbers;
  const CsvRecord* header = table().header();
  for (std::size_t c = 0; c < table().columnCount; ++c)
    headers << QString::number(c + 1) + (header && c < header->size() ? "\n" + fromStd((*header)[c]) : QString());
  headers << "Problem";
  m_grdPreview->setHorizontalHeaderLabels(headers);
  for (std::size_t r = 0; r < rows; ++r) {
    const CsvRecord& record = table().records[first + r];
    const std::size_t row = first + r + 1;
    rowNumbers << QString::number(row);
    for (std::size_t c = 0; c < record.size(); ++c)
      m_grdPreview->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(fromStd(record[c])));
    if (const auto found = problems.find(row); found != problems.end())
      m_grdPreview->setItem(static_cast<int>(r), problemColumn, new QTableWidgetItem(fromStd(found->second)));
  }
  m_grdPreview->setVerticalHeaderLabels(rowNumbers);
  m_grdPreview->resizeColumnsToContents();
}

PriceImportOptions PriceImportWindow::options() const {
  PriceImportOptions options;
  auto column = [](const QComboBox* combo) -> std::optional<std::size_t> {
    const int col = combo->currentData().toInt();
    if (col < 0 || combo->currentIndex() < 0) return std::nullopt;
    return static_cast<std::size_t>(col);
  };
  options.mapping = {column(m_cboSymbol), column(m_cboDate), column(m_cboClose)};
  if (!options.mapping.symbol) options.symbol = m_cboCompany->currentText().toStdString();
  options.dateFormat = static_cast<DateFormat>(m_cboDateFormat->currentData().toInt());
  options.decimalComma = m_chkDecimalComma->isChecked();
  options.hasHeader = table().hasHeader;
  options.replaceHeld = m_optReplace->isChecked();
  return options;
}

void PriceImportWindow::replan() {
  const PriceImportOptions opts = options();
  m_cboCompany->setEnabled(!opts.mapping.symbol);
  m_flow.dropPreview();
  QStringList lines;
  bool ready = table().unreadable.empty() && !table().endsInsideQuotes;
  if (!table().unreadable.empty()) lines << fromStd(table().unreadable);
  if (table().readAsWindows1252) lines << "The file is not UTF-8; it is read as Windows-1252 text.";
  if (table().endsInsideQuotes) lines << "The file ends inside a quoted field: a closing quote is missing.";
  const std::string missing = missingPriceFields(opts);
  if (!missing.empty()) {
    lines << fromStd(missing);
    ready = false;
  } else if (table().unreadable.empty()) {
    if (m_openDateFormats.size() > 1) {
      lines << fromStd(text::ambiguousDates(table(), *opts.mapping.date, m_openDateFormats));
      ready = false;
    }
    const PricePlan& shown = m_flow.preview(opts);
    for (const std::string& line : priceReportLines(shown)) lines << fromStd(line);
    ready = ready && !shown.blocked() && !shown.prices.empty();
  }
  fillPreview();
  m_txtReport->setPlainText(lines.join('\n'));
  m_cmdImport->setEnabled(ready);
}

bool PriceImportWindow::runImport() {
  if (!m_cmdImport->isEnabled()) return false;
  m_cmdImport->setEnabled(false);
  PriceImportRun run;
  try {
    // Checked against the ledger as it stands inside the writing
    // transaction: another copy of the program may have written meanwhile.
    run = m_flow.write(options());
  } catch (const DbError& e) {
    m_cmdImport->setEnabled(true);
    m_app.prompter().show(text::failed(e.what()), MsgIcon::Critical);
    return false;
  }
  if (run.outcome == ImportOutcome::LedgerChanged) {
    replan();
    m_txtReport->setPlainText(text::kLedgerChanged + ("\n" + m_txtReport->toPlainText()));
    m_app.prompter().show(std::string(text::kLedgerChanged) + kNewLine + kNewLine +
                              "Nothing was written. Press Import again to import what the new preview lists.",
                          MsgIcon::Information);
    return false;
  }
  if (run.outcome != ImportOutcome::Written) {
    replan();
    m_app.prompter().show(text::kNothingImported, MsgIcon::Information);
    return false;
  }
  const std::size_t count = run.plan.prices.size();
  emit imported(static_cast<int>(count));
  std::string done = text::imported(count);
  if (!run.plan.closeNote.empty()) done += std::string(kNewLine) + kNewLine + run.plan.closeNote;
  m_app.prompter().show(done, MsgIcon::Information);
  accept();
  return true;
}

}  // namespace ledger
