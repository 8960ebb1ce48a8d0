#pragma once
// Adding, replacing and deleting a ledger's splits and dividends: what the
// window and the command line both call. Each change is one undo step.
// Every function returns nullopt when it is done, or the message the window
// shows, and then nothing was written.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "engine/database.h"
#include "figures/corporate_events.h"
#include "ledger/event_writes.h"

namespace ledger {

// The split typed as text: ratio "NEW:OLD", two whole numbers; blanks
// around the symbol dropped, as the trade entry drops them.
std::variant<StockSplit, std::string> readSplit(std::string_view symbol, std::string date, std::string_view ratio);

// The dividend typed as text, amounts with '.' as the point; withholding
// empty is none, the shares bought and their price both empty or both given.
struct DividendText {
  std::string symbol, date, gross, withholding, reinvestQuantity, reinvestPrice;
};
std::variant<CashDividend, std::string> readDividend(const DividendText& text);

// Runs write; nullopt when it is done, else its refusal as the message to
// show: the ledger's own refusals (kConstraint, kItemNotFound,
// kChangedElsewhere) as they are, any other failure after what ("The split
// could not be saved.").
std::optional<std::string> refusalOf(const char* what, const std::function<void()>& write);

std::optional<std::string> saveSplit(Database& db, const StockSplit& split, SameDate sameDate);
std::optional<std::string> changeSplit(Database& db, const StockSplit& shown, const StockSplit& split);
std::optional<std::string> removeSplit(Database& db, std::string_view symbol, std::string_view date);

std::optional<std::string> saveDividend(Database& db, const CashDividend& dividend, SameDate sameDate);
std::optional<std::string> changeDividend(Database& db, const CashDividend& shown, const CashDividend& dividend);
std::optional<std::string> removeDividend(Database& db, std::string_view symbol, std::string_view date);

}  // namespace ledger
