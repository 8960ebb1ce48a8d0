#pragma once
// Exact decimal numbers for totals, gains and files: no binary noise.
//
// A Decimal is a whole-number coefficient times a power of ten. Small
// coefficients (up to 38 digits) are held in a machine word pair and added
// without allocating; larger ones move to an arbitrary-precision integer, so
// no sum, difference or product ever overflows or loses a digit.

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace ledger {

class Decimal {
 public:
  Decimal();  // 0
  static Decimal fromInt(std::int64_t v);

  // Plain or exponent decimal text ("-12.50", "1E+20", "1e-7"); '.' only,
  // no blanks, no thousands separators. nullopt for anything else,
  // including exponents beyond +/-kMaxExponent.
  static std::optional<Decimal> parse(std::string_view text);
  static constexpr int kMaxExponent = 9999;

  // The exact value of the shortest decimal text that reads back to d
  // (std::to_chars shortest). REQUIRES: d is finite.
  static Decimal fromDouble(double d);

  friend Decimal operator+(const Decimal& a, const Decimal& b);
  friend Decimal operator-(const Decimal& a, const Decimal& b);
  friend Decimal operator*(const Decimal& a, const Decimal& b);
  Decimal operator-() const;
  Decimal& operator+=(const Decimal& other);
  Decimal& operator-=(const Decimal& other);

  // this / divisor rounded half-even to `decimals` places (decimals may be
  // negative: -2 rounds to hundreds). REQUIRES divisor != 0.
  Decimal dividedBy(const Decimal& divisor, int decimals) const;
  // Rounded half-even to `decimals` places.
  Decimal rounded(int decimals) const;

  int sign() const;  // -1, 0, 1
  bool isZero() const;

  // By value: 1.50 == 1.5.
  friend bool operator==(const Decimal& a, const Decimal& b);
  friend std::strong_ordering operator<=>(const Decimal& a, const Decimal& b);

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

  Decimal(Small coefficient, int exponent) : m_small(coefficient), m_exp(exponent) {}
  Decimal(std::shared_ptr<const Big> big, int exponent);

  bool isBig() const { return m_big != nullptr; }

  // value = (m_big ? *m_big : m_small) × 10^m_exp
  Small m_small = 0;
  int m_exp = 0;
  std::shared_ptr<const Big> m_big;

  friend struct DecimalOps;
};

}  // namespace ledger
