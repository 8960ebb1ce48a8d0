#pragma once
// The blanks around what the user types or a file holds. A symbol typed
// and the same symbol imported must be one company, so names and cells
// also lose the no-break spaces that text copied from web pages and
// spreadsheets carries. Numbers and dates lose spaces and tabs only: a
// number with a no-break space beside it stays no number.

#include <string_view>

namespace ledger {

inline constexpr std::string_view kNoBreakSpace = "\xC2\xA0";
inline constexpr std::string_view kNarrowNoBreakSpace = "\xE2\x80\xAF";

enum class Blanks {
  SpacesAndTabs,      // what parseNumber, parseInteger and normalizeDate allow
  AlsoNoBreakSpaces,  // names, symbols and import cells
};

// text without blanks of the given kind at either end.
std::string_view trimBlanks(std::string_view text, Blanks kind = Blanks::AlsoNoBreakSpaces);

}  // namespace ledger
