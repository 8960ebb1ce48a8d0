#pragma once
// What the report views need from the main window and the entry form,
// behind an interface so that the views can be made and tested without
// them.

#include <QPointer>
#include <QString>

class QAbstractItemModel;
#include "app/ledger_commands.h"

namespace ledger {

// What "Export to CSV..." on a grid's menu writes: a table or query of the
// ledger, read again from the file so that every row and value is exact,
// or, for a grid that shows figures the program computed, the rows of its
// model.
struct GridExport {
  QString source;                      // the ledger query the grid shows, or empty
  QPointer<QAbstractItemModel> model;  // used when source is empty
  QString fileName;                    // the name the save dialog suggests
};

class ViewHost {
 public:
  virtual ~ViewHost() = default;
  virtual int entryFormWidthTwips() = 0;   // the entry form's current outer width
  virtual int entryFormHeightTwips() = 0;  // ... and height
  virtual int mainWindowWidthTwips() = 0;
  virtual QString generalTabSymbol() = 0;  // the text of CompanySymbol(0) on the General tab
  // Shows the main window's mnuRestore at the cursor for the view tagged tag.
  virtual void popupRestoreMenu(ViewTag tag) = 0;
  // The same menu raised over a grid, with its export item.
  virtual void popupGridMenu(ViewTag tag, const GridExport& grid) {
    (void)grid;
    popupRestoreMenu(tag);
  }
};

}  // namespace ledger
