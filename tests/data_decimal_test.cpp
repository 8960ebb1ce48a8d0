// Exact decimals: reading, arithmetic, rounding and the texts they give.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "figures/decimal.h"

namespace ledger {
namespace {

Decimal dec(const char* text) {
  auto d = Decimal::parse(text);
  EXPECT_TRUE(d.has_value()) << text;
  return d.value_or(Decimal());
}

TEST(DecimalParse, AcceptsPlainAndExponentTextOnly) {
  const struct {
    const char* text;
    const char* plain;  // nullptr: refused
  } cases[] = {
      {"-12.50", "-12.5"},
      {"1E+20", "100000000000000000000"},
      {"1e-7", "0.0000001"},
      {"+3", "3"},
      {".5", "0.5"},
      {"5.", "5"},
      {"000123.4500", "123.45"},
      {"-0", "0"},
      {"123456789012345678901234567890123456789012345", "123456789012345678901234567890123456789012345"},
      {"0.000000000000000000000000000000000000000001", "0.000000000000000000000000000000000000000001"},
      {"12,5", nullptr},
      {"1 000", nullptr},
      {" 1", nullptr},
      {"1 ", nullptr},
      {"", nullptr},
      {"-", nullptr},
      {".", nullptr},
      {"1e", nullptr},
      {"1e+", nullptr},
      {"0x10", nullptr},
      {"inf", nullptr},
      {"nan", nullptr},
      {"1.2.3", nullptr},
      {"--1", nullptr},
      {"1e10000", nullptr},
      {"1e-10000", nullptr},
  };
  for (const auto& c : cases) {
    const auto d = Decimal::parse(c.text);
    if (!c.plain) {
      EXPECT_FALSE(d.has_value()) << c.text;
    } else {
      ASSERT_TRUE(d.has_value()) << c.text;
      EXPECT_EQ(d->toPlainString(), c.plain) << c.text;
    }
  }
}

TEST(DecimalFromDouble, TakesTheShortestTextThatReadsBack) {
  const struct {
    double d;
    const char* plain;
  } cases[] = {
      {0.1, "0.1"},
      {0.1 * 3, "0.30000000000000004"},
      {1234567.123456789, "1234567.123456789"},
      {123456789.12345679, "123456789.12345679"},
      {12345678901234567.0, "12345678901234568"},
      {1e20, "100000000000000000000"},
      {-2.5e-9, "-0.0000000025"},
      {-0.0, "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Decimal::fromDouble(c.d).toPlainString(), c.plain) << c.plain;
  const Decimal tiny = Decimal::fromDouble(5e-324);
  EXPECT_EQ(tiny.toDisplayString(), "5E-324");
  EXPECT_EQ(tiny.toDouble(), 5e-324);
  EXPECT_EQ(Decimal::fromDouble(std::numeric_limits<double>::max()).toDouble(),
            std::numeric_limits<double>::max());
}

// fromDouble takes a short cut for values of few decimals; it must give
// what the shortest text gives, for any double.
TEST(DecimalFromDouble, AgreesWithTheShortestTextForManyDoubles) {
  std::mt19937_64 rng(7);
  std::uniform_int_distribution<std::int64_t> whole(-999'999'999'999'999, 999'999'999'999'999);
  std::uniform_int_distribution<int> places(0, 12);
  const double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
  for (int i = 0; i < 200000; ++i) {
    double d;
    if (i % 2 == 0) {
      d = static_cast<double>(whole(rng) >> (i % 40)) / kPowers[places(rng)];  // typed decimals
    } else {
      const std::uint64_t bits = rng();
      std::memcpy(&d, &bits, sizeof d);  // any double at all
      if (!std::isfinite(d)) continue;
    }
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, d).ptr;
    const auto expected = Decimal::parse(std::string_view(text, static_cast<size_t>(end - text)));
    ASSERT_TRUE(expected.has_value()) << text;
    ASSERT_EQ(Decimal::fromDouble(d), *expected) << text;
    ASSERT_EQ(Decimal::fromDouble(d).toDouble(), d) << text;
  }
}

TEST(DecimalArithmetic, ExactResults) {
  const struct {
    const char* a;
    char op;
    const char* b;
    const char* result;
  } cases[] = {
      {"0.1", '+', "0.2", "0.3"},
      {"12553871438.8", '+', "0.04", "12553871438.84"},
      {"99999999999999999999999999999999999999", '+', "1", "100000000000000000000000000000000000000"},
      {"-99999999999999999999999999999999999999", '-', "1", "-100000000000000000000000000000000000000"},
      // Past 2^127 - 1, and onto -2^127, which has no negation in 128 bits: both leave the word pair.
      {"170141183460469231731687303715884105727", '+', "1", "170141183460469231731687303715884105728"},
      {"-170141183460469231731687303715884105727", '-', "1", "-170141183460469231731687303715884105728"},
      {"1E+20", '*', "1E+20", "10000000000000000000000000000000000000000"},
      {"1234567.123456789", '*', "99.75", "123148070.56481470275"},
      {"3", '*', "0.1", "0.3"},
      {"0.3", '-', "0.1", "0.2"},
      {"5", '-', "7.25", "-2.25"},
      {"-1.5", '*', "-2", "3"},
      {"0", '*', "-5", "0"},
  };
  for (const auto& c : cases) {
    const Decimal a = dec(c.a), b = dec(c.b);
    const Decimal r = c.op == '+' ? a + b : c.op == '-' ? a - b : a * b;
    EXPECT_EQ(r.toPlainString(), c.result) << c.a << c.op << c.b;
  }
  // Far apart: 1e300 + 1e-300 keeps both ends.
  const Decimal wide = dec("1e300") + dec("1e-300");
  EXPECT_EQ(wide.toPlainString(), "1" + std::string(300, '0') + "." + std::string(299, '0') + "1");
  EXPECT_EQ(wide - dec("1e300"), dec("1e-300"));

  Decimal acc = dec("99999999999999999999999999999999999999");
  acc += dec("1");
  acc -= dec("1");
  EXPECT_EQ(acc, dec("99999999999999999999999999999999999999"));  // back from the big form
  EXPECT_EQ(-dec("2.5"), dec("-2.5"));
}

TEST(DecimalRounding, HalfEvenTable) {
  const struct {
    const char* value;
    int decimals;
    const char* result;
  } cases[] = {
      {"2.345", 2, "2.34"},   {"2.355", 2, "2.36"},   {"2.3451", 2, "2.35"}, {"-2.345", 2, "-2.34"},
      {"-2.355", 2, "-2.36"}, {"0.5", 0, "0"},        {"1.5", 0, "2"},       {"2.5", 0, "2"},
      {"-0.5", 0, "0"},       {"1250", -2, "1200"},   {"1350", -2, "1400"},  {"7", 2, "7"},
      {"0.004", 2, "0"},      {"1e-50", 2, "0"},      {"-0.005", 2, "0"},    {"-0.0051", 2, "-0.01"},
      {"123456789012345678901234567890123456789012.5", 0, "123456789012345678901234567890123456789012"},
      {"123456789012345678901234567890123456789013.5", 0, "123456789012345678901234567890123456789014"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(dec(c.value).rounded(c.decimals).toPlainString(), c.result) << c.value << " @" << c.decimals;
}

TEST(DecimalDivision, RoundsHalfEvenToThePlacesAsked) {
  const struct {
    const char* a;
    const char* b;
    int decimals;
    const char* result;
  } cases[] = {
      {"1", "3", 2, "0.33"},          {"2", "3", 2, "0.67"},
      {"-2", "3", 2, "-0.67"},        {"2", "-3", 4, "-0.6667"},
      {"1", "8", 2, "0.12"},          {"3", "8", 2, "0.38"},
      {"-49951392.68", "12553871438.84", 6, "-0.003979"},
      {"1e30", "1e-30", -58, "1000000000000000000000000000000000000000000000000000000000000"},
      {"10", "4", 0, "2"},            {"14", "4", 0, "4"},
      {"9223372036854775807", "2", 0, "4611686018427387904"},  // the largest word, halved and rounded to even
      {"1", "7", 40, "0.1428571428571428571428571428571428571429"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(dec(c.a).dividedBy(dec(c.b), c.decimals).toPlainString(), c.result) << c.a << "/" << c.b;
}

TEST(DecimalCompare, ByValueWhateverTheScale) {
  EXPECT_EQ(dec("1.50"), dec("1.5"));
  EXPECT_EQ(dec("100"), dec("1E+2"));
  EXPECT_LT(dec("-1e40"), dec("-1"));
  EXPECT_LT(dec("0.1"), dec("0.10000000000000000000000000000000000000000001"));
  EXPECT_GT(dec("2"), dec("1.99999"));
  EXPECT_EQ(dec("0"), Decimal());
  EXPECT_EQ(dec("-3").sign(), -1);
  EXPECT_TRUE(dec("0.000").isZero());
}

TEST(DecimalText, DisplayFixedAndDouble) {
  const struct {
    const char* value;
    const char* display;
    const char* fixed2;
  } cases[] = {
      {"100", "100", "100.00"},
      {"-49951392.68", "-49951392.68", "-49951392.68"},
      {"0.000001", "0.000001", "0.00"},
      {"0.0000001", "1E-07", "0.00"},
      {"999999999999999", "999999999999999", "999999999999999.00"},
      {"1000000000000000", "1E+15", "1000000000000000.00"},
      {"1.5e20", "1.5E+20", "150000000000000000000.00"},
      {"-1.25e-320", "-1.25E-320", "0.00"},
      {"12.345", "12.345", "12.34"},
      {"-0.398", "-0.398", "-0.40"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dec(c.value).toDisplayString(), c.display) << c.value;
    EXPECT_EQ(dec(c.value).toFixedString(2), c.fixed2) << c.value;
  }
  EXPECT_EQ(dec("2.5").toFixedString(0), "2");
  EXPECT_EQ(dec("0.1").toDouble(), 0.1);
  EXPECT_EQ(dec("1e400").toDouble(), std::numeric_limits<double>::infinity());
  EXPECT_EQ(dec("-1e-400").toDouble(), 0.0);
  EXPECT_EQ(dec("123456789012345678901234567890").toDouble(), 1.2345678901234568e29);
  EXPECT_EQ(dec("12553871438.84").coefficientString(), "1255387143884");
}

// Sums of generated amounts against the same sums in whole cents.
TEST(DecimalSum, ThousandsOfAmountsAgreeWithIntegerCents) {
  std::mt19937_64 rng(13);
  std::uniform_int_distribution<std::int64_t> cents(-99'999'999'99, 99'999'999'99);
  Decimal sum;
  std::int64_t exact = 0;
  double binary = 0;
  for (int i = 0; i < 5000; ++i) {
    const std::int64_t c = cents(rng);
    exact += c;
    const double d = static_cast<double>(c) / 100.0;  // what the ledger stores
    binary += d;
    sum += Decimal::fromDouble(d);
  }
  EXPECT_EQ(sum, Decimal::fromInt(exact).dividedBy(Decimal::fromInt(100), 2));
  EXPECT_EQ(sum.rounded(2), sum);  // no digits beyond the cents appear
  // The binary sum is the one that drifts.
  EXPECT_NE(Decimal::fromDouble(binary), sum);
}

}  // namespace
}  // namespace ledger
