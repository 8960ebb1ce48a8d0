// What the entry form and the report views ask of the main window.

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>

#include "app/app_context.h"
#include "ui/entry/entry_form.h"
#include "ui/main/mdi_main.h"
#include "ui/program_info.h"
#include "ui/twips.h"

namespace ledger {

EntryForm* MDIMain::entryForm() { return m_app.forms().load<EntryForm>(QStringLiteral("frmMain")); }

void MDIMain::reloadEntryTab() {
  EntryForm* form = entryForm();
  form->SSTab_Click(form->SSTab()->currentIndex());
}

void MDIMain::showLedgerMenus() {
  mnuEdit()->menuAction()->setVisible(true);
  mnuView()->menuAction()->setVisible(true);
}

void MDIMain::setLedgerTitle() {
  const LedgerSession& session = m_app.session();
  QString title = QString::fromUtf8(kTitlePrefix) + QString::fromStdString(session.LedgerPath);
  // Said up front, so that a refused change comes as no surprise.
  if (!session.LedgerPath.empty() && session.LedgerDatabase && session.LedgerDatabase->isReadOnly())
    title += QStringLiteral(" (read-only)");
  setWindowTitle(title);
}

void MDIMain::setToolbarButtonEnabled(int position, bool enabled) {
  if (QAction* button = tbMainButton(position)) button->setEnabled(enabled);
}

int MDIMain::entryFormWidthTwips() { return entryForm()->frameWidthTwips(); }

int MDIMain::entryFormHeightTwips() { return entryForm()->frameHeightTwips(); }

int MDIMain::mainWindowWidthTwips() { return pixelsToTwipsX(width()); }

QString MDIMain::generalTabSymbol() {
  QLineEdit* symbol = entryForm()->box(QStringLiteral("CompanySymbol"), kGeneralTab);
  return symbol ? symbol->text() : QString();
}

}  // namespace ledger
