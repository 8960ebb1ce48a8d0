#pragma once
// frmPrices: one company's closing prices, listed by date, and the boxes
// to add, change and delete one. A row picked fills the boxes; Change puts
// the boxes' values in place of the picked row. What is refused, asked and
// read again is the core's (app/price_flows.h).

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/price_flows.h"
#include "ui/mdi_child.h"
#include "ui/views/view_host.h"

namespace ledger {

class PricesWindow : public MdiChild {
  Q_OBJECT
 public:
  // Empty until showCompany; stands beside the entry form, the date box
  // taking the keys. app, flows and host must outlive the window.
  PricesWindow(AppContext& app, PriceFlows& flows, ViewHost& host, QMdiArea* area = nullptr);

  QString company() const { return m_cboSymbol->currentText(); }
  // Lists symbol's prices, or the first company's when the ledger has no
  // such company; the list of companies is read again. A ledger that
  // cannot be read is reported; the list then stays empty.
  void showCompany(const std::string& symbol);
  // Lists the shown company's prices again, keeping the picked row.
  void reload();
  // The Add, Change and Delete buttons: off while the ledger is read-only.
  void allowChanges(bool allowed);

 private:
  QPushButton* addButton(QLayout* row, const char* caption, const char* name, void (PricesWindow::*click)());
  void list();
  void pricePicked();
  void addPrice();
  void changePrice();
  void deletePrice();
  // The picked row's price; nullptr when none is picked.
  const ClosePrice* pickedPrice() const;

  AppContext& m_app;
  PriceFlows& m_flows;
  std::vector<ClosePrice> m_prices;
  QComboBox* m_cboSymbol = nullptr;
  QTableWidget* m_grdPrices = nullptr;
  QLineEdit* m_txtDate = nullptr;
  QLineEdit* m_txtClose = nullptr;
  QList<QPushButton*> m_changeButtons;
};

}  // namespace ledger
