#include "transfer/import_plan.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "engine/database.h"
#include "transfer/column_names.h"
#include "transfer/import_limits.h"
#include "engine/statement.h"
#include "engine/blanks.h"
#include "ledger/event_writes.h"
#include "ledger/symbol_text.h"
#include "engine/value.h"
#include "figures/number_limits.h"

namespace ledger {

namespace {

constexpr const char* kFieldNames[] = {"symbol", "date",       "side",   "quantity",
                                       "price",  "commission", "amount", "withholding"};

// Fields a mapping may leave without a column whatever the options.
bool isOptionalField(std::size_t f) {
  return f == static_cast<std::size_t>(ImportField::Commission) || f == static_cast<std::size_t>(ImportField::Amount) ||
         f == static_cast<std::size_t>(ImportField::Withholding);
}

// Fields for dividends only: a mapping names them only when they are used.
bool isDividendField(std::size_t f) { return f >= static_cast<std::size_t>(ImportField::Amount); }

// Header names that suggest a field, compared with letters and digits only
// and in lower case ("Fees & Comm" is "feescomm").
const std::vector<std::vector<std::string>>& synonyms() {
  static const std::vector<std::vector<std::string>> kSynonyms = {
      {"symbol", "ticker", "tickersymbol", "companysymbol", "security", "securitysymbol", "instrument", "stock",
       "code"},
      {"date", "tradedate", "transactiondate", "rundate", "executiondate", "dealdate"},
      {"buysell", "side", "action", "transactiontype", "type", "bs", "direction", "transaction"},
      {"quantity", "qty", "shares", "units", "volume", "nominal"},
      {"price", "unitprice", "shareprice", "tradeprice", "executionprice", "priceshare", "dealprice"},
      {"commission", "commissions", "fee", "fees", "feescomm", "commfee", "commfees", "brokerage", "charges"},
      // Never guessed: an "Amount" column is often a trade's total, and
      // the user says when it is a dividend's.
      {},
      {},
  };
  return kSynonyms;
}

bool allDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string quoted(std::string_view s) {
  std::string text;
  text.reserve(s.size() + 2);
  (text += '"') += s;
  return text += '"';
}

std::string dividendKey(std::string_view symbol, std::string_view date) {
  return std::string(symbol) + '\x1f' + std::string(date);
}

// What is wrong with a symbol read from a file, or nullopt.
std::optional<std::string> symbolFault(const std::string& symbol) {
  if (symbol.empty()) return "the symbol is empty";
  if (const auto unseen = unseenSymbolCharacter(symbol))
    return "the symbol holds " + codePointName(*unseen) + ", a control character or one that cannot be seen";
  return std::nullopt;
}

std::string dateFault(std::string_view dateText, DateFormat format) {
  return dateText.empty() ? "the date is empty" : quoted(dateText) + " is not a date written " + dateFormatName(format);
}

std::string countText(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Why a row is not a trade, when it has no buy/sell.
std::string notATradeReason(const CsvRecord& record) {
  for (const std::string& cell : record)
    if (lowerCase(cell).find("total") != std::string::npos) return "totals line";
  return "no buy or sell";
}

}  // namespace

const char* importFieldName(ImportField field) { return kFieldNames[static_cast<std::size_t>(field)]; }

std::optional<std::size_t> resolveColumn(std::string_view col, const CsvRecord* header, std::size_t columnCount) {
  if (header) {
    for (std::size_t c = 0; c < header->size(); ++c)
      if ((*header)[c] == col) return c;
    const std::string wanted = lowerCase(trimBlanks(col));
    for (std::size_t c = 0; c < header->size(); ++c)
      if (lowerCase(trimBlanks((*header)[c])) == wanted) return c;
  }
  const std::string_view digits = trimBlanks(col);
  if (allDigits(digits) && digits.size() <= 6) {
    const std::size_t number = std::stoul(std::string(digits));
    if (number >= 1 && number <= columnCount) return number - 1;
  }
  return std::nullopt;
}

std::variant<ImportMapping, std::string> parseMappingOption(std::string_view option, const CsvRecord* header,
                                                            std::size_t columnCount) {
  ImportMapping mapping;
  std::array<bool, kImportFieldCount> given{};
  while (!option.empty()) {
    const std::size_t comma = option.find(',');
    const std::string_view item = option.substr(0, comma);
    option = comma == std::string_view::npos ? std::string_view() : option.substr(comma + 1);
    const std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) return "\"" + std::string(item) + "\" is not FIELD=COLUMN.";
    const std::string name = lowerCase(trimBlanks(item.substr(0, eq)));
    const std::string_view col = item.substr(eq + 1);
    const auto* known = std::find(std::begin(kFieldNames), std::end(kFieldNames), name);
    if (known == std::end(kFieldNames))
      return quoted(name) +
             " is not a field; the fields are symbol, date, side, quantity, price, commission, amount and withholding.";
    const auto f = static_cast<std::size_t>(known - std::begin(kFieldNames));
    if (given[f]) return "The field " + name + " is given twice.";
    given[f] = true;
    if (lowerCase(trimBlanks(col)) == "none" && isOptionalField(f)) continue;
    const std::optional<std::size_t> column = resolveColumn(col, header, columnCount);
    if (!column)
      return "The column " + quoted(col) + " for " + name + " is not in the file (" +
             (header ? "a header name or " : "") + "a number from 1 to " + std::to_string(columnCount) + ").";
    mapping.columns[f] = column;
  }
  return mapping;
}

ImportMapping guessMapping(const CsvRecord& header) {
  ImportMapping mapping;
  std::vector<bool> taken(header.size(), false);
  std::vector<std::string> names;
  for (const std::string& h : header) names.push_back(squeezedName(h));
  // First names that are exactly a known name, then names that contain one.
  for (const bool exact : {true, false}) {
    for (std::size_t f = 0; f < kImportFieldCount; ++f) {
      if (mapping.columns[f]) continue;
      for (const std::string& word : synonyms()[f]) {
        if (!exact && word.size() < 4) continue;
        for (std::size_t c = 0; c < names.size() && !mapping.columns[f]; ++c) {
          if (taken[c]) continue;
          if (exact ? names[c] == word : names[c].find(word) != std::string::npos) {
            mapping.columns[f] = c;
            taken[c] = true;
          }
        }
        if (mapping.columns[f]) break;
      }
    }
  }
  return mapping;
}

std::string headerKey(const CsvRecord& header) {
  std::string key;
  for (std::size_t c = 0; c < header.size(); ++c) {
    if (c) key += '\x1f';
    key += header[c];
  }
  return key;
}

std::string mappingToText(const ImportMapping& mapping) {
  std::string text;
  for (std::size_t f = 0; f < kImportFieldCount; ++f) {
    if (isDividendField(f) && !mapping.columns[f]) continue;
    if (!text.empty()) text += ',';
    text += kFieldNames[f];
    text += '=';
    text += mapping.columns[f] ? std::to_string(*mapping.columns[f] + 1) : "none";
  }
  return text;
}

std::optional<ImportMapping> mappingFromText(std::string_view text) {
  ImportMapping mapping;
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    const std::size_t eq = item.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const auto* known = std::find(std::begin(kFieldNames), std::end(kFieldNames), item.substr(0, eq));
    if (known == std::end(kFieldNames)) return std::nullopt;
    const std::string_view col = item.substr(eq + 1);
    if (col == "none") continue;
    if (!allDigits(col) || col.size() > 6) return std::nullopt;
    const std::size_t number = std::stoul(std::string(col));
    if (number == 0) return std::nullopt;
    mapping.columns[static_cast<std::size_t>(known - std::begin(kFieldNames))] = number - 1;
  }
  return mapping;
}

std::string missingFields(const ImportOptions& options) {
  std::string missing;
  for (const ImportField f : kImportFields) {
    if (options.mapping[f] || isOptionalField(static_cast<std::size_t>(f))) continue;
    if (f == ImportField::Side && options.sideFromSign) continue;
    missing += missing.empty() ? "" : ", ";
    missing += importFieldName(f);
  }
  return missing.empty() ? "" : "No column is chosen for: " + missing + ".";
}

LedgerIndex LedgerIndex::read(Database& db) {
  LedgerIndex index;
  {
    Statement stmt(db, "SELECT CompanyID, CompanySymbol FROM Companies ORDER BY rowid");
    while (stmt.step()) {
      if (stmt.type(1) == ColumnType::Null) continue;
      index.companies[std::string(stmt.text(1))] = stmt.integer(0);
    }
  }
  if (const auto count = db.scalar("SELECT count(*) FROM Trade"))
    if (const auto* n = std::get_if<std::int64_t>(&*count)) index.trades.reserve(static_cast<std::size_t>(*n));
  {
    Statement stmt(db, "SELECT CompanySymbol, Date, [Buy/Sell], Quantity, Price, Commission FROM Trade");
    while (stmt.step()) {
      const std::string_view symbol = stmt.text(0), date = stmt.text(1);
      const TradeSide side = sideFromCode(stmt.text(2)).value_or(TradeSide::Sell);
      index.trades.insert(symbol, date, side, stmt.real(3), stmt.real(4), stmt.real(5));
    }
  }
  for (CashDividend& d : readAllDividends(db)) {
    std::string key = dividendKey(d.symbol, d.date);
    index.dividends.emplace(std::move(key), std::move(d));
  }
  return index;
}

ImportPlan planImport(const std::vector<CsvRecord>& records, const ImportOptions& options,
                      const LedgerIndex& ledger) {
  ImportPlan plan;
  plan.droppedBad = options.dropBadRows;
  std::unordered_set<std::string> newSymbols;
  std::unordered_map<std::string, std::size_t> firstRowOf;  // a dividend's key -> its row
  std::vector<std::pair<std::size_t, CashDividend>> dividendsRead;
  const ImportMapping& map = options.mapping;

  for (std::size_t r = options.hasHeader ? 1 : 0; r < records.size(); ++r) {
    const CsvRecord& record = records[r];
    const std::size_t row = r + 1;
    auto cell = [&](ImportField f) -> std::string_view {
      const auto& c = map[f];
      return c && *c < record.size() ? trimBlanks(record[*c]) : std::string_view();
    };
    auto skip = [&](std::string reason) { plan.skipped.push_back({row, RowVerdict::Skipped, "", std::move(reason)}); };
    auto bad = [&](ImportField f, std::string reason) {
      plan.bad.push_back({row, RowVerdict::Bad, importFieldName(f), std::move(reason)});
    };
    // The symbol and the date, as a trade and a dividend both have them;
    // false, with the row marked bad, when either is not right.
    auto readSymbolAndDate = [&](std::string& symbol, std::string& date) {
      symbol = std::string(cell(ImportField::Symbol));
      if (const std::optional<std::string> fault = symbolFault(symbol)) {
        bad(ImportField::Symbol, *fault);
        return false;
      }
      const std::string_view dateText = cell(ImportField::Date);
      const std::optional<std::string> read = readDate(dateText, options.dateFormat);
      if (!read) {
        bad(ImportField::Date, dateFault(dateText, options.dateFormat));
        return false;
      }
      date = *read;
      return true;
    };

    if (std::all_of(record.begin(), record.end(), [](const std::string& c) { return trimBlanks(c).empty(); })) {
      skip("blank row");
      continue;
    }

    // With no amount column a dividend row is skipped below as no buy or
    // sell, as it always was.
    if (map[ImportField::Amount] && isDividendWord(cell(ImportField::Side))) {
      CashDividend d;
      if (!readSymbolAndDate(d.symbol, d.date)) continue;
      const std::string_view grossText = cell(ImportField::Amount);
      const std::optional<double> gross = readAmount(grossText, options.decimalComma);
      if (!gross) {
        bad(ImportField::Amount, grossText.empty() ? "the amount is empty" : quoted(grossText) + " is not a number");
        continue;
      }
      if (*gross < 0 || *gross > kMaxTradeNumber) {
        bad(ImportField::Amount,
            "the amount " + std::string(grossText) + " is not a number from 0 to " + formatNumber(kMaxTradeNumber));
        continue;
      }
      double withheld = 0;
      if (const std::string_view withheldText = cell(ImportField::Withholding); !withheldText.empty()) {
        const std::optional<double> w = readAmount(withheldText, options.decimalComma);
        if (!w) {
          bad(ImportField::Withholding, quoted(withheldText) + " is not a number");
          continue;
        }
        // Some brokers write the tax taken as a negative amount.
        withheld = std::fabs(*w);
        if (withheld > *gross) {
          bad(ImportField::Withholding, "the tax withheld " + std::string(withheldText) +
                                            " is more than the amount " + std::string(grossText));
          continue;
        }
      }
      d.gross = Decimal::fromDouble(*gross);
      d.withholding = Decimal::fromDouble(withheld);
      const std::string key = dividendKey(d.symbol, d.date);
      // The ledger holds one dividend of a company a day.
      if (const auto held = ledger.dividends.find(key); held != ledger.dividends.end()) {
        if (held->second.gross == d.gross && held->second.withholding == d.withholding)
          plan.duplicates.push_back({row, RowVerdict::Duplicate, "", "already in the ledger"});
        else
          bad(ImportField::Date, "the ledger already holds another dividend of " + d.symbol + " on " + d.date);
        continue;
      }
      if (const auto [first, added] = firstRowOf.emplace(key, row); !added) {
        bad(ImportField::Date, "a second dividend of " + d.symbol + " on " + d.date + " (the first is row " +
                                   std::to_string(first->second) + ")");
        continue;
      }
      dividendsRead.push_back({row, std::move(d)});
      continue;
    }

    Trade t;
    // Whether the row is a trade at all comes first: a dividend or a totals
    // line is not a bad trade.
    const std::string_view quantityText = cell(ImportField::Quantity);
    std::optional<double> quantity;
    if (options.sideFromSign) {
      if (quantityText.empty()) {
        skip(notATradeReason(record) == "totals line" ? "totals line" : "no quantity");
        continue;
      }
      quantity = readAmount(quantityText, options.decimalComma);
      if (!quantity) {
        bad(ImportField::Quantity, quoted(quantityText) + " is not a number");
        continue;
      }
      if (*quantity == 0) {
        bad(ImportField::Quantity, "a quantity of 0 is neither a buy nor a sell");
        continue;
      }
      t.side = *quantity > 0 ? TradeSide::Buy : TradeSide::Sell;
    } else {
      const std::string_view sideText = cell(ImportField::Side);
      if (sideText.empty()) {
        skip(notATradeReason(record));
        continue;
      }
      const std::optional<TradeSide> side = readSideWord(sideText);
      if (!side) {
        skip(quoted(sideText) + " is not a buy or a sell");
        continue;
      }
      t.side = *side;
      if (quantityText.empty()) {
        bad(ImportField::Quantity, "the quantity is empty");
        continue;
      }
      quantity = readAmount(quantityText, options.decimalComma);
      if (!quantity) {
        bad(ImportField::Quantity, quoted(quantityText) + " is not a number");
        continue;
      }
      // Brokers write sales with a negative quantity; a negative purchase
      // is a contradiction.
      if (*quantity < 0 && t.side == TradeSide::Buy) {
        bad(ImportField::Quantity, "a purchase of " + std::string(quantityText) + " shares");
        continue;
      }
    }
    t.quantity = std::fabs(*quantity);

    if (!readSymbolAndDate(t.symbol, t.date)) continue;
    const std::string_view priceText = cell(ImportField::Price);
    const std::optional<double> price = readAmount(priceText, options.decimalComma);
    if (!price) {
      bad(ImportField::Price, priceText.empty() ? "the price is empty" : quoted(priceText) + " is not a number");
      continue;
    }
    if (*price < 0) {
      bad(ImportField::Price, "the price " + std::string(priceText) + " is negative");
      continue;
    }
    t.price = *price;
    const std::string_view commissionText = cell(ImportField::Commission);
    if (!commissionText.empty()) {
      const std::optional<double> commission = readAmount(commissionText, options.decimalComma);
      if (!commission) {
        bad(ImportField::Commission, quoted(commissionText) + " is not a number");
        continue;
      }
      // Some brokers write what the user paid as a negative amount.
      t.commission = std::fabs(*commission);
    }
    if (const std::optional<LimitFault> fault = checkImportLimits(t)) {
      bad(fault->field, fault->reason);
      continue;
    }

    if (ledger.hasTrade(t)) {
      if (!options.keepDuplicates) {
        plan.duplicates.push_back({row, RowVerdict::Duplicate, "", "already in the ledger"});
        continue;
      }
      ++plan.keptDuplicates;
    }
    if (const auto known = ledger.companies.find(t.symbol); known != ledger.companies.end()) {
      t.companyId = known->second;
    } else if (newSymbols.insert(t.symbol).second) {
      plan.newSymbols.push_back(t.symbol);
    }
    plan.trades.push_back(std::move(t));
    plan.tradeRows.push_back(row);
  }
  // Companies are added for trades only: a dividend of a company neither
  // in the ledger nor traded in the file is more likely a wrong symbol.
  for (auto& [row, d] : dividendsRead) {
    if (!ledger.companies.contains(d.symbol) && !newSymbols.contains(d.symbol)) {
      plan.bad.push_back({row, RowVerdict::Bad, importFieldName(ImportField::Symbol),
                          "a dividend of " + d.symbol + ", which is not in the list of companies"});
      continue;
    }
    plan.dividends.push_back(std::move(d));
    plan.dividendRows.push_back(row);
  }
  return plan;
}

std::vector<std::string> reportLines(const ImportPlan& plan) {
  // The notes in row order, whatever their kind.
  std::vector<const RowNote*> notes;
  for (const auto* list : {&plan.skipped, &plan.bad, &plan.duplicates})
    for (const RowNote& n : *list) notes.push_back(&n);
  std::sort(notes.begin(), notes.end(), [](const RowNote* a, const RowNote* b) { return a->row < b->row; });

  std::vector<std::string> lines;
  for (const RowNote* n : notes) {
    std::string line = "Row " + std::to_string(n->row) + ": ";
    switch (n->verdict) {
      case RowVerdict::Skipped: line += "skipped, not a trade: " + n->reason; break;
      case RowVerdict::Bad:
        line += (plan.droppedBad ? "left out, bad " : "bad ") + n->field + ": " + n->reason;
        break;
      case RowVerdict::Duplicate: line += "skipped, already in the ledger"; break;
    }
    lines.push_back(std::move(line));
  }
  if (!plan.newSymbols.empty()) {
    std::string line = "New companies: ";
    for (std::size_t i = 0; i < plan.newSymbols.size(); ++i) line += (i ? ", " : "") + plan.newSymbols[i];
    lines.push_back(std::move(line));
  }
  std::string summary = importCountText(plan) + " to import";
  if (plan.keptDuplicates) summary += " (" + countText(plan.keptDuplicates, "is", "are") + " already in the ledger)";
  summary += "; " + countText(plan.skipped.size(), "row", "rows") + " skipped, " +
             countText(plan.bad.size(), "bad row", "bad rows") + ", " +
             countText(plan.duplicates.size(), "duplicate", "duplicates") + " skipped.";
  lines.push_back(std::move(summary));
  if (plan.blocked())
    lines.push_back("Nothing can be imported while there are bad rows: fix the mapping or leave the bad rows out.");
  return lines;
}

std::string importCountText(const ImportPlan& plan) {
  std::string text = countText(plan.trades.size(), "trade", "trades");
  if (!plan.dividends.empty()) text += " and " + countText(plan.dividends.size(), "dividend", "dividends");
  return text;
}

}  // namespace ledger
