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

// Text the way the old desktop platform shows a value: numbers with at most
// 15 significant digits, no thousands separators and no trailing zeros,
// exponents as "1E+20"; text as it is. Null has no text (nullopt).
std::optional<std::string> toText(const Value& v);

// Same, with Null shown as the empty text.
std::string toDisplayText(const Value& v);

// Formats a double the way toText does.
std::string formatNumber(double d);

// Parses a number typed by a user: optional sign, digits with an optional
// '.' fraction, optional exponent; blanks around it are allowed. Returns
// nullopt for anything else (letters, two dots, empty, inf, nan).
std::optional<double> parseNumber(std::string_view text);

// Parses a whole number; nullopt when the text is not one or does not fit.
std::optional<std::int64_t> parseInteger(std::string_view text);

// True when text is a real calendar date written YYYY-MM-DD (years 1 to 9999).
bool isIsoDate(std::string_view text);

// Reads a date typed as YYYY-MM-DD or, as the old engine accepted in
// statements, M/D/YYYY. Returns the ISO text, or nullopt.
std::optional<std::string> normalizeDate(std::string_view text);

}  // namespace ledger
