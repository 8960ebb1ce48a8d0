#include "transfer/import_values.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>

#include "engine/value.h"
#include "engine/blanks.h"

namespace ledger {

namespace {

struct FormatInfo {
  DateFormat format;
  const char* name;
  char separator;
  // Positions of day, month and year among the three parts.
  int day, month, year;
  bool shortYear;
};

constexpr FormatInfo kFormatInfo[] = {
    {DateFormat::YearMonthDay, "YYYY-MM-DD", '-', 2, 1, 0, false},
    {DateFormat::MonthDayYear, "MM/DD/YYYY", '/', 1, 0, 2, false},
    {DateFormat::DayMonthYear, "DD/MM/YYYY", '/', 0, 1, 2, false},
    {DateFormat::DayMonthYearDot, "DD.MM.YYYY", '.', 0, 1, 2, false},
    {DateFormat::ShortYearMonthDay, "YY-MM-DD", '-', 2, 1, 0, true},
    {DateFormat::MonthDayShortYear, "MM/DD/YY", '/', 1, 0, 2, true},
    {DateFormat::DayMonthShortYear, "DD/MM/YY", '/', 0, 1, 2, true},
    {DateFormat::DayMonthShortYearDot, "DD.MM.YY", '.', 0, 1, 2, true},
};

const FormatInfo& infoOf(DateFormat format) {
  return *std::find_if(std::begin(kFormatInfo), std::end(kFormatInfo),
                       [format](const FormatInfo& i) { return i.format == format; });
}

bool allDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int toInt(std::string_view digits) {
  int v = 0;
  for (const char c : digits) v = v * 10 + (c - '0');
  return v;
}

// Currency signs that may stand before or after an amount.
constexpr std::string_view kCurrencySigns[] = {"$", "\xE2\x82\xAC" /* euro */, "\xC2\xA3" /* pound */,
                                               "\xC2\xA5" /* yen */, "\xE2\x82\xB9" /* rupee */};

bool isUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }

// Removes one currency sign or three-letter code ("USD") from the front;
// true when one was there.
bool stripLeadingCurrency(std::string_view& s) {
  for (const std::string_view sign : kCurrencySigns)
    if (s.starts_with(sign)) {
      s.remove_prefix(sign.size());
      return true;
    }
  if (s.size() > 3 && isUpperLetter(s[0]) && isUpperLetter(s[1]) && isUpperLetter(s[2]) && !isUpperLetter(s[3])) {
    s.remove_prefix(3);
    return true;
  }
  return false;
}

bool stripTrailingCurrency(std::string_view& s) {
  for (const std::string_view sign : kCurrencySigns)
    if (s.ends_with(sign)) {
      s.remove_suffix(sign.size());
      return true;
    }
  const std::size_t n = s.size();
  if (n > 3 && isUpperLetter(s[n - 1]) && isUpperLetter(s[n - 2]) && isUpperLetter(s[n - 3]) &&
      !isUpperLetter(s[n - 4])) {
    s.remove_suffix(3);
    return true;
  }
  return false;
}

// The thousands separator at the front of s, if any: its length, else 0.
std::size_t groupSeparatorAt(std::string_view s, bool decimalComma) {
  if (s.empty()) return 0;
  if (s[0] == (decimalComma ? '.' : ',') || s[0] == ' ' || s[0] == '\'') return 1;
  if (s.starts_with(kNoBreakSpace)) return kNoBreakSpace.size();
  if (s.starts_with(kNarrowNoBreakSpace)) return kNarrowNoBreakSpace.size();
  return 0;
}

// Digits with optional grouping, point and exponent, into plain "1234.5e6"
// text for from_chars; nullopt when the grouping or the shape is wrong.
std::optional<std::string> plainDigits(std::string_view s, bool decimalComma) {
  std::string out;
  const char point = decimalComma ? ',' : '.';
  std::size_t i = 0;
  // Integer part, in groups.
  std::string firstSeparator;
  std::size_t groupLength = 0;
  bool grouped = false;
  while (i < s.size()) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      out += c;
      ++groupLength;
      ++i;
      continue;
    }
    const std::size_t sep = groupSeparatorAt(s.substr(i), decimalComma);
    if (sep == 0) break;
    const std::string_view separator = s.substr(i, sep);
    if (groupLength == 0 || (grouped && groupLength != 3) || (!grouped && groupLength > 3)) return std::nullopt;
    if (grouped && separator != firstSeparator) return std::nullopt;
    firstSeparator = std::string(separator);
    grouped = true;
    groupLength = 0;
    i += sep;
  }
  if (grouped && groupLength != 3) return std::nullopt;
  const bool integerDigits = !out.empty();
  bool fractionDigits = false;
  if (i < s.size() && s[i] == point) {
    out += '.';
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      out += s[i++];
      fractionDigits = true;
    }
  }
  if (!integerDigits && !fractionDigits) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E') && !grouped) {
    out += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) out += s[i++];
    if (i >= s.size() || !(s[i] >= '0' && s[i] <= '9')) return std::nullopt;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') out += s[i++];
  }
  if (i != s.size()) return std::nullopt;
  return out;
}

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

}  // namespace

const char* dateFormatName(DateFormat format) { return infoOf(format).name; }

std::optional<DateFormat> dateFormatFromName(std::string_view name) {
  const std::string wanted = lowerAscii(trimBlanks(name));
  for (const FormatInfo& i : kFormatInfo)
    if (lowerAscii(i.name) == wanted) return i.format;
  return std::nullopt;
}

std::optional<std::string> readDate(std::string_view cell, DateFormat format) {
  const FormatInfo& info = infoOf(format);
  std::string_view s = trimBlanks(cell);
  // A time after the date is ignored: "2024-03-15 10:30", "2024-03-15T10:30".
  if (const std::size_t cut = s.find_first_of(" T"); cut != std::string_view::npos) {
    const std::string_view rest = trimBlanks(s.substr(cut + 1));
    if (rest.empty() || !(rest[0] >= '0' && rest[0] <= '9')) return std::nullopt;
    s = s.substr(0, cut);
  }
  std::array<std::string_view, 3> parts;
  for (int p = 0; p < 3; ++p) {
    const std::size_t sep = p < 2 ? s.find(info.separator) : s.size();
    if (sep == std::string_view::npos) return std::nullopt;
    parts[p] = s.substr(0, sep);
    s = p < 2 ? s.substr(sep + 1) : std::string_view();
  }
  for (const std::string_view part : parts)
    if (!allDigits(part)) return std::nullopt;
  const std::string_view dayText = parts[info.day], monthText = parts[info.month], yearText = parts[info.year];
  if (dayText.size() > 2 || monthText.size() > 2) return std::nullopt;
  if (yearText.size() != (info.shortYear ? 2u : 4u)) return std::nullopt;
  int year = toInt(yearText);
  if (info.shortYear) year += year <= 68 ? 2000 : 1900;
  const int month = toInt(monthText), day = toInt(dayText);
  std::string text = "0000-00-00";
  auto put = [&text](std::size_t at, int value, int digits) {
    for (int k = digits - 1; k >= 0; --k, value /= 10) text[at + static_cast<std::size_t>(k)] = static_cast<char>('0' + value % 10);
  };
  put(0, year, 4);
  put(5, month, 2);
  put(8, day, 2);
  // The engine's test of a calendar date, the same as every other date meets.
  if (!isIsoDate(text)) return std::nullopt;
  return text;
}

std::optional<DateFormat> guessDateFormat(std::span<const std::string> cells) {
  const std::vector<DateFormat> likeliest = likeliestDateFormats(cells);
  if (likeliest.size() != 1) return std::nullopt;
  return likeliest.front();
}

std::vector<DateFormat> likeliestDateFormats(std::span<const std::string> cells) {
  std::vector<DateFormat> best;
  std::size_t bestCount = 0;
  for (const FormatInfo& info : kFormatInfo) {
    const auto count = static_cast<std::size_t>(std::count_if(
        cells.begin(), cells.end(), [&](const std::string& c) { return readDate(c, info.format).has_value(); }));
    if (count == 0 || count < bestCount) continue;
    if (count > bestCount) best.clear();
    bestCount = count;
    best.push_back(info.format);
  }
  return best;
}

std::optional<double> readAmount(std::string_view cell, bool decimalComma) {
  std::string_view s = trimBlanks(cell);
  bool negative = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    negative = true;
    s = trimBlanks(s.substr(1, s.size() - 2));
  }
  // At most one sign and one currency, before or after the digits, in any
  // order: "-$12", "$-12", "12 $-", "USD 12".
  bool signSeen = negative, currencySeen = false;
  for (bool changed = true; changed;) {
    changed = false;
    if (!signSeen && !s.empty() && (s.front() == '-' || s.front() == '+')) {
      negative = s.front() == '-';
      signSeen = changed = true;
      s.remove_prefix(1);
    }
    if (!signSeen && !s.empty() && s.back() == '-') {
      negative = signSeen = changed = true;
      s.remove_suffix(1);
    }
    if (!currencySeen && (stripLeadingCurrency(s) || stripTrailingCurrency(s))) currencySeen = changed = true;
    s = trimBlanks(s);
  }
  const std::optional<std::string> digits = plainDigits(s, decimalComma);
  if (!digits) return std::nullopt;
  double value = 0;
  const char* first = digits->data();
  const char* last = first + digits->size();
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || !std::isfinite(value)) return std::nullopt;
  if (value == 0) return 0.0;  // never -0
  return negative ? -value : value;
}

std::optional<TradeSide> readSideWord(std::string_view cell) {
  const std::string word = lowerAscii(trimBlanks(cell));
  if (word == "buy" || word == "bought" || word == "b") return TradeSide::Buy;
  if (word == "sell" || word == "sold" || word == "s") return TradeSide::Sell;
  return std::nullopt;
}

bool isDividendWord(std::string_view cell) {
  const std::string words = lowerAscii(trimBlanks(cell));
  if (words == "div") return true;
  return words.find("dividend") != std::string::npos && words.find("reinvest") == std::string::npos;
}

}  // namespace ledger
