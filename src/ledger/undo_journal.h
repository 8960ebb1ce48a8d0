#pragma once
// The undo journal: every change the program makes to a ledger is kept as
// one step in the ledger file itself, in the tables UndoStep and
// UndoChange, written in the transaction that makes the change. A step
// therefore survives closing the program and a crash, and no change is
// ever recorded without happening or made without being recorded. Other
// SQLite clients see two plain tables; a ledger without them has no steps.
//
// A step lists the rows it changed (Trade, Companies, Split, Dividend or
// Price, by row id) with
// their values before and after the change. Undo puts the "before" values
// back, redo the "after" values, each in one transaction. Either is refused
// with nothing written when a row no longer holds what the step expects
// (another copy of the program or another client changed it since); the
// step then stays where it was.
//
// Steps form one line: the ones done, then the ones undone. A new step
// drops the undone ones (nothing is left to redo) and the oldest beyond
// kMaxUndoSteps.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/database.h"
#include "figures/trade.h"

namespace ledger {

inline constexpr int kMaxUndoSteps = 1000;

// The statements that make the journal's tables and index when a ledger
// lacks them (the list of objects a ledger may hold uses them too).
extern const char* const kUndoJournalSchema;
// The same for the rows of splits and dividends, made by the first step
// that changes one.
extern const char* const kUndoEventJournalSchema;
// The same for the rows of closing prices, made by the first step that
// changes one.
extern const char* const kUndoPriceJournalSchema;

enum class JournalTable { Trade, Companies, Split, Dividend, Price };

// One row as the journal keeps it: Trade's seven columns in their order
// (CompanyID, CompanySymbol, Quantity, Buy/Sell, Date, Price, Commission),
// for Companies the symbol alone (its CompanyID is the row id), for Split,
// Dividend and Price their columns after the row id, in their order.
using RowValues = std::vector<Value>;

// The values of row rowid of table; nullopt when there is no such row.
std::optional<RowValues> readJournalRow(Database& db, JournalTable table, std::int64_t rowid);

// One row a change touched.
struct RowChange {
  JournalTable table;
  std::int64_t rowid;
  // What the row held before the change (readJournalRow); nullopt when the
  // change added it.
  std::optional<RowValues> before;
};

// A trade as a step's label names it: "MSFT 2025-04-10 (150 shares)".
std::string describeTrade(const Trade& trade);

struct UndoStepInfo {
  std::int64_t number = 0;
  std::string label;  // "Delete of MSFT 2025-04-10 (150 shares)"
  friend bool operator==(const UndoStepInfo&, const UndoStepInfo&) = default;
};

// The step Undo would take back and the one Redo would make again;
// nullopt when there is none, also in a ledger without a journal.
std::optional<UndoStepInfo> stepToUndo(Database& db);
std::optional<UndoStepInfo> stepToRedo(Database& db);

struct UndoOutcome {
  UndoStepInfo step;
  // The first trade the step changed, when the ledger holds it afterwards;
  // nullopt when the step took it out or changed no trade.
  std::optional<std::int64_t> trade;
};

// Takes back the last step done (undo) or makes the first step undone
// again (redo), in one transaction. Returns nullopt, writing nothing, when
// there is no such step. expected is the step the user was offered: when
// another one is due by now, nothing is written.
// Throws DbError: kChangedElsewhere when a row of the step no longer holds
// what the step expects, or expected is no longer the step due (the text
// says which); the engine's numbers for a refused write (kReadOnly,
// kLocked, kDiskFull, ...).
std::optional<UndoOutcome> undoStep(Database& db, const std::optional<UndoStepInfo>& expected = std::nullopt);
std::optional<UndoOutcome> redoStep(Database& db, const std::optional<UndoStepInfo>& expected = std::nullopt);

// Removes the journal with every step: a new ledger starts without any.
void dropUndoJournal(Database& db);

}  // namespace ledger
