#pragma once
// What the four report views read from a ledger: the sorted queries of the
// datasheet, the per-company history queries, the profit/loss figures and
// the table the chart is drawn from. No windows here.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/database.h"
#include "ledger/ledger_session.h"
#include "engine/recordset.h"

namespace ledger {

// ---- datasheet -------------------------------------------------------------

inline constexpr const char* kTradeSortedSql = "SELECT * From Trade ORDER BY CompanyID;";
inline constexpr const char* kBoughtSortedSql = "SELECT * From Bought ORDER BY CompanySymbol;";
inline constexpr const char* kSoldSortedSql = "SELECT * From Sold ORDER BY CompanySymbol;";

// Each writes its sorted query (TradeSorted, BoughtSorted, SoldSorted) into
// db with the fixed text above, creating it when the ledger lacks it. Any
// other failure (a read-only file, say) ends the call silently: the grid
// then shows whatever the ledger already holds under that name.
void EnsureTradeSorted(Database& db);
void EnsureBoughtSorted(Database& db);
void EnsureSoldSorted(Database& db);

// ---- company history -------------------------------------------------------

// The five history queries in the order they are written.
inline constexpr std::array<const char*, 5> kHistoryQueryNames = {"VBQryBuy", "VBQrySell", "VBQryTotalBuy",
                                                                  "VBQryTotalSell", "VBQryPL"};

// The texts of the five history queries for symbol, in the order of
// kHistoryQueryNames. The symbol is written as a quoted SQL string, so a
// symbol holding a quote still selects that company's rows.
std::array<std::string, 5> historyQueryTexts(std::string_view symbol);

// How many rows the history's two lists of symbol (VBQryBuy, VBQrySell)
// hold, counted on Trade's index instead of through the queries. Given only
// while Bought, Sold and the two lists are exactly as the program writes
// them, so that these are their rows by definition; nullopt otherwise (the
// lists are then counted through the queries). Throws DbError.
std::optional<std::array<std::int64_t, 2>> historyListCounts(Database& db, std::string_view symbol);

// Writes the five history queries for symbol into db, in one transaction:
// all five get their text (queries the ledger lacks are created), or, when
// the engine refuses one, none changes and the call ends silently. Nothing
// is written when the ledger already holds these five texts.
void BuildHistoryQueries(Database& db, const std::string& symbol);

// ---- profit / loss ---------------------------------------------------------

// The four figures of the whole ledger as text; nullopt where the figure is
// Null (a sum over no trades, a percentage of purchases totalling 0) or its
// stored query cannot be read.
struct ProfitLossFigures {
  std::optional<std::string> totalBought;
  std::optional<std::string> totalSold;
  std::optional<std::string> profitLoss;
  std::optional<std::string> percentage;  // two decimals: "-75.03"
};

// Reads the figures of the whole ledger, exactly (see exact_figures.h):
// the figures the program keeps when they are current, else one pass over
// its trades (kept_figures.h). A figure is given only where the ledger
// has its stored query ([Total Buy], [Total Sell], [Profit/Loss]); one that
// cannot be read is reported like OpenLedgerTable reports it and its
// figures stay empty. Leaves the session's recordset on Trade, at its
// first row; a ledger that cannot be opened is reported once, by
// OpenLedgerTable.
ProfitLossFigures readProfitLossFigures(LedgerSession& session);

// The company's exact totals for the history view's three small grids, as
// readProfitLossFigures reads them.
struct HistoryFigures {
  std::optional<std::string> totalBuy;
  std::optional<std::string> totalSell;
  std::optional<std::string> profitLoss;
};
// Throws DbError when the trades cannot be read.
HistoryFigures readHistoryFigures(Database& db, std::string_view symbol);

// ---- chart -----------------------------------------------------------------

// One row per trade: three label texts (symbol, Buy/Sell code, the date in
// single quotes) and two numbers (price, commission). Labels are kept once
// each and rows refer to them, so a hundred thousand trades take a few
// megabytes.
class ChartTable {
 public:
  static constexpr int kLabelLevels = 3;
  static constexpr int kSeries = 2;
  static constexpr int kColumns = kLabelLevels + kSeries;

  void reserve(std::size_t rows);
  void appendRow(std::string_view symbol, std::string_view side, std::string_view quotedDate,
                 std::optional<double> price, std::optional<double> commission);

  std::int64_t rowCount() const { return static_cast<std::int64_t>(m_values.size()); }
  // REQUIRES: 0 <= row < rowCount(), 0 <= level < kLabelLevels.
  const std::string& label(std::int64_t row, int level) const;
  // REQUIRES: 0 <= row < rowCount(), 0 <= series < kSeries (0 price, 1 commission).
  std::optional<double> number(std::int64_t row, int series) const;
  // Any cell as a value: text for columns 0-2, a number or Null for 3-4.
  Value cell(std::int64_t row, int column) const;

  // Every distinct label text, for measuring the widest.
  const std::vector<std::string>& labelTexts() const { return m_texts; }
  // Smallest and largest plotted number (0 and 0 without numbers).
  double minNumber() const { return m_min; }
  double maxNumber() const { return m_max; }

 private:
  std::uint32_t intern(std::string_view text);

  // Looks labels up by string_view, without making a string of each.
  struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::vector<std::string> m_texts;
  std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>> m_textIndex;
  std::vector<std::array<std::uint32_t, kLabelLevels>> m_labels;
  std::vector<std::array<double, kSeries>> m_values;  // NaN for Null
  double m_min = 0;
  double m_max = 0;
};

// Trade's columns by position, as the chart reads them.
inline constexpr int kTradeSymbolPos = 1;
inline constexpr int kTradeSidePos = 3;
inline constexpr int kTradeDatePos = 4;
inline constexpr int kTradePricePos = 5;
inline constexpr int kTradeCommissionPos = 6;

// Reads every row of a Trade recordset opened on ledger, from its first row
// on, in the order the recordset delivers them, in one pass. The pass is one
// read transaction: the rows form one snapshot, and the file is locked once
// rather than once per row. Throws DbError (kNoCurrentRow when there are no
// rows).
ChartTable readChartTable(Database& ledger, Recordset& trades);

}  // namespace ledger
