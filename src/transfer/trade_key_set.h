#pragma once
// The trades of a ledger as an import's duplicate check needs them: two
// trades are the same when symbol, date, side, quantity, price and
// commission are (the amounts bit for bit, -0 as 0). Each trade takes 32
// bytes and no text of its own, so a ledger of a million trades is read
// into it quickly and held in little room.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "figures/trade.h"

namespace ledger {

class TradeKeySet {
 public:
  void reserve(std::size_t trades);
  void insert(std::string_view symbol, std::string_view date, TradeSide side, double quantity, double price,
              double commission);
  bool contains(std::string_view symbol, std::string_view date, TradeSide side, double quantity, double price,
                double commission) const;
  std::size_t size() const { return m_keys.size(); }

 private:
  struct Key {
    std::uint32_t symbol;
    std::uint32_t dateAndSide;  // the date's number, the side in the top bit
    std::uint64_t amounts[3];
    friend bool operator==(const Key&, const Key&) = default;
  };
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  using Names = std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>>;

  static std::uint64_t hashOf(const Key& key);
  static std::uint64_t slotOf(std::size_t index, std::uint64_t hash);
  // The number of a text, or kNone when it has none yet (lookup) or a new
  // one (numberOf adds it).
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};
  static std::uint32_t lookup(const Names& names, std::string_view text);
  static std::uint32_t numberOf(Names& names, std::string_view text);
  // A date's number: YYYYMMDD for any text shaped like one, else a number
  // of its own above every such date (see otherDate).
  static std::uint32_t shapedDate(std::string_view date);
  bool makeKey(std::string_view symbol, std::string_view date, TradeSide side, double quantity, double price,
               double commission, Key& key) const;
  // The slot that holds key, or the empty slot it would take.
  std::size_t findSlot(const Key& key, std::uint64_t hash) const;
  void grow();

  Names m_symbols;
  Names m_otherDates;
  std::vector<Key> m_keys;
  // 0 when empty, else the high half of the key's hash over 1 + its index
  // in m_keys: most keys that differ are told apart without reading them.
  std::vector<std::uint64_t> m_slots;
};

}  // namespace ledger
