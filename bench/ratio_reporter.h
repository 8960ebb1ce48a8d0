#pragma once
// The console report of Google Benchmark, plus a table of engine/bare
// ratios for the pairs registered through registerPair.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace ledger::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;

  // One line per pair and size: case, trades, engine and bare wall time,
  // their ratio (above kRatioTarget marked) and the ratio of CPU times,
  // which a busy machine disturbs less but which leaves out waits for the disk.
  void printRatios(std::ostream& out) const;

  static constexpr double kRatioTarget = 1.5;

 private:
  struct Times {
    double wallNs = -1;
    double cpuNs = -1;
  };
  struct Twins {
    Times engine;
    Times bare;
  };
  // Keyed by case name and trades, in the order the cases first ran.
  std::map<std::pair<std::string, std::int64_t>, Twins> m_pairs;
  std::map<std::string, int> m_caseOrder;
};

}  // namespace ledger::bench
