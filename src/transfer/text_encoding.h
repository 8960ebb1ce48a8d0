#pragma once
// Text files as they come from brokers, spreadsheets and older programs:
// UTF-8, UTF-16 with a byte-order mark, or the Windows Western European
// code page (1252), all turned into the UTF-8 the program works in.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "ledger/utf8.h"

namespace ledger {

// The character byte stands for in code page 1252; the five bytes the code
// page leaves undefined are U+FFFD.
char32_t windows1252CodePoint(unsigned char byte);

// Text in code page 1252 as UTF-8.
std::string utf8FromWindows1252(std::string_view text);

enum class TextEncoding { Utf8, Utf16, Windows1252 };

struct DecodedText {
  std::string utf8;
  TextEncoding encoding = TextEncoding::Utf8;
  // Why the bytes cannot be read as text, for the user; empty when they can.
  std::string unreadable;
};

// The bytes of a text file as UTF-8, the byte-order mark dropped. With a
// UTF-16 mark (little- or big-endian) the file is UTF-16; with a UTF-8 mark
// or without a mark, UTF-8 when it is well-formed, else code page 1252.
// Unreadable: UTF-16 that breaks its rules (an odd length, a lone
// surrogate), a UTF-8 mark before bytes that are not UTF-8, and any
// NUL character (UTF-16 without a mark, UTF-32 or not text at all).
DecodedText decodeTextFile(std::string_view bytes);

}  // namespace ledger
