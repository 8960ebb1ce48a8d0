#pragma once
// Texts a user could type that would do harm if they reached SQL as
// statement text: quotes, statement fragments, the dialect's own marks,
// LIKE wildcards, control characters, a very long text and text beyond
// ASCII. The tests feed each through every box that reaches the ledger.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_names.h"

namespace ledger::test {

struct HostileText {
  const char* label;  // for test output; the text itself may not print
  std::string text;
};

inline const std::vector<HostileText>& hostileTexts() {
  static const std::vector<HostileText> texts = {
      {"drop table", "'; DROP TABLE Trade; --"},
      {"or true", "\" OR 1=1 --"},
      {"closing bracket", "]"},
      {"opening bracket", "["},
      {"bracketed name", "[Trade]"},
      {"date literal", "#2024-01-01#"},
      {"lone hash", "#"},
      {"percent", "%"},
      {"underscore", "_"},
      {"apostrophe", "O'Brien"},
      {"two apostrophes", "''"},
      {"double quotes", "\"X\""},
      {"parameter marks", "?1 :a @b $c"},
      {"comment marks", "/* -- */"},
      {"delete star", "DELETE * FROM Trade"},
      {"control characters", "a\tb\rc\nd\x01" "e\x1f" "f\x7f"},
      {"long", std::string(10000, 'Z')},
      {"accented", "\xc3\xa9"},                       // é
      {"euro", "\xe2\x82\xac"},                       // €
      {"japanese", "\xe6\x97\xa5\xe6\x9c\xac"},       // 日本
      {"emoji", "\xf0\x9f\x93\x88"},                  // 📈
  };
  return texts;
}

// A test name for each text, for INSTANTIATE_TEST_SUITE_P over its index.
inline std::string hostileTextName(const ::testing::TestParamInfo<size_t>& info) {
  return caseName(hostileTexts()[info.param].label);
}

}  // namespace ledger::test
