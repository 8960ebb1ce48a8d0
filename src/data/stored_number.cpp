#include "stored_number.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace ledger {

namespace {

constexpr int kMaxDecimals = 8;
constexpr double kLimit = 2251799813685248.0;  // 2^51

constexpr std::array<double, kMaxDecimals + 1> kPowers = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

// 10^-k, made once.
const std::array<Decimal, kMaxDecimals + 1>& scales() {
  static const std::array<Decimal, kMaxDecimals + 1> table = [] {
    std::array<Decimal, kMaxDecimals + 1> t;
    for (int k = 0; k <= kMaxDecimals; ++k) t[static_cast<size_t>(k)] = *Decimal::parse("1e-" + std::to_string(k));
    return t;
  }();
  return table;
}

}  // namespace

Decimal decimalFromStored(double d) {
  for (int k = 0; k <= kMaxDecimals; ++k) {
    const double power = kPowers[static_cast<size_t>(k)];
    const double r = std::nearbyint(d * power);
    if (!(std::fabs(r) < kLimit)) break;
    // Both r and 10^k are exact doubles and the division is correctly
    // rounded, so equality says that r / 10^k reads back as d.
    if (r / power == d) {
      const Decimal whole = Decimal::fromInt(static_cast<std::int64_t>(r));
      return k == 0 ? whole : whole * scales()[static_cast<size_t>(k)];
    }
  }
  return Decimal::fromDouble(d);
}

}  // namespace ledger
