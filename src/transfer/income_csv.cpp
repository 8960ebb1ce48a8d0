#include "transfer/income_csv.h"

#include <array>
#include <cstdio>
#include <string>

#include "transfer/csv_writer.h"

namespace ledger {

namespace {

void row(std::ostream& out, const std::string& year, const std::string& symbol, const IncomeSums& sums) {
  writeCsvRow(out, std::array<std::string, 5>{year, symbol, sums.gross.toPlainString(),
                                              sums.withholding.toPlainString(), sums.net.toPlainString()});
}

}  // namespace

void writeIncomeCsv(std::ostream& out, const IncomeReport& report, std::optional<int> year) {
  writeCsvRow(out, std::array<std::string, 5>{"Year", "Symbol", "Gross", "Withholding", "Net"});
  for (const YearIncome& y : report.years) {
    if (year && y.year != *year) continue;
    char text[16];
    std::snprintf(text, sizeof text, "%04d", y.year);
    for (const auto& [symbol, sums] : y.companies) row(out, text, symbol, sums);
    row(out, text, std::string(), y.total);
  }
}

}  // namespace ledger
