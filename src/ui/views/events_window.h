#pragma once
// frmEvents: one company's splits and dividends, listed by date, and the
// boxes to add, change and delete them. A row picked fills the boxes;
// Change puts the boxes' values in place of the picked row. While a split
// is typed the window shows what it would leave of the holding. What is
// refused, asked and read again is the core's (app/event_flows.h).

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <string>

#include "app/app_context.h"
#include "app/event_flows.h"
#include "ui/mdi_child.h"
#include "ui/views/view_host.h"

namespace ledger {

class EventsWindow : public MdiChild {
  Q_OBJECT
 public:
  // Empty until showCompany; stands beside the entry form, the split's
  // date box taking the keys. app, flows and host must outlive the window.
  EventsWindow(AppContext& app, EventFlows& flows, ViewHost& host, QMdiArea* area = nullptr);

  QString company() const { return m_cboSymbol->currentText(); }
  // Lists symbol's events, or the first company's when the ledger has no
  // such company; the list of companies is read again. A ledger that
  // cannot be read is reported; the lists then stay empty.
  void showCompany(const std::string& symbol);
  // Lists the shown company's events again, keeping the picked rows.
  void reload();
  // The Add, Change and Delete buttons: off while the ledger is read-only.
  void allowChanges(bool allowed);

 private:
  QWidget* buildSplits();
  QWidget* buildDividends();
  QPushButton* addButton(QLayout* row, const char* caption, const char* name, void (EventsWindow::*click)());
  void list();
  void showSplitHolding();
  void splitPicked();
  void dividendPicked();
  void addSplit();
  void changeSplit();
  void deleteSplit();
  DividendText typedDividend() const;
  void addDividend();
  void changeDividend();
  void deleteDividend();
  // The picked row's event; nullptr when none is picked.
  const StockSplit* pickedSplit() const;
  const CashDividend* pickedDividend() const;

  AppContext& m_app;
  EventFlows& m_flows;
  CompanyEvents m_events;
  QComboBox* m_cboSymbol = nullptr;
  QTableWidget* m_grdSplits = nullptr;
  QLineEdit* m_txtSplitDate = nullptr;
  QLineEdit* m_txtRatio = nullptr;
  QLabel* m_lblHolding = nullptr;
  QTableWidget* m_grdDividends = nullptr;
  QLineEdit* m_txtDividendDate = nullptr;
  QLineEdit* m_txtGross = nullptr;
  QLineEdit* m_txtWithheld = nullptr;
  QLineEdit* m_txtSharesBought = nullptr;
  QLineEdit* m_txtPrice = nullptr;
  QList<QPushButton*> m_changeButtons;
};

}  // namespace ledger
