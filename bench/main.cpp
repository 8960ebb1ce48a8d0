// Runs the benchmarks with the usual Google Benchmark flags, then prints the
// engine/bare ratio of every pair.
#include <benchmark/benchmark.h>

#include <iostream>

#include "ledger/figures_seal.h"
#include "ratio_reporter.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // As the program runs: with a key, so that figures are kept and sealed.
  ledger::setKeptFiguresKey(ledger::makeKeptFiguresKey());
  ledger::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios(std::cout);
  benchmark::Shutdown();
  return 0;
}
