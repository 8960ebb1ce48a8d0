#pragma once
// How the imports compare the names in a file's header row with the names
// they know: without case, blanks or punctuation.

#include <string>
#include <string_view>

namespace ledger {

// The letters and digits of name, in lower case: "Adj. Close" gives "adjclose".
std::string squeezedName(std::string_view name);

// text in lower case (ASCII letters only).
std::string lowerCase(std::string_view text);

}  // namespace ledger
