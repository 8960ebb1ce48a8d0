#pragma once
// The one way the program writes a ledger. A LedgerChange is one writing
// transaction that keeps the figures kept in the ledger (kept_figures.h)
// current: it stamps them when it begins and seals them just before it
// commits. A change to trades or companies commits as one step of the undo
// journal (undo_journal.h), whose rows bring the kept figures along.
//
// Destroyed without a commit, the change is rolled back whole.

#include <span>
#include <string_view>

#include "engine/database.h"
#include "engine/transaction.h"
#include "ledger/undo_journal.h"

namespace ledger {

class LedgerChange {
 public:
  // Begins the transaction. Throws DbError (kLocked while another program
  // writes, kReadOnly, ...).
  explicit LedgerChange(Database& db);
  LedgerChange(const LedgerChange&) = delete;
  LedgerChange& operator=(const LedgerChange&) = delete;

  Database& db() { return m_db; }

  // Records the rows changed as one undo step called label, then commits.
  void commitStep(std::string_view label, std::span<const RowChange> changes);
  // Commits a change that is no new step and changes no trade outside the
  // journal: an undo or redo (the journal brings the figures along
  // itself), a stored query's text, the kept figures themselves.
  void commit();
  // Commits a change that rewrote trades without a step (a ledger made
  // afresh): the kept figures are computed again when next read.
  void commitRewrite();

 private:
  Database& m_db;
  WriteTransaction m_tx;
};

}  // namespace ledger
