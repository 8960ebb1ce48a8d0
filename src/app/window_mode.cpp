#include "app/window_mode.h"

#include <initializer_list>

namespace ledger {
namespace {

void set(std::vector<CommandSwitch>& out, CommandPlace place, std::initializer_list<int> indexes, bool on) {
  for (int index : indexes) out.push_back({place, index, on});
}

}  // namespace

ModeLook lookOf(WindowMode mode) {
  using enum CommandPlace;
  ModeLook look;
  look.mode = mode;
  auto& c = look.commands;
  switch (mode) {
    case WindowMode::NoLedger:
      set(c, Toolbar, {3}, true);
      set(c, Toolbar, {2, 4, 6, 7}, false);
      set(c, File, {3}, true);
      set(c, File, {2, 5, 6}, false);
      set(c, Restore, {1, 2}, false);
      set(c, ShortHand, {2, 3}, false);
      set(c, ShortHandView, {1, 2, 3, 4, 5}, false);
      look.ledgerMenusShown = false;
      break;
    case WindowMode::Viewing:
      set(c, Toolbar, {6}, false);
      set(c, Toolbar, {2, 3, 4, 7}, true);
      set(c, File, {5}, false);
      set(c, File, {1, 2, 3, 6}, true);
      set(c, Edit, {1, 2}, true);
      set(c, View, {1, 2, 3}, true);
      set(c, Restore, {1, 2}, true);
      set(c, ShortHand, {2, 3}, true);
      set(c, ShortHandView, {1, 2, 3, 4, 5}, true);
      look.ledgerMenusShown = true;
      look.tradeBoxesLocked = true;
      look.lastButtonCancels = false;
      break;
    case WindowMode::Entering:
      set(c, Toolbar, {6}, true);
      set(c, Toolbar, {2, 3, 4, 7}, false);
      set(c, File, {5}, true);
      set(c, File, {1, 2, 3, 6}, false);
      set(c, Edit, {1, 2}, false);
      set(c, View, {1, 2, 3}, false);
      set(c, ShortHandView, {1, 2}, false);
      look.tradeBoxesLocked = false;
      look.lastButtonCancels = true;
      break;
  }
  return look;
}

}  // namespace ledger
