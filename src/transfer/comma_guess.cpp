#include "transfer/comma_guess.h"

#include <algorithm>

#include "engine/blanks.h"

namespace ledger {

namespace {

enum class Says { Nothing, DecimalComma, ThousandsComma, Ambiguous };

// What one number says (see the rules in the header). Signs, currency and
// blanks are no part of it.
Says whatNumberSays(std::string_view cell) {
  std::string core;
  for (const char c : cell)
    if ((c >= '0' && c <= '9') || c == ',' || c == '.') core += c;
  const auto commas = std::count(core.begin(), core.end(), ',');
  const auto points = std::count(core.begin(), core.end(), '.');
  if (commas && points) return core.find_last_of(",.") == core.rfind(',') ? Says::DecimalComma : Says::ThousandsComma;
  const char mark = commas ? ',' : '.';
  const auto marks = commas ? commas : points;
  if (marks == 0) return Says::Nothing;
  if (marks > 1) return commas ? Says::ThousandsComma : Says::DecimalComma;
  const std::size_t at = core.find(mark);
  const bool threeAfter = core.size() - at - 1 == 3;
  const bool groupBefore = at >= 1 && at <= 3 && core[0] != '0';
  if (commas) return threeAfter && groupBefore ? Says::Ambiguous : Says::DecimalComma;
  return threeAfter ? Says::Nothing : Says::ThousandsComma;
}

}  // namespace

CommaGuess guessDecimalComma(const std::vector<CsvRecord>& records, const ImportOptions& options, char delimiter) {
  CommaGuess guess;
  bool decimal = false, thousands = false;
  const CsvRecord* header = options.hasHeader && !records.empty() ? &records[0] : nullptr;
  for (const ImportField f : {ImportField::Quantity, ImportField::Price, ImportField::Commission, ImportField::Amount,
                              ImportField::Withholding}) {
    const std::optional<std::size_t> column = options.mapping[f];
    if (!column) continue;
    for (std::size_t r = header ? 1 : 0; r < records.size(); ++r) {
      if (*column >= records[r].size()) continue;
      const std::string& cell = records[r][*column];
      switch (whatNumberSays(cell)) {
        case Says::Nothing: break;
        case Says::DecimalComma: decimal = true; break;
        case Says::ThousandsComma: thousands = true; break;
        case Says::Ambiguous:
          if (!guess.ambiguous) {
            guess.ambiguous = true;
            guess.example = std::string(trimBlanks(cell));
            guess.column = header && *column < header->size() ? (*header)[*column]
                                                               : "column " + std::to_string(*column + 1);
          }
          break;
      }
    }
  }
  if (!guess.ambiguous) return guess;
  if (decimal != thousands) guess.decimalComma = decimal;
  else if (!decimal && delimiter == ';') guess.decimalComma = true;
  return guess;
}

}  // namespace ledger
