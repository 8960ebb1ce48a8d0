#include "figures/number_limits.h"

#include <cmath>

#include "engine/value.h"

namespace ledger {

namespace {

const char* nameOf(TradeNumber which) {
  switch (which) {
    case TradeNumber::Quantity:
      return "quantity";
    case TradeNumber::Price:
      return "price";
    case TradeNumber::Commission:
      return "commission";
  }
  return "number";
}

std::string rangeMessage(TradeNumber which) {
  return std::string("The ") + nameOf(which) + " must be a number from 0 to " + formatNumber(maxTradeNumber(which)) +
         ".";
}

}  // namespace

double maxTradeNumber(TradeNumber) { return kMaxTradeNumber; }

std::optional<std::string> checkTradeNumber(TradeNumber which, double v) {
  // Written so that NaN fails too.
  if (!(v >= 0 && v <= maxTradeNumber(which))) return rangeMessage(which);
  return std::nullopt;
}

std::optional<std::string> checkTradeNumberText(TradeNumber which, std::string_view text, double* value) {
  const auto n = parseNumber(text);
  if (!n) return rangeMessage(which);
  if (auto problem = checkTradeNumber(which, *n)) return problem;
  if (value) *value = *n;
  return std::nullopt;
}

}  // namespace ledger
