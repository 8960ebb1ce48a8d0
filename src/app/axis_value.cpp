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

}  // namespace ledger
