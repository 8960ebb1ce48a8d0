#pragma once
// The main window's three states and what each one switches. The window
// renders a state's look; which command is on in which state is decided here.

#include <optional>
#include <vector>

namespace ledger {

// No ledger open, a ledger's trades shown, a trade being typed.
enum class WindowMode { NoLedger, Viewing, Entering };

// Where a command sits: the toolbar or a menu, by its position there.
enum class CommandPlace { Toolbar, File, Edit, View, ShortHand, ShortHandView, Restore };

struct CommandSwitch {
  CommandPlace place;
  int index;
  bool on;
  friend bool operator==(const CommandSwitch&, const CommandSwitch&) = default;
};

// What entering a state sets. A command it does not list, and a setting it
// leaves empty, keep what the state before left: the window's state is the
// sum of these settings, not a value of its own.
struct ModeLook {
  WindowMode mode = WindowMode::NoLedger;
  std::vector<CommandSwitch> commands;
  // The Edit and View menus, shown only with a ledger.
  std::optional<bool> ledgerMenusShown;
  // The trade's boxes: read-only while viewing (the ticker search stays
  // usable), every one open while entering.
  std::optional<bool> tradeBoxesLocked;
  // The toolbar's last button: Cancel while entering, Close while viewing.
  std::optional<bool> lastButtonCancels;
  friend bool operator==(const ModeLook&, const ModeLook&) = default;
};

ModeLook lookOf(WindowMode mode);

}  // namespace ledger
