#pragma once
// What the tests of the core's flows stand on: a program folder with its
// master and template, a fake window, scripted answers logged beside what
// the window was told, and the core's flows over them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_context.h"
#include "app/ledger_commands.h"
#include "app/ledger_file_flows.h"
#include "app/report_view_flows.h"
#include "app/startup.h"
#include "fake_window.h"
#include "fakes.h"
#include "ledger/ledger_schema.h"
#include "test_ledger.h"

namespace ledger::test {

using Log = std::vector<std::string>;

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeLedgerFromSchema(app.masterPath());
    ASSERT_FALSE(refreshTemplate(app).has_value());
  }
  void TearDown() override {
    EXPECT_FALSE(window.busy) << "the busy pointer was left on";
    EXPECT_EQ(answers.pending(), 0u) << "a queued message was never shown";
  }

  TempDir dir;
  FakeWindow window;
  ScriptedPrompter answers;
  LoggingPrompter prompter{answers, window.log};
  ScriptedFileChooser files;
  AppContext app{prompter, files, dir.path().string()};
  LedgerCommands commands{app.session(), prompter, window};
  LedgerFileFlows flows{app, commands, window};
  ReportViewFlows views{app, commands, window};
};

}  // namespace ledger::test
