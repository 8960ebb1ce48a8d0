#include "transfer/csv_reader.h"

#include <algorithm>
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

}  // namespace ledger
