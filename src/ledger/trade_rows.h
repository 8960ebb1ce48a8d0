#pragma once
// A row of Trade as the reports read it: its side and numbers checked the
// same way for every report, so that a row one report leaves out no other
// counts.

#include <optional>
#include <string>

#include "engine/statement.h"
#include "figures/gains.h"

namespace ledger {

// The columns a report selects from Trade, in this order.
enum TradeColumn { kTradeRowid, kTradeSymbol, kTradeDate, kTradeSide, kTradeQuantity, kTradePrice, kTradeCommission };
#define LEDGER_TRADE_REPORT_COLUMNS "rowid, CompanySymbol, Date, [Buy/Sell], Quantity, Price, Commission"

// A row's side and numbers, as the reports take them.
struct TradeRowFigures {
  TradeSide side = TradeSide::Buy;
  StoredNumber quantity{}, price{}, commission{};
};

// A number column; nullopt when it holds no finite number.
std::optional<StoredNumber> columnNumber(const Statement& row, int col);

// Reads the row's side and numbers into figures; the reason it cannot be
// used otherwise (no quantity above zero, ...). A missing commission is
// none. The symbol and date are the caller's to check.
std::optional<std::string> readTradeRowFigures(const Statement& row, TradeRowFigures& figures);

}  // namespace ledger
