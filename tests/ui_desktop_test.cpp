// Opening a ledger named on the command line or picked from the recent
// list, and what the program keeps between runs: the recent ledgers and
// the places of its windows. Settings live in a file of the test's own
// folder, never in the user's.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMdiSubWindow>
#include <QSettings>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "case_names.h"
#include "ui/entry/add_company_dialog.h"
#include "app/program_info.h"
#include "ui/recent_ledgers.h"
#include "window_fixture.h"

namespace ledger {
namespace {

using test::TempDir;

// ---- the list itself -------------------------------------------------------

struct ListCase {
  const char* name;
  std::vector<std::string> adds;      // added in this order
  std::vector<std::string> removals;  // then removed
  std::vector<std::string> expected;  // newest first
};

void PrintTo(const ListCase& c, std::ostream* os) {
  *os << c.name << ": adds " << ::testing::PrintToString(c.adds) << ", removes " << ::testing::PrintToString(c.removals)
      << ", keeps " << ::testing::PrintToString(c.expected);
}

class RecentListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(RecentListTest, KeepsNewestFirstWithoutRepeatsAndAtMostFive) {
  TempDir dir;
  QSettings settings(QString::fromStdString(dir.file("s.ini")), QSettings::IniFormat);
  RecentLedgers list(settings);
  for (const std::string& a : GetParam().adds) list.add(QString::fromStdString("/l/" + a));
  for (const std::string& r : GetParam().removals) list.remove(QString::fromStdString("/l/" + r));
  QStringList expected;
  for (const std::string& e : GetParam().expected) expected << QString::fromStdString("/l/" + e);
  EXPECT_EQ(list.paths(), expected);
  // A second reader of the same file sees the same list.
  QSettings again(QString::fromStdString(dir.file("s.ini")), QSettings::IniFormat);
  EXPECT_EQ(RecentLedgers(again).paths(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecentListTest,
    ::testing::Values(ListCase{"Empty", {}, {}, {}},
                      ListCase{"Order", {"a", "b", "c"}, {}, {"c", "b", "a"}},
                      ListCase{"ReopenMovesToTop", {"a", "b", "c", "a"}, {}, {"a", "c", "b"}},
                      ListCase{"LimitFive", {"a", "b", "c", "d", "e", "f", "g"}, {}, {"g", "f", "e", "d", "c"}},
                      ListCase{"ReopenInsideLimit", {"a", "b", "c", "d", "e", "b"}, {}, {"b", "e", "d", "c", "a"}},
                      ListCase{"Remove", {"a", "b", "c"}, {"b"}, {"c", "a"}},
                      ListCase{"RemoveUnknown", {"a"}, {"z"}, {"a"}},
                      ListCase{"SameFileOtherSpelling", {"a", "./a", "x/../a"}, {}, {"a"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecentListFile, AListEditedByHandIsCutToFiveAndCleaned) {
  TempDir dir;
  QSettings settings(QString::fromStdString(dir.file("s.ini")), QSettings::IniFormat);
  settings.setValue("RecentLedgers/paths", QStringList{"/1", "", "/2", "/2", "/3", "/4", "/5", "/6", "/7"});
  EXPECT_EQ(RecentLedgers(settings).paths(), (QStringList{"/1", "/2", "/3", "/4", "/5"}));
}

// ---- the main window with settings --------------------------------------------

class DesktopTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    window.useSettings(settings);
  }
  QStringList shownRecent() const {
    QStringList shown;
    for (int n = 1; n <= RecentLedgers::kMaxCount; ++n)
      if (window.mnuRecentItem(n)->isVisible()) shown << window.mnuRecentItem(n)->data().toString();
    return shown;
  }
  std::string title() const { return window.windowTitle().toStdString(); }

  TempDir settingsDir;
  QSettings settings{QString::fromStdString(settingsDir.file("shareledger.ini")), QSettings::IniFormat};
};

constexpr const char* kPrefix = "Torvik's Dozeza Dovezir - ";

// What the command line does with its argument, by the kind of file named.
struct ArgumentCase {
  const char* name;
  const char* file;
  bool opens;
  const char* messageStart;  // "" when no message comes
};

void PrintTo(const ArgumentCase& c, std::ostream* os) {
  *os << c.name << ": " << c.file << (c.opens ? " opens" : " is refused");
  if (*c.messageStart) *os << ", saying " << test::quoted(c.messageStart);
}

class CommandLineTest : public DesktopTest, public ::testing::WithParamInterface<ArgumentCase> {};

TEST_P(CommandLineTest, OpensALedgerAndRefusesAnythingElseLeavingNoLedger) {
  test::makeLedger(dir.file("l.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  std::ofstream(dir.file("text.mdb")) << "not a ledger at all";
  const ArgumentCase& c = GetParam();
  const std::string path = std::string(c.file) == "TEMPLATE" ? app.templatePath()
                           : std::string(c.file) == "MASTER" ? app.masterPath()
                                                            : dir.file(c.file);
  if (*c.messageStart) prompter.expect(MsgAnswer::Ok);
  window.openLedgerFromCommandLine(path);
  if (*c.messageStart) {
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text.rfind(c.messageStart, 0), 0u) << prompter.shown[0].text;
  } else {
    EXPECT_TRUE(prompter.shown.empty());
  }
  if (c.opens) {
    EXPECT_EQ(title(), kPrefix + path);
    ASSERT_TRUE(form());
    EXPECT_EQ(box("CompanySymbol"), "AAPL");
    EXPECT_EQ(shownRecent(), QStringList{QString::fromStdString(path)});
  } else {
    EXPECT_EQ(title(), kPrefix);
    EXPECT_EQ(app.session().LedgerPath, "");
    EXPECT_FALSE(form());
    EXPECT_TRUE(shownRecent().isEmpty());
    EXPECT_TRUE(window.mnuFileItem(3)->isEnabled());  // the program is still usable
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, CommandLineTest,
    ::testing::Values(ArgumentCase{"Ledger", "l.mdb", true, ""},
                      ArgumentCase{"Missing", "gone.mdb", false, "There was an error in opening the database"},
                      ArgumentCase{"Foreign", "text.mdb", false, "There was an error in opening the database"},
                      ArgumentCase{"Template", "TEMPLATE", false, "This file contains the source databases"},
                      ArgumentCase{"Master", "MASTER", false, "This file contains the source databases"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DesktopTest, OpenedAndNewLedgersGoOnTheListAboveExitNewestFirst) {
  test::makeLedger(dir.file("a.mdb"));
  test::makeLedger(dir.file("b.mdb"));
  EXPECT_TRUE(shownRecent().isEmpty());
  EXPECT_FALSE(settings.contains("RecentLedgers/paths"));
  openLedger(dir.file("a.mdb"));
  files.queueSave(dir.file("new.mdb"));
  window.mnuFileItem_Click(1);
  openLedger(dir.file("b.mdb"));
  const QStringList expected{QString::fromStdString(dir.file("b.mdb")), QString::fromStdString(dir.file("new.mdb")),
                             QString::fromStdString(dir.file("a.mdb"))};
  EXPECT_EQ(shownRecent(), expected);
  EXPECT_TRUE(window.mnuRecentItem(1)->text().startsWith("&1 "));
  // The numbered File items keep their places; the list stands before Exit.
  const QList<QAction*> items = window.mnuFile()->actions();
  EXPECT_EQ(items.indexOf(window.mnuRecentItem(1)), items.indexOf(window.mnuFileItem(11)) + 1);
  EXPECT_LT(items.indexOf(window.mnuRecentItem(5)), items.indexOf(window.mnuFileItem(8)));
  EXPECT_EQ(window.mnuFileItem(8)->text(), "E&xit");

  // Choosing an entry opens it as Open does.
  window.mnuRecentItem(3)->trigger();
  EXPECT_EQ(title(), kPrefix + dir.file("a.mdb"));
  EXPECT_EQ(shownRecent().first().toStdString(), dir.file("a.mdb"));

  // A later run of the program finds the same list.
  MDIMain later(app);
  later.useSettings(settings);
  EXPECT_EQ(later.mnuRecentItem(1)->data().toString().toStdString(), dir.file("a.mdb"));
  EXPECT_TRUE(later.mnuRecentItem(3)->isVisible());
  EXPECT_FALSE(later.mnuRecentItem(4)->isVisible());
}

TEST_F(DesktopTest, ALedgerThatHasGoneIsTakenOffTheListWithAMessage) {
  test::makeLedger(dir.file("a.mdb"));
  test::makeLedger(dir.file("b.mdb"));
  openLedger(dir.file("a.mdb"));
  openLedger(dir.file("b.mdb"));
  std::filesystem::remove(dir.file("a.mdb"));
  prompter.expect(MsgAnswer::Ok);
  window.mnuRecentItem(2)->trigger();
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text, "The ledger " + dir.file("a.mdb") +
                                        " could not be found.\r\nIt has been removed from the list of recent ledgers.");
  EXPECT_EQ(shownRecent(), QStringList{QString::fromStdString(dir.file("b.mdb"))});
  // The open ledger stays open.
  EXPECT_EQ(title(), kPrefix + dir.file("b.mdb"));
  EXPECT_FALSE(window.mnuRecentItem(2)->isVisible());
}

TEST_F(DesktopTest, RecentLedgersFollowOpenWhileATradeIsTyped) {
  test::makeLedger(dir.file("a.mdb"));
  openLedger(dir.file("a.mdb"));
  EXPECT_TRUE(window.mnuRecentItem(1)->isEnabled());
  window.mnuFileItem_Click(2);  // New Record: Open is not offered now
  EXPECT_FALSE(window.mnuFileItem(3)->isEnabled());
  EXPECT_FALSE(window.mnuRecentItem(1)->isEnabled());
}

TEST_F(DesktopTest, EditAndDeleteStayUsableWhenAnotherLedgerReplacesTheShownOne) {
  test::makeLedger(dir.file("a.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  test::makeLedger(dir.file("b.mdb"), {{1, "MSFT", 10, "B", "2024-01-02", 100, 5}});
  openLedger(dir.file("a.mdb"));
  const std::pair<const char*, std::function<void()>> opens[] = {
      {"File, Open", [&] { openLedger(dir.file("b.mdb")); }},
      {"recent ledger", [&] { window.mnuRecentItem(2)->trigger(); }},
  };
  for (const auto& [how, open] : opens) {
    open();
    // The replaced entry form goes as the event loop deletes it, after the
    // new one has shown its trade.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(form()) << how;
    EXPECT_FALSE(box("CompanySymbol").isEmpty()) << how;
    for (QAction* action : {window.tbMainButton(4), window.tbMainButton(7), window.mnuEditItem(1), window.mnuFileItem(6)})
      EXPECT_TRUE(action->isEnabled()) << how << ": " << action->objectName().toStdString();
  }
  // Closed by the user, the entry form takes Edit and Delete with it.
  form()->frame()->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ASSERT_FALSE(form());
  EXPECT_FALSE(window.tbMainButton(4)->isEnabled());
  EXPECT_FALSE(window.mnuFileItem(6)->isEnabled());
}

TEST_F(DesktopTest, WindowPlacesComeBackAtTheNextStart) {
  test::makeLedger(dir.file("a.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  window.setGeometry(37, 41, 900, 640);
  window.show();
  openLedger(dir.file("a.mdb"));
  const QRect mainPlace = window.geometry();
  const std::map<QString, QRect> places{{"frmDatasheet", QRect(11, 12, 400, 300)},
                                        {"frmPL", QRect(50, 60, 280, 190)},
                                        {"frmHistory", QRect(5, 90, 500, 350)}};
  for (const auto& [name, place] : places) {
    window.mnuViewItem_Click(name == "frmDatasheet" ? 2 : name == "frmPL" ? 4 : 3);
    QWidget* frame = FormRegistry::frameOf(window.forms().find(name));
    ASSERT_TRUE(frame) << name.toStdString();
    frame->setGeometry(place);
  }
  window.close();
  window.forms().unloadAll();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  MDIMain later(app);
  later.useSettings(settings);
  EXPECT_EQ(later.geometry().size(), mainPlace.size());
  later.show();
  EXPECT_EQ(later.geometry(), mainPlace);
  test::makeLedger(dir.file("b.mdb"), {{1, "MSFT", 10, "B", "2024-01-02", 100, 5}});
  files.queueOpen(dir.file("b.mdb"));
  later.mnuFileItem_Click(3);
  for (const auto& [name, place] : places) {
    later.mnuViewItem_Click(name == "frmDatasheet" ? 2 : name == "frmPL" ? 4 : 3);
    EXPECT_EQ(FormRegistry::frameOf(later.forms().find(name))->geometry(), place) << name.toStdString();
  }
  // A window never placed keeps the place its load step gives it.
  EXPECT_FALSE(settings.contains("Windows/frmChart"));
}

TEST_F(DesktopTest, RememberedViewPlacesAreMovedIntoTheWorkspace) {
  test::makeLedger(dir.file("a.mdb"), {{1, "AAPL", 10, "B", "2024-01-02", 100, 5}});
  window.setGeometry(0, 0, 800, 600);
  window.show();
  openLedger(dir.file("a.mdb"));
  const QSize room = window.mdiArea()->viewport()->size();
  struct Row {
    const char* name;
    QRect saved;
    QRect placed;
  };
  const Row rows[] = {
      // Left at the bottom right of a larger screen: moved in, size kept.
      {"beyond the bottom right", QRect(1200, 800, 400, 300), QRect(room.width() - 400, room.height() - 300, 400, 300)},
      {"above and left", QRect(-500, -50, 300, 200), QRect(0, 0, 300, 200)},
      {"larger than the workspace", QRect(10, 10, 3000, 2000), QRect(QPoint(0, 0), room)},
      {"inside", QRect(20, 30, 300, 200), QRect(20, 30, 300, 200)},
  };
  for (const Row& row : rows) {
    settings.setValue("Windows/frmDatasheet", row.saved);
    window.mnuViewItem_Click(2);
    EXPECT_EQ(FormRegistry::frameOf(window.forms().find("frmDatasheet"))->geometry(), row.placed) << row.name;
    window.forms().unload("frmDatasheet");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// ---- where the program finds its files -------------------------------------

struct FolderCase {
  const char* name;
  std::vector<std::string> masters;  // folders (under the root) holding Zuvivev.mdb
  const char* expected;              // the folder found, under the root
};

void PrintTo(const FolderCase& c, std::ostream* os) {
  *os << c.name << ": masters in " << ::testing::PrintToString(c.masters) << ", found in " << c.expected;
}

class ProgramFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(ProgramFolderTest, BesideTheProgramElseItsShareFolder) {
  TempDir root;
  std::filesystem::create_directories(root.path() / "usr/bin");
  std::filesystem::create_directories(root.path() / "usr/share/shareledger");
  for (const std::string& folder : GetParam().masters) std::ofstream(root.path() / folder / "Zuvivev.mdb") << "x";
  const QString bin = QString::fromStdString((root.path() / "usr/bin").string());
  EXPECT_EQ(programFolderFor(bin).toStdString(), (root.path() / GetParam().expected).string());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ProgramFolderTest,
    ::testing::Values(FolderCase{"Build", {"usr/bin"}, "usr/bin"},
                      FolderCase{"Installed", {"usr/share/shareledger"}, "usr/share/shareledger"},
                      FolderCase{"BothPreferTheProgramFolder", {"usr/bin", "usr/share/shareledger"}, "usr/bin"},
                      FolderCase{"NeitherKeepsTheProgramFolder", {}, "usr/bin"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- the Add Company dialog shows all of its text ----------------------------

class AddCompanyLayoutTest : public ::testing::TestWithParam<double> {};

TEST_P(AddCompanyLayoutTest, NoCaptionIsCutAndNoControlCoversAnother) {
  const QFont before = QApplication::font();
  QFont font = before;
  font.setPointSizeF(GetParam());
  QApplication::setFont(font);
  {
    AddCompanyDialog dialog(nullptr, nullptr);
    dialog.show();
    auto* label1 = dialog.findChild<QLabel*>("Label1");
    auto* label2 = dialog.findChild<QLabel*>("Label2");
    QWidget* symbol = dialog.findChild<QWidget*>("txtCompanySymbol");
    ASSERT_TRUE(label1 && label2 && symbol);
    EXPECT_GE(label1->width(), label1->sizeHint().width());
    EXPECT_GE(label2->height(), label2->heightForWidth(label2->width()));
    const QList<QWidget*> controls{label1, label2, symbol, dialog.findChild<QWidget*>("cmdAdd"),
                                   dialog.findChild<QWidget*>("cmdCancel")};
    for (QWidget* a : controls) {
      EXPECT_TRUE(dialog.rect().contains(a->geometry())) << a->objectName().toStdString();
      for (QWidget* b : controls) {
        if (a == b) continue;
        EXPECT_FALSE(a->geometry().intersects(b->geometry()))
            << a->objectName().toStdString() << " covers " << b->objectName().toStdString();
      }
    }
  }
  QApplication::setFont(before);
}

INSTANTIATE_TEST_SUITE_P(Fonts, AddCompanyLayoutTest, ::testing::Values(8.0, 9.0, 11.0, 14.0),
                         [](const ::testing::TestParamInfo<double>& info) {
                           return "Points" + std::to_string(static_cast<int>(info.param));
                         });

}  // namespace
}  // namespace ledger
