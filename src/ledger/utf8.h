#pragma once
// UTF-8, the encoding the program works in: reading it a code point at a
// time, checking it, writing it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ledger {

// The code point of the UTF-8 sequence at text[i], moving i past it;
// nullopt (i unchanged) when no well-formed sequence starts there: a stray
// continuation byte, an overlong form, a surrogate, a value past U+10FFFF
// or a sequence cut short.
std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& i);

// True when text is well-formed UTF-8.
bool isUtf8(std::string_view text);

// cp written as UTF-8 at the end of out. REQUIRES: cp is a code point
// (at most U+10FFFF, not a surrogate).
void appendUtf8(std::string& out, char32_t cp);

}  // namespace ledger
