#include "app/trade_entry.h"

#include <optional>

#include "figures/number_limits.h"
#include "engine/blanks.h"
#include "ledger/symbol_text.h"
#include "engine/value.h"

namespace ledger {

namespace {

std::string general(const FormPort& form, const char* column) {
  return form.boxText(column, kGeneralTab).value_or(std::string());
}

}  // namespace

std::variant<Trade, std::string> readGeneralTab(const FormPort& form) {
  Trade t;
  t.symbol = std::string(trimBlanks(general(form, "CompanySymbol")));
  if (t.symbol.empty()) return std::string("Please choose the company's symbol.");
  if (const auto unseen = unseenSymbolCharacter(t.symbol)) return unseenCharacterMessage(*unseen);
  t.date = general(form, "Date");
  if (!isIsoDate(t.date))
    return std::string("The trade date must be a date written YYYY-MM-DD, for example 2024-03-15.");
  struct NumberField {
    const char* column;
    TradeNumber which;
    double* target;
  };
  const NumberField numbers[] = {{"Quantity", TradeNumber::Quantity, &t.quantity},
                                 {"Price", TradeNumber::Price, &t.price},
                                 {"Commission", TradeNumber::Commission, &t.commission}};
  for (const NumberField& field : numbers)
    if (auto problem = checkTradeNumberText(field.which, general(form, field.column), field.target)) return *problem;
  if (form.isBuySelected() == form.isSellSelected()) return std::string("Please choose Buy or Sell.");
  t.side = form.isBuySelected() ? TradeSide::Buy : TradeSide::Sell;
  return t;
}

}  // namespace ledger
