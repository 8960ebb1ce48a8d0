#pragma once
// The window that maps a CSV file of closing prices: a preview whose last
// column names each row's problem, the delimiter and header, the date,
// close and symbol columns (or the company of the whole file), the date
// format, the decimal comma, whether a date already priced keeps the
// ledger's close or takes the file's, and the report of every row. Import
// writes every price or none, as one undo step.

#include <QDialog>

#include "app/app_context.h"
#include "app/import_input.h"
#include "app/price_import_flow.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace ledger {

class PriceImportWindow : public QDialog {
  Q_OBJECT
 public:
  // Imports into the session's open ledger, whose companies and prices are
  // read for the checks. Throws DbError when the ledger cannot be read.
  PriceImportWindow(AppContext& app, ImportInput input, QWidget* parent = nullptr);

  const PricePlan& plan() const { return m_flow.shownPlan(); }
  const ImportTable& table() const { return m_flow.table(); }
  PriceImportOptions options() const;

  // Writes the plan (the Import button). Returns true when it was written.
  bool runImport();

 signals:
  // The prices were written; Undo offers to take them back.
  void imported(int count);

 private:
  void buildWidgets();
  void loadTable();
  void fillColumnChoices();
  void applyGuess();
  void settleComma();
  void fillPreview();
  void replan();
  void selectDateFormat(DateFormat format);

  AppContext& m_app;
  ImportInput m_input;
  PriceImportFlow m_flow;
  bool m_firstRead = true;
  bool m_loading = false;
  bool m_commaDecided = false;
  // The dates fit several formats alike and the user has not chosen one.
  std::vector<DateFormat> m_openDateFormats;

  QComboBox* m_cboDelimiter = nullptr;
  QCheckBox* m_chkHeader = nullptr;
  QTableWidget* m_grdPreview = nullptr;
  QComboBox* m_cboSymbol = nullptr;
  QComboBox* m_cboDate = nullptr;
  QComboBox* m_cboClose = nullptr;
  QComboBox* m_cboCompany = nullptr;
  QComboBox* m_cboDateFormat = nullptr;
  QCheckBox* m_chkDecimalComma = nullptr;
  QRadioButton* m_optKeep = nullptr;
  QRadioButton* m_optReplace = nullptr;
  QPlainTextEdit* m_txtReport = nullptr;
  QPushButton* m_cmdImport = nullptr;
  QPushButton* m_cmdCancel = nullptr;
};

}  // namespace ledger
