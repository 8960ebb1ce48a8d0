#pragma once
// The money-weighted return: the one annual rate r > −100 % at which what
// went in, grown to the end of the period, equals what came out, grown the
// same way:
//
//   Σ in_k (1+r)^(d_k/365) = Σ out_k (1+r)^(d_k/365)
//
// d_k being the calendar days from the amount's date to the period's end.
// With x = 1+r this is f(x) = Σ c_k x^(t_k) = 0 over x > 0, c_k = in − out
// of each day, t_k = d_k/365. Descartes' rule of signs holds for such sums
// of real powers: f has at most as many roots x > 0 as the c_k, taken in
// time order (largest t_k first), change sign, and the count differs from
// that by an even number. So with exactly one change there is exactly one
// rate, which a bisection of x finds; with none there is none. With more
// changes there may be one or several. Then the running sums of the c_k
// bound the roots: their sign changes oldest first bound those with r > 0,
// newest first those with r < 0 (the rule of signs for the Laplace
// transform of a step function), which settles the usual ledger (money put
// in, some taken out, a value at the end). Scaled to any pivot x0 (c_k
// x0^t_k) they bound the roots above and below x0 the same way: a root
// found by halving is shown alone when the sums scaled just above it show
// none above and those just below none below. Failing that, the roots are
// counted for sure by splitting the range of log x into pieces on which f
// is shown to keep its sign, to be monotone (its positive and negative
// parts bound it) or to have at most one root (the scaled sums at the
// piece's ends), the far ends settled by the term that dominates there.
// Only when the count is exactly one is a rate given.

#include <cstdint>
#include <optional>
#include <span>

namespace ledger {

struct RateFlow {
  std::int32_t daysToEnd = 0;  // >= 0
  double amount = 0;           // in (+) or out (−)
};

enum class RateOutcome {
  Unique,     // exactly one rate
  NoRate,     // none: the flows never balance
  NotUnique,  // more than one, or none could be shown to be alone
};

struct RateResult {
  RateOutcome outcome = RateOutcome::NoRate;
  std::optional<double> rate;  // a fraction: 0.255 is 25.5 %; only when Unique
};

// REQUIRES: flows by daysToEnd descending (oldest first), one per day
// (amounts of a day summed).
RateResult solveAnnualRate(std::span<const RateFlow> flows);

}  // namespace ledger
