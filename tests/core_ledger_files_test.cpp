// Making new ledgers from the template, and refreshing the template at start.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "app/new_ledger.h"
#include "app/startup.h"
#include "ledger/ledger_schema.h"
#include "fakes.h"
#include "test_ledger.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

using test::ScriptedFileChooser;
using test::ScriptedPrompter;
using test::TempDir;
using Rows = std::vector<std::vector<std::string>>;

class LedgerFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeLedgerFromSchema(app.masterPath());
    ASSERT_FALSE(refreshTemplate(app).has_value());
  }
  TempDir dir;
  ScriptedPrompter prompter;
  ScriptedFileChooser files;
  AppContext app{prompter, files, dir.path().string()};
};

TEST_F(LedgerFilesTest, StartUpReplacesAChangedTemplate) {
  test::makeLedger(app.templatePath(), {{1, "X", 1, "B", "2024-01-01", 1, 1}});
  ASSERT_EQ(test::readAll(app.templatePath(), "SELECT count(*) FROM Trade")[0][0], "1");
  EXPECT_FALSE(refreshTemplate(app).has_value());
  EXPECT_EQ(test::readBytes(app.templatePath()), test::readBytes(app.masterPath()));
  EXPECT_EQ(app.templateSource(), app.templatePath());
}

TEST_F(LedgerFilesTest, StartUpRebuildsAMissingMaster) {
  std::filesystem::remove(app.masterPath());
  std::filesystem::remove(app.templatePath());
  EXPECT_FALSE(refreshTemplate(app).has_value());
  EXPECT_EQ(test::readAll(app.templatePath(), "SELECT count(*) > 0 FROM Companies")[0][0], "1");
}

TEST_F(LedgerFilesTest, NewLedgerKeepsCompaniesWithoutTrades) {
  // A template holding trades: they must not reach the new ledger.
  {
    Database db = openLedger(app.templatePath());
    test::addTrades(db, {{1, "AAPL", 1, "B", "2024-01-01", 1, 1}});
  }
  files.queueSave(dir.file("new.mdb"));
  ASSERT_TRUE(NewLedger(app));
  EXPECT_EQ(app.session().LedgerPath, dir.file("new.mdb"));
  EXPECT_EQ(test::readAll(dir.file("new.mdb"), "SELECT count(*) FROM Trade")[0][0], "0");
  EXPECT_EQ(test::readAll(dir.file("new.mdb"), "SELECT CompanySymbol FROM Companies"),
            test::readAll(app.templatePath(), "SELECT CompanySymbol FROM Companies"));
  EXPECT_EQ(app.session().CurrentRecordset->fieldName(0), "CompanyID");
  // Nothing is left behind but the ledger itself.
  size_t files_in_dir = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) files_in_dir += entry.is_regular_file();
  EXPECT_EQ(files_in_dir, 3u);  // master, template, new ledger
}

TEST_F(LedgerFilesTest, NewLedgerReplacesAnExistingFile) {
  test::makeLedger(dir.file("old.mdb"), {{1, "AAPL", 1, "B", "2024-01-01", 1, 1}});
  files.queueSave(dir.file("old.mdb"));
  EXPECT_TRUE(NewLedger(app));
  EXPECT_EQ(test::readAll(dir.file("old.mdb"), "SELECT count(*) FROM Trade")[0][0], "0");
}

TEST_F(LedgerFilesTest, NewLedgerOverAFileWithAJournalLeftByACrash) {
  // A real hot journal: copied while a transaction that deleted every trade
  // was open, then put back beside the file as a crash would leave it.
  const std::string old = dir.file("old.mdb");
  std::vector<test::TradeRow> many(300, {1, "AAPL", 1, "B", "2024-01-01", 1, 1});
  test::makeLedger(old, many);
  {
    Database db = openLedger(old);
    db.executeScript("PRAGMA cache_size = 1; BEGIN; DELETE FROM Trade; UPDATE Companies SET CompanySymbol = 'X';");
    std::filesystem::copy_file(old + "-journal", dir.file("saved-journal"));
    db.executeScript("ROLLBACK");
  }
  std::filesystem::copy_file(dir.file("saved-journal"), old + "-journal");

  files.queueSave(old);
  ASSERT_TRUE(NewLedger(app));
  EXPECT_EQ(test::readAll(old, "PRAGMA integrity_check"), (Rows{{"ok"}}));
  EXPECT_EQ(test::readAll(old, "SELECT count(*) FROM Trade")[0][0], "0");
  EXPECT_EQ(test::readAll(old, "SELECT CompanySymbol FROM Companies"),
            test::readAll(app.templatePath(), "SELECT CompanySymbol FROM Companies"));
}

TEST_F(LedgerFilesTest, NewLedgerRefusesTheTemplateInAnyLetterCase) {
  const std::string tmpl = app.templatePath();
  std::string upper = tmpl;
  upper.replace(upper.size() - std::string("DatSource.mdb").size(), std::string::npos, "DATSOURCE.MDB");
  for (const std::string& name : {tmpl, upper}) {
    files.queueSave(name);
    prompter.expect(MsgAnswer::Ok);
    app.session().LedgerPath = "before.mdb";
    EXPECT_FALSE(NewLedger(app));
    EXPECT_EQ(prompter.shown.back().text, "You can not save to this file.");
    EXPECT_EQ(prompter.shown.back().icon, MsgIcon::Critical);
    EXPECT_EQ(app.session().LedgerPath, "before.mdb");
  }
  EXPECT_EQ(test::readBytes(tmpl), test::readBytes(app.masterPath()));
}

TEST_F(LedgerFilesTest, CancelMakesNothingAndForgetsEarlierNames) {
  files.queueSave(dir.file("first.mdb"));
  ASSERT_TRUE(NewLedger(app));
  std::filesystem::remove(dir.file("first.mdb"));

  files.queueSave(std::nullopt);
  EXPECT_FALSE(NewLedger(app));
  EXPECT_FALSE(std::filesystem::exists(dir.file("first.mdb")));
  EXPECT_EQ(files.shown.back().fileName, "");
  EXPECT_EQ(files.shown.back().filter, "Trade Database (*.mdb)|*.mdb");
  EXPECT_EQ(app.session().LedgerPath, dir.file("first.mdb"));
}

TEST_F(LedgerFilesTest, MissingTemplateIsReportedAndNothingAsked) {
  std::filesystem::remove(app.templatePath());
  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(NewLedger(app));
  EXPECT_EQ(prompter.shown.at(0).text, dir.path().string() +
                                           "/DatSource.mdb could not be found.\r\n"
                                           "Make sure it is in the program working directory.");
  EXPECT_TRUE(files.shown.empty());
}

TEST_F(LedgerFilesTest, FailedWriteIsReported) {
  files.queueSave(dir.file("no-such-folder/new.mdb"));
  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(NewLedger(app));
  EXPECT_NE(prompter.shown.at(0).text.find("could not be written"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.file("no-such-folder")));
}

}  // namespace
}  // namespace ledger
