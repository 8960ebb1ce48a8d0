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
#include "ledger/undo_journal.h"

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
    // The General tab's tab change, as the window makes it after a save.
    benchmark::DoNotOptimize(OpenGeneralTab(session, form));
  }
}

// The save's own rows: the trade, its undo step and change, the kept
// total of its symbol and side, in one transaction; then the General tab's
// reads. The journal's tables are made untimed, as the engine's first save
// makes them.
void bareSaveAndReload(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  {
    Database db = openLedger(copy.path());
    if (!keepLedgerTotals(db)) throw std::runtime_error("the figures could not be kept");
    db.executeScript(kUndoJournalSchema);
  }
  BareConnection db = bareOpen(copy.path());
  const auto exec = [&](const char* sql) {
    if (sqlite3_exec(db.get(), sql, nullptr, nullptr, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(db.get()));
  };
  for (auto _ : state) {
    exec("BEGIN IMMEDIATE");
    BareStatement insert = barePrepare(db.get(),
                                       "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], "
                                       "Date, Price, Commission) VALUES (3, 'IBM', 250, 'B', '2024-05-17', "
                                       "131.45, 9.95)");
    bareRun(db.get(), insert.get());
    const sqlite3_int64 rowid = sqlite3_last_insert_rowid(db.get());
    BareStatement step =
        barePrepare(db.get(), "INSERT INTO UndoStep (Label) VALUES ('New Record of IBM 2024-05-17 (250 shares)')");
    bareRun(db.get(), step.get());
    BareStatement change = barePrepare(
        db.get(),
        "INSERT INTO UndoChange (Step, Seq, TableName, RowKey, Kind, AfterCompanyID, AfterCompanySymbol, "
        "AfterQuantity, AfterBuySell, AfterDate, AfterPrice, AfterCommission) VALUES (?1, 1, 'Trade', ?2, "
        "'Insert', 3, 'IBM', 250, 'B', '2024-05-17', 131.45, 9.95)");
    sqlite3_bind_int64(change.get(), 1, sqlite3_last_insert_rowid(db.get()));
    sqlite3_bind_int64(change.get(), 2, rowid);
    bareRun(db.get(), change.get());
    BareStatement total = barePrepare(db.get(),
                                      "UPDATE KeptTotals SET ExactSum = ExactSum, Summed = Summed + 1 "
                                      "WHERE Side = 'B' AND CompanySymbol IS 'IBM'");
    bareRun(db.get(), total.get());
    exec("COMMIT");
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
