#include "csv_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>

namespace ledger {

namespace {

// How many records the delimiter and header guesses look at.
constexpr std::size_t kSniffRecords = 50;

bool isLineBreak(char c) { return c == '\n' || c == '\r'; }

// A field that reads as a figure or a date rather than a name: it holds a
// digit and no letter ("$1,259.59", "(12.50)", "03/15/2024").
bool looksLikeData(std::string_view field) {
  bool digit = false;
  for (const char c : field) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isdigit(u)) digit = true;
    else if (std::isalpha(u)) return false;
  }
  return digit;
}

}  // namespace

std::string_view withoutByteOrderMark(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return text;
}

CsvText readCsv(std::string_view text, char delimiter, std::size_t maxRecords) {
  text = withoutByteOrderMark(text);
  CsvText out;
  CsvRecord record;
  std::string field;
  std::size_t i = 0;
  const std::size_t n = text.size();
  bool quoted = false;     // inside a quoted part of the field
  bool fieldOpen = false;  // the current record has begun

  auto endField = [&] {
    record.push_back(std::move(field));
    field.clear();
  };
  auto endRecord = [&] {
    endField();
    out.records.push_back(std::move(record));
    record.clear();
    fieldOpen = false;
  };

  while (i < n) {
    if (maxRecords && out.records.size() >= maxRecords) return out;
    const char c = text[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < n && text[i + 1] == '"') {
          field += '"';
          i += 2;
          continue;
        }
        quoted = false;
        ++i;
        continue;
      }
      field += c;
      ++i;
      continue;
    }
    if (c == '"' && field.empty()) {
      // A quote opens a quoted part only at the start of a field; elsewhere
      // it is an ordinary character.
      quoted = true;
      fieldOpen = true;
      ++i;
      continue;
    }
    if (c == delimiter) {
      endField();
      fieldOpen = true;
      ++i;
      continue;
    }
    if (isLineBreak(c)) {
      endRecord();
      i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    field += c;
    fieldOpen = true;
    ++i;
  }
  if (quoted) out.endsInsideQuotes = true;
  if ((fieldOpen || !field.empty()) && !(maxRecords && out.records.size() >= maxRecords)) endRecord();
  return out;
}

char detectCsvDelimiter(std::string_view text) {
  char best = ',';
  std::size_t bestFields = 0;
  for (const char delimiter : kCsvDelimiters) {
    const CsvText sample = readCsv(text, delimiter, kSniffRecords);
    // The number of fields most records have, blank lines aside.
    std::map<std::size_t, std::size_t> counts;
    std::size_t records = 0;
    for (const CsvRecord& r : sample.records) {
      if (r.size() == 1 && r[0].empty()) continue;
      ++counts[r.size()];
      ++records;
    }
    if (records == 0) continue;
    const auto modal = std::max_element(counts.begin(), counts.end(),
                                        [](const auto& a, const auto& b) { return a.second < b.second; });
    // Most records agree (a title line or a totals footer may not).
    const bool consistent = modal->first > 1 && modal->second * 5 >= records * 4;
    if (consistent && modal->first > bestFields) {
      best = delimiter;
      bestFields = modal->first;
    }
  }
  return best;
}

bool detectCsvHeader(const std::vector<CsvRecord>& records) {
  if (records.empty()) return false;
  const CsvRecord& first = records[0];
  if (std::all_of(first.begin(), first.end(), [](const std::string& f) { return f.empty(); })) return false;
  if (std::any_of(first.begin(), first.end(), [](const std::string& f) { return looksLikeData(f); })) return false;
  const std::size_t last = std::min(records.size(), kSniffRecords);
  if (last == 1) return true;
  for (std::size_t r = 1; r < last; ++r)
    if (std::any_of(records[r].begin(), records[r].end(), [](const std::string& f) { return looksLikeData(f); }))
      return true;
  return false;
}

bool isUtf8(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t len;
    unsigned cp;
    if (c >= 0xC2 && c <= 0xDF) len = 2, cp = c & 0x1F;
    else if (c >= 0xE0 && c <= 0xEF) len = 3, cp = c & 0x0F;
    else if (c >= 0xF0 && c <= 0xF4) len = 4, cp = c & 0x07;
    else return false;
    if (i + len > n) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const auto cc = static_cast<unsigned char>(text[i + k]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

std::string utf8FromWindows1252(std::string_view text) {
  // 0x80 to 0x9F: where code page 1252 differs from Latin-1.
  static constexpr std::array<char16_t, 32> kHigh = {
      0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,
  };
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const unsigned cp = (c >= 0x80 && c <= 0x9F) ? kHigh[c - 0x80] : c;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace ledger
