#pragma once
// Every change the program makes to a ledger's splits and dividends, one
// function a kind of change, each one LedgerChange and one undo step named
// in the Edit menu: "New Split of MSFT 2025-04-10 (2:1)", "Edit of
// Dividend of MSFT 2025-05-15 (12.5 gross)", "Delete of Split of ...".
// The first event saved makes the tables (event_tables.h).
//
// An event is refused, with nothing written, by a DbError whose text is
// the message to show: kConstraint for an event the ledger cannot take (a
// symbol not in Companies, a second one of that symbol and date, a ratio
// with a zero, a negative amount, tax withheld above the gross amount, a
// date that is not a real date), kItemNotFound for one to delete that is
// not there, kChangedElsewhere when the one edited no longer holds what was
// shown; and the engine's numbers for a refused write (kReadOnly, kLocked,
// ...).

#include <string>
#include <string_view>
#include <vector>

#include "engine/database.h"
#include "figures/corporate_events.h"

namespace ledger {

// The refusal of a ratio that is not two whole numbers above zero.
inline constexpr const char* kSplitRatioRule =
    "The ratio must be two whole numbers above zero, new:old (2:1 doubles the shares, 1:10 is a reverse split).";

// What a save does when the ledger holds an event of that symbol and date.
enum class SameDate { Refuse, Replace };

// Adds the split, or with SameDate::Replace puts it in place of the one of
// that symbol and date.
void addSplit(Database& db, const StockSplit& split, SameDate sameDate = SameDate::Refuse);
// Puts split in place of shown, provided the ledger still holds shown.
void editSplit(Database& db, const StockSplit& shown, const StockSplit& split);
void deleteSplit(Database& db, std::string_view symbol, std::string_view date);

// The same for dividends. A dividend with shares bought adds the purchase
// as a Buy trade (no commission) in the same step, when it is added or
// first given shares bought; after that the trade is an ordinary one, and
// a later edit or delete of the dividend leaves it.
void addDividend(Database& db, const CashDividend& dividend, SameDate sameDate = SameDate::Refuse);
void editDividend(Database& db, const CashDividend& shown, const CashDividend& dividend);
void deleteDividend(Database& db, std::string_view symbol, std::string_view date);

class LedgerChange;
struct RowChange;

// Adds dividend in the caller's change (an import's), listing what it
// wrote in changes; refused as addDividend refuses, a dividend of that
// symbol and date already there included.
void writeDividend(LedgerChange& change, const CashDividend& dividend, std::vector<RowChange>& changes);

// The splits and the dividends of symbol, by date; none in a ledger
// without the tables. Throws DbError as the engine does.
std::vector<StockSplit> readSplits(Database& db, std::string_view symbol);
std::vector<CashDividend> readDividends(Database& db, std::string_view symbol);
// Every one in the ledger, by symbol and date.
std::vector<StockSplit> readAllSplits(Database& db);
std::vector<CashDividend> readAllDividends(Database& db);

// How a step's label names them: "MSFT 2025-04-10 (2:1)",
// "MSFT 2025-05-15 (12.5 gross)".
std::string describeSplit(const StockSplit& split);
std::string describeDividend(const CashDividend& dividend);

}  // namespace ledger
