#include "transfer/import_limits.h"

#include "figures/number_limits.h"

namespace ledger {

std::optional<LimitFault> checkImportLimits(const Trade& t) {
  // The entry form's own limits and messages.
  const std::pair<ImportField, TradeNumber> fields[] = {{ImportField::Quantity, TradeNumber::Quantity},
                                                        {ImportField::Price, TradeNumber::Price},
                                                        {ImportField::Commission, TradeNumber::Commission}};
  const double values[] = {t.quantity, t.price, t.commission};
  for (std::size_t i = 0; i < 3; ++i)
    if (std::optional<std::string> message = checkTradeNumber(fields[i].second, values[i]))
      return LimitFault{fields[i].first, *message};
  return std::nullopt;
}

}  // namespace ledger
