// Feeds arbitrary bytes to the CSV reader, the guesses of delimiter and
// header, and the import plan over what was read. A broken invariant aborts
// with the reason.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/blanks.h"
#include "transfer/csv_reader.h"
#include "transfer/import_plan.h"

namespace {

using namespace ledger;

void fail(const char* why, std::string_view input) {
  std::fprintf(stderr, "invariant broken: %s (input of %zu bytes)\n", why, input.size());
  std::abort();
}

// Every field in quotes, quotes doubled, CRLF after each record.
std::string quoteAll(const std::vector<CsvRecord>& records, char delimiter) {
  std::string out;
  for (const CsvRecord& r : records) {
    for (std::size_t i = 0; i < r.size(); ++i) {
      if (i) out += delimiter;
      out += '"';
      for (const char c : r[i]) out += c == '"' ? std::string("\"\"") : std::string(1, c);
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

void checkRead(std::string_view input, char delimiter) {
  const CsvText read = readCsv(input, delimiter);
  for (const CsvRecord& r : read.records)
    if (r.empty()) fail("a record without fields", input);
  // Whatever was read writes out and reads back the same.
  const CsvText again = readCsv(quoteAll(read.records, delimiter), delimiter);
  if (again.records != read.records || again.endsInsideQuotes) fail("records do not read back", input);
  // A preview is the first records of the whole.
  const CsvText preview = readCsv(input, delimiter, 3);
  if (preview.records.size() > 3) fail("a preview longer than asked", input);
  for (std::size_t i = 0; i < preview.records.size(); ++i)
    if (i >= read.records.size() || preview.records[i] != read.records[i]) fail("a preview differs", input);
}

void checkPlan(std::string_view input) {
  const char delimiter = detectCsvDelimiter(input);
  if (delimiter != ',' && delimiter != ';' && delimiter != '\t') fail("an unknown delimiter", input);
  const std::vector<CsvRecord> records = readCsv(input, delimiter).records;
  ImportOptions options;
  options.hasHeader = detectCsvHeader(records);
  for (std::size_t f = 0; f < kImportFieldCount; ++f) options.mapping.columns[f] = f;
  // The input's first byte picks the dialect.
  const unsigned char pick = input.empty() ? 0 : static_cast<unsigned char>(input[0]);
  options.dateFormat = kDateFormats[pick % std::size(kDateFormats)];
  options.decimalComma = pick & 8;
  options.sideFromSign = pick & 16;
  LedgerIndex ledger;
  ledger.companies["AAPL"] = 1;
  const ImportPlan plan = planImport(records, options, ledger);
  const std::size_t dataRows = records.size() - (options.hasHeader && !records.empty() ? 1 : 0);
  if (plan.trades.size() + plan.skipped.size() + plan.bad.size() + plan.duplicates.size() != dataRows)
    fail("a row is neither a trade nor noted", input);
  if (plan.trades.size() != plan.tradeRows.size()) fail("trades and their rows differ in number", input);
  for (const Trade& t : plan.trades) {
    if (t.symbol.empty() || trimBlanks(t.symbol) != t.symbol) fail("an untrimmed or empty symbol", input);
    if (!(t.quantity > 0) || t.price < 0 || t.commission < 0) fail("a trade with a negative figure", input);
    if (t.date.size() != 10) fail("a date that is not YYYY-MM-DD", input);
    if (t.companyId == 0 && std::find(plan.newSymbols.begin(), plan.newSymbols.end(), t.symbol) == plan.newSymbols.end())
      fail("a trade without a company that is not listed as new", input);
  }
  (void)reportLines(plan);
  (void)guessMapping(records.empty() ? CsvRecord{} : records[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  for (const char delimiter : kCsvDelimiters) checkRead(input, delimiter);
  checkPlan(input);
  (void)isUtf8(input);
  if (utf8FromWindows1252(input).size() < input.size()) fail("conversion lost bytes", input);
  return 0;
}
