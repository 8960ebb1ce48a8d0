// The entry form's controls and where they stand, in twips.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolBar>

#include "ui/entry/entry_form.h"
#include "ui/pictures.h"
#include "ui/twips.h"

namespace ledger {

namespace {

constexpr int kLabelLeft = 120;
constexpr int kBoxLeft = 1680;
constexpr int kBoxWidth = 2775;
constexpr int kBoxHeight = 285;

// A label in the row of box, as tall as the box so their texts line up.
QLabel* addLabel(QWidget* parent, const QString& text, const QWidget* box) {
  auto* label = new QLabel(text, parent);
  placeTwips(label, kLabelLeft, 0, kBoxLeft - kLabelLeft - 60, kBoxHeight);
  label->setGeometry(label->x(), box->y(), label->width(), box->height());
  return label;
}

}  // namespace

void EntryForm::placeOnPage(QWidget* w, int left, int top, int width, int height) const {
  placeTwips(w, left, top - m_pageOffsetTwips, width, height);
}

QLineEdit* EntryForm::addBox(QWidget* parent, const QString& column, int tab, int top) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(column);
  box->setReadOnly(true);
  placeTwips(box, kBoxLeft, top, kBoxWidth, kBoxHeight);
  m_boxes.insert({column, tab}, box);
  return box;
}

QToolBar* EntryForm::addNavigation(QWidget* page, const QString& frameName, const QString& barName, int top) {
  auto* frame = new QGroupBox(QStringLiteral("Navigation"), page);
  frame->setObjectName(frameName);
  placeOnPage(frame, 5040, top, 2055, 650);
  auto* bar = new QToolBar(frame);
  bar->setObjectName(barName);
  bar->setIconSize(kPictureSize);
  const struct {
    const char* key;
    PictureId picture;
  } buttons[] = {{"First", PictureId::First},
                 {"Previous", PictureId::Previous},
                 {"Next", PictureId::Next},
                 {"Last", PictureId::Last}};
  for (const auto& b : buttons) {
    QAction* action = bar->addAction(picture(b.picture), QString::fromLatin1(b.key));
    action->setObjectName(QString::fromLatin1(b.key));
    action->setToolTip(QString::fromLatin1(b.key));
  }
  placeTwips(bar, 240, 240, 1695, 315);
  return bar;
}

void EntryForm::buildGeneralTab(QWidget* page) {
  auto* info = new QGroupBox(QStringLiteral("Companie's Info"), page);
  info->setObjectName(QStringLiteral("Frame2"));
  placeOnPage(info, 240, 600, 4575, 3975);
  const struct {
    const char* label;
    const char* column;
    int top;
  } rows[] = {{"CompanyID:", "CompanyID", 480},   {"Company Symbol:", "CompanySymbol", 960},
              {"Trade Date:", "Date", 1440},      {"Quantity:", "Quantity", 1920},
              {"Price:", "Price", 2400},          {"Commission:", "Commission", 2880}};
  QWidget* previous = nullptr;
  for (const auto& row : rows) {
    QLineEdit* box = addBox(info, QString::fromLatin1(row.column), kGeneralTab, row.top);
    addLabel(info, QString::fromLatin1(row.label), box);
    if (std::string_view(row.column) == "CompanySymbol") {
      m_cboCompanySymbol = new QComboBox(info);
      m_cboCompanySymbol->setObjectName(QStringLiteral("cboCompanySymbol"));
      m_cboCompanySymbol->setEditable(true);
      m_cboCompanySymbol->setInsertPolicy(QComboBox::NoInsert);
      m_cboCompanySymbol->setEditText(QStringLiteral("Combo1"));
      placeTwips(m_cboCompanySymbol, kBoxLeft, row.top, kBoxWidth, 315);
      m_cboCompanySymbol->hide();
      box->setContextMenuPolicy(Qt::CustomContextMenu);
      connect(box, &QWidget::customContextMenuRequested, this, &EntryForm::popupSymbolMenu);
      if (previous) setTabOrder(previous, box);
      setTabOrder(box, m_cboCompanySymbol);
      previous = m_cboCompanySymbol;
      continue;
    }
    if (previous) setTabOrder(previous, box);
    previous = box;
  }
  m_optBuy = new QRadioButton(QStringLiteral("&Buy"), info);
  m_optBuy->setObjectName(QStringLiteral("optBuy"));
  placeTwips(m_optBuy, 120, 3600, 735, 195);
  m_optSell = new QRadioButton(QStringLiteral("&Sell"), info);
  m_optSell->setObjectName(QStringLiteral("optSell"));
  placeTwips(m_optSell, 1080, 3600, 735, 195);
  setTabOrder(previous, m_optBuy);
  setTabOrder(m_optBuy, m_optSell);

  auto* search = new QGroupBox(QStringLiteral("Search"), page);
  search->setObjectName(QStringLiteral("Frame1"));
  placeOnPage(search, 5040, 600, 2415, 1935);
  auto* hint = new QLabel(QStringLiteral("Enter the Symbol that you want to search for below:"), search);
  hint->setWordWrap(true);
  placeTwips(hint, 120, 360, 2250, 480);
  m_txtTicker = new QLineEdit(search);
  m_txtTicker->setObjectName(QStringLiteral("txtTicker"));
  placeTwips(m_txtTicker, 120, 960, 2175, 285);
  m_cmdFind = new QPushButton(QStringLiteral("&Find it"), search);
  m_cmdFind->setObjectName(QStringLiteral("cmdFind"));
  // Alt+F belongs to the File menu: the caption keeps its underlined F,
  // and Enter in the search box finds.
  m_cmdFind->setShortcut(QKeySequence());
  connect(m_txtTicker, &QLineEdit::returnPressed, m_cmdFind, &QPushButton::click);
  placeTwips(m_cmdFind, 1080, 1440, 1215, 375);
  setTabOrder(m_optSell, m_txtTicker);
  setTabOrder(m_txtTicker, m_cmdFind);

  m_navigation[kGeneralTab] = addNavigation(page, QStringLiteral("Frame3"), QStringLiteral("tbNavigateG"), 3960);
}

void EntryForm::buildTotalsTab(QWidget* page, int tab) {
  const bool bought = tab == kBoughtTab;
  auto* info = new QGroupBox(bought ? QStringLiteral("Bought Shares Info") : QStringLiteral("Sold Shares Info"), page);
  info->setObjectName(bought ? QStringLiteral("Frame6") : QStringLiteral("Frame7"));
  placeOnPage(info, 240, 600, 4575, 3495);
  const struct {
    const char* label;
    const char* column;
  } rows[] = {{"Company Symbol:", "CompanySymbol"},
              {"Trade Date:", "Date"},
              {"Quantity:", "Quantity"},
              {"Share Price:", "Price"},
              {"Commission:", "Commission"},
              {bought ? "Total Purchase:" : "Total Sold:", bought ? "TotalPurchase" : "TotalSell"}};
  int top = 480;
  for (const auto& row : rows) {
    addLabel(info, QString::fromLatin1(row.label), addBox(info, QString::fromLatin1(row.column), tab, top));
    top += 480;
  }
  m_navigation[tab] = addNavigation(page, bought ? QStringLiteral("Frame4") : QStringLiteral("Frame5"),
                                    bought ? QStringLiteral("tbNavigateB") : QStringLiteral("tbNavigateS"), 3480);
}

}  // namespace ledger
