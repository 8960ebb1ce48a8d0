#pragma once
// Reading the General tab of the entry form into a Trade, once, so that the
// check and the write see the same values.

#include <string>
#include <string_view>
#include <variant>

#include "ledger/form_port.h"
#include "figures/trade.h"

namespace ledger {

// The symbol as the lookup and the save use it: without surrounding blanks.
std::string trimSymbol(std::string_view symbol);

// The trade the General tab holds, or a message naming the first field that
// is wrong. The CompanyID box is not read: the company follows the symbol.
std::variant<Trade, std::string> readGeneralTab(const FormPort& form);

}  // namespace ledger
