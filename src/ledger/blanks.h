#pragma once
// The blanks around what the user types or a file holds: spaces, tabs and
// the no-break spaces that text copied from web pages and spreadsheets
// carries. A symbol typed and the same symbol imported must be one company.

#include <string_view>

namespace ledger {

inline constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
inline constexpr std::string_view kNarrowNoBreakSpace = "\xE2\x80\xAF";

// text without blanks at either end.
std::string_view trimBlanks(std::string_view text);

}  // namespace ledger
