// What the entry form and the report views ask of the main window.

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>

#include "app/app_context.h"
#include "ui/entry/entry_form.h"
#include "ui/main/mdi_main.h"
#include "ui/views/events_window.h"
#include "ui/views/prices_window.h"
#include "app/program_info.h"
#include "ui/twips.h"

namespace ledger {

EntryForm* MDIMain::entryForm() { return forms().load<EntryForm>(QStringLiteral("frmMain")); }

void MDIMain::reloadEntryTab() {
  if (EntryForm* form = forms().find<EntryForm>(QStringLiteral("frmMain")))
    form->SSTab_Click(form->SSTab()->currentIndex());
}

FormPort& MDIMain::showGeneralTab() {
  FormPort& port = loadEntryForm();
  // Selecting the tab runs its tab change.
  if (EntryForm* form = entryForm(); form->SSTab()->currentIndex() != kGeneralTab)
    form->SSTab()->setCurrentIndex(kGeneralTab);
  return port;
}

FormPort* MDIMain::openEntryForm() { return forms().find<EntryForm>(QStringLiteral("frmMain")); }

FormPort& MDIMain::loadEntryForm() {
  forms().show(QStringLiteral("frmMain"));
  EntryForm* form = entryForm();
  form->SSTab()->setCurrentIndex(kGeneralTab);
  return *form;
}

void MDIMain::showSymbolList(bool shown) {
  EntryForm* form = forms().find<EntryForm>(QStringLiteral("frmMain"));
  if (!form) return;
  if (shown) {
    // A new trade starts with an empty symbol, not with what the list showed.
    form->cboCompanySymbol()->setEditText(QString());
    form->showSymbolList(true);
    form->cboCompanySymbol()->setFocus();
  } else {
    form->showSymbolList(false);
  }
}

bool MDIMain::symbolListShown() {
  EntryForm* form = forms().find<EntryForm>(QStringLiteral("frmMain"));
  return form && form->symbolListShown();
}

QString MDIMain::recordMode() const {
  return m_commands.entryMode() == EntryMode::EditTrade ? QStringLiteral("Edit") : QStringLiteral("Save");
}

void MDIMain::renderLedgerState(const LedgerState& state) {
  QString title = QString::fromUtf8(kTitlePrefix) + QString::fromStdString(state.path);
  // Said up front, so that a refused change comes as no surprise.
  if (state.readOnly) title += QStringLiteral(" (read-only)");
  setWindowTitle(title);
  m_changeCommands->setEnabled(!state.readOnly);
  if (auto* events = forms().find<EventsWindow>(QStringLiteral("frmEvents"))) events->allowChanges(!state.readOnly);
  if (auto* prices = forms().find<PricesWindow>(QStringLiteral("frmPrices"))) prices->allowChanges(!state.readOnly);
}

void MDIMain::showBusy(bool busy) {
  if (busy)
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QGuiApplication::restoreOverrideCursor();
}

void MDIMain::showOpenedLedger(const std::string& path) {
  forms().unloadAll();
  forms().show(QStringLiteral("frmMain"));
  rememberLedger(path);
}

void MDIMain::setToolbarButtonEnabled(int position, bool enabled) {
  m_commands.setOverLook(tradeButtonSwitched(position, enabled));
}

int MDIMain::entryFormWidthTwips() { return entryForm()->frameWidthTwips(); }

int MDIMain::entryFormHeightTwips() { return entryForm()->frameHeightTwips(); }

int MDIMain::mainWindowWidthTwips() { return pixelsToTwipsX(width()); }

QString MDIMain::generalTabSymbol() {
  QLineEdit* symbol = entryForm()->box(QStringLiteral("CompanySymbol"), kGeneralTab);
  return symbol ? symbol->text() : QString();
}

}  // namespace ledger
