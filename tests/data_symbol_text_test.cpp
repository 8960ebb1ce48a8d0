// The characters a symbol may not hold: one row per kind.
#include <gtest/gtest.h>

#include "ledger/symbol_text.h"

namespace ledger {
namespace {

struct SymbolCase {
  const char* name;
  std::string symbol;
  std::optional<char32_t> refused;
};

void PrintTo(const SymbolCase& c, std::ostream* os) { *os << c.name; }

class SymbolTextTest : public ::testing::TestWithParam<SymbolCase> {};

TEST_P(SymbolTextTest, FindsTheFirstCharacterNoSymbolMayHold) {
  EXPECT_EQ(unseenSymbolCharacter(GetParam().symbol), GetParam().refused);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, SymbolTextTest,
    ::testing::Values(SymbolCase{"letters_signs_and_accents", "BRK.B Ums\xC3\xA4tze-7203.T &Co \xE6\x97\xA5", {}},
                      SymbolCase{"line_break", "MU\nLTI", U'\n'},
                      SymbolCase{"delete", "A\x7F", U'\x7F'},
                      SymbolCase{"c1_next_line", "A\xC2\x85", U'\x85'},
                      SymbolCase{"zero_width_joiner", "A\xE2\x80\x8D" "B", U'\u200D'},
                      SymbolCase{"word_joiner", "A\xE2\x81\xA0", U'\u2060'},
                      SymbolCase{"byte_order_mark", "\xEF\xBB\xBF" "A", U'\uFEFF'},
                      SymbolCase{"right_to_left_override", "A\xE2\x80\xAE" "B", U'\u202E'},
                      SymbolCase{"first_strong_isolate", "A\xE2\x81\xA8", U'\u2068'},
                      SymbolCase{"not_utf8", "A\xFF", U'\uFFFD'}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledger
