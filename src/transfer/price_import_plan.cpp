#include "transfer/price_import_plan.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "engine/blanks.h"
#include "engine/value.h"
#include "figures/number_limits.h"
#include "transfer/column_names.h"

namespace ledger {

namespace {

// Header names of a plain close, compared with letters and digits only and
// in lower case ("Close/Last" is "closelast"), most telling first.
constexpr std::string_view kCloseNames[] = {"close",     "closelast", "closeprice", "closingprice", "closing",
                                            "lastprice", "last",      "quote",      "price"};
constexpr std::string_view kAdjustedNames[] = {"adjclose", "adjustedclose", "adjclosingprice",
                                               "adjustedclosingprice"};

bool isAdjustedClose(std::string_view name) {
  const std::string n = squeezedName(name);
  return n.starts_with("adj") && n.find("close") != std::string::npos;
}

// A close as traded: one of the names above, or a name holding "close"
// that is neither adjusted nor a date ("Close Price (USD)").
bool isPlainClose(std::string_view name) {
  const std::string n = squeezedName(name);
  if (std::find(std::begin(kCloseNames), std::end(kCloseNames), n) != std::end(kCloseNames)) return true;
  return n.find("close") != std::string::npos && !isAdjustedClose(name) && n.find("date") == std::string::npos;
}

std::string quoted(std::string_view s) {
  std::string text;
  text.reserve(s.size() + 2);
  (text += '"') += s;
  return text += '"';
}

std::string priceKey(std::string_view symbol, std::string_view date) {
  std::string key;
  key.reserve(symbol.size() + 1 + date.size());
  (key += symbol) += '\x1f';
  return key += date;
}

std::string countText(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool isBlankRecord(const CsvRecord& record) {
  return std::all_of(record.begin(), record.end(), [](const std::string& c) { return trimBlanks(c).empty(); });
}

}  // namespace

PriceMapping guessPriceMapping(const CsvRecord& header) {
  // The symbol and the date are named as in a broker's file of trades.
  const ImportMapping trade = guessMapping(header);
  PriceMapping mapping{trade[ImportField::Symbol], trade[ImportField::Date], std::nullopt};
  auto unused = [&](std::size_t c) { return c != mapping.symbol && c != mapping.date; };
  for (const std::string_view wanted : kCloseNames)
    for (std::size_t c = 0; c < header.size() && !mapping.close; ++c)
      if (unused(c) && squeezedName(header[c]) == wanted) mapping.close = c;
  for (std::size_t c = 0; c < header.size() && !mapping.close; ++c)
    if (unused(c) && isPlainClose(header[c])) mapping.close = c;
  // An adjusted close only when the file has no other: it changes back in
  // time with every later split and dividend, and the ledger follows
  // splits itself.
  for (const std::string_view wanted : kAdjustedNames)
    for (std::size_t c = 0; c < header.size() && !mapping.close; ++c)
      if (unused(c) && squeezedName(header[c]) == wanted) mapping.close = c;
  for (std::size_t c = 0; c < header.size() && !mapping.close; ++c)
    if (unused(c) && isAdjustedClose(header[c])) mapping.close = c;
  return mapping;
}

std::variant<PriceMapping, std::string> parsePriceMappingOption(std::string_view option, const CsvRecord* header,
                                                                std::size_t columnCount) {
  PriceMapping mapping;
  std::array<bool, 3> given{};
  while (!option.empty()) {
    const std::size_t comma = option.find(',');
    const std::string_view item = option.substr(0, comma);
    option = comma == std::string_view::npos ? std::string_view() : option.substr(comma + 1);
    const std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) return "\"" + std::string(item) + "\" is not FIELD=COLUMN.";
    const std::string name = lowerCase(trimBlanks(item.substr(0, eq)));
    const std::string_view col = item.substr(eq + 1);
    std::optional<std::size_t>* field = name == "date" ? &mapping.date
                                        : name == "close" ? &mapping.close
                                        : name == "symbol" ? &mapping.symbol
                                                           : nullptr;
    if (!field) return quoted(name) + " is not a field; the fields are date, close and symbol.";
    const std::size_t f = name == "date" ? 0 : name == "close" ? 1 : 2;
    if (given[f]) return "The field " + name + " is given twice.";
    given[f] = true;
    *field = resolveColumn(col, header, columnCount);
    if (!*field)
      return "The column " + quoted(col) + " for " + name + " is not in the file (" +
             (header ? "a header name or " : "") + "a number from 1 to " + std::to_string(columnCount) + ").";
  }
  return mapping;
}

std::string closeColumnNote(const CsvRecord* header, const PriceMapping& mapping) {
  if (!header || !mapping.close || *mapping.close >= header->size()) return "";
  const std::string& chosen = (*header)[*mapping.close];
  const bool adjusted = isAdjustedClose(chosen);
  if (!adjusted && !isPlainClose(chosen)) return "";
  // The other kind of close, when the file has one.
  const auto other = std::find_if(header->begin(), header->end(), [&](const std::string& name) {
    return &name != &chosen && (adjusted ? isPlainClose(name) : isAdjustedClose(name));
  });
  if (other == header->end()) return "";
  const std::string why =
      "an adjusted close is changed back in time for every later split and dividend, and the ledger follows "
      "splits itself.";
  if (adjusted)
    return "The close is read from " + quoted(chosen) + ", not " + quoted(*other) +
           ", as chosen; the gains and holdings would rather have the close as traded: " + why;
  return "The close is read from " + quoted(chosen) + ", not " + quoted(*other) + ": " + why;
}

std::string missingPriceFields(const PriceImportOptions& options) {
  std::string missing;
  if (!options.mapping.date) missing = "date";
  if (!options.mapping.close) missing += missing.empty() ? "close" : ", close";
  if (!missing.empty()) return "No column is chosen for: " + missing + ".";
  if (!options.mapping.symbol && trimBlanks(options.symbol).empty())
    return "The file has no symbol column: choose the company whose prices it holds.";
  return "";
}

ImportOptions commaGuessOptions(const PriceImportOptions& options) {
  ImportOptions trade;
  trade.mapping[ImportField::Price] = options.mapping.close;
  trade.hasHeader = options.hasHeader;
  trade.decimalComma = options.decimalComma;
  return trade;
}

void PriceLedgerIndex::hold(const ClosePrice& price) { held.insert_or_assign(priceKey(price.symbol, price.date), price.close); }

const Decimal* PriceLedgerIndex::heldClose(std::string_view symbol, std::string_view date) const {
  // A ledger's first prices: no key to make for each row.
  if (held.empty()) return nullptr;
  const auto found = held.find(priceKey(symbol, date));
  return found == held.end() ? nullptr : &found->second;
}

PricePlan planPriceImport(const std::vector<CsvRecord>& records, const PriceImportOptions& options,
                          const PriceLedgerIndex& ledger) {
  PricePlan plan;
  const PriceMapping& map = options.mapping;
  const std::string fileSymbol(trimBlanks(options.symbol));
  std::unordered_map<std::string, std::size_t> firstRowOf;  // a price's key -> its row
  std::size_t priceRows = 0;
  // Sized once: a file of a thousand companies' histories has 250,000 rows.
  firstRowOf.reserve(records.size());
  plan.prices.reserve(records.size());
  plan.rows.reserve(records.size());
  for (std::size_t r = options.hasHeader ? 1 : 0; r < records.size(); ++r) {
    const CsvRecord& record = records[r];
    const std::size_t row = r + 1;
    if (isBlankRecord(record)) continue;
    ++priceRows;
    auto cell = [&](const std::optional<std::size_t>& c) -> std::string_view {
      return c && *c < record.size() ? trimBlanks(record[*c]) : std::string_view();
    };
    auto bad = [&](const char* field, std::string reason) {
      plan.bad.push_back({row, RowVerdict::Bad, field, std::move(reason)});
    };

    ClosePrice price;
    price.symbol = map.symbol ? std::string(cell(map.symbol)) : fileSymbol;
    if (price.symbol.empty()) {
      bad("symbol", "the symbol is empty");
      continue;
    }
    if (!ledger.companies.contains(price.symbol)) {
      bad("symbol", price.symbol + " is not in the list of companies");
      continue;
    }
    const std::string_view dateText = cell(map.date);
    std::optional<std::string> date = readDate(dateText, options.dateFormat);
    if (!date) {
      bad("date", dateText.empty() ? "the date is empty"
                                   : quoted(dateText) + " is not a date written " + dateFormatName(options.dateFormat));
      continue;
    }
    price.date = std::move(*date);
    const std::string_view closeText = cell(map.close);
    const std::optional<double> close = readAmount(closeText, options.decimalComma);
    if (!close) {
      bad("close", closeText.empty() ? "the close is empty" : quoted(closeText) + " is not a number");
      continue;
    }
    // Refused, never made positive: a negative close is a wrong column or
    // a wrong file, not a sign to drop.
    if (*close <= 0) {
      bad("close", "the close " + std::string(closeText) + " is not above zero");
      continue;
    }
    if (*close > kMaxTradeNumber) {
      bad("close", "the close " + std::string(closeText) + " is above " + formatNumber(kMaxTradeNumber));
      continue;
    }
    price.close = Decimal::fromDouble(*close);
    std::string key = priceKey(price.symbol, price.date);
    if (const auto [first, added] = firstRowOf.emplace(std::move(key), row); !added) {
      bad("date", "a second price of " + price.symbol + " on " + price.date + " (the first is row " +
                      std::to_string(first->second) + ")");
      continue;
    }
    if (const Decimal* held = ledger.heldClose(price.symbol, price.date)) {
      if (*held == price.close) {
        plan.same.push_back({row, RowVerdict::Duplicate, "", "already in the ledger"});
        continue;
      }
      if (!options.replaceHeld) {
        plan.kept.push_back({row, RowVerdict::Duplicate, "date",
                             "the ledger's close " + held->toDisplayString() + " of " + price.symbol + " on " +
                                 price.date + " is kept"});
        continue;
      }
      ++plan.replacing;
    }
    plan.prices.push_back(std::move(price));
    plan.rows.push_back(row);
  }
  plan.noRows = priceRows == 0;
  plan.closeNote = closeColumnNote(options.hasHeader && !records.empty() ? &records[0] : nullptr, map);
  return plan;
}

std::vector<std::string> priceReportLines(const PricePlan& plan) {
  std::vector<std::string> lines;
  if (!plan.closeNote.empty()) lines.push_back(plan.closeNote);
  std::vector<const RowNote*> notes;
  for (const auto* list : {&plan.bad, &plan.kept, &plan.same})
    for (const RowNote& n : *list) notes.push_back(&n);
  std::sort(notes.begin(), notes.end(), [](const RowNote* a, const RowNote* b) { return a->row < b->row; });
  for (const RowNote* n : notes) {
    std::string line = "Row " + std::to_string(n->row) + ": ";
    if (n->verdict == RowVerdict::Bad) line += "bad " + n->field + ": " + n->reason;
    else if (n->field.empty()) line += "skipped, already in the ledger";
    else line += "kept, " + n->reason;
    lines.push_back(std::move(line));
  }
  if (plan.noRows) lines.push_back("The file has no rows of prices.");
  std::string summary = priceCountText(plan.prices.size()) + " to import";
  if (plan.replacing) summary += " (" + std::to_string(plan.replacing) + " in place of closes the ledger holds)";
  summary += "; " + std::to_string(plan.kept.size()) + " kept as the ledger holds them, " +
             std::to_string(plan.same.size()) + " already in the ledger, " +
             countText(plan.bad.size(), "bad row", "bad rows") + ".";
  lines.push_back(std::move(summary));
  if (!plan.bad.empty())
    lines.push_back("Nothing can be imported while there are bad rows: every row is written, or none.");
  return lines;
}

std::string priceCountText(std::size_t count) { return countText(count, "price", "prices"); }

}  // namespace ledger
