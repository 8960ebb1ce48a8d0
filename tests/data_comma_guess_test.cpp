// Reading a comma in numbers such as 1,250: one row per rule of
// guessDecimalComma, with the file's quantities and prices.
#include <gtest/gtest.h>

#include "transfer/comma_guess.h"

namespace ledger {
namespace {

struct CommaCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> quantityAndPrice;
  char delimiter;
  bool ambiguous;
  std::optional<bool> decimalComma;
};

void PrintTo(const CommaCase& c, std::ostream* os) { *os << c.name; }

class CommaGuessTest : public ::testing::TestWithParam<CommaCase> {};

TEST_P(CommaGuessTest, SettlesWhatTheFileSaysAndNothingElse) {
  std::vector<CsvRecord> records = {{"Symbol", "Date", "Side", "Quantity", "Price"}};
  for (const auto& [quantity, price] : GetParam().quantityAndPrice)
    records.push_back({"X", "2024-01-02", "B", quantity, price});
  ImportOptions options;
  options.mapping = guessMapping(records[0]);
  const CommaGuess guess = guessDecimalComma(records, options, GetParam().delimiter);
  EXPECT_EQ(guess.ambiguous, GetParam().ambiguous);
  EXPECT_EQ(guess.decimalComma, GetParam().decimalComma);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CommaGuessTest,
    ::testing::Values(
        // German broker: 1,250 and 4,950 with nothing else; the semicolon decides.
        CommaCase{"german_semicolon_file", {{"10", "1,250"}, {"10", "4,950"}}, ';', true, true},
        // US broker: 1,250.50 says the comma groups thousands, so 1,250 is 1250.
        CommaCase{"us_point_and_comma", {{"1,250", "1,250.50"}, {"2", "12.50"}}, ',', true, false},
        CommaCase{"nothing_else_to_go_on", {{"1,250", "4,950"}}, '\t', true, std::nullopt},
        // One column settles another: 12,5 in the prices is a decimal comma.
        CommaCase{"another_column_settles_it", {{"1,250", "12,5"}}, '\t', true, true},
        CommaCase{"german_grouping_points", {{"1,250", "1.250.000"}}, '\t', true, true},
        CommaCase{"two_commas_group_thousands", {{"1,250", "1,250,000"}}, ';', true, false},
        CommaCase{"a_leading_zero_is_no_group", {{"1,250", "0,125"}}, '\t', true, true},
        // Numbers that say both leave it to the user, even with a semicolon.
        CommaCase{"conflicting_numbers", {{"1,250", "12,5"}, {"1", "1,250.50"}}, ';', true, std::nullopt},
        CommaCase{"nothing_ambiguous", {{"12,5", "1.259,59"}, {"1", "1250"}}, ',', false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledger
