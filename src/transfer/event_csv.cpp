#include "transfer/event_csv.h"

#include <string>
#include <vector>

#include "ledger/event_writes.h"
#include "transfer/csv_writer.h"

namespace ledger {

namespace {

std::string textOf(const std::optional<Decimal>& d) { return d ? d->toPlainString() : std::string(); }

}  // namespace

std::size_t writeSplitsCsv(Database& db, std::ostream& out) {
  const std::vector<StockSplit> splits = readAllSplits(db);
  const std::string header[] = {"Date", "Symbol", "New", "Old"};
  writeCsvRow(out, header);
  for (const StockSplit& s : splits) {
    const std::string row[] = {s.date, s.symbol, std::to_string(s.newShares), std::to_string(s.oldShares)};
    writeCsvRow(out, row);
  }
  return splits.size();
}

std::size_t writeDividendsCsv(Database& db, std::ostream& out) {
  const std::vector<CashDividend> dividends = readAllDividends(db);
  const std::string header[] = {"Date", "Symbol", "Gross", "Withholding", "ReinvestQuantity", "ReinvestPrice"};
  writeCsvRow(out, header);
  for (const CashDividend& d : dividends) {
    const std::string row[] = {d.date,
                               d.symbol,
                               d.gross.toPlainString(),
                               d.withholding.toPlainString(),
                               textOf(d.reinvestQuantity),
                               textOf(d.reinvestPrice)};
    writeCsvRow(out, row);
  }
  return dividends.size();
}

}  // namespace ledger
