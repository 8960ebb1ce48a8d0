// The main window as the user meets it before any ledger is open: its
// commands, menus, toolbar, popups and child windows.

#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>

#include <functional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "app/app_context.h"
#include "fakes.h"
#include "test_ledger.h"
#include "app/command_guard.h"
#include "ui/main/mdi_main.h"
#include "ui/mdi_child.h"
#include "ui/pictures.h"

namespace ledger {
namespace {

using Calls = std::vector<std::string>;

// Records which command entry points ran; Help and Exit then run too.
class RecordingMainWindow : public MDIMain {
 public:
  using MDIMain::MDIMain;
  void mnuFileItem_Click(int i) override { record("File", i, [&] { MDIMain::mnuFileItem_Click(i); }); }
  void mnuEditItem_Click(int i) override { record("Edit", i, [&] { MDIMain::mnuEditItem_Click(i); }); }
  void mnuViewItem_Click(int i) override { record("View", i, [&] { MDIMain::mnuViewItem_Click(i); }); }
  void mnuHelpItem_Click(int i) override { record("Help", i, [&] { MDIMain::mnuHelpItem_Click(i); }); }
  void cancelEntry() override { calls.push_back("Cancel"); }

  Calls calls;
  // A command that fails, as "Edit 1".
  std::string failing;
  // Whether the other recorded commands then run (they need a ledger,
  // which these tests do not open).
  bool runCommands = false;

 private:
  template <class F>
  void record(const char* menu, int index, F run) {
    const std::string call = std::string(menu) + " " + std::to_string(index);
    calls.push_back(call);
    if (call == failing) throw DbError(dberr::kNoCurrentRow, "No current record.");
    if (runCommands || std::string(menu) == "Help" || call == "File 8") run();
  }
};

class MainWindowTest : public ::testing::Test {
 protected:
  void TearDown() override {
    window.forms().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // A child window in the workspace holding a text box with focus.
  QLineEdit* focusedTextBox(bool locked = true) {
    auto* child = new MdiChild(window.mdiArea());
    auto* box = new QLineEdit(QStringLiteral("abc"), child);
    box->setReadOnly(locked);
    child->frame()->show();
    window.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(child->frame()));
    box->setFocus();
    box->selectAll();
    return box;
  }

  test::ScriptedPrompter prompter;
  test::ScriptedFileChooser files;
  test::TempDir dir;
  AppContext app{prompter, files, dir.path().string()};
  RecordingMainWindow window{app};
};

std::string name(const QAction* action) { return action ? action->objectName().toStdString() : "(none)"; }

TEST_F(MainWindowTest, LoadsHiddenOverTheScreensFreeAreaWithNoLedger) {
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Torvik's Dozeza Dovezir - "));
  EXPECT_EQ(window.recordMode(), QStringLiteral("Save"));
  EXPECT_EQ(window.geometry(), QGuiApplication::primaryScreen()->availableGeometry());
}

TEST_F(MainWindowTest, ShownItsFrameAndStatusBarLieWithinTheScreensFreeArea) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QCoreApplication::processEvents();
  const QRect area = window.screen()->availableGeometry();
  EXPECT_TRUE(area.contains(window.frameGeometry()))
      << window.frameGeometry().x() << "," << window.frameGeometry().y() << " " << window.frameGeometry().width()
      << "x" << window.frameGeometry().height();
  EXPECT_NE(window.frameGeometry(), window.geometry()) << "the window has a frame here";
  EXPECT_GE(window.height(), area.height() * 9 / 10);  // still covers the screen
  QWidget* statusBar = window.findChild<QWidget*>("sb");
  EXPECT_TRUE(area.contains(QRect(statusBar->mapToGlobal(QPoint(0, 0)), statusBar->size())));
}

TEST_F(MainWindowTest, NoLedgerStateOffersOnlyNewOpenCloseAndHelp) {
  const std::vector<std::pair<QAction*, bool>> enabled = {
      {window.tbMainButton(1), true},   {window.tbMainButton(2), false},  {window.tbMainButton(3), true},
      {window.tbMainButton(4), false},  {window.tbMainButton(6), false},  {window.tbMainButton(7), false},
      {window.tbMainButton(9), true},   {window.tbMainButton(11), true},  {window.mnuFileItem(1), true},
      {window.mnuFileItem(2), false},   {window.mnuFileItem(3), true},    {window.mnuFileItem(5), false},
      {window.mnuFileItem(6), false},   {window.mnuFileItem(8), true},    {window.mnuHelpItem(1), true},
      {window.mnuHelpItem(3), true},    {window.mnuSHItem(1), true},      {window.mnuSHItem(2), false},
      {window.mnuSHItem(3), false},     {window.mnuSHViewItem(1), false}, {window.mnuSHViewItem(2), false},
      {window.mnuSHViewItem(3), false}, {window.mnuSHViewItem(4), false}, {window.mnuRestoreItem(1), false},
      {window.mnuRestoreItem(2), false}, {window.mnuSHViewItem(5), false}, {window.tbMainButton(12), false},
      {window.tbMainButton(13), false},  {window.mnuEditItem(3), false},   {window.mnuEditItem(4), false},
  };
  for (const auto& [action, expected] : enabled) {
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->isEnabled(), expected) << name(action);
  }
  EXPECT_TRUE(window.mnuFile()->menuAction()->isVisible());
  EXPECT_FALSE(window.mnuEdit()->menuAction()->isVisible());
  EXPECT_FALSE(window.mnuView()->menuAction()->isVisible());
  EXPECT_TRUE(window.mnuHelp()->menuAction()->isVisible());
  EXPECT_EQ(window.tbMainButton(9)->property("Tag").toString(), QStringLiteral("Close"));
}

TEST_F(MainWindowTest, MenuItemsHaveTheirCaptionsAndShortcuts) {
  struct Row {
    const char* name;
    QAction* action;
    const char* caption;  // "-" for a separator
    QKeySequence shortcut;
  };
  const Row rows[] = {
      {"mnuFileItem(1)", window.mnuFileItem(1), "&New Database...", {}},
      {"mnuFileItem(2)", window.mnuFileItem(2), "&New Record", QKeySequence(Qt::CTRL | Qt::Key_N)},
      {"mnuFileItem(3)", window.mnuFileItem(3), "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O)},
      {"mnuFileItem(4)", window.mnuFileItem(4), "-", {}},
      {"mnuFileItem(5)", window.mnuFileItem(5), "&Save", {}},
      {"mnuFileItem(6)", window.mnuFileItem(6), "&Delete...", {}},
      {"mnuFileItem(7)", window.mnuFileItem(7), "-", {}},
      {"mnuFileItem(8)", window.mnuFileItem(8), "E&xit", QKeySequence(Qt::CTRL | Qt::Key_X)},
      {"mnuEditItem(1)", window.mnuEditItem(1), "&Records", QKeySequence(Qt::CTRL | Qt::Key_R)},
      {"mnuEditItem(2)", window.mnuEditItem(2), "&Add Company...", QKeySequence(Qt::CTRL | Qt::Key_A)},
      {"mnuEditItem(3)", window.mnuEditItem(3), "&Undo", QKeySequence(Qt::CTRL | Qt::Key_Z)},
      {"mnuEditItem(4)", window.mnuEditItem(4), "Re&do", QKeySequence(Qt::CTRL | Qt::Key_Y)},
      {"mnuEditItem(5)", window.mnuEditItem(5), "-", {}},
      {"mnuEditItem(6)", window.mnuEditItem(6), "&Splits and Dividends...", QKeySequence(Qt::CTRL | Qt::Key_E)},
      {"mnuEditItem(7)", window.mnuEditItem(7), "&Prices...", {}},
      {"mnuViewItem(1)", window.mnuViewItem(1), "&Chart", QKeySequence(Qt::CTRL | Qt::Key_C)},
      {"mnuViewItem(2)", window.mnuViewItem(2), "&DataSheet", QKeySequence(Qt::CTRL | Qt::Key_D)},
      {"mnuViewItem(3)", window.mnuViewItem(3), "&History", QKeySequence(Qt::CTRL | Qt::Key_H)},
      {"mnuViewItem(4)", window.mnuViewItem(4), "&Profit/Loss", QKeySequence(Qt::CTRL | Qt::Key_P)},
      {"mnuViewItem(5)", window.mnuViewItem(5), "&Gains", QKeySequence(Qt::CTRL | Qt::Key_G)},
      {"mnuHelpItem(1)", window.mnuHelpItem(1), "&Help", QKeySequence(Qt::Key_F1)},
      {"mnuHelpItem(2)", window.mnuHelpItem(2), "-", {}},
      {"mnuHelpItem(3)", window.mnuHelpItem(3), "&About", {}},
      {"mnuSHItem(1)", window.mnuSHItem(1), "&About", {}},
      {"mnuSHItem(2)", window.mnuSHItem(2), "Mi&nimize All", {}},
      {"mnuSHItem(3)", window.mnuSHItem(3), "Ma&ximize All", {}},
      {"mnuSHItem(4)", window.mnuSHItem(4), "&View", {}},
      {"mnuSHViewItem(1)", window.mnuSHViewItem(1), "&Chart", {}},
      {"mnuSHViewItem(2)", window.mnuSHViewItem(2), "&Datasheet", {}},
      {"mnuSHViewItem(3)", window.mnuSHViewItem(3), "&History", {}},
      {"mnuSHViewItem(4)", window.mnuSHViewItem(4), "&Profit/Loss", {}},
      {"mnuSHViewItem(5)", window.mnuSHViewItem(5), "&Gains", {}},
      {"mnuRestoreItem(1)", window.mnuRestoreItem(1), "&Refresh", {}},
      {"mnuRestoreItem(2)", window.mnuRestoreItem(2), "Refresh &All", {}},
      // Added after the original items, which keep their numbers.
      {"mnuFileItem(9)", window.mnuFileItem(9), "&Import Trades\u2026", {}},
      {"mnuFileItem(12)", window.mnuFileItem(12), "Import P&rices\u2026", {}},
      {"mnuFileItem(10)", window.mnuFileItem(10), "Ex&port Trades\u2026", {}},
      {"mnuFileItem(11)", window.mnuFileItem(11), "-", {}},
      {"mnuRestoreItem(3)", window.mnuRestoreItem(3), "Export to &CSV\u2026", {}},
  };
  for (const Row& row : rows) {
    ASSERT_NE(row.action, nullptr) << row.name;
    EXPECT_EQ(name(row.action), row.name);
    if (std::string(row.caption) == "-")
      EXPECT_TRUE(row.action->isSeparator()) << row.name;
    else
      EXPECT_EQ(row.action->text(), QString::fromUtf8(row.caption)) << row.name;
    EXPECT_EQ(row.action->shortcut(), row.shortcut) << row.name;
  }
  // Redo has a second key.
  EXPECT_EQ(window.mnuEditItem(4)->shortcuts(),
            (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
  for (QAction* beyond : {window.mnuFileItem(0), window.mnuFileItem(13), window.mnuEditItem(8), window.mnuSHItem(5),
                          window.mnuRestoreItem(4), window.mnuViewItem(6), window.mnuSHViewItem(6)})
    EXPECT_EQ(beyond, nullptr);
  EXPECT_EQ(window.mnuSHItem(4)->menu(), window.mnuSHViewItem(1)->parent());
}

TEST_F(MainWindowTest, MenuBarHoldsFourMenusAndNeitherPopup) {
  const QList<QAction*> bar = window.menuBar()->actions();
  const QList<QAction*> expected = {window.mnuFile()->menuAction(), window.mnuEdit()->menuAction(),
                                    window.mnuView()->menuAction(), window.mnuHelp()->menuAction()};
  EXPECT_EQ(bar, expected);
  const std::pair<QMenu*, const char*> titles[] = {{window.mnuFile(), "&File"}, {window.mnuEdit(), "&Edit"},
                                                   {window.mnuView(), "&View"}, {window.mnuHelp(), "&Help"},
                                                   {window.mnuSH(), "ShortHand"}, {window.mnuRestore(), "Restore"}};
  for (const auto& [menu, title] : titles) EXPECT_EQ(menu->title(), QString::fromLatin1(title));
}

TEST_F(MainWindowTest, ToolbarButtonsHaveKeysTipsAndPictures) {
  struct Row {
    const char* key;
    const char* toolTip;  // "" for a separator
    int picture;
  };
  const Row rows[] = {{"New Database", "New Database", 1}, {"New", "New Record", 2}, {"Open", "Open Database", 3},
                      {"Edit", "Edit Record", 4},          {"Sep1", "", 0},          {"Save", "Save Record", 6},
                      {"Delete", "Delete Record", 5},      {"Sep2", "", 0},          {"Close", "Close", 7},
                      {"Sep3", "", 0},                     {"Help", "Help", 9},      {"Undo", "Undo", 10},
                      {"Redo", "Redo", 11}};
  EXPECT_EQ(window.tbMain()->actions().size(), 13);
  for (int position = 1; position <= 13; ++position) {
    const Row& row = rows[position - 1];
    QAction* button = window.tbMainButton(position);
    ASSERT_NE(button, nullptr) << position;
    EXPECT_EQ(window.tbMain()->actions().at(position - 1), button) << position;
    EXPECT_EQ(name(button), row.key) << position;
    EXPECT_EQ(button->isSeparator(), row.picture == 0) << position;
    if (row.picture == 0) continue;
    EXPECT_EQ(button->toolTip(), QString::fromLatin1(row.toolTip)) << position;
    EXPECT_EQ(button->property("Image").toInt(), row.picture) << position;
    EXPECT_FALSE(button->icon().isNull()) << position;
  }
  EXPECT_EQ(window.tbMainButton(0), nullptr);
  EXPECT_EQ(window.tbMainButton(14), nullptr);
  EXPECT_FALSE(window.tbMain()->isMovable());
}

TEST_F(MainWindowTest, ToolbarDispatchesByExactKey) {
  const std::pair<const char*, Calls> rows[] = {
      {"New Database", {"File 1"}}, {"New", {"File 2"}},    {"Open", {"File 3"}}, {"Edit", {"Edit 1"}},
      {"Save", {"File 5"}},         {"Delete", {"File 6"}}, {"Help", {"Help 1"}}, {"Sep1", {}},
      {"Sep2", {}},                 {"Sep3", {}},           {"open", {}},         {"Open ", {}},
      {"", {}},                     {"Undo", {"Edit 3"}},   {"Redo", {"Edit 4"}}, {"undo", {}},
  };
  for (const auto& [key, expected] : rows) {
    QAction button;
    button.setObjectName(QString::fromLatin1(key));
    window.calls.clear();
    window.tbMain_ButtonClick(&button);
    EXPECT_EQ(window.calls, expected) << "key \"" << key << "\"";
  }
}

TEST_F(MainWindowTest, ButtonNineClosesOnlyWhileItsTagIsClose) {
  const std::tuple<const char*, bool, Calls> rows[] = {
      {"Close", true, {"File 8"}}, {"Cancel", false, {"Cancel"}}, {"close", false, {"Cancel"}}};
  for (const auto& [tag, closes, expected] : rows) {
    window.show();
    window.tbMainButton(9)->setProperty("Tag", QString::fromLatin1(tag));
    window.calls.clear();
    window.tbMainButton(9)->trigger();
    EXPECT_EQ(window.calls, expected) << tag;
    EXPECT_EQ(window.isVisible(), !closes) << tag;
  }
}

TEST_F(MainWindowTest, MenuItemsRunTheirArrayHandlerWithTheirIndex) {
  const std::pair<QAction*, Calls> rows[] = {
      {window.mnuFileItem(3), {"File 3"}},       {window.mnuFileItem(6), {"File 6"}},
      {window.mnuEditItem(2), {"Edit 2"}},       {window.mnuViewItem(4), {"View 4"}},
      {window.mnuSHViewItem(2), {"View 2"}},     {window.mnuSHViewItem(3), {"View 3"}},
      {window.mnuHelpItem(3), {"Help 3"}},       {window.mnuSHItem(1), {"Help 3"}},
      {window.mnuRestoreItem(1), {}},
  };
  for (const auto& [action, expected] : rows) {
    action->setEnabled(true);
    window.calls.clear();
    action->trigger();
    EXPECT_EQ(window.calls, expected) << name(action);
  }
}

TEST_F(MainWindowTest, HelpAndAboutShowTheirFormsOnce) {
  int made = 0;
  for (const char* form : {"frmHelp", "frmAbout"})
    window.forms().define(QString::fromLatin1(form), [&made] {
      ++made;
      return new QWidget;
    });
  const std::pair<std::function<void()>, QStringList> rows[] = {
      {[&] { window.mnuHelpItem_Click(2); }, {}},
      {[&] { window.mnuHelpItem_Click(1); }, {"frmHelp"}},
      {[&] { window.mnuHelpItem_Click(3); }, {"frmHelp", "frmAbout"}},
      {[&] { window.mnuSHItem_Click(1); }, {"frmHelp", "frmAbout"}},
      {[&] { window.tbMain_ButtonClick(window.tbMainButton(11)); }, {"frmHelp", "frmAbout"}},
  };
  for (const auto& [run, loaded] : rows) {
    run();
    EXPECT_EQ(window.forms().loaded(), loaded);
  }
  EXPECT_EQ(made, 2);
  EXPECT_TRUE(window.forms().find("frmAbout")->isVisible());
}

TEST_F(MainWindowTest, WorkspacePopsUpShortHandOnlyOnTheRightButton) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  for (const auto& [button, pops] : {std::pair{Qt::LeftButton, false}, std::pair{Qt::MiddleButton, false},
                                     std::pair{Qt::RightButton, true}}) {
    QTest::mousePress(window.mdiArea()->viewport(), button, Qt::NoModifier, QPoint(50, 50));
    EXPECT_EQ(window.mnuSH()->isVisible(), pops) << button;
    window.mnuSH()->hide();
  }
  window.popupRestoreMenu(ViewTag::Chart);
  EXPECT_TRUE(window.mnuRestore()->isVisible());
  window.mnuRestore()->hide();
}

TEST_F(MainWindowTest, MinimizeAndMaximizeAllActOnEveryChildWindow) {
  for (int count : {0, 1, 3}) {
    for (QMdiSubWindow* old : window.mdiArea()->subWindowList()) delete old;
    window.show();
    for (int i = 0; i < count; ++i) window.mdiArea()->addSubWindow(new QWidget)->show();

    window.mnuSHItem_Click(2);
    for (QMdiSubWindow* child : window.mdiArea()->subWindowList()) EXPECT_TRUE(child->isMinimized()) << count;
    // The workspace shows one maximized child at a time: whichever of them
    // the user brings forward fills it.
    window.mnuSHItem_Click(3);
    for (QMdiSubWindow* child : window.mdiArea()->subWindowList()) {
      window.mdiArea()->setActiveSubWindow(child);
      EXPECT_TRUE(child->isMaximized()) << count;
    }
    EXPECT_EQ(window.mdiArea()->subWindowList().size(), count);
    EXPECT_FALSE(window.isMinimized() || window.isMaximized()) << count;
  }
}

TEST_F(MainWindowTest, ExitClosesTheWindowAndUnloadsEveryChild) {
  window.forms().define("frmChild", [this] { return new MdiChild(window.mdiArea()); });
  window.show();
  window.forms().show("frmChild");
  window.mdiArea()->addSubWindow(new QWidget)->show();

  window.mnuFileItem_Click(8);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(window.forms().loaded().isEmpty());
  EXPECT_TRUE(window.mdiArea()->subWindowList().isEmpty());
}

TEST_F(MainWindowTest, ShortcutsReachShownMenusFromALockedBoxAndEditTheTextOfAnUnlockedOne) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  struct Row {
    QKeyCombination key;
    bool editAndViewShown;
    bool locked;
    Calls expected;
    const char* textAfter;
  };
  const Row rows[] = {
      {Qt::CTRL | Qt::Key_R, false, true, {}, "abc"},  // the Edit menu is hidden
      {Qt::CTRL | Qt::Key_R, true, true, {"Edit 1"}, "abc"},
      {Qt::CTRL | Qt::Key_A, false, true, {}, "abc"},
      {Qt::CTRL | Qt::Key_A, true, true, {"Edit 2"}, "abc"},
      {Qt::CTRL | Qt::Key_C, true, true, {"View 1"}, "abc"},
      {Qt::CTRL | Qt::Key_N, true, true, {}, "abc"},  // New Record is disabled
      {Qt::CTRL | Qt::Key_O, false, true, {"File 3"}, "abc"},
      {Qt::Key_F1, false, true, {"Help 1"}, "abc"},
      // In a box the user types in, the editing keys edit; other keys still
      // reach the menus.
      {Qt::CTRL | Qt::Key_A, true, false, {}, "abc"},
      {Qt::CTRL | Qt::Key_C, true, false, {}, "abc"},
      {Qt::CTRL | Qt::Key_X, true, false, {}, ""},
      {Qt::CTRL | Qt::Key_R, true, false, {"Edit 1"}, "abc"},
  };
  for (const Row& row : rows) {
    window.mnuEdit()->menuAction()->setVisible(row.editAndViewShown);
    window.mnuView()->menuAction()->setVisible(row.editAndViewShown);
    QLineEdit* box = focusedTextBox(row.locked);
    window.calls.clear();
    QTest::keyClick(box, row.key.key(), row.key.keyboardModifiers());
    const std::string key = QKeySequence(row.key).toString().toStdString() + (row.locked ? " locked" : " unlocked");
    EXPECT_EQ(window.calls, row.expected) << key;
    EXPECT_EQ(box->text().toStdString(), row.textAfter) << key;
  }
}

TEST_F(MainWindowTest, UndoAndRedoKeysStayInABoxOnlyWhileItCanTakeThemAndUndoLedgerChangesOtherwise) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  window.mnuEdit()->menuAction()->setVisible(true);
  // What the box holding "abc" went through before the key.
  enum class Before { Nothing, TypedD, TypedDAndUndid };
  const std::string kBeforeNames[] = {"nothing", "typing", "typing and undoing"};
  struct Row {
    QKeyCombination key;
    bool locked;
    Before before;
    Calls expected;
    const char* textAfter;
  };
  const Row rows[] = {
      {Qt::CTRL | Qt::Key_Z, true, Before::TypedD, {"Edit 3"}, "abcd"},
      {Qt::CTRL | Qt::Key_Y, true, Before::TypedDAndUndid, {"Edit 4"}, "abc"},
      {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, true, Before::TypedDAndUndid, {"Edit 4"}, "abc"},
      {Qt::CTRL | Qt::Key_Z, false, Before::TypedD, {}, "abc"},
      {Qt::CTRL | Qt::Key_Y, false, Before::TypedDAndUndid, {}, "abcd"},
      {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, false, Before::TypedDAndUndid, {}, "abcd"},
      // A box with nothing to take back or make again passes the keys on.
      {Qt::CTRL | Qt::Key_Z, false, Before::Nothing, {"Edit 3"}, "abc"},
      {Qt::CTRL | Qt::Key_Y, false, Before::TypedD, {"Edit 4"}, "abcd"},
      {Qt::CTRL | Qt::SHIFT | Qt::Key_Z, false, Before::TypedD, {"Edit 4"}, "abcd"},
  };
  for (const Row& row : rows) {
    // Enabled as they are when the ledger has steps.
    window.mnuEditItem(3)->setEnabled(true);
    window.mnuEditItem(4)->setEnabled(true);
    QLineEdit* box = focusedTextBox(false);
    box->end(false);
    if (row.before != Before::Nothing) QTest::keyClick(box, Qt::Key_D);
    if (row.before == Before::TypedDAndUndid) box->undo();
    box->setReadOnly(row.locked);
    window.calls.clear();
    QTest::keyClick(box, row.key.key(), row.key.keyboardModifiers());
    const std::string key = QKeySequence(row.key).toString().toStdString() + (row.locked ? " locked" : " unlocked") +
                            " after " + kBeforeNames[static_cast<int>(row.before)];
    EXPECT_EQ(window.calls, row.expected) << key;
    EXPECT_EQ(box->text().toStdString(), row.textAfter) << key;
  }
}

TEST_F(MainWindowTest, CtrlXInALockedBoxEndsTheProgram) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  QLineEdit* box = focusedTextBox();
  QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(window.calls, Calls{"File 8"});
  EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindowTest, AFailingCommandIsReportedAndTheWindowGoesOn) {
  window.failing = "Edit 1";
  prompter.expect(MsgAnswer::Ok);
  window.tbMain_ButtonClick(window.tbMainButton(4));
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, "The command could not be completed.\r\nNo current record.");
  EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Critical);
}

TEST(CommandGuardTest, ReportsEngineAndOtherErrorsButNotSuccess) {
  const std::pair<std::function<void()>, std::string> rows[] = {
      {[] { throw DbError(dberr::kFileNotFound, "File not found."); }, "File not found."},
      {[] { throw std::runtime_error("disk full"); }, "disk full"},
      {[] {}, ""},
  };
  for (const auto& [command, error] : rows) {
    test::ScriptedPrompter prompter;
    if (!error.empty()) prompter.expect(MsgAnswer::Ok);
    guarded(prompter, command);
    EXPECT_EQ(prompter.pending(), 0u) << error;
    if (!error.empty()) {
      EXPECT_EQ(prompter.shown.at(0).text, "The command could not be completed.\r\n" + error);
    }
    EXPECT_NO_THROW(guardedSilently(command)) << error;
  }
}

TEST(PicturesTest, EveryPictureIsDrawnSharplyAndDiffersFromTheOthers) {
  std::vector<QImage> drawn;
  for (int id = int(PictureId::NewDatabase); id <= int(PictureId::Redo); ++id) {
    const QPixmap pm = picture(static_cast<PictureId>(id)).pixmap(kPictureSize, 2.0);
    EXPECT_EQ(pm.size(), kPictureSize * 2) << id;
    const QImage image = pm.toImage().convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) opaque += qAlpha(image.pixel(x, y)) > 200;
    EXPECT_GT(opaque, 40) << id;
    for (size_t other = 0; other < drawn.size(); ++other) EXPECT_NE(image, drawn[other]) << id << " " << other + 1;
    drawn.push_back(image);
  }
  EXPECT_TRUE(pictureListItem(0).isNull());
  EXPECT_TRUE(pictureListItem(12).isNull());
  // The list's pictures 10 and 11 are Undo and Redo.
  const auto listed = [](int number) { return pictureListItem(number).pixmap(kPictureSize, 2.0).toImage(); };
  EXPECT_EQ(listed(10), picture(PictureId::Undo).pixmap(kPictureSize, 2.0).toImage());
  EXPECT_EQ(listed(11), picture(PictureId::Redo).pixmap(kPictureSize, 2.0).toImage());
}

}  // namespace
}  // namespace ledger
