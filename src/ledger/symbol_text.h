#pragma once
// Which characters a company's symbol may hold. A symbol is shown in
// lists, titles, menus and reports and compared exactly, so characters
// that move the text about or cannot be seen would make two symbols look
// the same or one look like another.

#include <optional>
#include <string>
#include <string_view>

namespace ledger {

// The first character of symbol that a symbol may not hold: a control
// character (C0, DEL, C1), a line or paragraph separator, or one that
// cannot be seen (soft hyphen, zero-width and joining characters,
// direction marks and controls, invisible operators, the byte-order mark).
// Bytes that are not UTF-8 count as U+FFFD. nullopt when there is none.
std::optional<char32_t> unseenSymbolCharacter(std::string_view symbol);

// "U+000A".
std::string codePointName(char32_t cp);

// What the entry form and Add Company tell the user about such a symbol.
std::string unseenCharacterMessage(char32_t cp);

}  // namespace ledger
