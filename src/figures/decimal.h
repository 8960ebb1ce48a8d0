#pragma once
// Exact decimal numbers for totals, gains and files: no binary noise.
//
// A Decimal is a whole-number coefficient times a power of ten. Small
// coefficients (up to 38 digits) are held in a machine word pair and added
// without allocating; larger ones move to an arbitrary-precision integer, so
// no sum, difference or product ever overflows or loses a digit.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ledger {

class Decimal {
 public:
  Decimal() = default;  // 0
  static Decimal fromInt(std::int64_t v);

  // Plain or exponent decimal text ("-12.50", "1E+20", "1e-7"); '.' only,
  // no blanks, no thousands separators. nullopt for anything else,
  // including exponents beyond +/-kMaxExponent.
  static std::optional<Decimal> parse(std::string_view text);
  static constexpr int kMaxExponent = 9999;

  // The exact value of the shortest decimal text that reads back to d
  // (std::to_chars shortest). REQUIRES: d is finite.
  static Decimal fromDouble(double d);

  // The common case, small coefficients of one scale, is worked inline; the
  // rest out of line (decimal.cpp).
  friend Decimal operator+(const Decimal& a, const Decimal& b) {
    Decimal sum;
    if (addSmall(a, b, false, sum)) return sum;
    return plus(a, b);
  }
  friend Decimal operator-(const Decimal& a, const Decimal& b) {
    Decimal difference;
    if (addSmall(a, b, true, difference)) return difference;
    return minus(a, b);
  }
  friend Decimal operator*(const Decimal& a, const Decimal& b) {
    // Two word-sized coefficients (every stored double's) cannot overflow.
    if (wordSized(a) && wordSized(b)) return Decimal(a.m_small * b.m_small, a.m_exp + b.m_exp);
    return times(a, b);
  }
  Decimal operator-() const;
  Decimal& operator+=(const Decimal& other) {
    if (!addSmall(*this, other, false, *this)) addSlow(other);
    return *this;
  }
  Decimal& operator-=(const Decimal& other) {
    if (!addSmall(*this, other, true, *this)) subtractSlow(other);
    return *this;
  }

  // this / divisor rounded half-even to `decimals` places (decimals may be
  // negative: -2 rounds to hundreds). REQUIRES divisor != 0.
  Decimal dividedBy(const Decimal& divisor, int decimals) const;
  // Rounded half-even to `decimals` places.
  Decimal rounded(int decimals) const;

  // -1, 0, 1
  int sign() const {
    if (isBig()) return bigSign();
    return m_small > 0 ? 1 : (m_small < 0 ? -1 : 0);
  }
  bool isZero() const { return sign() == 0; }

  // By value: 1.50 == 1.5.
  friend bool operator==(const Decimal& a, const Decimal& b) { return a <=> b == 0; }
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b) {
    if (!a.isBig() && !b.isBig() && a.m_exp == b.m_exp) return a.m_small <=> b.m_small;
    return compare(a, b);
  }

  // Plain text, never an exponent, no trailing zeros, '.' point: for files.
  std::string toPlainString() const;
  // The program's display form (see formatNumber in value.h): plain from
  // 0.000001 up to below 10^15, otherwise "1.5E+20" / "1E-07"; all digits
  // kept.
  std::string toDisplayString() const;
  // With exactly `decimals` places after the point, rounded half-even
  // (percentages: 2). REQUIRES: decimals >= 0.
  std::string toFixedString(int decimals) const;
  // The nearest double (correctly rounded); +/-infinity beyond its range.
  double toDouble() const;

  // The value is coefficient × 10^exponent; the coefficient's digits as
  // text (with '-' when negative) and the exponent, as held (not reduced).
  std::string coefficientString() const;
  int exponent() const { return m_exp; }

  struct Big;  // the arbitrary-precision coefficient, defined in decimal.cpp

 private:
  __extension__ typedef __int128 Small;
  __extension__ typedef unsigned __int128 USmall;

  // A counted share of a big coefficient in one pointer (a shared_ptr takes
  // two), so that a Decimal is 32 bytes: a report keeps millions of them.
  class BigRef {
   public:
    BigRef() = default;
    // Takes over the count a new Big starts with.
    explicit BigRef(const Big* big) : m_big(big) {}
    BigRef(const BigRef& other) : m_big(other.m_big) {
      if (m_big) retain(m_big);
    }
    BigRef(BigRef&& other) noexcept : m_big(std::exchange(other.m_big, nullptr)) {}
    BigRef& operator=(const BigRef& other) {
      BigRef copy(other);
      std::swap(m_big, copy.m_big);
      return *this;
    }
    BigRef& operator=(BigRef&& other) noexcept {
      std::swap(m_big, other.m_big);
      return *this;
    }
    ~BigRef() {
      if (m_big) release(m_big);
    }
    const Big* get() const { return m_big; }
    const Big* operator->() const { return m_big; }

   private:
    static void retain(const Big* big);
    static void release(const Big* big);
    const Big* m_big = nullptr;
  };

  Decimal(Small coefficient, int exponent) : m_small(coefficient), m_exp(exponent) {}
  Decimal(BigRef big, int exponent);

  bool isBig() const { return m_big.get() != nullptr; }
  // Below 2^62 in magnitude: a product of two fits.
  static bool wordSized(const Decimal& d) {
    constexpr Small kWord = Small{1} << 62;
    return !d.isBig() && d.m_small > -kWord && d.m_small < kWord;
  }
  // The small coefficients stay above this, so that negating never overflows.
  static constexpr Small kSmallMin = static_cast<Small>(USmall{1} << 127);
  // a + b (a - b when subtract) into out, where both are small, of one
  // scale, and the result stays small. False, out untouched, otherwise: the
  // rest is worked out of line.
  static bool addSmall(const Decimal& a, const Decimal& b, bool subtract, Decimal& out) {
    if (a.isBig() || b.isBig() || a.m_exp != b.m_exp) return false;
    Small result;
    if (subtract ? __builtin_sub_overflow(a.m_small, b.m_small, &result)
                 : __builtin_add_overflow(a.m_small, b.m_small, &result))
      return false;
    if (result == kSmallMin) return false;
    out.m_small = result;
    out.m_exp = a.m_exp;
    return true;
  }

  // The out-of-line rest of the arithmetic.
  static Decimal plus(const Decimal& a, const Decimal& b);
  static Decimal minus(const Decimal& a, const Decimal& b);
  static Decimal times(const Decimal& a, const Decimal& b);
  static std::strong_ordering compare(const Decimal& a, const Decimal& b);
  Decimal& addSlow(const Decimal& other);
  Decimal& subtractSlow(const Decimal& other);
  int bigSign() const;

  // value = (m_big ? *m_big : m_small) × 10^m_exp
  Small m_small = 0;
  int m_exp = 0;
  BigRef m_big;

  friend struct DecimalOps;
};

}  // namespace ledger
