#include "app/axis_value.h"

#include <algorithm>
#include <cmath>

#include "engine/value.h"
#include "figures/decimal.h"

namespace ledger {

std::string formatAxisValue(double value, double step) {
  if (!std::isfinite(value) || !std::isfinite(step) || step <= 0) return formatNumber(value);
  // A step of m x 10^k has -k decimals (none for k >= 0).
  const int places = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
  return Decimal::fromDouble(value).rounded(places).toDisplayString();
}

double niceAxisStep(double span, int ticks) {
  const double raw = span / ticks;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (raw <= m * power) return m * power;
  return 10 * power;
}

}  // namespace ledger
