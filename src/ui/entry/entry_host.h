#pragma once
// What the entry form needs of the main window.

#include <QString>

namespace ledger {

class EntryHost {
 public:
  virtual ~EntryHost() = default;
  // Enables or disables the main toolbar's button at position 1..11.
  virtual void setToolbarButtonEnabled(int position, bool enabled) = 0;
  // Panel 1 of the status bar.
  virtual void setStatusText(const QString& text) = 0;
};

}  // namespace ledger
