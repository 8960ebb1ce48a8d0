#pragma once
// Planning an import of closing prices from a table of text cells: a date
// column and a close column, with a symbol column or one company for the
// whole file. Read with the trade import's readers (dates, amounts, the
// decimal comma); every row is checked before anything is written, and one
// bad row stops the whole import. A date the ledger has already priced is
// kept or replaced as the user chooses. Nothing here writes;
// importPriceRecords (price_import_run.h) writes a plan.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <variant>
#include <vector>

#include "figures/prices.h"
#include "transfer/csv_reader.h"
#include "transfer/import_plan.h"
#include "transfer/import_values.h"

namespace ledger {

class Database;

// The 0-based columns of the file. Without a symbol column every row is
// of PriceImportOptions::symbol.
struct PriceMapping {
  std::optional<std::size_t> symbol, date, close;
  friend bool operator==(const PriceMapping&, const PriceMapping&) = default;
};

// The columns a header's names suggest: the symbol and the date as the
// trade import guesses them ("Ticker", "Trade Date"), the close from
// "Close", "Close/Last", "Closing Price", "Last", "Quote", "Price" or, when
// nothing else is there, "Adj Close".
PriceMapping guessPriceMapping(const CsvRecord& header);

// Reads "date=COL,close=COL[,symbol=COL]" as the trade import's --map
// does (a header name or a 1-based column number). Returns the mapping,
// or the text of what is wrong with the option.
std::variant<PriceMapping, std::string> parsePriceMappingOption(std::string_view option, const CsvRecord* header,
                                                                std::size_t columnCount);

// When the header has both a plain close and an adjusted one, which the
// mapping reads, for the preview and the closing report; "" otherwise.
std::string closeColumnNote(const CsvRecord* header, const PriceMapping& mapping);

struct PriceImportOptions {
  PriceMapping mapping;
  // The company of every row when the mapping has no symbol column.
  std::string symbol;
  DateFormat dateFormat = DateFormat::YearMonthDay;
  bool decimalComma = false;
  bool hasHeader = true;
  // A date the ledger has already priced, at another close: true puts the
  // file's close in its place, false keeps the ledger's.
  bool replaceHeld = false;
};

// What the options lack: "" when a row can be read, else the text for the
// user ("No column is chosen for: close.", "Choose the company ...").
std::string missingPriceFields(const PriceImportOptions& options);

// The options as the trade import's comma guess reads them: the close
// column in the place of a trade's price.
ImportOptions commaGuessOptions(const PriceImportOptions& options);

// What a price plan needs to know of the ledger: its companies and the
// prices it holds.
struct PriceLedgerIndex {
  std::unordered_set<std::string> companies;
  // Symbol and date joined by '\x1f' -> the close held.
  std::unordered_map<std::string, Decimal> held;

  // Read in price_import_run.cpp, beside the writes.
  static PriceLedgerIndex read(Database& db);
  void hold(const ClosePrice& price);
  const Decimal* heldClose(std::string_view symbol, std::string_view date) const;
};

struct PricePlan {
  // The prices to write, in the file's order, and the row of each.
  std::vector<ClosePrice> prices;
  std::vector<std::size_t> rows;
  // Of those, how many take the place of a close the ledger holds.
  std::size_t replacing = 0;
  // Rows that block the import; rows of a date already priced whose close
  // is kept; rows the ledger already holds exactly.
  std::vector<RowNote> bad, kept, same;
  // The file has no price rows at all.
  bool noRows = false;
  std::string closeNote;

  bool blocked() const { return !bad.empty() || noRows; }
};

// Checks every record (after the header, when there is one).
// REQUIRES: missingPriceFields(options) is empty.
PricePlan planPriceImport(const std::vector<CsvRecord>& records, const PriceImportOptions& options,
                          const PriceLedgerIndex& ledger);

// The report: the close column chosen, one line per bad, kept or
// unchanged row, then the counts.
std::vector<std::string> priceReportLines(const PricePlan& plan);

// "1 price", "250 prices".
std::string priceCountText(std::size_t count);

}  // namespace ledger
