// Opens a ledger made of arbitrary bytes and does what the program does with
// one: reads every table and stored query, shows and moves through trades,
// builds the history queries, reads the figures and the chart's table, adds
// a company, saves and deletes a trade, checks the file as every command
// does; all on connections set up for untrusted files. Every failure must
// be a DbError (the user is told and the program goes on); any other
// exception, a crash, a hang or a sanitizer report is a finding.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/company_list.h"
#include "engine/database.h"
#include "engine/db_error.h"
#include "fake_form.h"
#include "ledger/ledger_objects.h"
#include "ledger/ledger_session.h"
#include "app/record_display.h"
#include "app/record_writes.h"
#include "ledger/view_queries.h"
#include "ledger/ledger_open.h"

namespace {

using namespace ledger;

// Enough rows to reach the damaged pages of any small file, few enough
// that a large valid one does not pass for a hang.
constexpr int kMaxRowsRead = 2000;

class AnsweringPrompter final : public Prompter {
 public:
  MsgAnswer show(const std::string&, MsgIcon, MsgButtons buttons, const std::string&) override {
    return buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
  }
};

const std::string& filePath() {
  static const std::string path = "/dev/shm/ledger_file_fuzz-" + std::to_string(::getpid()) + ".mdb";
  return path;
}

void removeFiles() {
  std::error_code ignored;
  for (const char* suffix : {"", "-journal", "-wal", "-shm"})
    std::filesystem::remove(filePath() + suffix, ignored);
}

void readRows(Recordset& rs) {
  (void)rs.recordCount();
  for (int n = 0; n < kMaxRowsRead && !rs.eof(); ++n) {
    for (int i = 0; i < rs.fieldCount(); ++i) (void)toText(rs.value(i));
    rs.moveNext();
  }
}

// Every table and view the file names, the ledger's own first.
std::vector<std::string> sourceNames(Database& db) {
  std::vector<std::string> names = {"Trade", "Companies", "Bought", "Sold", "Total Buy", "Total Sell", "Profit/Loss"};
  passOver([&] {
    auto rs = db.openRecordset("sqlite_schema");
    for (int n = 0; n < 100 && !rs->eof(); ++n) {
      if (const auto name = toText(rs->value("name"))) names.push_back(*name);
      rs->moveNext();
    }
  });
  return names;
}

void useLedger() {
  // What a grid opens: the schema compared with the program's objects,
  // without the ledger check.
  passOver([&] { (void)openLedgerSource(filePath()).foreignObjects(); });
  Database db = openLedger(filePath());
  (void)describeForeignObjects(db.foreignObjects());
  for (const std::string& name : sourceNames(db)) {
    passOver([&] {
      auto rs = db.openRecordset(name);
      readRows(*rs);
    });
  }
  passOver([&] { EnsureTradeSorted(db); });
  passOver([&] { BuildHistoryQueries(db, "AAPL"); });
  passOver([&] {
    auto trades = db.openRecordset("Trade");
    (void)readChartTable(db, *trades);
  });

  AnsweringPrompter prompter;
  LedgerSession session(prompter);
  session.LedgerPath = filePath();
  test::FakeForm form;
  // Each step on its own, so that one refused step does not hide the rest.
  passOver([&] { (void)readProfitLossFigures(session); });
  passOver([&] { (void)OpenAndShow(session, form, "Trade"); });
  passOver([&] { MoveToNext(session, form); });
  passOver([&] { MoveToLast(session, form); });
  passOver([&] { MoveToPrevious(session, form); });
  passOver([&] { MoveToFirst(session, form); });
  passOver([&] { FillCompanyList(session, form); });
  form.comboText = "MSFT";
  passOver([&] { LookUpCompanySymbol(session, form); });
  passOver([&] { (void)AddCompany(session, form, "NEW"); });
  form.fillGeneral("2", "MSFT", "2024-06-01", "3", "410.5", "1.25", false);
  passOver([&] { (void)SaveRecord(session, prompter, form); });
  passOver([&] { (void)DeleteRecord(session, prompter); });
  passOver([&] { (void)session.checkLedgerFile(); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  removeFiles();
  std::ofstream(filePath(), std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                      static_cast<std::streamsize>(size));
  // Only the engine's own error may leave the program's operations.
  passOver(useLedger);
  removeFiles();
  return 0;
}
