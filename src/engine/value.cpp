#include "engine/value.h"

#include "engine/blanks.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>


namespace ledger {

namespace {

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

int toInt(std::string_view s) {
  int v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

// A real day of the Gregorian calendar, years 1 to 9999.
bool validDay(int y, int m, int d) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31) return false;
  return std::chrono::year_month_day{std::chrono::year{y}, std::chrono::month{static_cast<unsigned>(m)},
                                     std::chrono::day{static_cast<unsigned>(d)}}
      .ok();
}

std::string isoText(int y, int m, int d) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  return buf;
}

}  // namespace

std::string layoutNumber(bool negative, std::string_view digits, long lead) {
  std::string out = negative ? "-" : "";
  const long count = static_cast<long>(digits.size());
  if (lead >= kPlainFromExponent && lead <= kPlainToExponent) {
    if (lead < 0) {
      out += "0.";
      out.append(static_cast<size_t>(-lead - 1), '0');
      out += digits;
    } else if (count <= lead + 1) {
      out += digits;
      out.append(static_cast<size_t>(lead + 1 - count), '0');
    } else {
      out += digits.substr(0, static_cast<size_t>(lead + 1));
      out += '.';
      out += digits.substr(static_cast<size_t>(lead + 1));
    }
    return out;
  }
  out += digits.front();
  if (count > 1) {
    out += '.';
    out += digits.substr(1);
  }
  out += lead < 0 ? "E-" : "E+";
  const std::string exponent = std::to_string(lead < 0 ? -lead : lead);
  if (exponent.size() < 2) out += '0';
  out += exponent;
  return out;
}

std::string formatNumber(double d) {
  if (d == 0) return "0";  // also folds -0
  if (std::isnan(d)) return "NAN";
  if (std::isinf(d)) return d < 0 ? "-INF" : "INF";
  // The shortest digits that read back to d, in scientific form: "-1.2345e+06".
  char buf[64];
  const auto end = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific).ptr;
  std::string_view text(buf, static_cast<size_t>(end - buf));
  const bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  const size_t e = text.find('e');
  std::string digits;
  digits.reserve(e);
  for (char c : text.substr(0, e))
    if (c != '.') digits += c;
  return layoutNumber(negative, digits, std::stol(std::string(text.substr(e + 1))));
}

std::optional<std::string> toText(const Value& v) {
  if (std::holds_alternative<std::int64_t>(v)) return std::to_string(std::get<std::int64_t>(v));
  if (std::holds_alternative<double>(v)) return formatNumber(std::get<double>(v));
  if (std::holds_alternative<std::string>(v)) return std::get<std::string>(v);
  return std::nullopt;
}

std::string toDisplayText(const Value& v) { return toText(v).value_or(std::string()); }

std::optional<double> parseNumber(std::string_view text) {
  std::string_view s = trimBlanks(text, Blanks::SpacesAndTabs);
  if (s.empty()) return std::nullopt;
  // Accept only the plain decimal grammar; from_chars alone would also take
  // "inf" and "nan".
  size_t i = 0;
  if (s[i] == '+' || s[i] == '-') ++i;
  size_t digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;
  // from_chars reads the same grammar the same way whatever the locale;
  // it takes no '+'.
  if (s.front() == '+') s.remove_prefix(1);
  double d = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
  // Out of range either way: too large for a double, or so small that it
  // would read as 0.
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(d)) return std::nullopt;
  return d;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
  std::string_view s = trimBlanks(text, Blanks::SpacesAndTabs);
  // from_chars reads no '+' but does read a '-': "+-5" must not get through.
  if (!s.empty() && s.front() == '+') {
    s.remove_prefix(1);
    if (!s.empty() && s.front() == '-') return std::nullopt;
  }
  std::int64_t v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

bool isIsoDate(std::string_view s) {
  if (s.size() != 10 || s[4] != '-' || s[7] != '-') return false;
  const auto y = s.substr(0, 4), m = s.substr(5, 2), d = s.substr(8, 2);
  if (!allDigits(y) || !allDigits(m) || !allDigits(d)) return false;
  return validDay(toInt(y), toInt(m), toInt(d));
}

std::optional<std::string> normalizeDate(std::string_view text) {
  std::string_view s = trimBlanks(text, Blanks::SpacesAndTabs);
  if (isIsoDate(s)) return std::string(s);
  // M/D/YYYY
  const size_t a = s.find('/');
  const size_t b = a == std::string_view::npos ? a : s.find('/', a + 1);
  if (b == std::string_view::npos) return std::nullopt;
  const auto m = s.substr(0, a), d = s.substr(a + 1, b - a - 1), y = s.substr(b + 1);
  if (m.size() > 2 || d.size() > 2 || y.size() != 4) return std::nullopt;
  if (!allDigits(m) || !allDigits(d) || !allDigits(y)) return std::nullopt;
  if (!validDay(toInt(y), toInt(m), toInt(d))) return std::nullopt;
  return isoText(toInt(y), toInt(m), toInt(d));
}

}  // namespace ledger
