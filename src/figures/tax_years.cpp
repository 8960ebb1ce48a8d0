#include "figures/tax_years.h"

#include <chrono>
#include <cstdio>

namespace ledger {

namespace {

// The number of n digits; nullopt when one is not a digit.
std::optional<int> digits(std::string_view text) {
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// 6 April as MMDD: the first day of a UK tax year.
constexpr std::uint32_t kUkYearStarts = 406;

}  // namespace

std::optional<TaxYears> taxYearsFromName(std::string_view name) {
  if (name == "calendar") return TaxYears::Calendar;
  if (name == "uk") return TaxYears::Uk;
  return std::nullopt;
}

int taxYearOfDay(std::uint32_t day, TaxYears years) {
  const int year = static_cast<int>(day / 10000);
  if (years == TaxYears::Calendar) return year;
  return day % 10000 >= kUkYearStarts ? year : year - 1;
}

int taxYearOfDate(std::string_view date, TaxYears years) {
  const std::uint32_t day = static_cast<std::uint32_t>(*digits(date.substr(0, 4)) * 10000 +
                                                       *digits(date.substr(5, 2)) * 100 + *digits(date.substr(8, 2)));
  return taxYearOfDay(day, years);
}

std::uint32_t dayNumberPlus(std::uint32_t day, int days) {
  using namespace std::chrono;
  const year_month_day from{year{static_cast<int>(day / 10000)}, month{day / 100 % 100}, std::chrono::day{day % 100}};
  const year_month_day to{sys_days{from} + std::chrono::days{days}};
  return static_cast<std::uint32_t>(static_cast<int>(to.year()) * 10000 + static_cast<int>(unsigned(to.month())) * 100 +
                                    static_cast<int>(unsigned(to.day())));
}

std::string taxYearLabel(int year, TaxYears years) {
  char text[16];
  if (years == TaxYears::Calendar)
    std::snprintf(text, sizeof text, "%04d", year);
  else
    std::snprintf(text, sizeof text, "%04d-%02d", year, (year + 1) % 100);
  return text;
}

std::optional<int> taxYearFromLabel(std::string_view label, TaxYears years) {
  const std::size_t size = years == TaxYears::Calendar ? 4 : 7;
  if (label.size() != size) return std::nullopt;
  const std::optional<int> year = digits(label.substr(0, 4));
  if (!year || *year == 0) return std::nullopt;
  if (years == TaxYears::Calendar) return year;
  const std::optional<int> next = digits(label.substr(5, 2));
  // The year 9999-00 would end in a year of five digits.
  if (label[4] != '-' || !next || *next != (*year + 1) % 100 || *year == 9999) return std::nullopt;
  return year;
}

}  // namespace ledger
