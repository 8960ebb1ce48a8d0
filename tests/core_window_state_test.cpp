// The state the core publishes for the main window, from opening a ledger
// to its file going away.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/record_display.h"
#include "core_fixture.h"

namespace ledger {

static std::string labelOf(const std::optional<UndoStepInfo>& step) { return step ? step->label : "-"; }

void PrintTo(const WindowState& s, std::ostream* os) {
  *os << "mode " << static_cast<int>(s.mode()) << ", ledger " << s.ledger.path << (s.ledger.readOnly ? " (read-only)" : "")
      << ", " << s.since.commands.size() << " set since, menus " << s.since.ledgerMenusShown.value_or(false)
      << ", undo " << labelOf(s.undo.undo) << ", redo " << labelOf(s.undo.redo) << ", trade shown " << s.tradeShown
      << ", " << s.openViews.size() << " views";
}

namespace {

class WindowStateTest : public test::CoreTest {
 protected:
  void SetUp() override {
    CoreTest::SetUp();
    // The General tab shows the trades as the entry form does.
    window.onReloadTab = [this] {
      if (!commands.entering()) OpenAndShow(app.session(), window.form, "Trade");
    };
  }
  std::string ledger() { return dir.file("l.mdb"); }
  std::string readOnlyLedger() { return dir.file("ro.mdb"); }
};

std::optional<UndoStepInfo> step(const char* label) {
  if (!label) return std::nullopt;
  return UndoStepInfo{1, label};
}

TEST_F(WindowStateTest, EachCommandPublishesTheWholeState) {
  test::makeLedger(ledger());
  test::makeLedger(readOnlyLedger());
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(readOnlyLedger().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE Notes (Text TEXT);", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);

  ModeLook menusShown;
  menusShown.mode = WindowMode::Viewing;
  menusShown.ledgerMenusShown = true;
  const ModeLook nothingSince = [] {
    ModeLook look;
    look.mode = WindowMode::Viewing;
    return look;
  }();
  ModeLook nothingSinceEntering = nothingSince;
  nothingSinceEntering.mode = WindowMode::Entering;
  ModeLook nothingSinceClosed = nothingSince;
  nothingSinceClosed.mode = WindowMode::NoLedger;

  const char* kSaved = "New Record of MSFT 2024-05-06 (10 shares)";
  const struct {
    const char* name;
    std::function<void()> run;
    LedgerState ledger;
    WindowMode mode;
    ModeLook since;
    const char* undo;
    const char* redo;
    bool tradeShown;
    std::vector<ViewTag> views;
  } rows[] = {
      {"open: the view state and the ledger's menus",
       [&] { ASSERT_EQ(flows.open(ledger()), OpenOutcome::Opened); }, {ledger(), false}, WindowMode::Viewing,
       menusShown, nullptr, nullptr, false, {}},
      {"New Record: the entry state, nothing to undo while typing",
       [&] {
         commands.newRecord();
         window.form.comboText = "MSFT";
         window.form.fillGeneral("", "MSFT", "2024-05-06", "10", "20", "1", true);
       },
       {ledger(), false}, WindowMode::Entering, nothingSinceEntering, nullptr, nullptr, false, {}},
      {"Save: back to viewing the trade, Undo offers the addition", [&] { ASSERT_TRUE(commands.save()); },
       {ledger(), false}, WindowMode::Viewing, nothingSince, kSaved, nullptr, true, {}},
      {"a view shown: among the open ones", [&] { views.show(2); }, {ledger(), false}, WindowMode::Viewing,
       nothingSince, kSaved, nullptr, true, {ViewTag::Datasheet}},
      {"Undo: Redo offers it back", [&] { ASSERT_TRUE(commands.undo()); }, {ledger(), false}, WindowMode::Viewing,
       nothingSince, nullptr, kSaved, false, {ViewTag::Datasheet}},
      {"a read-only ledger: nothing offered, the change commands off",
       [&] {
         answers.expect(MsgAnswer::Ok);  // what the ledger holds, told once
         ASSERT_EQ(flows.open(readOnlyLedger()), OpenOutcome::Opened);
       },
       {readOnlyLedger(), true}, WindowMode::Viewing, menusShown, nullptr, nullptr, false, {}},
      {"its file gone: no ledger",
       [&] {
         std::filesystem::remove(readOnlyLedger());
         answers.expect(MsgAnswer::Ok);  // the session tells what happened to the file
         ASSERT_EQ(app.session().checkLedgerFile(), LedgerFileState::Closed);
         flows.follow(LedgerFileState::Closed);
       },
       {}, WindowMode::NoLedger, nothingSinceClosed, nullptr, nullptr, false, {}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    row.run();
    ASSERT_FALSE(window.states.empty());
    const WindowState expected{row.ledger,  lookOf(row.mode), row.since, {step(row.undo), step(row.redo)},
                               row.tradeShown, row.views};
    EXPECT_EQ(window.states.back(), expected);
    EXPECT_EQ(window.states.back(), commands.windowState());
  }
}

}  // namespace
}  // namespace ledger
