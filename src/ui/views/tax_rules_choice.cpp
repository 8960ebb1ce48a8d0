#include "tax_rules_choice.h"

namespace ledger {

namespace {

// The sales grid's columns (ui/views/gains_model.cpp).
constexpr int kLotsColumn = 6;
constexpr int kRuleColumn = 8;
constexpr int kDisallowedColumn = 9;

}  // namespace

TaxRulesChoice::TaxRulesChoice(QWidget* view, QBoxLayout* row) : QObject(view) {
  m_optUk = new QRadioButton(QStringLiteral("&UK (same day, 30 days, pool)"), view);
  m_optUk->setObjectName("optUk");
  m_chkWashSales = new QCheckBox(QStringLiteral("&Wash sales"), view);
  m_chkWashSales->setObjectName("chkWashSales");
  m_chkWashSales->setToolTip(QStringLiteral("US wash-sale rule: losses replaced within 30 days are disallowed (FIFO only)"));
  m_chkUkTaxYears = new QCheckBox(QStringLiteral("UK &tax years"), view);
  m_chkUkTaxYears->setObjectName("chkUkTaxYears");
  m_chkUkTaxYears->setToolTip(QStringLiteral("Gains by Year from 6 April to 5 April"));
  row->addWidget(m_optUk);
  row->addSpacing(12);
  row->addWidget(m_chkWashSales);
  row->addWidget(m_chkUkTaxYears);
  connect(m_chkWashSales, &QCheckBox::toggled, this, &TaxRulesChoice::changed);
  connect(m_chkUkTaxYears, &QCheckBox::toggled, this, &TaxRulesChoice::changed);
}

GainsRules TaxRulesChoice::rules(CostMethod method) const {
  return {method, method == CostMethod::Fifo && m_chkWashSales->isChecked(),
          m_chkUkTaxYears->isChecked() ? TaxYears::Uk : TaxYears::Calendar};
}

void TaxRulesChoice::showMethod(CostMethod method) { m_chkWashSales->setEnabled(method == CostMethod::Fifo); }

void TaxRulesChoice::showColumns(QTableView* sales, CostMethod method) const {
  sales->setColumnHidden(kLotsColumn, method != CostMethod::Fifo);
  sales->setColumnHidden(kRuleColumn, method != CostMethod::Uk);
  sales->setColumnHidden(kDisallowedColumn, !rules(method).washSales);
}

}  // namespace ledger
