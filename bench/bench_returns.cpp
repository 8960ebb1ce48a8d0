// Market value and returns on the priced ledgers (cachedPricedLedger):
// 10, 100 and 1,000 companies with 2,500 closes each beside 10k, 100k and
// 1M trades. MarketValue: the holdings by FIFO at the last day, valued at
// the last closes. Returns: every company's and the whole ledger's over
// the whole period (S, E, the flows, IRR and TWR). The bare twin reads the
// same trades and prices with plain statements and does nothing with them.

#include <sqlite3.h>

#include <benchmark/benchmark.h>

#include "bare_sqlite.h"
#include "figures/calendar_days.h"
#include "ledger/ledger_history.h"
#include "ledger/ledger_open.h"
#include "ledger_generator.h"
#include "paired_cases.h"

namespace ledger::bench {

namespace {

constexpr const char* kLastDay = "2024-12-31";

void marketValue(benchmark::State& state) {
  const std::string path = cachedPricedLedger(state.range(0));
  for (auto _ : state) {
    Database db = openLedger(path);
    const MarketValueReport report = readMarketValue(db, CostMethod::Fifo, kLastDay);
    benchmark::DoNotOptimize(report.totalValue);
  }
}

void returns(benchmark::State& state) {
  const std::string path = cachedPricedLedger(state.range(0));
  std::size_t withIrr = 0;
  for (auto _ : state) {
    Database db = openLedger(path);
    const LedgerHistory history = readLedgerHistory(db);
    const ReturnsReport report =
        workOutReturns(history, history.firstTradeDay.value_or(0), calendarDayOf(kLastDay));
    withIrr = 0;
    for (const ReturnFigures& company : report.companies) withIrr += company.irr.has_value();
    benchmark::DoNotOptimize(report.total.twr);
  }
  state.counters["companies_with_irr"] = static_cast<double>(withIrr);
}

void bareTradesAndPrices(benchmark::State& state) {
  const std::string path = cachedPricedLedger(state.range(0));
  for (auto _ : state) {
    BareConnection db = bareOpen(path);
    BareStatement trades = barePrepare(db.get(), "SELECT CompanySymbol, Date, [Buy/Sell], Quantity, Price, "
                                                 "Commission FROM Trade");
    while (sqlite3_step(trades.get()) == SQLITE_ROW) readRow(trades.get());
    BareStatement prices =
        barePrepare(db.get(), "SELECT CompanySymbol, Date, Close FROM Price ORDER BY CompanySymbol, Date");
    while (sqlite3_step(prices.get()) == SQLITE_ROW) readRow(prices.get());
  }
}

const bool registered = registerPair("MarketValue", marketValue, bareTradesAndPrices) &&
                        registerPair("Returns", returns, bareTradesAndPrices);

}  // namespace

}  // namespace ledger::bench
