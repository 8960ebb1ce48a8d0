#include "import_limits.h"

#include <cmath>

namespace ledger {

std::optional<LimitFault> checkImportLimits(const Trade& t) {
  if (!std::isfinite(t.quantity)) return LimitFault{ImportField::Quantity, "the quantity is too large"};
  if (!std::isfinite(t.price)) return LimitFault{ImportField::Price, "the price is too large"};
  if (!std::isfinite(t.commission)) return LimitFault{ImportField::Commission, "the commission is too large"};
  return std::nullopt;
}

}  // namespace ledger
