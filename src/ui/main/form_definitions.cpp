// The child windows that the form registry can make, each by its name.

#include "ui/main/mdi_main.h"

namespace ledger {

void MDIMain::defineForms() {
  // Each child window is registered here as it arrives: its name and a
  // factory that makes it in this window's workspace.
}

}  // namespace ledger
