#include "app/window_state.h"

#include <algorithm>

namespace ledger {

LedgerState ledgerStateOf(const LedgerSession& session) {
  LedgerState state;
  state.path = session.LedgerPath;
  state.readOnly = !session.LedgerPath.empty() && session.LedgerDatabase && session.LedgerDatabase->isReadOnly();
  return state;
}

void setOver(ModeLook& since, const ModeLook& changes) {
  for (const CommandSwitch& change : changes.commands) {
    auto same = std::find_if(since.commands.begin(), since.commands.end(), [&](const CommandSwitch& c) {
      return c.place == change.place && c.index == change.index;
    });
    if (same != since.commands.end())
      same->on = change.on;
    else
      since.commands.push_back(change);
  }
  if (changes.ledgerMenusShown) since.ledgerMenusShown = changes.ledgerMenusShown;
  if (changes.tradeBoxesLocked) since.tradeBoxesLocked = changes.tradeBoxesLocked;
  if (changes.lastButtonCancels) since.lastButtonCancels = changes.lastButtonCancels;
}

ModeLook tradeButtonSwitched(int position, bool on) {
  ModeLook look;
  look.commands.push_back({CommandPlace::Toolbar, position, on});
  // Edit and Delete act on the trade the General tab shows: where none is
  // shown, their menu items go too.
  if (position == 4) look.commands.push_back({CommandPlace::Edit, 1, on});
  if (position == 7) look.commands.push_back({CommandPlace::File, 6, on});
  return look;
}

}  // namespace ledger
