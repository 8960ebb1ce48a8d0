// Saving a new trade from the entry form and re-reading the General tab,
// as the Save command does, against the same statements run bare. Both
// sides work through one connection, kept open as the session keeps it.

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include "bare_sqlite.h"
#include "bench_form.h"
#include "ledger/kept_figures.h"
#include "ledger_generator.h"
#include "paired_cases.h"
#include "app/record_display.h"
#include "app/record_writes.h"
#include "ledger/ledger_open.h"

namespace ledger::bench {

namespace {

void saveAndReload(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  {
    // As after the first view opened: the save brings the kept figures along.
    Database db = openLedger(copy.path());
    if (!keepLedgerTotals(db)) throw std::runtime_error("the figures could not be kept");
  }
  SilentPrompter prompter;
  LedgerSession session(prompter);
  session.LedgerPath = copy.path();
  BenchForm form;
  for (auto _ : state) {
    if (!SaveRecord(session, prompter, form)) throw std::runtime_error("save failed");
    // The General tab's tab change: reopen Trade, show its first row, count.
    OpenAndShow(session, form, "Trade");
    session.CurrentRecordset->moveNext();
    session.CurrentRecordset->moveFirst();
    benchmark::DoNotOptimize(session.CurrentRecordset->recordCount());
  }
}

void bareSaveAndReload(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  BareConnection db = bareOpen(copy.path());
  for (auto _ : state) {
    BareStatement insert = barePrepare(db.get(),
                                       "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], "
                                       "Date, Price, Commission) VALUES (3, 'IBM', 250, 'B', '2024-05-17', "
                                       "131.45, 9.95)");
    bareRun(db.get(), insert.get());
    BareStatement first = barePrepare(db.get(), "SELECT * FROM Trade ORDER BY rowid LIMIT 1");
    if (sqlite3_step(first.get()) == SQLITE_ROW) readRow(first.get());
    BareStatement count = barePrepare(db.get(), "SELECT count(*) FROM Trade");
    sqlite3_step(count.get());
    benchmark::DoNotOptimize(sqlite3_column_int64(count.get(), 0));
  }
}

const bool registered = registerPair("SaveAndReload", saveAndReload, bareSaveAndReload);

}  // namespace

}  // namespace ledger::bench
