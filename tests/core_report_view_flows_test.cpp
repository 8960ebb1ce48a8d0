// The report views through a fake window: which are shown, refreshed or
// left alone, and when the entry tab reads its rows again.
#include <gtest/gtest.h>

#include <functional>

#include "core_fixture.h"

namespace ledger {
namespace {

using test::Log;

class ReportViewFlowsTest : public test::CoreTest {};

TEST_F(ReportViewFlowsTest, TheViewsAndWhatTheyReadAgain) {
  const std::string failed = "message The command could not be completed.";
  struct Row {
    const char* name;
    std::function<void()> run;
    Log log;
  };
  const Row rows[] = {
      {"a view on the session's recordset reads the entry tab again", [&] { views.show(2); },
       {"busy", "view frmDatasheet", "idle", "reload tab"}},
      {"History on the General tab leaves the tab", [&] { views.show(3); }, {"busy", "view frmHistory", "idle"}},
      {"History on another tab is refused",
       [&] {
         window.form.tab = kBoughtTab;
         answers.expect(MsgAnswer::Ok);
         views.show(3);
       },
       {"message Please select the General tab and choose the "}},
      {"Gains leaves the tab", [&] { views.show(5); }, {"busy", "view frmGains", "idle"}},
      {"a view that fails is told, and the tab still reads again",
       [&] {
         window.failingView = ViewTag::ProfitLoss;
         answers.expect(MsgAnswer::Ok);
         views.show(4);
       },
       {"busy", failed, "idle", "reload tab"}},
      {"no view on that item", [&] { views.show(6); }, {}},
      {"after a change only the open views, in the list's order",
       [&] {
         window.openViews = {"frmPL", "frmDatasheet"};
         views.refreshOpen();
       },
       {"close frmDatasheet", "view frmDatasheet", "close frmPL", "view frmPL"}},
      {"after a change the Gains window reads again where it stands, keeping its choices",
       [&] {
         window.openViews = {"frmGains", "frmChart"};
         views.refreshOpen();
       },
       {"close frmChart", "view frmChart", "read again frmGains"}},
      {"Refresh makes the tagged view afresh", [&] { views.refresh(ViewTag::Chart); },
       {"close frmChart", "view frmChart"}},
      {"Refresh with no view tagged", [&] { views.refresh(ViewTag::None); }, {}},
      {"a failing view does not stop Refresh All",
       [&] {
         window.failingView = ViewTag::History;
         answers.expect(MsgAnswer::Ok);
         views.refreshAll();
       },
       {"close frmDatasheet", "view frmDatasheet", "close frmHistory", failed, "close frmChart", "view frmChart",
        "close frmPL", "view frmPL", "close frmGains", "view frmGains"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    window.log.clear();
    window.openViews.clear();
    window.form.tab = kGeneralTab;
    window.failingView = ViewTag::None;
    row.run();
    EXPECT_EQ(window.log, row.log);
  }
}

}  // namespace
}  // namespace ledger
