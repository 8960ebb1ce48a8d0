#pragma once
// Writing an import as the ledger stands when it is written: the plan is
// made again inside the writing transaction, so trades another copy of the
// program wrote since a preview are found as duplicates and companies it
// added are not added twice.

#include <vector>

#include "transfer/csv_reader.h"
#include "transfer/import_plan.h"
#include "ledger/ledger_writes.h"

namespace ledger {

enum class ImportOutcome {
  Written,
  Cancelled,      // progress returned false
  Blocked,        // bad rows the user has not chosen to leave out
  LedgerChanged,  // the plan differs from the preview
};

struct ImportRun {
  ImportOutcome outcome = ImportOutcome::Written;
  // The plan made inside the transaction; for LedgerChanged, the new
  // preview to show.
  ImportPlan plan;
};

// Plans records with options against the ledger inside one writing
// transaction and writes that plan there, all or nothing. With a preview,
// writes only when the plan writes the same trades and dividends with the
// same new companies; otherwise nothing is written (LedgerChanged). Throws DbError.
ImportRun importRecords(Database& db, const std::vector<CsvRecord>& records, const ImportOptions& options,
                        const ImportPlan* preview = nullptr, const ImportProgress& progress = {});

}  // namespace ledger
