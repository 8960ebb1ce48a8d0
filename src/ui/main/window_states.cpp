// The window's states. Each operation sets exactly the properties of its
// state and leaves every other one as it was: the state is the set of
// properties, not a value of its own.

#include <QAction>
#include <QMenu>

#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::ResetButtons() {
  tbMainButton(3)->setEnabled(true);
  for (int position : {2, 4, 6, 7}) tbMainButton(position)->setEnabled(false);

  mnuFileItem(3)->setEnabled(true);
  for (int index : {2, 5, 6}) mnuFileItem(index)->setEnabled(false);

  for (int index : {1, 2}) mnuRestoreItem(index)->setEnabled(false);
  for (int index : {2, 3}) mnuSHItem(index)->setEnabled(false);
  for (int index : {1, 2, 3, 4}) mnuSHViewItem(index)->setEnabled(false);

  mnuEdit()->menuAction()->setVisible(false);
  mnuView()->menuAction()->setVisible(false);
}

}  // namespace ledger
