#pragma once
// Ledgers with many made-up trades for the benchmarks.
//
// Making a ledger of a million trades takes seconds, so each size is made
// once and kept in a folder ($LEDGER_BENCH_DATA, or bench-data in the build
// folder) for later runs. Benchmarks that write work on a LedgerCopy, so the
// kept files never change.

#include <cstdint>
#include <string>

#include "engine/durable_file.h"

namespace ledger::bench {

// Makes a ledger from the schema at path and fills it with `trades` trades
// in one transaction: a few dozen companies, buys and sales about half each,
// dates in entry order over some thirty years. The same count always gives
// the same rows. Throws DbError or std::filesystem::filesystem_error.
void generateLedger(const std::string& path, std::int64_t trades);

// The kept ledger with that many trades, made first when it is missing.
// Its name carries a hash of the schema, so a changed schema gets a new file.
std::string cachedLedger(std::int64_t trades);

// The kept ledger with that many trades and, beside them, 1,000 splits
// and 10,000 dividends of its companies over the same years, made first
// (from cachedLedger) when it is missing.
std::string cachedLedgerWithEvents(std::int64_t trades);

// The kept ledger with that many trades of trades / 1,000 companies
// (at least one) over ten years, and a close of every company on each of
// 2,500 weekdays of those years: 2.5 million prices at a million trades.
// A company is sold only while held, and pays a dividend each quarter.
// Made first when it is missing.
std::string cachedPricedLedger(std::int64_t trades);

// A private copy of the kept ledger with that many trades, removed (with
// its journal) when the copy goes.
class LedgerCopy {
 public:
  explicit LedgerCopy(std::int64_t trades);
  const std::string& path() const { return m_file.path(); }

 private:
  std::string m_source;
  TempFileBeside m_file;
};

}  // namespace ledger::bench
