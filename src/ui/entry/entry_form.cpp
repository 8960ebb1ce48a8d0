#include "ui/entry/entry_form.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>

#include "app/app_context.h"
#include "app/company_list.h"
#include "engine/db_error.h"
#include "app/record_display.h"
#include "app/ticker_search.h"
#include "ui/entry/entry_host.h"
#include "app/command_guard.h"
#include "ui/twips.h"

namespace ledger {

namespace {

constexpr int kTabWidth = 7695;
constexpr int kTabHeight = 5055;

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

EntryForm::EntryForm(AppContext& app, EntryHost& host, QMdiArea* area)
    : MdiChild(area, Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_app(app),
      m_host(host) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Your Shares"));

  m_tab = new QTabWidget(this);
  m_tab->setObjectName(QStringLiteral("SSTab"));
  m_tab->setGeometry(twipsRect(0, 0, kTabWidth, kTabHeight));
  // Places on a tab are measured from the top of the tab control; the
  // pages begin below the tab headers.
  m_pageOffsetTwips = pixelsToTwipsY(m_tab->tabBar()->sizeHint().height() + 2);
  const char* captions[] = {"&General", "&Bought Shares", "&Sold Shares"};
  for (int tab = 0; tab < 3; ++tab) {
    auto* page = new QWidget;
    m_tab->addTab(page, QString::fromLatin1(captions[tab]));
    if (tab == kGeneralTab) {
      buildGeneralTab(page);
    } else {
      buildTotalsTab(page, tab);
    }
    QToolBar* bar = m_navigation[tab];
    connect(bar, &QToolBar::actionTriggered, this, [this](QAction* button) {
      guarded(m_app.prompter(), [&] { tbNavigateG_ButtonClick(button); });
    });
  }
  m_cboCompanySymbol->installEventFilter(this);
  if (QLineEdit* edit = m_cboCompanySymbol->lineEdit()) edit->installEventFilter(this);
  connect(m_cmdFind, &QPushButton::clicked, this, [this] { guarded(m_app.prompter(), [&] { cmdFind_Click(); }); });
  connect(m_tab, &QTabWidget::currentChanged, this,
          [this](int) { guarded(m_app.prompter(), [&] { SSTab_Click(m_tab->currentIndex()); }); });

  // Form_Load: at the workspace's top left, as large as the tab control
  // plus the frame, showing the selected tab's first row.
  setClientSizeTwips(8085, 5805);
  setFrameGeometryTwips(0, 0, kTabWidth + 125, kTabHeight + 430);
  m_tab->move(0, 0);
  guarded(m_app.prompter(), [&] { SSTab_Click(m_tab->currentIndex()); });
}

QLineEdit* EntryForm::box(const QString& column, int tab) const { return m_boxes.value({column, tab}); }

QList<QLineEdit*> EntryForm::textBoxes() const {
  // The combo box's own editor is part of the combo box, not a text box.
  QList<QLineEdit*> boxes = m_boxes.values();
  boxes.append(m_txtTicker);
  return boxes;
}

QToolBar* EntryForm::navigationBar(int tab) const { return tab >= 0 && tab < 3 ? m_navigation[tab] : nullptr; }

void EntryForm::showSymbolList(bool show) {
  m_cboCompanySymbol->setVisible(show);
  if (QLineEdit* symbol = box(QStringLiteral("CompanySymbol"), kGeneralTab)) symbol->setVisible(!show);
}

bool EntryForm::symbolListShown() const { return m_cboCompanySymbol->isVisibleTo(this); }

void EntryForm::SSTab_Click(int /*previousTab*/) {
  LedgerSession& session = m_app.session();
  if (m_host.entryInProgress()) {
    // The General tab keeps what is typed; the other tabs show their rows in
    // boxes of their own. The buttons stay those of the entry.
    if (m_tab->currentIndex() == kBoughtTab) OpenAndShow(session, *this, "Bought");
    if (m_tab->currentIndex() == kSoldTab) OpenAndShow(session, *this, "Sold");
    return;
  }
  switch (m_tab->currentIndex()) {
    case kGeneralTab: {
      // A ledger that could not be opened counts as one without trades.
      const std::int64_t count = OpenGeneralTab(session, *this);
      m_host.setToolbarButtonEnabled(4, count != 0);
      if (count == 0) {
        ResetButtons(true, false);
      } else {
        ResetButtons(true);
      }
      break;
    }
    case kBoughtTab:
      OpenAndShow(session, *this, "Bought");
      ResetButtons(false);
      break;
    case kSoldTab:
      OpenAndShow(session, *this, "Sold");
      ResetButtons(false);
      break;
    default:
      break;
  }
}

void EntryForm::ResetButtons(bool enableNew, std::optional<bool> editDelete) {
  m_host.setToolbarButtonEnabled(2, enableNew);
  m_host.setToolbarButtonEnabled(4, editDelete.value_or(enableNew));
  m_host.setToolbarButtonEnabled(7, editDelete.value_or(enableNew));
}

void EntryForm::tbNavigateG_ButtonClick(QAction* button) {
  const QString key = button ? button->objectName() : QString();
  LedgerSession& session = m_app.session();
  if (currentTab() == kGeneralTab && !m_host.settleEntry()) return;
  if (key == QLatin1String("First")) {
    MoveToFirst(session, *this);
  } else if (key == QLatin1String("Previous")) {
    MoveToPrevious(session, *this);
  } else if (key == QLatin1String("Next")) {
    MoveToNext(session, *this);
  } else if (key == QLatin1String("Last")) {
    MoveToLast(session, *this);
  }
}

QMenu* EntryForm::popupSymbolMenu(const QPoint& pos) {
  QLineEdit* symbol = box(QStringLiteral("CompanySymbol"), kGeneralTab);
  QMenu* menu = symbol->createStandardContextMenu();
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->addSeparator();
  QAction* events = menu->addAction(QStringLiteral("S&plits and Dividends..."));
  events->setObjectName(QStringLiteral("mnuCompanyEvents"));
  connect(events, &QAction::triggered, this, [this, symbol] { emit companyEventsRequested(symbol->text()); });
  menu->popup(symbol->mapToGlobal(pos));
  return menu;
}

void EntryForm::cboCompanySymbol_Validate() { LookUpCompanySymbol(m_app.session(), *this); }

void EntryForm::cmdFind_Click() {
  if (currentTab() == kGeneralTab && !m_host.settleEntry()) return;
  FindTicker(m_app.session(), *this, m_txtTicker->text().toStdString());
}

void EntryForm::closeEvent(QCloseEvent* event) {
  bool leave = true;
  guarded(m_app.prompter(), [&] { leave = m_host.settleEntry(); });
  if (!leave) {
    event->ignore();
    return;
  }
  MdiChild::closeEvent(event);
}

bool EntryForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut && symbolListShown()) {
    // Opening the drop-down list moves the focus into the list; that is not
    // leaving the box.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    const bool stillInBox = m_cboCompanySymbol->isAncestorOf(QWidget::focusWidget()) ||
                            QWidget::focusWidget() == m_cboCompanySymbol;
    if (reason != Qt::PopupFocusReason && !stillInBox && watched != nullptr)
      guarded(m_app.prompter(), [&] { cboCompanySymbol_Validate(); });
  }
  return MdiChild::eventFilter(watched, event);
}

// ---- FormPort -------------------------------------------------------------

int EntryForm::currentTab() const { return m_tab->currentIndex(); }

std::optional<std::string> EntryForm::boxText(std::string_view column, int tab) const {
  QLineEdit* b = box(QString::fromUtf8(column.data(), static_cast<qsizetype>(column.size())), tab);
  if (!b) return std::nullopt;
  return b->text().toStdString();
}

bool EntryForm::setBoxText(std::string_view column, int tab, const std::string& text) {
  QLineEdit* b = box(QString::fromUtf8(column.data(), static_cast<qsizetype>(column.size())), tab);
  if (!b) return false;
  b->setText(fromUtf8(text));
  b->setCursorPosition(0);
  return true;
}

bool EntryForm::isBuySelected() const { return m_optBuy->isChecked(); }

bool EntryForm::isSellSelected() const { return m_optSell->isChecked(); }

void EntryForm::selectBuy(bool buy) { (buy ? m_optBuy : m_optSell)->setChecked(true); }

void EntryForm::clearSide() {
  // Exclusive buttons cannot all be unchecked one by one.
  for (QRadioButton* option : {m_optBuy, m_optSell}) {
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
  }
}

void EntryForm::setStatusText(const std::string& text) { m_host.setStatusText(fromUtf8(text)); }

std::string EntryForm::companySymbolText() const { return m_cboCompanySymbol->currentText().toStdString(); }

int EntryForm::companyListCount() const { return m_cboCompanySymbol->count(); }

std::string EntryForm::companyListItem(int index) const { return m_cboCompanySymbol->itemText(index).toStdString(); }

void EntryForm::insertCompanyListItem(int index, const std::string& symbol) {
  // Inserting into the list must not replace what the user typed.
  const QString typed = m_cboCompanySymbol->currentText();
  m_cboCompanySymbol->insertItem(std::min(index, m_cboCompanySymbol->count()), fromUtf8(symbol));
  m_cboCompanySymbol->setEditText(typed);
}

}  // namespace ledger
