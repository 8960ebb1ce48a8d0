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
  // Whether a trade is being typed: the General tab's boxes then hold the
  // user's work and nothing may show another trade in them.
  virtual bool entryInProgress() = 0;
  // Before the General tab shows another trade while one is typed: asks
  // whether to save it. false: leave everything as it is.
  virtual bool settleEntry() = 0;
};

}  // namespace ledger
