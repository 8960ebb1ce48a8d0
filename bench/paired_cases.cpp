#include "paired_cases.h"

#include <string>

namespace ledger::bench {

namespace {

void registerSide(const char* caseName, const char* side, CaseFunction function, std::int64_t trades) {
  const std::string name = std::string(caseName) + "/" + side;
  benchmark::RegisterBenchmark(name.c_str(), function)
      ->Arg(trades)
      // Wall time: a commit's wait for the disk is part of what a user waits for.
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);
}

}  // namespace

bool registerPair(const char* caseName, CaseFunction engine, CaseFunction bare) {
  // Twins run next to each other, size by size, so that a machine that gets
  // busier during the run tilts both alike.
  for (std::int64_t trades : kLedgerSizes) {
    registerSide(caseName, kEngineSide, engine, trades);
    registerSide(caseName, kBareSide, bare, trades);
  }
  return true;
}

}  // namespace ledger::bench
