#pragma once
// Every change the program makes to a ledger's trades and companies goes
// through one of these functions, one per kind of change. Each one is a
// single LedgerChange (ledger_change.h): the change happens whole or not at
// all, together with its step in the undo journal (undo_journal.h), which names it in
// the Edit menu: "New Record of", "Edit of" or "Delete of" a trade, or
// "Add Company" and the symbol.
//
// All of them throw DbError: kChangedElsewhere when the row no longer holds
// what the caller last saw (another copy of the program or another client
// changed or deleted it), and the engine's numbers for a refused write
// (kReadOnly, kDiskFull, kLocked, ...).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/database.h"
#include "figures/corporate_events.h"
#include "figures/trade.h"

namespace ledger {
class LedgerChange;
}

namespace ledger {

// Trade's columns in their order: CompanyID, CompanySymbol, Quantity,
// Buy/Sell, Date, Price, Commission.
inline constexpr int kTradeColumnCount = 7;
// The trade those column values hold: a Null number reads as 0 and a Null
// text as empty; a Buy/Sell code other than "B" reads as a sale.
Trade tradeFromColumns(const Value (&columns)[kTradeColumnCount]);

// The trade in Trade's row rowid; nullopt when there is no such row. A Null
// number reads as 0 and a Null text as empty; a Buy/Sell code other than
// "B" reads as a sale.
std::optional<Trade> readTrade(Database& db, std::int64_t rowid);

// Whether a write adds trade.symbol to Companies first, in the same
// transaction (unless Companies holds it by then), and gives the trade its
// CompanyID.
enum class NewCompany { No, Add };

// Adds trade as a new row; returns its row id.
std::int64_t insertTrade(Database& db, const Trade& trade, NewCompany company = NewCompany::No);

// Rewrites row rowid with trade, provided it still holds expected.
void updateTrade(Database& db, std::int64_t rowid, const Trade& expected, const Trade& trade,
                 NewCompany company = NewCompany::No);

// Removes row rowid, provided it still holds expected.
void deleteTrade(Database& db, std::int64_t rowid, const Trade& expected);

// The CompanyID of symbol in Companies (exact match; the last row wins as in
// the symbol lookup); nullopt when the list lacks it.
std::optional<std::int64_t> findCompany(Database& db, std::string_view symbol);

// Adds symbol to Companies; returns the CompanyID the engine gave it.
std::int64_t insertCompany(Database& db, std::string_view symbol);

// Adds trade as a new row in the caller's change, which lists it in its
// step; returns its row id.
std::int64_t writeTrade(LedgerChange& change, const Trade& trade);

// Called while importTrades writes, with the trades written so far and the
// total; returning false cancels the import.
using ImportProgress = std::function<bool(std::size_t done, std::size_t total)>;

// Adds newSymbols to Companies, then trades, each trade whose companyId is
// 0 taking the CompanyID its symbol was given: one change, all or nothing,
// recorded as one step of the undo journal. A symbol that Companies holds
// by the time the transaction writes (another copy of the program added
// it since the plan was made) is not added again; its trades take its
// CompanyID. progress (if any) is called every few hundred trades; when it
// returns false nothing is written and importTrades returns false.
bool importTrades(Database& db, const std::vector<Trade>& trades, const std::vector<std::string>& newSymbols,
                  const ImportProgress& progress = {});

// The same in the caller's change, begun before the caller read what the
// plan depends on, with the dividends of the import after the trades (their
// companies in the ledger): commits it as the import's undo step, or
// returns false with nothing committed (the change then rolls back). A
// dividend the ledger cannot take throws, as addDividend refuses it.
bool writeImportedTrades(LedgerChange& change, const std::vector<Trade>& trades,
                         const std::vector<std::string>& newSymbols, const std::vector<CashDividend>& dividends,
                         const ImportProgress& progress = {});

}  // namespace ledger
