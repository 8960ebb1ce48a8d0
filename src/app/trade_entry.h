#pragma once
// Reading the General tab of the entry form into a Trade, once, so that the
// check and the write see the same values.

#include <optional>
#include <string>
#include <variant>

#include "app/form_port.h"
#include "figures/trade.h"

namespace ledger {

// The trade the General tab holds, or a message naming the first field that
// is wrong. The CompanyID box is not read: the company follows the symbol.
std::variant<Trade, std::string> readGeneralTab(const FormPort& form);

// The same from the texts typed anywhere (the command line's options): the
// symbol, date and numbers as the General tab's boxes hold them, the side
// when one is chosen.
struct TradeText {
  std::string symbol, date, quantity, price, commission;
  std::optional<TradeSide> side;
};
std::variant<Trade, std::string> readTradeText(const TradeText& text);

}  // namespace ledger
