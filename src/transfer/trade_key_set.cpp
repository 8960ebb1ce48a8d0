#include "transfer/trade_key_set.h"

#include <cstring>

#include "engine/large_pages.h"

namespace ledger {

namespace {

constexpr std::uint32_t kSideBit = std::uint32_t{1} << 31;
// Above 9999-99-99, the largest number a date shaped text gives.
constexpr std::uint32_t kFirstOtherDate = 100'000'000;

std::uint64_t amountBits(double d) {
  if (d == 0) d = 0;  // -0 and 0 are the same amount
  std::uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::uint64_t mix(std::uint64_t h) {
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  h *= 0xc4ceb9fe1a85ec53ULL;
  h ^= h >> 33;
  return h;
}

}  // namespace

std::uint64_t TradeKeySet::hashOf(const Key& key) {
  std::uint64_t h = mix((std::uint64_t{key.symbol} << 32) | key.dateAndSide);
  for (const std::uint64_t a : key.amounts) h = mix(h ^ (a + 0x9e3779b97f4a7c15ULL + (h << 6)));
  return h;
}

std::uint32_t TradeKeySet::lookup(const Names& names, std::string_view text) {
  const auto it = names.find(text);
  return it == names.end() ? kNone : it->second;
}

std::uint32_t TradeKeySet::numberOf(Names& names, std::string_view text) {
  if (const std::uint32_t n = lookup(names, text); n != kNone) return n;
  const auto n = static_cast<std::uint32_t>(names.size());
  names.emplace(std::string(text), n);
  return n;
}

std::uint32_t TradeKeySet::shapedDate(std::string_view d) {
  if (d.size() != 10 || d[4] != '-' || d[7] != '-') return kNone;
  std::uint32_t n = 0;
  for (const std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (!isDigit(d[i])) return kNone;
    n = n * 10 + static_cast<std::uint32_t>(d[i] - '0');
  }
  return n;
}

bool TradeKeySet::makeKey(std::string_view symbol, std::string_view date, TradeSide side, double quantity,
                          double price, double commission, Key& key) const {
  key.symbol = lookup(m_symbols, symbol);
  std::uint32_t day = shapedDate(date);
  if (day == kNone) {
    day = lookup(m_otherDates, date);
    if (day != kNone) day += kFirstOtherDate;
  }
  if (key.symbol == kNone || day == kNone) return false;
  key.dateAndSide = day | (side == TradeSide::Sell ? kSideBit : 0);
  key.amounts[0] = amountBits(quantity);
  key.amounts[1] = amountBits(price);
  key.amounts[2] = amountBits(commission);
  return true;
}

std::uint64_t TradeKeySet::slotOf(std::size_t index, std::uint64_t hash) {
  return (hash & ~std::uint64_t{0xffffffff}) | (index + 1);
}

void TradeKeySet::reserve(std::size_t trades) {
  if (trades > m_keys.capacity()) {
    m_keys.reserve(trades);
    adviseLargePages(m_keys.data(), m_keys.capacity() * sizeof(Key));
  }
  std::size_t slots = 16;
  while (slots < 2 * trades) slots *= 2;
  if (slots > m_slots.size()) {
    // The advice must come before the zeros are written.
    std::vector<std::uint64_t> fresh;
    fresh.reserve(slots);
    adviseLargePages(fresh.data(), slots * sizeof(std::uint64_t));
    fresh.assign(slots, 0);
    m_slots = std::move(fresh);
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
      const std::uint64_t hash = hashOf(m_keys[i]);
      m_slots[findSlot(m_keys[i], hash)] = slotOf(i, hash);
    }
  }
}

void TradeKeySet::grow() { reserve(m_slots.empty() ? 8 : m_slots.size()); }

std::size_t TradeKeySet::findSlot(const Key& key, std::uint64_t hash) const {
  const std::size_t mask = m_slots.size() - 1;
  const std::uint64_t tag = hash & ~std::uint64_t{0xffffffff};
  std::size_t slot = static_cast<std::size_t>(hash) & mask;
  for (;; slot = (slot + 1) & mask) {
    const std::uint64_t held = m_slots[slot];
    if (held == 0) return slot;
    if ((held & ~std::uint64_t{0xffffffff}) == tag && m_keys[(held & 0xffffffff) - 1] == key) return slot;
  }
}

void TradeKeySet::insert(std::string_view symbol, std::string_view date, TradeSide side, double quantity,
                         double price, double commission) {
  // At most half full, so that a search ends soon.
  if (2 * (m_keys.size() + 1) > m_slots.size()) grow();
  Key key;
  key.symbol = numberOf(m_symbols, symbol);
  std::uint32_t day = shapedDate(date);
  if (day == kNone) day = kFirstOtherDate + numberOf(m_otherDates, date);
  key.dateAndSide = day | (side == TradeSide::Sell ? kSideBit : 0);
  key.amounts[0] = amountBits(quantity);
  key.amounts[1] = amountBits(price);
  key.amounts[2] = amountBits(commission);
  const std::uint64_t hash = hashOf(key);
  const std::size_t slot = findSlot(key, hash);
  if (m_slots[slot] != 0) return;
  m_slots[slot] = slotOf(m_keys.size(), hash);
  m_keys.push_back(key);
}

bool TradeKeySet::contains(std::string_view symbol, std::string_view date, TradeSide side, double quantity,
                           double price, double commission) const {
  Key key;
  if (m_keys.empty() || !makeKey(symbol, date, side, quantity, price, commission, key)) return false;
  return m_slots[findSlot(key, hashOf(key))] != 0;
}

}  // namespace ledger
