// Damaged and foreign files given to the program: through File, Open, and
// underneath a ledger that is already open while the views, the navigation
// and Save use it. Each must be told clearly, end no command abnormally and
// leave the file as it was.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolBar>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/app_context.h"
#include "app/startup.h"
#include "ledger/ledger_schema.h"
#include "fakes.h"
#include "test_ledger.h"
#include "ui/entry/entry_form.h"
#include "ui/main/mdi_main.h"

namespace ledger {
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

const std::vector<test::TradeRow> kTrades = {
    {1, "AAPL", 10, "B", "2024-01-02", 100, 5},
    {2, "MSFT", 3, "S", "2024-06-01", 410.5, 1.25},
};

// Answers every message (OK, or No to a question) and keeps them all: how
// many messages a damaged file brings depends on where the damage lies.
class AnsweringPrompter final : public Prompter {
 public:
  MsgAnswer show(const std::string& text, MsgIcon icon, MsgButtons buttons, const std::string& title) override {
    shown.push_back({text, icon, buttons, title});
    return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
  }
  std::vector<test::ShownMessage> shown;
};

// A file name for a case: its kind without the folder separator.
std::string fileNameFor(const char* prefix, const char* kind) {
  std::string name = std::string(prefix) + " " + kind + ".mdb";
  for (char& c : name)
    if (c == '/') c = '-';
  return name;
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Bytes that look like nothing in particular, the same on every run.
std::string noise(size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  for (char& c : out) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return out;
}

std::string ledgerBytes(const test::TempDir& dir) {
  const std::string path = dir.file("source.mdb");
  if (!fs::exists(path)) test::makeLedger(path, kTrades);
  return test::readBytes(path);
}

// The page (1-based) where the table or index called name begins.
int rootPage(const test::TempDir& dir, const std::string& name) {
  ledgerBytes(dir);
  return std::stoi(test::readAll(dir.file("source.mdb"), "SELECT rootpage FROM sqlite_schema WHERE name = '" +
                                                               name + "'")[0][0]);
}

constexpr size_t kPageSize = 4096;  // the template's page size

std::string withPageZeroed(std::string bytes, int page) {
  const size_t at = static_cast<size_t>(page - 1) * kPageSize;
  bytes.replace(at, kPageSize, std::string(kPageSize, '\0'));
  return bytes;
}

// We have no Access file and make none with Access: this is only the head
// of one as the Jet engine writes it (its signature, and the version byte
// at 0x14: 0 for Jet 3, 1 for Jet 4), followed by pages of noise.
std::string jetFile(int version, size_t pageSize) {
  std::string bytes = noise(4 * pageSize, 97u + static_cast<std::uint32_t>(version));
  const std::string signature("\x00\x01\x00\x00Standard Jet DB\x00", 20);
  bytes.replace(0, signature.size(), signature);
  bytes[0x14] = static_cast<char>(version);
  return bytes;
}

// A ledger whose Trade spans many pages.
std::string manyTrades(const test::TempDir& dir) {
  const std::string path = dir.file("many.mdb");
  if (!fs::exists(path)) {
    std::vector<test::TradeRow> trades;
    for (int i = 0; i < 600; ++i) trades.push_back({1 + i % 5, "SYM" + std::to_string(i % 5), 1.0 + i, i % 2 ? "B" : "S", "2024-01-02", 10, 1});
    test::makeLedger(path, trades);
  }
  return test::readBytes(path);
}

// The last leaf page of Trade: Companies fits on its first page, so every
// other table leaf after page 3 is Trade's.
int lastTradePage(const std::string& bytes) {
  int last = 0;
  for (size_t page = 4; page * kPageSize <= bytes.size(); ++page)
    if (bytes[(page - 1) * kPageSize] == 0x0D) last = static_cast<int>(page);
  return last;
}

// A ledger changed by SQL run on it.
std::string ledgerChangedBy(const test::TempDir& dir, const std::string& sql) {
  const std::string path = dir.file("changed.mdb");
  fs::remove(path);
  test::makeLedger(path, kTrades);
  Database::openFile(path, false).executeScript(sql);
  std::string bytes = test::readBytes(path);
  fs::remove(path);
  return bytes;
}

// Puts the damaged thing at path. Most kinds are bytes; a few are not files.
using Damage = std::function<void(const test::TempDir& dir, const std::string& path)>;

Damage bytesOf(std::function<std::string(const test::TempDir&)> make) {
  return [make](const test::TempDir& dir, const std::string& path) { writeBytes(path, make(dir)); };
}

struct BadFile {
  const char* kind;
  Damage damage;
  const char* says;  // a fragment of the message
};

const std::vector<BadFile>& refusedFiles() {
  static const std::vector<BadFile> files = {
      {"empty file", bytesOf([](auto&) { return std::string(); }), "has no table 'Trade'"},
      {"random bytes", bytesOf([](auto&) { return noise(3 * kPageSize, 1); }), "damaged"},
      {"a few random bytes", bytesOf([](auto&) { return noise(37, 2); }), "damaged"},
      {"a text file", bytesOf([](auto&) { return std::string("Date,Symbol\r\n2024-01-02,AAPL\r\n"); }), "damaged"},
      {"ledger cut to its header", bytesOf([](auto& d) { return ledgerBytes(d).substr(0, 100); }), "damaged"},
      {"ledger cut inside page 1", bytesOf([](auto& d) { return ledgerBytes(d).substr(0, 3000); }), "damaged"},
      {"ledger cut after page 1", bytesOf([](auto& d) { return ledgerBytes(d).substr(0, kPageSize); }), "damaged"},
      {"ledger cut inside Trade's page",
       bytesOf([](auto& d) { return ledgerBytes(d).substr(0, (rootPage(d, "Trade") - 1) * kPageSize + 700); }),
       "damaged"},
      {"page 1 zeroed", bytesOf([](auto& d) { return withPageZeroed(ledgerBytes(d), 1); }), "damaged"},
      {"Trade's page zeroed", bytesOf([](auto& d) { return withPageZeroed(ledgerBytes(d), rootPage(d, "Trade")); }),
       "damaged"},
      {"Companies' page zeroed",
       bytesOf([](auto& d) { return withPageZeroed(ledgerBytes(d), rootPage(d, "Companies")); }), "damaged"},
      {"ledger cut after Trade's page",
       bytesOf([](auto& d) { return ledgerBytes(d).substr(0, rootPage(d, "Trade") * kPageSize); }), "damaged"},
      {"another program's SQLite file", bytesOf([](auto& d) {
         const std::string path = d.file("other.sqlite");
         Database::openFile(path, true).executeScript("CREATE TABLE notes(id INTEGER, body TEXT);"
                                                     "INSERT INTO notes VALUES (1, 'hello');");
         return test::readBytes(path);
       }),
       "has no table 'Trade'"},
      {"ledger without Trade", bytesOf([](auto& d) { return ledgerChangedBy(d, "DROP TABLE Trade"); }),
       "has no table 'Trade'"},
      {"ledger without Companies", bytesOf([](auto& d) { return ledgerChangedBy(d, "DROP TABLE Companies"); }),
       "has no table 'Companies'"},
      {"Trade without Commission", bytesOf([](auto& d) {
         return ledgerChangedBy(d,
                                "DROP TABLE Trade; CREATE TABLE Trade (CompanyID INTEGER, CompanySymbol TEXT, "
                                "Quantity REAL, [Buy/Sell] TEXT, Date DATE, Price REAL)");
       }),
       "lacks the column 'Commission'"},
      {"Access 2000 file", bytesOf([](auto&) { return jetFile(1, 4096); }), "damaged"},
      {"Access 97 file", bytesOf([](auto&) { return jetFile(0, 2048); }), "damaged"},
      {"a folder", [](auto&, const std::string& path) { fs::create_directory(path); }, "is not a file"},
      {"a missing file", [](auto&, const std::string&) {}, "could not be found"},
  };
  return files;
}

class DamagedFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeLedgerFromSchema(app.masterPath());
    ASSERT_FALSE(refreshTemplate(app).has_value());
    test::makeLedger(good, kTrades);
  }
  void TearDown() override {
    window.forms().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void openLedger(const std::string& path) {
    files.queueOpen(path);
    window.mnuFileItem_Click(3);
  }
  EntryForm* form() { return window.forms().find<EntryForm>("frmMain"); }
  std::string box(const char* column) { return form()->box(column, 0)->text().toStdString(); }
  // The bytes of path, or a mark for something that is no file.
  static std::string contentOf(const std::string& path) {
    return fs::is_regular_file(path) ? test::readBytes(path) : fs::exists(path) ? "<not a file>" : "<missing>";
  }
  // Every view, the navigation and a new trade's Save, as a user would try them.
  void useEverything() {
    window.mnuRestoreItem_Click(2);
    form()->tbNavigateG_ButtonClick(form()->navigationBar(0)->actions().at(2));
    window.mnuFileItem_Click(2);
    form()->cboCompanySymbol()->setEditText("IBM");
    form()->box("Date", 0)->setText("2024-07-01");
    form()->box("Quantity", 0)->setText("1");
    form()->box("Price", 0)->setText("2");
    form()->box("Commission", 0)->setText("3");
    form()->optBuy()->setChecked(true);
    window.mnuFileItem_Click(5);
  }
  std::string criticalTexts() const {
    std::string all;
    for (const auto& m : prompter.shown)
      if (m.icon == MsgIcon::Critical) all += m.text + "\n";
    return all;
  }

  test::TempDir dir;
  std::string good = dir.file("good.mdb");
  AnsweringPrompter prompter;
  test::ScriptedFileChooser files;
  AppContext app{prompter, files, dir.path().string()};
  MDIMain window{app};
};

TEST_F(DamagedFilesTest, OpenRefusesEachBeforeClosingTheLedgerAndLeavesTheFileAsItWas) {
  openLedger(good);
  ASSERT_TRUE(prompter.shown.empty());
  const QString title = window.windowTitle();
  for (const BadFile& bad : refusedFiles()) {
    SCOPED_TRACE(bad.kind);
    const std::string path = dir.file(fileNameFor("bad", bad.kind));
    bad.damage(dir, path);
    const std::string before = contentOf(path);
    prompter.shown.clear();
    openLedger(path);
    ASSERT_EQ(prompter.shown.size(), 1u);
    if (std::string(bad.kind).starts_with("Access")) {
      // A file with the Access format's head is offered a copy in this
      // program's format; declined, nothing happens.
      EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Question);
      EXPECT_NE(prompter.shown[0].text.find("is a ledger in the older format"), std::string::npos);
    } else {
      EXPECT_EQ(prompter.shown[0].icon, MsgIcon::Critical);
      EXPECT_NE(prompter.shown[0].text.find("DB Path : " + path + "."), std::string::npos);
      EXPECT_NE(prompter.shown[0].text.find(bad.says), std::string::npos) << prompter.shown[0].text;
    }
    EXPECT_TRUE(contentOf(path) == before) << "the file changed";
    EXPECT_EQ(app.session().LedgerPath, good);
    EXPECT_EQ(window.windowTitle(), title);
    ASSERT_TRUE(form());
    EXPECT_EQ(box("CompanySymbol"), "AAPL");
  }
  EXPECT_EQ(test::readAll(good, "SELECT count(*) FROM Trade")[0][0], "2");
}

// Damage to what Open does not read: the ledger opens, and the views or the
// symbol list say what is wrong when they reach it.
struct PartlyDamaged {
  const char* kind;
  std::function<std::string(const test::TempDir&)> bytes;
  const char* says;
  bool saves;  // whether a new trade can still be saved
};

const std::vector<PartlyDamaged>& partlyDamaged() {
  static const std::vector<PartlyDamaged> files = {
      {"without Bought", [](auto& d) { return ledgerChangedBy(d, "DROP VIEW Bought"); }, "Bought", true},
      {"without Sold", [](auto& d) { return ledgerChangedBy(d, "DROP VIEW Sold"); }, "Sold", true},
      {"without Total Buy", [](auto& d) { return ledgerChangedBy(d, "DROP VIEW [Total Buy]"); }, "Total Buy", true},
      {"without Total Sell", [](auto& d) { return ledgerChangedBy(d, "DROP VIEW [Total Sell]"); }, "Total Sell", true},
      {"without Profit/Loss", [](auto& d) { return ledgerChangedBy(d, "DROP VIEW [Profit/Loss]"); }, "Profit/Loss", true},
      {"an index's page zeroed",
       [](auto& d) { return withPageZeroed(ledgerBytes(d), rootPage(d, "TradeBySymbolAndSide")); }, "damaged",
       false},
      // Found by fuzzing: every row of Companies reads as row 0, so the
      // symbol lookup once went round for ever; its indexes are damaged too.
      {"Companies' rows out of order",
       [](auto&) { return test::readBytes(LEDGER_SOURCE_DIR "/tests/fuzz/corpus/ledger_file/rows_out_of_order.mdb"); },
       "Recordset : Companies.", false},
      {"a later page of Trade zeroed", [](auto& d) { return withPageZeroed(manyTrades(d), lastTradePage(manyTrades(d))); },
       "damaged", false},
  };
  return files;
}

TEST_F(DamagedFilesTest, PartlyDamagedLedgersOpenAndSayWhatIsWrongWhenUsed) {
  for (const PartlyDamaged& bad : partlyDamaged()) {
    SCOPED_TRACE(bad.kind);
    const std::string path = dir.file(fileNameFor("partly", bad.kind));
    writeBytes(path, bad.bytes(dir));
    const std::string before = test::readBytes(path);
    const Rows trades = bad.saves ? test::readAll(path, "SELECT * FROM Trade ORDER BY rowid") : Rows{};
    prompter.shown.clear();
    openLedger(path);
    ASSERT_EQ(app.session().LedgerPath, path);
    useEverything();
    EXPECT_NE(criticalTexts().find(bad.says), std::string::npos) << criticalTexts();
    for (const auto& m : prompter.shown) EXPECT_NE(m.icon, MsgIcon::None) << m.text;
    if (bad.saves) {
      // Save went through: the trades are the old ones and the new one.
      EXPECT_EQ(test::readAll(path, "SELECT * FROM Trade WHERE CompanySymbol IS NOT 'IBM' ORDER BY rowid"), trades);
      EXPECT_EQ(test::readAll(path, "SELECT CompanySymbol, Date FROM Trade WHERE CompanySymbol = 'IBM'"),
                (Rows{{"IBM", "2024-07-01"}}));
    } else {
      // Save was refused; only the views' own queries on page 1 (and pages
      // added after the file's end) may have been written.
      const std::string after = test::readBytes(path);
      ASSERT_GE(after.size(), before.size());
      EXPECT_TRUE(after.compare(kPageSize, before.size() - kPageSize, before, kPageSize) == 0)
          << "a page of trades, companies or indexes changed";
    }
    window.forms().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// The file changes underneath an open ledger (another program, a failing
// disk): the next step says so, and nothing is written into what is there
// now.
TEST_F(DamagedFilesTest, DamageUnderneathAnOpenLedgerIsToldByEveryViewNavigationAndSave) {
  std::vector<BadFile> underneath = {
      {"deleted", [](auto&, const std::string& path) { fs::remove(path); }, "has been deleted or moved"},
  };
  for (const BadFile& bad : refusedFiles())
    if (std::string(bad.kind) != "a missing file") underneath.push_back(bad);
  for (const BadFile& bad : underneath) {
    SCOPED_TRACE(bad.kind);
    const std::string path = dir.file("open.mdb");
    fs::remove_all(path);
    test::makeLedger(path, kTrades);
    prompter.shown.clear();
    openLedger(path);
    window.mnuRestoreItem_Click(2);  // every view open on the good ledger
    ASSERT_EQ(app.session().LedgerPath, path);

    fs::remove(path);
    bad.damage(dir, path);
    const std::string before = contentOf(path);
    prompter.shown.clear();
    useEverything();
    EXPECT_NE(criticalTexts().find(bad.says), std::string::npos) << criticalTexts();
    EXPECT_TRUE(contentOf(path) == before) << "the file changed";
    window.forms().unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// Permission bits do not stop root (the tests' usual user) from writing;
// read-only mounts are tested with the crash-safety cases. Here: such files
// open and show their trades, and opening changes nothing.
TEST_F(DamagedFilesTest, ReadOnlyFileAndFileInAReadOnlyFolderOpen) {
  const std::string readOnlyFile = dir.file("read-only.mdb");
  test::makeLedger(readOnlyFile, kTrades);
  fs::permissions(readOnlyFile, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const fs::path folder = dir.path() / "locked";
  fs::create_directory(folder);
  const std::string inLockedFolder = (folder / "ledger.mdb").string();
  test::makeLedger(inLockedFolder, kTrades);
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  for (const std::string& path : {readOnlyFile, inLockedFolder}) {
    SCOPED_TRACE(path);
    const std::string before = test::readBytes(path);
    openLedger(path);
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(app.session().LedgerPath, path);
    EXPECT_EQ(box("CompanySymbol"), "AAPL");
    form()->tbNavigateG_ButtonClick(form()->navigationBar(0)->actions().at(2));
    EXPECT_EQ(box("CompanySymbol"), "MSFT");
    EXPECT_EQ(test::readBytes(path), before);
  }
  fs::permissions(folder, fs::perms::owner_all);
}

}  // namespace
}  // namespace ledger
