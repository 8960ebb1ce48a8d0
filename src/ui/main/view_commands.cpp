// The View menu, the View submenu of the ShortHand popup and the Restore
// popup of the views.

#include "app/app_context.h"
#include "ui/main/command_guard.h"
#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::mnuViewItem_Click(int index) {
  guarded(m_app.prompter(), [&] {
    if (index >= 1 && index <= 4) showView(index);
  });
}

void MDIMain::mnuSHViewItem_Click(int index) {
  // The same views under the same numbers.
  guarded(m_app.prompter(), [&] {
    if (index >= 1 && index <= 4) mnuViewItem_Click(index);
  });
}

void MDIMain::mnuRestoreItem_Click(int index) {
  guarded(m_app.prompter(), [&] {
    switch (index) {
      case 1: refreshView(); break;
      case 2: refreshAllViews(); break;
      default: break;
    }
  });
}

void MDIMain::showView([[maybe_unused]] int index) {
  // Comes with the views: 1 chart, 2 datasheet, 3 history, 4 profit/loss.
}

void MDIMain::refreshView() {
  // Comes with the views: reloads the one that was right-clicked.
}

void MDIMain::refreshAllViews() {
  // Comes with the views: reloads all four.
}

}  // namespace ledger
