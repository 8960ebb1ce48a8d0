#pragma once
// What the report views need from the main window and the entry form,
// behind an interface so that the views can be made and tested without
// them.

#include <QString>

#include "app/ledger_commands.h"

namespace ledger {

class ViewHost {
 public:
  virtual ~ViewHost() = default;
  virtual int entryFormWidthTwips() = 0;   // the entry form's current outer width
  virtual int entryFormHeightTwips() = 0;  // ... and height
  virtual int mainWindowWidthTwips() = 0;
  virtual QString generalTabSymbol() = 0;  // the text of CompanySymbol(0) on the General tab
  // Shows the main window's mnuRestore at the cursor for the view tagged tag.
  virtual void popupRestoreMenu(ViewTag tag) = 0;
};

}  // namespace ledger
