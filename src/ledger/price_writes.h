#pragma once
// Every change the program makes to a ledger's closing prices, each one
// LedgerChange and one undo step named in the Edit menu: "New Price of
// MSFT 2025-04-10 (412.5)", "Delete of Price of ...", "Import of 250 Prices".
// The first price saved makes the table (price_table.h).
//
// A price is refused, with nothing written, by a DbError whose text is the
// message to show: kConstraint for a price the ledger cannot take (a symbol
// not in Companies, a second one of that symbol and date, a close of zero
// or below, a date that is not a real date), kItemNotFound for one to
// delete that is not there; and the engine's numbers for a refused write.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engine/database.h"
#include "engine/statement.h"
#include "figures/prices.h"
#include "ledger/event_writes.h"  // SameDate
#include "ledger/undo_journal.h"  // RowValues

namespace ledger {

class LedgerChange;

// Adds the price, or with SameDate::Replace puts it in place of the one of
// that symbol and date.
void addPrice(Database& db, const ClosePrice& price, SameDate sameDate = SameDate::Refuse);
// Puts price in place of shown (its date may change), provided the ledger
// still holds shown; kChangedElsewhere when it does not.
void editPrice(Database& db, const ClosePrice& shown, const ClosePrice& price);
void deletePrice(Database& db, std::string_view symbol, std::string_view date);

// Writes prices in the caller's change (an import's: many prices, one
// step). What does not change while the change lasts (the ledger's format
// mark, whether the table is there, the symbols of Companies) is looked up
// once, and the statements each price runs are prepared once: an import of
// 250,000 prices costs what its inserts cost. Make one per change, after
// any company the change adds.
class PriceBatch {
 public:
  explicit PriceBatch(LedgerChange& change);
  PriceBatch(const PriceBatch&) = delete;
  PriceBatch& operator=(const PriceBatch&) = delete;

  // Writes price, listing what it wrote in changes; refused as addPrice
  // refuses.
  void write(const ClosePrice& price, SameDate sameDate, std::vector<RowChange>& changes);
  // Puts price in place of shown, refused as editPrice refuses.
  void edit(const ClosePrice& shown, const ClosePrice& price, std::vector<RowChange>& changes);
  // The row holding the price of symbol on date.
  std::optional<std::int64_t> rowOf(std::string_view symbol, std::string_view date);

 private:
  void requireCompany(const std::string& symbol);
  bool hasTable();
  void put(const ClosePrice& price, std::optional<std::int64_t> row, std::optional<RowValues> before,
           std::vector<RowChange>& changes);

  Database& m_db;
  // Each read when first needed.
  std::optional<std::unordered_set<std::string>> m_companies;
  std::optional<bool> m_hasTable;
  bool m_marked = false;
  std::optional<Statement> m_find, m_insert, m_update;
};

// The prices of symbol, by date; none in a ledger without the table. A row
// another program wrote whose close is not a number above zero is passed
// over. Throws DbError as the engine does.
std::vector<ClosePrice> readPrices(Database& db, std::string_view symbol);

// How a step's label names one: "MSFT 2025-04-10 (412.5)".
std::string describePrice(const ClosePrice& price);

}  // namespace ledger
