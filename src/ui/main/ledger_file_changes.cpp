// The ledger's file replaced, deleted or made unreadable while it is open.
// The session finds it at the start of the next command and tells the
// user; the windows then follow, so that nothing read from the old file is
// left on the screen as if it were current.

#include <QAction>
#include <QTimer>

#include "app/app_context.h"
#include "ui/command_guard.h"
#include "ui/main/mdi_main.h"

namespace ledger {

bool MDIMain::ledgerFileUnchanged() {
  return m_app.session().checkLedgerFile() == LedgerFileState::Unchanged;
}

void MDIMain::watchLedgerFile() {
  m_app.session().setLedgerFileListener([this](LedgerFileState state) {
    // Once the command that found the change is done with its windows.
    QTimer::singleShot(0, this, [this, state] { guarded(m_app.prompter(), [&] { followLedgerFile(state); }); });
  });
}

void MDIMain::followLedgerFile(LedgerFileState state) {
  // The trade an edit began on was a row of the old file.
  if (state == LedgerFileState::Closed || m_commands.entryMode() == EntryMode::EditTrade) m_commands.forgetEntry();
  if (state == LedgerFileState::Closed) {
    m_app.forms().unloadAll();
    ResetButtons();
    // From the entry state too: New Database, and the Close button that
    // closes rather than cancels.
    mnuFileItem(1)->setEnabled(true);
    QAction* close = tbMainButton(9);
    setButtonPicture(close, 7);
    close->setToolTip(QStringLiteral("Close"));
    close->setProperty("Tag", QStringLiteral("Close"));
    setLedgerTitle();
    return;
  }
  // Replaced by another ledger: every window shows the new file. A trade
  // being typed keeps what was typed; Save writes it into the new file.
  for (const char* name : {"frmDatasheet", "frmHistory", "frmChart", "frmPL"}) {
    const QString view = QString::fromLatin1(name);
    if (m_app.forms().find(view)) reloadView(view);
  }
  const bool entering = tbMainButton(9)->property("Tag").toString() != QLatin1String("Close");
  if (!entering && m_app.forms().find(QStringLiteral("frmMain"))) reloadEntryTab();
  setLedgerTitle();
}

}  // namespace ledger
