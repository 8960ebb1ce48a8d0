#pragma once
// A main window over scripted dialogs and messages, with a program folder
// holding the master and the template, for tests that run the commands end
// to end and then read the ledger file.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLineEdit>

#include <string>

#include "app/app_context.h"
#include "app/startup.h"
#include "ledger/ledger_schema.h"
#include "fakes.h"
#include "test_ledger.h"
#include "ui/entry/entry_form.h"
#include "ui/main/mdi_main.h"

namespace ledger::test {

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeLedgerFromSchema(app.masterPath());
    ASSERT_FALSE(refreshTemplate(app).has_value());
  }
  void TearDown() override {
    window.forms().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(prompter.pending(), 0u) << "a queued message was never shown";
  }

  // Opens a ledger through File, Open.
  void openLedger(const std::string& path) {
    files.queueOpen(path);
    window.mnuFileItem_Click(3);
  }
  EntryForm* form() { return window.forms().find<EntryForm>("frmMain"); }
  QString box(const char* column, int tab = kGeneralTab) { return form()->box(column, tab)->text(); }

  TempDir dir;
  ScriptedPrompter prompter;
  ScriptedFileChooser files;
  AppContext app{prompter, files, dir.path().string()};
  MDIMain window{app};
};

}  // namespace ledger::test
