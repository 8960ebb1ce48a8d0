// How many connections each command opens to the ledger file, from the
// user's action until the window is idle. Every open reads the schema and
// checks the file again, so a command that reopens the ledger for each of
// its steps is slow on a large ledger. ui_tests is linked with
// --wrap=sqlite3_open_v2, so every open the program makes passes through
// the counter below.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QRadioButton>

#include <functional>
#include <string>

#include "window_fixture.h"

extern "C" int __real_sqlite3_open_v2(const char* filename, sqlite3** db, int flags, const char* vfs);

namespace {
std::string countedPath;
int openCount = 0;
}  // namespace

extern "C" int __wrap_sqlite3_open_v2(const char* filename, sqlite3** db, int flags, const char* vfs) {
  if (filename && !countedPath.empty() && countedPath == filename) ++openCount;
  return __real_sqlite3_open_v2(filename, db, flags, vfs);
}

namespace ledger {
namespace {

class ConnectionCountTest : public test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    test::makeLedger(path, {{1, "AAPL", 10, "B", "2024-01-02", 100, 5},
                            {2, "MSFT", 150, "B", "2025-04-10", 390.25, 9.95},
                            {3, "AAPL", 4, "S", "2025-05-06", 131.5, 4}});
  }
  void TearDown() override {
    countedPath.clear();
    WindowTest::TearDown();
  }
  // The opens of the ledger file that act makes, the window left idle.
  int opensBy(const std::function<void()>& act) {
    countedPath = path;
    openCount = 0;
    act();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    countedPath.clear();
    return openCount;
  }
  void typeNewTrade() {
    window.mnuFileItem_Click(2);
    form()->cboCompanySymbol()->setEditText("MSFT");
    for (auto [column, text] : {std::pair{"Date", "2025-06-01"}, {"Quantity", "5"}, {"Price", "400"},
                                {"Commission", "1"}})
      form()->box(column, kGeneralTab)->setText(text);
    form()->optBuy()->setChecked(true);
  }

  std::string path = dir.file("l.mdb");
};

TEST_F(ConnectionCountTest, EachCommandOpensTheLedgerAtMostItsShareOfTimes) {
  struct Row {
    const char* command;
    std::function<void()> before;
    std::function<void()> act;
    int limit;
  };
  const auto open = [this] { openLedger(path); };
  const auto save = [this] { window.mnuFileItem_Click(5); };
  const auto view = [this](int item) { return [this, item] { window.mnuViewItem_Click(item); }; };
  const Row rows[] = {
      {"File, Open", [] {}, open, 2},
      {"Save", [&] { open(); typeNewTrade(); }, save, 2},
      {"Undo", [&] { open(); typeNewTrade(); save(); }, [this] { window.mnuEditItem_Click(3); }, 2},
      {"Chart", open, view(1), 1},
      {"Datasheet", open, view(2), 1},
      {"History", open, view(3), 1},
      {"Profit/Loss", open, view(4), 1},
      // Its four parts (gains, values, returns, the chart's series) are
      // each worked out off the window's thread, on a connection of their own.
      {"Gains", open, view(5), 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.command);
    row.before();
    const int opens = opensBy(row.act);
    EXPECT_LE(opens, row.limit);
    window.forms().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(prompter.shown.empty()) << prompter.shown.front().text;
  }
}

}  // namespace
}  // namespace ledger
