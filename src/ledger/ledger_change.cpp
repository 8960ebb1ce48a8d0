#include "ledger/ledger_change.h"

#include "ledger/change_hooks.h"
#include "ledger/kept_figures.h"
#include "ledger/ledger_format.h"

namespace ledger {

LedgerChange::LedgerChange(Database& db) : m_db(db), m_tx(db) {
  // The figures learn that the commit to come is the program's own.
  beginKeptFigures(m_db);
  // An older ledger learns what it is at its first write by the program.
  markLedgerFormat(m_db);
}

void LedgerChange::commitStep(std::string_view label, std::span<const RowChange> changes) {
  recordUndoStep(m_db, label, changes);
  commit();
}

void LedgerChange::commit() {
  // After the transaction's last change to the kept figures.
  sealKeptFigures(m_db);
  m_tx.commit();
}

void LedgerChange::commitRewrite() {
  forgetKeptFigures(m_db);
  commit();
}

}  // namespace ledger
