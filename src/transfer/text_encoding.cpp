#include "transfer/text_encoding.h"

#include <array>

namespace ledger {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

constexpr const char* kNotUtf16 =
    "The file says it is UTF-16 text but breaks the rules of that encoding, so its text cannot be read.";
constexpr const char* kNotUtf8 =
    "The file says it is UTF-8 text but holds bytes that are not UTF-8, so its text cannot be read.";
constexpr const char* kNulCharacters =
    "The file's text encoding cannot be read: it holds NUL characters, as UTF-16 without a byte-order mark "
    "or a file that is not text does. Save it as UTF-8 (or UTF-16 with a byte-order mark) and try again.";

// UTF-16 after its mark as UTF-8, or nullopt when it breaks the rules.
std::optional<std::string> utf8FromUtf16(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2) return std::nullopt;
  auto unit = [&](std::size_t at) -> char16_t {
    const auto a = static_cast<unsigned char>(bytes[at]), b = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
  };
  std::string out;
  out.reserve(bytes.size() / 2 + bytes.size() / 8);
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const char16_t u = unit(i);
    if (u >= 0xDC00 && u <= 0xDFFF) return std::nullopt;
    if (u < 0xD800 || u > 0xDBFF) {
      appendUtf8(out, u);
      continue;
    }
    if (i + 2 >= bytes.size()) return std::nullopt;
    const char16_t low = unit(i + 2);
    if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
    appendUtf8(out, 0x10000 + ((char32_t{u} - 0xD800) << 10) + (low - 0xDC00));
    i += 2;
  }
  return out;
}

}  // namespace

char32_t windows1252CodePoint(unsigned char byte) {
  // 0x80 to 0x9F: where code page 1252 differs from Latin-1.
  static constexpr std::array<char16_t, 32> kHigh = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,  // 88-8F
      0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,  // 98-9F
  };
  return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : byte;
}

std::string utf8FromWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char ch : text) appendUtf8(out, windows1252CodePoint(static_cast<unsigned char>(ch)));
  return out;
}

DecodedText decodeTextFile(std::string_view bytes) {
  DecodedText decoded;
  if (bytes.starts_with(kUtf16LeMark) || bytes.starts_with(kUtf16BeMark)) {
    std::optional<std::string> utf8 = utf8FromUtf16(bytes.substr(2), bytes.starts_with(kUtf16BeMark));
    if (!utf8) {
      decoded.unreadable = kNotUtf16;
      return decoded;
    }
    decoded.utf8 = std::move(*utf8);
    decoded.encoding = TextEncoding::Utf16;
  } else {
    const bool marked = bytes.starts_with(kUtf8Mark);
    if (marked) bytes.remove_prefix(kUtf8Mark.size());
    if (isUtf8(bytes)) {
      decoded.utf8 = std::string(bytes);
    } else if (marked) {
      decoded.unreadable = kNotUtf8;
      return decoded;
    } else {
      decoded.utf8 = utf8FromWindows1252(bytes);
      decoded.encoding = TextEncoding::Windows1252;
    }
  }
  if (decoded.utf8.find('\0') != std::string::npos) {
    decoded.utf8.clear();
    decoded.unreadable = kNulCharacters;
  }
  return decoded;
}

}  // namespace ledger
