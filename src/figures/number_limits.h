#pragma once
// The ranges a trade's numbers must lie in, for the entry form and for
// imported files alike.
//
// Each of quantity, price and commission lies between 0 and 10^12. Then a
// trade's total is below 10^24 + 10^12, and a million trades total below
// 10^31: every figure stays finite even in the ledger's floating-point
// queries that other programs read, and the program's exact figures stay on
// their fast 128-bit path. No share count or price comes near 10^12.

#include <optional>
#include <string>
#include <string_view>

namespace ledger {

enum class TradeNumber { Quantity, Price, Commission };

inline constexpr double kMaxTradeNumber = 1e12;

// The largest value allowed for which (kMaxTradeNumber for each today).
double maxTradeNumber(TradeNumber which);

// nullopt when v is a number the ledger accepts for which; otherwise the
// message to show, for example "The quantity must be a number from 0 to
// 1000000000000.". NaN and infinities are refused.
std::optional<std::string> checkTradeNumber(TradeNumber which, double v);

// The same for text typed or read from a file: it must be a number as
// parseNumber reads it ('.' as the point whatever the locale; "12,5" is
// refused, never cut to 12) within the range. On success the number is
// stored in *value when value is not null.
std::optional<std::string> checkTradeNumberText(TradeNumber which, std::string_view text, double* value = nullptr);

}  // namespace ledger
