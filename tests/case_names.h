#pragma once
// Names and printed forms for the cases of parameterised tests. ctest lists
// each case by its name (the build passes NO_PRETTY_VALUES), so names must be
// readable, stable from build to build and valid for GoogleTest: letters,
// digits and underscores only. A failing case prints through the PrintTo
// next to its type, made of the pieces here.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

namespace ledger::test {

// Letters and digits stay; every run of other characters becomes one
// underscore, none at either end. A text with neither letters nor digits
// is named "Empty".
inline std::string caseName(std::string_view text) {
  std::string name;
  bool gap = false;
  for (char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      if (gap && !name.empty()) name += '_';
      name += c;
      gap = false;
    } else {
      gap = true;
    }
  }
  return name.empty() ? "Empty" : name;
}

// For INSTANTIATE_TEST_SUITE_P over cases that carry a `name`.
struct ByCaseName {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
    return caseName(info.param.name);
  }
};

// For suites over plain texts (a table or query name, say).
inline std::string byText(const ::testing::TestParamInfo<const char*>& info) { return caseName(info.param); }

// Text in double quotes, with quotes, backslashes and control characters
// escaped; bytes above ASCII pass through, so UTF-8 reads as itself.
inline std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20 || u == 0x7f) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace ledger::test
