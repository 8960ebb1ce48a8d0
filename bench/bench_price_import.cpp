// Importing closing prices: a file of 250,000 rows, 250 days of 1,000
// companies with a symbol column (read, guess the columns and the date
// format, check every row against the ledger, write in one transaction as
// one undo step). Against the same rows written with the sqlite3 C API
// and a plain split on commas.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bare_sqlite.h"
#include "engine/database.h"
#include "ledger/ledger_open.h"
#include "ledger/price_table.h"
#include "ledger_generator.h"
#include "paired_cases.h"
#include "transfer/import_source.h"
#include "transfer/price_import_run.h"

namespace ledger::bench {

namespace {

constexpr int kCompanies = 1'000;
constexpr int kDays = 250;
constexpr std::size_t kPriceRows = static_cast<std::size_t>(kCompanies) * kDays;

std::string symbolOf(int company) {
  char s[16];
  std::snprintf(s, sizeof s, "PX%04d", company);
  return s;
}

// The first kDays days of 2024, as YYYY-MM-DD.
const std::vector<std::string>& days() {
  static const std::vector<std::string> list = [] {
    std::vector<std::string> out;
    const int lengths[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    char d[32];
    for (int month = 0; out.size() < kDays; ++month)
      for (int day = 1; day <= lengths[month] && out.size() < kDays; ++day) {
        std::snprintf(d, sizeof d, "2024-%02d-%02d", month + 1, day);
        out.emplace_back(d);
      }
    return out;
  }();
  return list;
}

// A data vendor's file: symbol, date, closes with cents, and an adjusted
// close beside the close.
const std::string& priceText() {
  static const std::string text = [] {
    std::string t = "Symbol,Date,Close,Adj Close\r\n";
    char line[96];
    for (int c = 0; c < kCompanies; ++c)
      for (int d = 0; d < kDays; ++d) {
        std::snprintf(line, sizeof line, "%s,%s,%d.%02d,%d.%02d\r\n", symbolOf(c).c_str(), days()[d].c_str(),
                      c % 400 + d + 1, d % 100, c % 400 + d, d % 100);
        t += line;
      }
    return t;
  }();
  return text;
}

// The ledger's companies, added untimed to a copy.
void addCompanies(const std::string& path) {
  BareConnection db = bareOpen(path);
  sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr);
  BareStatement insert = barePrepare(db.get(), "INSERT INTO Companies (CompanySymbol) VALUES (?1)");
  for (int c = 0; c < kCompanies; ++c) {
    const std::string symbol = symbolOf(c);
    sqlite3_bind_text(insert.get(), 1, symbol.c_str(), -1, SQLITE_TRANSIENT);
    bareRun(db.get(), insert.get());
  }
  sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr);
}

void importPrices(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    LedgerCopy copy(state.range(0));
    addCompanies(copy.path());
    state.ResumeTiming();
    Database db = openLedger(copy.path());
    const ImportTable table = readImportCsv(priceText());
    PriceImportOptions options;
    options.hasHeader = table.hasHeader;
    options.mapping = guessPriceMapping(table.records[0]);
    const std::vector<DateFormat> formats = likeliestColumnDateFormats(table, *options.mapping.date);
    if (formats.size() != 1) state.SkipWithError("the date format was not settled");
    options.dateFormat = formats.front();
    const PriceImportRun run = importPriceRecords(db, table.records, options);
    if (run.outcome != ImportOutcome::Written || run.plan.prices.size() != kPriceRows)
      state.SkipWithError("not every row became a price");
  }
  state.counters["prices"] = static_cast<double>(kPriceRows);
}

void bareImportPrices(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    LedgerCopy copy(state.range(0));
    addCompanies(copy.path());
    state.ResumeTiming();
    BareConnection db = bareOpen(copy.path());
    sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_exec(db.get(), kPriceTableSchema, nullptr, nullptr, nullptr);
    BareStatement insert =
        barePrepare(db.get(), "INSERT INTO Price (CompanySymbol, Date, Close) VALUES (?1, ?2, ?3)");
    const std::string& text = priceText();
    std::size_t pos = text.find('\n') + 1;
    while (pos < text.size()) {
      const std::size_t end = text.find('\n', pos);
      const std::string line = text.substr(pos, end - pos - 1);
      pos = end + 1;
      const std::size_t a = line.find(','), b = line.find(',', a + 1), c = line.find(',', b + 1);
      const std::string symbol = line.substr(0, a), date = line.substr(a + 1, b - a - 1);
      sqlite3_bind_text(insert.get(), 1, symbol.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert.get(), 2, date.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_double(insert.get(), 3, std::stod(line.substr(b + 1, c - b - 1)));
      bareRun(db.get(), insert.get());
    }
    sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr);
  }
}

const bool registered = registerPair("ImportPrices250k", importPrices, bareImportPrices);

}  // namespace

}  // namespace ledger::bench
