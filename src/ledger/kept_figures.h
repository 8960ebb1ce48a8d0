#pragma once
// Figures the program keeps in the ledger so that Profit/Loss and a
// company's history need not read every trade: for each company symbol and
// side, the exact sum of the trades' totals and the counts that decide
// what readTradeTotals would make of them (Null when nothing was summed,
// an infinity or "not a number" where another program stored an
// infinity); and how many rows Trade has. They live in the table
// KeptTotals, beside a stamp row.
//
// The stamp is the file's change counter (SQLite bumps it at every commit
// in rollback journal mode) that the file has once the program's writing
// transaction commits, and a seal under the user's key (figures_seal.h)
// over that counter and every kept row. When the file's counter says
// otherwise, someone else wrote the file since; when the seal does not
// check, someone else wrote the figures (or another user's program did).
// Either way the figures are computed from the trades again. A file in WAL
// mode keeps no such counter, so there the figures are always computed,
// and without a key (setKeptFiguresKey) none are kept or trusted.
//
// Every writing transaction of the program (LedgerChange, ledger_change.h)
// stamps the figures when it begins and seals them just before it commits;
// every change to Trade in it is an undo step, and the step's rows bring
// the figures along (change_hooks.h). A ledger without the table works as
// before; the first figures read from a writable ledger makes it.

#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/database.h"
#include "ledger/trade_totals.h"
#include "ledger/figures_seal.h"

namespace ledger {

// The statement that makes the table (the list of objects a ledger may
// hold uses it too).
extern const char* const kKeptTotalsSchema;

// The totals of the whole ledger, or of the company whose symbol is given
// (compared as readTradeTotals compares it): the kept figures when they are
// current, else readTradeTotals; in that case a writable ledger keeps the
// figures afresh, so the next read is quick. Throws DbError when the trades
// cannot be read.
TradeTotals readLedgerTotals(Database& db, std::optional<std::string_view> symbol = std::nullopt);

// The kept figures, or nullopt when the ledger has none, they are out of
// date, the file is in WAL mode or the table is not as the program makes
// it. Never writes.
std::optional<TradeTotals> readKeptTotals(Database& db, std::optional<std::string_view> symbol = std::nullopt);

// How many rows Trade has, as kept with the figures (a row of its own,
// Side 'Rows'), when they are current; nullopt otherwise. A first open of
// a long ledger then need not read every trade to count them. Never writes.
std::optional<std::int64_t> readKeptTradeCount(Database& db);

// Computes the figures from every trade and keeps them, in one writing
// transaction. false when the ledger cannot be written now (read-only,
// locked, WAL mode); nothing is kept then. Throws DbError when the trades
// cannot be read.
bool keepLedgerTotals(Database& db);


}  // namespace ledger
