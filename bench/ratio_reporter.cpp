#include "ratio_reporter.h"

#include <algorithm>
#include <cstdio>
#include <tuple>
#include <vector>

#include "paired_cases.h"

namespace ledger::bench {

namespace {

std::string formatTime(double ns) {
  char text[32];
  if (ns < 0)
    std::snprintf(text, sizeof text, "-");
  else if (ns < 1e3)
    std::snprintf(text, sizeof text, "%.0f ns", ns);
  else if (ns < 1e6)
    std::snprintf(text, sizeof text, "%.1f us", ns / 1e3);
  else
    std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
  return text;
}

}  // namespace

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    // With repetitions the median stands for the pair; without, the one run.
    const bool usable = run.run_type == Run::RT_Aggregate ? run.aggregate_name == "median" : run.repetitions <= 1;
    if (!usable || run.error_occurred) continue;
    const std::string& name = run.run_name.function_name;  // "<case>/<side>"
    const auto slash = name.rfind('/');
    if (slash == std::string::npos) continue;
    const std::string caseName = name.substr(0, slash);
    const std::string side = name.substr(slash + 1);
    if (side != kEngineSide && side != kBareSide) continue;

    const double toNs = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
    m_caseOrder.emplace(caseName, static_cast<int>(m_caseOrder.size()));
    Twins& twins = m_pairs[{caseName, std::stoll(run.run_name.args)}];
    (side == kEngineSide ? twins.engine : twins.bare) = {run.GetAdjustedRealTime() * toNs,
                                                        run.GetAdjustedCPUTime() * toNs};
  }
  ConsoleReporter::ReportRuns(runs);
}

void RatioReporter::printRatios(std::ostream& out) const {
  if (m_pairs.empty()) return;
  struct Line {
    int order;
    std::int64_t trades;
    std::string text;
  };
  std::vector<Line> lines;
  for (const auto& [key, twins] : m_pairs) {
    const auto& [caseName, trades] = key;
    char wallRatio[32] = "-";
    char cpuRatio[32] = "-";
    if (twins.engine.wallNs >= 0 && twins.bare.wallNs > 0) {
      const double r = twins.engine.wallNs / twins.bare.wallNs;
      std::snprintf(wallRatio, sizeof wallRatio, "%.2f%s", r, r > kRatioTarget ? " *" : "");
    }
    if (twins.engine.cpuNs >= 0 && twins.bare.cpuNs > 0)
      std::snprintf(cpuRatio, sizeof cpuRatio, "%.2f", twins.engine.cpuNs / twins.bare.cpuNs);
    char text[256];
    std::snprintf(text, sizeof text, "%-16s %9lld %11s %11s %8s %8s", caseName.c_str(),
                  static_cast<long long>(trades), formatTime(twins.engine.wallNs).c_str(),
                  formatTime(twins.bare.wallNs).c_str(), wallRatio, cpuRatio);
    lines.push_back({m_caseOrder.at(caseName), trades, text});
  }
  std::sort(lines.begin(), lines.end(),
            [](const Line& a, const Line& b) { return std::tie(a.order, a.trades) < std::tie(b.order, b.trades); });

  char heading[256];
  std::snprintf(heading, sizeof heading, "%-16s %9s %11s %11s %8s %8s", "case", "trades", "engine", "bare",
                "ratio", "cpu");
  out << "\n" << heading << "\n" << std::string(68, '-') << "\n";
  for (const Line& line : lines) out << line.text << "\n";
  out << "ratio: engine/bare wall time, * above " << kRatioTarget
      << "x (the aim at 1,000,000 trades); cpu: the same for CPU time\n";
}

}  // namespace ledger::bench
