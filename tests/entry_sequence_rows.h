#pragma once
// The ledger the entry sequences start from, the row edits that say what
// it holds afterwards, and a sequence's shape; the window's and the core's sequences share them.

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "test_ledger.h"

namespace ledger::test {

using Rows = std::vector<std::vector<std::string>>;

inline const std::vector<TradeRow> kSequenceLedger = {{1, "AAPL", 100, "B", "2024-01-15", 10, 1},
                                                      {2, "MSFT", 50, "S", "2024-02-01", 20, 2},
                                                      {3, "IBM", 10, "S", "2024-03-01", 30, 3}};
inline const Rows kSequenceLedgerRows = {{"1", "AAPL", "100", "B", "2024-01-15", "10", "1"},
                                         {"2", "MSFT", "50", "S", "2024-02-01", "20", "2"},
                                         {"3", "IBM", "10", "S", "2024-03-01", "30", "3"}};

inline Rows with(Rows rows, size_t index, std::vector<std::string> row) {
  rows.at(index) = std::move(row);
  return rows;
}
inline Rows without(Rows rows, size_t index) {
  rows.erase(rows.begin() + static_cast<long>(index));
  return rows;
}
inline Rows plus(Rows rows, std::vector<std::string> row) {
  rows.push_back(std::move(row));
  return rows;
}

// One sequence of a test fixture F: its steps, then what Trade holds and
// what the General tab shows.
template <class F>
struct EntrySequence {
  const char* name;
  std::function<void(F&)> steps;
  Rows rows;          // Trade afterwards, in row order
  const char* boxes;  // the General tab afterwards: symbol|date|quantity|price|commission|side
};

template <class F>
void PrintTo(const EntrySequence<F>& s, std::ostream* os) {
  *os << s.name;
}

}  // namespace ledger::test
