#include "ledger/symbol_text.h"

#include <cstdio>

#include "ledger/utf8.h"

namespace ledger {

namespace {

bool mayNotStandInSymbol(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0xAD || c == 0x061C || c == 0x180E ||
         (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F) ||
         c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB);
}

}  // namespace

std::optional<char32_t> unseenSymbolCharacter(std::string_view symbol) {
  for (std::size_t i = 0; i < symbol.size();) {
    const std::optional<char32_t> c = nextCodePoint(symbol, i);
    if (!c) return U'\uFFFD';
    if (mayNotStandInSymbol(*c)) return *c;
  }
  return std::nullopt;
}

std::string codePointName(char32_t cp) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
  return text;
}

std::string unseenCharacterMessage(char32_t cp) {
  return "A symbol cannot hold control characters or characters that cannot be seen; this one holds " +
         codePointName(cp) + ". Please type the symbol again.";
}

}  // namespace ledger
