// The open ledger's file replaced, deleted or made unreadable while it is
// open. The session finds it at the start of the next command and tells the
// user; the windows then follow, so that nothing read from the old file is
// left on the screen as if it were current.

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
  if (state == LedgerFileState::Closed) {
    // Nothing can be saved any more: a trade being typed goes with the
    // ledger, and the window is in the no-ledger state.
    m_commands.forgetEntry();
    forms().unloadAll();
    DataBeingViewd();
    ResetButtons();
    setLedgerTitle();
    return;
  }
  // Replaced by another ledger: every view shows the new file. A trade
  // being typed keeps what was typed; Save writes it into the new file (an
  // edit only where the new file still holds the trade as it was shown).
  refreshOpenViews();
  if (!m_commands.entering() && forms().find(QStringLiteral("frmMain"))) reloadEntryTab();
  setLedgerTitle();
}

}  // namespace ledger
