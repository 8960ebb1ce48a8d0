#pragma once
// A field value as the ledger stores it: Null, a whole number, a real
// number or text. Dates are text in YYYY-MM-DD form.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace ledger {

using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

inline bool isNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

// Text of a value: numbers as formatNumber shows them; text as it is.
// Null has no text (nullopt).
std::optional<std::string> toText(const Value& v);

// Same, with Null shown as the empty text.
std::string toDisplayText(const Value& v);

// A stored number as the program shows it, whatever the locale: the
// shortest text that reads back to the same double, '.' as the point, no
// thousands separators, no trailing zeros. Plain from 0.000001 up to below
// 10^15 ("1234567.123456789", "0.000001"), otherwise with an exponent of at
// least two digits ("1E+20", "1.5E-07", "1E-320"). -0 shows as "0";
// infinities (another program can store one) as "INF" and "-INF".
std::string formatNumber(double d);

// Where the plain form ends: the exponent of the leading digit lies in
// [kPlainFromExponent, kPlainToExponent].
inline constexpr long kPlainFromExponent = -6;
inline constexpr long kPlainToExponent = 14;

// Lays out significant digits (no leading or trailing zeros, not empty)
// whose leading digit stands for 10^lead, the way formatNumber does.
std::string layoutNumber(bool negative, std::string_view digits, long lead);

// Parses a number typed by a user or read from a file, whatever the
// locale: optional sign, digits with an optional '.' fraction, optional
// exponent; blanks around it are allowed. Returns nullopt for anything
// else ("12,5", letters, two dots, empty, inf, nan) and for numbers a
// double cannot hold (1e999, 1e-999): nothing is cut short or rounded to 0.
std::optional<double> parseNumber(std::string_view text);

// Parses a whole number; nullopt when the text is not one or does not fit.
std::optional<std::int64_t> parseInteger(std::string_view text);

// True when text is a real calendar date written YYYY-MM-DD (years 1 to 9999).
bool isIsoDate(std::string_view text);

// Reads a date typed as YYYY-MM-DD or, as the old engine accepted in
// statements, M/D/YYYY. Returns the ISO text, or nullopt.
std::optional<std::string> normalizeDate(std::string_view text);

}  // namespace ledger
