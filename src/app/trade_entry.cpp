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
  std::optional<TradeSide> side;
  if (form.isBuySelected() != form.isSellSelected())
    side = form.isBuySelected() ? TradeSide::Buy : TradeSide::Sell;
  return readTradeText({general(form, "CompanySymbol"), general(form, "Date"), general(form, "Quantity"),
                        general(form, "Price"), general(form, "Commission"), side});
}

std::variant<Trade, std::string> readTradeText(const TradeText& text) {
  Trade t;
  t.symbol = std::string(trimBlanks(text.symbol));
  if (t.symbol.empty()) return std::string("Please choose the company's symbol.");
  if (const auto unseen = unseenSymbolCharacter(t.symbol)) return unseenCharacterMessage(*unseen);
  t.date = text.date;
  if (!isIsoDate(t.date))
    return std::string("The trade date must be a date written YYYY-MM-DD, for example 2024-03-15.");
  struct NumberField {
    const std::string& text;
    TradeNumber which;
    double* target;
  };
  const NumberField numbers[] = {{text.quantity, TradeNumber::Quantity, &t.quantity},
                                 {text.price, TradeNumber::Price, &t.price},
                                 {text.commission, TradeNumber::Commission, &t.commission}};
  for (const NumberField& field : numbers)
    if (auto problem = checkTradeNumberText(field.which, field.text, field.target)) return *problem;
  if (!text.side) return std::string("Please choose Buy or Sell.");
  t.side = *text.side;
  return t;
}

}  // namespace ledger
