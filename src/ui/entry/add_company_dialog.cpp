#include "ui/entry/add_company_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#include "ui/twips.h"

namespace ledger {

AddCompanyDialog::AddCompanyDialog(AddSymbol add, QMdiArea* area)
    : MdiChild(area, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_addSymbol(std::move(add)) {
  setObjectName(QStringLiteral("frmAddCompany"));
  setWindowTitle(QStringLiteral("Add Company"));

  // The measures below are the window's design; where the font needs more
  // room than they give, the text box, the buttons and the window move
  // right and down so that no caption or line of text is cut off.
  constexpr int kGap = 6;
  auto* label1 = new QLabel(QStringLiteral("Companies' Symbol:"), this);
  label1->setObjectName(QStringLiteral("Label1"));
  label1->adjustSize();
  const int labelRight = twipsToPixelsX(240) + label1->width();
  const int dx = std::max(0, labelRight + kGap - twipsToPixelsX(1800));

  auto* label2 =
      new QLabel(QStringLiteral("Please enter the companies' symbol that you wisht to add to the list bellow."), this);
  label2->setObjectName(QStringLiteral("Label2"));
  label2->setWordWrap(true);
  const QRect text2 = twipsRect(240, 240, 3210, 390);
  const int text2Width = text2.width() + dx;
  const int text2Height = std::max(text2.height(), label2->heightForWidth(text2Width));
  label2->setGeometry(text2.x(), text2.y(), text2Width, text2Height);
  const int dy = text2Height - text2.height();

  label1->move(twipsToPixelsX(240), twipsToPixelsY(960) + 2 + dy);
  m_symbol = new QLineEdit(this);
  m_symbol->setObjectName(QStringLiteral("txtCompanySymbol"));
  placeTwips(m_symbol, 1800, 960, 1695, 285);
  m_symbol->move(m_symbol->x() + dx, m_symbol->y() + dy);
  m_add = new QPushButton(QStringLiteral("&Add"), this);
  m_add->setObjectName(QStringLiteral("cmdAdd"));
  placeTwips(m_add, 2400, 1560, 1095, 375);
  m_add->move(m_add->x() + dx, m_add->y() + dy);
  m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
  m_cancel->setObjectName(QStringLiteral("cmdCancel"));
  placeTwips(m_cancel, 1080, 1560, 1095, 375);
  m_cancel->move(m_cancel->x() + dx, m_cancel->y() + dy);
  // Enter and Escape press neither button.
  m_add->setAutoDefault(false);
  m_cancel->setAutoDefault(false);
  setTabOrder(m_symbol, m_add);
  setTabOrder(m_add, m_cancel);

  connect(m_add, &QPushButton::clicked, this, &AddCompanyDialog::cmdAdd_Click);
  connect(m_cancel, &QPushButton::clicked, this, &AddCompanyDialog::cmdCancel_Click);

  setClientSizeTwips(3810, 2220);
  setFrameGeometryTwips(0, 0, 3930, 2625);
  // The client area holds every control with the design's margins.
  const QSize needed(std::max(width(), m_symbol->geometry().right() + 1 + twipsToPixelsX(315)),
                     std::max(height(), m_add->geometry().bottom() + 1 + twipsToPixelsY(285)));
  if (needed != size()) frame()->resize(frame()->size() + (needed - size()));
  m_symbol->setFocus();
}

void AddCompanyDialog::cmdAdd_Click() {
  const std::string symbol = m_symbol->text().toStdString();
  if (m_addSymbol) m_addSymbol(symbol);
  frame()->close();
}

void AddCompanyDialog::cmdCancel_Click() { frame()->close(); }

}  // namespace ledger
