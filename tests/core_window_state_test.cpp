// The state the core publishes for the main window, from opening a ledger
// through an entry, a view and an undo.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>

#include "app/record_display.h"
#include "core_fixture.h"

namespace ledger {

void PrintTo(const WindowState& s, std::ostream* os) {
  *os << "mode " << static_cast<int>(s.mode()) << ", " << s.ledger.path << (s.ledger.readOnly ? " read-only" : "")
      << ", undo " << (s.undo.undo ? s.undo.undo->label : "-") << ", redo " << (s.undo.redo ? s.undo.redo->label : "-")
      << ", trade shown " << s.tradeShown << ", " << s.openViews.size() << " views";
}

namespace {

class WindowStateTest : public test::CoreTest {};

TEST_F(WindowStateTest, EachCommandPublishesTheWholeState) {
  const std::string ledger = dir.file("l.mdb");
  test::makeLedger(ledger);
  // The General tab shows the trades as the entry form does.
  window.onReloadTab = [&] {
    if (!commands.entering()) OpenAndShow(app.session(), window.form, "Trade");
  };
  const UndoStepInfo saved{1, "New Record of MSFT 2024-05-06 (10 shares)"};

  const struct {
    const char* name;
    std::function<void()> run;
    LedgerState ledger;
    WindowMode mode;
    std::optional<bool> menusShownSince;
    UndoOffer undo;
    bool tradeShown;
    std::vector<ViewTag> views;
  } rows[] = {
      {"open: the view state and the ledger's menus", [&] { ASSERT_EQ(flows.open(ledger), OpenOutcome::Opened); },
       {ledger, false}, WindowMode::Viewing, true, {}, false, {}},
      {"New Record: the entry state, nothing to undo while typing",
       [&] {
         commands.newRecord();
         window.form.comboText = "MSFT";
         window.form.fillGeneral("", "MSFT", "2024-05-06", "10", "20", "1", true);
       },
       {ledger, false}, WindowMode::Entering, {}, {}, false, {}},
      {"Save: the trade viewed, Undo offers it", [&] { ASSERT_TRUE(commands.save()); }, {ledger, false},
       WindowMode::Viewing, {}, {saved, {}}, true, {}},
      {"a view shown: among the open ones", [&] { views.show(2); }, {ledger, false}, WindowMode::Viewing, {},
       {saved, {}}, true, {ViewTag::Datasheet}},
      {"Undo: Redo offers it back", [&] { ASSERT_TRUE(commands.undo()); }, {ledger, false}, WindowMode::Viewing, {},
       {{}, saved}, false, {ViewTag::Datasheet}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    row.run();
    ModeLook since;
    since.mode = row.mode;
    since.ledgerMenusShown = row.menusShownSince;
    const WindowState expected{row.ledger, lookOf(row.mode), since, row.undo, row.tradeShown, row.views};
    ASSERT_FALSE(window.states.empty());
    EXPECT_EQ(window.states.back(), expected);
    EXPECT_EQ(window.states.back(), commands.windowState());
  }
}

}  // namespace
}  // namespace ledger
