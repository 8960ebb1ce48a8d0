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
};

// f and f' at u = log x, split into positive and negative parts, each as a
// logarithm so that no power overflows: f = e^logPos − e^logNeg.
struct Parts {
  double logPos = -INFINITY, logNeg = -INFINITY;      // f
  double logPosD = -INFINITY, logNegD = -INFINITY;    // f'
};

Parts partsAt(std::span<const Term> terms, double u) {
  // Scale by the largest power so that every term is at most 1 times its amount.
  double shift = -INFINITY;
  for (const Term& term : terms) shift = std::max(shift, term.t * u);
  double pos = 0, neg = 0, posD = 0, negD = 0;
  for (const Term& term : terms) {
    const double e = std::exp(term.t * u - shift);
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

// At most how many roots f has, from the signs of the running sums of its
// terms: those of c_1, c_1 + c_2, ... (oldest first) bound the roots x > 1,
// those of c_m, c_m + c_(m-1), ... (newest first) the roots x < 1, and
// x = 1 is a root when all sum to zero. (For x > 1, f is u = log x times
// the Laplace transform of the step function of the running sums, the last
// continued to −∞; such a transform has no more zeros than its function
// changes sign. Newest first the same holds for x < 1.) nullopt when a sum
// is too near zero to tell its sign.
std::optional<int> rootsBoundBySums(std::span<const Term> terms, double sumAbs) {
  const double nearZero = kSignTolerance * sumAbs;
  const auto changesOf = [&](auto begin, auto end) -> std::optional<int> {
    double sum = 0;
    int changes = 0, lastSign = 0;
    for (auto it = begin; it != end; ++it) {
      sum += it->c;
      if (std::fabs(sum) <= nearZero) return std::nullopt;
      const int sign = sum > 0 ? 1 : -1;
      if (lastSign != 0 && sign != lastSign) ++changes;
      lastSign = sign;
    }
    return changes;
  };
  const std::optional<int> above = changesOf(terms.begin(), terms.end());
  const std::optional<int> below = changesOf(terms.rbegin(), terms.rend());
  if (!above || !below) return std::nullopt;
  return *above + *below;  // the sum of all is not zero: x = 1 is no root
}

}  // namespace

RateResult solveAnnualRate(std::span<const RateFlow> flows) {
  std::vector<Term> terms;
  terms.reserve(flows.size());
  for (const RateFlow& flow : flows)
    if (flow.amount != 0) terms.push_back({flow.daysToEnd / kDaysPerYear, flow.amount});
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
    // The sums of the flows bound the roots on each side of r = 0.
    if (const std::optional<int> bound = rootsBoundBySums(terms, sumAbs)) {
      if (*bound <= 1) {
        if (signAt(pLo) == signAt(pHi)) return {RateOutcome::NoRate, std::nullopt};
        changes = 1;  // one root, bisected below
      }
    }
  }
  if (changes > 1) {
    RootCount counter(terms);
    const std::optional<int> roots = counter.count(lo, pLo, hi, pHi, 0);
    if (!roots || *roots > 1) return {RateOutcome::NotUnique, std::nullopt};
    if (*roots == 0) return {RateOutcome::NoRate, std::nullopt};
  }

  // Exactly one root, and f's sign differs at the ends: bisect.
  double a = lo, b = hi;
  const int signA = signAt(pLo);
  for (int i = 0; i < 200 && b - a > 1e-14 * std::max(1.0, std::fabs(a)); ++i) {
    const double m = a + (b - a) / 2;
    // The sign as computed, however near zero: only the root's last digits depend on it.
    const Parts pm = partsAt(terms, m);
    const int s = pm.logPos > pm.logNeg ? 1 : pm.logPos < pm.logNeg ? -1 : 0;
    if (s == 0) {
      a = b = m;
      break;
    }
    (s == signA ? a : b) = m;
  }
  return {RateOutcome::Unique, std::expm1(a + (b - a) / 2)};
}

}  // namespace ledger
