#pragma once
// What the write gate (LedgerChange, ledger_change.h) does around every
// change, and only it: the undo step recorded, the kept figures stamped,
// brought along and sealed. Included by the gate and by the two files that
// define these; tests/layer_includes.sh fails on any other include.

#include <cstdint>
#include <span>
#include <string_view>

#include "engine/database.h"
#include "ledger/undo_journal.h"

namespace ledger {

// Records the changes just made as one step called label. What each row
// holds after the change is read from the ledger, so a row that is gone
// was deleted. A row listed twice keeps the "before" of its first listing.
// Makes the journal's tables when the ledger lacks them, drops the undone
// steps and the oldest beyond kMaxUndoSteps.
// REQUIRES: inside the transaction that made the changes, after them: the
// gate (LedgerChange::commitStep) calls it.
// Throws DbError as the engine refuses the writes.
void recordUndoStep(Database& db, std::string_view label, std::span<const RowChange> changes);

// REQUIRES: db has just begun a writing transaction, before any write.
// Stamps the figures with the counter the file will have after this
// transaction when they are current now and their seal checks (the seal
// itself is made at the commit); otherwise drops the stamp, so they stay
// out of date until read afresh.
// Never throws: the figures must never stop the program's own write.
void beginKeptFigures(Database& db);

// REQUIRES: db is in a writing transaction that makes no change to
// KeptTotals after this. Seals the stamp's counter and the kept rows as
// they stand, when the figures carry a stamp. Never throws.
void sealKeptFigures(Database& db);

// REQUIRES: db is in a writing transaction that changed trades without an
// undo step. Drops the stamp, so the figures stay out of date until read
// afresh. Throws DbError when it cannot: the change must not commit then.
void forgetKeptFigures(Database& db);

// Brings the figures along with undo step `step`, just recorded or redone
// (undone = false) or just undone (undone = true). Drops the stamp when
// that cannot be done. Nothing when the ledger keeps none.
// REQUIRES: inside the transaction that made the step's changes.
void followUndoStep(Database& db, std::int64_t step, bool undone);

}  // namespace ledger
