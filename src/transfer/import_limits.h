#pragma once
// The limits an imported trade must keep, the same ones the entry form
// keeps, with the field at fault.

#include <optional>
#include <string>

#include "transfer/import_plan.h"

namespace ledger {

struct LimitFault {
  ImportField field;
  std::string reason;
};

// nullopt when t's quantity, price and commission are within the limits.
std::optional<LimitFault> checkImportLimits(const Trade& t);

}  // namespace ledger
