#include "trade_entry.h"

#include <optional>

#include "value.h"

namespace ledger {

namespace {

std::string general(const FormPort& form, const char* column) {
  return form.boxText(column, kGeneralTab).value_or(std::string());
}

std::optional<double> nonNegative(const std::string& text) {
  const auto n = parseNumber(text);
  if (!n || *n < 0) return std::nullopt;
  return n;
}

}  // namespace

std::string trimSymbol(std::string_view symbol) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!symbol.empty() && blank(symbol.front())) symbol.remove_prefix(1);
  while (!symbol.empty() && blank(symbol.back())) symbol.remove_suffix(1);
  return std::string(symbol);
}

std::variant<Trade, std::string> readGeneralTab(const FormPort& form) {
  Trade t;
  t.symbol = trimSymbol(general(form, "CompanySymbol"));
  if (t.symbol.empty()) return std::string("Please choose the company's symbol.");
  t.date = general(form, "Date");
  if (!isIsoDate(t.date))
    return std::string("The trade date must be a date written YYYY-MM-DD, for example 2024-03-15.");
  struct NumberField {
    const char* column;
    double* target;
    const char* message;
  };
  const NumberField numbers[] = {
      {"Quantity", &t.quantity, "The quantity must be a number of 0 or more."},
      {"Price", &t.price, "The price must be a number of 0 or more."},
      {"Commission", &t.commission, "The commission must be a number of 0 or more."},
  };
  for (const NumberField& field : numbers) {
    const auto value = nonNegative(general(form, field.column));
    if (!value) return std::string(field.message);
    *field.target = *value;
  }
  if (form.isBuySelected() == form.isSellSelected()) return std::string("Please choose Buy or Sell.");
  t.side = form.isBuySelected() ? TradeSide::Buy : TradeSide::Sell;
  return t;
}

}  // namespace ledger
