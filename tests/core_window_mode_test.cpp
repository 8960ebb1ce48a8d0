// Which command each of the window's states turns on or off, and what it
// leaves as the state before left it.
#include <gtest/gtest.h>

#include <optional>

#include "app/window_mode.h"

namespace ledger {
namespace {

// What a state does to one command: sets it on, off, or keeps it.
enum Setting { kKept, kOn, kOff };

Setting settingOf(const ModeLook& look, CommandPlace place, int index) {
  std::optional<Setting> found;
  for (const CommandSwitch& c : look.commands)
    if (c.place == place && c.index == index) {
      EXPECT_FALSE(found) << "set twice";
      found = c.on ? kOn : kOff;
    }
  return found.value_or(kKept);
}

Setting settingOf(std::optional<bool> value) { return !value ? kKept : *value ? kOn : kOff; }

TEST(WindowModeTest, EachStateSwitchesItsCommandsAndKeepsTheRest) {
  using enum CommandPlace;
  const struct {
    const char* command;
    CommandPlace place;
    int index;
    Setting noLedger, viewing, entering;
  } rows[] = {
      // Opening a ledger is the one ledger command without one.
      {"Open button", Toolbar, 3, kOn, kOn, kOff},
      {"Open item", File, 3, kOn, kOn, kOff},
      // New Database keeps its item while no ledger is open.
      {"New Database item", File, 1, kKept, kOn, kOff},
      {"New Record button", Toolbar, 2, kOff, kOn, kOff},
      {"New Record item", File, 2, kOff, kOn, kOff},
      {"Edit button", Toolbar, 4, kOff, kOn, kOff},
      {"Delete button", Toolbar, 7, kOff, kOn, kOff},
      {"Delete item", File, 6, kOff, kOn, kOff},
      // Save only while a trade is typed.
      {"Save button", Toolbar, 6, kOff, kOff, kOn},
      {"Save item", File, 5, kOff, kOff, kOn},
      {"Records", Edit, 1, kKept, kOn, kOff},
      {"Add Company", Edit, 2, kKept, kOn, kOff},
      {"Chart view", View, 1, kKept, kOn, kOff},
      {"History view", View, 3, kKept, kOn, kOff},
      // Profit/Loss and Gains stay as the view state left them.
      {"Profit/Loss view", View, 4, kKept, kKept, kKept},
      {"Minimize All", ShortHand, 2, kOff, kOn, kKept},
      {"Maximize All", ShortHand, 3, kOff, kOn, kKept},
      {"ShortHand Chart", ShortHandView, 1, kOff, kOn, kOff},
      {"ShortHand Datasheet", ShortHandView, 2, kOff, kOn, kOff},
      {"ShortHand Gains", ShortHandView, 5, kOff, kOn, kKept},
      {"Refresh", Restore, 1, kOff, kOn, kKept},
      // Undo and Redo follow the ledger's offer, not the state.
      {"Undo item", Edit, 3, kKept, kKept, kKept},
      {"Undo button", Toolbar, 12, kKept, kKept, kKept},
  };
  const ModeLook looks[] = {lookOf(WindowMode::NoLedger), lookOf(WindowMode::Viewing), lookOf(WindowMode::Entering)};
  for (const auto& row : rows) {
    const Setting expected[] = {row.noLedger, row.viewing, row.entering};
    for (int state = 0; state < 3; ++state)
      EXPECT_EQ(settingOf(looks[state], row.place, row.index), expected[state]) << row.command << " in state " << state;
  }

  const struct {
    const char* part;
    std::optional<bool> ModeLook::*member;
    Setting noLedger, viewing, entering;
  } parts[] = {
      {"Edit and View menus shown", &ModeLook::ledgerMenusShown, kOff, kOn, kKept},
      {"trade boxes locked", &ModeLook::tradeBoxesLocked, kKept, kOn, kOff},
      {"last button cancels", &ModeLook::lastButtonCancels, kKept, kOff, kOn},
  };
  for (const auto& part : parts) {
    const Setting expected[] = {part.noLedger, part.viewing, part.entering};
    for (int state = 0; state < 3; ++state)
      EXPECT_EQ(settingOf(looks[state].*part.member), expected[state]) << part.part << " in state " << state;
  }
}

}  // namespace
}  // namespace ledger
