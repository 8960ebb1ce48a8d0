#include "transfer/import_run.h"

#include "ledger/ledger_change.h"

namespace ledger {

ImportRun importRecords(Database& db, const std::vector<CsvRecord>& records, const ImportOptions& options,
                        const ImportPlan* preview, const ImportProgress& progress) {
  LedgerChange change(db);
  ImportRun run;
  run.plan = planImport(records, options, LedgerIndex::read(db));
  if (preview && (run.plan.trades != preview->trades || run.plan.newSymbols != preview->newSymbols ||
                  run.plan.dividends != preview->dividends)) {
    run.outcome = ImportOutcome::LedgerChanged;
    return run;
  }
  if (run.plan.blocked()) {
    run.outcome = ImportOutcome::Blocked;
    return run;
  }
  // Commits the import unless it was cancelled.
  if (!writeImportedTrades(change, run.plan.trades, run.plan.newSymbols, run.plan.dividends, progress))
    run.outcome = ImportOutcome::Cancelled;
  return run;
}

}  // namespace ledger
