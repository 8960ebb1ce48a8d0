#pragma once
// What the main window shows, as one value the core works out: the open
// ledger, the state of the commands, what Undo and Redo offer, whether a
// trade is shown and which report views are open. The window renders it;
// it decides none of it.

#include <optional>
#include <string>
#include <vector>

#include "app/window_mode.h"
#include "ledger/ledger_session.h"
#include "ledger/undo_journal.h"

namespace ledger {

// What the main window shows of the open ledger.
struct LedgerState {
  // Empty while no ledger is open.
  std::string path;
  // A ledger the user cannot change: its title says so and the commands
  // that would change it are off.
  bool readOnly = false;
  friend bool operator==(const LedgerState&, const LedgerState&) = default;
};

LedgerState ledgerStateOf(const LedgerSession& session);

// What Undo and Redo offer: the step each would act on, if any.
struct UndoOffer {
  std::optional<UndoStepInfo> undo;
  std::optional<UndoStepInfo> redo;
  friend bool operator==(const UndoOffer&, const UndoOffer&) = default;
};

// Which view raised the Restore menu, so that Refresh reloads that one.
enum class ViewTag { None, Datasheet, History, ProfitLoss, Chart, Gains };

struct WindowState {
  LedgerState ledger;
  // The mode last entered and what entering it set.
  ModeLook look = lookOf(WindowMode::NoLedger);
  // What was set over that look since: the entry tab's commands and the
  // menus of a ledger just made. Rendered after the look; a mode entered
  // empties it.
  ModeLook since;
  UndoOffer undo;
  // The General tab shows a trade that Edit and Delete can act on.
  bool tradeShown = false;
  // The open report views, in the order of kReportViews.
  std::vector<ViewTag> openViews;

  WindowMode mode() const { return look.mode; }
  friend bool operator==(const WindowState&, const WindowState&) = default;
};

// Sets changes over since: a command or setting given again takes its new
// value.
void setOver(ModeLook& since, const ModeLook& changes);

// The toolbar's New Record (2), Edit (4) or Delete (7) button switched,
// with the menu item that acts on the same trade.
ModeLook tradeButtonSwitched(int position, bool on);

}  // namespace ledger
