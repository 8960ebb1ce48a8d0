// Reading CSV text: the quoting rules, line ends, the byte-order mark, and
// the guesses of delimiter and header.
#include <gtest/gtest.h>

#include "transfer/csv_reader.h"

namespace ledger {
namespace {

using Records = std::vector<CsvRecord>;

struct ReadCase {
  const char* name;
  std::string text;
  char delimiter;
  Records expected;
  bool endsInsideQuotes = false;
};

class CsvReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(CsvReadTest, ReadsRecords) {
  const ReadCase& c = GetParam();
  const CsvText read = readCsv(c.text, c.delimiter);
  EXPECT_EQ(read.records, c.expected);
  EXPECT_EQ(read.endsInsideQuotes, c.endsInsideQuotes);
}

INSTANTIATE_TEST_SUITE_P(
    Dialects, CsvReadTest,
    ::testing::Values(
        ReadCase{"plain_lf", "a,b\n1,2\n", ',', {{"a", "b"}, {"1", "2"}}},
        ReadCase{"crlf_no_final_break", "a,b\r\n1,2", ',', {{"a", "b"}, {"1", "2"}}},
        ReadCase{"lone_cr", "a,b\r1,2\r", ',', {{"a", "b"}, {"1", "2"}}},
        ReadCase{"byte_order_mark", "\xEF\xBB\xBFSymbol,Date\n", ',', {{"Symbol", "Date"}}},
        ReadCase{"quoted_delimiter", "\"APPLE INC, COMMON\",x\n", ',', {{"APPLE INC, COMMON", "x"}}},
        ReadCase{"doubled_quote", "\"say \"\"hi\"\"\",2\n", ',', {{"say \"hi\"", "2"}}},
        ReadCase{"quoted_line_breaks", "\"two\r\nlines\",\"and\nmore\"\n3,4\n", ',',
                 {{"two\r\nlines", "and\nmore"}, {"3", "4"}}},
        ReadCase{"empty_fields", ",,\n\"\",x,\n", ',', {{"", "", ""}, {"", "x", ""}}},
        ReadCase{"blank_line_is_a_record", "a\n\nb\n", ',', {{"a"}, {""}, {"b"}}},
        ReadCase{"quote_inside_unquoted_field", "5\" disk,x\n", ',', {{"5\" disk", "x"}}},
        ReadCase{"text_after_closing_quote", "\"a\"b,c\n", ',', {{"ab", "c"}}},
        ReadCase{"unclosed_quote_runs_to_end", "a,\"b\nc", ',', {{"a", "b\nc"}}, true},
        ReadCase{"semicolon_keeps_commas", "1,5;2,5\n", ';', {{"1,5", "2,5"}}},
        ReadCase{"tab", "a\tb c\n", '\t', {{"a", "b c"}}},
        ReadCase{"empty_text", "", ',', {}},
        ReadCase{"only_bom", "\xEF\xBB\xBF", ',', {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CsvReadTest, PreviewStopsAfterMaxRecords) {
  EXPECT_EQ(readCsv("a\nb\nc\n", ',', 2).records, (Records{{"a"}, {"b"}}));
}

struct DelimiterCase {
  const char* name;
  std::string text;
  char expected;
};

class CsvDelimiterTest : public ::testing::TestWithParam<DelimiterCase> {};

TEST_P(CsvDelimiterTest, Detects) { EXPECT_EQ(detectCsvDelimiter(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Files, CsvDelimiterTest,
    ::testing::Values(
        DelimiterCase{"comma", "Symbol,Date,Qty\nAAPL,2024-01-02,10\n", ','},
        // Decimal commas split every line evenly too, into fewer fields.
        DelimiterCase{"semicolon_with_decimal_commas", "A;B;C;D\nX;1,5;2,5;3\nY;4,5;5,5;6\n", ';'},
        DelimiterCase{"tab", "Symbol\tDate\tQty\nAAPL\t2024-01-02\t10\n", '\t'},
        DelimiterCase{"quoted_commas_in_semicolon_file", "\"a,b,c\";x\n\"d,e\";y\n", ';'},
        DelimiterCase{"footer_line_does_not_decide",
                      "a,b,c\n1,2,3\n4,5,6\n7,8,9\n1,2,3\nTotal 10\n", ','},
        DelimiterCase{"one_column_defaults_to_comma", "abc\ndef\n", ','}),
    [](const auto& info) { return std::string(info.param.name); });

struct HeaderCase {
  const char* name;
  Records records;
  bool expected;
};

class CsvHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(CsvHeaderTest, Detects) { EXPECT_EQ(detectCsvHeader(GetParam().records), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Files, CsvHeaderTest,
    ::testing::Values(HeaderCase{"names_then_figures", {{"Symbol", "Qty"}, {"AAPL", "10"}}, true},
                      HeaderCase{"figures_first", {{"AAPL", "10"}, {"MSFT", "5"}}, false},
                      HeaderCase{"currency_first", {{"AAPL", "$1,259.59"}}, false},
                      HeaderCase{"names_only", {{"Symbol", "Qty"}}, true},
                      HeaderCase{"no_figures_anywhere", {{"a", "b"}, {"c", "d"}}, false},
                      HeaderCase{"blank_first_record", {{""}, {"AAPL", "10"}}, false},
                      HeaderCase{"nothing", {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct Utf8Case {
  const char* name;
  std::string text;
  bool valid;
};

class Utf8Test : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Test, Checks) { EXPECT_EQ(isUtf8(GetParam().text), GetParam().valid); }

INSTANTIATE_TEST_SUITE_P(Texts, Utf8Test,
                         ::testing::Values(Utf8Case{"ascii", "abc", true}, Utf8Case{"umlaut", "Ums\xC3\xA4tze", true},
                                           Utf8Case{"euro", "\xE2\x82\xAC", true},
                                           Utf8Case{"latin1_umlaut", "Ums\xE4tze", false},
                                           Utf8Case{"overlong_slash", "\xC0\xAF", false},
                                           Utf8Case{"surrogate", "\xED\xA0\x80", false},
                                           Utf8Case{"cut_short", "\xE2\x82", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Windows1252Test, ConvertsTheCodePageToUtf8) {
  EXPECT_EQ(utf8FromWindows1252("Ums\xE4tze \x80 \x93q\x94"), "Ums\xC3\xA4tze \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D");
}


struct DecodeCase {
  const char* name;
  std::string bytes;
  std::string utf8;  // empty when unreadable
  TextEncoding encoding;
  bool readable;
};

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }

class DecodeTextTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTextTest, ReadsEveryEncodingItCanAndSaysSoWhenItCannot) {
  const DecodedText d = decodeTextFile(GetParam().bytes);
  EXPECT_EQ(d.unreadable.empty(), GetParam().readable) << d.unreadable;
  EXPECT_EQ(d.utf8, GetParam().utf8);
  if (GetParam().readable) {
    EXPECT_EQ(d.encoding, GetParam().encoding);
  }
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Files, DecodeTextTest,
    ::testing::Values(
        // U+1F600 is the pair D83D DE00; as UTF-8 F0 9F 98 80.
        DecodeCase{"utf16le_keeps_a_surrogate_pair", "\xFF\xFES\0y\0\x3D\xD8\x00\xDE,\0"s,
                   "Sy\xF0\x9F\x98\x80,", TextEncoding::Utf16, true},
        DecodeCase{"utf16be", "\xFE\xFF\0A\0,\0\xE4"s, "A,\xC3\xA4", TextEncoding::Utf16, true},
        DecodeCase{"utf8_mark_dropped", "\xEF\xBB\xBF" "A", "A", TextEncoding::Utf8, true},
        DecodeCase{"not_utf8_is_1252", "\xE4", "\xC3\xA4", TextEncoding::Windows1252, true},
        DecodeCase{"utf16_without_mark", "S\0y\0"s, "", TextEncoding::Utf8, false},
        DecodeCase{"utf16_odd_length", "\xFF\xFE" "A", "", TextEncoding::Utf8, false},
        DecodeCase{"utf16_high_surrogate_at_end", "\xFF\xFE\x3D\xD8", "", TextEncoding::Utf8, false},
        DecodeCase{"utf16_lone_low_surrogate", "\xFF\xFE\x00\xDE"s, "", TextEncoding::Utf8, false},
        DecodeCase{"utf8_mark_before_other_bytes", "\xEF\xBB\xBF\xE4", "", TextEncoding::Utf8, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace ledger
