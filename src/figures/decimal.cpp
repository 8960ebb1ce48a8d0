#include "figures/decimal.h"

#include "engine/value.h"

#include <boost/multiprecision/cpp_int.hpp>
#include <algorithm>
#include <array>
#include <atomic>
#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <system_error>

namespace ledger {

using BigInt = boost::multiprecision::cpp_int;

struct Decimal::Big {
  BigInt v;
  mutable std::atomic<long> refs{1};
};

void Decimal::BigRef::retain(const Big* big) { big->refs.fetch_add(1, std::memory_order_relaxed); }

void Decimal::BigRef::release(const Big* big) {
  if (big->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete big;
}

namespace {

__extension__ typedef __int128 Small;
__extension__ typedef unsigned __int128 USmall;


constexpr int kSmallPowers = 39;  // 10^0 .. 10^38 fit in 127 bits
constexpr std::array<Small, kSmallPowers> makeSmallPowers() {
  std::array<Small, kSmallPowers> p{};
  p[0] = 1;
  for (int i = 1; i < kSmallPowers; ++i) p[i] = p[i - 1] * 10;
  return p;
}
constexpr auto kPow10 = makeSmallPowers();

BigInt bigPow10(int n) { return boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(n)); }

BigInt toBig(Small v) {
  const USmall mag = v < 0 ? static_cast<USmall>(-v) : static_cast<USmall>(v);
  BigInt b = static_cast<std::uint64_t>(mag >> 64);
  b <<= 64;
  b += static_cast<std::uint64_t>(mag);
  return v < 0 ? BigInt(-b) : b;
}

std::optional<Small> toSmall(const BigInt& b) {
  if (b.is_zero()) return Small{0};
  const BigInt mag = abs(b);
  if (boost::multiprecision::msb(mag) >= 127) return std::nullopt;
  const auto lo = static_cast<std::uint64_t>(mag & std::numeric_limits<std::uint64_t>::max());
  const auto hi = static_cast<std::uint64_t>(mag >> 64);
  const Small s = static_cast<Small>((static_cast<USmall>(hi) << 64) | lo);
  return b.sign() < 0 ? -s : s;
}

// Whole-number division rounded half-even. REQUIRES den != 0; for Small,
// both within the fast-path range.
template <class T>
T divideHalfEven(T num, T den) {
  if (den < 0) {
    num = -num;
    den = -den;
  }
  T q = num / den;  // truncates toward zero; r takes num's sign
  T r = num % den;
  const T ar = r < 0 ? T(-r) : r;
  const T rest = den - ar;
  if (ar > rest || (ar == rest && q % 2 != 0)) q += (num < 0 ? -1 : 1);
  return q;
}

// The same for small numbers, in one machine word when both fit: a 128-bit
// division is a call into the runtime, several times slower.
Small divideSmallHalfEven(Small num, Small den) {
  constexpr Small kWordMax = std::numeric_limits<std::int64_t>::max();
  if (num >= -kWordMax && num <= kWordMax && den >= -kWordMax && den <= kWordMax)
    return divideHalfEven(static_cast<std::int64_t>(num), static_cast<std::int64_t>(den));
  return divideHalfEven(num, den);
}

// Decimal digits of a non-negative small number.
std::string smallDigits(USmall v) {
  if (v == 0) return "0";
  char buf[48];
  char* p = buf + sizeof buf;
  while (v != 0) {
    *--p = static_cast<char>('0' + static_cast<int>(v % 10));
    v /= 10;
  }
  return std::string(p, buf + sizeof buf);
}

// Reads digits[dot]digits[e[sign]digits] (sign already taken). Fills the
// coefficient's digits (without the point) and the exponent.
bool scanNumber(std::string_view s, std::string_view& intPart, std::string_view& fracPart, long& exponent) {
  size_t i = 0;
  const size_t intStart = i;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
  intPart = s.substr(intStart, i - intStart);
  fracPart = {};
  if (i < s.size() && s[i] == '.') {
    const size_t fracStart = ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    fracPart = s.substr(fracStart, i - fracStart);
  }
  if (intPart.empty() && fracPart.empty()) return false;
  exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const size_t expStart = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      // Saturate: anything this large is refused by the range check anyway.
      if (exponent < 1'000'000'000L) exponent = exponent * 10 + (s[i] - '0');
      ++i;
    }
    if (i == expStart) return false;
    if (negative) exponent = -exponent;
  }
  return i == s.size();
}

}  // namespace

// The arithmetic, with access to the representation.
struct DecimalOps {
  // The fast path keeps clear of -2^127, so that negation never overflows.
  static bool fitsSmall(Small v) { return v != Decimal::kSmallMin; }

  static BigInt coefficient(const Decimal& d) { return d.isBig() ? d.m_big->v : toBig(d.m_small); }

  // A result from a big coefficient; back on the fast path when it fits.
  static Decimal make(BigInt v, int exponent) {
    if (auto s = toSmall(v)) return Decimal(*s, exponent);
    return Decimal(Decimal::BigRef(new Decimal::Big{std::move(v)}), exponent);
  }

  // Scales the small coefficient c down by 10^shift exponent steps, i.e.
  // c × 10^shift; nullopt when it leaves the fast path.
  static std::optional<Small> scaleUp(Small c, int shift) {
    if (shift >= kSmallPowers) return c == 0 ? std::optional<Small>(0) : std::nullopt;
    // Below 10^19 times at most 10^19: no overflow to check for.
    constexpr Small kSafe = 10'000'000'000'000'000'000ULL;
    if (shift <= 19 && c > -kSafe && c < kSafe) return c * kPow10[shift];
    Small r;
    if (__builtin_mul_overflow(c, kPow10[shift], &r) || !fitsSmall(r)) return std::nullopt;
    return r;
  }

  static Decimal add(const Decimal& a, const Decimal& b) {
    if (b.isZero()) return a;
    if (a.isZero()) return b;
    if (!a.isBig() && !b.isBig()) {
      Small ca = a.m_small, cb = b.m_small;
      const int exp = std::min(a.m_exp, b.m_exp);
      if (a.m_exp != b.m_exp) {
        auto sa = scaleUp(ca, a.m_exp - exp);
        auto sb = scaleUp(cb, b.m_exp - exp);
        if (!sa || !sb) return addBig(a, b);
        ca = *sa;
        cb = *sb;
      }
      Small sum;
      if (!__builtin_add_overflow(ca, cb, &sum) && fitsSmall(sum)) return Decimal(sum, exp);
    }
    return addBig(a, b);
  }

  static Decimal addBig(const Decimal& a, const Decimal& b) {
    const int exp = std::min(a.m_exp, b.m_exp);
    BigInt ca = coefficient(a), cb = coefficient(b);
    if (a.m_exp > exp) ca *= bigPow10(a.m_exp - exp);
    if (b.m_exp > exp) cb *= bigPow10(b.m_exp - exp);
    return make(ca + cb, exp);
  }

  static Decimal multiply(const Decimal& a, const Decimal& b) {
    const int exp = a.m_exp + b.m_exp;
    if (!a.isBig() && !b.isBig()) {
      Small p;
      if (!__builtin_mul_overflow(a.m_small, b.m_small, &p) && fitsSmall(p)) return Decimal(p, exp);
    }
    return make(coefficient(a) * coefficient(b), exp);
  }

  static Decimal negate(const Decimal& a) {
    if (!a.isBig()) return Decimal(-a.m_small, a.m_exp);
    return make(-a.m_big->v, a.m_exp);
  }

  static Decimal rounded(const Decimal& a, int decimals) {
    const int target = -decimals;
    if (a.m_exp >= target) return a;
    const long shift = static_cast<long>(target) - a.m_exp;
    if (!a.isBig()) {
      // |coefficient| < 1.8 × 10^38, so past 38 places it rounds to zero.
      if (shift >= kSmallPowers) return Decimal(Small{0}, target);
      return Decimal(divideSmallHalfEven(a.m_small, kPow10[shift]), target);
    }
    return make(divideHalfEven(a.m_big->v, bigPow10(static_cast<int>(shift))), target);
  }

  static Decimal divide(const Decimal& a, const Decimal& b, int decimals) {
    assert(!b.isZero());
    // a/b × 10^decimals = ca/cb × 10^k, rounded to a whole number.
    const long k = static_cast<long>(a.m_exp) - b.m_exp + decimals;
    if (!a.isBig() && !b.isBig() && k > -kSmallPowers && k < kSmallPowers) {
      std::optional<Small> num = a.m_small, den = b.m_small;
      if (k >= 0)
        num = scaleUp(a.m_small, static_cast<int>(k));
      else
        den = scaleUp(b.m_small, static_cast<int>(-k));
      if (num && den) return Decimal(divideSmallHalfEven(*num, *den), -decimals);
    }
    BigInt num = coefficient(a), den = coefficient(b);
    if (k >= 0)
      num *= bigPow10(static_cast<int>(k));
    else
      den *= bigPow10(static_cast<int>(-k));
    return make(divideHalfEven(num, den), -decimals);
  }

  static std::strong_ordering compare(const Decimal& a, const Decimal& b) {
    const int sa = a.sign(), sb = b.sign();
    if (sa != sb) return sa <=> sb;
    return add(a, negate(b)).sign() <=> 0;
  }

  // The coefficient's digits without sign and trailing zeros, and the
  // exponent that goes with them. Zero gives "0" and 0.
  static std::pair<std::string, int> reduced(const Decimal& a) {
    std::string digits;
    if (a.isBig())
      digits = BigInt(abs(a.m_big->v)).str();
    else
      digits = smallDigits(a.m_small < 0 ? static_cast<USmall>(-a.m_small) : static_cast<USmall>(a.m_small));
    if (digits == "0") return {digits, 0};
    int exp = a.m_exp;
    size_t end = digits.size();
    while (end > 1 && digits[end - 1] == '0') --end, ++exp;
    digits.resize(end);
    return {digits, exp};
  }

  static Decimal parse(bool negative, std::string_view intPart, std::string_view fracPart, long exponent) {
    const long exp = exponent - static_cast<long>(fracPart.size());
    // Up to 18 digits in a machine word, up to 37 in 128 bits, then big.
    std::uint64_t word = 0;
    Small c = 0;
    BigInt big;
    int digits = 0;
    for (std::string_view part : {intPart, fracPart}) {
      for (char ch : part) {
        const int digit = ch - '0';
        if (digits < 18) {
          word = word * 10 + static_cast<std::uint64_t>(digit);
        } else if (digits < 37) {
          if (digits == 18) c = static_cast<Small>(word);
          c = c * 10 + digit;
        } else {
          if (digits == 37) big = toBig(c);
          big = big * 10 + digit;
        }
        ++digits;
      }
    }
    if (digits <= 18) c = static_cast<Small>(word);
    if (digits <= 37) return Decimal(negative ? -c : c, static_cast<int>(exp));
    return make(negative ? BigInt(-big) : big, static_cast<int>(exp));
  }

  // a += b without a new value where both stay on the fast path.
  static void addInPlace(Decimal& a, const Decimal& b) {
    if (!a.isBig() && !b.isBig() && !b.isZero()) {
      Small cb = b.m_small;
      if (b.m_exp > a.m_exp) {
        const auto scaled = scaleUp(cb, b.m_exp - a.m_exp);
        if (!scaled) return void(a = add(a, b));
        cb = *scaled;
      } else if (b.m_exp < a.m_exp) {
        const auto scaled = scaleUp(a.m_small, a.m_exp - b.m_exp);
        if (!scaled) return void(a = add(a, b));
        a.m_small = *scaled;
        a.m_exp = b.m_exp;
      }
      Small sum;
      if (!__builtin_add_overflow(a.m_small, cb, &sum) && fitsSmall(sum)) {
        a.m_small = sum;
        return;
      }
    }
    a = add(a, b);
  }
};

Decimal::Decimal(BigRef big, int exponent) : m_exp(exponent), m_big(std::move(big)) {}

Decimal Decimal::fromInt(std::int64_t v) { return Decimal(static_cast<Small>(v), 0); }

std::optional<Decimal> Decimal::parse(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  std::string_view intPart, fracPart;
  long exponent = 0;
  if (!scanNumber(text, intPart, fracPart, exponent)) return std::nullopt;
  const long held = exponent - static_cast<long>(fracPart.size());
  if (exponent > kMaxExponent || exponent < -kMaxExponent || held < -kMaxExponent) return std::nullopt;
  return DecimalOps::parse(negative, intPart, fracPart, exponent);
}

Decimal Decimal::fromDouble(double d) {
  assert(std::isfinite(d));
  // Fast path, no text: n / 10^k with |n| < 10^15 that reads back to d. Two
  // different decimals of at most 15 digits never read as the same double,
  // so this is the value of d's shortest text too.
  static constexpr double kScale[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  for (int k = 0; k < static_cast<int>(std::size(kScale)); ++k) {
    const double scaled = d * kScale[k];
    if (!(std::fabs(scaled) < 1e15)) break;
    const double n = std::nearbyint(scaled);
    if (n / kScale[k] == d) return Decimal(static_cast<Small>(static_cast<std::int64_t>(n)), -k);
  }
  char buf[64];
  const auto result = std::to_chars(buf, buf + sizeof buf, d);
  std::string_view s(buf, static_cast<size_t>(result.ptr - buf));
  bool negative = false;
  if (!s.empty() && s.front() == '-') {
    negative = true;
    s.remove_prefix(1);
  }
  std::string_view intPart, fracPart;
  long exponent = 0;
  scanNumber(s, intPart, fracPart, exponent);
  return DecimalOps::parse(negative, intPart, fracPart, exponent);
}

Decimal Decimal::plus(const Decimal& a, const Decimal& b) { return DecimalOps::add(a, b); }
Decimal Decimal::minus(const Decimal& a, const Decimal& b) { return DecimalOps::add(a, DecimalOps::negate(b)); }
Decimal Decimal::times(const Decimal& a, const Decimal& b) { return DecimalOps::multiply(a, b); }
Decimal Decimal::operator-() const { return DecimalOps::negate(*this); }

Decimal& Decimal::addSlow(const Decimal& other) {
  DecimalOps::addInPlace(*this, other);
  return *this;
}

Decimal& Decimal::subtractSlow(const Decimal& other) {
  DecimalOps::addInPlace(*this, DecimalOps::negate(other));
  return *this;
}

Decimal Decimal::dividedBy(const Decimal& divisor, int decimals) const {
  return DecimalOps::divide(*this, divisor, decimals);
}

Decimal Decimal::rounded(int decimals) const { return DecimalOps::rounded(*this, decimals); }

int Decimal::bigSign() const { return m_big->v.sign(); }

std::strong_ordering Decimal::compare(const Decimal& a, const Decimal& b) { return DecimalOps::compare(a, b); }

std::string Decimal::coefficientString() const {
  if (isBig()) return m_big->v.str();
  const std::string digits = smallDigits(m_small < 0 ? static_cast<USmall>(-m_small) : static_cast<USmall>(m_small));
  return m_small < 0 ? "-" + digits : digits;
}

std::string Decimal::toPlainString() const {
  auto [digits, exp] = DecimalOps::reduced(*this);
  std::string out = sign() < 0 ? "-" : "";
  if (exp >= 0) {
    out += digits;
    if (digits != "0") out.append(static_cast<size_t>(exp), '0');
    return out;
  }
  const size_t places = static_cast<size_t>(-exp);
  if (digits.size() > places) {
    out += digits.substr(0, digits.size() - places) + "." + digits.substr(digits.size() - places);
  } else {
    out += "0." + std::string(places - digits.size(), '0') + digits;
  }
  return out;
}

std::string Decimal::toDisplayString() const {
  if (isZero()) return "0";
  auto [digits, exp] = DecimalOps::reduced(*this);
  // The leading digit stands for 10^lead.
  return layoutNumber(sign() < 0, digits, static_cast<long>(digits.size()) - 1 + exp);
}

std::string Decimal::toFixedString(int decimals) const {
  assert(decimals >= 0);
  const Decimal r = rounded(decimals);
  // Held with exactly `decimals` places (or fewer when already coarser).
  std::string digits = r.coefficientString();
  const bool negative = !digits.empty() && digits.front() == '-';
  if (negative) digits.erase(0, 1);
  if (digits == "0") return decimals == 0 ? "0" : "0." + std::string(static_cast<size_t>(decimals), '0');
  if (r.m_exp > -decimals) digits.append(static_cast<size_t>(r.m_exp + decimals), '0');
  std::string out = negative ? "-" : "";
  const size_t places = static_cast<size_t>(decimals);
  if (digits.size() <= places) digits.insert(0, places - digits.size() + 1, '0');
  out += digits.substr(0, digits.size() - places);
  if (places > 0) out += "." + digits.substr(digits.size() - places);
  return out;
}

double Decimal::toDouble() const {
  if (!isBig()) {
    // Both factors exact in a double: one correctly rounded operation.
    constexpr Small kExact = Small{1} << 53;
    if (m_small > -kExact && m_small < kExact && m_exp >= -22 && m_exp <= 22) {
      static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                           1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                           1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
      const double c = static_cast<double>(m_small);
      return m_exp >= 0 ? c * kPowers[m_exp] : c / kPowers[-m_exp];
    }
  }
  const std::string text = coefficientString() + "e" + std::to_string(m_exp);
  double d = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), d);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    auto [digits, exp] = DecimalOps::reduced(*this);
    const bool huge = static_cast<long>(digits.size()) + exp > 0;
    const double mag = huge ? std::numeric_limits<double>::infinity() : 0.0;
    return sign() < 0 ? -mag : mag;
  }
  return d;
}

}  // namespace ledger
