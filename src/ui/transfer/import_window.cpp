#include "ui/transfer/import_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/import_memory.h"
#include "engine/db_error.h"

namespace ledger {

namespace {

constexpr int kPreviewRows = 20;

constexpr const char* kLedgerChangedNote =
    "The ledger was changed since the preview (by another copy of the program, say); the preview now shows it "
    "as it is.";

constexpr const char* kFieldLabels[] = {"&Symbol:", "&Date:",       "&Buy/sell:", "&Quantity:",
                                        "&Price:",  "Co&mmission:", "Dividend &amount:", "&Withholding:"};
constexpr const char* kFieldObjects[] = {"cboSymbol", "cboDate",       "cboSide",   "cboQuantity",
                                         "cboPrice",  "cboCommission", "cboAmount", "cboWithholding"};

struct DelimiterChoice {
  const char* caption;
  char delimiter;
};
constexpr DelimiterChoice kDelimiters[] = {{"Comma", ','}, {"Semicolon", ';'}, {"Tab", '\t'}};

QString fromStd(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

ImportWindow::ImportWindow(AppContext& app, ImportInput input, QWidget* parent)
    : QDialog(parent),
      m_app(app),
      m_input(std::move(input)),
      m_flow(app) {
  setObjectName("frmImport");
  setWindowTitle("Import Trades - " + fromStd(m_input.fileName));
  buildWidgets();
  m_loading = true;
  for (const std::string& name : m_input.tableNames) m_cboTable->addItem(fromStd(name));
  loadTable();
  applyRememberedOrGuessed();
  settleComma();
  m_loading = false;
  replan();
}

void ImportWindow::buildWidgets() {
  auto* layout = new QVBoxLayout(this);

  auto* sourceRow = new QHBoxLayout;
  if (m_input.fromTables()) {
    sourceRow->addWidget(new QLabel("&Table:", this));
    m_cboTable = new QComboBox(this);
    m_cboTable->setObjectName("cboTable");
    static_cast<QLabel*>(sourceRow->itemAt(0)->widget())->setBuddy(m_cboTable);
    sourceRow->addWidget(m_cboTable, 1);
  } else {
    auto* label = new QLabel("D&elimiter:", this);
    sourceRow->addWidget(label);
    m_cboDelimiter = new QComboBox(this);
    m_cboDelimiter->setObjectName("cboDelimiter");
    for (const DelimiterChoice& d : kDelimiters) m_cboDelimiter->addItem(d.caption, QChar::fromLatin1(d.delimiter));
    label->setBuddy(m_cboDelimiter);
    sourceRow->addWidget(m_cboDelimiter);
    m_chkHeader = new QCheckBox("First row holds column &names", this);
    m_chkHeader->setObjectName("chkHeader");
    sourceRow->addWidget(m_chkHeader);
    sourceRow->addStretch(1);
  }
  layout->addLayout(sourceRow);

  m_grdPreview = new QTableWidget(this);
  m_grdPreview->setObjectName("grdPreview");
  m_grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_grdPreview->setMinimumHeight(160);
  layout->addWidget(m_grdPreview, 2);

  auto* columns = new QGroupBox("Columns", this);
  auto* grid = new QGridLayout(columns);
  for (std::size_t f = 0; f < kImportFieldCount; ++f) {
    auto* combo = new QComboBox(columns);
    combo->setObjectName(kFieldObjects[f]);
    auto* label = new QLabel(kFieldLabels[f], columns);
    label->setBuddy(combo);
    const int row = static_cast<int>(f % 3), col = static_cast<int>(f / 3) * 2;
    grid->addWidget(label, row, col);
    grid->addWidget(combo, row, col + 1);
    m_fieldColumns.push_back(combo);
    connect(combo, &QComboBox::currentIndexChanged, this, [this] {
      if (m_loading) return;
      settleComma();
      replan();
    });
  }
  layout->addWidget(columns);

  auto* options = new QHBoxLayout;
  auto* dateLabel = new QLabel("Date &format:", this);
  options->addWidget(dateLabel);
  m_cboDateFormat = new QComboBox(this);
  m_cboDateFormat->setObjectName("cboDateFormat");
  for (const DateFormat f : kDateFormats) m_cboDateFormat->addItem(dateFormatName(f), static_cast<int>(f));
  dateLabel->setBuddy(m_cboDateFormat);
  options->addWidget(m_cboDateFormat);
  m_chkDecimalComma = new QCheckBox("Decimal &comma", this);
  m_chkDecimalComma->setObjectName("chkDecimalComma");
  m_chkSideFromSign = new QCheckBox("Buy/sell from the &sign of the quantity", this);
  m_chkSideFromSign->setObjectName("chkSideFromSign");
  options->addWidget(m_chkDecimalComma);
  options->addWidget(m_chkSideFromSign);
  options->addStretch(1);
  layout->addLayout(options);

  auto* keep = new QHBoxLayout;
  m_chkKeepDuplicates = new QCheckBox("&Keep trades already in the ledger", this);
  m_chkKeepDuplicates->setObjectName("chkKeepDuplicates");
  m_chkDropBad = new QCheckBox("&Leave out the bad rows", this);
  m_chkDropBad->setObjectName("chkDropBad");
  keep->addWidget(m_chkKeepDuplicates);
  keep->addWidget(m_chkDropBad);
  keep->addStretch(1);
  layout->addLayout(keep);

  m_txtReport = new QPlainTextEdit(this);
  m_txtReport->setObjectName("txtReport");
  m_txtReport->setReadOnly(true);
  m_txtReport->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(m_txtReport, 1);

  auto* buttons = new QHBoxLayout;
  m_prgImport = new QProgressBar(this);
  m_prgImport->setObjectName("prgImport");
  m_prgImport->hide();
  buttons->addWidget(m_prgImport, 1);
  buttons->addStretch(0);
  m_cmdImport = new QPushButton("&Import", this);
  m_cmdImport->setObjectName("cmdImport");
  m_cmdImport->setDefault(true);
  m_cmdCancel = new QPushButton("Cancel", this);
  m_cmdCancel->setObjectName("cmdCancel");
  buttons->addWidget(m_cmdImport);
  buttons->addWidget(m_cmdCancel);
  layout->addLayout(buttons);

  connect(m_cmdImport, &QPushButton::clicked, this, [this] { runImport(); });
  connect(m_cmdCancel, &QPushButton::clicked, this, &ImportWindow::reject);
  auto reload = [this] {
    if (m_loading) return;
    m_loading = true;
    loadTable();
    applyRememberedOrGuessed();
    settleComma();
    m_loading = false;
    replan();
  };
  if (m_cboTable) connect(m_cboTable, &QComboBox::currentIndexChanged, this, reload);
  if (m_cboDelimiter) connect(m_cboDelimiter, &QComboBox::currentIndexChanged, this, reload);
  if (m_chkHeader) connect(m_chkHeader, &QCheckBox::toggled, this, reload);
  for (QCheckBox* box : {m_chkDecimalComma, m_chkSideFromSign, m_chkKeepDuplicates, m_chkDropBad})
    connect(box, &QCheckBox::toggled, this, [this] {
      if (!m_loading) replan();
    });
  connect(m_chkDecimalComma, &QCheckBox::clicked, this, [this] { m_commaDecided = true; });
  connect(m_cboDateFormat, &QComboBox::currentIndexChanged, this, [this] {
    if (!m_loading) replan();
  });
  resize(760, 620);
}

void ImportWindow::loadTable() {
  ImportReading how;
  if (m_input.fromTables()) {
    how.table = m_cboTable->currentText().toStdString();
  } else if (!m_firstRead) {
    // The first reading guesses; later ones follow the user's choices.
    how.delimiter = m_cboDelimiter->currentData().toChar().toLatin1();
    how.hasHeader = m_chkHeader->isChecked();
  }
  ImportTable reading = readImportTable(m_input, how, m_app.prompter());
  if (!m_input.fromTables() && m_firstRead) {
    for (int i = 0; i < m_cboDelimiter->count(); ++i)
      if (m_cboDelimiter->itemData(i).toChar() == QChar::fromLatin1(reading.delimiter))
        m_cboDelimiter->setCurrentIndex(i);
    m_chkHeader->setChecked(reading.hasHeader);
    m_firstRead = false;
  }
  m_flow.useTable(std::move(reading));
  fillColumnChoices();
  fillPreview();
}

void ImportWindow::fillColumnChoices() {
  const CsvRecord* header = table().header();
  for (QComboBox* combo : m_fieldColumns) {
    combo->clear();
    combo->addItem("(none)", -1);
    for (std::size_t c = 0; c < table().columnCount; ++c) {
      QString caption = QString::number(c + 1);
      if (header && c < header->size()) caption += ": " + fromStd((*header)[c]);
      combo->addItem(caption, static_cast<int>(c));
    }
  }
}

void ImportWindow::applyRememberedOrGuessed() {
  const CsvRecord* header = table().header();
  ImportMapping mapping;
  bool remembered = false;
  if (header) {
    if (const auto recalled = recallImport(m_app.settings().file(), *header)) {
      mapping = recalled->mapping;
      remembered = true;
      if (recalled->dateFormat)
        m_cboDateFormat->setCurrentIndex(m_cboDateFormat->findData(static_cast<int>(*recalled->dateFormat)));
      m_chkDecimalComma->setChecked(recalled->decimalComma);
      m_chkSideFromSign->setChecked(recalled->sideFromSign);
    } else {
      mapping = guessMapping(*header);
    }
  }
  for (std::size_t f = 0; f < kImportFieldCount; ++f) {
    const auto& col = mapping.columns[f];
    const int index = col ? m_fieldColumns[f]->findData(static_cast<int>(*col)) : 0;
    m_fieldColumns[f]->setCurrentIndex(std::max(0, index));
  }
  if (!remembered) {
    if (const auto& dateColumn = mapping[ImportField::Date])
      if (const auto guessed = guessColumnDateFormat(table(), *dateColumn))
        m_cboDateFormat->setCurrentIndex(m_cboDateFormat->findData(static_cast<int>(*guessed)));
    // Without a buy/sell column the sign of the quantity is the side.
    m_chkSideFromSign->setChecked(!mapping[ImportField::Side].has_value() && mapping[ImportField::Quantity]);
  }
}

void ImportWindow::settleComma() {
  if (m_commaDecided) return;
  ImportOptions opts = options();
  const CommaSettling comma = m_flow.settleComma(opts, [this](const CommaGuess& guess) {
    const auto reading = [&](bool decimalComma) {
      const std::optional<double> value = readAmount(guess.example, decimalComma);
      return value ? formatNumber(*value) : std::string("?");
    };
    return m_app.prompter().show("The column \"" + guess.column + "\" holds numbers such as " + guess.example +
                                     ", and the file does not say whether its comma is a decimal comma (" +
                                     reading(true) + ") or a thousands separator (" + reading(false) + ")." +
                                     kNewLine + kNewLine + "Is it a decimal comma?",
                                 MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes;
  });
  if (comma.how == CommaSettled::Unasked) return;
  if (comma.how == CommaSettled::ByAnswer) m_commaDecided = true;
  const bool loading = m_loading;
  m_loading = true;
  m_chkDecimalComma->setChecked(opts.decimalComma);
  m_loading = loading;
}

void ImportWindow::fillPreview() {
  const std::size_t first = table().hasHeader ? 1 : 0;
  const std::size_t count = table().records.size();
  const std::size_t rows = std::min<std::size_t>(kPreviewRows, count > first ? count - first : 0);
  m_grdPreview->clear();
  m_grdPreview->setColumnCount(static_cast<int>(table().columnCount));
  m_grdPreview->setRowCount(static_cast<int>(rows));
  QStringList headers, rowNumbers;
  const CsvRecord* header = table().header();
  for (std::size_t c = 0; c < table().columnCount; ++c)
    headers << QString::number(c + 1) + (header && c < header->size() ? "\n" + fromStd((*header)[c]) : QString());
  m_grdPreview->setHorizontalHeaderLabels(headers);
  for (std::size_t r = 0; r < rows; ++r) {
    const CsvRecord& record = table().records[first + r];
    rowNumbers << QString::number(first + r + 1);
    for (std::size_t c = 0; c < record.size(); ++c)
      m_grdPreview->setItem(static_cast<int>(r), static_cast<int>(c), new QTableWidgetItem(fromStd(record[c])));
  }
  m_grdPreview->setVerticalHeaderLabels(rowNumbers);
  m_grdPreview->resizeColumnsToContents();
}

ImportOptions ImportWindow::options() const {
  ImportOptions options;
  for (std::size_t f = 0; f < kImportFieldCount; ++f) {
    const int col = m_fieldColumns[f]->currentData().toInt();
    if (col >= 0) options.mapping.columns[f] = static_cast<std::size_t>(col);
  }
  options.dateFormat = static_cast<DateFormat>(m_cboDateFormat->currentData().toInt());
  options.decimalComma = m_chkDecimalComma->isChecked();
  options.sideFromSign = m_chkSideFromSign->isChecked();
  options.hasHeader = table().hasHeader;
  options.keepDuplicates = m_chkKeepDuplicates->isChecked();
  options.dropBadRows = m_chkDropBad->isChecked();
  return options;
}

void ImportWindow::replan() {
  const ImportOptions opts = options();
  if (!table().unreadable.empty()) {
    m_flow.dropPreview();
    m_txtReport->setPlainText(fromStd(table().unreadable));
    m_cmdImport->setEnabled(false);
    return;
  }
  QStringList lines;
  if (table().readAsWindows1252) lines << "The file is not UTF-8; it is read as Windows-1252 text.";
  if (table().endsInsideQuotes) lines << "The file ends inside a quoted field: a closing quote is missing.";
  const std::string missing = missingFields(opts);
  m_flow.dropPreview();
  if (!missing.empty()) {
    lines << fromStd(missing);
  } else {
    for (const std::string& line : reportLines(m_flow.preview(opts))) lines << fromStd(line);
  }
  m_txtReport->setPlainText(lines.join('\n'));
  m_cmdImport->setEnabled(missing.empty() && !table().endsInsideQuotes && !plan().blocked() &&
                          !(plan().trades.empty() && plan().dividends.empty()));
}

bool ImportWindow::runImport() {
  if (m_running || !m_cmdImport->isEnabled()) return false;
  const std::size_t count = plan().trades.size();
  const std::string written = importCountText(plan()) + (count == 1 && plan().dividends.empty() ? " was" : " were");
  const bool showProgress = count > kProgressThreshold;
  m_cancelRequested = false;
  m_running = true;
  m_cmdImport->setEnabled(false);
  ImportProgress progress;
  if (showProgress) {
    m_prgImport->setRange(0, static_cast<int>(count));
    m_prgImport->setValue(0);
    m_prgImport->show();
    progress = [this](std::size_t done, std::size_t) {
      m_prgImport->setValue(static_cast<int>(done));
      // Lets the Cancel button be pressed while the rows are written.
      QCoreApplication::processEvents();
      return !m_cancelRequested;
    };
  }
  ImportOutcome outcome = ImportOutcome::Cancelled;
  std::string why;
  try {
    // Checked against the ledger as it stands inside the writing
    // transaction: another copy of the program may have written meanwhile.
    outcome = m_flow.write(options(), progress).outcome;
  } catch (const DbError& e) {
    why = e.what();
  }
  m_running = false;
  m_prgImport->hide();
  if (!why.empty()) {
    m_cmdImport->setEnabled(true);
    m_app.prompter().show("The trades could not be imported; nothing was written." + std::string(kNewLine) +
                              kNewLine + why,
                          MsgIcon::Critical);
    return false;
  }
  if (outcome == ImportOutcome::LedgerChanged) {
    replan();
    m_txtReport->setPlainText(kLedgerChangedNote + ("\n" + m_txtReport->toPlainText()));
    m_app.prompter().show(std::string(kLedgerChangedNote) + kNewLine + kNewLine +
                              "Nothing was written. Press Import again to import what the new preview lists.",
                          MsgIcon::Information);
    return false;
  }
  if (outcome != ImportOutcome::Written) {
    m_cmdImport->setEnabled(true);
    m_app.prompter().show("The import was cancelled; nothing was written.", MsgIcon::Information);
    return false;
  }
  if (const CsvRecord* header = table().header()) rememberImport(m_app.settings().file(), *header, options());
  emit imported(static_cast<int>(count));
  m_app.prompter().show(written + " imported.", MsgIcon::Information);
  accept();
  return true;
}

void ImportWindow::reject() {
  if (m_running) {
    cancelImport();
    return;
  }
  QDialog::reject();
}

}  // namespace ledger
