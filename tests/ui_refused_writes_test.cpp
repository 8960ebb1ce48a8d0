// Save, Delete, Add Company and New Database when the ledger cannot take
// the change: a full disk, a read-only disk, a folder where no journal can
// be made. Each command says why, keeps what the user typed, and leaves the
// ledger file byte for byte as it was.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolBar>

#include <fstream>
#include <filesystem>
#include <functional>
#include <set>

#include "app/app_context.h"
#include "app/startup.h"
#include "engine/db_error.h"
#include "ledger/ledger_schema.h"
#include "ledger/ledger_writes.h"
#include "ledger/view_queries.h"
#include "ui/views/datasheet_view.h"
#include "ui/views/history_view.h"
#include "ui/views/recordset_model.h"
#include "fakes.h"
#include "window_fixture.h"
#include "test_ledger.h"
#include "immutable_file.h"
#include "tmpfs_mount.h"
#include "ui/entry/add_company_dialog.h"
#include "ui/entry/entry_form.h"
#include "ui/main/mdi_main.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

constexpr const char* kDiskFullText = "The disk is full; the change was not written.";
constexpr const char* kReadOnlyText = "The ledger file is read-only; the change was not written.";
constexpr const char* kFolderText = "The ledger's folder cannot be written";

// Every connection the program opens may not grow its file by one page:
// how a full disk looks to SQLite, without filling a disk.
int limitPages(sqlite3* db, char**, const sqlite3_api_routines*) {
  // A limit below the file's size is raised to its size.
  return sqlite3_exec(db, "PRAGMA max_page_count = 1", nullptr, nullptr, nullptr);
}

class RefusedWritesTest : public test::WindowTest {
 protected:
  void TearDown() override {
    WindowTest::TearDown();
    sqlite3_reset_auto_extension();
  }

  static void makeTradeLedger(const std::string& path) {
    test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}, {2, "MSFT", 3, "S", "2024-02-03", 410, 1}});
  }
  void openLedgerShown(const std::string& path) {
    openLedger(path);
    ASSERT_TRUE(form());
    ASSERT_EQ(app.session().LedgerPath, path);
  }

  // Runs a command that the ledger must refuse; the message must hold
  // both the command's own first line and the reason.
  void expectRefused(const std::string& path, const std::function<void()>& command, const std::string& firstLine,
                     const std::string& reason) {
    const std::string before = test::readBytes(path);
    const size_t shownBefore = prompter.shown.size();
    prompter.expect(MsgAnswer::Ok);
    command();
    ASSERT_GT(prompter.shown.size(), shownBefore) << "no message";  // Delete asks first
    const ShownMessage& m = prompter.shown.back();
    EXPECT_EQ(m.text.rfind(firstLine, 0), 0u) << m.text;
    EXPECT_NE(m.text.find(reason), std::string::npos) << m.text;
    EXPECT_EQ(m.icon, MsgIcon::Critical);
    EXPECT_EQ(test::readBytes(path), before) << "the ledger changed";
    EXPECT_FALSE(fs::exists(path + "-journal"));
  }
  using ShownMessage = test::ShownMessage;

  // The commands, each checked for what the user keeps.
  void saveNewTrade(const std::string& path, const std::string& reason) {
    window.mnuFileItem_Click(2);
    form()->cboCompanySymbol()->setEditText("MSFT");
    form()->box("Date", 0)->setText("2024-06-01");
    form()->box("Quantity", 0)->setText("3");
    form()->box("Price", 0)->setText("410.5");
    form()->box("Commission", 0)->setText("1.25");
    form()->optSell()->setChecked(true);
    expectRefused(path, [&] { window.mnuFileItem_Click(5); }, "The trade could not be saved.", reason);
    EXPECT_EQ(box("CompanySymbol"), "MSFT");
    EXPECT_EQ(box("Date"), "2024-06-01");
    EXPECT_EQ(box("Price"), "410.5");
    EXPECT_TRUE(form()->optSell()->isChecked());
    EXPECT_EQ(window.recordMode(), "Save");
    // Save can be tried again, except on a read-only ledger, where every
    // change is off.
    EXPECT_EQ(window.mnuFileItem(5)->isEnabled(), reason != kReadOnlyText);
  }
  void saveEdit(const std::string& path, const std::string& reason) {
    window.mnuEditItem_Click(1);
    form()->box("Price", 0)->setText("123456789.125");
    form()->box("Quantity", 0)->setText("77777");
    expectRefused(path, [&] { window.mnuFileItem_Click(5); }, "The trade could not be saved.", reason);
    EXPECT_EQ(box("Price"), "123456789.125");
    EXPECT_EQ(window.recordMode(), "Edit");
  }
  void deleteShown(const std::string& path, const std::string& reason) {
    prompter.expect(MsgAnswer::Yes);
    expectRefused(path, [&] { window.mnuFileItem_Click(6); }, "The trade could not be deleted.", reason);
    EXPECT_EQ(box("CompanySymbol"), "AAPL");
  }
  void addCompany(const std::string& path, const std::string& reason) {
    window.mnuEditItem_Click(2);
    auto* dialog = window.forms().find<AddCompanyDialog>("frmAddCompany");
    ASSERT_TRUE(dialog);
    dialog->txtCompanySymbol()->setText("NEWCO");
    expectRefused(path, [&] { dialog->cmdAdd()->click(); }, "The company could not be added.", reason);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

enum class Command { SaveNew, SaveEdit, Delete, AddCompany };
const char* nameOf(Command c) {
  switch (c) {
    case Command::SaveNew: return "save a new trade";
    case Command::SaveEdit: return "save an edit";
    case Command::Delete: return "delete";
    case Command::AddCompany: return "add a company";
  }
  return "";
}

TEST_F(RefusedWritesTest, EachCommandOnAFullDiskSaysSoAndKeepsTheLedger) {
  // Two ways of a full disk: SQLite's page limit (a write needing one more
  // page), and a real file system without a free block (the journal cannot
  // be written, which stops even a delete).
  struct Case {
    bool pageLimit;
    Command command;
  };
  const Case cases[] = {{true, Command::SaveNew},     {true, Command::AddCompany}, {false, Command::SaveNew},
                        {false, Command::SaveEdit},   {false, Command::Delete},    {false, Command::AddCompany}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pageLimit ? "page limit: " : "full file system: ") + nameOf(c.command));
    std::optional<test::TmpfsMount> disk;
    std::string path = dir.file("full.mdb");
    if (!c.pageLimit) {
      disk.emplace(256 * 1024);
      if (!disk->mounted()) GTEST_SKIP() << disk->why();
      path = disk->file("full.mdb");
    }
    makeTradeLedger(path);
    if (c.pageLimit) {
      sqlite3_auto_extension(reinterpret_cast<void (*)()>(limitPages));
      // Fill the ledger until the very row the command writes needs a new page.
      Database db = ledger::openLedger(path);
      const char* fill = c.command == Command::AddCompany
                             ? "INSERT INTO Companies (CompanySymbol) VALUES ('NEWCO')"
                             : "INSERT INTO Trade VALUES (2, 'MSFT', 3, 'S', '2024-06-01', 410.5, 1.25)";
      while (passOver([&] { db.executeScript(fill); }) == 0) {
      }
    }
    openLedgerShown(path);
    if (disk) disk->fill();
    switch (c.command) {
      case Command::SaveNew: saveNewTrade(path, kDiskFullText); break;
      case Command::SaveEdit: saveEdit(path, kDiskFullText); break;
      case Command::Delete: deleteShown(path, kDiskFullText); break;
      case Command::AddCompany: addCompany(path, kDiskFullText); break;
    }
    sqlite3_reset_auto_extension();
    window.commands().forgetEntry();  // the refused entry is not carried into the next case
    window.forms().unloadAll();
    app.session().CurrentRecordset.reset();
    app.session().LedgerDatabase.reset();
  }
}

TEST_F(RefusedWritesTest, AReadOnlyLedgerCanBeViewedAndEachChangeSaysTheFileIsReadOnly) {
  test::TmpfsMount disk(1024 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << disk.why();
  const std::string path = disk.file("ro.mdb");
  makeTradeLedger(path);
  {
    // History queries left behind for another company, and no datasheet
    // queries at all: the views must not show stale rows or fail.
    Database db = ledger::openLedger(path);
    BuildHistoryQueries(db, "MSFT");
    // A step that Undo would offer on a ledger that can be written.
    insertCompany(db, "ZZZ");
  }
  if (!disk.remountReadOnly()) GTEST_SKIP() << disk.why();

  openLedgerShown(path);
  EXPECT_FALSE(window.mnuEditItem(3)->isEnabled());
  EXPECT_FALSE(window.tbMainButton(12)->isEnabled());
  EXPECT_EQ(window.mnuEditItem(3)->text(), "&Undo");
  window.mnuEditItem_Click(3);  // does nothing, and says nothing
  EXPECT_EQ(box("CompanySymbol"), "AAPL");
  EXPECT_EQ(window.windowTitle().toStdString(), "Torvik's Dozeza Dovezir - " + path + " (read-only)");
  form()->tbNavigateG_ButtonClick(form()->navigationBar(0)->actions().at(2));
  EXPECT_EQ(box("CompanySymbol"), "MSFT");
  form()->tbNavigateG_ButtonClick(form()->navigationBar(0)->actions().at(1));
  EXPECT_EQ(box("CompanySymbol"), "AAPL");
  // Every view opens without a message.
  window.mnuRestoreItem_Click(2);
  EXPECT_EQ(window.forms().loaded(),
            QStringList({"frmMain", "frmDatasheet", "frmHistory", "frmChart", "frmPL", "frmGains"}));
  EXPECT_EQ(window.forms().find<DatasheetView>("frmDatasheet")->model()->rowCount(), 2);
  const RecordsetModel* bought = window.forms().find<HistoryView>("frmHistory")->model(HistoryView::Buy);
  ASSERT_EQ(bought->rowCount(), 1);
  EXPECT_EQ(bought->index(0, 0).data().toString(), "AAPL");
  window.forms().unloadAll();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  for (Command c : {Command::SaveNew, Command::SaveEdit, Command::Delete, Command::AddCompany}) {
    SCOPED_TRACE(nameOf(c));
    openLedgerShown(path);
    switch (c) {
      case Command::SaveNew: saveNewTrade(path, kReadOnlyText); break;
      case Command::SaveEdit: saveEdit(path, kReadOnlyText); break;
      case Command::Delete: deleteShown(path, kReadOnlyText); break;
      case Command::AddCompany: addCompany(path, kReadOnlyText); break;
    }
    window.commands().forgetEntry();  // the refused entry is not carried into the next case
  }
  window.forms().unloadAll();
  app.session().CurrentRecordset.reset();
  app.session().LedgerDatabase.reset();
}

TEST_F(RefusedWritesTest, EveryCommandThatWouldChangeALedgerIsOffWhileItIsReadOnly) {
  // A table the program did not make opens the ledger read-only, whoever
  // may write the file.
  const std::string readOnly = dir.file("foreign.mdb");
  makeTradeLedger(readOnly);
  Database::openFile(readOnly, true).executeScript("CREATE TABLE notes(body TEXT);");
  const std::string writable = dir.file("w.mdb");
  makeTradeLedger(writable);
  {
    Database db = ledger::openLedger(writable);
    insertCompany(db, "ZZZ");  // a step for Undo
  }
  // New Record, Edit, Save, Delete, Import of trades and of prices, Add
  // Company, Undo and Redo.
  const std::vector<QAction*> changes = {
      window.tbMainButton(2),  window.tbMainButton(4),  window.tbMainButton(6), window.tbMainButton(7),
      window.tbMainButton(12), window.tbMainButton(13), window.mnuFileItem(2),  window.mnuFileItem(5),
      window.mnuFileItem(6),   window.mnuFileItem(9),   window.mnuEditItem(1),  window.mnuEditItem(2),
      window.mnuEditItem(3),   window.mnuEditItem(4),   window.mnuFileItem(12)};
  const auto enabled = [&] {
    emit window.mnuFile()->aboutToShow();
    emit window.mnuEdit()->aboutToShow();
    std::set<std::string> on;
    for (QAction* action : changes)
      if (action->isEnabled()) on.insert(action->objectName().toStdString());
    return on;
  };

  prompter.expect(MsgAnswer::Ok);  // the notes table is named once
  openLedgerShown(readOnly);
  ASSERT_TRUE(window.windowTitle().endsWith(" (read-only)"));
  EXPECT_EQ(enabled(), std::set<std::string>{});

  openLedgerShown(writable);
  EXPECT_EQ(enabled(), (std::set<std::string>{"New", "Edit", "Delete", "Undo", "mnuFileItem(2)", "mnuFileItem(6)",
                                              "mnuFileItem(9)", "mnuFileItem(12)", "mnuEditItem(1)", "mnuEditItem(2)", "mnuEditItem(3)"}));
}

TEST_F(RefusedWritesTest, ALedgerInAFolderWhereNoJournalCanBeMadeSaysTheFolderCannotBeWritten) {
  test::TempDir folder;
  const std::string path = folder.file("l.mdb");
  makeTradeLedger(path);
  // The folder's entries cannot change: the ledger can be written, but no
  // file can be made beside it.
  test::ImmutableFile immutable(folder.path());
  if (!immutable.set()) GTEST_SKIP() << "cannot make a folder immutable (chattr +i) here";

  openLedgerShown(path);
  EXPECT_EQ(box("CompanySymbol"), "AAPL");
  for (Command c : {Command::SaveNew, Command::SaveEdit, Command::Delete, Command::AddCompany}) {
    SCOPED_TRACE(nameOf(c));
    openLedgerShown(path);
    switch (c) {
      case Command::SaveNew: saveNewTrade(path, kFolderText); break;
      case Command::SaveEdit: saveEdit(path, kFolderText); break;
      case Command::Delete: deleteShown(path, kFolderText); break;
      case Command::AddCompany: addCompany(path, kFolderText); break;
    }
    window.commands().forgetEntry();  // the refused entry is not carried into the next case
  }
  window.forms().unloadAll();
  app.session().CurrentRecordset.reset();
  app.session().LedgerDatabase.reset();
}

TEST_F(RefusedWritesTest, NewDatabaseOnAFullDiskLeavesNothingAndKeepsAnExistingFile) {
  test::TmpfsMount disk(96 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << disk.why();
  std::ofstream(disk.file("existing.mdb"), std::ios::binary) << "the user's own file";
  disk.fill();
  for (const char* name : {"existing.mdb", "fresh.mdb"}) {
    SCOPED_TRACE(name);
    const std::string target = disk.file(name);
    const bool existed = fs::exists(target);
    const std::string before = existed ? test::readBytes(target) : "";
    files.queueSave(target);
    prompter.expect(MsgAnswer::Ok);
    window.mnuFileItem_Click(1);
    ASSERT_FALSE(prompter.shown.empty());
    EXPECT_NE(prompter.shown.back().text.find("The new ledger could not be written to"), std::string::npos);
    EXPECT_NE(prompter.shown.back().text.find(kDiskFullText), std::string::npos) << prompter.shown.back().text;
    EXPECT_NE(app.session().LedgerPath, target);
    EXPECT_EQ(fs::exists(target), existed);
    if (existed) {
      EXPECT_EQ(test::readBytes(target), before);
    }
    size_t entries = 0;
    for (const auto& e : fs::directory_iterator(disk.path())) entries += e.path().filename() != ".filler";
    EXPECT_EQ(entries, 1u) << "something half-written was left";
  }
}

}  // namespace
}  // namespace ledger
