#include "app/price_commands.h"

#include "app/event_commands.h"
#include "engine/blanks.h"

namespace ledger {

std::variant<ClosePrice, std::string> readPrice(std::string_view symbol, std::string date, std::string_view close) {
  const std::optional<Decimal> typed = Decimal::parse(trimBlanks(close));
  if (!typed) return std::string("The closing price must be a number written with '.' as the point, for example 412.50.");
  return ClosePrice{std::string(trimBlanks(symbol)), std::move(date), *typed};
}

std::optional<std::string> savePrice(Database& db, const ClosePrice& price, SameDate sameDate) {
  return refusalOf("The price could not be saved.", [&] { addPrice(db, price, sameDate); });
}

std::optional<std::string> changePrice(Database& db, const ClosePrice& shown, const ClosePrice& price) {
  return refusalOf("The price could not be saved.", [&] { editPrice(db, shown, price); });
}

std::optional<std::string> removePrice(Database& db, std::string_view symbol, std::string_view date) {
  return refusalOf("The price could not be deleted.", [&] { deletePrice(db, symbol, date); });
}

}  // namespace ledger
