// Getting trades in and out: exporting the whole Trade table as CSV, and
// importing a broker's CSV file of 100,000 rows (read, map, check every
// row against the ledger, write in one transaction). Each against the same
// work done with the sqlite3 C API and a plain split on commas.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bare_sqlite.h"
#include "transfer/csv_export.h"
#include "engine/database.h"
#include "transfer/import_plan.h"
#include "transfer/import_source.h"
#include "ledger/kept_figures.h"
#include "ledger_generator.h"
#include "ledger/ledger_writes.h"
#include "paired_cases.h"
#include "ledger/ledger_open.h"

namespace ledger::bench {

namespace {

constexpr int kImportRows = 100'000;

// A broker-style file: US dates, quoted currency amounts, a side word.
const std::string& importText() {
  static const std::string text = [] {
    const char* symbols[] = {"AAPL", "MSFT", "IBM", "NEWCO", "KO", "ZZZ"};
    std::string t = "Trade Date,Action,Symbol,Quantity,Price,Fees & Comm\r\n";
    char line[160];
    for (int i = 0; i < kImportRows; ++i) {
      std::snprintf(line, sizeof line, "%02d/%02d/20%02d,%s,%s,%d,\"$%d,%03d.%02d\",$%d.95\r\n", i % 12 + 1,
                    i % 28 + 1, i % 24, i % 3 ? "Buy" : "Sell", symbols[i % 6], i % 500 + 1, i % 9 + 1, i % 1000,
                    i % 100, i % 10);
      t += line;
    }
    return t;
  }();
  return text;
}

// ---- export: every trade of the ledger as CSV ----------------------------

void exportTrades(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  const std::string out = copy.path() + ".csv";
  for (auto _ : state) {
    Database db = openLedger(copy.path());
    benchmark::DoNotOptimize(exportSourceCsvFile(db, "Trade", out));
  }
  std::remove(out.c_str());
}

void bareExportTrades(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  const std::string out = copy.path() + ".csv";
  for (auto _ : state) {
    BareConnection db = bareOpen(copy.path());
    BareStatement rows = barePrepare(db.get(), "SELECT * FROM Trade");
    std::FILE* f = std::fopen(out.c_str(), "wb");
    std::fputs("CompanyID,CompanySymbol,Quantity,Buy/Sell,Date,Price,Commission\r\n", f);
    while (sqlite3_step(rows.get()) == SQLITE_ROW) {
      for (int c = 0; c < 7; ++c) {
        if (c) std::fputc(',', f);
        const unsigned char* text = sqlite3_column_text(rows.get(), c);
        if (text) std::fputs(reinterpret_cast<const char*>(text), f);
      }
      std::fputs("\r\n", f);
    }
    std::fclose(f);
  }
  std::remove(out.c_str());
}

// ---- import: a 100,000-row file into the ledger --------------------------

void importCsv(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    LedgerCopy copy(state.range(0));
    // As after the first view opened: the import brings the kept figures along.
    {
      Database ledger = openLedger(copy.path());
      if (!keepLedgerTotals(ledger)) state.SkipWithError("the figures could not be kept");
    }
    state.ResumeTiming();
    Database db = openLedger(copy.path());
    const ImportTable table = readImportCsv(importText());
    ImportOptions options;
    options.hasHeader = table.hasHeader;
    options.mapping = guessMapping(table.records[0]);
    options.dateFormat = *guessColumnDateFormat(table, *options.mapping[ImportField::Date]);
    const ImportPlan plan = planImport(table.records, options, LedgerIndex::read(db));
    if (plan.trades.size() != kImportRows) state.SkipWithError("not every row became a trade");
    importTrades(db, plan.trades, plan.newSymbols);
  }
}

void bareImportCsv(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    LedgerCopy copy(state.range(0));
    state.ResumeTiming();
    BareConnection db = bareOpen(copy.path());
    sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr);
    BareStatement insert = barePrepare(db.get(),
                                       "INSERT INTO Trade (CompanyID, CompanySymbol, Quantity, [Buy/Sell], Date, "
                                       "Price, Commission) VALUES (0, ?1, ?2, ?3, ?4, ?5, ?6)");
    const std::string& text = importText();
    std::size_t pos = text.find('\n') + 1;
    std::vector<std::string> fields;
    while (pos < text.size()) {
      const std::size_t end = text.find('\n', pos);
      const std::string line = text.substr(pos, end - pos - 1);
      pos = end + 1;
      // A plain split that knows the one quoted amount of each line.
      fields.clear();
      std::string field;
      bool quoted = false;
      for (const char c : line) {
        if (c == '"') quoted = !quoted;
        else if (c == ',' && !quoted) fields.push_back(std::move(field)), field.clear();
        else if (c != '$' && !(c == ',' && quoted)) field += c;
      }
      fields.push_back(field);
      const std::string date = "20" + fields[0].substr(6, 2) + "-" + fields[0].substr(0, 2) + "-" + fields[0].substr(3, 2);
      sqlite3_bind_text(insert.get(), 1, fields[2].c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_double(insert.get(), 2, std::stod(fields[3]));
      sqlite3_bind_text(insert.get(), 3, fields[1] == "Buy" ? "B" : "S", -1, SQLITE_STATIC);
      sqlite3_bind_text(insert.get(), 4, date.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_double(insert.get(), 5, std::stod(fields[4]));
      sqlite3_bind_double(insert.get(), 6, std::stod(fields[5]));
      bareRun(db.get(), insert.get());
    }
    sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr);
  }
}

const bool registered = registerPair("ExportTrades", exportTrades, bareExportTrades) &&
                        registerPair("ImportCsv100k", importCsv, bareImportCsv);

}  // namespace

}  // namespace ledger::bench
