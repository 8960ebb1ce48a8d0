#include "figures/irr.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ledger {

namespace {

constexpr double kDaysPerYear = 365.0;
// The relative error below which a sum of the flows is taken as zero: far
// above what adding a few thousand doubles loses, far below any real flow.
constexpr double kSignTolerance = 1e-9;
// Pieces of log x looked at before the count gives up.
constexpr int kMaxPieces = 20000;
constexpr int kMaxDepth = 80;

struct Term {
  double t;  // years to the end
  double c;  // in − out
  std::int32_t days;  // to the end
};

// f and f' at u = log x, split into positive and negative parts, each as a
// logarithm so that no power overflows: f = e^logPos − e^logNeg.
struct Parts {
  double logPos = -INFINITY, logNeg = -INFINITY;      // f
  double logPosD = -INFINITY, logNegD = -INFINITY;    // f'
};

// Below this a scaled power is taken as zero: it can no longer change a
// sum (and products of subnormal numbers are slow).
constexpr double kNegligible = 1e-300;

Parts partsAt(std::span<const Term> terms, double u) {
  // Each term scaled by the largest power, so that none exceeds its
  // amount: e^(t_k u − shift) is a power of e^(∓u/365) to the days between
  // the term and the one of the largest power (the oldest when u >= 0, the
  // newest otherwise), so the powers come by multiplying along the terms.
  const bool rising = u >= 0;
  const Term& top = rising ? terms.front() : terms.back();
  const double shift = top.t * u;
  const double step = std::exp(-std::fabs(u) / kDaysPerYear);  // the power of one day
  // Powers of step to small gaps, made as needed.
  constexpr std::int32_t kSmallGaps = 32;
  double small[kSmallGaps + 1];
  small[0] = 1;
  std::int32_t made = 0;
  double pos = 0, neg = 0, posD = 0, negD = 0;
  double e = 1;
  std::int32_t lastDays = top.days;
  const std::size_t n = terms.size();
  for (std::size_t i = 0; i < n && e > 0; ++i) {
    const Term& term = terms[rising ? i : n - 1 - i];
    const std::int32_t gap = rising ? lastDays - term.days : term.days - lastDays;
    lastDays = term.days;
    if (gap <= kSmallGaps) {
      for (; made < gap; ++made) small[made + 1] = small[made] * step;
      e *= small[gap];
    } else {
      e *= std::pow(step, gap);
    }
    if (e < kNegligible) e = 0;
    if (term.c > 0) {
      pos += term.c * e;
      posD += term.c * term.t * e;
    } else {
      neg -= term.c * e;
      negD -= term.c * term.t * e;
    }
  }
  const auto log0 = [](double v) { return v > 0 ? std::log(v) : -INFINITY; };
  return {shift + log0(pos), shift + log0(neg), shift + log0(posD), shift + log0(negD)};
}

// +1, −1, or 0 when f is too near zero at this point to say.
int signAt(const Parts& p) {
  const double margin = std::log1p(kSignTolerance);
  if (p.logPos > p.logNeg + margin) return 1;
  if (p.logNeg > p.logPos + margin) return -1;
  return 0;
}

std::optional<int> sumChangesAt(std::span<const Term> terms, double u0, bool above);

class RootCount {
 public:
  explicit RootCount(std::span<const Term> terms) : m_terms(terms) {}

  // The roots of f in (a, b), f's sign known and nonzero at both ends;
  // nullopt when they could not be counted for sure. Stops at 2.
  std::optional<int> count(double a, const Parts& pa, double b, const Parts& pb, int depth) {
    if (++m_pieces > kMaxPieces || depth > kMaxDepth) return std::nullopt;
    const double margin = std::log1p(kSignTolerance);
    // Both parts grow with u, so over [a, b] each lies between its ends.
    if (pa.logPos > pb.logNeg + margin || pb.logPos + margin < pa.logNeg) return 0;
    // Monotone on [a, b]: one root when the ends differ in sign.
    if (pa.logPosD > pb.logNegD + margin || pb.logPosD + margin < pa.logNegD) return signAt(pa) != signAt(pb) ? 1 : 0;
    // The running sums scaled to a bound the roots above it, to b those
    // below it; at most one, the ends' signs say whether there is one.
    const std::optional<int> above = sumChangesAt(m_terms, a, true);
    const std::optional<int> below = sumChangesAt(m_terms, b, false);
    if ((above && *above <= 1) || (below && *below <= 1)) return signAt(pa) != signAt(pb) ? 1 : 0;
    // Split where f's sign can be told.
    for (const double share : {0.5, 0.37, 0.63}) {
      const double m = a + (b - a) * share;
      if (!(m > a && m < b)) break;
      const Parts pm = partsAt(m_terms, m);
      if (signAt(pm) == 0) continue;
      const std::optional<int> left = count(a, pa, m, pm, depth + 1);
      if (!left) return std::nullopt;
      if (*left > 1) return left;
      const std::optional<int> right = count(m, pm, b, pb, depth + 1);
      if (!right) return std::nullopt;
      return *left + *right;
    }
    return std::nullopt;
  }

 private:
  std::span<const Term> m_terms;
  int m_pieces = 0;
};

// The sign changes of the running sums of the terms scaled to the pivot
// x0 = e^u0 (c_k x0^t_k, all divided by the largest), oldest first when
// `above`, newest first otherwise; nullopt when a sum is too near zero to
// tell its sign. Oldest first they bound the roots x > x0, newest first
// those x < x0: with y = x / x0 and u = log y, for y > 1 the sum is u times
// the Laplace transform of the step function of the running sums (the
// last continued to −∞), and such a transform has no more zeros than its
// function changes sign; newest first the same holds for y < 1.
std::optional<int> sumChangesAt(std::span<const Term> terms, double u0, bool above) {
  double shift = -INFINITY;
  for (const Term& term : terms) shift = std::max(shift, term.t * u0);
  std::vector<double> scaled(terms.size());
  double sumAbs = 0;
  for (std::size_t i = 0; i < terms.size(); ++i) {
    const double power = terms[i].t * u0 - shift;
    scaled[i] = power < -700 ? 0 : terms[i].c * std::exp(power);
    sumAbs += std::fabs(scaled[i]);
  }
  const double nearZero = kSignTolerance * sumAbs;
  double sum = 0;
  int changes = 0, lastSign = 0;
  for (std::size_t n = 0; n < scaled.size(); ++n) {
    sum += scaled[above ? n : scaled.size() - 1 - n];
    if (std::fabs(sum) <= nearZero) return std::nullopt;
    const int sign = sum > 0 ? 1 : -1;
    if (lastSign != 0 && sign != lastSign) ++changes;
    lastSign = sign;
  }
  return changes;
}

// The one root of f between lo and hi, whose signs differ (signLo at lo):
// Newton's steps from f and f', kept inside the bracket, which halves
// where a step would leave it or gain too little.
double bisect(std::span<const Term> terms, double lo, double hi, int signLo) {
  double a = lo, b = hi;
  double u = a + (b - a) / 2;
  double width = b - a;  // the bracket's width two steps back
  for (int i = 0; i < 200; ++i) {
    const Parts p = partsAt(terms, u);
    // The sign as computed, however near zero: only the root's last digits depend on it.
    const int s = p.logPos > p.logNeg ? 1 : p.logPos < p.logNeg ? -1 : 0;
    if (s == 0) return u;
    (s == signLo ? a : b) = u;
    if (b - a <= 1e-14 * std::max(1.0, std::fabs(a))) break;
    const double scale = std::max(p.logPos, p.logNeg);
    const double f = std::exp(p.logPos - scale) - std::exp(p.logNeg - scale);
    const double slope = std::exp(p.logPosD - scale) - std::exp(p.logNegD - scale);
    const double next = slope != 0 ? u - f / slope : a - 1;
    // A step that stays inside is taken while the steps keep halving the
    // bracket; otherwise the bracket is halved.
    const bool shrinking = b - a <= width / 2;
    width = b - a;
    if (shrinking && next > a && next < b) {
      if (std::fabs(next - u) <= 1e-15 * std::max(1.0, std::fabs(u))) return next;
      u = next;
    } else {
      u = a + (b - a) / 2;
    }
  }
  return a + (b - a) / 2;
}

// Whether the root near u is shown to be f's only one: f crosses zero
// monotonely in a narrow piece around it, and the running sums scaled to
// the piece's ends show no root above it and none below.
bool aloneNear(std::span<const Term> terms, double u) {
  const double half = 1e-7 * std::max(1.0, std::fabs(u));
  const double a = u - half, b = u + half;
  const Parts pa = partsAt(terms, a), pb = partsAt(terms, b);
  const double margin = std::log1p(kSignTolerance);
  const bool monotone = pa.logPosD > pb.logNegD + margin || pb.logPosD + margin < pa.logNegD;
  if (!monotone || signAt(pa) == 0 || signAt(pb) == 0 || signAt(pa) == signAt(pb)) return false;
  const std::optional<int> above = sumChangesAt(terms, b, true);
  const std::optional<int> below = sumChangesAt(terms, a, false);
  return above && below && *above == 0 && *below == 0;
}

}  // namespace

RateResult solveAnnualRate(std::span<const RateFlow> flows) {
  std::vector<Term> terms;
  terms.reserve(flows.size());
  for (const RateFlow& flow : flows)
    if (flow.amount != 0) terms.push_back({flow.daysToEnd / kDaysPerYear, flow.amount, flow.daysToEnd});
  if (terms.empty()) return {RateOutcome::NotUnique, std::nullopt};  // every rate balances nothing

  int changes = 0;
  for (std::size_t i = 1; i < terms.size(); ++i)
    if ((terms[i].c > 0) != (terms[i - 1].c > 0)) ++changes;
  if (changes == 0) return {RateOutcome::NoRate, std::nullopt};

  // Beyond these ends of log x the oldest term (above) or the newest
  // (below) outweighs all others together, so f keeps their signs there.
  double sumAbs = 0;
  for (const Term& term : terms) sumAbs += std::fabs(term.c);
  const Term& oldest = terms.front();
  const Term& newest = terms.back();
  const double gapOld = oldest.t - terms[1].t;
  const double gapNew = terms[terms.size() - 2].t - newest.t;
  const double restOld = (sumAbs - std::fabs(oldest.c)) / std::fabs(oldest.c);
  const double restNew = (sumAbs - std::fabs(newest.c)) / std::fabs(newest.c);
  const double hi = std::max(0.0, std::log(std::max(restOld, 1.0)) / gapOld) + 1;
  const double lo = std::min(0.0, -std::log(std::max(restNew, 1.0)) / gapNew) - 1;

  const Parts pLo = partsAt(terms, lo), pHi = partsAt(terms, hi);
  if (changes > 1) {
    if (signAt(pLo) == 0 || signAt(pHi) == 0) return {RateOutcome::NotUnique, std::nullopt};
    // The running sums bound the roots on each side of r = 0.
    const std::optional<int> above = sumChangesAt(terms, 0, true);
    const std::optional<int> below = sumChangesAt(terms, 0, false);
    if (above && below && *above + *below <= 1) {
      if (signAt(pLo) == signAt(pHi)) return {RateOutcome::NoRate, std::nullopt};
      changes = 1;  // one root, bisected below
    } else if (signAt(pLo) != signAt(pHi)) {
      // There is a root: shown alone, it is the rate.
      const double u = bisect(terms, lo, hi, signAt(pLo));
      if (aloneNear(terms, u)) return {RateOutcome::Unique, std::expm1(u)};
    }
  }
  if (changes > 1) {
    RootCount counter(terms);
    const std::optional<int> roots = counter.count(lo, pLo, hi, pHi, 0);
    if (!roots || *roots > 1) return {RateOutcome::NotUnique, std::nullopt};
    if (*roots == 0) return {RateOutcome::NoRate, std::nullopt};
  }
  return {RateOutcome::Unique, std::expm1(bisect(terms, lo, hi, signAt(pLo)))};
}

}  // namespace ledger
