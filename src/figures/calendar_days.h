#pragma once
// Dates as numbers of days, so that the days between two dates are a
// subtraction and a company's prices can be searched by date.

#include <cstdint>
#include <string>
#include <string_view>

namespace ledger {

// Days since 1970-01-01 (negative before it).
using CalendarDay = std::int32_t;

// REQUIRES: isIsoDate(date) (engine/value.h).
CalendarDay calendarDayOf(std::string_view date);
// The YYYY-MM-DD text of day.
std::string isoDateOf(CalendarDay day);

}  // namespace ledger
