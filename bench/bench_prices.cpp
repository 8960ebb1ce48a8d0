// Closing prices: entering one, and undoing a step that entered 250,000
// (an import's). Two pairs:
//   AddPrice      addPrice through the write gate, as the Prices window's
//                 Add does / the same checks, row and undo step written
//                 with bare statements, each in one transaction;
//   UndoPrices    Edit, Undo of the 250,000 prices' step / its check, delete
//                 and mark run bare; the redo that sets the next round up
//                 runs untimed. At 100,000 trades only: the trades beside the
//                 prices change nothing here.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "bare_sqlite.h"
#include "engine/database.h"
#include "engine/statement.h"
#include "ledger/kept_figures.h"
#include "ledger/ledger_change.h"
#include "ledger/ledger_open.h"
#include "ledger/price_writes.h"
#include "ledger/undo_journal.h"
#include "ledger_generator.h"
#include "paired_cases.h"

namespace ledger::bench {

namespace {

constexpr int kStepPrices = 250'000;

// Day number (0 = 1970-01-01) as YYYY-MM-DD: the proleptic Gregorian
// calendar in whole 400-year eras.
std::string isoDate(int days) {
  days += 719468;
  const int era = (days >= 0 ? days : days - 146096) / 146097;
  const int dayOfEra = days - era * 146097;
  const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int mp = (5 * dayOfYear + 2) / 153;
  const int day = dayOfYear - (153 * mp + 2) / 5 + 1;
  const int month = mp < 10 ? mp + 3 : mp - 9;
  const int year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[32];  // room for any int, so the compiler sees no truncation
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", year % 10000, month, day);
  return text;
}

// A ledger copy keeping its figures, as after the first view opened, with
// one price entered so that the table and its journal are there.
class PriceLedger {
 public:
  explicit PriceLedger(std::int64_t trades) : m_copy(trades), m_db(openLedger(m_copy.path())) {
    if (!keepLedgerTotals(m_db)) throw std::runtime_error("the figures could not be kept");
    Statement symbols(m_db, "SELECT DISTINCT CompanySymbol FROM Companies ORDER BY rowid LIMIT 10");
    while (symbols.step()) m_symbols.emplace_back(symbols.text(0));
    addPrice(m_db, {m_symbols.front(), isoDate(-1), *Decimal::parse("1")});
  }
  Database& db() { return m_db; }
  const std::string& path() const { return m_copy.path(); }
  const std::vector<std::string>& symbols() const { return m_symbols; }
  // The nth price of the run: the symbols in turn, one day further each round.
  ClosePrice price(int n) const {
    const auto count = static_cast<int>(m_symbols.size());
    return {m_symbols[static_cast<std::size_t>(n % count)], isoDate(n / count), *Decimal::parse("412.5")};
  }

 private:
  LedgerCopy m_copy;
  Database m_db;
  std::vector<std::string> m_symbols;
};

void addOnePrice(benchmark::State& state) {
  PriceLedger ledger(state.range(0));
  int n = 0;
  for (auto _ : state) addPrice(ledger.db(), ledger.price(n++));
}

void bareExec(sqlite3* db, const char* sql) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
}

bool bareHasRow(sqlite3_stmt* stmt) {
  const bool row = sqlite3_step(stmt) == SQLITE_ROW;
  sqlite3_reset(stmt);
  return row;
}

// The same add: the company there, no price of that day, the row, the step
// and its journal row, in one transaction.
void bareAddOnePrice(benchmark::State& state) {
  PriceLedger ledger(state.range(0));
  BareConnection db = bareOpen(ledger.path());
  int n = 0;
  for (auto _ : state) {
    const ClosePrice price = ledger.price(n++);
    const std::string close = price.close.toPlainString();
    bareExec(db.get(), "BEGIN IMMEDIATE");
    BareStatement company = barePrepare(db.get(), "SELECT 1 FROM Companies WHERE CompanySymbol = ?1");
    sqlite3_bind_text(company.get(), 1, price.symbol.c_str(), -1, SQLITE_TRANSIENT);
    if (!bareHasRow(company.get())) throw std::runtime_error("no such company");
    BareStatement held = barePrepare(db.get(), "SELECT rowid FROM Price WHERE CompanySymbol = ?1 AND Date = ?2");
    sqlite3_bind_text(held.get(), 1, price.symbol.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(held.get(), 2, price.date.c_str(), -1, SQLITE_TRANSIENT);
    if (bareHasRow(held.get())) throw std::runtime_error("a price of that day");
    BareStatement insert = barePrepare(db.get(), "INSERT INTO Price (CompanySymbol, Date, Close) VALUES (?1, ?2, ?3)");
    sqlite3_bind_text(insert.get(), 1, price.symbol.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(insert.get(), 2, price.date.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(insert.get(), 3, price.close.toDouble());
    bareRun(db.get(), insert.get());
    const sqlite3_int64 row = sqlite3_last_insert_rowid(db.get());
    BareStatement step = barePrepare(db.get(), "INSERT INTO UndoStep (Label) VALUES ('New Price')");
    bareRun(db.get(), step.get());
    const sqlite3_int64 stepNumber = sqlite3_last_insert_rowid(db.get());
    BareStatement journal = barePrepare(
        db.get(), "INSERT INTO UndoPriceChange (Step, Seq, TableName, RowKey, Kind, AfterCompanySymbol, AfterDate, "
                  "AfterClose) SELECT ?1, 1, 'Price', rowid, 'Insert', CompanySymbol, Date, Close FROM Price "
                  "WHERE rowid = ?2");
    sqlite3_bind_int64(journal.get(), 1, stepNumber);
    sqlite3_bind_int64(journal.get(), 2, row);
    bareRun(db.get(), journal.get());
    bareExec(db.get(), "COMMIT");
  }
}

// The ledger with one step of kStepPrices new prices on top, as an import
// of them leaves it.
class ImportedPrices : public PriceLedger {
 public:
  explicit ImportedPrices(std::int64_t trades) : PriceLedger(trades) {
    LedgerChange change(db());
    std::vector<RowChange> changes;
    changes.reserve(kStepPrices);
    PriceBatch batch(change);
    for (int n = 0; n < kStepPrices; ++n) batch.write(price(n), SameDate::Refuse, changes);
    change.commitStep("Import of " + std::to_string(kStepPrices) + " Prices", changes);
  }
};

void undoPrices(benchmark::State& state) {
  ImportedPrices ledger(state.range(0));
  for (auto _ : state) {
    if (!undoStep(ledger.db())) throw std::runtime_error("nothing to undo");
    state.PauseTiming();
    if (!redoStep(ledger.db())) throw std::runtime_error("nothing to redo");
    state.ResumeTiming();
  }
}

// The same undo: every price still as the step left it, then all of them
// removed and the step marked, in one transaction.
void bareUndoPrices(benchmark::State& state) {
  ImportedPrices ledger(state.range(0));
  BareConnection db = bareOpen(ledger.path());
  for (auto _ : state) {
    bareExec(db.get(), "BEGIN IMMEDIATE");
    BareStatement last =
        barePrepare(db.get(), "SELECT Step FROM UndoStep WHERE Undone = 0 ORDER BY Step DESC LIMIT 1");
    if (sqlite3_step(last.get()) != SQLITE_ROW) throw std::runtime_error("no step");
    const sqlite3_int64 step = sqlite3_column_int64(last.get(), 0);
    sqlite3_reset(last.get());  // a statement left on its row would keep the file locked after COMMIT
    BareStatement changed = barePrepare(
        db.get(), "SELECT 1 FROM UndoPriceChange AS u WHERE u.Step = ?1 AND NOT EXISTS (SELECT 1 FROM Price AS r "
                  "WHERE r.rowid = u.RowKey AND r.CompanySymbol IS u.AfterCompanySymbol AND r.Date IS u.AfterDate "
                  "AND r.Close IS u.AfterClose) LIMIT 1");
    sqlite3_bind_int64(changed.get(), 1, step);
    if (bareHasRow(changed.get())) throw std::runtime_error("a price changed");
    BareStatement remove = barePrepare(
        db.get(), "DELETE FROM Price WHERE rowid IN (SELECT RowKey FROM UndoPriceChange WHERE Step = ?1)");
    sqlite3_bind_int64(remove.get(), 1, step);
    bareRun(db.get(), remove.get());
    BareStatement mark = barePrepare(db.get(), "UPDATE UndoStep SET Undone = 1 WHERE Step = ?1");
    sqlite3_bind_int64(mark.get(), 1, step);
    bareRun(db.get(), mark.get());
    bareExec(db.get(), "COMMIT");
    state.PauseTiming();
    if (!redoStep(ledger.db())) throw std::runtime_error("nothing to redo");
    state.ResumeTiming();
  }
}

const bool registeredAdd = registerPair("AddPrice", addOnePrice, bareAddOnePrice);

const bool registeredUndo = [] {
  for (const auto& [side, function] :
       {std::pair{kEngineSide, &undoPrices}, std::pair{kBareSide, &bareUndoPrices}})
    benchmark::RegisterBenchmark((std::string("UndoPrices/") + side).c_str(), function)
        ->Arg(100'000)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

}  // namespace ledger::bench
