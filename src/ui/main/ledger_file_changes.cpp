// The open ledger's file replaced, deleted or made unreadable while it is
// open. The session finds it at the start of the next command and tells the
// user; the windows then follow, so that nothing read from the old file is
// left on the screen as if it were current.

#include <QTimer>

#include "app/app_context.h"
#include "app/command_guard.h"
#include "ui/main/mdi_main.h"

namespace ledger {

bool MDIMain::ledgerFileUnchanged() {
  return m_app.session().checkLedgerFile() == LedgerFileState::Unchanged;
}

void MDIMain::watchLedgerFile() {
  m_app.session().setLedgerFileListener([this](LedgerFileState state) {
    // Once the command that found the change is done with its windows.
    QTimer::singleShot(0, this, [this, state] { guarded(m_app.prompter(), [&] { m_ledgerFiles.follow(state); }); });
  });
}

void MDIMain::showLedgerClosed() { forms().unloadAll(); }

}  // namespace ledger
