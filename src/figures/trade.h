#pragma once
// One trade as the program passes it around: read once from the entry form
// (or an import, or the ledger) and then checked, written, undone and
// exported as this value, never as a bag of box texts.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ledger {

enum class TradeSide { Buy, Sell };

// The code stored in Trade's Buy/Sell column.
inline const char* sideCode(TradeSide side) { return side == TradeSide::Buy ? "B" : "S"; }
inline std::optional<TradeSide> sideFromCode(std::string_view code) {
  if (code == "B") return TradeSide::Buy;
  if (code == "S") return TradeSide::Sell;
  return std::nullopt;
}

struct Trade {
  std::int64_t companyId = 0;
  std::string symbol;
  std::string date;  // YYYY-MM-DD
  TradeSide side = TradeSide::Buy;
  double quantity = 0;
  double price = 0;
  double commission = 0;

  friend bool operator==(const Trade&, const Trade&) = default;
};

}  // namespace ledger
