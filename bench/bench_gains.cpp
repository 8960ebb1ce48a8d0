// The gains report on ledgers of 10k, 100k and 1M trades, FIFO and average
// cost: read every trade in the order the report needs and work out the
// holdings, every sale and the yearly summary, keeping every sale as the
// window does, or handing each on as the command line does. The bare twin
// reads the same rows with the same statement and does nothing with them.
// The tax rules (UK share identification, wash sales) are measured against
// FIFO on the same ledger, both handed on as the command line does: their
// ratio is what looking 30 days ahead costs.

#include <sys/resource.h>

#include <sqlite3.h>

#include <benchmark/benchmark.h>

#include "bare_sqlite.h"
#include "figures/gains.h"
#include "ledger/gains_report.h"
#include "ledger_generator.h"
#include "paired_cases.h"
#include "ledger/ledger_open.h"

namespace ledger::bench {

namespace {

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

template <CostMethod method>
void gainsReport(benchmark::State& state) {
  const std::string path = cachedLedger(state.range(0));
  std::size_t sales = 0;
  for (auto _ : state) {
    Database db = openLedger(path);
    const GainsReport report = readGainsReport(db, method);
    sales = report.sales.size();
    benchmark::DoNotOptimize(sales);
  }
  state.counters["sales"] = static_cast<double>(sales);
  state.counters["peak_rss_MB"] = peakMegabytes();
}

// The report as `report gains` and `report holdings` make it: each sale
// handed on as it is worked out, none kept.
template <CostMethod method>
void streamedReport(benchmark::State& state, const std::string& path, const GainsRules& rules = method) {
  for (auto _ : state) {
    Database db = openLedger(path);
    std::size_t sales = 0;
    const GainsReport report = readGainsReport(db, rules, [&sales](const SaleGain&) { ++sales; });
    benchmark::DoNotOptimize(sales);
    benchmark::DoNotOptimize(report.holdings.size());
  }
  state.counters["peak_rss_MB"] = peakMegabytes();
}

template <CostMethod method>
void gainsReportStreamed(benchmark::State& state) {
  streamedReport<method>(state, cachedLedger(state.range(0)));
}

// The same report on the same trades with 1,000 splits and 10,000
// dividends beside them; its twin is the report without them, so the
// ratio is what following the events costs.
void gainsReportStreamedWithEvents(benchmark::State& state) {
  streamedReport<CostMethod::Fifo>(state, cachedLedgerWithEvents(state.range(0)));
}

void gainsReportStreamedUk(benchmark::State& state) {
  streamedReport<CostMethod::Uk>(state, cachedLedger(state.range(0)));
}

void gainsReportStreamedWashSales(benchmark::State& state) {
  streamedReport<CostMethod::Fifo>(state, cachedLedger(state.range(0)),
                                   GainsRules(CostMethod::Fifo, true, TaxYears::Calendar));
}

void bareTradesInReportOrder(benchmark::State& state) {
  const std::string path = cachedLedger(state.range(0));
  for (auto _ : state) {
    BareConnection db = bareOpen(path);
    BareStatement rows = barePrepare(db.get(), kGainsTradesSql);
    while (sqlite3_step(rows.get()) == SQLITE_ROW) readRow(rows.get());
  }
}

const bool registered = registerPair("GainsFifo", gainsReport<CostMethod::Fifo>, bareTradesInReportOrder) &&
                        registerPair("GainsAverage", gainsReport<CostMethod::Average>, bareTradesInReportOrder) &&
                        registerPair("GainsFifoStreamed", gainsReportStreamed<CostMethod::Fifo>,
                                     bareTradesInReportOrder) &&
                        registerPair("GainsAverageStreamed", gainsReportStreamed<CostMethod::Average>,
                                     bareTradesInReportOrder) &&
                        registerPair("GainsEvents", gainsReportStreamedWithEvents,
                                     gainsReportStreamed<CostMethod::Fifo>) &&
                        registerPair("GainsUkVsFifo", gainsReportStreamedUk, gainsReportStreamed<CostMethod::Fifo>) &&
                        registerPair("GainsWashVsFifo", gainsReportStreamedWashSales,
                                     gainsReportStreamed<CostMethod::Fifo>);

}  // namespace

}  // namespace ledger::bench
