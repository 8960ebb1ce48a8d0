#pragma once
// The steps and the text of the values on a chart's axis.

#include <string>

namespace ledger {

// A chart axis value reached by adding step to step (0.1 + 0.1 + 0.1), shown
// rounded to the step's own decimals, so "0.3" and not its binary noise.
// REQUIRES: step > 0.
std::string formatAxisValue(double value, double step);

// The step between the axis's values: 1, 2 or 5 times a power of ten, near
// span / ticks. REQUIRES: span > 0, ticks > 0.
double niceAxisStep(double span, int ticks);

}  // namespace ledger
