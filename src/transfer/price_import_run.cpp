#include "transfer/price_import_run.h"

#include "ledger/ledger_change.h"
#include "engine/statement.h"
#include "ledger/price_writes.h"

namespace ledger {

// Here rather than beside the plan: it reads what the price writes keep.
PriceLedgerIndex PriceLedgerIndex::read(Database& db) {
  PriceLedgerIndex index;
  {
    Statement stmt(db, "SELECT CompanySymbol FROM Companies WHERE CompanySymbol IS NOT NULL");
    while (stmt.step()) index.companies.emplace(stmt.text(0));
  }
  for (const std::string& symbol : index.companies)
    for (const ClosePrice& price : readPrices(db, symbol)) index.hold(price);
  return index;
}

std::string priceImportLabel(std::size_t count) {
  return "Import of " + std::to_string(count) + (count == 1 ? " Price" : " Prices");
}

PriceImportRun importPriceRecords(Database& db, const std::vector<CsvRecord>& records,
                                  const PriceImportOptions& options, const PricePlan* preview) {
  LedgerChange change(db);
  PriceImportRun run;
  run.plan = planPriceImport(records, options, PriceLedgerIndex::read(db));
  if (preview && (run.plan.prices != preview->prices || run.plan.replacing != preview->replacing)) {
    run.outcome = ImportOutcome::LedgerChanged;
    return run;
  }
  if (run.plan.blocked()) {
    run.outcome = ImportOutcome::Blocked;
    return run;
  }
  // Every price held already: no step that changes nothing.
  if (run.plan.prices.empty()) return run;
  const SameDate sameDate = options.replaceHeld ? SameDate::Replace : SameDate::Refuse;
  std::vector<RowChange> changes;
  changes.reserve(run.plan.prices.size() + run.plan.replacing);
  PriceBatch batch(change);
  for (const ClosePrice& price : run.plan.prices) batch.write(price, sameDate, changes);
  change.commitStep(priceImportLabel(run.plan.prices.size()), changes);
  return run;
}

}  // namespace ledger
