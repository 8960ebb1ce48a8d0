#pragma once
// The years gains are summed by: calendar years, or UK tax years, which
// run from 6 April to 5 April and are written with the start year and the
// last two digits of the next ("2024-25" runs from 2024-04-06 to
// 2025-04-05). A tax year is known by its start year.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ledger {

enum class TaxYears { Calendar, Uk };

// "calendar" and "uk", as the command line spells them.
std::optional<TaxYears> taxYearsFromName(std::string_view name);

// The year a day (YYYYMMDD) counts in.
int taxYearOfDay(std::uint32_t day, TaxYears years);
// The same for an ISO date text. REQUIRES: isIsoDate(date).
int taxYearOfDate(std::string_view date, TaxYears years);

// The day (YYYYMMDD) so many calendar days after day (before it when
// negative): the 30-day windows of the tax rules.
std::uint32_t dayNumberPlus(std::uint32_t day, int days);

// "2024", or "2024-25" for UK tax years.
std::string taxYearLabel(int year, TaxYears years);
// The year a label names: four digits, or under UK tax years YYYY-YY whose
// second part is the year after the first; nullopt otherwise.
std::optional<int> taxYearFromLabel(std::string_view label, TaxYears years);

}  // namespace ledger
