#pragma once
// Dividend income: each dividend's gross, the tax withheld and the net
// (figures/corporate_events.h), their sums per company and year, and each
// year's total. Every figure is exact; nothing is rounded.

#include <string>
#include <vector>

#include "figures/corporate_events.h"
#include "figures/decimal.h"
#include "figures/gains.h"

namespace ledger {

struct IncomeSums {
  Decimal gross;
  Decimal withholding;
  Decimal net;

  void add(const CashDividend& dividend);
};

struct YearIncome {
  int year = 0;
  std::vector<std::pair<std::string, IncomeSums>> companies;  // by symbol
  IncomeSums total;
};

struct IncomeReport {
  std::vector<CashDividend> dividends;  // by date, then symbol
  std::vector<YearIncome> years;        // by year; years with a dividend only
  std::vector<SkippedEvent> skipped;
};

// The income of these dividends, in any order; a dividend's year is its
// pay date's. REQUIRES: every date is a date written YYYY-MM-DD.
IncomeReport workOutIncome(std::vector<CashDividend> dividends);

// Adds each company's net income to date to its holding. Dividends of a
// company with no holding (no trade) have no row to go to.
// REQUIRES: holdings by symbol, as GainsReport keeps them.
void creditNetIncome(std::vector<Holding>& holdings, const std::vector<CashDividend>& dividends);

}  // namespace ledger
