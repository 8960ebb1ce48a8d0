#pragma once
// Adding, replacing, changing and deleting a ledger's closing prices: what
// the Prices window and the command line both call. Each change is one
// undo step. Every function returns nullopt when it is done, or the message
// to show, and then nothing was written.

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "engine/database.h"
#include "figures/prices.h"
#include "ledger/price_writes.h"

namespace ledger {

// The price typed as text, the close with '.' as the point; blanks around
// the symbol and the close dropped, as the trade entry drops them. What the ledger
// refuses (a close of zero, a date that is not a date) is left to the save.
std::variant<ClosePrice, std::string> readPrice(std::string_view symbol, std::string date, std::string_view close);

std::optional<std::string> savePrice(Database& db, const ClosePrice& price, SameDate sameDate);
std::optional<std::string> changePrice(Database& db, const ClosePrice& shown, const ClosePrice& price);
std::optional<std::string> removePrice(Database& db, std::string_view symbol, std::string_view date);

}  // namespace ledger
