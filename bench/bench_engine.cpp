// The engine's everyday moves on ledgers of 10k, 100k and 1M trades, each
// against the same work done with the sqlite3 C API alone.

#include <sqlite3.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "engine/database.h"
#include "bare_sqlite.h"
#include "bench_form.h"
#include "ledger/ledger_session.h"
#include "ledger_generator.h"
#include "paired_cases.h"
#include "ledger/kept_figures.h"
#include "ledger/ledger_open.h"
#include "engine/statement.h"

namespace ledger::bench {

namespace {

void readRecord(const Recordset& rs) {
  for (int i = 0; i < rs.fieldCount(); ++i) benchmark::DoNotOptimize(rs.value(i));
}

// ---- open a ledger and stand on the first row of a table or query -------

// As File, Open does it: the session opens the file and the recordset.
// The ledger keeps its figures, as one does from the first save or view on.
void openSource(benchmark::State& state, const char* source) {
  const std::string path = cachedLedger(state.range(0));
  {
    Database db = openLedger(path);
    if (!keepLedgerTotals(db)) throw std::runtime_error("the figures could not be kept");
  }
  SilentPrompter prompter;
  for (auto _ : state) {
    LedgerSession session(prompter);
    if (!session.OpenLedgerTable(source, path)) throw std::runtime_error("the ledger did not open");
    readRecord(*session.CurrentRecordset);
    benchmark::DoNotOptimize(session.CurrentRecordset->recordCount());
  }
}

void bareOpenSource(benchmark::State& state, const std::string& source) {
  const std::string path = cachedLedger(state.range(0));
  const std::string select = "SELECT * FROM " + source;
  const std::string count = "SELECT count(*) FROM " + source;
  for (auto _ : state) {
    BareConnection db = bareOpen(path);
    BareStatement rows = barePrepare(db.get(), select.c_str());
    if (sqlite3_step(rows.get()) == SQLITE_ROW) readRow(rows.get());
    BareStatement counted = barePrepare(db.get(), count.c_str());
    sqlite3_step(counted.get());
    benchmark::DoNotOptimize(sqlite3_column_int64(counted.get(), 0));
  }
}

void openTrade(benchmark::State& state) { openSource(state, "Trade"); }
void bareOpenTrade(benchmark::State& state) { bareOpenSource(state, "Trade"); }
void openBought(benchmark::State& state) { openSource(state, "Bought"); }
void bareOpenBought(benchmark::State& state) { bareOpenSource(state, "Bought"); }

// ---- move to the last trade of an open recordset ------------------------

void moveLast(benchmark::State& state) {
  Database db = openLedger(cachedLedger(state.range(0)));
  auto rs = db.openRecordset("Trade");
  for (auto _ : state) {
    rs->moveLast();
    readRecord(*rs);
  }
}

// The engine reads a table by row id, so its last row is one seek down the
// table's b-tree, the same as this statement prepared once.
void bareMoveLast(benchmark::State& state) {
  BareConnection db = bareOpen(cachedLedger(state.range(0)));
  BareStatement last = barePrepare(db.get(), "SELECT * FROM Trade ORDER BY rowid DESC LIMIT 1");
  for (auto _ : state) {
    if (sqlite3_step(last.get()) == SQLITE_ROW) readRow(last.get());
    sqlite3_reset(last.get());
  }
}

// ---- add one trade, committed on its own --------------------------------

void addTrade(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  Database db = openLedger(copy.path());
  Statement insert(db,
                   "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], "
                   "Date, Price, Commission) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  for (auto _ : state) {
    insert.bind(1, std::int64_t{3});
    insert.bind(2, "IBM");
    insert.bind(3, 250.0);
    insert.bind(4, "B");
    insert.bind(5, "2024-05-17");
    insert.bind(6, 131.45);
    insert.bind(7, 9.95);
    insert.run();
    insert.reset();
  }
}

void bareAddTrade(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  BareConnection db = bareOpen(copy.path());
  BareStatement insert = barePrepare(db.get(),
                                     "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], "
                                     "Date, Price, Commission) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  sqlite3_stmt* stmt = insert.get();
  for (auto _ : state) {
    sqlite3_bind_int64(stmt, 1, 3);
    sqlite3_bind_text(stmt, 2, "IBM", -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(stmt, 3, 250.0);
    sqlite3_bind_text(stmt, 4, "B", -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 5, "2024-05-17", -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(stmt, 6, 131.45);
    sqlite3_bind_double(stmt, 7, 9.95);
    if (sqlite3_step(stmt) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db.get()));
    sqlite3_reset(stmt);
  }
}

const bool registered = registerPair("OpenTrade", openTrade, bareOpenTrade) &&
                        registerPair("OpenBought", openBought, bareOpenBought) &&
                        registerPair("MoveLast", moveLast, bareMoveLast) &&
                        registerPair("AddTrade", addTrade, bareAddTrade);

}  // namespace

}  // namespace ledger::bench
