// The open ledger's file replaced, deleted, cut short or made unreadable
// while the program has it open: the next command says so once, and
// nothing read from the old file stays on the form.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "engine/db_error.h"
#include "fake_form.h"
#include "fakes.h"
#include "app/record_display.h"
#include "app/record_writes.h"
#include "test_ledger.h"
#include "app/ticker_search.h"
#include "ledger/ledger_open.h"

namespace ledger {
namespace {

namespace fs = std::filesystem;
using test::FakeForm;
using test::ScriptedPrompter;
using test::TempDir;

const std::vector<test::TradeRow> kTrades = {{1, "AAPL", 10, "B", "2024-01-02", 100, 5},
                                             {2, "MSFT", 20, "S", "2024-01-03", 200, 6}};
const std::vector<test::TradeRow> kOtherTrades = {{9, "NEW", 1, "B", "2024-09-09", 9, 1}};

constexpr const char* kShownFirst = "1|AAPL|2024-01-02|10|100|5|B";
constexpr const char* kShownSecond = "2|MSFT|2024-01-03|20|200|6|S";
constexpr const char* kEmptied = "||||||B";

void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A change made to the file from outside; what it returns is kept alive
// while the next command runs (a transaction another program holds open).
using Change = std::function<std::shared_ptr<void>(const TempDir& dir, const std::string& path)>;

struct FileChange {
  const char* label;
  Change change;
  LedgerFileState state;
  const char* told;  // how the one message starts; nullptr: nothing is said
  const char* alsoTold = "";
};

std::shared_ptr<void> none() { return nullptr; }

const std::vector<FileChange>& fileChanges() {
  static const std::vector<FileChange> cases = {
      {"another copy of the program saves a trade",
       [](const TempDir&, const std::string& path) {
         Database other = openLedger(path);
         test::addTrades(other, kOtherTrades);
         return none();
       },
       LedgerFileState::Unchanged, nullptr},
      {"another copy of the program is in the middle of a save",
       [](const TempDir&, const std::string& path) {
         auto other = std::make_shared<Database>(openLedger(path));
         other->executeScript("BEGIN IMMEDIATE");
         test::addTrades(*other, kOtherTrades);
         return std::static_pointer_cast<void>(other);
       },
       LedgerFileState::Unchanged, nullptr},
      {"replaced by another ledger",
       [](const TempDir& dir, const std::string& path) {
         test::makeLedger(dir.file("other.mdb"), kOtherTrades);
         fs::rename(dir.file("other.mdb"), path);
         return none();
       },
       LedgerFileState::Replaced, "The ledger file has been replaced by another file since it was opened:"},
      {"replaced by a ledger holding a table of another program",
       [](const TempDir& dir, const std::string& path) {
         test::makeLedger(dir.file("other.mdb"), kOtherTrades);
         Database::openFile(dir.file("other.mdb"), false).executeScript("CREATE TABLE Notes (x);");
         fs::rename(dir.file("other.mdb"), path);
         return none();
       },
       LedgerFileState::Replaced, "The ledger file has been replaced by another file", "table \"Notes\""},
      {"replaced by a file that is not a ledger",
       [](const TempDir& dir, const std::string& path) {
         writeBytes(dir.file("junk"), std::string(8192, '\x5a'));
         fs::rename(dir.file("junk"), path);
         return none();
       },
       LedgerFileState::Closed, "The ledger file has been replaced since it was opened, by a file that cannot"},
      {"replaced by a folder",
       [](const TempDir&, const std::string& path) {
         fs::remove(path);
         fs::create_directory(path);
         return none();
       },
       LedgerFileState::Closed, "The ledger file has been replaced since it was opened, by a file that cannot"},
      {"deleted",
       [](const TempDir&, const std::string& path) {
         fs::remove(path);
         return none();
       },
       LedgerFileState::Closed, "The ledger file has been deleted or moved since it was opened:"},
      {"moved away",
       [](const TempDir& dir, const std::string& path) {
         fs::rename(path, dir.file("elsewhere.mdb"));
         return none();
       },
       LedgerFileState::Closed, "The ledger file has been deleted or moved since it was opened:"},
      {"cut to half its length",
       [](const TempDir&, const std::string& path) {
         fs::resize_file(path, fs::file_size(path) / 2);
         return none();
       },
       LedgerFileState::Closed, "The ledger file has been cut short or overwritten since it was opened:"},
      {"emptied",
       [](const TempDir&, const std::string& path) {
         fs::resize_file(path, 0);
         return none();
       },
       LedgerFileState::Closed, "The ledger file has been cut short or overwritten since it was opened:"},
      {"overwritten in place",
       [](const TempDir&, const std::string& path) {
         writeBytes(path, std::string(fs::file_size(path), '\x17'));
         return none();
       },
       LedgerFileState::Closed, "The ledger file has been cut short or overwritten since it was opened:"},
  };
  return cases;
}

class FileWatchTest : public ::testing::TestWithParam<size_t> {
 protected:
  void SetUp() override {
    test::makeLedger(path, kTrades);
    session.LedgerPath = path;
    session.setLedgerFileListener([this](LedgerFileState s) { heard.push_back(s); });
    ASSERT_TRUE(OpenAndShow(session, form, "Trade"));
    ASSERT_EQ(form.general(), kShownFirst);
  }
  const FileChange& change() const { return fileChanges()[GetParam()]; }

  TempDir dir;
  std::string path = dir.file("l.mdb");
  ScriptedPrompter prompter;
  LedgerSession session{prompter};
  FakeForm form;
  std::vector<LedgerFileState> heard;
};

TEST_P(FileWatchTest, TheNextCommandSaysSoOnceAndShowsNothingOld) {
  const auto held = change().change(dir, path);
  if (change().told) prompter.expect(MsgAnswer::Ok);
  MoveToNext(session, form);

  if (change().state == LedgerFileState::Unchanged) {
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(form.general(), kShownSecond);
    EXPECT_TRUE(heard.empty());
    return;
  }
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(prompter.shown[0].text.rfind(change().told, 0), 0u) << prompter.shown[0].text;
  EXPECT_NE(prompter.shown[0].text.find(path), std::string::npos);
  EXPECT_NE(prompter.shown[0].text.find(change().alsoTold), std::string::npos);
  EXPECT_EQ(prompter.shown[0].icon,
            change().state == LedgerFileState::Closed ? MsgIcon::Critical : MsgIcon::Information);
  EXPECT_EQ(heard, std::vector<LedgerFileState>{change().state});
  // The trade of the old file has left the boxes.
  EXPECT_EQ(form.general(), kEmptied);
  EXPECT_EQ(form.status, kStatusNoRecords);
  EXPECT_EQ(session.CurrentRecordset, nullptr);
  EXPECT_FALSE(session.ShownTrade.has_value());

  // Said once: the commands after it say nothing more about it.
  MoveToPrevious(session, form);
  MoveToFirst(session, form);
  if (change().state == LedgerFileState::Closed) {
    EXPECT_EQ(session.LedgerPath, "");
    EXPECT_FALSE(OpenAndShow(session, form, "Trade"));
    form.fillGeneral("2", "MSFT", "2024-06-01", "3", "4", "1", true);
    EXPECT_FALSE(SaveRecord(session, prompter, form));
    EXPECT_EQ(form.general(), "2|MSFT|2024-06-01|3|4|1|B");  // typed values kept
  } else {
    // The ledger is read from the file that stands there now.
    EXPECT_EQ(session.LedgerPath, path);
    EXPECT_TRUE(OpenAndShow(session, form, "Trade"));
    EXPECT_EQ(form.general(), "9|NEW|2024-09-09|1|9|1|B");
  }
  EXPECT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(heard.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Changes, FileWatchTest, ::testing::Range<size_t>(0, fileChanges().size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                           std::string name;
                           for (char c : std::string(fileChanges()[info.param].label))
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

TEST(FileWatch, DeleteAndFindOnAReplacedFileAskNothingAndFindNothing) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path, kTrades);
  ScriptedPrompter prompter;
  LedgerSession session(prompter);
  session.LedgerPath = path;
  FakeForm form;
  ASSERT_TRUE(OpenAndShow(session, form, "Trade"));
  test::makeLedger(dir.file("other.mdb"), kTrades);
  fs::rename(dir.file("other.mdb"), path);
  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(DeleteRecord(session, prompter));  // no "Are you sure" about a trade of the old file
  ASSERT_EQ(prompter.shown.size(), 1u);
  EXPECT_EQ(test::readAll(path, "SELECT count(*) FROM Trade")[0][0], "2");

  fs::rename(path, dir.file("moved.mdb"));
  test::makeLedger(path, kTrades);
  prompter.expect(MsgAnswer::Ok);
  EXPECT_FALSE(FindTicker(session, form, "MSFT"));
  EXPECT_EQ(prompter.shown.size(), 2u);
  EXPECT_EQ(form.general(), kEmptied);
}

TEST(FileWatch, AFileCutShortUnderAnOpenRecordsetGivesErrorsNotACrash) {
  // The connection reads with read(), never through a memory map that
  // would fault when the file shrinks under it.
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  std::vector<test::TradeRow> many(2000, kTrades[0]);
  test::makeLedger(path, many);
  Database db = openLedger(path);
  auto rs = db.openRecordset("Trade");
  fs::resize_file(path, 8192);
  EXPECT_EQ(passOver([&] {
              rs->moveLast();
              (void)rs->value(0);
            }),
            dberr::kNotADatabase);
}

// Run in a child process as a user other than root: permission bits do not
// stop root from reading.
TEST(FileWatch, AFileMadeUnreadableClosesTheLedger) {
  TempDir dir;
  const std::string path = dir.file("l.mdb");
  test::makeLedger(path, kTrades);
  constexpr uid_t kNobody = 65534;
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (root && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(10);
    struct Recorder final : Prompter {
      std::vector<std::string> texts;
      MsgAnswer show(const std::string& text, MsgIcon, MsgButtons, const std::string&) override {
        texts.push_back(text);
        return MsgAnswer::Ok;
      }
    } prompter;
    LedgerSession session(prompter);
    session.LedgerPath = path;
    FakeForm form;
    if (!OpenAndShow(session, form, "Trade") || form.general() != kShownFirst) ::_exit(11);
    if (::chmod(path.c_str(), 0) != 0) ::_exit(12);
    MoveToNext(session, form);
    MoveToNext(session, form);
    if (prompter.texts.size() != 1) ::_exit(13);
    if (prompter.texts[0].rfind("The ledger file can no longer be read:", 0) != 0) ::_exit(14);
    if (form.general() != kEmptied || !session.LedgerPath.empty()) ::_exit(15);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the child stopped at step " << WEXITSTATUS(status);
}

}  // namespace
}  // namespace ledger
