#pragma once
// The text of a value on the chart's axis.

#include <string>

namespace ledger {

// A chart axis value reached by adding step to step (0.1 + 0.1 + 0.1), shown
// rounded to the step's own decimals, so "0.3" and not its binary noise.
// REQUIRES: step > 0.
std::string formatAxisValue(double value, double step);

}  // namespace ledger
