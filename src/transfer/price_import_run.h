#pragma once
// Writing an import of closing prices as the ledger stands when it is
// written: the plan is made again inside the writing transaction, so a
// price another copy of the program saved since the preview is kept or
// replaced as the user chose, not written twice. All or nothing, one undo
// step.

#include <vector>

#include "transfer/csv_reader.h"
#include "transfer/import_run.h"
#include "transfer/price_import_plan.h"

namespace ledger {

struct PriceImportRun {
  // Written (nothing when the plan had no price to write), Blocked (bad
  // rows, or no rows) or LedgerChanged (the plan differs from the
  // preview); never Cancelled.
  ImportOutcome outcome = ImportOutcome::Written;
  // The plan made inside the transaction; for LedgerChanged, the new
  // preview to show.
  PricePlan plan;
};

// "Import of 250 Prices": the undo step's label.
std::string priceImportLabel(std::size_t count);

// Plans records with options against the ledger inside one writing
// transaction and writes that plan there as one undo step. With a preview,
// writes only when the plan writes the same prices. Throws DbError (a
// refused price among them), with nothing written.
PriceImportRun importPriceRecords(Database& db, const std::vector<CsvRecord>& records,
                                  const PriceImportOptions& options, const PricePlan* preview = nullptr);

}  // namespace ledger
