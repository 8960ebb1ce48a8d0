// How values are shown and how typed numbers and dates are read.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/value.h"

namespace ledger {
namespace {

TEST(ValueText, NumbersAsTheShortestTextThatReadsBack) {
  const struct {
    Value v;
    const char* text;
  } cases[] = {
      {100.0, "100"},       {12.5, "12.5"},         {0.1 + 0.2, "0.30000000000000004"},
      {-3.25, "-3.25"},     {1e20, "1E+20"},        {123456789012345.0, "123456789012345"},
      {1e-5, "0.00001"},    {std::int64_t{42}, "42"}, {std::string("AAPL"), "AAPL"},
      {-0.0, "0"},          {2.0 / 3.0, "0.6666666666666666"},
  };
  for (const auto& c : cases) EXPECT_EQ(toDisplayText(c.v), c.text);
  EXPECT_FALSE(toText(Value{}).has_value());
  EXPECT_EQ(toDisplayText(Value{}), "");
}

TEST(ValueParse, TypedNumbers) {
  EXPECT_EQ(parseNumber("12.5"), 12.5);
  EXPECT_EQ(parseNumber(" -3 "), -3.0);
  EXPECT_EQ(parseNumber(".5"), 0.5);
  EXPECT_EQ(parseNumber("1e3"), 1000.0);
  for (const char* bad : {"", " ", "ten", "1,5", "1.2.3", "0x10", "inf", "nan", "1e", "--1", "1e999", "5%"})
    EXPECT_FALSE(parseNumber(bad).has_value()) << bad;
  EXPECT_EQ(parseInteger("32768"), 32768);
  EXPECT_FALSE(parseInteger("1.5").has_value());
  EXPECT_FALSE(parseInteger("99999999999999999999").has_value());
}

TEST(ValueParse, Dates) {
  EXPECT_TRUE(isIsoDate("2024-02-29"));
  for (const char* bad : {"2023-02-29", "2024-13-01", "2024-00-10", "2024-1-5", "24-01-05", "2024/01/05",
                          "0000-01-01", "2024-01-32", ""})
    EXPECT_FALSE(isIsoDate(bad)) << bad;
  EXPECT_EQ(normalizeDate("1/5/2024"), "2024-01-05");
  EXPECT_EQ(normalizeDate("12/31/1999"), "1999-12-31");
  EXPECT_FALSE(normalizeDate("31/12/1999").has_value());
}

}  // namespace
}  // namespace ledger
