#pragma once
// Reading the cells of a broker's or a spreadsheet's file: dates in the
// usual orders, amounts with currency signs and thousands separators, and
// buy/sell words.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "figures/trade.h"

namespace ledger {

enum class DateFormat {
  YearMonthDay,     // YYYY-MM-DD
  MonthDayYear,     // MM/DD/YYYY
  DayMonthYear,     // DD/MM/YYYY
  DayMonthYearDot,  // DD.MM.YYYY
  ShortYearMonthDay,     // YY-MM-DD
  MonthDayShortYear,     // MM/DD/YY
  DayMonthShortYear,     // DD/MM/YY
  DayMonthShortYearDot,  // DD.MM.YY
};

// Every format, in the order a list offers them.
inline constexpr DateFormat kDateFormats[] = {
    DateFormat::YearMonthDay,      DateFormat::MonthDayYear,      DateFormat::DayMonthYear,
    DateFormat::DayMonthYearDot,   DateFormat::ShortYearMonthDay, DateFormat::MonthDayShortYear,
    DateFormat::DayMonthShortYear, DateFormat::DayMonthShortYearDot,
};

// "YYYY-MM-DD", "MM/DD/YYYY", ...: the name a user picks or types.
const char* dateFormatName(DateFormat format);
std::optional<DateFormat> dateFormatFromName(std::string_view name);

// The date in cell as YYYY-MM-DD, or nullopt when it is not a real date in
// that format. Day and month may have one digit or two; the year has four
// digits, or exactly two in the short forms (00-68 are 2000-2068, 69-99 are
// 1969-1999). A time after the date ("2024-03-15 10:30") is ignored.
std::optional<std::string> readDate(std::string_view cell, DateFormat format);

// The one format that reads the most of cells, or nullopt when no cell is
// a date or two formats read equally many (03/04/2024 could be either).
std::optional<DateFormat> guessDateFormat(std::span<const std::string> cells);
// Every format that reads the most of cells, in the order of kDateFormats:
// one when the cells settle it, several when they fit each alike, none
// when no cell is a date.
std::vector<DateFormat> likeliestDateFormats(std::span<const std::string> cells);

// An amount as written in such files: "1259.59", "$1,259.59", "-12.5",
// "(12.50)", "12.50-", "1.259,59 €" with decimalComma. Thousands
// separators (',' or '.', blank, no-break space, apostrophe) must stand
// between groups of three digits, so "1,5" is not read as 15 when the
// decimal point is '.'. nullopt for anything else, and for values that do
// not fit a double.
std::optional<double> readAmount(std::string_view cell, bool decimalComma);

// Buy or Sell from "Buy", "Bought", "B", "Sell", "Sold", "S" in any letter
// case; nullopt for any other word.
std::optional<TradeSide> readSideWord(std::string_view cell);

// Whether a side cell says the row pays a dividend ("Dividend", "Cash
// Dividend", "DIVIDEND RECEIVED", "Div"). A dividend reinvestment is a
// purchase, not a payment, and is not one.
bool isDividendWord(std::string_view cell);

}  // namespace ledger
