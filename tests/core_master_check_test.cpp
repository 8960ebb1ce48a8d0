// Start-up checks the master ledger before it copies it over the template.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "app/new_ledger.h"
#include "app/startup.h"
#include "ledger/ledger_schema.h"
#include "fakes.h"
#include "test_ledger.h"
#include "tmpfs_mount.h"

namespace ledger {
namespace {

namespace fs = std::filesystem;
using test::ScriptedFileChooser;
using test::ScriptedPrompter;
using test::TempDir;

void plainExec(const std::string& path, const char* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK) << sql;
}

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// The first byte of the page of an index: a page type SQLite does not know.
void breakIndexPage(const std::string& path) {
  const auto root = test::readAll(path, "SELECT rootpage FROM sqlite_schema WHERE name = 'TradeBySymbolAndSide'");
  std::string bytes = test::readBytes(path);
  bytes[(std::stoul(root.at(0).at(0)) - 1) * 4096] = '\x07';
  writeBytes(path, bytes);
}

struct DamagedMaster {
  const char* label;
  std::function<void(const std::string& master)> damage;
  const char* problem;  // part of what the message says was wrong
};

const std::vector<DamagedMaster>& damagedMasters() {
  static const std::vector<DamagedMaster> cases = {
      {"unrelated bytes", [](const std::string& m) { writeBytes(m, std::string(9000, '\x5a')); }, "damaged"},
      {"empty", [](const std::string& m) { writeBytes(m, ""); }, "not a share ledger"},
      {"cut short", [](const std::string& m) { fs::resize_file(m, 4096 * 2); }, "damaged"},
      {"a broken index page", breakIndexPage, "integrity check"},
      {"a trigger planted in it",
       [](const std::string& m) {
         plainExec(m, "CREATE TRIGGER Wipe AFTER INSERT ON Trade BEGIN DELETE FROM Trade; END;");
       },
       "trigger \"Wipe\""},
      {"an extra table", [](const std::string& m) { plainExec(m, "CREATE TABLE Notes (x);"); }, "table \"Notes\""},
      {"a stored query missing", [](const std::string& m) { plainExec(m, "DROP VIEW Bought;"); }, "lacks Bought"},
      {"a stored query of another shape",
       [](const std::string& m) { plainExec(m, "DROP VIEW Sold; CREATE VIEW Sold AS SELECT 1 AS One;"); },
       "view \"Sold\" (not as this program makes it)"},
  };
  return cases;
}

class MasterCheckTest : public ::testing::TestWithParam<size_t> {
 protected:
  TempDir dir;
  ScriptedPrompter prompter;
  ScriptedFileChooser files;
  AppContext app{prompter, files, dir.path().string()};
};

TEST_P(MasterCheckTest, ADamagedMasterIsMadeAgainAndTheUserTold) {
  const DamagedMaster& c = damagedMasters()[GetParam()];
  writeLedgerFromSchema(app.masterPath());
  ASSERT_EQ(masterProblem(app.masterPath()), std::nullopt);
  c.damage(app.masterPath());
  ASSERT_NE(masterProblem(app.masterPath()), std::nullopt);

  const auto told = refreshTemplate(app);
  ASSERT_TRUE(told.has_value());
  EXPECT_EQ(told->icon, MsgIcon::Information);
  EXPECT_EQ(told->text.rfind("The master ledger\r\n" + app.masterPath() + "\r\nwas damaged: ", 0), 0u) << told->text;
  EXPECT_NE(told->text.find(c.problem), std::string::npos) << told->text;
  EXPECT_NE(told->text.find("made again"), std::string::npos);

  // Sound again, and what the template now is.
  EXPECT_EQ(masterProblem(app.masterPath()), std::nullopt);
  EXPECT_EQ(app.templateSource(), app.templatePath());
  EXPECT_EQ(test::readBytes(app.templatePath()), test::readBytes(app.masterPath()));

  // New Database works as ever, with nothing but a new ledger in it.
  files.queueSave(dir.file("new.mdb"));
  ASSERT_TRUE(NewLedger(app));
  EXPECT_TRUE(prompter.shown.empty());
  EXPECT_TRUE(app.session().LedgerDatabase->foreignObjects().empty());
  EXPECT_FALSE(app.session().LedgerDatabase->isReadOnly());

  // The next start finds nothing to say.
  EXPECT_FALSE(refreshTemplate(app).has_value());
}

INSTANTIATE_TEST_SUITE_P(Masters, MasterCheckTest, ::testing::Range<size_t>(0, damagedMasters().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           std::string name;
                           for (char ch : std::string(damagedMasters()[info.param].label))
                             name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           return name;
                         });

TEST(MasterCheck, ASoundMasterIsLeftAsItIs) {
  TempDir dir;
  ScriptedPrompter prompter;
  ScriptedFileChooser files;
  AppContext app{prompter, files, dir.path().string()};
  writeLedgerFromSchema(app.masterPath());
  const std::string before = test::readBytes(app.masterPath());
  EXPECT_FALSE(refreshTemplate(app).has_value());
  EXPECT_EQ(test::readBytes(app.masterPath()), before);
}

// A program folder nobody can write: the damaged master cannot be made
// again and must not be copied, and the template goes into a private folder.
TEST(MasterCheck, ADamagedMasterInAReadOnlyFolderIsNeverUsed) {
  test::TmpfsMount disk(256 * 1024);
  if (!disk.mounted()) GTEST_SKIP() << disk.why();
  ScriptedPrompter prompter;
  ScriptedFileChooser files;
  std::string privateFolder;
  {
    AppContext app{prompter, files, disk.path().string()};
    writeBytes(app.masterPath(), std::string(9000, '\x5a'));
    if (!disk.remountReadOnly()) GTEST_SKIP() << disk.why();

    const auto told = refreshTemplate(app);
    ASSERT_TRUE(told.has_value());
    EXPECT_NE(told->text.find("could not be made again"), std::string::npos) << told->text;
    const fs::path source = app.templateSource();
    EXPECT_NE(source, app.masterPath());
    EXPECT_NE(source, app.templatePath());
    privateFolder = source.parent_path().string();
    EXPECT_EQ(source.parent_path().parent_path(), fs::temp_directory_path());
    EXPECT_NE(source.parent_path().filename().string(), "ShareLedger-");
    EXPECT_EQ(source.parent_path().filename().string().rfind("ShareLedger-", 0), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(privateFolder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(masterProblem(source.string()), std::nullopt);

    files.queueSave((fs::temp_directory_path() / ("ledger-new-" + std::to_string(::getpid()) + ".mdb")).string());
    ASSERT_TRUE(NewLedger(app));
    EXPECT_EQ(test::readAll(app.session().LedgerPath, "SELECT count(*) > 0 FROM Companies")[0][0], "1");
    fs::remove(app.session().LedgerPath);
  }
  // Gone with the program.
  EXPECT_FALSE(fs::exists(privateFolder));
}

}  // namespace
}  // namespace ledger
