// A trade's entry from New Record to Save, Cancel or the question that
// settles it, through a fake window: what is written and which state the
// window is put in.
#include <gtest/gtest.h>

#include <functional>

#include "core_fixture.h"

namespace ledger {
namespace {

using test::Log;

class EntryLifecycleTest : public test::CoreTest {
 protected:
  std::string ledger() { return dir.file("l.mdb"); }
  std::string trades() { return test::readAll(ledger(), "SELECT count(*) FROM Trade")[0][0]; }
  // New Record with the General tab typed; date may be left blank.
  void typeNew(const std::string& date) {
    commands.newRecord();
    window.form.comboText = "MSFT";
    window.form.fillGeneral("", "MSFT", date, "10", "20", "1", true);
  }
};

TEST_F(EntryLifecycleTest, ATypedTradeIsWrittenOnlyWhenSavedOrSettledWithYes) {
  struct Row {
    const char* name;
    std::function<void()> run;
    const char* tradesAfter;
    bool enteringAfter;
    Log logAfterTyping;
  };
  const Row rows[] = {
      {"Save writes it and returns to viewing",
       [&] { EXPECT_TRUE(commands.save()); }, "2", false, {"view state", "reload tab"}},
      {"Cancel drops it", [&] { commands.cancelEntry(); }, "1", false, {"view state", "reload tab"}},
      {"a question settles it: Yes saves",
       [&] {
         answers.expect(MsgAnswer::Yes);
         EXPECT_TRUE(commands.settleEntry());
       },
       "2", false, {"message Save the trade you are entering?", "view state", "reload tab"}},
      {"a question settles it: Cancel keeps typing",
       [&] {
         answers.expect(MsgAnswer::Cancel);
         EXPECT_FALSE(commands.settleEntry());
       },
       "1", true, {"message Save the trade you are entering?"}},
      {"Undo after Save takes the trade back and reads the views again",
       [&] {
         ASSERT_TRUE(commands.save());
         window.log.clear();
         commands.undoOffer();
         EXPECT_TRUE(commands.undo());
       },
       "1", false, {"refresh views", "reload tab"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    test::makeLedger(ledger(), {{1, "AAPL", 100, "B", "2024-01-15", 10, 1}});
    ASSERT_EQ(flows.open(ledger()), OpenOutcome::Opened);
    typeNew("2024-05-06");
    EXPECT_EQ(window.log.back(), "entry state");
    window.log.clear();
    row.run();
    EXPECT_EQ(trades(), row.tradesAfter);
    EXPECT_EQ(commands.entering(), row.enteringAfter);
    EXPECT_EQ(window.log, row.logAfterTyping);
    commands.forgetEntry();
  }
}

TEST_F(EntryLifecycleTest, AWrongFieldIsToldAndTheTradeStaysBeingTyped) {
  test::makeLedger(ledger());
  ASSERT_EQ(flows.open(ledger()), OpenOutcome::Opened);
  typeNew("");
  window.log.clear();
  answers.expect(MsgAnswer::Ok);
  EXPECT_FALSE(commands.save());
  ASSERT_EQ(window.log.size(), 1u);
  EXPECT_EQ(window.log[0].rfind("message ", 0), 0u);
  EXPECT_TRUE(commands.entering());
  EXPECT_EQ(trades(), "0");
}

// The import window's signal is routed here; the window tests of the
// import do not look at the views afterwards.
TEST_F(EntryLifecycleTest, AnImportIsShownInTheOpenViewsAndTheEntryTab) {
  commands.tradesImported();
  EXPECT_EQ(window.log, (Log{"refresh views", "reload tab"}));
}

}  // namespace
}  // namespace ledger
