// Undo of one trade at each ledger size: taking back the save of a new
// trade, as Edit, Undo does right after File, Save. Two pairs:
//   UndoTrade   the undo through the engine / its statements run bare, each
//               on a connection kept open, as the session keeps it;
//   UndoVsSave  the undo / the save it takes back, both through the engine
//               (the "bare" column holds the save), so the ratio says how
//               much longer taking a trade back costs than entering it.
// The part of each round that only sets the next one up runs untimed.

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>

#include "bare_sqlite.h"
#include "bench_form.h"
#include "engine/database.h"
#include "ledger/kept_figures.h"
#include "ledger_generator.h"
#include "paired_cases.h"
#include "app/record_writes.h"
#include "ledger/undo_journal.h"
#include "ledger/ledger_open.h"

namespace ledger::bench {

namespace {

// A ledger copy with a session that saves the bench form's trade into it.
class Saver {
 public:
  explicit Saver(std::int64_t trades) : m_copy(trades), m_session(m_prompter) {
    m_session.LedgerPath = m_copy.path();
    // As after the first view opened: the ledger keeps its figures, and
    // every save and undo brings them along.
    Database db = openLedger(path());
    if (!keepLedgerTotals(db)) throw std::runtime_error("the figures could not be kept");
  }
  const std::string& path() const { return m_copy.path(); }
  void save() {
    if (!SaveRecord(m_session, m_prompter, m_form)) throw std::runtime_error("save failed");
  }
  // Edit, Undo: the file checked, then the step, through the session's
  // connection.
  void undo() {
    if (m_session.checkLedgerFile() != LedgerFileState::Unchanged) throw std::runtime_error("the ledger changed");
    Database db = m_session.ledgerConnection();
    if (!undoStep(db)) throw std::runtime_error("nothing to undo");
  }

 private:
  LedgerCopy m_copy;
  SilentPrompter m_prompter;
  LedgerSession m_session;
  BenchForm m_form;
};

void undoTrade(benchmark::State& state) {
  Saver saver(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    saver.save();
    state.ResumeTiming();
    saver.undo();
  }
}

void saveTakenBack(benchmark::State& state) {
  Saver saver(state.range(0));
  for (auto _ : state) {
    saver.save();
    state.PauseTiming();
    saver.undo();  // every save finds the ledger as the one before
    state.ResumeTiming();
  }
}

sqlite3_int64 bareInteger(sqlite3* db, const char* sql, sqlite3_int64 param = 0) {
  BareStatement stmt = barePrepare(db, sql);
  sqlite3_bind_int64(stmt.get(), 1, param);
  if (sqlite3_step(stmt.get()) != SQLITE_ROW) throw std::runtime_error(std::string("no row: ") + sql);
  return sqlite3_column_int64(stmt.get(), 0);
}

void bareExec(sqlite3* db, const char* sql) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
}

// The same undo: find the step and its trade, check the trade still holds
// what the save wrote, remove it and mark the step, in one transaction.
void bareUndoTrade(benchmark::State& state) {
  Saver saver(state.range(0));
  BareConnection db = bareOpen(saver.path());
  for (auto _ : state) {
    state.PauseTiming();
    saver.save();
    state.ResumeTiming();
    bareExec(db.get(), "BEGIN IMMEDIATE");
    const sqlite3_int64 step =
        bareInteger(db.get(), "SELECT Step FROM UndoStep WHERE Undone = 0 ORDER BY Step DESC LIMIT 1");
    const sqlite3_int64 rowid =
        bareInteger(db.get(), "SELECT RowKey FROM UndoChange WHERE Step = ?1 AND TableName = 'Trade'", step);
    const sqlite3_int64 same = bareInteger(
        db.get(),
        "SELECT EXISTS (SELECT 1 FROM Trade AS r, UndoChange AS u WHERE u.Step = ?1 AND u.TableName = 'Trade' AND "
        "r.rowid = u.RowKey AND r.CompanyID IS u.AfterCompanyID AND r.CompanySymbol IS u.AfterCompanySymbol AND "
        "r.Quantity IS u.AfterQuantity AND r.[Buy/Sell] IS u.AfterBuySell AND r.Date IS u.AfterDate AND "
        "r.Price IS u.AfterPrice AND r.Commission IS u.AfterCommission)",
        step);
    if (!same) throw std::runtime_error("the trade changed");
    BareStatement remove = barePrepare(db.get(), "DELETE FROM Trade WHERE rowid = ?1");
    sqlite3_bind_int64(remove.get(), 1, rowid);
    bareRun(db.get(), remove.get());
    BareStatement mark = barePrepare(db.get(), "UPDATE UndoStep SET Undone = 1 WHERE Step = ?1");
    sqlite3_bind_int64(mark.get(), 1, step);
    bareRun(db.get(), mark.get());
    bareExec(db.get(), "COMMIT");
  }
}

const bool registeredUndo = registerPair("UndoTrade", undoTrade, bareUndoTrade);
const bool registeredVsSave = registerPair("UndoVsSave", undoTrade, saveTakenBack);

}  // namespace

}  // namespace ledger::bench
