// The duplicate check's set of trades: a trade is found only when every
// field is the same, and nothing is lost as the set grows.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "transfer/trade_key_set.h"

namespace ledger {
namespace {

struct KeyTrade {
  std::string symbol;
  std::string date;
  TradeSide side;
  double quantity, price, commission;
};

void insert(TradeKeySet& set, const KeyTrade& t) {
  set.insert(t.symbol, t.date, t.side, t.quantity, t.price, t.commission);
}
bool contains(const TradeKeySet& set, const KeyTrade& t) {
  return set.contains(t.symbol, t.date, t.side, t.quantity, t.price, t.commission);
}

const KeyTrade kHeld{"IBM", "2024-01-02", TradeSide::Buy, 10, 100.25, 9.95};

struct LookupCase {
  const char* name;
  KeyTrade asked;
  bool found;
};

void PrintTo(const LookupCase& c, std::ostream* os) { *os << c.name; }

class TradeKeySetTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(TradeKeySetTest, FindsOnlyTheSameTrade) {
  TradeKeySet set;
  EXPECT_FALSE(contains(set, GetParam().asked)) << "an empty set holds nothing";
  insert(set, kHeld);
  // Rows a ledger may hold that no import writes: no date, dates of other
  // shapes, a date shaped like one that is none, no symbol.
  insert(set, {"IBM", "", TradeSide::Sell, 1, 2, 0});
  insert(set, {"IBM", "1/2/2024", TradeSide::Buy, 1, 2, 0});
  insert(set, {"IBM", "2024-13-45", TradeSide::Buy, 1, 2, 0});
  insert(set, {"", "2024-01-02", TradeSide::Buy, 1, 2, 0});
  EXPECT_EQ(contains(set, GetParam().asked), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    Trades, TradeKeySetTest,
    ::testing::Values(LookupCase{"TheSame", kHeld, true},
                      LookupCase{"OtherSymbol", {"IBN", "2024-01-02", TradeSide::Buy, 10, 100.25, 9.95}, false},
                      LookupCase{"SymbolInOtherCase", {"ibm", "2024-01-02", TradeSide::Buy, 10, 100.25, 9.95}, false},
                      LookupCase{"OtherDay", {"IBM", "2024-01-03", TradeSide::Buy, 10, 100.25, 9.95}, false},
                      LookupCase{"OtherYear", {"IBM", "2023-01-02", TradeSide::Buy, 10, 100.25, 9.95}, false},
                      LookupCase{"OtherSide", {"IBM", "2024-01-02", TradeSide::Sell, 10, 100.25, 9.95}, false},
                      LookupCase{"OtherQuantity", {"IBM", "2024-01-02", TradeSide::Buy, 11, 100.25, 9.95}, false},
                      LookupCase{"PriceOffInTheLastBit",
                                 {"IBM", "2024-01-02", TradeSide::Buy, 10, 100.25000000000001, 9.95}, false},
                      LookupCase{"OtherCommission", {"IBM", "2024-01-02", TradeSide::Buy, 10, 100.25, 9.96}, false},
                      LookupCase{"AmountsSwapped", {"IBM", "2024-01-02", TradeSide::Buy, 100.25, 10, 9.95}, false},
                      LookupCase{"NoDate", {"IBM", "", TradeSide::Sell, 1, 2, 0}, true},
                      LookupCase{"NoDateOtherSide", {"IBM", "", TradeSide::Buy, 1, 2, 0}, false},
                      LookupCase{"DateOfOtherShape", {"IBM", "1/2/2024", TradeSide::Buy, 1, 2, 0}, true},
                      LookupCase{"OtherDateOfOtherShape", {"IBM", "01/02/2024", TradeSide::Buy, 1, 2, 0}, false},
                      LookupCase{"DateShapedButNone", {"IBM", "2024-13-45", TradeSide::Buy, 1, 2, 0}, true},
                      LookupCase{"NoSymbol", {"", "2024-01-02", TradeSide::Buy, 1, 2, 0}, true},
                      LookupCase{"MinusZeroIsZero", {"", "2024-01-02", TradeSide::Buy, 1, 2, -0.0}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TradeKeySetGrowthTest, KeepsEveryTradeAsItGrows) {
  TradeKeySet set;
  auto tradeOf = [](int i) {
    char date[16];  // room the compiler can prove for any int
    std::snprintf(date, sizeof date, "20%02d-%02d-%02d", i % 30, 1 + i % 12, 1 + i % 28);
    return KeyTrade{"S" + std::to_string(i % 37), date, i % 2 ? TradeSide::Buy : TradeSide::Sell,
                    static_cast<double>(i), i / 7.0, i % 3 * 0.5};
  };
  for (int i = 0; i < 20000; i += 2) insert(set, tradeOf(i));
  insert(set, tradeOf(0));  // once only
  EXPECT_EQ(set.size(), 10000u);
  for (int i = 0; i < 20000; ++i) EXPECT_EQ(contains(set, tradeOf(i)), i % 2 == 0) << i;
}

}  // namespace
}  // namespace ledger
