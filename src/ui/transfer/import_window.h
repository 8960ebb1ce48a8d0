#pragma once
// The window that maps a CSV file (or a table of an older ledger) onto
// trades: a preview, the delimiter and header, a column for each field,
// the date format and number options, and the report of every row. Import
// writes the plan in one transaction; a long import shows its progress and
// can be cancelled, and a cancelled import writes nothing.

#include <QDialog>

#include <vector>

#include "app/app_context.h"
#include "app/import_flow.h"
#include "app/import_input.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace ledger {

class ImportWindow : public QDialog {
  Q_OBJECT
 public:
  // Above this many trades the import shows a progress bar with Cancel.
  static constexpr std::size_t kProgressThreshold = 3000;

  // Imports into the session's open ledger. Reads the ledger's companies
  // and trades for the checks. Throws DbError when the ledger cannot be
  // read.
  ImportWindow(AppContext& app, ImportInput input, QWidget* parent = nullptr);

  const ImportPlan& plan() const { return m_flow.shownPlan(); }
  const ImportTable& table() const { return m_flow.table(); }
  ImportOptions options() const;

  // Writes the plan (the Import button). Returns true when it was written.
  bool runImport();
  // Cancel on the progress bar while an import runs.
  void cancelImport() { m_cancelRequested = true; }
  // Closing the window while an import runs cancels the import.
  void reject() override;

 signals:
  // The trades were written; the ledger's windows should read it again.
  void imported(int count);

 private:
  void buildWidgets();
  void loadTable();
  void fillColumnChoices();
  void applyRememberedOrGuessed();
  // Ticks or clears Decimal comma where numbers such as 1,250 could be
  // read either way: as the file settles it, else as the user answers.
  void settleComma();
  void fillPreview();
  void replan();

  AppContext& m_app;
  ImportInput m_input;
  ImportFlow m_flow;
  bool m_cancelRequested = false;
  bool m_running = false;
  bool m_firstRead = true;
  bool m_loading = false;
  // The user ticked or cleared Decimal comma, or answered the question.
  bool m_commaDecided = false;

  QComboBox* m_cboTable = nullptr;
  QComboBox* m_cboDelimiter = nullptr;
  QCheckBox* m_chkHeader = nullptr;
  QTableWidget* m_grdPreview = nullptr;
  std::vector<QComboBox*> m_fieldColumns;  // one per ImportField
  QComboBox* m_cboDateFormat = nullptr;
  QCheckBox* m_chkDecimalComma = nullptr;
  QCheckBox* m_chkSideFromSign = nullptr;
  QCheckBox* m_chkKeepDuplicates = nullptr;
  QCheckBox* m_chkDropBad = nullptr;
  QPlainTextEdit* m_txtReport = nullptr;
  QProgressBar* m_prgImport = nullptr;
  QPushButton* m_cmdImport = nullptr;
  QPushButton* m_cmdCancel = nullptr;
};

}  // namespace ledger
