// The forms a cell of a broker's file takes: amounts, dates and buy/sell
// words.
#include <gtest/gtest.h>

#include <cmath>

#include "transfer/import_values.h"

namespace ledger {
namespace {

struct AmountCase {
  const char* cell;
  bool decimalComma;
  std::optional<double> expected;
};

class AmountTest : public ::testing::TestWithParam<AmountCase> {};

TEST_P(AmountTest, Reads) {
  const AmountCase& c = GetParam();
  const std::optional<double> read = readAmount(c.cell, c.decimalComma);
  ASSERT_EQ(read.has_value(), c.expected.has_value()) << c.cell;
  if (read) {
    EXPECT_EQ(*read, *c.expected) << c.cell;
    EXPECT_FALSE(std::signbit(*read) && *read == 0) << "negative zero from " << c.cell;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, AmountTest,
    ::testing::Values(
        AmountCase{"1259.59", false, 1259.59}, AmountCase{"$1,259.59", false, 1259.59},
        AmountCase{" $ 1,259.59 ", false, 1259.59}, AmountCase{"-$1,729.95", false, -1729.95},
        AmountCase{"$-1,729.95", false, -1729.95}, AmountCase{"(12.50)", false, -12.5},
        AmountCase{"($1.00)", false, -1}, AmountCase{"12.50-", false, -12.5}, AmountCase{"+3", false, 3},
        AmountCase{"USD 12.5", false, 12.5}, AmountCase{"12.5 USD", false, 12.5},
        AmountCase{"\xC2\xA3" "7", false, 7}, AmountCase{"1,234,567.891", false, 1234567.891},
        AmountCase{".5", false, 0.5}, AmountCase{"5.", false, 5}, AmountCase{"-0", false, 0},
        AmountCase{"1E+20", false, 1e20}, AmountCase{"1234567.123456789", false, 1234567.123456789},
        AmountCase{"0.1", false, 0.1},
        // A comma that is not a thousands separator is not read as one.
        AmountCase{"1,5", false, std::nullopt}, AmountCase{"1,2345", false, std::nullopt},
        AmountCase{"12,34,567", false, std::nullopt}, AmountCase{"1,234.5,6", false, std::nullopt},
        AmountCase{"1.259,59", false, std::nullopt},
        // Decimal comma.
        AmountCase{"1,5", true, 1.5}, AmountCase{"1.259,59 \xE2\x82\xAC", true, 1259.59},
        AmountCase{"1 259,59", true, 1259.59}, AmountCase{"1\xC2\xA0" "259,59", true, 1259.59},
        AmountCase{"-9,90", true, -9.9}, AmountCase{"1.5", true, std::nullopt},
        AmountCase{"1.259.590", true, 1259590},
        // Not numbers.
        AmountCase{"", false, std::nullopt}, AmountCase{"abc", false, std::nullopt},
        AmountCase{"12abc", false, std::nullopt}, AmountCase{"--1", false, std::nullopt},
        AmountCase{"(-1)", false, std::nullopt}, AmountCase{"$$1", false, std::nullopt},
        AmountCase{"1e400", false, std::nullopt}, AmountCase{"inf", false, std::nullopt},
        AmountCase{"nan", false, std::nullopt}, AmountCase{"1e", false, std::nullopt},
        AmountCase{"1,234e5", false, std::nullopt}, AmountCase{".", false, std::nullopt}));

struct DateCase {
  const char* cell;
  DateFormat format;
  std::optional<std::string> expected;
};

class DateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateTest, Reads) {
  EXPECT_EQ(readDate(GetParam().cell, GetParam().format), GetParam().expected) << GetParam().cell;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, DateTest,
    ::testing::Values(
        DateCase{"2024-03-15", DateFormat::YearMonthDay, "2024-03-15"},
        DateCase{"2024-3-5", DateFormat::YearMonthDay, "2024-03-05"},
        DateCase{"2024-03-15 10:30:00", DateFormat::YearMonthDay, "2024-03-15"},
        DateCase{"2024-03-15T10:30", DateFormat::YearMonthDay, "2024-03-15"},
        DateCase{"03/15/2024", DateFormat::MonthDayYear, "2024-03-15"},
        DateCase{"3/5/2024", DateFormat::MonthDayYear, "2024-03-05"},
        DateCase{"15/03/2024", DateFormat::DayMonthYear, "2024-03-15"},
        DateCase{"15.03.2024", DateFormat::DayMonthYearDot, "2024-03-15"},
        DateCase{"24-03-15", DateFormat::ShortYearMonthDay, "2024-03-15"},
        DateCase{"03/15/68", DateFormat::MonthDayShortYear, "2068-03-15"},
        DateCase{"03/15/69", DateFormat::MonthDayShortYear, "1969-03-15"},
        DateCase{"15/03/00", DateFormat::DayMonthShortYear, "2000-03-15"},
        DateCase{"15.03.99", DateFormat::DayMonthShortYearDot, "1999-03-15"},
        DateCase{"29/02/2024", DateFormat::DayMonthYear, "2024-02-29"},
        DateCase{"0001-01-01", DateFormat::YearMonthDay, "0001-01-01"},
        DateCase{"9999-12-31", DateFormat::YearMonthDay, "9999-12-31"},
        // Impossible dates and other shapes.
        DateCase{"29/02/2023", DateFormat::DayMonthYear, std::nullopt},
        DateCase{"02/30/2024", DateFormat::MonthDayYear, std::nullopt},
        DateCase{"1900-02-29", DateFormat::YearMonthDay, std::nullopt},
        DateCase{"15/03/2024", DateFormat::MonthDayYear, std::nullopt},
        DateCase{"03/15/24", DateFormat::MonthDayYear, std::nullopt},
        DateCase{"03/15/2024", DateFormat::MonthDayShortYear, std::nullopt},
        DateCase{"2024/03/15", DateFormat::YearMonthDay, std::nullopt},
        DateCase{"0000-01-01", DateFormat::YearMonthDay, std::nullopt},
        DateCase{"2024-03-15x", DateFormat::YearMonthDay, std::nullopt},
        DateCase{"2024-03-15 noon", DateFormat::YearMonthDay, std::nullopt},
        DateCase{"2024-003-15", DateFormat::YearMonthDay, std::nullopt},
        DateCase{"", DateFormat::YearMonthDay, std::nullopt}));

struct GuessCase {
  const char* name;
  std::vector<std::string> cells;
  std::optional<DateFormat> expected;
};

class DateGuessTest : public ::testing::TestWithParam<GuessCase> {};

TEST_P(DateGuessTest, Guesses) { EXPECT_EQ(guessDateFormat(GetParam().cells), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Columns, DateGuessTest,
    ::testing::Values(GuessCase{"iso", {"2024-03-15", "2024-04-01"}, DateFormat::YearMonthDay},
                      GuessCase{"us_by_one_day_over_12", {"03/04/2024", "03/15/2024"}, DateFormat::MonthDayYear},
                      GuessCase{"european_by_one_day_over_12", {"03/04/2024", "15/03/2024"}, DateFormat::DayMonthYear},
                      GuessCase{"ambiguous", {"03/04/2024", "05/06/2024"}, std::nullopt},
                      GuessCase{"dots", {"15.03.2024"}, DateFormat::DayMonthYearDot},
                      GuessCase{"short_years", {"03/15/24", ""}, DateFormat::MonthDayShortYear},
                      GuessCase{"no_dates", {"Total", ""}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DateFormatNameTest, EveryFormatReadsBackFromItsName) {
  for (const DateFormat f : kDateFormats) EXPECT_EQ(dateFormatFromName(dateFormatName(f)), f);
  EXPECT_EQ(dateFormatFromName("mm/dd/yyyy"), DateFormat::MonthDayYear);
  EXPECT_EQ(dateFormatFromName("YYYY/MM/DD"), std::nullopt);
}

struct SideCase {
  const char* cell;
  std::optional<TradeSide> expected;
};

class SideWordTest : public ::testing::TestWithParam<SideCase> {};

TEST_P(SideWordTest, Reads) { EXPECT_EQ(readSideWord(GetParam().cell), GetParam().expected) << GetParam().cell; }

INSTANTIATE_TEST_SUITE_P(
    Words, SideWordTest,
    ::testing::Values(SideCase{"Buy", TradeSide::Buy}, SideCase{"BOUGHT", TradeSide::Buy},
                      SideCase{" b ", TradeSide::Buy}, SideCase{"sell", TradeSide::Sell},
                      SideCase{"Sold", TradeSide::Sell}, SideCase{"S", TradeSide::Sell},
                      SideCase{"Buy to cover", std::nullopt}, SideCase{"Dividend", std::nullopt},
                      SideCase{"Kauf", std::nullopt}, SideCase{"", std::nullopt}));

}  // namespace
}  // namespace ledger
