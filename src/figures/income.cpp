#include "figures/income.h"

#include <algorithm>
#include <map>

namespace ledger {

namespace {

int yearOf(const std::string& date) { return std::stoi(date.substr(0, 4)); }

}  // namespace

void IncomeSums::add(const CashDividend& dividend) {
  gross += dividend.gross;
  withholding += dividend.withholding;
  net += dividend.net();
}

IncomeReport workOutIncome(std::vector<CashDividend> dividends) {
  std::stable_sort(dividends.begin(), dividends.end(), [](const CashDividend& a, const CashDividend& b) {
    return a.date != b.date ? a.date < b.date : a.symbol < b.symbol;
  });
  std::map<int, std::map<std::string, IncomeSums>> byYear;
  for (const CashDividend& dividend : dividends) byYear[yearOf(dividend.date)][dividend.symbol].add(dividend);

  IncomeReport report;
  for (auto& [year, byCompany] : byYear) {
    YearIncome& summary = report.years.emplace_back();
    summary.year = year;
    for (auto& [symbol, sums] : byCompany) {
      summary.total.gross += sums.gross;
      summary.total.withholding += sums.withholding;
      summary.total.net += sums.net;
      summary.companies.emplace_back(symbol, std::move(sums));
    }
  }
  report.dividends = std::move(dividends);
  return report;
}

void creditNetIncome(std::vector<Holding>& holdings, const std::vector<CashDividend>& dividends) {
  for (const CashDividend& dividend : dividends) {
    const auto at = std::lower_bound(holdings.begin(), holdings.end(), dividend.symbol,
                                     [](const Holding& h, const std::string& symbol) { return h.symbol < symbol; });
    if (at != holdings.end() && at->symbol == dividend.symbol) at->netIncome += dividend.net();
  }
}

}  // namespace ledger
