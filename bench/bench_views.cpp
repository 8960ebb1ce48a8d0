// What the report views read, on ledgers of 10k, 100k and 1M trades: the
// datasheet's first screen through its grid model, one company's history
// through its five queries, the profit/loss figures, and the chart's table.
// Each against the same reading done with the sqlite3 C API alone. The
// history's totals and the profit/loss figures are exact decimals summed in
// one pass over the trades; ExactTotals sets that pass against SQLite
// summing the same figures in floating point. The views read the figures
// the ledger keeps (kept_figures.h); KeptTotals reads them alone, after
// checking that they equal the exact sums over Bought and Sold.

#include <sys/resource.h>
#include <unistd.h>

#include <sqlite3.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/prompter.h"
#include "bare_sqlite.h"
#include "figures/decimal.h"
#include "figures/exact_figures.h"
#include "ledger/kept_figures.h"
#include "ledger/view_queries.h"
#include "ledger_generator.h"
#include "paired_cases.h"
#include "ui/views/recordset_model.h"
#include "ledger/ledger_open.h"

namespace ledger::bench {

namespace {

// Rows a grid shows on its first screen.
constexpr int kScreenRows = 40;
constexpr const char* kHistorySymbol = "IBM";
constexpr const char* kOtherHistorySymbol = "MSFT";

class QuietPrompter final : public Prompter {
 public:
  MsgAnswer show(const std::string& text, MsgIcon, MsgButtons, const std::string&) override {
    throw std::runtime_error("unexpected message: " + text);
  }
};

void readScreen(const RecordsetModel& model) {
  const int rows = std::min(kScreenRows, model.rowCount());
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < model.columnCount(); ++c) benchmark::DoNotOptimize(model.index(r, c).data());
}

void bareReadScreen(sqlite3* db, const char* sql) {
  BareStatement rows = barePrepare(db, sql);
  for (int r = 0; r < kScreenRows && sqlite3_step(rows.get()) == SQLITE_ROW; ++r) readRow(rows.get());
}

// The ledger keeps its figures from the first view opened on it on (the
// only one that reads every trade); the views' cases show the opens after.
void keepFigures(const std::string& path) {
  Database db = openLedger(path);
  if (!keepLedgerTotals(db)) throw std::runtime_error("the figures could not be kept");
}

// The datasheet's sorted query, written into the ledger once before timing.
void writeTradeSorted(const std::string& path) {
  Database db = openLedger(path);
  EnsureTradeSorted(db);
}

// ---- datasheet: open the sorted trades and show the first screen ---------

void datasheet(benchmark::State& state) {
  LedgerCopy copy(state.range(0));  // the view writes its query into the ledger
  Database db = openLedger(copy.path());
  EnsureTradeSorted(db);
  for (auto _ : state) {
    // The view reads through the session's connection, opened again after
    // the query was written.
    Database ledger = openLedger(copy.path());
    RecordsetModel model;
    model.setSource(ledger, "TradeSorted", "Trade");
    readScreen(model);
  }
}

void bareDatasheet(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  writeTradeSorted(copy.path());
  for (auto _ : state) {
    BareConnection db = bareOpen(copy.path());
    bareReadScreen(db.get(), "SELECT * FROM TradeSorted");
  }
}

// ---- datasheet, Ctrl+End: open the sorted trades and show the last screen --

void datasheetEnd(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  writeTradeSorted(copy.path());
  for (auto _ : state) {
    // The view reads through the session's connection, opened again after
    // the query was written.
    Database ledger = openLedger(copy.path());
    RecordsetModel model;
    model.setSource(ledger, "TradeSorted", "Trade");
    const int last = model.rowCount();
    for (int r = std::max(0, last - kScreenRows); r < last; ++r)
      for (int c = 0; c < model.columnCount(); ++c) benchmark::DoNotOptimize(model.index(r, c).data());
  }
}

void bareDatasheetEnd(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  writeTradeSorted(copy.path());
  for (auto _ : state) {
    BareConnection db = bareOpen(copy.path());
    BareStatement count = barePrepare(db.get(), "SELECT count(*) FROM Trade");
    sqlite3_step(count.get());
    const sqlite3_int64 n = sqlite3_column_int64(count.get(), 0);
    BareStatement rows = barePrepare(db.get(), "SELECT * FROM TradeSorted LIMIT ?2 OFFSET ?1");
    sqlite3_bind_int64(rows.get(), 1, std::max<sqlite3_int64>(0, n - kScreenRows));
    sqlite3_bind_int64(rows.get(), 2, kScreenRows);
    while (sqlite3_step(rows.get()) == SQLITE_ROW) readRow(rows.get());
  }
}

// ---- history: write the five queries for one company, show each grid ----

void history(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  keepFigures(copy.path());
  int opened = 0;
  for (auto _ : state) {
    // Another company each time, so that the five queries are written each
    // time, as when the user moves on to the next company.
    const char* symbol = opened++ % 2 ? kOtherHistorySymbol : kHistorySymbol;
    Database db = openLedger(copy.path());
    BuildHistoryQueries(db, symbol);
    const HistoryFigures figures = readHistoryFigures(db, symbol);
    const auto listCounts = historyListCounts(db, symbol);
    // The two lists read their queries, counted on the index; the three
    // figures are known.
    const std::optional<std::string>* known[] = {nullptr, nullptr, &figures.totalBuy, &figures.totalSell,
                                                 &figures.profitLoss};
    for (size_t g = 0; g < kHistoryQueryNames.size(); ++g) {
      RecordsetModel model;
      if (known[g])
        model.setKnownRows(db, kHistoryQueryNames[g], {Value(known[g]->value_or(std::string()))});
      else
        model.setSource(db, kHistoryQueryNames[g], {}, listCounts ? std::optional((*listCounts)[g]) : std::nullopt);
      readScreen(model);
    }
  }
}

// The exact figures: one pass over the trades (of one company, or all),
// summed in decimals, as the views do.
void bareExactTotals(sqlite3* db, const char* symbol) {
  std::string sql = "SELECT [Buy/Sell], Quantity, Price, Commission FROM Trade";
  if (symbol) sql += " WHERE CompanySymbol = ?";
  BareStatement rows = barePrepare(db, sql.c_str());
  if (symbol) sqlite3_bind_text(rows.get(), 1, symbol, -1, SQLITE_STATIC);
  Decimal buy, sell;
  while (sqlite3_step(rows.get()) == SQLITE_ROW) {
    const auto* side = reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), 0));
    const Decimal product = Decimal::fromDouble(sqlite3_column_double(rows.get(), 1)) *
                            Decimal::fromDouble(sqlite3_column_double(rows.get(), 2));
    const Decimal commission = Decimal::fromDouble(sqlite3_column_double(rows.get(), 3));
    if (side && side[0] == 'B')
      buy += product + commission;
    else
      sell += product - commission;
  }
  benchmark::DoNotOptimize((sell - buy).toDisplayString());
}

void bareHistory(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  const auto texts = historyQueryTexts(kHistorySymbol);
  for (auto _ : state) {
    BareConnection db = bareOpen(copy.path());
    for (size_t i = 0; i < texts.size(); ++i) {
      const std::string name = kHistoryQueryNames[i];
      const std::string sql = "BEGIN IMMEDIATE; DROP VIEW IF EXISTS \"" + name + "\"; CREATE VIEW \"" + name +
                              "\" AS " + texts[i] + "; COMMIT;";
      if (sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db.get()));
    }
    bareExactTotals(db.get(), kHistorySymbol);
    for (const char* name : kHistoryQueryNames) {
      BareConnection grid = bareOpen(copy.path());  // each grid opens the ledger itself
      bareReadScreen(grid.get(), ("SELECT * FROM \"" + std::string(name) + "\"").c_str());
    }
  }
}

// ---- profit / loss: the three totals, then back on Trade ------------------

void profitLoss(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  keepFigures(copy.path());
  QuietPrompter prompter;
  LedgerSession session(prompter);
  session.LedgerPath = copy.path();
  for (auto _ : state) benchmark::DoNotOptimize(readProfitLossFigures(session));
}

void bareProfitLoss(benchmark::State& state) {
  const std::string path = cachedLedger(state.range(0));
  for (auto _ : state) {
    BareConnection db = bareOpen(path);
    BareStatement trade = barePrepare(db.get(), "SELECT * FROM Trade");
    if (sqlite3_step(trade.get()) == SQLITE_ROW) readRow(trade.get());
    // Each figure's stored query must be there; it is not run.
    for (const char* source : {"[Total Buy]", "[Total Sell]", "[Profit/Loss]"})
      barePrepare(db.get(), (std::string("SELECT * FROM ") + source).c_str());
    bareExactTotals(db.get(), nullptr);
  }
}

// ---- exact totals against the ledger's floating-point sums ------------------

void exactTotals(benchmark::State& state) {
  Database db = openLedger(cachedLedger(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(readTradeTotals(db));
}

void floatingTotals(benchmark::State& state) {
  BareConnection db = bareOpen(cachedLedger(state.range(0)));
  for (auto _ : state) {
    BareStatement sums = barePrepare(db.get(),
                                     "SELECT SUM(CASE WHEN [Buy/Sell] = 'B' THEN Quantity * Price + Commission END),"
                                     " SUM(CASE WHEN [Buy/Sell] = 'S' THEN Quantity * Price - Commission END)"
                                     " FROM Trade");
    if (sqlite3_step(sums.get()) == SQLITE_ROW) readRow(sums.get());
  }
}

// ---- kept figures against the exact sums over Bought and Sold ---------------

// The exact sums of TotalPurchase over Bought and TotalSell over Sold, each
// row's total taken in decimals from its own numbers, per symbol ("" for
// the whole ledger), read through the two views alone.
std::map<std::string, TradeTotals> exactSumsOverViews(const std::string& path) {
  BareConnection db = bareOpen(path);
  std::map<std::string, TradeTotals> sums;
  for (const auto& [view, side] : {std::pair{"Bought", "B"}, std::pair{"Sold", "S"}}) {
    BareStatement rows =
        barePrepare(db.get(), (std::string("SELECT CompanySymbol, Quantity, Price, Commission FROM ") + view).c_str());
    while (sqlite3_step(rows.get()) == SQLITE_ROW) {
      const auto* symbol = reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), 0));
      const auto number = [&](int column) {
        return sqlite3_column_type(rows.get(), column) == SQLITE_NULL ? Value()
                                                                      : Value(sqlite3_column_double(rows.get(), column));
      };
      for (const std::string& key : {std::string(), std::string(symbol ? symbol : "")})
        sums[key].add(Value(std::string(side)), number(1), number(2), number(3));
    }
  }
  return sums;
}

bool sameSum(const std::optional<Amount>& a, const std::optional<Amount>& b) {
  if (!a || !b) return !a && !b;
  return a->isFinite() && b->isFinite() && a->exact() == b->exact();
}

// Reads the kept figures of the whole ledger and of one company, as the
// views do, after checking once that the figures of every company equal the
// exact sums over Bought and Sold.
void keptTotals(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  keepFigures(copy.path());
  {
    Database db = openLedger(copy.path());
    for (const auto& [symbol, sums] : exactSumsOverViews(copy.path())) {
      const auto kept = symbol.empty() ? readKeptTotals(db) : readKeptTotals(db, symbol);
      if (!kept || !sameSum(kept->totalBuy, sums.totalBuy) || !sameSum(kept->totalSell, sums.totalSell))
        throw std::runtime_error("the kept figures of '" + symbol + "' differ from the sums over Bought and Sold");
    }
  }
  for (auto _ : state) {
    Database db = openLedger(copy.path());
    const auto all = readKeptTotals(db), one = readKeptTotals(db, kHistorySymbol);
    if (!all || !one) throw std::runtime_error("the kept figures are not current");
    benchmark::DoNotOptimize(percentageText(all->percentage()));
    benchmark::DoNotOptimize(figureText(one->profitLoss()));
  }
}

// The same rows read with the C API: the stamp against the file's header,
// then the rows of the ledger and of the company, summed in decimals.
void bareKeptTotals(benchmark::State& state) {
  LedgerCopy copy(state.range(0));
  keepFigures(copy.path());
  for (auto _ : state) {
    BareConnection db = bareOpen(copy.path());
    if (sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
      throw std::runtime_error(sqlite3_errmsg(db.get()));
    BareStatement stamp = barePrepare(db.get(), "SELECT Summed FROM KeptTotals WHERE Side = 'Stamp'");
    if (sqlite3_step(stamp.get()) != SQLITE_ROW) throw std::runtime_error("no stamp");
    sqlite3_file* file = nullptr;
    sqlite3_file_control(db.get(), "main", SQLITE_FCNTL_FILE_POINTER, &file);
    unsigned char header[28];
    file->pMethods->xRead(file, header, sizeof header, 0);
    const sqlite3_int64 counter = static_cast<sqlite3_int64>(header[24]) << 24 | header[25] << 16 |
                                  header[26] << 8 | header[27];
    if (counter != sqlite3_column_int64(stamp.get(), 0)) throw std::runtime_error("the stamp is not current");
    for (const char* sql : {"SELECT Side, ExactSum FROM KeptTotals WHERE Side <> 'Stamp'",
                            "SELECT Side, ExactSum FROM KeptTotals WHERE Side <> 'Stamp' AND CompanySymbol = 'IBM'"}) {
      BareStatement rows = barePrepare(db.get(), sql);
      Decimal buy, sell;
      while (sqlite3_step(rows.get()) == SQLITE_ROW) {
        const auto* side = reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), 0));
        const auto sum = Decimal::parse(reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), 1)));
        (side[0] == 'B' ? buy : sell) += sum.value_or(Decimal());
      }
      benchmark::DoNotOptimize((sell - buy).toDisplayString());
    }
    sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr);
  }
}

// ---- chart: every trade into the chart's table, in one pass ---------------

double residentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void chart(benchmark::State& state) {
  QuietPrompter prompter;
  LedgerSession session(prompter);
  session.LedgerPath = cachedLedger(state.range(0));
  double growth = 0;
  for (auto _ : state) {
    const double before = residentMegabytes();
    session.OpenLedgerTable("Trade");
    Recordset& trades = *session.CurrentRecordset;
    trades.moveLast();
    trades.moveFirst();
    const ChartTable table = readChartTable(*session.LedgerDatabase, trades);
    trades.moveFirst();
    growth = std::max(growth, residentMegabytes() - before);
    benchmark::DoNotOptimize(table.rowCount());
  }
  state.counters["rss_growth_MB"] = growth;
  state.counters["peak_rss_MB"] = peakMegabytes();
}

void bareChart(benchmark::State& state) {
  const std::string path = cachedLedger(state.range(0));
  for (auto _ : state) {
    BareConnection db = bareOpen(path);
    BareStatement rows =
        barePrepare(db.get(), "SELECT CompanySymbol, [Buy/Sell], Date, Price, Commission FROM Trade ORDER BY rowid");
    std::vector<std::string> labels;
    std::vector<double> numbers;
    while (sqlite3_step(rows.get()) == SQLITE_ROW) {
      for (int c = 0; c < 3; ++c) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), c));
        labels.emplace_back(text ? text : "");
      }
      numbers.push_back(sqlite3_column_double(rows.get(), 3));
      numbers.push_back(sqlite3_column_double(rows.get(), 4));
    }
    benchmark::DoNotOptimize(labels.size() + numbers.size());
  }
}

const bool registered = registerPair("Datasheet", datasheet, bareDatasheet) &&
                        registerPair("DatasheetEnd", datasheetEnd, bareDatasheetEnd) &&
                        registerPair("History", history, bareHistory) &&
                        registerPair("ProfitLoss", profitLoss, bareProfitLoss) &&
                        registerPair("ExactTotals", exactTotals, floatingTotals) &&
                        registerPair("KeptTotals", keptTotals, bareKeptTotals);

// The chart's target is set at 100k trades; 1M shows how it grows.
const bool chartRegistered = [] {
  for (const auto& [side, function] : {std::pair{kEngineSide, &chart}, std::pair{kBareSide, &bareChart}})
    benchmark::RegisterBenchmark((std::string("Chart/") + side).c_str(), function)
        ->Arg(100'000)
        ->Arg(1'000'000)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace

}  // namespace ledger::bench
