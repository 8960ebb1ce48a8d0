// Runs the benchmarks with the usual Google Benchmark flags, then prints the
// engine/bare ratio of every pair.
#include <benchmark/benchmark.h>

#include <iostream>

#include "ratio_reporter.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  ledger::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios(std::cout);
  benchmark::Shutdown();
  return 0;
}
