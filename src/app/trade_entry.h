#pragma once
// Reading the General tab of the entry form into a Trade, once, so that the
// check and the write see the same values.

#include <string>
#include <variant>

#include "app/form_port.h"
#include "figures/trade.h"

namespace ledger {

// The trade the General tab holds, or a message naming the first field that
// is wrong. The CompanyID box is not read: the company follows the symbol.
std::variant<Trade, std::string> readGeneralTab(const FormPort& form);

}  // namespace ledger
