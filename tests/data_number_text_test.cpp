// Numbers as text, whatever the locale: what a box shows, and what it
// stores again when it is saved unchanged; and the ranges a trade's numbers
// must lie in.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "figures/number_limits.h"
#include "test_ledger.h"
#include "engine/value.h"
#include "ledger/ledger_open.h"
#include "ledger/ledger_writes.h"

namespace ledger {
namespace {

// Sets a locale for one scope, the way Qt sets the user's at start.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* name) : m_saved(std::setlocale(LC_ALL, nullptr)) {
    m_ok = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~ScopedLocale() { std::setlocale(LC_ALL, m_saved.c_str()); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;
  bool ok() const { return m_ok; }

 private:
  std::string m_saved;
  bool m_ok = false;
};

struct Shown {
  double stored;
  const char* text;
};

const Shown kShown[] = {
    {1234567.123456789, "1234567.123456789"},
    {123456789.12345679, "123456789.12345679"},
    {12345678901234567.0, "1.2345678901234568E+16"},
    {0.1 * 3, "0.30000000000000004"},
    {0.1, "0.1"},
    {100.5, "100.5"},
    {-2.5, "-2.5"},
    {1.0 / 3, "0.3333333333333333"},          // 16 significant digits
    {2.0 / 3, "0.6666666666666666"},
    {123456789012345.6, "123456789012345.6"},  // 16
    {9007199254740993.0, "9.007199254740992E+15"},
    {0.12345678901234568, "0.12345678901234568"},  // 17
    {1e-9, "1E-09"},
    {0.000001, "0.000001"},
    {0.0000012, "0.0000012"},
    {9.9e-7, "9.9E-07"},
    {1e-320, "1E-320"},  // subnormal
    {5e-324, "5E-324"},
    {1e12, "1000000000000"},
    {999999999999999.9, "999999999999999.9"},
    {1e15, "1E+15"},
    {1e20, "1E+20"},
    {1.5e300, "1.5E+300"},
    {std::numeric_limits<double>::max(), "1.7976931348623157E+308"},
    {-0.0, "0"},
};

class NumberTextTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    locale = std::make_unique<ScopedLocale>(GetParam());
    if (!locale->ok()) GTEST_SKIP() << GetParam() << " is not installed here (scripts/setup makes it)";
  }
  void TearDown() override { locale.reset(); }
  std::unique_ptr<ScopedLocale> locale;
};

TEST_P(NumberTextTest, ShownAsTheShortestTextAndReadBackToTheSameDouble) {
  for (const Shown& c : kShown) {
    const std::string text = formatNumber(c.stored);
    EXPECT_EQ(text, c.text);
    const auto back = parseNumber(text);
    ASSERT_TRUE(back.has_value()) << text;
    EXPECT_EQ(*back, c.stored) << text;  // the same double, not a neighbour
  }
  EXPECT_EQ(formatNumber(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(formatNumber(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST_P(NumberTextTest, TextThatIsNotSuchANumberIsRefusedNotCutShort) {
  const struct {
    const char* text;
    std::optional<double> value;
  } cases[] = {
      {"12.5", 12.5}, {" 99.75 ", 99.75}, {"+4.95", 4.95}, {"1E-07", 1e-7},
      {"12,5", std::nullopt}, {"1.000,5", std::nullopt}, {"1 000", std::nullopt}, {"12.5.1", std::nullopt},
      {"1e999", std::nullopt}, {"1e-400", std::nullopt}, {"inf", std::nullopt}, {"0x1p3", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(parseNumber(c.text), c.value) << c.text;
}

// A trade shown in a box and saved unchanged keeps its stored double;
// a number typed with '.' is stored whole.
TEST_P(NumberTextTest, ShownSavedAndReadBackUnchanged) {
  test::TempDir dir;
  const std::string path = dir.file("l.mdb");
  std::vector<test::TradeRow> trades;
  for (const Shown& c : kShown) trades.push_back({1, "AAPL", c.stored, "B", "2024-01-02", 1, 1});
  test::makeLedger(path, trades);
  {
    Database db = openLedger(path);
    for (std::int64_t rowid = 1; rowid <= static_cast<std::int64_t>(std::size(kShown)); ++rowid) {
      const Trade stored = readTrade(db, rowid).value();
      Trade saved = stored;
      // The box's text, read back as Save reads it.
      saved.quantity = parseNumber(formatNumber(stored.quantity)).value();
      saved.price = parseNumber("12.5").value();
      updateTrade(db, rowid, stored, saved);
    }
  }
  const auto rows = test::readAll(path, "SELECT Quantity, Price FROM Trade ORDER BY rowid");
  ASSERT_EQ(rows.size(), std::size(kShown));
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i][0], kShown[i].text);
    EXPECT_EQ(rows[i][1], "12.5");
  }
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberTextTest, ::testing::Values("C", "de_DE.UTF-8"),
                         [](const auto& info) { return std::string(info.param[0] == 'C' ? "C" : "German"); });

// The German locale really does write a comma, so the cases above would
// catch a conversion that follows the locale.
TEST(NumberTextGerman, TheLocaleWritesACommaWhereTheProgramDoesNot) {
  ScopedLocale german("de_DE.UTF-8");
  if (!german.ok()) GTEST_SKIP() << "de_DE.UTF-8 is not installed here (scripts/setup makes it)";
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", 100.5);
  EXPECT_STREQ(buf, "100,5");
  EXPECT_EQ(formatNumber(100.5), "100.5");
}

// ---- limits ------------------------------------------------------------------

TEST(NumberLimits, EachTradeNumberLiesFromZeroToAMillionMillion) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    TradeNumber which;
    double value;
    const char* message;  // nullptr: accepted
  } cases[] = {
      {TradeNumber::Quantity, 0, nullptr},
      {TradeNumber::Quantity, 1e12, nullptr},
      {TradeNumber::Price, 1234567.123456789, nullptr},
      {TradeNumber::Commission, 1e-320, nullptr},
      {TradeNumber::Quantity, std::nextafter(1e12, inf), "The quantity must be a number from 0 to 1000000000000."},
      {TradeNumber::Quantity, 1e300, "The quantity must be a number from 0 to 1000000000000."},
      {TradeNumber::Price, -0.01, "The price must be a number from 0 to 1000000000000."},
      {TradeNumber::Price, inf, "The price must be a number from 0 to 1000000000000."},
      {TradeNumber::Commission, std::nan(""), "The commission must be a number from 0 to 1000000000000."},
  };
  for (const auto& c : cases) {
    const auto message = checkTradeNumber(c.which, c.value);
    if (c.message)
      EXPECT_EQ(message, c.message) << c.value;
    else
      EXPECT_FALSE(message) << c.value << ": " << *message;
  }
}

TEST(NumberLimits, TextIsReadWhateverTheLocaleAndCheckedAgainstTheRange) {
  ScopedLocale german("de_DE.UTF-8");  // where it exists; the C locale otherwise
  const struct {
    const char* text;
    std::optional<double> stored;  // nullopt: refused with the price's message
  } cases[] = {
      {"100.5", 100.5}, {"1000000000000", 1e12}, {"1E+12", 1e12}, {"0", 0.0},
      {"100,5", std::nullopt}, {"1e300", std::nullopt}, {"-1", std::nullopt}, {"", std::nullopt},
      {"1000000000000.0001", std::nullopt},
  };
  for (const auto& c : cases) {
    double value = -1;
    const auto message = checkTradeNumberText(TradeNumber::Price, c.text, &value);
    if (c.stored) {
      EXPECT_FALSE(message) << c.text;
      EXPECT_EQ(value, *c.stored) << c.text;
    } else {
      EXPECT_EQ(message, "The price must be a number from 0 to 1000000000000.") << c.text;
      EXPECT_EQ(value, -1) << c.text;
    }
  }
}

}  // namespace
}  // namespace ledger
