#pragma once
// Planning an import of trades from a table of text cells (a CSV file or a
// table of an older-format ledger): which column holds what, and a check of
// every row before anything is written. The plan says which rows become
// trades, which become dividends (when an amount column is mapped), which
// are skipped as not trades, which are bad (and block the import), which
// are already in the ledger, and which symbols are new. Nothing here
// writes; writeImportedTrades (ledger_writes.h) writes a plan.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <variant>
#include <vector>

#include "transfer/csv_reader.h"
#include "transfer/import_values.h"
#include "figures/corporate_events.h"
#include "figures/trade.h"
#include "transfer/trade_key_set.h"

namespace ledger {

class Database;

// Amount and Withholding belong to dividend rows: the gross amount paid and
// the tax withheld from it.
enum class ImportField { Symbol, Date, Side, Quantity, Price, Commission, Amount, Withholding };
inline constexpr std::size_t kImportFieldCount = 8;
inline constexpr ImportField kImportFields[] = {ImportField::Symbol,     ImportField::Date,  ImportField::Side,
                                                ImportField::Quantity,   ImportField::Price, ImportField::Commission,
                                                ImportField::Amount,     ImportField::Withholding};

// "symbol", "date", "side", "quantity", "price", "commission", "amount",
// "withholding": the names the command line's --map uses and the row
// report shows.
const char* importFieldName(ImportField field);

// The 0-based column of each field, or none. Commission may be none (every
// commission is 0); side may be none when the side is read from the sign of
// the quantity. Without an amount, dividend rows are skipped; without a
// withholding, every dividend has none withheld.
struct ImportMapping {
  std::array<std::optional<std::size_t>, kImportFieldCount> columns;
  std::optional<std::size_t>& operator[](ImportField f) { return columns[static_cast<std::size_t>(f)]; }
  const std::optional<std::size_t>& operator[](ImportField f) const {
    return columns[static_cast<std::size_t>(f)];
  }
  friend bool operator==(const ImportMapping&, const ImportMapping&) = default;
};

// The column that col names: a header name as written (or, failing that,
// the same name in another letter case or with other blanks around it), or
// a 1-based column number up to columnCount. nullopt when it names none.
std::optional<std::size_t> resolveColumn(std::string_view col, const CsvRecord* header, std::size_t columnCount);

// Reads "symbol=COL,date=COL,side=COL,quantity=COL,price=COL[,commission=COL]
// [,amount=COL][,withholding=COL]"; an optional field may be "none".
// Returns the mapping, or the text of what is wrong with the option.
std::variant<ImportMapping, std::string> parseMappingOption(std::string_view option, const CsvRecord* header,
                                                            std::size_t columnCount);

// The columns a header's names suggest ("Ticker", "Trade Date", "Action",
// "Qty", "Price", "Fees & Comm", ...); fields it cannot place stay none.
ImportMapping guessMapping(const CsvRecord& header);

// The text that stands for a header in the remembered mappings: its names
// joined by the delimiter-free separator '\x1f'.
std::string headerKey(const CsvRecord& header);

// Mapping to text and back ("symbol=1,date=2,...", 1-based numbers), for
// remembering it.
std::string mappingToText(const ImportMapping& mapping);
std::optional<ImportMapping> mappingFromText(std::string_view text);

struct ImportOptions {
  ImportMapping mapping;
  DateFormat dateFormat = DateFormat::YearMonthDay;
  bool decimalComma = false;
  bool sideFromSign = false;
  bool hasHeader = true;
  bool keepDuplicates = false;
  // Leave the bad rows out instead of letting them block the import.
  bool dropBadRows = false;
};

// What the required fields lack: "" when the mapping is complete, else a
// text naming the fields without a column.
std::string missingFields(const ImportOptions& options);

// What a plan needs to know of the ledger: its companies, its trades and
// its dividends.
struct LedgerIndex {
  // Symbol -> CompanyID (the last row of a symbol wins, as in the lookup).
  std::unordered_map<std::string, std::int64_t> companies;
  // Trades with the same symbol, date, side, quantity, price and commission.
  TradeKeySet trades;
  // Symbol and date joined by '\x1f' -> the dividend the ledger holds.
  std::unordered_map<std::string, CashDividend> dividends;

  static LedgerIndex read(Database& db);
  void addTrade(const Trade& t) { trades.insert(t.symbol, t.date, t.side, t.quantity, t.price, t.commission); }
  bool hasTrade(const Trade& t) const {
    return trades.contains(t.symbol, t.date, t.side, t.quantity, t.price, t.commission);
  }
};

enum class RowVerdict { Skipped, Bad, Duplicate };

struct RowNote {
  std::size_t row = 0;  // 1-based record number in the file, header included
  RowVerdict verdict = RowVerdict::Skipped;
  std::string field;   // the field at fault ("date"); empty for skipped rows
  std::string reason;  // why, for the user
};

struct ImportPlan {
  // The trades to write, in the file's order. companyId is the ledger's
  // for known symbols and 0 for the symbols in newSymbols.
  std::vector<Trade> trades;
  std::vector<std::size_t> tradeRows;  // the row of each trade
  // The dividends to write, in the file's order; their companies are in
  // the ledger.
  std::vector<CashDividend> dividends;
  std::vector<std::size_t> dividendRows;
  std::vector<RowNote> skipped, bad, duplicates;
  // Symbols of trades to write that the company list lacks, in the order
  // they first appear.
  std::vector<std::string> newSymbols;
  std::size_t keptDuplicates = 0;
  // Bad rows and the user has not chosen to leave them out.
  bool blocked() const { return !bad.empty() && !droppedBad; }
  bool droppedBad = false;
};

// Checks every record (after the header, when there is one) against the
// mapping. REQUIRES: missingFields(options) is empty.
ImportPlan planImport(const std::vector<CsvRecord>& records, const ImportOptions& options,
                      const LedgerIndex& ledger);

// The row report: one line per skipped, bad or duplicate row, then the new
// companies and the count of trades (and dividends) to import.
std::vector<std::string> reportLines(const ImportPlan& plan);

// "3 trades", or "3 trades and 1 dividend" when the plan takes dividends.
std::string importCountText(const ImportPlan& plan);

}  // namespace ledger
