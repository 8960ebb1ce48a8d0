#include "ui/entry/add_company_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/twips.h"

namespace ledger {

AddCompanyDialog::AddCompanyDialog(AddSymbol add, QMdiArea* area)
    : MdiChild(area, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_addSymbol(std::move(add)) {
  setObjectName(QStringLiteral("frmAddCompany"));
  setWindowTitle(QStringLiteral("Add Company"));

  auto* label1 = new QLabel(QStringLiteral("Companies' Symbol:"), this);
  label1->setObjectName(QStringLiteral("Label1"));
  label1->adjustSize();
  label1->move(twipsToPixelsX(240), twipsToPixelsY(960) + 2);
  m_symbol = new QLineEdit(this);
  m_symbol->setObjectName(QStringLiteral("txtCompanySymbol"));
  placeTwips(m_symbol, 1800, 960, 1695, 285);
  m_add = new QPushButton(QStringLiteral("&Add"), this);
  m_add->setObjectName(QStringLiteral("cmdAdd"));
  placeTwips(m_add, 2400, 1560, 1095, 375);
  auto* label2 =
      new QLabel(QStringLiteral("Please enter the companies' symbol that you wisht to add to the list bellow."), this);
  label2->setObjectName(QStringLiteral("Label2"));
  label2->setWordWrap(true);
  placeTwips(label2, 240, 240, 3210, 390);
  m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  m_cancel->setObjectName(QStringLiteral("cmdCancel"));
  placeTwips(m_cancel, 1080, 1560, 1095, 375);
  // Enter and Escape press neither button.
  m_add->setAutoDefault(false);
  m_cancel->setAutoDefault(false);
  setTabOrder(m_symbol, m_add);
  setTabOrder(m_add, m_cancel);

  connect(m_add, &QPushButton::clicked, this, &AddCompanyDialog::cmdAdd_Click);
  connect(m_cancel, &QPushButton::clicked, this, &AddCompanyDialog::cmdCancel_Click);

  setClientSizeTwips(3810, 2220);
  setFrameGeometryTwips(0, 0, 3930, 2625);
  m_symbol->setFocus();
}

void AddCompanyDialog::cmdAdd_Click() {
  const std::string symbol = m_symbol->text().toStdString();
  if (m_addSymbol) m_addSymbol(symbol);
  frame()->close();
}

void AddCompanyDialog::cmdCancel_Click() { frame()->close(); }

}  // namespace ledger
